#include "adCCAM.h"

#include "Data.h"

namespace {
QString Q(const QString& s) {
    return doublerQuotes(s);
}
QString N(long n) {
    return QString::number(n);
}
QString C(const QString& code) {
    return codeEnMajuscules(code);
}

// The Libelle of the first row, or empty text.
QString lireLibelle(const QString& sql) {
    if (sql.isEmpty())
        return {};
    return operationDepot<QString>({}, [&] {
        RecordsetPtr rs = Data().CreeRecordset(sql);
        return rs->isEOF() ? QString() : valeurTexte(rs->Fields(QStringLiteral("libelle")));
    });
}

} // namespace

// ================================================================ SQL texts

QString adCCAM::sqlGetActe(const QString& a_code, const QString& a_activite,
                           const QString& a_phase) {
    QString sql = "SELECT * FROM CCAM WHERE AMCODE = '" + Q(a_code) + "'" + " AND Activite = '" +
                  Q(a_activite) + "'";
    if (!a_phase.isEmpty())
        sql += " AND Phase= '" + Q(a_phase) + "'";
    return sql;
}

QString adCCAM::sqlGetPhases(const QString& a_acte) {
    return "SELECT distinct Phase, Libelle_Phase FROM CCAM WHERE AMCODE = '" + Q(a_acte) + "'" +
           " AND Libelle_Phase <> NULL";
}

QString adCCAM::sqlGetActivites(const QString& a_acte, const QString& a_phase) {
    if (!a_phase.isEmpty() && a_phase != QLatin1String("0"))
        return QStringLiteral("SELECT distinct activite, Libelle_activite,Tarif FROM CCAM WHERE") +
               " AMCODE = '" + Q(a_acte) + "' AND Phase = '" + Q(a_phase) + "'";
    return "SELECT distinct activite, Libelle_activite,Tarif FROM CCAM WHERE AMCODE = '" +
           Q(a_acte) + "'";
}

QString adCCAM::sqlGetListSystemes() {
    return QStringLiteral("SELECT * FROM Systèmes");
}

QString adCCAM::sqlGetListOrganes(const QString& ORSYSTEME) {
    return "SELECT ORCODE, ORLIBELLE FROM ORGANES WHERE ORSYSTEME = '" + Q(ORSYSTEME) +
           "' ORDER BY ORCODE";
}

QString adCCAM::sqlGetListActes_ParOrgane(const QString& ORCODE) {
    return "SELECT distinct AMCODE,Libelle_Court,cstr(Libelle_Complet) as Libelle_Complet FROM "
           "CCAM WHERE Mid(AMCODE,1,2) = '" +
           Q(ORCODE) + "' ORDER BY CCAM.AMCODE";
}

QString adCCAM::sqlGetHierar(qint16 a_hier, const QString& a_par) {
    switch (a_hier) {
    case 1:
        return QStringLiteral("SELECT * from Hierarchie1 ORDER BY Code");
    case 2:
        return "SELECT * from Hierarchie2 where Mid(Code,1,2) = '" + Q(a_par) + "' ORDER BY Code";
    case 3:
        return "SELECT * from Hierarchie3 where Mid(Code,1,5) = '" + Q(a_par) + "' ORDER BY Code";
    case 4:
        return "SELECT * from Hierarchie4 where Mid(Code,1,8) = '" + Q(a_par) + "' ORDER BY Code";
    default:
        return {};
    }
}

QString adCCAM::sqlGetListActes_ParHierar(const QString& a_pos) {
    return "SELECT distinct AMCODE,Libelle_Court,cstr(Libelle_Complet) as Libelle_Complet from "
           "CCAM where PositionH = '" +
           Q(a_pos) + "' ORDER BY AMCODE";
}

