#include "AccesDonnees.h"

#include "Data.h"

namespace {
QString Q(const QString& s) {
    return doublerQuotes(s);
}

} // namespace

// ------------------------------------------------------------------ SQL texts

QString AccesDonnees::dateJet(const QDate& jour) {
    return QStringLiteral("#") + jour.toString(QStringLiteral("MM/dd/yyyy")) + QStringLiteral("#");
}

QString AccesDonnees::sqlGetLibelleUniteMedicale(const QString& a_UM) {
    return "select UM_LIB from UniteMedicale WHERE UM_Code='" + Q(a_UM) + "'";
}

QString AccesDonnees::sqlGetListeMedecins(const QString& a_UM) {
    return "select MED_CODE, MED_LIB FROM Medecin WHERE MED_UM = '" + Q(a_UM) + "'";
}

QString AccesDonnees::sqlGetMedecin(long a_codeUti) {
    return "select * from Medecin WHERE MED_CODEUTI = " + QString::number(a_codeUti);
}

QString AccesDonnees::sqlGetMedecinParCode(const QString& a_code) {
    return "select * from Medecin WHERE MED_CODE = '" + Q(a_code) + "'";
}

QString AccesDonnees::sqlGetUM(const QString& a_code) {
    return "select * from UniteMedicale WHERE UM_Code = '" + Q(a_code) + "'";
}

QString AccesDonnees::sqlGetListeUM() {
    return QStringLiteral("select * from UniteMedicale ORDER BY UM_Code");
}

QString AccesDonnees::sqlGetUtilisateurLogin(const QString& a_login) {
    return "SELECT * FROM Utilisateur where Utilisateur.UTI_LOGIN= '" + Q(a_login) + "'";
}

QString AccesDonnees::sqlGetUtilisateur(long a_code) {
    return QStringLiteral("SELECT Utilisateur.*, Medecin.* ") +
           "FROM Medecin RIGHT JOIN Utilisateur ON Medecin.MED_CODEUTI = Utilisateur.UTI_CODE" +
           " WHERE Utilisateur.UTI_CODE= " + QString::number(a_code);
}

QString AccesDonnees::sqlGetListeUtilisateurs() {
    return QStringLiteral("SELECT Utilisateur.*, Medecin.* ") +
           "FROM Medecin RIGHT JOIN Utilisateur ON Medecin.MED_CODEUTI = Utilisateur.UTI_CODE" +
           " ORDER BY Utilisateur.UTI_LOGIN";
}

QString AccesDonnees::sqlGetActe(const QString& a_code, const QString& a_activite) {
    QString sql = "SELECT * FROM CCAM where AMCODE = '" + Q(a_code) + "'";
    if (!a_activite.isEmpty())
        sql += " AND Activite = '" + Q(a_activite) + "'";
    sql += QStringLiteral(" AND Libelle_Complet <> null");
    return sql;
}

QString AccesDonnees::sqlInsererUM(const QString& a_code, const QString& a_lib) {
    return QStringLiteral("INSERT INTO UniteMedicale(UM_Code,UM_LIB) ") + "VALUES ('" + Q(a_code) +
           "','" + Q(a_lib) + "')";
}

QString AccesDonnees::sqlModifierUM(const QString& a_code, const QString& a_lib) {
    return "UPDATE UniteMedicale set UM_LIB = '" + Q(a_lib) + "'" + " WHERE UM_Code = '" +
           Q(a_code) + "'";
}

QString AccesDonnees::sqlSupprimerUM(const QString& a_code) {
    return "DELETE UniteMedicale.* From UniteMedicale WHERE UM_Code = '" + Q(a_code) + "'";
}

QString AccesDonnees::sqlInsererUtilisateur(const QString& a_login, const QString& a_pwd,
                                            const QString& a_groupe, const QString& a_email,
                                            const QDate& jour) {
    QString sql = QStringLiteral("INSERT INTO Utilisateur(UTI_LOGIN, UTI_PWD, UTI_GROUP, "
                                 "UTI_CREATE, UTI_EMAIL) VALUES (") +
                  "'" + Q(a_login) + "','" + Q(a_pwd) + "','" + Q(a_groupe) + "'," + dateJet(jour);
    if (!a_email.isEmpty())
        sql += ",'" + Q(a_email) + "'";
    else
        sql += QStringLiteral(",null");
    sql += QStringLiteral(")");
    return sql;
}

