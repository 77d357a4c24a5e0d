#pragma once
// The acts of one patient stay. Acts are shared objects: the basket window and
// the association codes dialog change them in place through getActeByIndice.
// Positions are 1-based and follow the order of addition.

#include "Acte.h"

#include <QList>
#include <memory>

using ActePtr = std::shared_ptr<Acte>;
using ListeActes = QList<ActePtr>;

class Panier {
public:
    // Deep copy: every act, in order, as a new object (even two acts that have
    // come to share a key after an edit are both kept).
    std::unique_ptr<Panier> copie() const;
    // True when an act of the basket has exactly this code (case-sensitive).
    bool acteExiste(const QString& code) const;
    // Replaces the collection.
    void setListeActes(ListeActes liste) { m_listeActes = std::move(liste); }
    // Appends a copy of the act, unless an act with the same key (code,
    // activity, phase) is already there: then nothing happens.
    void ajouterActe(const Acte& acte);
    // Removes the act at a 1-based position; an invalid position is ignored.
    void supprimerActe(qint16 position);
    // The act at a 1-based position; nullptr for an invalid position.
    ActePtr getActeByIndice(qint16 position) const;
    // The basket's own collection (not a copy).
    ListeActes& getListeActes() { return m_listeActes; }
    const ListeActes& getListeActes() const { return m_listeActes; }
    // True when association codes must be entered before printing. Written
    // only when an addition is confirmed (true when the basket then holds an
    // act); removing acts leaves it as it was, and a copy carries it.
    bool fautSaisirAss() const { return m_associationASaisir; }
    void setAssociationASaisir(bool valeur) { m_associationASaisir = valeur; }

private:
    ListeActes m_listeActes;
    bool m_associationASaisir = false;
};

// The current basket (panierCourant of Globals.h), created on first use.
Panier& panier();
