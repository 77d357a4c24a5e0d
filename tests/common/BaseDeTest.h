#pragma once
// A fresh database for one test: created from the schema in a temporary
// folder, made the database in use (cheminBase), and forgotten afterwards.

#include "Recordset.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class BaseDeTest {
public:
    // Creates the database; with demonstration = true it also holds the
    // demonstration content.
    explicit BaseDeTest(bool demonstration = false);
    ~BaseDeTest();

    const QString& chemin() const { return m_chemin; }
    QString dossier() const { return m_dossier.path(); }
    // Runs SQL (in the program's dialect) directly on the database.
    void executer(const QString& sql) const;
    // Number of rows of a query's first column as an integer.
    long long compter(const QString& sql) const;
    // Adds a user account whose password is stored enciphered, as the login
    // checks it; an empty e-mail is stored as NULL.
    void ajouterUtilisateur(const QString& login, const QString& motDePasse, const QString& groupe,
                            const QString& email = QString()) const;

private:
    QTemporaryDir m_dossier;
    QString m_chemin;
};

// The values of one column of every row, as text: "<NULL>" for NULL,
// "<aucun recordset>" when there is no recordset. Leaves it on its first row.
QStringList colonne(const RecordsetPtr& rs, int position = 0);
QStringList colonne(const RecordsetPtr& rs, const QString& nom);

// Path of the shared national CCAM folder, or empty when it is absent.
QString dossierCcamNational();