QString adCCAM::sqlGetLibellePosition(const QString& a_pos) {
    QString debut;
    switch (a_pos.size()) {
    case 2:
        debut = QStringLiteral("SELECT Libelle from Hierarchie1 where Code = '");
        break;
    case 5:
        debut = QStringLiteral("SELECT Libelle from Hierarchie2 where Code = '");
        break;
    case 8:
        debut = QStringLiteral("SELECT Libelle from Hierarchie3 where Code = '");
        break;
    case 11:
        debut = QStringLiteral("SELECT Libelle from Hierarchie4 where Code = '");
        break;
    default:
        return {};
    }
    return debut + Q(a_pos) + "'";
}

QString adCCAM::sqlGetCodesProcedure(const QString& a_proc) {
    return QStringLiteral("SELECT distinct Acte2, AMCODE, cstr(Libelle_Complet) as "
                          "Libelle_Complet, Libelle_Court FROM Actes_Procedures") +
           " INNER JOIN CCAM ON Actes_Procedures.Acte2 = CCAM.AMCODE " + "WHERE Acte1 = '" +
           Q(a_proc) + "' ORDER BY CCAM.AMCODE";
}

QString adCCAM::sqlGetProceduresParActe(const QString& a_acte) {
    return QStringLiteral("SELECT distinct Acte1, AMCODE, cstr(Libelle_Complet) as "
                          "Libelle_Complet, Libelle_Court FROM Actes_Procedures") +
           " INNER JOIN CCAM ON Actes_Procedures.Acte1 = CCAM.AMCODE " + "WHERE Acte2 = '" +
           Q(a_acte) + "' ORDER BY CCAM.AMCODE";
}

QString adCCAM::sqlGetIncompatibilites(const QString& a_acte) {
    return QStringLiteral("SELECT DISTINCT AMCODE, cstr(Libelle_Complet) as Libelle_Complet, "
                          "Libelle_Court") +
           " FROM CCAM, Actes_Incompatibles Where CCAM.AMCODE = Actes_Incompatibles.acte1 and "
           "Actes_Incompatibles.acte2='" +
           Q(a_acte) + "'" +
           " UNION SELECT DISTINCT AMCODE, cstr(Libelle_Complet) as Libelle_Complet, "
           "Libelle_Court" +
           " FROM CCAM, Actes_Incompatibles Where CCAM.AMCODE = Actes_Incompatibles.acte2 and "
           "Actes_Incompatibles.acte1='" +
           Q(a_acte) + "' ORDER BY CCAM.AMCODE";
}

QString adCCAM::sqlCompterIncompatibilites(const QString& a_acte) {
    return QStringLiteral("SELECT count(*) AS N FROM (SELECT AMCODE FROM CCAM, "
                          "Actes_Incompatibles WHERE CCAM.AMCODE = Actes_Incompatibles.acte1 AND "
                          "Actes_Incompatibles.acte2 = '") +
           Q(a_acte) +
           "' UNION SELECT AMCODE FROM CCAM, Actes_Incompatibles WHERE CCAM.AMCODE = "
           "Actes_Incompatibles.acte2 AND Actes_Incompatibles.acte1 = '" +
           Q(a_acte) + "') AS Incompatibles";
}

QString adCCAM::sqlPremierIncompatibleParmi(const QString& a_acte, const QStringList& a_codes) {
    QStringList valeurs;
    for (const QString& code : a_codes)
        valeurs << QLatin1Char('\'') + Q(code) + QLatin1Char('\'');
    const QString liste = valeurs.join(QLatin1Char(','));
    return QStringLiteral("SELECT AMCODE FROM CCAM, Actes_Incompatibles WHERE CCAM.AMCODE = "
                          "Actes_Incompatibles.acte1 AND Actes_Incompatibles.acte2 = '") +
           Q(a_acte) + "' AND Actes_Incompatibles.acte1 IN (" + liste +
           ") UNION SELECT AMCODE FROM CCAM, Actes_Incompatibles WHERE CCAM.AMCODE = "
           "Actes_Incompatibles.acte2 AND Actes_Incompatibles.acte1 = '" +
           Q(a_acte) + "' AND Actes_Incompatibles.acte2 IN (" + liste + ") ORDER BY AMCODE";
}

