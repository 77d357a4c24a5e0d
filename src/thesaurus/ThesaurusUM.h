#pragma once
// A medical unit's thesaurus as the DIM window shows it, read straight from
// the thesaurus tables, and the acts the search dialog adds to a category.
//
// Node keys: "N" + unit code (root), "C" + category code, and
// "A" + category code + " - " + act code + " - " + activity.

#include "Resultat.h"

#include <QList>
#include <QString>
#include <QStringList>

struct NoeudThesaurusUM {
    QString cle;
    QString texte;
    int niveau = 0;      // 0 root, 1 category, 2 act
    bool retire = false; // an act the loaded version lacks
};

struct Acte;
// The text of an act's node: code, "  -  ", label, and for an act the loaded
// version lacks "(retiré de la CCAM en version NN)" after it.
QString texteNoeudActe(const Acte& acte);

// The nodes of the unit's tree in drawing order: the root, then each
// category in label order followed by its acts in the order read.
QList<NoeudThesaurusUM> noeudsThesaurusUM(const QString& a_UM);

// Adds the acts of those codes, in that order, to a category (no activity,
// no label), all or nothing; an act already in the category is skipped.
// Refused with the database's message when a write fails, and refused with
// "Vous devez choisir une catégorie." when no category is given (negative
// code). Done when at least one code was given, nothing to do otherwise.
// The category is checked inside the write transaction, under the lock of
// its thesaurus: when another copy of the program has deleted it, nothing is
// written and the refusal names it by a_libelle (the label the window shows).
Resultat ajouterActesCategorie(const QStringList& codes, long a_categorie,
                               const QString& a_libelle);
// One act typed in the "Ajout d'actes" dialog, checked the same way; an act
// already in the category is refused with "Cet acte existe déja dans cette
// catégorie." (title "Erreur").
Resultat ajouterActeCategorie(const QString& code, long a_categorie, const QString& a_libelle);

// "La catégorie … a été supprimée par un autre utilisateur."
QString messageCategorieSupprimee(const QString& a_libelle);

// The entries of the DIM pop-up menu m_TheUM shown besides "Ajouter des
// catégories" for a node of that kind ('N', 'C', 'A'); false for any other
// kind, for which no menu opens.
bool entreesMenuTheUM(QChar genre, QStringList& entrees);
