#include "AjoutPanier.h"

#include "Globals.h"
#include "Messages.h"
#include "Panier.h"

namespace {
std::function<void()> g_dialogueAjout;

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

bool acteCourantPresent() {
    return acteCourant && acteCourant->RecordCount() > 0;
}

QString codeActeCourant() {
    if (acteCourant->isEOF() || acteCourant->isBOF())
        acteCourant->MoveFirst();
    return acteCourant->Fields(QStringLiteral("AMCODE")).toString();
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
    if (!panierCourant || panierCourant->getListeActes().isEmpty() || !acteCourantPresent())
        return AdmissionAccordee;
    return verifierAdmission(*panierCourant, codeActeCourant());
}

void ajouterAuPanier() {
    if (!acteCourantPresent())
        return;
    QString refus;
    switch (verifierAdmission()) {
    case AdmissionIncompatible:
        refus = QStringLiteral("Cet acte ne peut être ajouté au panier ! Il est incompatible avec "
                               "un autre acte du panier");
        break;
    case AdmissionProcedure:
        refus = QStringLiteral("Cet acte ne peut être ajouté au panier ! C'est une procédure qui "
                               "contient un acte du panier");
        break;
    case AdmissionComposant:
        refus = QStringLiteral("Cet acte ne peut être ajouté au panier ! Il appartient à une "
                               "procédure existante dans le panier");
        break;
    default:
        if (g_dialogueAjout)
            g_dialogueAjout();
        return;
    }
    afficherMessage(refus, QStringLiteral("Attention"), Icone::Exclamation, Boutons::Ok);
}

void installerDialogueAjoutPanier(std::function<void()> ouvrir) {
    g_dialogueAjout = std::move(ouvrir);
}
