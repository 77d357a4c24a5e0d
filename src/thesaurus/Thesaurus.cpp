#include "Thesaurus.h"

#include "AccesDonnees.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "Progression.h"
#include "VersionsCcam.h"
#include "adCCAM.h"

namespace {
// The act row with its lines: the phases, then (with an activity) the
// complementary acts of that activity.
LigneActeThesaurus ligneActe(qlonglong numCat, const QString& code, const QString& libelle,
                             const QString* activiteComplements) {
    LigneActeThesaurus acte;
    acte.codeActe = code;
    acte.numCat = numCat;
    acte.idActe = QString::number(numCat) + code;
    acte.LibActe = libelle;
    if (RecordsetPtr phases = accesCCAM.getPhases(code))
        for (phases->MoveFirst(); !phases->isEOF(); phases->MoveNext())
            acte.Phases.push_back(
                {valeurTexte(phases->Fields(QStringLiteral("Libelle_Phase"))), acte.idActe});
    if (activiteComplements) {
        if (RecordsetPtr compl_ = accesCCAM.getActesComplementaires(code, *activiteComplements))
            for (compl_->MoveFirst(); !compl_->isEOF(); compl_->MoveNext())
                acte.Phases.push_back(
                    {codeEtLibelle(valeurTexte(compl_->Fields(QStringLiteral("AMCODE"))),
                                   valeurTexte(compl_->Fields(QStringLiteral("Libelle_Complet")))),
                     acte.idActe});
    }
    return acte;
}
} // namespace

void Thesaurus::remplirThesaurus(const ::Medecin& a_med) {
    Medecin = a_med.libelle;
    UM = codeEtLibelle(a_med.UM, accesDonnees.getLibelleUniteMedicale(a_med.UM));
    ProgressionPortee attente(titreChargement, static_cast<int>(a_med.listeCat.size()) + 1);
    for (const Categorie& cat : a_med.listeCat) {
        if (!cat.listeActes.isEmpty()) {
            LigneCategorieThesaurus ligne;
            ligne.numCat = cat.code;
            ligne.Categorie = cat.libelle;
            for (const Acte& a : cat.listeActes)
                ligne.Actes.push_back(ligneActe(
                    cat.code, a.code, libelleMarque(a.libelle, a.retire, a.versionRetrait),
                    &a_med.activite));
            m_lignes.push_back(std::move(ligne));
        }
        attente.avancer(1);
    }
}

void Thesaurus::remplirThesaurusUM(const QString& a_UM) {
    Medecin = a_UM;
    UM.clear();
    RecordsetPtr cats = accesCCAM.getCategoriesThesaurus(extraireCode(a_UM), 1);
    if (!cats)
        return;
    ProgressionPortee attente(titreChargement, cats->RecordCount() + 1);
    const bool retraits = retraitsEnregistres();
    for (cats->MoveFirst(); !cats->isEOF(); cats->MoveNext()) {
        const qlonglong numCat = cats->Fields(QStringLiteral("CT_CODE")).toLongLong();
        const QList<Acte> actes = actesDeLaCategorie(static_cast<long>(numCat), retraits);
        if (!actes.isEmpty()) {
            LigneCategorieThesaurus ligne;
            ligne.numCat = numCat;
            ligne.Categorie = valeurTexte(cats->Fields(QStringLiteral("CT_LIB")));
            for (const Acte& a : actes)
                ligne.Actes.push_back(ligneActe(
                    numCat, a.code, libelleMarque(a.libelle, a.retire, a.versionRetrait), nullptr));
            m_lignes.push_back(std::move(ligne));
        }
        attente.avancer(1);
    }
}

bool Thesaurus::exporterUM(const QString& a_UM, const QString& chemin) const {
    return exporterThesaurusUM(a_UM, chemin);
}

bool Thesaurus::exporterMED(const ::Medecin& a_med, const QString& chemin) const {
    return exporterThesaurusMED(a_med, chemin);
}
