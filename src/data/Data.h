#pragma once
// The only place that knows how to reach the database file. Every repository
// operation creates a Data object (which copies cheminBase), then asks it for
// a connection or for a disconnected recordset.
//
// The file is SQLite. One connection per database file is kept open for the
// session (WAL journal, busy timeout), so that each operation costs a few
// microseconds instead of an open and a journal sync; bulk work wraps its
// statements in a Transaction. SQL text is written in the dialect the
// program has always used and translated by traduireJet() before SQLite sees it.

#include "DataError.h"
#include "Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

class Connexion {
public:
    explicit Connexion(sqlite3* db, QString chemin);
    ~Connexion();
    Connexion(const Connexion&) = delete;
    Connexion& operator=(const Connexion&) = delete;

    // Executes one statement (translated first). Throws DataError.
    void Execute(const QString& sql);
    // Runs a query (translated first) and copies its whole result. Throws DataError.
    RecordsetPtr Ouvrir(const QString& sql);

    const QString& chemin() const { return m_chemin; }
    bool lectureSeule() const;
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db;
    QString m_chemin;
};

using ConnexionPtr = std::shared_ptr<Connexion>;

// A statement prepared once on a connection and run many times with new
// values (bulk loading). The SQL is SQLite's own (not translated). Values are
// bound by position from 1: a null QVariant gives NULL, a double a real, an
// integer an integer, anything else its text.
class InstructionPreparee {
public:
    InstructionPreparee(Connexion& connexion, const QString& sql); // throws DataError
    ~InstructionPreparee();
    InstructionPreparee(const InstructionPreparee&) = delete;
    InstructionPreparee& operator=(const InstructionPreparee&) = delete;

    void lier(int position, const QVariant& valeur);
    // Runs the statement with the bound values, then clears them. Throws DataError.
    void executer();

private:
    Connexion& m_connexion;
    sqlite3_stmt* m_st = nullptr;
};

// All-or-nothing work on one connection: nothing is kept unless valider() is
// called; the destructor rolls back otherwise. Transactions nest (savepoints).
class Transaction {
public:
    explicit Transaction(Connexion& connexion);
    ~Transaction();
    void valider();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Connexion& m_connexion;
    QString m_nom;
    bool m_externe = false; // opened the connection's transaction
    bool m_fini = false;
};

// The database file in use: set by the login, read by every new Data object.
extern QString cheminBase;

class Data {
public:
    Data();
    // A Data object on another file than cheminBase (tools, tests).
    explicit Data(QString chemin) : m_chemin(std::move(chemin)) {}

    // Tests the database: shows the failure under the title "Data" and
    // returns false when it cannot be opened. Never creates nor changes a file.
    bool ConnexionCorrecte();
    // The open connection to the file; throws DataError 4000.
    ConnexionPtr CreeConnexion();
    // A disconnected recordset of the query; throws DataError 4000 or 4001.
    RecordsetPtr CreeRecordset(const QString& sql);

    const QString& chemin() const { return m_chemin; }

    // Closes every kept connection (before a file is replaced, and in tests).
    static void fermerConnexions();
    // Creates a new database file from the schema. Throws DataError.
    static void creerBase(const QString& chemin);

private:
    QString m_chemin;
};

// Registers the core library's resources (schema, demonstration content).
void initialiserRessourcesCore();

// Every apostrophe doubled, for text placed between apostrophes in SQL.
QString doublerQuotes(const QString& texte);
// A database value as text: text unchanged, a real or a date in the regional
// format, anything else (NULL, integers) empty.
QString valeurTexte(const QVariant& valeur);
// Runs fn, reporting a DataError (or any other failure) under the title
// "ERREUR" and returning defaut: the convention of every repository operation.
template <typename T, typename F> T operationDepot(T defaut, F&& fn);
void signalerErreurDepot(const QString& description);
// The two shapes of most repository operations, under that convention: a
// query (nullptr on failure), and statements run on one connection all or
// nothing.
RecordsetPtr depotLire(const QString& sql);
void depotEcrire(const QStringList& instructions);

template <typename T, typename F> T operationDepot(T defaut, F&& fn) {
    try {
        return fn();
    } catch (const DataError& e) {
        signalerErreurDepot(e.description());
    } catch (const std::exception& e) {
        signalerErreurDepot(QString::fromLocal8Bit(e.what()));
    }
    return defaut;
}
