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
// Inside the open transaction of a server connection: drops the trigram
// indexes of the label search; then, once the act rows are written, creates
// them (and the pg_trgm extension) from all the rows, replaces the French
// order function by this version's and updates the act table's statistics.
// Throws DataError.
void retirerIndexLibelles(Connexion& connexion);
void construireIndexLibelles(Connexion& connexion);
// The server function giving the key of a text in the French label order.
QString definitionOrdreFrancais();

} // namespace postgres

// Messages shared by the backends.
QString messageLectureQuiModifie();
QString messageUneSeuleInstruction();
