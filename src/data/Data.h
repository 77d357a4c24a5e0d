#pragma once
// The only place that knows how to reach the database. Every repository
// operation creates a Data object (which copies cheminBase), then asks it for
// a connection or for a disconnected recordset.
//
// The database is either a SQLite file, in its default rollback journal,
// shared by several copies of the program, or a database on a PostgreSQL
// server, named by a libpq URI ("postgresql://user@host:port/base"); the
// text given to Data tells which. One connection per database is kept open
// for the session, so that each operation costs a few microseconds instead
// of an open; bulk work wraps its statements in a Transaction. SQL text is
// written in the dialect the program has always used and translated by
// traduireJet() into the backend's own before it runs. Nothing above this
// layer knows which backend it talks to.

#include "DataError.h"
#include "Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

// How long every connection waits for a database that another program is
// writing, in milliseconds, before the operation fails with
// messageBaseOccupee().
constexpr int delaiAttenteBaseOccupee = 10000;
// The one message shown when another program kept the database busy too long.
QString messageBaseOccupee();

struct sqlite3;

enum class Moteur { Sqlite, Postgres };

// The text names a database on a server (a libpq URI), not a file.
bool estAdresseServeur(const QString& chemin);
// The backend of a database named by a path or a URI.
inline Moteur moteurDe(const QString& chemin) {
    return estAdresseServeur(chemin) ? Moteur::Postgres : Moteur::Sqlite;
}
// The database's name as shown to users: the path, or the URI without any
// password it holds.
QString nomAffichableBase(const QString& chemin);

class InstructionPreparee;
class Transaction;

// One statement prepared by a backend (see InstructionPreparee).
class PreparationMoteur {
public:
    virtual ~PreparationMoteur() = default;
    virtual void lier(int position, const QVariant& valeur) = 0;
    virtual void executer() = 0;
};

// One backend's way of appending rows to a table (see AjoutEnBloc).
class AjoutMoteur {
public:
    virtual ~AjoutMoteur() = default;
    virtual void lier(int position, const QVariant& valeur) = 0;
    virtual void ajouter() = 0;
    virtual void terminer() = 0;
};

// An open connection to one database. Execute and Ouvrir translate the
// program's SQL into the backend's dialect.
class Connexion {
public:
    virtual ~Connexion() = default;
    Connexion(const Connexion&) = delete;
    Connexion& operator=(const Connexion&) = delete;

    // Executes one statement, or several separated by semicolons (translated
    // first). Throws DataError.
    virtual void Execute(const QString& sql) = 0;
    // Runs one read-only query (translated first) and copies its whole
    // result. Throws DataError.
    virtual RecordsetPtr Ouvrir(const QString& sql) = 0;
    // The same with the values apart from the text: one "?" for each, in
    // order, bound as InstructionPreparee binds them, so that the text stays
    // the same whatever the values. A file keeps the statement of each such
    // text prepared for the next call; a server runs sqlAvecValeurs' text.
    // Throws DataError, also when the text does not hold one "?" per value.
    virtual RecordsetPtr OuvrirAvecValeurs(const QString& sql, const QVariantList& valeurs);

    const QString& chemin() const { return m_chemin; }
    // Tells this connection from every other one opened by the process, even
    // one opened later on the same file, for what is kept about a connection.
    quint64 numero() const { return m_numero; }
    virtual Moteur moteur() const = 0;
    virtual bool lectureSeule() const = 0;
    // A transaction is open on the connection.
    virtual bool enTransaction() const = 0;
    // Inside the open transaction: until it ends, every other connection
    // that asks for the same key waits (writers of one thesaurus, of the
    // accounts). On SQLite the outermost transaction already holds the
    // file's write lock, which serialises every writer.
    virtual void verrouiller(const QString& cle) = 0;
    // The system's error number of the last failed file access (a full
    // disk), 0 when there is none or the database is not a file.
    virtual int erreurSysteme() const { return 0; }

protected:
    explicit Connexion(QString chemin);

private:
    friend class Transaction;
    friend class InstructionPreparee;
    friend class AjoutEnBloc;
    friend void echecDansTransaction(Connexion& connexion, const DataError& erreur);
    // The transaction's own commands, run as they are. Throws DataError.
    virtual void commande(const QByteArray& sql) = 0;
    // The same, for rolling back: a failure is ignored.
    virtual void commandeSansErreur(const QByteArray& sql) noexcept = 0;
    // How the outermost transaction begins.
    virtual QByteArray debutTransaction() const = 0;
    virtual std::unique_ptr<PreparationMoteur> preparer(const QString& sql) = 0;
    // By default prepared INSERTs of a few hundred rows each.
    virtual std::unique_ptr<AjoutMoteur> ajoutEnBloc(const QString& table,
                                                     const QStringList& colonnes);

