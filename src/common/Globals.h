#pragma once
// The program's global state, in one place. Windows change it only through
// the named functions below (and the session use cases of Session.h);
// reinitialiserEtatGlobal() puts everything back as at start-up (tests).
// The database path, cheminBase, belongs to the data layer (Data.h).

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

class AccesDonnees;
class Medecin;
class Panier;
class adCCAM;
struct ActeChoisi;
struct Utilisateur;
enum class ModeEcran : qint16;

// Application folder followed by DATA/BD.mdb.
extern QString cheminDefaut;
// The logged-in user (filled by ouvrirSession).
extern Utilisateur utilisateurCourant;
// The doctor whose thesaurus is shown; none before a doctor logs in.
extern std::shared_ptr<Medecin> medecinCourant;
// The two repositories (they hold no state).
extern AccesDonnees accesDonnees;
extern adCCAM accesCCAM;
// The current basket, created on first use by panier() (Panier.h); a shared
// pointer, so that this layer can let it go without knowing the type.
extern std::shared_ptr<Panier> panierCourant;
// The act last picked in a search panel or a thesaurus (empty: none).
extern ActeChoisi acteCourant;
// Screen mode of the main window.
extern ModeEcran contexteCourant;

// The named changes of the global state.
// A fresh, empty current user (start of a session, before the login).
void nouvelUtilisateurCourant();
void changerContexte(ModeEcran mode);
// Called after each change of screen mode (the main window follows it in its
// title and menus); nullptr: nothing.
void suivreContexte(std::function<void()> suivi);
// Makes the doctor current (nullptr: none).
void changerMedecinCourant(std::shared_ptr<Medecin> medecin);
void choisirActeCourant(const ActeChoisi& acte);
void oublierActeCourant();
// Called after each change of the current act (the main window turns
// "Sélectionner cet acte" on and off with it); nullptr: nothing.
void suivreActeCourant(std::function<void()> suivi);

void reinitialiserEtatGlobal();