QString AccesDonnees::sqlInsererMedecin(const QString& a_code, const QString& a_nom,
                                        const QString& a_UM, const QString& a_activite,
                                        long codeUti) {
    return QStringLiteral("INSERT INTO Medecin(MED_CODE, MED_LIB, MED_UM, MED_ACT, MED_CODEUTI) ") +
           " VALUES ('" + Q(a_code) + "','" + Q(a_nom) + "','" + Q(a_UM) + "'," + "'" +
           Q(a_activite) + "'," + QString::number(codeUti) + ")";
}

QString AccesDonnees::sqlModifierUtilisateur(long a_codeUti, const QString& a_login,
                                             const QString& a_pwd, const QString& a_groupe,
                                             const QString& a_email, const QDate& jour) {
    QString sql = "UPDATE Utilisateur SET UTI_LOGIN = '" + Q(a_login) + "'";
    if (!a_pwd.isNull())
        sql += ", UTI_PWD = '" + Q(a_pwd) + "'";
    sql += ", UTI_GROUP = '" + Q(a_groupe) + "', UTI_UPDATE = " + dateJet(jour);
    if (!a_email.isEmpty())
        sql += ", UTI_EMAIL = '" + Q(a_email) + "'";
    else
        sql += QStringLiteral(", UTI_EMAIL = Null");
    sql += " where UTI_CODE=" + QString::number(a_codeUti);
    return sql;
}

QString AccesDonnees::sqlRemplacerMotDePasse(long a_codeUti, const QString& a_ancien,
                                             const QString& a_nouveau) {
    return "UPDATE Utilisateur SET UTI_PWD = '" + Q(a_nouveau) +
           "' WHERE UTI_CODE = " + QString::number(a_codeUti) + " AND UTI_PWD = '" + Q(a_ancien) +
           "'";
}

QString AccesDonnees::sqlMedecinEnregistre(long a_codeUti, const QString& a_encienCode,
                                           const QString& a_code, const QString& a_nom,
                                           const QString& a_UM, const QString& a_activite) {
    if (a_encienCode.isEmpty())
        return a_code.isEmpty() ? QString()
                                : sqlInsererMedecin(a_code, a_nom, a_UM, a_activite, a_codeUti);
    if (!a_code.isEmpty())
        return "UPDATE Medecin SET MED_CODE = '" + Q(a_code) + "', MED_LIB = '" + Q(a_nom) + "'," +
               "MED_UM = '" + Q(a_UM) + "', MED_ACT = '" + Q(a_activite) + "'" +
               " WHERE MED_CODE= '" + Q(a_encienCode) +
               "' AND MED_CODEUTI = " + QString::number(a_codeUti);
    return "DELETE * From Medecin WHERE MED_CODE = '" + Q(a_encienCode) + "'";
}

QStringList AccesDonnees::sqlSupprimerUtilisateur(long a_code) {
    return {"DELETE Utilisateur.* From Utilisateur WHERE UTI_CODE = " + QString::number(a_code),
            "DELETE Medecin.* From Medecin WHERE MED_CODEUTI = " + QString::number(a_code)};
}

// ------------------------------------------------------------------ reads

QString AccesDonnees::getLibelleUniteMedicale(const QString& a_UM) const {
    return operationDepot<QString>({}, [&] {
        RecordsetPtr rs = Data().CreeRecordset(sqlGetLibelleUniteMedicale(a_UM));
        return rs->isEOF() ? QString() : valeurTexte(rs->Fields(QStringLiteral("UM_LIB")));
    });
}

