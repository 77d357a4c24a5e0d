#pragma once
// The demonstration database: a small classification written by the team
// (acts with every kind of relation), units, users of each group, doctors and
// thesauri, so that a new user can log in at once.

#include <QString>

// Creates the file from the schema and fills it. Throws DataError; refuses an
// existing file (it never overwrites one).
void creerBaseDemonstration(const QString& chemin);
