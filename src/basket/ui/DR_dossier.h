#pragma once
// The patient-file report: the logged-in doctor, his medical unit and the
// patient's identity in the page header, then one line per act of the
// Dossier, and the date of printing with the page number in the footer.
// One instance serves the whole program; it keeps the Dossier it was last
// given.

#include "Dossier.h"

#include <QDate>
#include <QString>
#include <memory>

class QtRapport;

class DR_dossier {
public:
    static DR_dossier& instance();

    // Shows the preview, modal and centred on the screen.
    void afficher(const Dossier& a_dossier);
    // Sends every page to the default printer without a dialog, then says
    // so; with no printer at all, shows the printer error.
    void imprimer(const Dossier& a_dossier);

    const Dossier& dossier() const { return m_dossier; }

    // "Dossier du patient: NOM PRENOM": caption and title of the report.
    static QString titre(const Dossier& a_dossier);
    // The pages of a patient file for that doctor and unit ("code - label"),
    // printed on that date.
    static std::shared_ptr<QtRapport> construireRapport(Dossier a_dossier, const QString& medecin,
                                                        const QString& uniteMedicale,
                                                        const QDate& dateImpression);
    // The logged-in doctor's name and his unit as "code - label" (empty
    // without a logged-in doctor).
    static QString medecinConnecte();
    static QString uniteMedicaleConnectee();
    // The date as "dd/mm/yyyy" and the time as "hh:mm" from the text the
    // patient-file dialog stored; a text that is not a date (or a time) is
    // printed as it is.
    static QString formaterDate(const QString& texte);
    static QString formaterHeure(const QString& texte);

    // Prints the report (no printer: the printer error; done: "L'impression
    // est lancée." naming the printer when it is not the default one).
    static void imprimerRapport(const QtRapport& rapport);

private:
    DR_dossier() = default;
    std::shared_ptr<QtRapport> rapportCourant();
    Dossier m_dossier;
};