RecordsetPtr AccesDonnees::getListeMedecins(const QString& a_UM) const {
    return depotLire(sqlGetListeMedecins(a_UM));
}
RecordsetPtr AccesDonnees::getMedecin(long a_codeUti) const {
    return depotLire(sqlGetMedecin(a_codeUti));
}
RecordsetPtr AccesDonnees::getMedecinParCode(const QString& a_code) const {
    return depotLire(sqlGetMedecinParCode(a_code));
}
RecordsetPtr AccesDonnees::getUM(const QString& a_code) const {
    return depotLire(sqlGetUM(a_code));
}
RecordsetPtr AccesDonnees::getListeUM() const {
    return depotLire(sqlGetListeUM());
}
RecordsetPtr AccesDonnees::getUtilisateurLogin(const QString& a_login) const {
    return depotLire(sqlGetUtilisateurLogin(a_login));
}
RecordsetPtr AccesDonnees::getUtilisateur(long a_code) const {
    return depotLire(sqlGetUtilisateur(a_code));
}
RecordsetPtr AccesDonnees::getListeUtilisateurs() const {
    return depotLire(sqlGetListeUtilisateurs());
}
RecordsetPtr AccesDonnees::getActe(const QString& a_code, const QString& a_activite) const {
    return depotLire(sqlGetActe(codeEnMajuscules(a_code), a_activite));
}
RecordsetPtr AccesDonnees::executSQL(const QString& a_sql) const {
    return depotLire(a_sql);
}

// ------------------------------------------------------------------ writes

bool AccesDonnees::insererUM(const QString& a_code, const QString& a_lib) const {
    return depotEcrire({sqlInsererUM(a_code, a_lib)});
}

bool AccesDonnees::modifierUM(const QString& a_code, const QString& a_lib) const {
    return depotEcrire({sqlModifierUM(a_code, a_lib)});
}

bool AccesDonnees::supprimerUM(const QString& a_code) const {
    return depotEcrire({sqlSupprimerUM(a_code)});
}

bool AccesDonnees::nouveauUtilisateur(const QString& a_login, const QString& a_pwd,
                                      const QString& a_groupe, const QString& a_email,
                                      const QString& a_code, const QString& a_nom,
                                      const QString& a_UM, const QString& a_activite) const {
    return operationDepot<bool>(false, [&] {
        ConnexionPtr c = Data().CreeConnexion();
        Transaction t(*c);
        c->Execute(sqlInsererUtilisateur(a_login, a_pwd, a_groupe, a_email, QDate::currentDate()));
        if (!a_code.isEmpty()) {
            // The identity is read on the connection that did the insert.
            RecordsetPtr id = c->Ouvrir(QStringLiteral("SELECT @@IDENTITY AS ID"));
            if (!id->isEOF()) {
                const long codeUti =
                    static_cast<long>(id->Fields(QStringLiteral("ID")).toLongLong());
                c->Execute(sqlInsererMedecin(a_code, a_nom, a_UM, a_activite, codeUti));
            }
        }
        t.valider();
        return true;
    });
}

bool AccesDonnees::enregistrerUtilisateur(long a_codeUti, const QString& a_login,
                                          const QString& a_pwd, const QString& a_groupe,
                                          const QString& a_email, const QString& a_encienCode,
                                          const QString& a_code, const QString& a_nom,
                                          const QString& a_UM, const QString& a_activite) const {
    QStringList instructions{
        sqlModifierUtilisateur(a_codeUti, a_login, a_pwd, a_groupe, a_email, QDate::currentDate())};
    const QString medecin =
        sqlMedecinEnregistre(a_codeUti, a_encienCode, a_code, a_nom, a_UM, a_activite);
    if (!medecin.isEmpty())
        instructions << medecin;
    return depotEcrire(instructions);
}

bool AccesDonnees::supprimerUtilisateur(long a_code) const {
    return depotEcrire(sqlSupprimerUtilisateur(a_code));
}

// ------------------------------------------------------------------ administration

QString AccesDonnees::sqlCompterUtilisateursGroupe(const QString& a_groupe) {
    return "SELECT count(*) AS N FROM Utilisateur WHERE UTI_GROUP = '" + Q(a_groupe) + "'";
}

long AccesDonnees::compterUtilisateursGroupe(const QString& a_groupe) const {
    return operationDepot<long>(-1, [&] {
        RecordsetPtr rs = Data().CreeRecordset(sqlCompterUtilisateursGroupe(a_groupe));
        return rs->isEOF() ? 0L : static_cast<long>(rs->Fields(0).toLongLong());
    });
}
