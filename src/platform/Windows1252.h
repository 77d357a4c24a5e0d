#pragma once
// The 8-bit Windows code page 1252 (Western European "ANSI"), in both
// directions. Files exchanged with the program's users and the stored
// passwords use it. Written by hand: Qt's own converters do not offer this
// code page on every platform.
//
// The five bytes that the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the control characters of the same value (U+0081 ...), so
// that every byte value decodes and encodes back to itself.

#include <QByteArray>
#include <QChar>
#include <QString>

// The character of one byte.
QChar caractereWindows1252(unsigned char octet);
// The byte of one character; '?' for a character the code page does not hold.
// With ok, tells whether the character was held.
unsigned char octetWindows1252(QChar caractere, bool* ok = nullptr);

// Unicode text to Windows-1252 bytes: one byte per UTF-16 unit, '?' for a
// character the code page does not hold.
QByteArray versWindows1252(const QString& texte);
// Windows-1252 bytes to Unicode text: every byte gives one character.
QString depuisWindows1252(const QByteArray& octets);
// Whether every character of the text is held by the code page.
bool representableEnWindows1252(const QString& texte);
