#include "Globals.h"

QString cheminDefaut;
QString cheminBase;
Utilisateur utilisateurCourant;
std::shared_ptr<Medecin> medecinCourant;
AccesDonnees accesDonnees;
adCCAM accesCCAM;
std::unique_ptr<Panier> panierCourant;
RecordsetPtr acteCourant;
bool associationASaisir = false;
qint16 contexteCourant = 0;

Panier& panier() {
    if (!panierCourant)
        panierCourant = std::make_unique<Panier>();
    return *panierCourant;
}

void reinitialiserEtatGlobal() {
    cheminDefaut.clear();
    cheminBase.clear();
    utilisateurCourant = Utilisateur{};
    medecinCourant.reset();
    panierCourant.reset();
    acteCourant.reset();
    associationASaisir = false;
    contexteCourant = 0;
}
