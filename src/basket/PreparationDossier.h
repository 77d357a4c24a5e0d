#pragma once
// Building the patient file from what the patient-file dialog holds and the
// basket.

#include "Dossier.h"

#include <QString>

class Panier;

// What the dialog's boxes and pickers hold.
struct SaisieDossier {
    QString nom;
    QString prenom;
    QString numHosp;
    QString date;  // the date picker's value as text
    QString heure; // the time picker's value as text
};

enum StatutDossier : qint16 {
    DossierPret = 0,
    DossierSansNom = 1,
    DossierSansPrenom = 2,
    DossierInterrompu = 5, // an error stopped the building; the rows made so far remain
};

// A new Dossier in resultat (names and number trimmed), one row per basket
// act in order. 1: the surname is empty; 2: the first name is empty.
qint16 preparerDossier(const SaisieDossier& saisie, const Panier& panier, Dossier& resultat);

// A name as the boxes keep it when they lose the focus: trimmed, in capitals.
QString normaliserNom(const QString& texte);
