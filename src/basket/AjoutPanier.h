#pragma once
// The single entry of every add-to-basket command, and the admission rule it
// applies before the add-to-basket dialog opens.

#include "Resultat.h"

#include <QString>

class Panier;

// Admission codes of verifierAdmission.
enum CodeAdmission : qint16 {
    AdmissionAccordee = 0,
    AdmissionIncompatible = 1, // incompatible with an act of the basket
    AdmissionProcedure = 2,    // a procedure with a component in the basket
    AdmissionComposant = 3,    // a component of a procedure in the basket
};

// An admission decided, with the basket act that stands in the way.
struct Admission {
    qint16 code = AdmissionAccordee;
    QString acteEnConflit; // the code of that basket act; empty when admitted
};

// Admission of the act code into a basket, with the act refused for.
Admission examinerAdmission(const Panier& panier, const QString& code);
// Admission of the current act (acteCourant) into the current basket.
qint16 verifierAdmission();
// Admission of the act code into a basket. An empty basket admits every act
// without any query; a query that fails counts as finding nothing.
qint16 verifierAdmission(const Panier& panier, const QString& code);
// The message of a refusal code (empty for AdmissionAccordee).
QString texteRefusAdmission(qint16 code);
// The message of a refusal, followed by a line naming the basket act in
// the way (its code and label).
QString texteRefusAdmission(const Admission& admission, const Panier& panier);

// Runs the admission of the current act into the current basket: done when
// it is admitted (the window then opens the add-to-basket dialog), refused
// with the message to show, nothing without a current act. Shows nothing.
Resultat ajouterAuPanier();
