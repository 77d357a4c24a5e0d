#include "Administration.h"

#include "AccesDonnees.h"
#include "Data.h"
#include "DataError.h"
#include "EmpreinteMotDePasse.h"
#include "Globals.h"

#include <optional>

namespace administration {

namespace {

using Champ = ResultatAdministration::Champ;

const QString groupeAdmin = QStringLiteral("ADMIN");

// Runs fn inside one exclusive write; fn returns the result, and only a
// result "Fait" is kept. A failure of the data layer is reported under
// "ERREUR" (the repository convention) and gives "Echoue".
template <typename F> ResultatAdministration ecrire(F&& fn) {
    return operationDepot<ResultatAdministration>(ResultatAdministration::echec(), [&] {
        // The write is exclusive from before the checks: another program
        // writing accounts at that moment is waited for, and none can slip a
        // row in between the checks and the writes. The writes of the
        // repository join the transaction on the same kept connection.
        ConnexionPtr connexion = Data().CreeConnexion();
        Transaction ecriture(*connexion);
        connexion->verrouiller(QStringLiteral("tarvenor:comptes"));
        ResultatAdministration r = fn();
        if (r.fait())
            ecriture.valider();
        return r;
    });
}

// The stored form of a typed password, computed before the accounts lock is
// taken (it takes a moment); nullopt after reporting OpenSSL's failure.
std::optional<QString> empreinte(const QString& motDePasse) {
    try {
        return empreinteMotDePasse(motDePasse);
    } catch (const std::exception& e) {
        signalerErreurDepot(QString::fromUtf8(e.what()));
        return std::nullopt;
    }
}

// The identifier belongs to a user other than `code` (0: to any user).
// nullopt when the database cannot be read (already reported).
std::optional<bool> identifiantPris(const QString& login, long code) {
    RecordsetPtr rs = accesDonnees.getUtilisateurLogin(login);
    if (!rs)
        return std::nullopt;
    for (; !rs->isEOF(); rs->MoveNext())
        if (rs->Fields(QStringLiteral("UTI_CODE")).toLongLong() != code)
            return true;
    return false;
}

std::optional<bool> codeMedecinPris(const QString& codeMedecin) {
    RecordsetPtr rs = accesDonnees.getMedecinParCode(codeMedecin);
    if (!rs)
        return std::nullopt;
    return !rs->isEOF();
}

// The outcome of one check when it stops the command: the failure when the
// database could not answer (`vrai` empty), the refusal when the condition
// holds; nullopt when the command goes on.
std::optional<ResultatAdministration> arret(std::optional<bool> vrai, const QString& message,
                                            Champ champ) {
    if (!vrai)
        return ResultatAdministration::echec();
    if (*vrai)
        return ResultatAdministration::refus(message, champ);
    return std::nullopt;
}

// The group of the user, or nullopt when he cannot be read; empty text when
// he no longer exists.
std::optional<QString> groupeDe(long code, bool* existe = nullptr) {
    RecordsetPtr rs = accesDonnees.getUtilisateur(code);
    if (!rs)
        return std::nullopt;
    if (existe)
        *existe = !rs->isEOF();
    return rs->isEOF() ? QString() : valeurTexte(rs->Fields(QStringLiteral("UTI_GROUP")));
}

// The user is the last one of group "ADMIN"; nullopt when it cannot be read.
std::optional<bool> dernierAdmin(const QString& groupe) {
    if (groupe != groupeAdmin)
        return false;
    const long n = accesDonnees.compterUtilisateursGroupe(groupeAdmin);
    if (n < 0)
        return std::nullopt;
    return n <= 1;
}

// The refusal of a deletion (empty when allowed); nullopt when the database
// cannot tell.
std::optional<QString> refusSuppression(long code, long codeConnecte) {
    if (code == codeConnecte)
        return messageSuppressionSoiMeme;
    const std::optional<QString> groupe = groupeDe(code);
    if (!groupe)
        return std::nullopt;
    const std::optional<bool> dernier = dernierAdmin(*groupe);
    if (!dernier)
        return std::nullopt;
    return *dernier ? messageDernierAdmin : QString();
}

} // namespace

ResultatAdministration creerUtilisateur(const FicheUtilisateur& f) {
    const std::optional<QString> pwd = empreinte(f.motDePasse);
    if (!pwd)
        return ResultatAdministration::echec();
    return ecrire([&] {
        if (auto r = arret(identifiantPris(f.login, 0), messageIdentifiantPris, Champ::Identifiant))
            return *r;
        if (f.medecin)
            if (auto r = arret(codeMedecinPris(f.codeMedecin), messageCodeMedecinPris,
                               Champ::CodeMedecin))
                return *r;
        const bool ok =
            f.medecin ? accesDonnees.nouveauUtilisateur(f.login, *pwd, f.groupe, f.email,
                                                        f.codeMedecin, f.nom, f.UM, f.activite)
                      : accesDonnees.nouveauUtilisateur(f.login, *pwd, f.groupe, f.email);
        return ok ? ResultatAdministration::reussi() : ResultatAdministration::echec();
    });
}

ResultatAdministration modifierUtilisateur(const FicheUtilisateur& f) {
    // An empty field keeps the stored password (a null text writes nothing).
    const std::optional<QString> pwd =
        f.motDePasse.isEmpty() ? std::optional<QString>(QString()) : empreinte(f.motDePasse);
    if (!pwd)
        return ResultatAdministration::echec();
    return ecrire([&] {
        bool existe = false;
        const std::optional<QString> groupeActuel = groupeDe(f.code, &existe);
        if (!groupeActuel)
            return ResultatAdministration::echec();
        if (!existe)
            return ResultatAdministration::refus(messageUtilisateurDisparu);
        if (auto r =
                arret(identifiantPris(f.login, f.code), messageIdentifiantPris, Champ::Identifiant))
            return *r;
        if (f.groupe != groupeAdmin)
            if (auto r =
                    arret(dernierAdmin(*groupeActuel), messageDernierAdminGroupe, Champ::Groupe))
                return *r;
        if (f.medecin && f.codeMedecin != f.ancienCodeMedecin)
            if (auto r = arret(codeMedecinPris(f.codeMedecin), messageCodeMedecinPris,
                               Champ::CodeMedecin))
                return *r;
        const bool ok =
            f.medecin ? accesDonnees.enregistrerUtilisateur(f.code, f.login, *pwd, f.groupe,
                                                            f.email, f.ancienCodeMedecin,
                                                            f.codeMedecin, f.nom, f.UM, f.activite)
                      : accesDonnees.enregistrerUtilisateur(f.code, f.login, *pwd, f.groupe,
                                                            f.email, f.ancienCodeMedecin);
        return ok ? ResultatAdministration::reussi() : ResultatAdministration::echec();
    });
}

QString refusSuppressionUtilisateur(long code, long codeConnecte) {
    return refusSuppression(code, codeConnecte).value_or(QString());
}

ResultatAdministration supprimerUtilisateur(long code, long codeConnecte) {
    return ecrire([&] {
        const std::optional<QString> refus = refusSuppression(code, codeConnecte);
        if (!refus)
            return ResultatAdministration::echec();
        if (!refus->isEmpty())
            return ResultatAdministration::refus(*refus);
        return accesDonnees.supprimerUtilisateur(code) ? ResultatAdministration::reussi()
                                                       : ResultatAdministration::echec();
    });
}

QString remplacerAncienneForme(long code, const QString& ancienne, const QString& motDePasse) {
    try {
        const QString nouvelle = empreinteMotDePasse(motDePasse);
        ConnexionPtr connexion = Data().CreeConnexion();
        if (connexion->lectureSeule())
            return {};
        Transaction ecriture(*connexion);
        connexion->verrouiller(QStringLiteral("tarvenor:comptes"));
        connexion->Execute(AccesDonnees::sqlRemplacerMotDePasse(code, ancienne, nouvelle));
        ecriture.valider();
        return nouvelle;
    } catch (const std::exception&) {
        // The next login tries again.
        return {};
    }
}

ResultatAdministration creerUM(const QString& code, const QString& libelle) {
    return ecrire([&] {
        RecordsetPtr rs = accesDonnees.getUM(code);
        if (!rs)
            return ResultatAdministration::echec();
        if (!rs->isEOF())
            return ResultatAdministration::refus(messageUMExistante, Champ::CodeUM);
        return accesDonnees.insererUM(code, libelle) ? ResultatAdministration::reussi()
                                                     : ResultatAdministration::echec();
    });
}

QString questionSuppressionUM(long nombreMedecins) {
    QString question =
        QStringLiteral("Voulez-vous vraiment supprimer l'unité médicale sélectionnée ?");
    if (nombreMedecins == 1)
        question += QStringLiteral(" 1 médecin y est rattaché.");
    else if (nombreMedecins > 1)
        question += QStringLiteral(" %1 médecins y sont rattachés.").arg(nombreMedecins);
    return question;
}

long nombreMedecinsUM(const QString& code) {
    RecordsetPtr rs = accesDonnees.getListeMedecins(code);
    return rs ? long(rs->RecordCount()) : -1L;
}

QString saisieNormalisee(const QString& texte) {
    return texte.trimmed().toUpper();
}

ResultatAdministration creerPremierAdministrateur(const QString& identifiant,
                                                  const QString& motDePasse) {
    FicheUtilisateur f;
    f.login = saisieNormalisee(identifiant);
    f.motDePasse = saisieNormalisee(motDePasse);
    f.groupe = groupeAdmin;
    if (f.login.isEmpty())
        return ResultatAdministration::refus(messageIdentifiantVide, Champ::Identifiant);
    if (f.motDePasse.isEmpty())
        return ResultatAdministration::refus(messageMotDePasseVide);
    const long administrateurs = accesDonnees.compterUtilisateursGroupe(groupeAdmin);
    if (administrateurs < 0)
        return ResultatAdministration::echec();
    if (administrateurs > 0)
        return ResultatAdministration::refus(messageAdministrateurExistant);
    return creerUtilisateur(f);
}

} // namespace administration