    QString m_chemin;
    quint64 m_numero;
    // The failure of a repository operation inside the open transaction.
    std::optional<DataError> m_echec;
};

using ConnexionPtr = std::shared_ptr<Connexion>;

// A statement prepared once on a connection and run many times with new
// values (bulk loading). The SQL is not translated: it is plain SQL that both
// backends read (names with accents between double quotes, "?" for each
// value). Values are bound by position from 1: a null QVariant gives NULL, a
// double a real, an integer an integer, anything else its text.
class InstructionPreparee {
public:
    InstructionPreparee(Connexion& connexion, const QString& sql); // throws DataError
    InstructionPreparee(const InstructionPreparee&) = delete;
    InstructionPreparee& operator=(const InstructionPreparee&) = delete;

    void lier(int position, const QVariant& valeur) { m_preparation->lier(position, valeur); }
    // Runs the statement with the bound values, then clears them. Throws DataError.
    void executer() { m_preparation->executer(); }

private:
    std::unique_ptr<PreparationMoteur> m_preparation;
};

// Rows appended to one table inside the caller's open transaction, as fast as
// the backend takes them: on a server one COPY ... FROM STDIN whose rows are
// streamed without waiting for an answer (the server checks them all by
// terminer()), on a file prepared INSERTs of a few hundred rows each. The table and
// column names are written as for InstructionPreparee; values are bound by
// position from 1 as there, a value left unbound in a row giving NULL. Until
// terminer() returns, nothing else may run on the connection. A failure, or
// the object destroyed before terminer(), leaves the transaction unable to
// commit on a server: the caller rolls it back. Throws DataError.
class AjoutEnBloc {
public:
    AjoutEnBloc(Connexion& connexion, const QString& table, const QStringList& colonnes);
    AjoutEnBloc(const AjoutEnBloc&) = delete;
    AjoutEnBloc& operator=(const AjoutEnBloc&) = delete;

    void lier(int position, const QVariant& valeur) { m_ajout->lier(position, valeur); }
    // Appends the row of the bound values, then clears them.
    void ajouter() { m_ajout->ajouter(); }
    // Sends what is left and waits for the server's verdict on every row.
    void terminer() { m_ajout->terminer(); }

private:
    std::unique_ptr<AjoutMoteur> m_ajout;
};

// The label search's trigram indexes of a server database, around a bulk
// write of the act table inside the caller's transaction: dropped before the
// rows are written (no row then updates them one by one), and built once
// from all of them after, with the French order function of this version and
// the act table's statistics. Nothing on a file, whose own label index is
// rebuilt by IndexLibelles. Throws DataError.
void retirerIndexServeur(Connexion& connexion);
void construireIndexServeur(Connexion& connexion);

// All-or-nothing work on one connection: nothing is kept unless valider() is
// called; the destructor rolls back otherwise. The outermost one begins
// IMMEDIATE on SQLite (it waits for the write lock held by another program),
// a read-write transaction on a server; inner ones are savepoints. A
// repository operation that fails inside makes the outermost valider() throw
// that failure: nothing is kept.
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

// The database in use (a file path or a server URI): set by the login, read
// by every new Data object.
extern QString cheminBase;

class Data {
public:
    Data();
    // A Data object on another database than cheminBase (tools, tests): a
    // file path, or a "postgresql://" (or "postgres://") URI.
    explicit Data(QString chemin) : m_chemin(std::move(chemin)) {}

    // Tests the database: shows the failure under the title "Data" and
    // returns false when it cannot be opened. Never creates nor changes a file.
    bool ConnexionCorrecte();
    // The open connection to the file; throws DataError 4000.
    ConnexionPtr CreeConnexion();
    // A disconnected recordset of the query; throws DataError 4000 or 4001.
    RecordsetPtr CreeRecordset(const QString& sql);
    // The same for a query with its values apart (Connexion::OuvrirAvecValeurs).
    RecordsetPtr CreeRecordset(const QString& sql, const QVariantList& valeurs);
    // The same on a connection already given by CreeConnexion, for a caller
    // that looked at that connection first; throws DataError 4001.
    static RecordsetPtr CreeRecordset(Connexion& connexion, const QString& sql,
                                      const QVariantList& valeurs);

