#include "Session.h"

#include "AccesDonnees.h"
#include "Administration.h"
#include "Data.h"
#include "EmpreinteMotDePasse.h"
#include "Globals.h"
#include "Medecin.h"
#include "Parametres.h"
#include "Utilisateur.h"
#include "VersionsCcam.h"

namespace {
const QString debutChampsManquants = QStringLiteral(" Vous devez remplir le champ :");

ResultatSession refus(const QString& message, int champ, bool selectionner) {
    ResultatSession r;
    r.resultat = Resultat::refus(message);
    r.champ = champ;
    r.selectionner = selectionner;
    return r;
}
} // namespace

std::shared_ptr<Medecin> chargerMedecin(long codeUtilisateur) {
    auto medecin = std::make_shared<Medecin>();
    RecordsetPtr rs = accesDonnees.getMedecin(codeUtilisateur);
    if (rs && !rs->isEOF())
        medecin->remplirDonnees(*rs);
    medecin->UTI = codeUtilisateur;
    medecin->remplirThesaurusMED();
    return medecin;
}

ResultatSession ouvrirSession(const QString& identifiant, const QString& motDePasse,
                              const QString& chemin) {
    // Mandatory fields (the password may be empty).
    if (identifiant.isEmpty())
        return refus(debutChampsManquants + QStringLiteral(" Identifiant"), 0, false);
    if (chemin.isEmpty())
        return refus(debutChampsManquants + QStringLiteral(" Base de données"), 2, false);

    // The database; its own failure has been shown under the title "Data".
    cheminBase = chemin;
    if (!Data().ConnexionCorrecte())
        return refus(QStringLiteral("la connexion à la base de données a échoué."), -1, false);

    // The user; a failed lookup (already reported) counts as unknown.
    RecordsetPtr rs = accesDonnees.getUtilisateurLogin(identifiant);
    if (!rs || rs->isEOF())
        return refus(QStringLiteral("Identifiant incorrect"), 0, true);
    utilisateurCourant.p_code = long(rs->Fields(QStringLiteral("UTI_CODE")).toLongLong());
    utilisateurCourant.p_LOGIN = rs->Fields(QStringLiteral("UTI_LOGIN")).toString();
    utilisateurCourant.p_PWD = rs->Fields(QStringLiteral("UTI_PWD")).toString();
    utilisateurCourant.p_EMAIL = valeurTexte(rs->Fields(QStringLiteral("UTI_EMAIL")));
    utilisateurCourant.p_GROUP = valeurTexte(rs->Fields(QStringLiteral("UTI_GROUP")));

    // The password against its stored hash; a value still in the old cipher
    // is accepted this once and replaced by the hash.
    const VerificationMotDePasse verification =
        verifierMotDePasse(motDePasse, utilisateurCourant.p_PWD);
    if (verification == VerificationMotDePasse::Refuse)
        return refus(QStringLiteral("Mot de passe incorrect"), 1, true);
    if (verification == VerificationMotDePasse::AccepteAncienneForme) {
        const QString empreinte = administration::remplacerAncienneForme(
            utilisateurCourant.p_code, utilisateurCourant.p_PWD, motDePasse);
        if (!empreinte.isEmpty())
            utilisateurCourant.p_PWD = empreinte;
    }

    // Remembered only now, so that a failed login never replaces them.
    // A server's URI is remembered without the password typed in it.
    Parametres::ecrire(Parametres::CheminBase, nomAffichableBase(cheminBase));
    Parametres::ecrire(Parametres::NomUtilisateur, utilisateurCourant.p_LOGIN);
    Parametres::ecrire(Parametres::VersionCcam, versionCcamChargee());

    ResultatSession r;
    r.mode = modeDuGroupe(utilisateurCourant.p_GROUP);
    // A doctor of an earlier session never stays current in another workspace.
    changerMedecinCourant(
        r.mode == ModeEcran::EspaceMedecin ? chargerMedecin(utilisateurCourant.p_code) : nullptr);
    return r;
}
