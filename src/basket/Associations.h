#pragma once
// The association codes of a stay's acts: the code stored on the act, the
// rate shown beside it (never applied to the tariff) and the caption of the
// menu that sets it.

#include "Acte.h"

#include <QString>
#include <array>

struct CodeAssociation {
    QString code;    // "" for none, "1" to "5"
    QString taux;    // "100%", "50%", ... or empty
    QString legende; // the menu caption
};

// Entry 0 is "Rien" (no code), entries 1 to 5 the codes "1" to "5".
const std::array<CodeAssociation, 6>& codesAssociation();
// The rate shown for a code; empty for none or an unknown code.
QString tauxAssociation(const QString& code);
// Gives the act the code of menu entry 0 to 5 (0 removes it).
void appliquerCodeAssociation(Acte& acte, int entree);
