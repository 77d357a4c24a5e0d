#include "Panier.h"

#include "Globals.h"

std::unique_ptr<Panier> Panier::copie() const {
    ListeActes liste;
    liste.reserve(m_listeActes.size());
    for (const ActePtr& a : m_listeActes)
        liste.push_back(std::make_shared<Acte>(*a));
    auto resultat = std::make_unique<Panier>();
    resultat->setListeActes(std::move(liste));
    resultat->setAssociationASaisir(m_associationASaisir);
    return resultat;
}

bool Panier::acteExiste(const QString& code) const {
    for (const ActePtr& a : m_listeActes)
        if (a->code == code)
            return true;
    return false;
}

void Panier::ajouterActe(const Acte& acte) {
    const QString cle = acte.cle();
    for (const ActePtr& a : m_listeActes)
        if (a->cle() == cle)
            return;
    m_listeActes.push_back(std::make_shared<Acte>(acte));
}

void Panier::supprimerActe(qint16 position) {
    if (position >= 1 && position <= m_listeActes.size())
        m_listeActes.removeAt(position - 1);
}

ActePtr Panier::getActeByIndice(qint16 position) const {
    if (position < 1 || position > m_listeActes.size())
        return nullptr;
    return m_listeActes.at(position - 1);
}

Panier& panier() {
    if (!panierCourant)
        panierCourant = std::make_shared<Panier>();
    return *panierCourant;
}
