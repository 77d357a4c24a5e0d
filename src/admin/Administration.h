#pragma once
// What the administration window does to the database, without a widget:
// creating, modifying and deleting user accounts (with their doctor row) and
// medical units. Each write checks and writes in one transaction that takes
// the database's write lock at once, so that two administrators working at
// the same moment never store two accounts with one identifier, two doctors
// with one code or two units with one code: the second one waits for the
// first, then sees its row and is refused. The rules that keep an
// administrator able to come back are checked there too: nobody deletes his
// own account, and the last account of group "ADMIN" is neither deleted nor
// moved to another group.

#include <QString>

// The fields of the user dialog, as typed (password in clear).
struct FicheUtilisateur {
    long code = 0; // UTI_CODE of the edited user; 0 for a new one
    QString login;
    // As typed; stored as its hash (EmpreinteMotDePasse.h). In a
    // modification, an empty field keeps the stored password.
    QString motDePasse;
    QString groupe;
    QString email;
    QString ancienCodeMedecin; // doctor code when the edit began; empty if none
    bool medecin = false;      // the doctor fields below apply
    QString codeMedecin;
    QString nom;
    QString UM; // unit code
    QString activite;
};

// The outcome of an administration command.
struct ResultatAdministration {
    enum class Etat {
        Fait,
        Refuse, // a rule refused it: show `message` (title "Attention")
        Echoue  // the database failed; already reported under "ERREUR"
    };
    // The field a refusal is about, where the dialog puts the focus.
    enum class Champ { Aucun, Identifiant, CodeMedecin, Groupe, CodeUM };

    Etat etat = Etat::Echoue;
    QString message;
    Champ champ = Champ::Aucun;

    bool fait() const { return etat == Etat::Fait; }
    static ResultatAdministration reussi() { return {Etat::Fait, {}, Champ::Aucun}; }
    static ResultatAdministration echec() { return {}; }
    static ResultatAdministration refus(QString message, Champ champ = Champ::Aucun) {
        return {Etat::Refuse, std::move(message), champ};
    }
};

namespace administration {

// The refusals the dialogs and these operations share.
inline const QString messageIdentifiantPris =
    QStringLiteral("Cet utilisateur est déjà utilisé. Saisissez un autre identifiant.");
inline const QString messageCodeMedecinPris = QStringLiteral("Ce code du médecin existe déjà.");
inline const QString messageUMExistante = QStringLiteral("Cette unité médicale existe déjà.");
inline const QString messageSuppressionSoiMeme =
    QStringLiteral("Vous ne pouvez pas supprimer votre propre compte : il est utilisé par "
                   "la session en cours.");
inline const QString messageDernierAdmin =
    QStringLiteral("Ce compte est le dernier du groupe ADMIN : il ne peut pas être supprimé, "
                   "sans quoi plus personne ne pourrait administrer le programme.");
inline const QString messageDernierAdminGroupe =
    QStringLiteral("Ce compte est le dernier du groupe ADMIN : il doit rester dans ce groupe, "
                   "sans quoi plus personne ne pourrait administrer le programme.");
inline const QString messageUtilisateurDisparu =
    QStringLiteral("Ce compte n'existe plus : il a été supprimé par un autre administrateur.");

// nouveauUtilisateur with the password hashed, after checking that
// neither the identifier nor the doctor code is taken.
ResultatAdministration creerUtilisateur(const FicheUtilisateur& fiche);
// enregistrerUtilisateur with the password hashed (or kept), after checking the
// identifier (taken by another user), the doctor code (changed to one that
// exists) and the group (the last administrator stays one). Without doctor
// fields, the user's doctor row is deleted.
ResultatAdministration modifierUtilisateur(const FicheUtilisateur& fiche);
// Why the user cannot be deleted by the logged-in user `codeConnecte`, or
// empty text when he can (or when the database cannot tell: the deletion
// checks again).
QString refusSuppressionUtilisateur(long code, long codeConnecte);
// supprimerUtilisateur, after checking again what refusSuppressionUtilisateur checks.
ResultatAdministration supprimerUtilisateur(long code, long codeConnecte);

// At a login whose password matched a value stored in the old cipher: the
// hash takes its place, provided the row still holds that value. Returns
// the hash written; silent and empty when it could not be written (a
// read-only database): the next login tries again.
QString remplacerAncienneForme(long code, const QString& ancienne, const QString& motDePasse);

// insererUM after checking that the code is not taken.
ResultatAdministration creerUM(const QString& code, const QString& libelle);
// The question asked before deleting a unit: the doctors that belong to it
// are counted after it.
QString questionSuppressionUM(long nombreMedecins);
// Doctors whose unit is `code` (-1 when it cannot be read).
long nombreMedecinsUM(const QString& code);

// A typed identifier, password or code as it is stored and compared: without
// blanks around, in capitals (the login upper-cases what is typed).
QString saisieNormalisee(const QString& texte);

inline const QString messageIdentifiantVide =
    QStringLiteral("Vous devez renseigner le champ : Identifiant.");
inline const QString messageMotDePasseVide =
    QStringLiteral("Le mot de passe du premier administrateur ne peut pas être vide.");
inline const QString messageAdministrateurExistant =
    QStringLiteral("Cette base a déjà un compte du groupe ADMIN : les autres comptes se créent "
                   "dans la fenêtre « Gestion des utilisateurs », une fois connecté avec lui.");
// The first account of a database that has none of group "ADMIN" (the tool
// tarvenor_admin): identifier and password normalised as the user dialog
// does, then creerUtilisateur in group "ADMIN", with its checks and its
// password storage. Refused for an empty identifier or password, or when
// the database already has an administrator.
ResultatAdministration creerPremierAdministrateur(const QString& identifiant,
                                                  const QString& motDePasse);

} // namespace administration
