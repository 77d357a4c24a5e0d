#pragma once
// Translation of the program's SQL dialect (that of the Jet engine) into
// SQLite's, applied to every text before it runs. Text between apostrophes
// (literals) or double quotes is never changed. What it rewrites:
//   "<> null"                      -> "IS NOT NULL"
//   "DELETE * FROM", "DELETE T.* FROM" -> "DELETE FROM"
//   "#mm/dd/yyyy#"                 -> "'yyyy-mm-dd'"
//   "SELECT @@IDENTITY"            -> "SELECT last_insert_rowid()"
//   "ORDER BY T.col" after a UNION -> "ORDER BY col"

#include <QString>

QString traduireJet(const QString& sql);
