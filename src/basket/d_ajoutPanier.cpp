#include "d_ajoutPanier.h"

#include "AjoutPanier.h"
#include "FenetresModales.h"

d_ajoutPanier::d_ajoutPanier(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_ajoutPanier"));
    setWindowTitle(QStringLiteral("Sélection de l'acte"));
}

void d_ajoutPanier::demander(QWidget* parent) {
    if (!signaler(ajouterAuPanier()))
        return;
    d_ajoutPanier dialogue(parent);
    executerModal(&dialogue);
}
