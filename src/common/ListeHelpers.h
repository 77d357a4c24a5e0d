#pragma once
// Joining and splitting the program's list items and tree keys, whose parts
// are separated by " - " (code, " - ", label; or prefix, code, activity), and
// cutting the fields of an imported line and the extension of a file name.

#include <QString>

// The separator of the parts of a list item or tree key.
inline const QString separateurListe = QStringLiteral(" - ");

// A list item: code, " - ", label.
QString codeEtLibelle(const QString& code, const QString& libelle);
// The part before the first " - "; empty when there is none.
QString extraireCode(const QString& texte);
// The part between the first and the second " - "; empty when either is missing.
QString extraireMilieu(const QString& texte);
// The part after the last " - "; empty when there is none.
QString extraireFin(const QString& texte);
// The field of the line that starts at position debut (1-based) and ends
// before the next separator, or at the end of the line. Empty past the end.
QString champSuivant(const QString& ligne, qint16 debut, const QString& separateur);
// Removes from the name what follows its last "." and returns it: "theso.txt"
// gives "txt" and leaves "theso.". A name without "." gives empty text and is
// left unchanged.
QString extraireExtension(QString& nom);