    const QString& chemin() const { return m_chemin; }

    // Closes every kept connection (before a file is replaced, and in tests).
    static void fermerConnexions();
    // Creates a new database file from the schema, or installs the schema
    // into an empty database on a server. Throws DataError.
    static void creerBase(const QString& chemin);

private:
    QString m_chemin;
};

// Registers the core library's resources (schema, demonstration content).
void initialiserRessourcesCore();

// An act code as the classification writes it, in capitals: codes are
// written and looked up this way, since the database compares text exactly.
QString codeEnMajuscules(const QString& code);
// Every apostrophe doubled, for text placed between apostrophes in SQL; a
// NUL character, which would end the statement's text, is left out.
QString doublerQuotes(const QString& texte);
// The text with each "?" outside quotes replaced by its value written as
// a literal: NULL, a number, or text between apostrophes (doublerQuotes).
// Throws DataError when the text does not hold one "?" per value.
QString sqlAvecValeurs(const QString& sql, const QVariantList& valeurs);
// A database value as text: text unchanged, a real or a date in the regional
// format, anything else (NULL, integers) empty.
QString valeurTexte(const QVariant& valeur);
// Runs fn, reporting a DataError (or any other failure) under the title
// "ERREUR" and returning defaut: the convention of every repository operation.
// Inside a transaction that a caller opened on the database in use, the
// failure is not reported here: it is thrown on to the caller, and the
// transaction can no longer be kept, so that a bulk operation never commits
// half of its work and the user gets one message.
template <typename T, typename F> T operationDepot(T defaut, F&& fn);
void signalerErreurDepot(const QString& description);
// The kept connection of the database in use when a caller's transaction is
// open on it, else nullptr.
ConnexionPtr transactionAppelante();
// Records that a repository operation failed inside the connection's open
// transaction.
void echecDansTransaction(Connexion& connexion, const DataError& erreur);
// The two shapes of most repository operations, under that convention: a
// query (nullptr on failure), and statements run on one connection all or
// nothing.
RecordsetPtr depotLire(const QString& sql);
bool depotEcrire(const QStringList& instructions); // true when done

// How a read that may not wait ended.
enum class EtatLecture {
    Faite,       // the recordset holds the result
    BaseOccupee, // the file is being written (by another program, or inside a
                 // transaction of this one): nothing was read, try again later
    Echec,       // any other failure, described
};
// A query for a caller that must neither wait nor show anything (the list
// that follows the typed text): the database in use is read at once, or not
// at all while it is being written, instead of waiting up to
// delaiAttenteBaseOccupee. One statement is one snapshot: the result holds
// the file as it was before a write or after it, never a mix. Inside a
// transaction of this program the half-done work is not read: the file is
// said busy. Returns nullptr unless *etat is Faite; *description (when
// given) says what failed.
RecordsetPtr depotLireSansAttente(const QString& sql, EtatLecture* etat,
                                  QString* description = nullptr);
// The same for a query that depends on the connection (whether the file has
// the label index): sqlPour is called inside the no-wait scope too, so that
// nothing it reads waits either.
RecordsetPtr depotLireSansAttente(const std::function<QString(Connexion&)>& sqlPour,
                                  EtatLecture* etat, QString* description = nullptr);

// For its life, reads on the connection of a busy file fail at once with
// SQLITE_BUSY instead of waiting up to delaiAttenteBaseOccupee.
class LectureSansAttente {
public:
    explicit LectureSansAttente(Connexion& connexion);
    ~LectureSansAttente();
    LectureSansAttente(const LectureSansAttente&) = delete;
    LectureSansAttente& operator=(const LectureSansAttente&) = delete;

private:
    sqlite3* m_db;
};

// The SQLite handle of a connection to a file, for the code that uses SQLite
// itself (the label index); nullptr for a server.
sqlite3* baseSqlite(Connexion& connexion);

template <typename T, typename F> T operationDepot(T defaut, F&& fn) {
    const ConnexionPtr appelante = transactionAppelante();
    try {
        return fn();
    } catch (const DataError& e) {
        if (appelante) {
            echecDansTransaction(*appelante, e);
            throw;
        }
        signalerErreurDepot(e.description());
    } catch (const std::exception& e) {
        const DataError erreur(0, QStringLiteral("Data"), QString::fromLocal8Bit(e.what()));
        if (appelante) {
            echecDansTransaction(*appelante, erreur);
            throw erreur;
        }
        signalerErreurDepot(erreur.description());
    }
    return defaut;
}
