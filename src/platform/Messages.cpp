#include "Messages.h"

#include <cstdio>

namespace {
IMessages* g_messages = nullptr;

bool question(Boutons b) {
    return b == Boutons::OuiNon || b == Boutons::OuiNonAnnuler || b == Boutons::OuiNonDefautNon;
}

Reponse reponseParDefaut(Boutons b) {
    if (b == Boutons::OuiNonDefautNon)
        return Reponse::Non;
    return question(b) ? Reponse::Oui : Reponse::Ok;
}
} // namespace

Reponse afficherMessage(const QString& texte, const QString& titre, Icone icone, Boutons boutons) {
    if (g_messages)
        return g_messages->afficher(texte, titre, icone, boutons);
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(titre), qUtf8Printable(texte));
    return reponseParDefaut(boutons);
}

void installerMessages(IMessages* implementation) {
    g_messages = implementation;
}
IMessages* messagesInstalles() {
    return g_messages;
}

MessagesScriptes::MessagesScriptes() : m_precedent(g_messages) {
    g_messages = this;
}

MessagesScriptes::~MessagesScriptes() {
    if (g_messages == this)
        g_messages = m_precedent;
}

Reponse MessagesScriptes::afficher(const QString& texte, const QString& titre, Icone icone,
                                   Boutons boutons) {
    m_journal.push_back({texte, titre, icone, boutons});
    if (m_reponses.empty())
        return question(boutons) ? Reponse::Oui : Reponse::Ok;
    Reponse r = m_reponses.front();
    m_reponses.pop_front();
    return r;
}

QStringList MessagesScriptes::textes() const {
    QStringList l;
    for (const auto& m : m_journal)
        l << m.texte;
    return l;
}
