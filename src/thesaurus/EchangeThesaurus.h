#pragma once
// Thesaurus text files. Written in Windows-1252 with CR LF line ends; line 1 is
// a header (today's date, the owner), then either the exchange layout (file
// extension exactly "txt": one line per category, its label then a TAB and
// the code of each act) or a readable listing with labels and phases (any
// other extension, or none).
//
// Reading accepts what editors write today: UTF-8 (with or without a
// byte-order mark) and UTF-16 with a byte-order mark; otherwise Windows-1252.
// Line ends may be CR LF, LF or CR.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Medecin;

// Export of a unit thesaurus ("code - label") read from the tables, and of a
// filled doctor. False, after an "Erreur" message, when the file cannot be
// written; the file is then left as it was.
bool exporterThesaurusUM(const QString& a_UM, const QString& chemin);
bool exporterThesaurusMED(const Medecin& a_med, const QString& chemin);

// Adds the categories and acts of a thesaurus file to the thesaurus of an
// owner (CT_LIEN: unit or doctor code; CT_TYPE: 1 unit, 2 doctor). All or
// nothing; false after a message when nothing was added.
bool importerThesaurus(const QString& chemin, const QString& a_Lien, int a_type);

// Replaces the thesaurus of an owner by a file. The file is read and checked
// before anything is deleted; deletion and import then run in one transaction,
// so that any failure leaves the old thesaurus whole. False after a message
// when the thesaurus was left unchanged.
bool remplacerThesaurusParFichier(const QString& chemin, const QString& a_Lien, int a_type);

// ---- Reading, exposed for tests

// Bytes of a text file to text: UTF-8 or UTF-16 with a byte-order mark,
// UTF-8 when the bytes are valid UTF-8 with some non-ASCII byte, else
// Windows-1252.
QString decoderTexteFichier(const QByteArray& octets);

// One category line of a file: its label and act codes, and its length.
struct CategorieImportee {
    QString libelle;
    QStringList actes;
    int longueur = 0;
};

// The category lines of a file's text (the header line skipped).
QList<CategorieImportee> analyserTexteThesaurus(const QString& texte);

// Largest file the import accepts.
constexpr qint64 tailleMaxImport = 64LL * 1024 * 1024;
