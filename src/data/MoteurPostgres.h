#pragma once
// The PostgreSQL backend behind Data (libpq's C API). Only Data.cpp reaches
// it: above the data layer, a server database is a Connexion like a file.

#include "Data.h"

namespace postgres {

// Opens a session on the database the URI names. Throws DataError with a
// French message (invalid URI, unreachable server, refused account or
// password, unknown database).
ConnexionPtr ouvrir(const QString& uri);
// The connection still talks to its server.
bool utilisable(const Connexion& connexion);
// The connectivity test: opens a session, checks that the database holds
// Tarvenor's tables, closes it. Throws DataError.
void verifier(const QString& uri);
// Installs the schema and the server functions into a database without
// Tarvenor's tables, in one transaction. Throws DataError.
void creerBase(const QString& uri);
// Creates the trigram indexes of the label search (and the pg_trgm
// extension) when the database lacks them, merges their pending entries,
// updates the statistics of the act table and replaces the French order
// function by this version's. Throws DataError.
void installerIndexLibelles(const QString& uri);
// The server function giving the key of a text in the French label order.
QString definitionOrdreFrancais();

} // namespace postgres

// Messages shared by the backends.
QString messageLectureQuiModifie();
QString messageUneSeuleInstruction();
