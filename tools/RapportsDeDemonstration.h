#pragma once
// Report data built from the classification of the database in use
// (cheminBase): a patient file of real acts, and a doctor's thesaurus held in
// memory only. Used by tarvenor_rapport and the reports benchmark.

#include "AccesDonnees.h"
#include "Acte.h"
#include "Data.h"
#include "Dossier.h"
#include "Globals.h"
#include "Medecin.h"

#include <QDate>

// The first acts of the classification (one row per code, activity and
// phase), with the association codes of a stay and a few modifiers.
inline Dossier dossierDeDemonstration(int nbActes) {
    Dossier d;
    d.NOM = QStringLiteral("DUPONT-D'ARGENSON");
    d.PRENOM = QStringLiteral("ÉLODIE");
    d.numHosp = QStringLiteral("240012345");
    d.p_Date = QDate(2024, 3, 5).toString(Qt::ISODate);
    d.Heure = QStringLiteral("9:07");
    RecordsetPtr rs = accesDonnees.executSQL(
        QStringLiteral("SELECT AMCODE, Activite, Phase, Tarif, Caractere_classant FROM CCAM "
                       "WHERE Activite <> '' ORDER BY AMCODE, Activite, Phase"));
    if (!rs)
        return d;
    int n = 0;
    for (rs->MoveFirst(); !rs->isEOF() && n < nbActes; rs->MoveNext(), ++n) {
        Acte a;
        a.code = valeurTexte(rs->Fields(QStringLiteral("AMCODE")));
        a.activite = valeurTexte(rs->Fields(QStringLiteral("Activite")));
        a.Phase = valeurTexte(rs->Fields(QStringLiteral("Phase")));
        a.Tarif = rs->Fields(QStringLiteral("Tarif")).toDouble();
        a.acteClassant =
            valeurTexte(rs->Fields(QStringLiteral("Caractere_classant"))) == QLatin1String("Y");
        a.codeAss = n == 0 ? QStringLiteral("1") : QStringLiteral("2");
        if (n % 3 == 1) {
            a.extDoc = QStringLiteral("A");
            a.modificateur1 = QStringLiteral("F");
            a.Modificateur2 = QStringLiteral("U");
        }
        d.ajouterActe(a);
    }
    return d;
}

// A doctor of that activity whose thesaurus holds nbCat categories of
// nbActes acts each, taken in turn from the classification's act codes.
inline Medecin medecinDeDemonstration(const QString& activite, int nbCat, int nbActes) {
    Medecin m;
    m.code = QStringLiteral("DEMO");
    m.libelle = QStringLiteral("DR DÉMONSTRATION");
    m.activite = activite;
    RecordsetPtr rs = accesDonnees.executSQL(QStringLiteral(
        "SELECT AMCODE, Libelle_Complet FROM CCAM WHERE Activite = '1' ORDER BY AMCODE"));
    if (!rs || rs->RecordCount() == 0)
        return m;
    rs->MoveFirst();
    for (int c = 0; c < nbCat; ++c) {
        Categorie cat;
        cat.code = c + 1;
        cat.libelle = QStringLiteral("Catégorie %1").arg(c + 1, 3, 10, QLatin1Char('0'));
        for (int i = 0; i < nbActes; ++i) {
            if (rs->isEOF())
                rs->MoveFirst();
            Acte a;
            a.code = valeurTexte(rs->Fields(QStringLiteral("AMCODE")));
            a.libelle = valeurTexte(rs->Fields(QStringLiteral("Libelle_Complet")));
            a.activite = activite;
            cat.listeActes.push_back(a);
            rs->MoveNext();
        }
        m.listeCat.push_back(cat);
    }
    return m;
}
