#include "PliageAccents.h"

QString replierAccents(const QString& texte) {
    bool ascii = true;
    for (QChar c : texte)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return texte;
    const QString d = texte.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(d.size());
    for (QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing)
            r += c;
    return r.normalized(QString::NormalizationForm_C);
}