QString adCCAM::sqlGetActesComplementaires(const QString& a_acte, const QString& a_activite) {
    return QStringLiteral("SELECT distinct Acte2, AMCODE, cstr(Libelle_Complet) as "
                          "Libelle_Complet, Libelle_Court, Activite2 FROM Actes_Associes") +
           " INNER JOIN CCAM ON Actes_Associes.Acte2 = CCAM.AMCODE" + " WHERE Acte1 = '" +
           Q(a_acte) + "' AND activite1 = '" + Q(a_activite) + "'" + " ORDER BY CCAM.AMCODE";
}

QString adCCAM::sqlGetListeModificateurs(const QString& a_acte, const QString& a_activite) {
    return QStringLiteral("SELECT Code, Libelle, Tarif, Pourcentage FROM Modificateurs") +
           " INNER JOIN Acte_Modificateur ON Acte_Modificateur.Modificateur = Modificateurs.Code" +
           " WHERE AMCODE = '" + Q(a_acte) + "' AND Activite = '" + Q(a_activite) + "'";
}

QString adCCAM::sqlGetListeNotesUtilisation(const QString& a_acte) {
    return QStringLiteral("SELECT Note_Utilisation FROM Notes_Utilisation_Actes") +
           " WHERE AMCODE = '" + Q(a_acte) + "'";
}

QString adCCAM::sqlGetNotesUtilisationHier(const QString& a_code) {
    return QStringLiteral("SELECT Note_Hierarchie FROM Notes_Hierarchie") + " WHERE Code = '" +
           Q(a_code) + "'";
}

QString adCCAM::sqlGetExtDoc(const QString& a_code, const QString& a_activite) {
    return QStringLiteral("SELECT distinct Code,Libelle FROM Extension_documentaire Inner join") +
           " Actes_extension_documentaire ON Actes_extension_documentaire.Id_extension = "
           "Extension_documentaire.Id_extension" +
           " WHERE AMCODE = '" + Q(a_code) + "' AND Activite = '" + Q(a_activite) + "'";
}

QString adCCAM::sqlGetExoneration(const QString& a_code, const QString& a_activite,
                                  const QString& a_phase) {
    return QStringLiteral("SELECT Exo_TM.Code, Exo_TM.Libelle FROM Exo_TM") +
           " INNER JOIN CCAM ON Exo_TM.Code = CCAM.Exo_TM" + " WHERE AMCODE = '" + Q(a_code) +
           "' AND activite = '" + Q(a_activite) + "'" + " AND phase = '" + Q(a_phase) + "'";
}

QString adCCAM::sqlGetRegroupement(const QString& a_code, const QString& a_activite,
                                   const QString& a_phase) {
    return QStringLiteral("SELECT Regroupement.Code, Regroupement.Libelle FROM Regroupement") +
           " INNER JOIN CCAM ON Regroupement.Code = CCAM.Regroupement" + " WHERE AMCODE = '" +
           Q(a_code) + "' AND activite = '" + Q(a_activite) + "'" + " AND phase = '" + Q(a_phase) +
           "'";
}

QStringList adCCAM::sqlSuppCatTheserus(long a_code) {
    return {"DELETE * From CategorieThesaurus WHERE CT_CODE = " + N(a_code),
            "DELETE * From Acte_Thesaurus WHERE AT_CAT = " + N(a_code)};
}

QString adCCAM::sqlSupprimerActesOrphelins() {
    return QStringLiteral("DELETE * From Acte_Thesaurus WHERE AT_CAT NOT IN "
                          "(SELECT CT_CODE FROM CategorieThesaurus)");
}

QString adCCAM::sqlSuppActeTheserus(long a_cat, const QString& a_code) {
    return "DELETE * From Acte_Thesaurus WHERE AT_CAT = " + N(a_cat) + " AND AT_Acte = '" +
           Q(a_code) + "'";
}

