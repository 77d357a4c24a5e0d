#include "EmpreinteMotDePasse.h"

#include "Chiffrement.h"

#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <stdexcept>

namespace {

constexpr int tailleSel = 16;
constexpr int tailleEmpreinte = 32;
// A stored count or length beyond these is refused rather than computed.
constexpr int iterationsMaximum = 100000000;
constexpr int tailleMaximum = 64;
const char* const echecCalcul = "Le calcul de l'empreinte du mot de passe a échoué.";

QByteArray deriver(const QString& motDePasse, const QByteArray& sel, int iterations, int taille) {
    const QByteArray octets = motDePasse.toUtf8();
    QByteArray cle(taille, '\0');
    if (PKCS5_PBKDF2_HMAC(octets.constData(), int(octets.size()),
                          reinterpret_cast<const unsigned char*>(sel.constData()), int(sel.size()),
                          iterations, EVP_sha256(), taille,
                          reinterpret_cast<unsigned char*>(cle.data())) != 1)
        return {};
    return cle;
}

} // namespace

QString empreinteMotDePasse(const QString& motDePasse, const QByteArray& sel, int iterations) {
    const QByteArray cle = deriver(motDePasse, sel, iterations, tailleEmpreinte);
    if (cle.isEmpty())
        throw std::runtime_error(echecCalcul);
    return prefixeEmpreinte + QString::number(iterations) + u'$' +
           QString::fromLatin1(sel.toBase64()) + u'$' + QString::fromLatin1(cle.toBase64());
}

QString empreinteMotDePasse(const QString& motDePasse) {
    QByteArray sel(tailleSel, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(sel.data()), tailleSel) != 1)
        throw std::runtime_error(echecCalcul);
    return empreinteMotDePasse(motDePasse, sel, iterationsEmpreinte);
}

bool estEmpreinte(const QString& stocke) {
    return stocke.startsWith(prefixeEmpreinte);
}

VerificationMotDePasse verifierMotDePasse(const QString& motDePasse, const QString& stocke) {
    if (!estEmpreinte(stocke))
        return crypter(motDePasse, cleChiffrement) == stocke
                   ? VerificationMotDePasse::AccepteAncienneForme
                   : VerificationMotDePasse::Refuse;
    const QStringList parties = stocke.mid(prefixeEmpreinte.size()).split(u'$');
    if (parties.size() != 3)
        return VerificationMotDePasse::Refuse;
    bool nombre = false;
    const int iterations = parties.at(0).toInt(&nombre);
    const auto decoder = [](const QString& texte) {
        return QByteArray::fromBase64Encoding(texte.toLatin1(),
                                              QByteArray::AbortOnBase64DecodingErrors);
    };
    const auto sel = decoder(parties.at(1));
    const auto attendu = decoder(parties.at(2));
    if (!nombre || iterations < 1 || iterations > iterationsMaximum || !sel || !attendu ||
        attendu.decoded.isEmpty() || attendu.decoded.size() > tailleMaximum)
        return VerificationMotDePasse::Refuse;
    const QByteArray calcule =
        deriver(motDePasse, sel.decoded, iterations, int(attendu.decoded.size()));
    if (calcule.size() != attendu.decoded.size() ||
        CRYPTO_memcmp(calcule.constData(), attendu.decoded.constData(), size_t(calcule.size())) !=
            0)
        return VerificationMotDePasse::Refuse;
    return VerificationMotDePasse::Accepte;
}
