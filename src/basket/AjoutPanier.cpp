#include "AjoutPanier.h"

#include "ActeChoisi.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Panier.h"
#include "adCCAM.h"

namespace {
// The first AMCODE of the query's rows that stands in the basket; empty when
// none. A failed query (no recordset) finds nothing.
QString premierCodeDansPanier(const RecordsetPtr& rs, const Panier& panier) {
    if (!rs)
        return {};
    const int champ = rs->indexChamp(QStringLiteral("AMCODE"));
    if (champ < 0)
        return {};
    for (int i = 0; i < rs->RecordCount(); ++i) {
        const QString code = rs->valeurLigne(i, champ).toString();
        if (panier.acteExiste(code))
            return code;
    }
    return {};
}

QStringList codesDuPanier(const Panier& panier) {
    QStringList codes;
    for (const ActePtr& a : panier.getListeActes())
        if (!codes.contains(a->code))
            codes << a->code;
    return codes;
}
} // namespace

Admission examinerAdmission(const Panier& panier, const QString& code) {
    if (panier.getListeActes().isEmpty())
        return {};
    // Only the basket's codes are looked for among the incompatible acts: an
    // act of the national CCAM may have thousands of them.
    QString conflit = accesCCAM.premierIncompatibleParmi(code, codesDuPanier(panier));
    if (!conflit.isEmpty())
        return {AdmissionIncompatible, conflit};
    conflit = premierCodeDansPanier(accesCCAM.getCodesProcedure(code), panier);
    if (!conflit.isEmpty())
        return {AdmissionProcedure, conflit};
    conflit = premierCodeDansPanier(accesCCAM.getProceduresParActe(code), panier);
    if (!conflit.isEmpty())
        return {AdmissionComposant, conflit};
    return {};
}

qint16 verifierAdmission(const Panier& panier, const QString& code) {
    return examinerAdmission(panier, code).code;
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

QString texteRefusAdmission(const Admission& admission, const Panier& panier) {
    QString texte = texteRefusAdmission(admission.code);
    if (texte.isEmpty() || admission.acteEnConflit.isEmpty())
        return texte;
    for (const ActePtr& a : panier.getListeActes())
        if (a->code == admission.acteEnConflit)
            return texte + QStringLiteral("\nActe du panier en cause : ") +
                   (a->libelle.isEmpty() ? a->code : codeEtLibelle(a->code, a->libelle));
    return texte;
}

Resultat ajouterAuPanier() {
    if (acteCourant.estVide())
        return Resultat::rien();
    if (!panierCourant)
        return Resultat::fait();
    const Admission admission = examinerAdmission(*panierCourant, acteCourant.code);
    if (admission.code == AdmissionAccordee)
        return Resultat::fait();
    return Resultat::refus(texteRefusAdmission(admission, *panierCourant));
}