QString adCCAM::sqlInsererActeTheserus(long a_cat, const QString& a_code, const QString& a_act,
                                       const QString& a_lib) {
    return QStringLiteral("INSERT INTO Acte_Thesaurus(AT_Acte,AT_CAT,AT_ACTIVITE,AT_LIB) ") +
           "VALUES ('" + Q(a_code) + "'," + N(a_cat) + ",'" + Q(a_act) + "','" + Q(a_lib) + "')";
}

QString adCCAM::sqlInsererCategorie(const QString& a_Lien, const QString& a_lib, int a_type) {
    return QStringLiteral("INSERT INTO CategorieThesaurus(CT_TYPE,CT_LIB,CT_LIEN) ") + "VALUES (" +
           N(a_type) + ",'" + Q(a_lib) + "','" + Q(a_Lien) + "')";
}

QString adCCAM::sqlModifLibelleCategorie(long a_code, const QString& a_lib) {
    return "UPDATE CategorieThesaurus set CT_LIB = '" + Q(a_lib) + "'" +
           " WHERE CT_CODE = " + N(a_code);
}

QString adCCAM::sqlGetCategoriesThesaurus(const QString& a_Lien, int a_type) {
    return "SELECT * FROM CategorieThesaurus WHERE CT_LIEN = '" + Q(a_Lien) +
           "' AND CT_TYPE = " + N(a_type) + " ORDER BY CT_LIB";
}

QString adCCAM::sqlGetActesCatTheserus(long a_cat) {
    return QStringLiteral("SELECT distinct AMCODE, AT_ACTIVITE, cstr(Libelle_Complet)AS "
                          "Libelle_Complet FROM Acte_Thesaurus inner join CCAM ON "
                          "Acte_Thesaurus.AT_Acte = CCAM.AMCODE ") +
           "WHERE AT_CAT =" + N(a_cat) + " ORDER BY AMCODE";
}

QString adCCAM::sqlActeExisteDansCat(const QString& a_acte, long a_cat) {
    return "SELECT AT_Acte FROM Acte_Thesaurus WHERE AT_Acte = '" + Q(a_acte) + "'" +
           " AND AT_CAT = " + N(a_cat);
}

// ================================================================ nomenclature

