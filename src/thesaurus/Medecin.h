#pragma once
// A doctor and his thesaurus.

#include <QString>

class Medecin {
public:
    QString code;     // MED_CODE
    QString libelle;  // MED_LIB
    QString CN;       // MED_CODEN
    QString UM;       // MED_UM
    QString activite; // MED_ACT: "1" or "4"
    long UTI = 0;     // UTI_CODE of the user account

    // Loads the doctor's categories and their acts.
    void remplirThesaurusMED();
};
