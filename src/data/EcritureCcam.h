#pragma once
// Storing a classification read in memory into a Tarvenor database, all or
// nothing.
//
// An existing database is checked first (a SQLite file of this program, not
// damaged, writable, not held by another program past the wait), then every
// classification table is emptied and refilled in one transaction on the
// kept connection; users, doctors, units and thesauri are never touched. On
// any failure, or if the process is killed, SQLite takes the transaction
// back: the file reads as it was.
//
// A new database is built in a temporary file beside the target and renamed
// into place once complete, so that the target path never holds a partial
// database.
//
// A database on a server (a "postgresql://" URI) gets Tarvenor's tables when
// it has none, then the classification in one transaction: the server keeps
// all of it or none.

#include "ClassificationCcam.h"
#include "Data.h"

struct ResultatEcriture {
    bool baseCreee = false;
    QStringList actesThesaurusAbsents; // thesaurus act codes missing from the classification
};

namespace EcritureCcam {

// How long a database held by another program is waited for: the same wait
// as every connection of the program.
constexpr int attenteBaseOccupeeMs = delaiAttenteBaseOccupee;

// The classification tables, which a load replaces (and which the migration
// of a unit's database copies): CCAM first, then every reference table.
const QStringList& tablesClassification();

// Creates the tables that follow the classification from load to load
// (where its rules come from, the versions loaded, the codes they retired)
// in a database written before they existed. Throws DataError.
void creerTablesSuivi(Connexion& connexion);

// Empties the tables inside the caller's transaction (TRUNCATE on a
// server). Throws DataError.
void vider(Connexion& connexion, const QStringList& tables);

// Throws ErreurImport with a French message that ends by saying what became
// of the database.
ResultatEcriture enregistrer(const ClassificationCcam& classification, const QString& cheminBase);

} // namespace EcritureCcam