RecordsetPtr adCCAM::getActe(const QString& a_code, const QString& a_activite,
                             const QString& a_phase) const {
    return depotLire(sqlGetActe(C(a_code), a_activite, a_phase));
}
RecordsetPtr adCCAM::getPhases(const QString& a_acte) const {
    return depotLire(sqlGetPhases(C(a_acte)));
}
RecordsetPtr adCCAM::getActivites(const QString& a_acte, const QString& a_phase) const {
    return depotLire(sqlGetActivites(C(a_acte), a_phase));
}
RecordsetPtr adCCAM::getListSystemes() const {
    return depotLire(sqlGetListSystemes());
}
RecordsetPtr adCCAM::getListOrganes(const QString& ORSYSTEME) const {
    return depotLire(sqlGetListOrganes(ORSYSTEME));
}
RecordsetPtr adCCAM::getListActes_ParOrgane(const QString& ORCODE) const {
    return depotLire(sqlGetListActes_ParOrgane(ORCODE));
}
RecordsetPtr adCCAM::getHierar(qint16 a_hier, const QString& a_par) const {
    return depotLire(sqlGetHierar(a_hier, a_par));
}
RecordsetPtr adCCAM::getListActes_ParHierar(const QString& a_pos) const {
    return depotLire(sqlGetListActes_ParHierar(a_pos));
}
QString adCCAM::getLibellePosition(const QString& a_pos) const {
    return lireLibelle(sqlGetLibellePosition(a_pos));
}
RecordsetPtr adCCAM::getCodesProcedure(const QString& a_proc) const {
    return depotLire(sqlGetCodesProcedure(C(a_proc)));
}
RecordsetPtr adCCAM::getProceduresParActe(const QString& a_acte) const {
    return depotLire(sqlGetProceduresParActe(C(a_acte)));
}
RecordsetPtr adCCAM::getIncompatibilites(const QString& a_acte) const {
    return depotLire(sqlGetIncompatibilites(C(a_acte)));
}
int adCCAM::compterIncompatibilites(const QString& a_acte) const {
    RecordsetPtr rs = depotLire(sqlCompterIncompatibilites(C(a_acte)));
    if (!rs || rs->RecordCount() == 0)
        return -1;
    rs->MoveFirst();
    return rs->Fields(0).toInt();
}
QString adCCAM::premierIncompatibleParmi(const QString& a_acte, const QStringList& a_codes) const {
    if (a_codes.isEmpty())
        return {};
    RecordsetPtr rs = depotLire(sqlPremierIncompatibleParmi(C(a_acte), a_codes));
    if (!rs || rs->RecordCount() == 0)
        return {};
    rs->MoveFirst();
    return rs->Fields(0).toString();
}
RecordsetPtr adCCAM::getActesComplementaires(const QString& a_acte,
                                             const QString& a_activite) const {
    return depotLire(sqlGetActesComplementaires(C(a_acte), a_activite));
}
RecordsetPtr adCCAM::getListeModificateurs(const QString& a_acte, const QString& a_activite) const {
    return depotLire(sqlGetListeModificateurs(C(a_acte), a_activite));
}
RecordsetPtr adCCAM::getListeNotesUtilisation(const QString& a_acte) const {
    return depotLire(sqlGetListeNotesUtilisation(C(a_acte)));
}
RecordsetPtr adCCAM::getNotesUtilisationHier(const QString& a_code) const {
    return depotLire(sqlGetNotesUtilisationHier(a_code));
}
RecordsetPtr adCCAM::getExtDoc(const QString& a_code, const QString& a_activite) const {
    return depotLire(sqlGetExtDoc(C(a_code), a_activite));
}
QString adCCAM::getExoneration(const QString& a_code, const QString& a_activite,
                               const QString& a_phase) const {
    return lireLibelle(sqlGetExoneration(C(a_code), a_activite, a_phase));
}
QString adCCAM::getRegroupement(const QString& a_code, const QString& a_activite,
                                const QString& a_phase) const {
    return lireLibelle(sqlGetRegroupement(C(a_code), a_activite, a_phase));
}

// ================================================================ thesaurus

void adCCAM::suppCatTheserus(long a_code) const {
    operationDepot<bool>(false, [&] {
        // Under the lock of its thesaurus: an addition to the category either
        // ends before, and its acts go with it, or sees it gone.
        ConnexionPtr c = Data().CreeConnexion();
        Transaction t(*c);
        if (verrouillerCategorie(*c, a_code))
            for (const QString& sql : sqlSuppCatTheserus(a_code))
                c->Execute(sql);
        t.valider();
        return true;
    });
}

QString adCCAM::cleVerrouThesaurus(int a_type, const QString& a_Lien) {
    return QStringLiteral("thesaurus:%1:%2").arg(a_type).arg(a_Lien);
}

bool adCCAM::verrouillerCategorie(Connexion& c, long a_cat) {
    const QString sql =
        "SELECT CT_TYPE, CT_LIEN FROM CategorieThesaurus WHERE CT_CODE = " + N(a_cat);
    RecordsetPtr rs = c.Ouvrir(sql);
    if (rs->isEOF())
        return false;
    c.verrouiller(cleVerrouThesaurus(int(rs->Fields(0).toLongLong()), valeurTexte(rs->Fields(1))));
    // Read again under the lock: a server shows a deletion committed while
    // this waited for it.
    return !c.Ouvrir(sql)->isEOF();
}

void adCCAM::suppActeTheserus(long a_cat, const QString& a_code, const QString&) const {
    depotEcrire({sqlSuppActeTheserus(a_cat, C(a_code))});
}

