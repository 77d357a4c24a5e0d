#pragma once
// Corrections of an act in the basket window, applied to the act at once:
// modifiers held in four slots filled from the first, the activity, the
// phase and the documentary extension. A change of activity or phase
// re-reads the act's tariff and classifying flag for the new row, and drops
// the modifiers and the extension the new activity does not offer, so that
// the patient file never prints a choice the act no longer has.

#include "Acte.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The filled modifier slots, in order.
QStringList modificateursActe(const Acte& acte);
// Fills the four slots from the list (beyond four is ignored), the rest empty.
void setModificateursActe(Acte& acte, const QStringList& codes);
// Puts the modifier in the first free slot; false (and nothing changes)
// when the four are taken.
bool ajouterModificateur(Acte& acte, const QString& code);
// Removes the modifier; the later slots move down one place.
void retirerModificateur(Acte& acte, const QString& code);

struct ActiviteCode {
    QString code;
    QString libelle;
};
// Every activity of the code, each once, in the order of the classification
// (an act with several phases lists an activity once per phase row); a row
// without an activity code is left out.
QVector<ActiviteCode> activitesDuCode(const QString& code);

// The act takes the activity (or phase), with the tariff and classifying
// flag of its row; a missing row leaves them as they were.
void changerActivite(Acte& acte, const QString& activite);
void changerPhase(Acte& acte, const QString& phase);
