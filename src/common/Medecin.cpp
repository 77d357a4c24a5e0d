#include "Medecin.h"

#include "AccesDonnees.h"
#include "Data.h"
#include "Globals.h"
#include "VersionsCcam.h"
#include "adCCAM.h"

void Medecin::remplirDonnees() {
    if (code.isEmpty())
        return;
    RecordsetPtr rs = accesDonnees.getMedecinParCode(code);
    if (!rs || rs->isEOF())
        return;
    remplirDonnees(*rs);
}

void Medecin::remplirDonnees(const Recordset& ligne) {
    code = valeurTexte(ligne.Fields(QStringLiteral("MED_CODE")));
    libelle = valeurTexte(ligne.Fields(QStringLiteral("MED_LIB")));
    CN = valeurTexte(ligne.Fields(QStringLiteral("MED_CODEN")));
    UM = valeurTexte(ligne.Fields(QStringLiteral("MED_UM")));
    activite = valeurTexte(ligne.Fields(QStringLiteral("MED_ACT")));
    UTI = static_cast<long>(ligne.Fields(QStringLiteral("MED_CODEUTI")).toLongLong());
}

QList<Acte> actesDeLaCategorie(long a_cat, bool retraits) {
    QList<Acte> liste;
    RecordsetPtr actes = accesCCAM.getTousActesCategorie(a_cat, retraits);
    if (!actes)
        return liste;
    for (actes->MoveFirst(); !actes->isEOF(); actes->MoveNext()) {
        Acte a;
        a.code = valeurTexte(actes->Fields(QStringLiteral("AMCODE")));
        a.libelle = valeurTexte(actes->Fields(QStringLiteral("Libelle_Complet")));
        a.activite = valeurTexte(actes->Fields(QStringLiteral("AT_ACTIVITE")));
        const QVariant retrait = actes->Fields(QStringLiteral("Retrait"));
        a.retire = !retrait.isNull();
        a.versionRetrait = retrait.toString();
        liste.push_back(std::move(a));
    }
    return liste;
}

void Medecin::remplirThesaurusMED() {
    listeCat.clear();
    RecordsetPtr cats = accesCCAM.getCategoriesThesaurus(code, 2);
    if (!cats)
        return;
    const bool retraits = retraitsEnregistres();
    for (cats->MoveFirst(); !cats->isEOF(); cats->MoveNext()) {
        Categorie cat;
        cat.code = static_cast<long>(cats->Fields(QStringLiteral("CT_CODE")).toLongLong());
        cat.libelle = valeurTexte(cats->Fields(QStringLiteral("CT_LIB")));
        cat.listeActes = actesDeLaCategorie(cat.code, retraits);
        listeCat.push_back(std::move(cat));
    }
}

Categorie* Medecin::getCategorie(long a_code) {
    for (Categorie& c : listeCat)
        if (c.code == a_code)
            return &c;
    return nullptr;
}

void Medecin::supprimerActe(long a_codeCat, const QString& a_codeActe, const QString& a_act) {
    Categorie* cat = getCategorie(a_codeCat);
    if (!cat)
        return;
    for (qsizetype i = 0; i < cat->listeActes.size(); ++i) {
        const Acte& a = cat->listeActes.at(i);
        if (a.code == a_codeActe && a.activite == a_act) {
            cat->listeActes.removeAt(i);
            return;
        }
    }
}

void Medecin::supprimerCat(long a_codeCat) {
    for (qsizetype i = 0; i < listeCat.size(); ++i)
        if (listeCat.at(i).code == a_codeCat) {
            listeCat.removeAt(i);
            return;
        }
}
