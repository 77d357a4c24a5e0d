#pragma once
// The password cipher. A stored password (UTI_PWD) is the typed password
// enciphered by crypter() with the key phrase cleChiffrement.
//
// Each character is taken as its Windows-1252 byte code c; the key character
// paired with text position i (1-based) is the one at key position
// (i modulo key length) + 1, of code k; the result character has the byte
// code (c + k) modulo 256, decoded back through Windows-1252. With a key of
// length L, text position 1 uses key character 2, and every multiple of L
// uses key character 1. decrypter() subtracts instead (wrapping below 0).
// An empty key leaves the text unchanged. The result has the text's length.
//
// Working on the same byte codes and decoding them the same way keeps the
// passwords stored by earlier versions of the program valid.

#include <QString>

// The key phrase built into the program (27 characters).
inline const QString cleChiffrement = QStringLiteral("voici une autre phrase test");

QString crypter(const QString& texte, const QString& cle);
QString decrypter(const QString& texte, const QString& cle);
