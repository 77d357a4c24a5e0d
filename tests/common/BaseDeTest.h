#pragma once
// A fresh database for one test: created from the schema in a temporary
// folder, made the database in use (cheminBase), and forgotten afterwards.
//
// The suites of the data layer, the repositories, the importer and the use
// cases run on both backends: with TARVENOR_MOTEUR=postgres in the
// environment, each BaseDeTest is a new database on the server named by
// TARVENOR_PG_URI (an account that may create databases), dropped
// afterwards. Without that server the program ends at once with the code
// CTest reads as "skipped" (77), printing why.

#include "Recordset.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class BaseDeTest {
public:
    // Creates the database; with demonstration = true it also holds the
    // demonstration content.
    explicit BaseDeTest(bool demonstration = false);
    ~BaseDeTest();

    // The path of the file, or the URI of the database on the server.
    const QString& chemin() const { return m_chemin; }
    QString dossier() const { return m_dossier.path(); }
    // Runs SQL (in the program's dialect) directly on the database.
    void executer(const QString& sql) const;
    // Number of rows of a query's first column as an integer.
    long long compter(const QString& sql) const;
    // Adds a user account whose password is stored hashed, as the login
    // checks it (1,000 iterations: quick); an empty e-mail is stored as NULL.
    void ajouterUtilisateur(const QString& login, const QString& motDePasse, const QString& groupe,
                            const QString& email = QString()) const;

    // A trigger named nom that refuses, with message, every operation
    // ("INSERT", "UPDATE" or "DELETE") on the table, or only those where the
    // condition (an SQL expression that may name NEW) holds: a fault in the
    // middle of a write, on either backend.
    void refuser(const QString& nom, const QString& operation, const QString& table,
                 const QString& message, const QString& condition = QString()) const;
    void retirerRefus(const QString& nom, const QString& table) const;

private:
    QTemporaryDir m_dossier;
    QString m_chemin;
    QString m_baseServeur; // name of the database created on the server
};

// The column giving the order in which rows were inserted, on either backend.
QString ordreDInsertion();

// The tests run on the PostgreSQL server (TARVENOR_MOTEUR=postgres).
bool testsSurServeur();
// The URI of the test server's administration database, empty without one.
QString uriServeurDeTest();
// Runs SQL on the test server's administration database (CREATE DATABASE,
// DROP DATABASE, stopping sessions). Returns the server's error, empty when done.
QString executerSurServeur(const QString& sql);
// Runs the statements (the server's own SQL) one after the other in one
// session on the server database the URI names; returns the first column of
// the last one's rows, or one line "<erreur> ..." when one fails.
QStringList lignesSurServeur(const QString& uri, const QStringList& instructions);
// A URI of the test server for another database name.
QString uriBaseDeTest(const QString& nomBase);

// The longest a test waits for a condition of the program (a window shown,
// a search run by its timer, a folder read in the background), in ms. The
// wait ends as soon as the condition holds: the bound only matters on a
// machine so loaded that Qt's 5 s default is too short.
constexpr int attenteMaxMs = 60000;

// For the cases that only mean something on a SQLite file.
#define FICHIER_SQLITE_SEULEMENT()                                                                 \
    do {                                                                                           \
        if (testsSurServeur())                                                                     \
            QSKIP("Propre au fichier SQLite.");                                                    \
    } while (false)

// The values of one column of every row, as text: "<NULL>" for NULL,
// "<aucun recordset>" when there is no recordset. Leaves it on its first row.
QStringList colonne(const RecordsetPtr& rs, int position = 0);
QStringList colonne(const RecordsetPtr& rs, const QString& nom);

// Path of the shared national CCAM folder, or empty when it is absent.
QString dossierCcamNational();
