#pragma once
// Copying a unit's database into another one (a hospital's shared database):
// users, doctors, units, thesauri (categories and their acts) and, when the
// target has none, the classification. All or nothing: the target is read and
// written in one transaction; the source is only read. Two migrations into
// one database run one after the other (the accounts lock of the
// administration use cases, taken for the whole migration).
//
// User and category numbers are given by the target (they would collide with
// its own); the references follow: Medecin.MED_CODEUTI takes the user's new
// number, Acte_Thesaurus.AT_CAT the category's. Owner keys (CT_LIEN: a unit
// or doctor code) and codes are kept as they are, so a login, doctor code or
// unit code that the target already has would merge two people or two
// thesauri: the migration is then refused with the list of those codes.
//
// Written against Data, Connexion and Transaction only, in the program's SQL
// dialect: the target may be any database the data layer reaches.

#include "Resultat.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct ResultatMigration {
    Resultat resultat;
    // Rows written per table, in the order written.
    QList<QPair<QString, int>> comptes;
    // Refused for codes the target already has: "identifiant « X »",
    // "code médecin « X »", "code d'unité « X »", sorted.
    QStringList conflits;
    bool classificationCopiee = false;
    // The target had a classification of its own: it was kept.
    bool classificationConservee = false;
    // What was adapted on the way (rows that referenced nothing).
    QStringList remarques;

    int compte(const QString& table) const;
    // The report printed by the tool: one line per table, then the
    // classification and the remarks.
    QString texte() const;
};

// Copies the database at source into the database at cible (both as Data
// accepts them). Reports progress through the progress hook; shows nothing.
// Refused (nothing written) on a clash, the same database on both sides, a
// source that cannot be read, or any failure of the target.
ResultatMigration migrerBase(const QString& source, const QString& cible);
