#pragma once
// Repository of the program's own tables: users, doctors and medical units,
// plus two general reads of the classification (one act, any query).
// Every operation reports a failure under "ERREUR" and returns its empty
// result (nullptr, empty text). The sql* functions build the exact SQL text
// each operation sends; text values are always quote-doubled.

#include "Recordset.h"

#include <QDate>
#include <QString>
#include <QStringList>

class AccesDonnees {
public:
    // Reads
    QString getLibelleUniteMedicale(const QString& a_UM) const;
    RecordsetPtr getListeMedecins(const QString& a_UM) const;
    RecordsetPtr getMedecin(long a_codeUti) const;
    RecordsetPtr getMedecinParCode(const QString& a_code) const;
    RecordsetPtr getUM(const QString& a_code) const;
    RecordsetPtr getListeUM() const;
    RecordsetPtr getUtilisateurLogin(const QString& a_login) const;
    RecordsetPtr getUtilisateur(long a_code) const;
    RecordsetPtr getListeUtilisateurs() const;
    RecordsetPtr getActe(const QString& a_code, const QString& a_activite = QString()) const;
    RecordsetPtr executSQL(const QString& a_sql) const;

    // Writes (a write of several statements is all-or-nothing); each one
    // returns true when done, false after reporting its failure.
    bool insererUM(const QString& a_code, const QString& a_lib) const;
    bool modifierUM(const QString& a_code, const QString& a_lib) const;
    bool supprimerUM(const QString& a_code) const;
    bool nouveauUtilisateur(const QString& a_login, const QString& a_pwd, const QString& a_groupe,
                            const QString& a_email, const QString& a_code = QString(),
                            const QString& a_nom = QString(), const QString& a_UM = QString(),
                            const QString& a_activite = QString()) const;
    bool enregistrerUtilisateur(long a_codeUti, const QString& a_login, const QString& a_pwd,
                                const QString& a_groupe, const QString& a_email,
                                const QString& a_encienCode, const QString& a_code = QString(),
                                const QString& a_nom = QString(), const QString& a_UM = QString(),
                                const QString& a_activite = QString()) const;
    bool supprimerUtilisateur(long a_code) const;

    // SQL texts
    static QString sqlGetLibelleUniteMedicale(const QString& a_UM);
    static QString sqlGetListeMedecins(const QString& a_UM);
    static QString sqlGetMedecin(long a_codeUti);
    static QString sqlGetMedecinParCode(const QString& a_code);
    static QString sqlGetUM(const QString& a_code);
    static QString sqlGetListeUM();
    static QString sqlGetUtilisateurLogin(const QString& a_login);
    static QString sqlGetUtilisateur(long a_code);
    static QString sqlGetListeUtilisateurs();
    static QString sqlGetActe(const QString& a_code, const QString& a_activite);
    static QString sqlInsererUM(const QString& a_code, const QString& a_lib);
    static QString sqlModifierUM(const QString& a_code, const QString& a_lib);
    static QString sqlSupprimerUM(const QString& a_code);
    static QString sqlInsererUtilisateur(const QString& a_login, const QString& a_pwd,
                                         const QString& a_groupe, const QString& a_email,
                                         const QDate& jour);
    static QString sqlInsererMedecin(const QString& a_code, const QString& a_nom,
                                     const QString& a_UM, const QString& a_activite, long codeUti);
    // A null a_pwd (QString()) leaves the stored password as it is.
    static QString sqlModifierUtilisateur(long a_codeUti, const QString& a_login,
                                          const QString& a_pwd, const QString& a_groupe,
                                          const QString& a_email, const QDate& jour);
    // The stored password a_ancien of that user replaced by a_nouveau (no
    // row changes when another value is stored meanwhile).
    static QString sqlRemplacerMotDePasse(long a_codeUti, const QString& a_ancien,
                                          const QString& a_nouveau);
    // The doctor statement of enregistrerUtilisateur; empty when none applies.
    static QString sqlMedecinEnregistre(long a_codeUti, const QString& a_encienCode,
                                        const QString& a_code, const QString& a_nom,
                                        const QString& a_UM, const QString& a_activite);
    static QStringList sqlSupprimerUtilisateur(long a_code);
    // A date as the program writes it in SQL: #mm/dd/yyyy#.
    static QString dateJet(const QDate& jour);

    // Administration: number of user accounts of a group (-1 on failure).
    long compterUtilisateursGroupe(const QString& a_groupe) const;
    static QString sqlCompterUtilisateursGroupe(const QString& a_groupe);
};