void adCCAM::insererActeTheserus(long a_cat, const QString& a_code, const QString& a_act,
                                 const QString& a_lib) const {
    depotEcrire({sqlInsererActeTheserus(a_cat, C(a_code), a_act, a_lib)});
}

void adCCAM::insererCategorie(const QString& a_Lien, const QString& a_lib, int a_type) const {
    depotEcrire({sqlInsererCategorie(a_Lien, a_lib, a_type)});
}

long adCCAM::insererCatAndGetCode(Connexion& c, const QString& a_Lien, const QString& a_lib,
                                  int a_type) {
    Transaction t(c);
    c.Execute(sqlInsererCategorie(a_Lien, a_lib, a_type));
    RecordsetPtr id = c.Ouvrir(QStringLiteral("SELECT @@IDENTITY AS ID"));
    const long code =
        id->isEOF() ? 0 : static_cast<long>(id->Fields(QStringLiteral("ID")).toLongLong());
    t.valider();
    return code;
}

long adCCAM::insererCatAndGetCode(const QString& a_Lien, const QString& a_lib, int a_type) const {
    return operationDepot<long>(0, [&] {
        ConnexionPtr c = Data().CreeConnexion();
        return insererCatAndGetCode(*c, a_Lien, a_lib, a_type);
    });
}

void adCCAM::modifLibelleCategorie(long a_code, const QString& a_lib) const {
    depotEcrire({sqlModifLibelleCategorie(a_code, a_lib)});
}

RecordsetPtr adCCAM::getCategoriesThesaurus(const QString& a_Lien, int a_type) const {
    return depotLire(sqlGetCategoriesThesaurus(a_Lien, a_type));
}

namespace {
// The SELECT and FROM of the stored acts with their label or retirement:
// tables is Acte_Thesaurus, or a parenthesised join holding it; colonnes
// go before the act's columns.
QString selectActesStockes(const QString& colonnes, const QString& tables,
                           bool retraitsEnregistres) {
    if (!retraitsEnregistres)
        return "SELECT DISTINCT " + colonnes +
               "Acte_Thesaurus.AT_Acte AS AMCODE, AT_ACTIVITE, coalesce(CCAM.Libelle_Complet, "
               "'') AS Libelle_Complet, CASE WHEN CCAM.AMCODE IS NULL THEN '' END AS Retrait "
               "FROM " +
               tables + " LEFT JOIN CCAM ON Acte_Thesaurus.AT_Acte = CCAM.AMCODE";
    return "SELECT DISTINCT " + colonnes +
           "Acte_Thesaurus.AT_Acte AS AMCODE, AT_ACTIVITE, coalesce(CCAM.Libelle_Complet, "
           "Actes_Retires.Libelle, '') AS Libelle_Complet, CASE WHEN CCAM.AMCODE IS NULL THEN "
           "coalesce(Actes_Retires.Version_Retrait, '') END AS Retrait FROM (" +
           tables +
           " LEFT JOIN CCAM ON Acte_Thesaurus.AT_Acte = CCAM.AMCODE) LEFT JOIN Actes_Retires ON "
           "Acte_Thesaurus.AT_Acte = Actes_Retires.AMCODE";
}

// 'A','B',… of the codes in capitals.
QString listeCodes(const QStringList& codes) {
    QString liste;
    for (const QString& code : codes) {
        if (!liste.isEmpty())
            liste += QLatin1Char(',');
        liste += QLatin1Char('\'') + Q(C(code)) + QLatin1Char('\'');
    }
    return liste;
}
} // namespace

QString adCCAM::sqlGetTousActesCategorie(long a_cat, bool retraitsEnregistres) {
    return selectActesStockes(QString(), QStringLiteral("Acte_Thesaurus"), retraitsEnregistres) +
           " WHERE AT_CAT = " + N(a_cat) + " ORDER BY AMCODE";
}

