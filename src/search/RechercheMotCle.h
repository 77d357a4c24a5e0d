#pragma once
// The keyword search of the act classification, without any widget: the
// typed text is trimmed, its apostrophes doubled, its accented letters
// folded, then cut into words, and every word becomes one condition
// of the SQL text (a prefix of the code, or a part of one of the two search
// forms of the label).

#include "Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

class Connexion;

namespace RechercheMotCle {

// Replaces é è ê à â ï î ô ö û ü by their plain letter, and every other
// accented letter too (É → E, ç → c); the case of letters is kept.
QString plierAccents(const QString& texte);

// Cuts at every blank; runs of blanks give no empty word.
QStringList decouperMots(const QString& texte);

// The typed keywords as they go into the SQL: trimmed, apostrophes doubled,
// accents folded, cut into words. Empty when nothing but blanks was typed.
QStringList motsCles(const QString& saisie);

// False when the word (as motsCles gives it) cannot begin any act code:
// a code is four letters then three digits, so a word longer than seven
// characters, or with something else than a letter or "_" in the first four
// places or than a digit or "_" in the last three, begins none. A word
// holding "%" may begin one.
bool peutCommencerUnCode(const QString& mot);

// The query text for the given words (as returned by motsCles): by code
// prefix when parCode is true, else by label. Empty for no word.
QString sqlRecherche(const QStringList& mots, bool parCode);

// What the label index must hold for the words to match, as an FTS5 query:
// every run of three characters or more between the wildcards % and _ of
// each word, when it is plain ASCII (the index and the search's LIKE ignore
// the case of exactly those letters alike). Empty when no word has one.
QString requeteIndex(const QStringList& mots);

// The label search narrowed by the index with the typed words apart from
// the text (Connexion::OuvrirAvecValeurs): each "?" of sql stands for one of
// valeurs, the index query first, then each word's pattern twice. Empty sql
// for a code search, no word, or no word the index can look for.
struct RechercheParametree {
    QString sql;
    QVariantList valeurs;
};
RechercheParametree rechercheIndexeeParametree(const QStringList& mots, bool parCode);

// sqlRecherche's query narrowed by the label index (IndexLibelles): the same
// conditions, applied to the acts whose indexed labels hold what
// requeteIndex asks, so the rows are the same, found without reading every
// label. sqlRecherche's text itself for a code search or when requeteIndex
// is empty; else rechercheIndexeeParametree's text with its values written in.
QString sqlRechercheIndexee(const QStringList& mots, bool parCode);

// The query for the database open on the connection: sqlRechercheIndexee
// when the file has the label index, else sqlRecherche.
QString sqlRechercheSur(Connexion& connexion, const QStringList& mots, bool parCode);

// Runs the search on the database in use: narrowed by the index when the
// file has one, else the plain scan. Throws DataError; shows nothing.
RecordsetPtr executerRecherche(const QStringList& mots, bool parCode);

// True when some act label holds the word (as motsCles gives it), in either
// search form. Narrowed by the index when the file has one. Throws DataError.
bool libelleContient(const QString& mot);

// The same under the repositories' convention: a failure is shown under the
// title "ERREUR" and gives nullptr.
RecordsetPtr rechercher(const QStringList& mots, bool parCode);

} // namespace RechercheMotCle
