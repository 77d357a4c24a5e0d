#pragma once
// A user account as the program holds it: the logged-in user, or the user
// being edited in the administration window.

#include <QString>

struct Utilisateur {
    long p_code = 0; // UTI_CODE
    QString p_LOGIN; // identifier
    QString p_PWD;   // stored password (EmpreinteMotDePasse.h)
    QString p_EMAIL; // empty when none
    QString p_GROUP; // "ADMIN", "DIM" or "MEDECIN"
};
