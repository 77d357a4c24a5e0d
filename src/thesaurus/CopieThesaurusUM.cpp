#include "CopieThesaurusUM.h"

#include "Data.h"
#include "DataError.h"
#include "Globals.h"
#include "Medecin.h"
#include "Progression.h"
#include "adCCAM.h"

Resultat copierThesaurusUM(Medecin& medecin) {
    RecordsetPtr categories = accesCCAM.getCategoriesThesaurus(medecin.UM, 1);
    const int nombre = categories ? categories->RecordCount() : 0;
    QList<Categorie> copiees;
    try {
        ConnexionPtr connexion = Data().CreeConnexion();
        ProgressionPortee attente(titreChargement, nombre + 1);
        Transaction transaction(*connexion);
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
