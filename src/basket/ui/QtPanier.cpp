#include "QtPanier.h"

#include "FenetresModales.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "Panier.h"
#include "d_ajoutPanier.h"
#include "d_associations.h"
#include "d_dossier.h"

#include <QDialog>
#include <QScreen>

void ouvrirAjoutPanier(const QString& code, Panier& panier, QWidget* parent) {
    d_ajoutPanier dialogue(code, panier, medecinCourant ? medecinCourant->activite : QString(),
                           parent);
    if (!dialogue.selection().existe()) {
        afficherMessage(messageActeAbsent(code), QStringLiteral("Attention"), Icone::Exclamation,
                        Boutons::Ok);
        return;
    }
    dialogue.afficher();
}

void continuerVersDossier(Panier& panier, QWidget* parent) {
    if (panier.fautSaisirAss()) {
        d_associations dialogue(panier, parent);
        dialogue.afficher();
    } else {
        d_dossier dialogue(panier, parent);
        dialogue.afficher();
    }
}

void executerAuCentre(QDialog& dialogue) {
    if (QScreen* ecran = dialogue.screen())
        dialogue.move(ecran->availableGeometry().center() - dialogue.rect().center());
    executerModal(&dialogue);
}
