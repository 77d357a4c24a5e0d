#pragma once
// Where the basket dialogs meet the rest of the program.

#include <QString>

class Panier;
class QDialog;
class QWidget;

// Opens "Sélection de l'acte" for the act on the basket, ticking the
// logged-in doctor's activity; an act the loaded classification lacks is
// refused with a message instead.
void ouvrirAjoutPanier(const QString& code, Panier& panier, QWidget* parent);

// "Créer un dossier": the association codes when the basket needs them,
// otherwise the patient file.
void continuerVersDossier(Panier& panier, QWidget* parent);

// Shows a basket dialog modally, centred on its screen.
void executerAuCentre(QDialog& dialogue);
