#pragma once
// One named category of a thesaurus, with its acts (only their code, label and
// activity are filled).

#include "Acte.h"

#include <QList>
#include <QString>

struct Categorie {
    long code = 0;          // CT_CODE
    QString libelle;        // CT_LIB
    QList<Acte> listeActes; // in the order of filling
};
