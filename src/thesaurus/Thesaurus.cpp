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

#include <QHash>
#include <QSet>

namespace {
// The lines under each act of the categories, by act code in capitals: its
// phases, then (with an activity) the complementary acts of that activity.
// At most three reads, whatever the number of acts.
QHash<QString, QStringList> lignesSousLesActes(const QList<Categorie>& categories,
                                               const QString* activiteComplements) {
    QStringList codes;
    QSet<QString> vus;
    for (const Categorie& cat : categories)
        for (const Acte& a : cat.listeActes) {
            const QString code = codeEnMajuscules(a.code);
            if (!vus.contains(code)) {
                vus.insert(code);
                codes << code;
            }
        }
    QHash<QString, QStringList> lignes;
    if (RecordsetPtr phases = accesCCAM.getPhasesDesActes(codes))
        for (phases->MoveFirst(); !phases->isEOF(); phases->MoveNext())
            lignes[valeurTexte(phases->Fields(QStringLiteral("AMCODE")))]
                << valeurTexte(phases->Fields(QStringLiteral("Libelle_Phase")));
    if (!activiteComplements)
        return lignes;
    RecordsetPtr paires = accesCCAM.getActesComplementairesDesActes(codes, *activiteComplements);
    if (!paires || paires->RecordCount() == 0)
        return lignes;
    QStringList complements;
    for (paires->MoveFirst(); !paires->isEOF(); paires->MoveNext())
        complements << valeurTexte(paires->Fields(1));
    complements.removeDuplicates();
    // "code - label" of each label of a complement, in the order read.
    QHash<QString, QStringList> libelles;
    if (RecordsetPtr rs = accesCCAM.getLibellesDesActes(complements))
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            const QString code = valeurTexte(rs->Fields(0));
            libelles[code] << codeEtLibelle(code, valeurTexte(rs->Fields(1)));
        }
    for (paires->MoveFirst(); !paires->isEOF(); paires->MoveNext())
        lignes[valeurTexte(paires->Fields(0))] += libelles.value(valeurTexte(paires->Fields(1)));
    return lignes;
}

// The report rows of the categories that hold acts, each act with its lines;
// every category, empty or not, advances the wait window by one.
QList<LigneCategorieThesaurus> lignesDesCategories(const QList<Categorie>& categories,
                                                   const QString* activiteComplements,
                                                   ProgressionPortee& attente) {
    const QHash<QString, QStringList> sousActes =
        lignesSousLesActes(categories, activiteComplements);
    QList<LigneCategorieThesaurus> resultat;
    for (const Categorie& cat : categories) {
        if (!cat.listeActes.isEmpty()) {
            LigneCategorieThesaurus ligne;
            ligne.numCat = cat.code;
            ligne.Categorie = cat.libelle;
            for (const Acte& a : cat.listeActes) {
                LigneActeThesaurus acte;
                acte.codeActe = a.code;
                acte.numCat = cat.code;
                acte.idActe = QString::number(cat.code) + a.code;
                acte.LibActe = libelleMarque(a.libelle, a.retire, a.versionRetrait);
                for (const QString& texte : sousActes.value(codeEnMajuscules(a.code)))
                    acte.Phases.push_back({texte, acte.idActe});
                ligne.Actes.push_back(std::move(acte));
            }
            resultat.push_back(std::move(ligne));
        }
        attente.avancer(1);
    }
    return resultat;
}
} // namespace

void Thesaurus::remplirThesaurus(const ::Medecin& a_med) {
    Medecin = a_med.libelle;
    UM = codeEtLibelle(a_med.UM, accesDonnees.getLibelleUniteMedicale(a_med.UM));
    ProgressionPortee attente(titreChargement, static_cast<int>(a_med.listeCat.size()) + 1);
    m_lignes += lignesDesCategories(a_med.listeCat, &a_med.activite, attente);
}

void Thesaurus::remplirThesaurusUM(const QString& a_UM) {
    Medecin = a_UM;
    UM.clear();
    const QList<Categorie> categories = categoriesDuThesaurus(extraireCode(a_UM), 1);
    ProgressionPortee attente(titreChargement, static_cast<int>(categories.size()) + 1);
    m_lignes += lignesDesCategories(categories, nullptr, attente);
}

bool Thesaurus::exporterUM(const QString& a_UM, const QString& chemin) const {
    return exporterThesaurusUM(a_UM, chemin);
}

bool Thesaurus::exporterMED(const ::Medecin& a_med, const QString& chemin) const {
    return exporterThesaurusMED(a_med, chemin);
}
