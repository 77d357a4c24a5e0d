#pragma once
// Thesaurus text files. Written in Windows-1252 with CR LF line ends (in UTF-8
// with a byte-order mark when some character has no Windows-1252 byte, so
// that nothing is lost); line 1 is
// a header (today's date, the owner), then either the exchange layout (file
// extension exactly "txt": one line per category, its label then a TAB and
// the code of each act) or a readable listing with labels and phases (any
// other extension, or none).
//
// Reading accepts what editors write today: UTF-8 (with or without a
// byte-order mark) and UTF-16 with a byte-order mark; otherwise Windows-1252.
// Line ends may be CR LF, LF or CR. Blank lines and empty act codes are
// skipped; the readable listing, a control character, a file of nothing but
// blanks and an outsized file are refused with a message.

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

// Writes a text file by the rules of thesaurus files (Windows-1252 with CR LF
// when every character fits, else UTF-8 with a byte-order mark), all at once.
// False, after an "Erreur" message, when it cannot be written; the file is
// then left as it was.
bool ecrireFichierThesaurus(const QString& chemin, const QString& texte);

// Adds the categories and acts of a thesaurus file to the thesaurus of an
// owner (CT_LIEN: unit or doctor code; CT_TYPE: 1 unit, 2 doctor). All or
// nothing; false after a message when nothing was added, or without one when
// the user stopped it with "Annuler" in the wait window (the same for the
// replacement below).
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

// One category line of a file: its label and act codes (trimmed, upper
// case, empty ones left out), and the length of its line.
struct CategorieImportee {
    QString libelle;
    QStringList actes;
    int longueur = 0;
};

// What a file's bytes give: its categories, or the French message that
// refuses it (the file named chemin in it) when it is not a thesaurus file
// of the exchange layout. Touches neither a file nor the database.
struct LectureThesaurus {
    QList<CategorieImportee> categories;
    QString erreur; // empty when the file can be imported
};
LectureThesaurus lireTexteThesaurus(const QByteArray& octets, const QString& chemin);

// Largest file the import accepts, and most categories and acts (together)
// in one file: the whole classification holds under 10,000 acts.
constexpr qint64 tailleMaxImport = 64LL * 1024 * 1024;
constexpr int lignesMaxImport = 200000;
