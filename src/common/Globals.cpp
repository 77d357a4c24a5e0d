#include "Globals.h"

#include "AccesDonnees.h"
#include "ActeChoisi.h"
#include "Data.h"
#include "Medecin.h"
#include "ModeEcran.h"
#include "Utilisateur.h"
#include "adCCAM.h"

QString cheminDefaut;
Utilisateur utilisateurCourant;
std::shared_ptr<Medecin> medecinCourant;
AccesDonnees accesDonnees;
adCCAM accesCCAM;
std::shared_ptr<Panier> panierCourant;
ActeChoisi acteCourant;
ModeEcran contexteCourant = ModeEcran::Aucun;

void nouvelUtilisateurCourant() {
    utilisateurCourant = Utilisateur{};
}

namespace {
std::function<void()>& suiviContexte() {
    static std::function<void()> suivi;
    return suivi;
}
} // namespace

void changerContexte(ModeEcran mode) {
    contexteCourant = mode;
    if (suiviContexte())
        suiviContexte()();
}

void suivreContexte(std::function<void()> suivi) {
    suiviContexte() = std::move(suivi);
}

void changerMedecinCourant(std::shared_ptr<Medecin> medecin) {
    medecinCourant = std::move(medecin);
}

namespace {
std::function<void()>& suiviActe() {
    static std::function<void()> suivi;
    return suivi;
}
} // namespace

void suivreActeCourant(std::function<void()> suivi) {
    suiviActe() = std::move(suivi);
}

void choisirActeCourant(const ActeChoisi& acte) {
    acteCourant = acte;
    if (suiviActe())
        suiviActe()();
}

void oublierActeCourant() {
    acteCourant = ActeChoisi{};
    if (suiviActe())
        suiviActe()();
}

void reinitialiserEtatGlobal() {
    cheminDefaut.clear();
    cheminBase.clear();
    utilisateurCourant = Utilisateur{};
    medecinCourant.reset();
    panierCourant.reset();
    acteCourant = ActeChoisi{};
    contexteCourant = ModeEcran::Aucun;
}
