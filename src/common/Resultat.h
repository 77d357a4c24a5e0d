#pragma once
// What a use case reports to the window that asked: done, refused with the
// French message to show, or nothing to do. The use case itself shows
// nothing of its own; the window calls signaler() (or shows the message its
// own way).

#include "Messages.h"

#include <QString>

struct Resultat {
    enum class Issue { Fait, Refus, Rien };

    Issue issue = Issue::Fait;
    QString message; // for a refusal
    QString titre = QStringLiteral("Attention");
    Icone icone = Icone::Exclamation;

    static Resultat fait() { return {}; }
    static Resultat rien() { return {Issue::Rien, {}, {}, Icone::Aucune}; }
    static Resultat refus(const QString& message,
                          const QString& titre = QStringLiteral("Attention"),
                          Icone icone = Icone::Exclamation) {
        return {Issue::Refus, message, titre, icone};
    }

    bool estFait() const { return issue == Issue::Fait; }
    bool estRefus() const { return issue == Issue::Refus; }
};

// Shows a refusal's message (OK button); returns true when the work was done.
inline bool signaler(const Resultat& r) {
    if (r.estRefus() && !r.message.isEmpty())
        afficherMessage(r.message, r.titre, r.icone, Boutons::Ok);
    return r.estFait();
}
