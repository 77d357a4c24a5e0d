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

#include <QString>

enum class Dialecte { Sqlite, Postgres };

QString traduireJet(const QString& sql, Dialecte dialecte = Dialecte::Sqlite);

// Name of the French label order, registered on every SQLite connection.
inline constexpr char nomCollationFrancaise[] = "FRANCAIS";
// Name of the server function giving the key of a label in the French order.
inline constexpr char nomFonctionOrdreFrancais[] = "tarvenor_ordre";
