#include "Chiffrement.h"

#include "Windows1252.h"

namespace {

// Shifts every byte of the text by the paired key byte, times sens (+1 or -1).
QString decaler(const QString& texte, const QString& cle, int sens) {
    if (cle.isEmpty())
        return texte;
    const QByteArray t = versWindows1252(texte);
    const QByteArray k = versWindows1252(cle);
    const qsizetype longueurCle = k.size();
    QByteArray r(t.size(), '\0');
    for (qsizetype i = 1; i <= t.size(); ++i) {
        const int c = static_cast<unsigned char>(t.at(i - 1));
        // Key position (i mod L) + 1, 1-based, is index i mod L.
        const int kc = static_cast<unsigned char>(k.at(i % longueurCle));
        r[i - 1] = static_cast<char>(((c + sens * kc) % 256 + 256) % 256);
    }
    return depuisWindows1252(r);
}

} // namespace

QString crypter(const QString& texte, const QString& cle) {
    return decaler(texte, cle, +1);
}

QString decrypter(const QString& texte, const QString& cle) {
    return decaler(texte, cle, -1);
}
