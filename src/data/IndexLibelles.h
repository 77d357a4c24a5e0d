#pragma once
// The full-text index of the act labels and the vocabulary of the
// classification, both built from the CCAM table by whoever writes the
// classification (the importer, the demonstration database), inside the
// same transaction, so that they always describe the rows beside them.
//
// - CCAM_Recherche: an FTS5 table with the trigram tokenizer, one row per act
//   and label (AMCODE, then both search forms of the label on one text). It
//   only narrows a label search: the search's own LIKE conditions still
//   decide which rows are found.
// - CCAM_Vocabulaire: every word of the full labels (Mot: its search form,
//   lower case without accents; Forme: how the labels write it; Frequence:
//   the number of acts whose label holds it), for spelling suggestions.
// - CCAM_Recherche_Etat: one row while both describe the act rows, which
//   also holds the vocabulary as one text (Vocabulaire), read in one go by
//   the first suggestion of a session (texteVocabulaire). Triggers
//   on CCAM delete it as soon as a row is added, changed or removed by
//   anything but a load (an earlier version of the program, a SQLite tool):
//   the search then scans the labels, as without an index.
//
// A file made before the index has neither table: searches scan the labels,
// and the next classification load adds both. Opening a file never creates
// them.

#include "Data.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace IndexLibelles {

inline constexpr char tableIndex[] = "CCAM_Recherche";
inline constexpr char tableVocabulaire[] = "CCAM_Vocabulaire";

// Creates both tables when the file lacks them, then refills them from the
// CCAM table. Meant to run inside the caller's transaction, after the
// classification rows were written. Throws DataError.
void reconstruire(Connexion& connexion);

// Drops the triggers that mark the index stale when an act row changes,
// before a load rewrites the CCAM table in the same transaction (each row
// would otherwise run them, and SQLite could not empty the table at once);
// reconstruire() creates them again. Throws DataError.
void retirerDeclencheurs(Connexion& connexion);

// True when the file of this connection holds an index that describes its
// act rows. Asked once per
// connection and state of the file: the answer is kept until this
// connection or another program writes to the file.
bool present(Connexion& connexion);

// present()'s answer on this connection without reading the file: known
// while the file is in the state this connection's last read found it in
// when present() answered (nothing written through the connection since,
// and no read since found another program's change). Empty otherwise. A
// search that relies on it asks again after its own read: still the same
// answer means that the search read that state.
std::optional<bool> presentSansLecture(Connexion& connexion);

// A value that changes whenever the file may have changed: a write through
// this connection, or a transaction committed by another connection. For
// caches of what the file holds.
QString etatFichier(Connexion& connexion);

// The vocabulary as one text, one line per word: Mot, Forme and Frequence
// separated by tabs, each line ending in a line break. Read in one go from
// the mark row; assembled from the rows of CCAM_Vocabulaire when the mark
// table has no Vocabulaire column (an index built before it, or by an
// earlier version of the program). Empty when the file has no valid index
// (present) or on a server. Throws DataError.
QString texteVocabulaire(Connexion& connexion);

// The words of a label as the vocabulary keeps them: runs of letters and
// digits holding at least one letter, three characters or more.
QStringList motsDuLibelle(const QString& libelle);

// The form a vocabulary word is looked up by: lower case, no accent,
// ligatures written out (the label's simplified search form).
QString formeRecherche(const QString& mot);

} // namespace IndexLibelles
