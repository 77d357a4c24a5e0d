#pragma once
// The patient file: the patient's identity and one row per basket act, built
// only to be printed (never stored).

#include "Acte.h"
#include "Recordset.h"

#include <QString>

class Dossier {
public:
    // Creates the act rows: Code, Activite, Phase, ExtDoc, M1, M2, M3, M4,
    // Association, Classant, Prix, all text.
    Dossier();

    // The act rows; a new empty set of rows when there is none.
    RecordsetPtr listeActes();
    void setListeActes(RecordsetPtr liste) { m_listeActes = std::move(liste); }

    QString NOM;     // surname, trimmed
    QString PRENOM;  // first name, trimmed
    QString numHosp; // hospitalisation number, trimmed, may be empty
    QString p_Date;  // date of the acts as the date picker shows it
    QString Heure;   // time of the acts as the time picker shows it

    // Appends the row of one act, then moves back to the first row.
    void ajouterActe(const Acte& a_acte);

private:
    RecordsetPtr m_listeActes;
};

// The empty act rows of a patient file.
RecordsetPtr creerLignesDossier();
// The classifying column of an act: "Oui" or "Non" when its row gives the
// flag, "Inconnu" when it does not (a classification without the flag).
QString texteClassant(const Acte& a_acte);
