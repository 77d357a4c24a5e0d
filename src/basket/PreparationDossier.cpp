#include "PreparationDossier.h"

#include "Panier.h"

#include <exception>

qint16 preparerDossier(const SaisieDossier& saisie, const Panier& panier, Dossier& resultat) {
    resultat = Dossier();
    const QString nom = saisie.nom.trimmed();
    if (nom.isEmpty())
        return DossierSansNom;
    resultat.NOM = nom;
    const QString prenom = saisie.prenom.trimmed();
    if (prenom.isEmpty())
        return DossierSansPrenom;
    resultat.PRENOM = prenom;
    resultat.numHosp = saisie.numHosp.trimmed();
    resultat.p_Date = saisie.date;
    resultat.Heure = saisie.heure;
    try {
        for (const ActePtr& a : panier.getListeActes())
            if (a)
                resultat.ajouterActe(*a);
    } catch (const std::exception&) {
        return DossierInterrompu;
    }
    return DossierPret;
}

QString normaliserNom(const QString& texte) {
    return texte.trimmed().toUpper();
}
