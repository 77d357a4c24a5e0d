#pragma once
// Opening a session: the login's checks, the current user, the doctor of a
// "MEDECIN" user with his thesaurus, and the remembered settings. The login
// dialog calls it and shows the refusal; the main window then opens the
// workspace of the mode returned.

#include "ModeEcran.h"
#include "Resultat.h"

#include <memory>

class Medecin;

struct ResultatSession {
    Resultat resultat;
    // The box a refusal is about (0 identifier, 1 password, 2 database path,
    // -1 none), and whether its text is to be selected.
    int champ = -1;
    bool selectionner = false;
    // For a session opened: the mode of the user's workspace (Aucun for a
    // group without one).
    ModeEcran mode = ModeEcran::Aucun;
};

// The identifier and the password are taken as given (the dialog trims and
// upper-cases them). In this order: mandatory identifier then path, the
// database (cheminBase set to the path first), the user, the password. A
// session opened fills utilisateurCourant, writes the settings "CheminBase"
// and "NomUtilisateur", and for a "MEDECIN" makes his doctor current with
// his thesaurus. A wrong password leaves utilisateurCourant holding the row
// read, as the login always did.
ResultatSession ouvrirSession(const QString& identifiant, const QString& motDePasse,
                              const QString& chemin);

// The doctor of a user account with his thesaurus; a user without a doctor
// row gets a doctor with empty fields (UTI set).
std::shared_ptr<Medecin> chargerMedecin(long codeUtilisateur);
