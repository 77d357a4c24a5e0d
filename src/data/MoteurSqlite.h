#pragma once
// The SQLite backend behind Data: a database file opened and checked
// (FichierSqlite.cpp) and the connection that runs the program's SQL on it
// (DataSqlite.cpp). Only the data layer reaches it: above it, a file is a
// Connexion like a server database.

#include "Data.h"

#include <sqlite3.h>

enum class Ouverture {
    Verification, // the connectivity test: the file is left exactly as it is
    Session,      // the kept connection
    Creation,     // a new file
};

// Opens the database file, checks that it is one, and returns the open
// handle. Throws DataError; nothing is left open on failure.
sqlite3* ouvrirSqlite(const QString& chemin, Ouverture usage);
// The connectivity test of a file: it opens, and holds this program's users
// table. Throws DataError with a French message (another program's database,
// a busy file, ...); the file is left exactly as it is.
void verifierBaseSqlite(const QString& chemin);
// The French message of an SQLite result code, with SQLite's own detail.
QString messageSqlite(sqlite3* db, int code);
[[noreturn]] void leverSqlite(sqlite3* db, int code);
// The busy handler of every connection (sqlite3_busy_handler).
int attendreBaseOccupee(void*, int tentative);

// Which file a path names now: device and inode, so that a file replaced
// under the same name (a backup put back, a new copy) is told from the one
// a kept connection has open.
struct IdentiteFichier {
    bool present = false;
    quint64 peripherique = 0;
    quint64 noeud = 0;
    bool operator==(const IdentiteFichier&) const = default;
};
IdentiteFichier identiteFichier(const QString& chemin);

// Registers the program's SQL functions (Mid, cstr, LIKE) and the French
// label order on a new handle.
void enregistrerFonctions(sqlite3* db);
// The connection over an open handle, which it closes in the end.
ConnexionPtr connexionSqlite(sqlite3* db, const QString& chemin);
// A read run with a number of values its text does not expect.
QString messageNombreDeValeurs(qsizetype valeurs);
