#pragma once
// How a password is stored (UTI_PWD): a salted, slow hash, never the
// password itself nor anything it can be read back from.
//
//   pbkdf2-sha256$<iterations>$<salt>$<hash>
//
// PBKDF2-HMAC-SHA-256 (OpenSSL) of the password's UTF-8 bytes, a random
// salt of 16 bytes, a 32-byte hash, both in base 64. The iteration count is
// part of the stored value, so that a later version can raise it: a value
// is checked with its own count.
//
// Earlier versions stored the reversible cipher of Chiffrement.h. Such a
// value (any value without the prefix) is still accepted at login when it
// is the cipher of the typed password; the login then stores the hash in its
// place (Session.cpp). New and changed passwords are only ever hashed here.

#include <QByteArray>
#include <QString>

inline const QString prefixeEmpreinte = QStringLiteral("pbkdf2-sha256$");
// OWASP's 2023 figure for PBKDF2-HMAC-SHA-256 (about 0.3 s on one core).
constexpr int iterationsEmpreinte = 600000;

// The stored form of a password, with a new random salt. Throws
// std::runtime_error (a French message) when OpenSSL fails.
QString empreinteMotDePasse(const QString& motDePasse);
// The same with a given salt and count (tests, the demonstration database).
QString empreinteMotDePasse(const QString& motDePasse, const QByteArray& sel, int iterations);

// The value is a hash of this form (whatever its count).
bool estEmpreinte(const QString& stocke);

enum class VerificationMotDePasse {
    Refuse,
    Accepte,
    AccepteAncienneForme // right, but stored in the old cipher: store the hash
};
// The typed password against the stored value. A value with the prefix that
// cannot be read (count out of range, bad base 64) refuses every password.
VerificationMotDePasse verifierMotDePasse(const QString& motDePasse, const QString& stocke);
