#pragma once
// Translation of the program's SQL dialect (that of the Jet engine) into
// SQLite's or PostgreSQL's, applied to every text before it runs. Text
// between apostrophes (literals) is never changed. What it rewrites for
// SQLite (text between double quotes is left as it is):
//   "<> null"                      -> "IS NOT NULL"
//   "DELETE * FROM", "DELETE T.* FROM" -> "DELETE FROM"
//   "#mm/dd/yyyy#"                 -> "'yyyy-mm-dd'"
//   "SELECT @@IDENTITY"            -> "SELECT last_insert_rowid()"
//   "ORDER BY T.col" after a UNION -> "ORDER BY col"
//   "ORDER BY CT_LIB" (a label)    -> "ORDER BY CT_LIB COLLATE FRANCAIS"
// The labels are the text columns that users type in the application's own
// tables; they are ordered as people read them (OrdreFrancais.h), case and
// accents ignored. Codes of the classification keep the binary order
// of their index.
//
// For PostgreSQL, the same idioms, with the server's forms:
//   "<> null", "DELETE * FROM", "ORDER BY T.col" after a UNION: as above
//   "#mm/dd/yyyy#"                 -> "DATE 'yyyy-mm-dd'"
//   "SELECT @@IDENTITY"            -> "SELECT lastval()" (same session)
//   "Mid(x, d, n)"                 -> "substr(x, d, n)"
//   "LIKE"                         -> "ILIKE" (case ignored, as on SQLite)
//   "ORDER BY CT_LIB" (a label)    -> "ORDER BY tarvenor_ordre(CT_LIB), CT_LIB"
//   Systèmes, "Systèmes"           -> "systèmes"
// Names are folded to lower case as the server folds unquoted names, so that
// a name with accents, quoted or not, finds the table the schema created.
// cstr() and tarvenor_ordre() are functions the schema installs on the
// server (Data::creerBase).
//
// Before that, on both dialects, shapes that let an index serve the query,
// with the same rows in the same order:
//   "Mid(col,1,n) = 'lit'" (lit of n characters, a test of its own between
//   WHERE/AND/OR/NOT/"(" and AND/OR/")"/ORDER BY/GROUP BY/LIMIT/UNION/end)
//     -> "(col >= 'lit' AND col < 'liu' AND Mid(col,1,n) = 'lit')"
//   where 'liu' is lit with its last character followed by the next one:
//   the range the code indexes serve (binary order on SQLite, collation "C"
//   of every text column on the server), the exact test kept.
// And on SQLite only, a read of the CCAM table alone whose conditions are
// LIKE tests of columns outside its indexes only (the keyword search by
// words without its label index; a search by code prefix keeps the walk of
// the code index, which tests the code in the index entry):
//   "SELECT ... FROM CCAM WHERE ... like ..." -> "... FROM CCAM NOT INDEXED WHERE ..."
// so that the table is read once in its own order and the rows found sorted,
// rather than walked in code order through the index with a random read
// per row.

#include <QString>

enum class Dialecte { Sqlite, Postgres };

QString traduireJet(const QString& sql, Dialecte dialecte = Dialecte::Sqlite);

// While one lives, traduireJet leaves the texts in the shapes they were
// written in (the index shapes above are not applied): benchmarks and tests
// compare the two side by side.
class FormesTelles {
public:
    FormesTelles();
    ~FormesTelles();
    FormesTelles(const FormesTelles&) = delete;
    FormesTelles& operator=(const FormesTelles&) = delete;
};

// Name of the French label order, registered on every SQLite connection.
inline constexpr char nomCollationFrancaise[] = "FRANCAIS";
// Name of the server function giving the key of a label in the French order.
inline constexpr char nomFonctionOrdreFrancais[] = "tarvenor_ordre";
