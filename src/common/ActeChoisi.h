#pragma once
// The act the user picked last, as a value: its code and, when known, the
// activity and phase. Each reader fetches from the classification what it
// needs of it.

#include <QString>

struct ActeChoisi {
    QString code;
    QString activite; // empty: every activity of the act
    QString phase;    // empty: every phase

    bool estVide() const { return code.isEmpty(); }
    bool operator==(const ActeChoisi&) const = default;
};
