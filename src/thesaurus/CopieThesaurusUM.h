#pragma once
// "Ajouter le thésaurus de l'UM": copies every category of the doctor's
// medical unit, with its acts, into the doctor's thesaurus.

#include "Resultat.h"

class Medecin;

// Writes the copy in one transaction (nothing is kept when a write fails)
// and, once it is committed, adds the copied categories to the doctor in
// memory. Progress goes to the wait window; the interface is locked
// meanwhile. A failure is refused with the database's description under the
// title "ERREUR".
Resultat copierThesaurusUM(Medecin& medecin);
