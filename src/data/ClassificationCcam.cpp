#include "ClassificationCcam.h"

#include "PliageAccents.h"

QString libelleSansAccent(const QString& libelle) {
    return replierAccents(libelle);
}

QString libelleSimplifie(const QString& libelle) {
    QString t = replierAccents(libelle).toLower();
    t.replace(QChar(0x0153), QStringLiteral("oe"));
    t.replace(QChar(0x00E6), QStringLiteral("ae"));
    QString r;
    r.reserve(t.size());
    bool blanc = true; // no blank at the start
    for (QChar c : t) {
        if (c.isLetterOrNumber()) {
            r += c;
            blanc = false;
        } else if (!blanc) {
            r += QLatin1Char(' ');
            blanc = true;
        }
    }
    if (r.endsWith(QLatin1Char(' ')))
        r.chop(1);
    return r;
}
