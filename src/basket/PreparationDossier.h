#pragma once
// Building the patient file from what the patient-file dialog holds and the
// basket.

#include "Dossier.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

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

// A date as typed in the date box: day, month and year in that order, with or
// without separators ("/", "-", ".", blanks): "05/03/2024", "5-3-2024",
// "05032024"; a two-digit year is of the 2000s ("05/03/24", "050324").
// Nothing when it is not a date of the calendar (31/02) or not read whole.
std::optional<QDate> lireDateSaisie(const QString& texte);
// A time as typed: hours then minutes, with or without a separator (":",
// "h", ".", blanks): "14:30", "14h30", "1430", "9:05", "9h5", "9h", "9".
std::optional<QTime> lireHeureSaisie(const QString& texte);
