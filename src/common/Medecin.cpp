#include "Medecin.h"

#include "AccesDonnees.h"
#include "Data.h"
#include "Globals.h"
#include "VersionsCcam.h"
#include "adCCAM.h"

#include <QHash>

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

namespace {
// The stored act at the recordset's current row (getTousActesCategorie).
Acte acteStocke(const Recordset& ligne) {
    Acte a;
    a.code = valeurTexte(ligne.Fields(QStringLiteral("AMCODE")));
    a.libelle = valeurTexte(ligne.Fields(QStringLiteral("Libelle_Complet")));
    a.activite = valeurTexte(ligne.Fields(QStringLiteral("AT_ACTIVITE")));
    const QVariant& retrait = ligne.Fields(QStringLiteral("Retrait"));
    a.retire = !retrait.isNull();
    a.versionRetrait = retrait.toString();
    return a;
}
} // namespace

QList<Acte> actesDeLaCategorie(long a_cat, bool retraits) {
    QList<Acte> liste;
    RecordsetPtr actes = accesCCAM.getTousActesCategorie(a_cat, retraits);
    if (!actes)
        return liste;
    for (actes->MoveFirst(); !actes->isEOF(); actes->MoveNext())
        liste.push_back(acteStocke(*actes));
    return liste;
}

QList<Categorie> categoriesDuThesaurus(const QString& a_Lien, int a_type) {
    QList<Categorie> liste;
    RecordsetPtr cats = accesCCAM.getCategoriesThesaurus(a_Lien, a_type);
    if (!cats)
        return liste;
    QHash<long, QList<Acte>> actes;
    if (RecordsetPtr rs = accesCCAM.getTousActesThesaurus(a_Lien, a_type, retraitsEnregistres()))
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            actes[static_cast<long>(rs->Fields(QStringLiteral("AT_CAT")).toLongLong())].push_back(
                acteStocke(*rs));
    for (cats->MoveFirst(); !cats->isEOF(); cats->MoveNext()) {
        Categorie cat;
        cat.code = static_cast<long>(cats->Fields(QStringLiteral("CT_CODE")).toLongLong());
        cat.libelle = valeurTexte(cats->Fields(QStringLiteral("CT_LIB")));
        cat.listeActes = actes.take(cat.code);
        liste.push_back(std::move(cat));
    }
    return liste;
}

void Medecin::remplirThesaurusMED() {
    listeCat = categoriesDuThesaurus(code, 2);
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
