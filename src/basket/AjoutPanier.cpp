#include "AjoutPanier.h"

#include "ActeChoisi.h"
#include "Globals.h"
#include "Panier.h"
#include "adCCAM.h"

namespace {
// True when one row of the query has an AMCODE that stands in the basket.
// A failed query (no recordset) finds nothing.
bool unCodeDansPanier(const RecordsetPtr& rs, const Panier& panier) {
    if (!rs)
        return false;
    const int champ = rs->indexChamp(QStringLiteral("AMCODE"));
    if (champ < 0)
        return false;
    for (int i = 0; i < rs->RecordCount(); ++i)
        if (panier.acteExiste(rs->valeurLigne(i, champ).toString()))
            return true;
    return false;
}
} // namespace

qint16 verifierAdmission(const Panier& panier, const QString& code) {
    if (panier.getListeActes().isEmpty())
        return AdmissionAccordee;
    if (unCodeDansPanier(accesCCAM.getIncompatibilites(code), panier))
        return AdmissionIncompatible;
    if (unCodeDansPanier(accesCCAM.getCodesProcedure(code), panier))
        return AdmissionProcedure;
    if (unCodeDansPanier(accesCCAM.getProceduresParActe(code), panier))
        return AdmissionComposant;
    return AdmissionAccordee;
}

qint16 verifierAdmission() {
    if (!panierCourant || acteCourant.estVide())
        return AdmissionAccordee;
    return verifierAdmission(*panierCourant, acteCourant.code);
}

QString texteRefusAdmission(qint16 code) {
    switch (code) {
    case AdmissionIncompatible:
        return QStringLiteral("Cet acte ne peut être ajouté au panier ! Il est incompatible avec "
                              "un autre acte du panier");
    case AdmissionProcedure:
        return QStringLiteral("Cet acte ne peut être ajouté au panier ! C'est une procédure qui "
                              "contient un acte du panier");
    case AdmissionComposant:
        return QStringLiteral("Cet acte ne peut être ajouté au panier ! Il appartient à une "
                              "procédure existante dans le panier");
    default:
        return QString();
    }
}

Resultat ajouterAuPanier() {
    if (acteCourant.estVide())
        return Resultat::rien();
    const qint16 code = verifierAdmission();
    if (code == AdmissionAccordee)
        return Resultat::fait();
    return Resultat::refus(texteRefusAdmission(code));
}
