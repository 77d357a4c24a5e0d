#include "Windows1252.h"

namespace {

// The characters of bytes 0x80 to 0x9F; the rest of the code page is
// Latin-1, where the byte value is the code point.
constexpr char16_t kPlage80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

} // namespace

QChar caractereWindows1252(unsigned char octet) {
    if (octet >= 0x80 && octet <= 0x9F)
        return QChar(kPlage80[octet - 0x80]);
    return QChar(static_cast<char16_t>(octet));
}

unsigned char octetWindows1252(QChar caractere, bool* ok) {
    const char16_t u = caractere.unicode();
    if (ok)
        *ok = true;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    for (int i = 0; i < 32; ++i)
        if (kPlage80[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    if (ok)
        *ok = false;
    return '?';
}

QByteArray versWindows1252(const QString& texte) {
    QByteArray r;
    r.resize(texte.size());
    for (qsizetype i = 0; i < texte.size(); ++i)
        r[i] = static_cast<char>(octetWindows1252(texte.at(i)));
    return r;
}

QString depuisWindows1252(const QByteArray& octets) {
    QString r;
    r.resize(octets.size());
    for (qsizetype i = 0; i < octets.size(); ++i)
        r[i] = caractereWindows1252(static_cast<unsigned char>(octets.at(i)));
    return r;
}

bool representableEnWindows1252(const QString& texte) {
    for (const QChar c : texte) {
        bool ok = false;
        octetWindows1252(c, &ok);
        if (!ok)
            return false;
    }
    return true;
}
