#pragma once
// Translation of the program's SQL dialect (that of the Jet engine) into
// SQLite's, applied to every text before it runs. Text between apostrophes
// (literals) or double quotes is never changed. What it rewrites:
//   "<> null"                      -> "IS NOT NULL"
//   "DELETE * FROM", "DELETE T.* FROM" -> "DELETE FROM"
//   "#mm/dd/yyyy#"                 -> "'yyyy-mm-dd'"
//   "SELECT @@IDENTITY"            -> "SELECT last_insert_rowid()"
//   "ORDER BY T.col" after a UNION -> "ORDER BY col"
//   "ORDER BY CT_LIB" (a label)    -> "ORDER BY CT_LIB COLLATE FRANCAIS"
// The labels are the text columns that users type in the application's own
// tables; they are ordered as people read them (OrdreFrancais.h), as the
// original database did. Codes of the classification keep the binary order
// of their index.

#include <QString>

QString traduireJet(const QString& sql);

// Name of the French label order, registered on every connection.
inline constexpr char nomCollationFrancaise[] = "FRANCAIS";
