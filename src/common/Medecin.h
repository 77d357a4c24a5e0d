#pragma once
// A doctor and his thesaurus, held in memory for the thesaurus panels.

#include "Categorie.h"
#include "Recordset.h"

#include <QList>
#include <QString>

class Medecin {
public:
    QString code;              // MED_CODE
    QString libelle;           // MED_LIB
    QString CN;                // MED_CODEN
    QString UM;                // MED_UM
    QString activite;          // MED_ACT: "1" or "4"
    long UTI = 0;              // UTI_CODE of the user account
    QList<Categorie> listeCat; // the thesaurus, categories in label order

    // Reads the doctor row of `code` (nothing when `code` is empty; the other
    // fields stay empty when the doctor is unknown).
    void remplirDonnees();
    // Copies the doctor row at the recordset's current position (a row of
    // the Medecin table): code, label, CN, unit, activity, user account.
    void remplirDonnees(const Recordset& ligne);
    // Rebuilds listeCat from the thesaurus tables (categoriesDuThesaurus).
    void remplirThesaurusMED();
    // The first category of that code; nullptr when none. The pointer is valid
    // until listeCat changes.
    Categorie* getCategorie(long a_code);
    // Removes the first act of that code and activity from the category;
    // nothing happens when there is none.
    void supprimerActe(long a_codeCat, const QString& a_codeActe, const QString& a_act);
    // Removes the first category of that code; nothing happens when there is none.
    void supprimerCat(long a_codeCat);
};

// The acts stored in a category, in code order, those the loaded version
// lacks included (retire set, with the last label a load recorded);
// retraits: the database records retired codes (retraitsEnregistres()).
QList<Acte> actesDeLaCategorie(long a_cat, bool retraits);
// The categories of one owner's thesaurus (CT_LIEN and CT_TYPE) in label
// order, each with its acts as actesDeLaCategorie gives them, in two reads
// whatever their number: empty when the categories cannot be read, the
// categories without acts when their acts cannot.
QList<Categorie> categoriesDuThesaurus(const QString& a_Lien, int a_type);
