#pragma once
// One coded act: one act code for one activity and one phase, with the
// choices made in the add-to-basket dialog. A plain record; the basket keys it
// by code, activity and phase.

#include <QString>

struct Acte {
    QString code;              // AMCODE
    QString libelle;           // Libelle_Complet
    QString activite;          // activity code
    QString Phase;             // phase code; empty for no phase or an associated act
    bool acteClassant = false; // Caractere_classant = "Y"
    bool classantConnu = true; // false when the row gives no classifying flag
    QString extDoc;            // documentary extension code, or empty
    QString modificateur1;     // modifiers, in the order they were chosen
    QString Modificateur2;
    QString modificateur3;
    QString modificateur4;
    double Tarif = 0;       // tariff of the classification row, never recomputed
    QString codeAss;        // association code "1".."5", or empty
    QString actePrincipale; // main act of an associated act, or empty
    // In a thesaurus: the loaded version lacks the act; versionRetrait is the
    // version that retired it (empty when not known).
    bool retire = false;
    QString versionRetrait;

    // Key in the basket: code, activity and phase with no separator.
    QString cle() const { return code + activite + Phase; }
};
