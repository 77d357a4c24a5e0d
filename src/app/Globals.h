#pragma once
// The program's global state, in one place. reinitialiserEtatGlobal() puts
// everything back as at start-up (used between tests).

#include "AccesDonnees.h"
#include "Medecin.h"
#include "Panier.h"
#include "Recordset.h"
#include "Utilisateur.h"
#include "adCCAM.h"

#include <QString>
#include <memory>

// Application folder followed by DATA/BD.mdb.
extern QString cheminDefaut;
// Database in use: every new Data object opens this file.
extern QString cheminBase;
extern Utilisateur utilisateurCourant;
// The doctor whose thesaurus is shown; none before a doctor logs in.
extern std::shared_ptr<Medecin> medecinCourant;
// The two repositories (they hold no state).
extern AccesDonnees accesDonnees;
extern adCCAM accesCCAM;
// The current basket, created on first use by panier().
extern std::unique_ptr<Panier> panierCourant;
Panier& panier();
// The act currently selected in a search panel or a thesaurus.
extern RecordsetPtr acteCourant;
// Association codes must be entered for the basket.
extern bool associationASaisir;
// Screen mode of the main window.
extern qint16 contexteCourant;

void reinitialiserEtatGlobal();