QString adCCAM::sqlGetTousActesThesaurus(const QString& a_Lien, int a_type,
                                         bool retraitsEnregistres) {
    return selectActesStockes(QStringLiteral("Acte_Thesaurus.AT_CAT, "),
                              QStringLiteral("(CategorieThesaurus INNER JOIN Acte_Thesaurus ON "
                                             "CategorieThesaurus.CT_CODE = Acte_Thesaurus.AT_CAT)"),
                              retraitsEnregistres) +
           " WHERE CT_LIEN = '" + Q(a_Lien) + "' AND CT_TYPE = " + N(a_type) +
           " ORDER BY AT_CAT, AMCODE";
}

QString adCCAM::sqlGetPhasesDesActes(const QStringList& a_actes) {
    // The order a reading act by act gets from the code index (activity,
    // then phase), whatever the plan.
    return "SELECT AMCODE, Phase, Libelle_Phase, min(Activite) AS Premiere FROM CCAM WHERE "
           "AMCODE IN (" +
           listeCodes(a_actes) +
           ") AND Libelle_Phase <> NULL GROUP BY AMCODE, Phase, Libelle_Phase ORDER BY AMCODE, "
           "Premiere, Phase, Libelle_Phase";
}

QString adCCAM::sqlGetActesComplementairesDesActes(const QStringList& a_actes,
                                                   const QString& a_activite) {
    return QStringLiteral("SELECT DISTINCT Acte1, Acte2, Activite2 FROM Actes_Associes WHERE "
                          "activite1 = '") +
           Q(a_activite) + "' AND Acte1 IN (" + listeCodes(a_actes) + ") ORDER BY Acte1, Acte2";
}

QString adCCAM::sqlGetLibellesDesActes(const QStringList& a_actes) {
    return "SELECT AMCODE, cstr(Libelle_Complet) AS Libelle_Complet, min(Activite) AS Premiere, "
           "min(Phase) AS PremierePhase FROM CCAM WHERE AMCODE IN (" +
           listeCodes(a_actes) +
           ") GROUP BY AMCODE, Libelle_Complet, Libelle_Court ORDER BY AMCODE, Premiere, "
           "PremierePhase, Libelle_Complet";
}

RecordsetPtr adCCAM::getTousActesCategorie(long a_cat, bool retraitsEnregistres) const {
    return depotLire(sqlGetTousActesCategorie(a_cat, retraitsEnregistres));
}

RecordsetPtr adCCAM::getTousActesThesaurus(const QString& a_Lien, int a_type,
                                           bool retraitsEnregistres) const {
    return depotLire(sqlGetTousActesThesaurus(a_Lien, a_type, retraitsEnregistres));
}

RecordsetPtr adCCAM::getPhasesDesActes(const QStringList& a_actes) const {
    if (a_actes.isEmpty())
        return std::make_shared<Recordset>();
    return depotLire(sqlGetPhasesDesActes(a_actes));
}

RecordsetPtr adCCAM::getActesComplementairesDesActes(const QStringList& a_actes,
                                                     const QString& a_activite) const {
    if (a_actes.isEmpty())
        return std::make_shared<Recordset>();
    return depotLire(sqlGetActesComplementairesDesActes(a_actes, a_activite));
}

RecordsetPtr adCCAM::getLibellesDesActes(const QStringList& a_actes) const {
    if (a_actes.isEmpty())
        return std::make_shared<Recordset>();
    return depotLire(sqlGetLibellesDesActes(a_actes));
}

RecordsetPtr adCCAM::getActesCatTheserus(long a_cat) const {
    return depotLire(sqlGetActesCatTheserus(a_cat));
}

bool adCCAM::ActeExisteDansCat(const QString& a_acte, long a_cat) const {
    return operationDepot<bool>(false, [&] {
        return !Data().CreeRecordset(sqlActeExisteDansCat(C(a_acte), a_cat))->isEOF();
    });
}
