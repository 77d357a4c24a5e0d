#include "CopieThesaurusUM.h"

#include "Data.h"
#include "DataError.h"
#include "Globals.h"
#include "Medecin.h"
#include "Progression.h"
#include "adCCAM.h"

Resultat copierThesaurusUM(Medecin& medecin) {
    QList<Categorie> copiees;
    try {
        ConnexionPtr connexion = Data().CreeConnexion();
        Transaction transaction(*connexion);
        // Under the locks of both thesauri (the doctor's first, as no other
        // writer takes two): the unit's categories are read inside the
        // transaction, so that none deleted meanwhile by another copy of the
        // program is copied, and no replacement of the doctor's thesaurus
        // runs at the same time.
        connexion->verrouiller(adCCAM::cleVerrouThesaurus(2, medecin.code));
        connexion->verrouiller(adCCAM::cleVerrouThesaurus(1, medecin.UM));
        RecordsetPtr categories =
            connexion->Ouvrir(adCCAM::sqlGetCategoriesThesaurus(medecin.UM, 1));
        const int nombre = categories->RecordCount();
        ProgressionPortee attente(titreChargement, nombre + 1);
        for (int i = 0; i < nombre; ++i) {
            categories->setAbsolutePosition(i + 1);
            Categorie cat;
            cat.libelle = valeurTexte(categories->Fields(QStringLiteral("CT_LIB")));
            cat.code = adCCAM::insererCatAndGetCode(*connexion, medecin.code, cat.libelle, 2);
            const long source = categories->Fields(QStringLiteral("CT_CODE")).toLongLong();
            RecordsetPtr actes = connexion->Ouvrir(adCCAM::sqlGetActesCatTheserus(source));
            for (; actes && !actes->isEOF(); actes->MoveNext()) {
                Acte acte;
                acte.code = valeurTexte(actes->Fields(QStringLiteral("AMCODE")));
                acte.libelle = valeurTexte(actes->Fields(QStringLiteral("Libelle_Complet")));
                acte.activite = valeurTexte(actes->Fields(QStringLiteral("AT_ACTIVITE")));
                connexion->Execute(
                    adCCAM::sqlInsererActeTheserus(cat.code, acte.code, acte.activite, QString()));
                cat.listeActes.append(acte);
            }
            copiees.append(cat);
            // The wait window repaints here; user input waits for the end.
            attente.avancer(1);
        }
        transaction.valider();
    } catch (const DataError& e) {
        return Resultat::refus(e.description(), QStringLiteral("ERREUR"), Icone::Aucune);
    }
    medecin.listeCat.append(copiees);
    return Resultat::fait();
}
