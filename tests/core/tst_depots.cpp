// The two repositories: the exact SQL text of every operation, then every
// operation run on a real database holding a small fixture (rows, order,
// columns, NULLs, texts stored intact, identities, all-or-nothing writes,
// the "ERREUR" convention).

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "adCCAM.h"

#include <QtTest>

namespace {

const QDate kJour(2024, 3, 9);

QStringList noms(const RecordsetPtr& rs) {
    QStringList l;
    for (int i = 0; i < rs->FieldCount(); ++i)
        l << rs->FieldName(i);
    return l;
}

// A small classification: acts, activities, phases and every relation.
const char* kFixture = R"SQL(
INSERT INTO CCAM(AMCODE,Activite,Libelle_Activite,Phase,Libelle_Phase,Tarif,ICR,Libelle_Court,
                 Libelle_Complet,Libelle_sans_accent,Libelle_simplifie,PositionH,
                 Caractere_classant,Exo_TM,Regroupement) VALUES
 ('HBED001','1','Chirurgien','0',NULL,100.5,50,'Court A','Réparation de l''émail','reparation de l email','REPARATION EMAIL','01020304','Y ','2','ADC'),
 ('HBED001','4','Anesthésie','0',NULL,40,10,'Court A','Réparation de l''émail','reparation de l email','REPARATION EMAIL','01020304','Y','2','ADC'),
 ('HBED001','1','Chirurgien','1','Première phase',60,30,'Court A','Réparation de l''émail','reparation de l email','REPARATION EMAIL','01020304','Y',NULL,NULL),
 ('HBED001','1','Chirurgien','2','Deuxième phase',70,30,'Court A','Réparation de l''émail','reparation de l email','REPARATION EMAIL','01020304','Y',NULL,NULL),
 ('HBFA002','1','Chirurgien','0',NULL,20,5,'Court B','Biopsie','biopsie','BIOPSIE','01020304','N',NULL,NULL),
 ('ZZLP003','1','Chirurgien','0',NULL,30,5,'Court C','Anesthésie générale','anesthesie generale','ANESTHESIE','010203','N',NULL,NULL),
 ('AAQP004','1','Chirurgien','0',NULL,5,1,'Court D',NULL,NULL,NULL,'010203','N',NULL,NULL),
 ('HBMA005','1','Chirurgien','0',NULL,80,10,'Court E','Procédure composée','procedure composee','PROCEDURE','01020304','N',NULL,NULL);
INSERT INTO "Systèmes" VALUES ('02','Système digestif'),('01','Système nerveux');
INSERT INTO ORGANES VALUES ('HB','Dents','02'),('HA','Bouche','02'),('AA','Encéphale','01');
INSERT INTO Hierarchie1 VALUES ('02','Chapitre deux'),('01','Chapitre un');
INSERT INTO Hierarchie2 VALUES ('01.02','Sous-chapitre'),('02.01','Autre');
INSERT INTO Hierarchie3 VALUES ('01.02.03','Paragraphe');
INSERT INTO Hierarchie4 VALUES ('01.02.03.04','Sous-paragraphe'),('01.02.03.01','Premier');
INSERT INTO Actes_Procedures VALUES ('HBMA005','HBED001'),('HBMA005','HBFA002');
INSERT INTO Actes_Incompatibles VALUES ('HBED001','HBFA002'),('HBFA002','HBED001'),('ZZLP003','HBED001');
INSERT INTO Actes_Associes VALUES ('HBED001','1','ZZLP003','4'),('HBED001','1','HBFA002','1'),('HBED001','4','AAQP004','1');
INSERT INTO Modificateurs VALUES ('F','Urgence de nuit',40,NULL),('J','Acte en urgence',NULL,0.2),('Z','Non lié',1,NULL);
INSERT INTO Acte_Modificateur VALUES ('HBED001','1','J'),('HBED001','1','F'),('HBED001','4','F');
INSERT INTO Notes_Utilisation_Actes VALUES ('HBED001','Note un¶suite'),('HBED001','Note deux');
INSERT INTO Notes_Hierarchie VALUES ('01.02','Note de chapitre');
INSERT INTO Extension_documentaire VALUES (1,'A','Extension A'),(2,'B','Extension B');
INSERT INTO Actes_extension_documentaire VALUES (1,'HBED001','1'),(2,'HBED001','1'),(2,'HBED001','4');
INSERT INTO Exo_TM VALUES ('2','Exonération deux');
INSERT INTO Regroupement VALUES ('ADC','Actes de chirurgie');
)SQL";

} // namespace

class TestDepots : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // ---- SQL texts
    void sqlAccesDonnees_data();
    void sqlAccesDonnees();
    void sqlAdCCAM_data();
    void sqlAdCCAM();

    // ---- users, doctors, units
    void unites();
    void nouveauUtilisateur();
    void enregistrerUtilisateur();
    void supprimerUtilisateur();
    void getActeAccesDonnees();
    void executSQL();

    // ---- classification
    void nomenclatureActe();
    void nomenclatureArborescence();
    void nomenclatureRelations();
    void nomenclatureTextes();

    // ---- thesaurus
    void thesaurus();
    void identiteSurLaMemeConnexion();
    void importDansUneTransaction();
    void echecAuMilieuDUneCopie_data();
    void echecAuMilieuDUneCopie();
    void codesEnMajuscules();

    // ---- texts kept intact, failures
    void texteIntact_data();
    void texteIntact();
    void ecrituresToutOuRien();
    void baseAbsente();
    void nulDansUnTexte();

private:
    std::unique_ptr<MessagesScriptes> m_messages;
    std::unique_ptr<BaseDeTest> m_base;
};

void TestDepots::init() {
    m_messages = std::make_unique<MessagesScriptes>();
    m_base = std::make_unique<BaseDeTest>();
    m_base->executer(QString::fromUtf8(kFixture));
}

void TestDepots::cleanup() {
    m_base.reset();
    m_messages.reset();
}

// ------------------------------------------------------------------ SQL texts

void TestDepots::sqlAccesDonnees_data() {
    QTest::addColumn<QString>("construit");
    QTest::addColumn<QString>("attendu");
    const QString a = QStringLiteral("A'1"); // every text value is quote-doubled
    QTest::newRow("getLibelleUniteMedicale")
        << AccesDonnees::sqlGetLibelleUniteMedicale(a)
        << "select UM_LIB from UniteMedicale WHERE UM_Code='A''1'";
    QTest::newRow("getListeMedecins") << AccesDonnees::sqlGetListeMedecins(a)
                                      << "select MED_CODE, MED_LIB FROM Medecin WHERE MED_UM = "
                                         "'A''1'";
    QTest::newRow("getMedecin") << AccesDonnees::sqlGetMedecin(42)
                                << "select * from Medecin WHERE MED_CODEUTI = 42";
    QTest::newRow("getMedecinParCode")
        << AccesDonnees::sqlGetMedecinParCode(a) << "select * from Medecin WHERE MED_CODE = 'A''1'";
    QTest::newRow("getUM") << AccesDonnees::sqlGetUM(a)
                           << "select * from UniteMedicale WHERE UM_Code = 'A''1'";
    QTest::newRow("getListeUM") << AccesDonnees::sqlGetListeUM()
                                << "select * from UniteMedicale ORDER BY UM_Code";
    QTest::newRow("getUtilisateurLogin")
        << AccesDonnees::sqlGetUtilisateurLogin(a)
        << "SELECT * FROM Utilisateur where Utilisateur.UTI_LOGIN= 'A''1'";
    QTest::newRow("getUtilisateur")
        << AccesDonnees::sqlGetUtilisateur(7)
        << "SELECT Utilisateur.*, Medecin.* FROM Medecin RIGHT JOIN Utilisateur ON "
           "Medecin.MED_CODEUTI = Utilisateur.UTI_CODE WHERE Utilisateur.UTI_CODE= 7";
    QTest::newRow("getListeUtilisateurs")
        << AccesDonnees::sqlGetListeUtilisateurs()
        << "SELECT Utilisateur.*, Medecin.* FROM Medecin RIGHT JOIN Utilisateur ON "
           "Medecin.MED_CODEUTI = Utilisateur.UTI_CODE ORDER BY Utilisateur.UTI_LOGIN";
    QTest::newRow("getActe sans activité")
        << AccesDonnees::sqlGetActe(QStringLiteral("HBED001"), QString())
        << "SELECT * FROM CCAM where AMCODE = 'HBED001' AND Libelle_Complet <> null";
    QTest::newRow("getActe avec activité")
        << AccesDonnees::sqlGetActe(a, QStringLiteral("1'"))
        << "SELECT * FROM CCAM where AMCODE = 'A''1' AND Activite = '1''' AND Libelle_Complet "
           "<> null";
    QTest::newRow("insererUM") << AccesDonnees::sqlInsererUM(a, QStringLiteral("L'unité"))
                               << "INSERT INTO UniteMedicale(UM_Code,UM_LIB) VALUES "
                                  "('A''1','L''unité')";
    QTest::newRow("modifierUM") << AccesDonnees::sqlModifierUM(a, QStringLiteral("L'unité"))
                                << "UPDATE UniteMedicale set UM_LIB = 'L''unité' WHERE UM_Code = "
                                   "'A''1'";
    QTest::newRow("supprimerUM") << AccesDonnees::sqlSupprimerUM(a)
                                 << "DELETE UniteMedicale.* From UniteMedicale WHERE UM_Code = "
                                    "'A''1'";
    QTest::newRow("nouveauUtilisateur avec e-mail")
        << AccesDonnees::sqlInsererUtilisateur(QStringLiteral("O'NEIL"), QStringLiteral("p'w"),
                                               QStringLiteral("DIM"), QStringLiteral("a'b@c.fr"),
                                               kJour)
        << "INSERT INTO Utilisateur(UTI_LOGIN, UTI_PWD, UTI_GROUP, UTI_CREATE, UTI_EMAIL) VALUES "
           "('O''NEIL','p''w','DIM',#03/09/2024#,'a''b@c.fr')";
    QTest::newRow("nouveauUtilisateur sans e-mail")
        << AccesDonnees::sqlInsererUtilisateur(QStringLiteral("X"), QStringLiteral("Y"),
                                               QStringLiteral("ADMIN"), QString(), kJour)
        << "INSERT INTO Utilisateur(UTI_LOGIN, UTI_PWD, UTI_GROUP, UTI_CREATE, UTI_EMAIL) VALUES "
           "('X','Y','ADMIN',#03/09/2024#,null)";
    QTest::newRow("insertion du médecin")
        << AccesDonnees::sqlInsererMedecin(QStringLiteral("D'1"), QStringLiteral("D'Artagnan"), a,
                                           QStringLiteral("4"), 12)
        << "INSERT INTO Medecin(MED_CODE, MED_LIB, MED_UM, MED_ACT, MED_CODEUTI)  VALUES "
           "('D''1','D''Artagnan','A''1','4',12)";
    QTest::newRow("enregistrerUtilisateur avec e-mail")
        << AccesDonnees::sqlModifierUtilisateur(5, QStringLiteral("O'NEIL"), QStringLiteral("p"),
                                                QStringLiteral("MEDECIN"), QStringLiteral("e'm"),
                                                kJour)
        << "UPDATE Utilisateur SET UTI_LOGIN = 'O''NEIL', UTI_PWD = 'p', UTI_GROUP = 'MEDECIN', "
           "UTI_UPDATE = #03/09/2024#, UTI_EMAIL = 'e''m' where UTI_CODE=5";
    QTest::newRow("enregistrerUtilisateur sans e-mail")
        << AccesDonnees::sqlModifierUtilisateur(5, QStringLiteral("L"), QStringLiteral("p"),
                                                QStringLiteral("DIM"), QString(), kJour)
        << "UPDATE Utilisateur SET UTI_LOGIN = 'L', UTI_PWD = 'p', UTI_GROUP = 'DIM', "
           "UTI_UPDATE = #03/09/2024#, UTI_EMAIL = Null where UTI_CODE=5";
    QTest::newRow("médecin gagné")
        << AccesDonnees::sqlMedecinEnregistre(5, QString(), QStringLiteral("D'2"),
                                              QStringLiteral("Nom"), QStringLiteral("U1"),
                                              QStringLiteral("1"))
        << "INSERT INTO Medecin(MED_CODE, MED_LIB, MED_UM, MED_ACT, MED_CODEUTI)  VALUES "
           "('D''2','Nom','U1','1',5)";
    QTest::newRow("ni avant ni après")
        << AccesDonnees::sqlMedecinEnregistre(5, QString(), QString(), QStringLiteral("Nom"),
                                              QStringLiteral("U1"), QStringLiteral("1"))
        << QString();
    QTest::newRow("médecin modifié")
        << AccesDonnees::sqlMedecinEnregistre(5, QStringLiteral("D'1"), QStringLiteral("D'2"),
                                              QStringLiteral("L'Hôte"), a, QStringLiteral("4"))
        << "UPDATE Medecin SET MED_CODE = 'D''2', MED_LIB = 'L''Hôte',MED_UM = 'A''1', MED_ACT = "
           "'4' WHERE MED_CODE= 'D''1' AND MED_CODEUTI = 5";
    QTest::newRow("médecin perdu")
        << AccesDonnees::sqlMedecinEnregistre(5, QStringLiteral("D'1"), QString(),
                                              QStringLiteral("Nom"), QStringLiteral("U1"),
                                              QStringLiteral("1"))
        << "DELETE * From Medecin WHERE MED_CODE = 'D''1'";
    const QStringList supp = AccesDonnees::sqlSupprimerUtilisateur(9);
    QTest::newRow("supprimerUtilisateur 1")
        << supp.value(0) << "DELETE Utilisateur.* From Utilisateur WHERE UTI_CODE = 9";
    QTest::newRow("supprimerUtilisateur 2")
        << supp.value(1) << "DELETE Medecin.* From Medecin WHERE MED_CODEUTI = 9";
    QTest::newRow("supprimerUtilisateur 2 instructions") << QString::number(supp.size()) << "2";
    QTest::newRow("date Jet") << AccesDonnees::dateJet(QDate(2025, 12, 1)) << "#12/01/2025#";
}

void TestDepots::sqlAccesDonnees() {
    QFETCH(QString, construit);
    QFETCH(QString, attendu);
    QCOMPARE(construit, attendu);
}

void TestDepots::sqlAdCCAM_data() {
    QTest::addColumn<QString>("construit");
    QTest::addColumn<QString>("attendu");
    const QString a = QStringLiteral("HB'1");
    const QString v = QStringLiteral("1'");
    QTest::newRow("getActe sans phase")
        << adCCAM::sqlGetActe(a, v, QString())
        << "SELECT * FROM CCAM WHERE AMCODE = 'HB''1' AND Activite = '1'''";
    QTest::newRow("getActe avec phase")
        << adCCAM::sqlGetActe(QStringLiteral("HBED001"), QStringLiteral("1"), QStringLiteral("0"))
        << "SELECT * FROM CCAM WHERE AMCODE = 'HBED001' AND Activite = '1' AND Phase= '0'";
    QTest::newRow("getPhases") << adCCAM::sqlGetPhases(a)
                               << "SELECT distinct Phase, Libelle_Phase FROM CCAM WHERE AMCODE = "
                                  "'HB''1' AND Libelle_Phase <> NULL";
    QTest::newRow("getActivites avec phase")
        << adCCAM::sqlGetActivites(a, QStringLiteral("2"))
        << "SELECT distinct activite, Libelle_activite,Tarif FROM CCAM WHERE AMCODE = 'HB''1' "
           "AND Phase = '2'";
    const QString sansPhase = QStringLiteral(
        "SELECT distinct activite, Libelle_activite,Tarif FROM CCAM WHERE AMCODE = 'HB''1'");
    QTest::newRow("getActivites sans phase") << adCCAM::sqlGetActivites(a, QString()) << sansPhase;
    QTest::newRow("getActivites phase 0")
        << adCCAM::sqlGetActivites(a, QStringLiteral("0")) << sansPhase;
    QTest::newRow("getListSystemes") << adCCAM::sqlGetListSystemes() << "SELECT * FROM Systèmes";
    QTest::newRow("getListOrganes")
        << adCCAM::sqlGetListOrganes(QStringLiteral("0'2"))
        << "SELECT ORCODE, ORLIBELLE FROM ORGANES WHERE ORSYSTEME = '0''2' ORDER BY ORCODE";
    QTest::newRow("getListActes_ParOrgane")
        << adCCAM::sqlGetListActes_ParOrgane(QStringLiteral("HB"))
        << "SELECT distinct AMCODE,Libelle_Court,cstr(Libelle_Complet) as Libelle_Complet FROM "
           "CCAM WHERE Mid(AMCODE,1,2) = 'HB' ORDER BY CCAM.AMCODE";
    QTest::newRow("getHierar 1") << adCCAM::sqlGetHierar(1, QStringLiteral("xx"))
                                 << "SELECT * from Hierarchie1 ORDER BY Code";
    QTest::newRow("getHierar 2")
        << adCCAM::sqlGetHierar(2, QStringLiteral("01"))
        << "SELECT * from Hierarchie2 where Mid(Code,1,2) = '01' ORDER BY Code";
    QTest::newRow("getHierar 3")
        << adCCAM::sqlGetHierar(3, QStringLiteral("01.02"))
        << "SELECT * from Hierarchie3 where Mid(Code,1,5) = '01.02' ORDER BY Code";
    QTest::newRow("getHierar 4")
        << adCCAM::sqlGetHierar(4, QStringLiteral("01.02.03"))
        << "SELECT * from Hierarchie4 where Mid(Code,1,8) = '01.02.03' ORDER BY Code";
    QTest::newRow("getListActes_ParHierar")
        << adCCAM::sqlGetListActes_ParHierar(QStringLiteral("01020304"))
        << "SELECT distinct AMCODE,Libelle_Court,cstr(Libelle_Complet) as Libelle_Complet from "
           "CCAM where PositionH = '01020304' ORDER BY AMCODE";
    QTest::newRow("getLibellePosition 2") << adCCAM::sqlGetLibellePosition(QStringLiteral("01"))
                                          << "SELECT Libelle from Hierarchie1 where Code = '01'";
    QTest::newRow("getLibellePosition 5") << adCCAM::sqlGetLibellePosition(QStringLiteral("01.02"))
                                          << "SELECT Libelle from Hierarchie2 where Code = '01.02'";
    QTest::newRow("getLibellePosition 8")
        << adCCAM::sqlGetLibellePosition(QStringLiteral("01.02.03"))
        << "SELECT Libelle from Hierarchie3 where Code = '01.02.03'";
    QTest::newRow("getLibellePosition 11")
        << adCCAM::sqlGetLibellePosition(QStringLiteral("01.02.03.04"))
        << "SELECT Libelle from Hierarchie4 where Code = '01.02.03.04'";
    for (const char* pos : {"", "1", "012", "01.0", "01.02.", "01.02.0", "01.02.03.", "01.02.03.0",
                            "01.02.03.04.", "01.02.03.04.05"})
        QTest::newRow(qPrintable(
            QStringLiteral("getLibellePosition longueur %1").arg(QString::fromLatin1(pos).size())))
            << adCCAM::sqlGetLibellePosition(QString::fromLatin1(pos)) << QString();
    QTest::newRow("getCodesProcedure")
        << adCCAM::sqlGetCodesProcedure(a)
        << "SELECT distinct Acte2, AMCODE, cstr(Libelle_Complet) as Libelle_Complet, "
           "Libelle_Court FROM Actes_Procedures INNER JOIN CCAM ON Actes_Procedures.Acte2 = "
           "CCAM.AMCODE WHERE Acte1 = 'HB''1' ORDER BY CCAM.AMCODE";
    QTest::newRow("getProceduresParActe")
        << adCCAM::sqlGetProceduresParActe(a)
        << "SELECT distinct Acte1, AMCODE, cstr(Libelle_Complet) as Libelle_Complet, "
           "Libelle_Court FROM Actes_Procedures INNER JOIN CCAM ON Actes_Procedures.Acte1 = "
           "CCAM.AMCODE WHERE Acte2 = 'HB''1' ORDER BY CCAM.AMCODE";
    QTest::newRow("getIncompatibilites")
        << adCCAM::sqlGetIncompatibilites(a)
        << "SELECT DISTINCT AMCODE, cstr(Libelle_Complet) as Libelle_Complet, Libelle_Court FROM "
           "CCAM, Actes_Incompatibles Where CCAM.AMCODE = Actes_Incompatibles.acte1 and "
           "Actes_Incompatibles.acte2='HB''1' UNION SELECT DISTINCT AMCODE, cstr(Libelle_Complet) "
           "as Libelle_Complet, Libelle_Court FROM CCAM, Actes_Incompatibles Where CCAM.AMCODE = "
           "Actes_Incompatibles.acte2 and Actes_Incompatibles.acte1='HB''1' ORDER BY CCAM.AMCODE";
    QTest::newRow("getActesComplementaires")
        << adCCAM::sqlGetActesComplementaires(a, v)
        << "SELECT distinct Acte2, AMCODE, cstr(Libelle_Complet) as Libelle_Complet, "
           "Libelle_Court, Activite2 FROM Actes_Associes INNER JOIN CCAM ON Actes_Associes.Acte2 = "
           "CCAM.AMCODE WHERE Acte1 = 'HB''1' AND activite1 = '1''' ORDER BY CCAM.AMCODE";
    QTest::newRow("getListeModificateurs")
        << adCCAM::sqlGetListeModificateurs(a, v)
        << "SELECT Code, Libelle, Tarif, Pourcentage FROM Modificateurs INNER JOIN "
           "Acte_Modificateur ON Acte_Modificateur.Modificateur = Modificateurs.Code WHERE AMCODE "
           "= 'HB''1' AND Activite = '1'''";
    QTest::newRow("getListeNotesUtilisation")
        << adCCAM::sqlGetListeNotesUtilisation(a)
        << "SELECT Note_Utilisation FROM Notes_Utilisation_Actes WHERE AMCODE = 'HB''1'";
    QTest::newRow("getNotesUtilisationHier")
        << adCCAM::sqlGetNotesUtilisationHier(QStringLiteral("01.02"))
        << "SELECT Note_Hierarchie FROM Notes_Hierarchie WHERE Code = '01.02'";
    QTest::newRow("getExtDoc")
        << adCCAM::sqlGetExtDoc(a, v)
        << "SELECT distinct Code,Libelle FROM Extension_documentaire Inner join "
           "Actes_extension_documentaire ON Actes_extension_documentaire.Id_extension = "
           "Extension_documentaire.Id_extension WHERE AMCODE = 'HB''1' AND Activite = '1'''";
    QTest::newRow("getExoneration")
        << adCCAM::sqlGetExoneration(a, v, QStringLiteral("0"))
        << "SELECT Exo_TM.Code, Exo_TM.Libelle FROM Exo_TM INNER JOIN CCAM ON Exo_TM.Code = "
           "CCAM.Exo_TM WHERE AMCODE = 'HB''1' AND activite = '1''' AND phase = '0'";
    QTest::newRow("getRegroupement")
        << adCCAM::sqlGetRegroupement(a, v, QStringLiteral("0"))
        << "SELECT Regroupement.Code, Regroupement.Libelle FROM Regroupement INNER JOIN CCAM ON "
           "Regroupement.Code = CCAM.Regroupement WHERE AMCODE = 'HB''1' AND activite = '1''' AND "
           "phase = '0'";
    const QStringList supp = adCCAM::sqlSuppCatTheserus(17);
    QTest::newRow("suppCatTheserus") << supp.join(QLatin1Char('|'))
                                     << "DELETE * From CategorieThesaurus WHERE CT_CODE = 17|"
                                        "DELETE * From Acte_Thesaurus WHERE AT_CAT = 17";
    QTest::newRow("suppActeTheserus")
        << adCCAM::sqlSuppActeTheserus(17, a)
        << "DELETE * From Acte_Thesaurus WHERE AT_CAT = 17 AND AT_Acte = 'HB''1'";
    QTest::newRow("insererActeTheserus")
        << adCCAM::sqlInsererActeTheserus(17, a, v, QStringLiteral("L'acte"))
        << "INSERT INTO Acte_Thesaurus(AT_Acte,AT_CAT,AT_ACTIVITE,AT_LIB) VALUES "
           "('HB''1',17,'1''','L''acte')";
    QTest::newRow("insererCategorie")
        << adCCAM::sqlInsererCategorie(QStringLiteral("U'M"), QStringLiteral("L'os"), 1)
        << "INSERT INTO CategorieThesaurus(CT_TYPE,CT_LIB,CT_LIEN) VALUES (1,'L''os','U''M')";
    QTest::newRow("modifLibelleCategorie")
        << adCCAM::sqlModifLibelleCategorie(17, QStringLiteral("L'os"))
        << "UPDATE CategorieThesaurus set CT_LIB = 'L''os' WHERE CT_CODE = 17";
    QTest::newRow("getCategoriesThesaurus")
        << adCCAM::sqlGetCategoriesThesaurus(QStringLiteral("D'1"), 2)
        << "SELECT * FROM CategorieThesaurus WHERE CT_LIEN = 'D''1' AND CT_TYPE = 2 ORDER BY "
           "CT_LIB";
    QTest::newRow("getActesCatTheserus")
        << adCCAM::sqlGetActesCatTheserus(17)
        << "SELECT distinct AMCODE, AT_ACTIVITE, cstr(Libelle_Complet)AS Libelle_Complet FROM "
           "Acte_Thesaurus inner join CCAM ON Acte_Thesaurus.AT_Acte = CCAM.AMCODE WHERE AT_CAT "
           "=17 ORDER BY AMCODE";
    QTest::newRow("ActeExisteDansCat")
        << adCCAM::sqlActeExisteDansCat(a, 17)
        << "SELECT AT_Acte FROM Acte_Thesaurus WHERE AT_Acte = 'HB''1' AND AT_CAT = 17";
}

void TestDepots::sqlAdCCAM() {
    QFETCH(QString, construit);
    QFETCH(QString, attendu);
    QCOMPARE(construit, attendu);
}

// ------------------------------------------------------------------ users, doctors, units

void TestDepots::unites() {
    accesDonnees.insererUM(QStringLiteral("U2"), QStringLiteral("Unité deux"));
    accesDonnees.insererUM(QStringLiteral("U1"), QStringLiteral("L'unité un"));
    accesDonnees.insererUM(QStringLiteral("U3"), QStringLiteral("Trois"));
    QCOMPARE(colonne(accesDonnees.getListeUM(), QStringLiteral("UM_Code")),
             QStringList({"U1", "U2", "U3"}));
    QCOMPARE(noms(accesDonnees.getListeUM()), QStringList({"UM_Code", "UM_LIB"}));
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("U1")),
             QStringLiteral("L'unité un"));
    accesDonnees.modifierUM(QStringLiteral("U1"), QStringLiteral("Nouveau « nom »"));
    QCOMPARE(colonne(accesDonnees.getUM(QStringLiteral("U1")), QStringLiteral("UM_LIB")),
             QStringList({"Nouveau « nom »"}));
    accesDonnees.supprimerUM(QStringLiteral("U2"));
    QCOMPARE(colonne(accesDonnees.getListeUM(), QStringLiteral("UM_Code")),
             QStringList({"U1", "U3"}));
    // No unit, or a NULL label: empty text, no message.
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("U9")), QString());
    m_base->executer(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U4', NULL)"));
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("U4")), QString());
    QVERIFY(accesDonnees.getUM(QStringLiteral("U9"))->isEOF());
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::nouveauUtilisateur() {
    accesDonnees.nouveauUtilisateur(QStringLiteral("ZOE"), QStringLiteral("pw"),
                                    QStringLiteral("ADMIN"), QString());
    accesDonnees.nouveauUtilisateur(QStringLiteral("ALAIN"), QStringLiteral("p'w"),
                                    QStringLiteral("MEDECIN"), QStringLiteral("a@h.fr"),
                                    QStringLiteral("D1"), QStringLiteral("Dr L'Hôte"),
                                    QStringLiteral("U1"), QStringLiteral("4"));
    QVERIFY(m_messages->journal().empty());

    RecordsetPtr zoe = accesDonnees.getUtilisateurLogin(QStringLiteral("ZOE"));
    QCOMPARE(zoe->RecordCount(), 1);
    QVERIFY(zoe->Fields(QStringLiteral("UTI_EMAIL")).isNull());
    QCOMPARE(zoe->Fields(QStringLiteral("UTI_CREATE")).toDate(), QDate::currentDate());
    QVERIFY(zoe->Fields(QStringLiteral("UTI_UPDATE")).isNull());
    QCOMPARE(zoe->Fields(QStringLiteral("UTI_GROUP")).toString(), QStringLiteral("ADMIN"));
    const long codeZoe = static_cast<long>(zoe->Fields(QStringLiteral("UTI_CODE")).toLongLong());
    QVERIFY(accesDonnees.getMedecin(codeZoe)->isEOF()); // no doctor row written

    RecordsetPtr alain = accesDonnees.getUtilisateurLogin(QStringLiteral("ALAIN"));
    const long codeAlain =
        static_cast<long>(alain->Fields(QStringLiteral("UTI_CODE")).toLongLong());
    QVERIFY(codeAlain > codeZoe);
    QCOMPARE(alain->Fields(QStringLiteral("UTI_PWD")).toString(), QStringLiteral("p'w"));
    QCOMPARE(alain->Fields(QStringLiteral("UTI_EMAIL")).toString(), QStringLiteral("a@h.fr"));
    RecordsetPtr med = accesDonnees.getMedecin(codeAlain);
    QCOMPARE(med->RecordCount(), 1);
    QCOMPARE(med->Fields(QStringLiteral("MED_CODE")).toString(), QStringLiteral("D1"));
    QCOMPARE(med->Fields(QStringLiteral("MED_LIB")).toString(), QStringLiteral("Dr L'Hôte"));
    QCOMPARE(med->Fields(QStringLiteral("MED_UM")).toString(), QStringLiteral("U1"));
    QCOMPARE(med->Fields(QStringLiteral("MED_ACT")).toString(), QStringLiteral("4"));
    QVERIFY(med->Fields(QStringLiteral("MED_CODEN")).isNull());
    QCOMPARE(colonne(accesDonnees.getMedecinParCode(QStringLiteral("D1")),
                     QStringLiteral("MED_CODEUTI")),
             QStringList({QString::number(codeAlain)}));
    QCOMPARE(
        colonne(accesDonnees.getListeMedecins(QStringLiteral("U1")), QStringLiteral("MED_LIB")),
        QStringList({"Dr L'Hôte"}));
    QCOMPARE(noms(accesDonnees.getListeMedecins(QStringLiteral("U1"))),
             QStringList({"MED_CODE", "MED_LIB"}));

    // The user with his doctor columns (NULL when he has none), ordered by login.
    RecordsetPtr liste = accesDonnees.getListeUtilisateurs();
    QCOMPARE(colonne(liste, QStringLiteral("UTI_LOGIN")), QStringList({"ALAIN", "ZOE"}));
    QCOMPARE(colonne(liste, QStringLiteral("MED_CODE")), QStringList({"D1", "<NULL>"}));
    QCOMPARE(liste->FieldCount(), 7 + 6);
    RecordsetPtr u = accesDonnees.getUtilisateur(codeZoe);
    QCOMPARE(u->RecordCount(), 1);
    QVERIFY(u->Fields(QStringLiteral("MED_LIB")).isNull());
    QCOMPARE(colonne(accesDonnees.getUtilisateur(codeAlain), QStringLiteral("MED_LIB")),
             QStringList({"Dr L'Hôte"}));
    QVERIFY(accesDonnees.getUtilisateurLogin(QStringLiteral("zoe"))->isEOF());
}

void TestDepots::enregistrerUtilisateur() {
    accesDonnees.nouveauUtilisateur(QStringLiteral("MARC"), QStringLiteral("pw"),
                                    QStringLiteral("DIM"), QStringLiteral("m@h.fr"));
    const long code = static_cast<long>(accesDonnees.getUtilisateurLogin(QStringLiteral("MARC"))
                                            ->Fields(QStringLiteral("UTI_CODE"))
                                            .toLongLong());
    // Gains a doctor code (with an apostrophe): the doctor row is created.
    accesDonnees.enregistrerUtilisateur(code, QStringLiteral("MARC"), QStringLiteral("pw2"),
                                        QStringLiteral("MEDECIN"), QString(), QString(),
                                        QStringLiteral("D'1"), QStringLiteral("Dr Marc"),
                                        QStringLiteral("U1"), QStringLiteral("1"));
    RecordsetPtr u = accesDonnees.getUtilisateur(code);
    QCOMPARE(u->Fields(QStringLiteral("UTI_PWD")).toString(), QStringLiteral("pw2"));
    QVERIFY(u->Fields(QStringLiteral("UTI_EMAIL")).isNull());
    QCOMPARE(u->Fields(QStringLiteral("UTI_UPDATE")).toDate(), QDate::currentDate());
    QCOMPARE(u->Fields(QStringLiteral("MED_CODE")).toString(), QStringLiteral("D'1"));

    // Changes every doctor field, the code included: updated in place.
    accesDonnees.enregistrerUtilisateur(
        code, QStringLiteral("MARC"), QStringLiteral("pw2"), QStringLiteral("MEDECIN"),
        QStringLiteral("x@y"), QStringLiteral("D'1"), QStringLiteral("D'2"),
        QStringLiteral("Dr O'Marc"), QStringLiteral("U2"), QStringLiteral("4"));
    RecordsetPtr m = accesDonnees.getMedecin(code);
    QCOMPARE(m->RecordCount(), 1);
    QCOMPARE(m->Fields(QStringLiteral("MED_CODE")).toString(), QStringLiteral("D'2"));
    QCOMPARE(m->Fields(QStringLiteral("MED_LIB")).toString(), QStringLiteral("Dr O'Marc"));
    QCOMPARE(m->Fields(QStringLiteral("MED_UM")).toString(), QStringLiteral("U2"));
    QCOMPARE(m->Fields(QStringLiteral("MED_ACT")).toString(), QStringLiteral("4"));

    // Loses the doctor code: the row found by the old code (apostrophe and all) goes.
    accesDonnees.enregistrerUtilisateur(code, QStringLiteral("MARC"), QStringLiteral("pw2"),
                                        QStringLiteral("DIM"), QStringLiteral("x@y"),
                                        QStringLiteral("D'2"), QString());
    QVERIFY(accesDonnees.getMedecin(code)->isEOF());
    // Neither before nor after: only the user changes.
    accesDonnees.enregistrerUtilisateur(code, QStringLiteral("MARCO"), QStringLiteral("pw3"),
                                        QStringLiteral("DIM"), QString(), QString(), QString());
    QCOMPARE(colonne(accesDonnees.getListeUtilisateurs(), QStringLiteral("UTI_LOGIN")),
             QStringList({"MARCO"}));
    QCOMPARE(m_base->compter(QStringLiteral("SELECT count(*) FROM Medecin")), 0);
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::supprimerUtilisateur() {
    accesDonnees.nouveauUtilisateur(
        QStringLiteral("A"), QStringLiteral("p"), QStringLiteral("MEDECIN"), QString(),
        QStringLiteral("D1"), QStringLiteral("Nom"), QStringLiteral("U1"), QStringLiteral("1"));
    accesDonnees.nouveauUtilisateur(QStringLiteral("B"), QStringLiteral("p"), QStringLiteral("DIM"),
                                    QString());
    RecordsetPtr l = accesDonnees.getListeUtilisateurs();
    const long a = static_cast<long>(l->valeurLigne(0, l->indexChamp("UTI_CODE")).toLongLong());
    const long b = static_cast<long>(l->valeurLigne(1, l->indexChamp("UTI_CODE")).toLongLong());
    accesDonnees.supprimerUtilisateur(a);
    QCOMPARE(m_base->compter(QStringLiteral("SELECT count(*) FROM Medecin")), 0);
    accesDonnees.supprimerUtilisateur(b); // no doctor row: no error
    QCOMPARE(m_base->compter(QStringLiteral("SELECT count(*) FROM Utilisateur")), 0);
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::getActeAccesDonnees() {
    // Rows of the act whose full label is not NULL; the activity when given.
    QCOMPARE(accesDonnees.getActe(QStringLiteral("HBED001"))->RecordCount(), 4);
    QCOMPARE(colonne(accesDonnees.getActe(QStringLiteral("HBED001"), QStringLiteral("4")),
                     QStringLiteral("Libelle_Activite")),
             QStringList({"Anesthésie"}));
    QVERIFY(accesDonnees.getActe(QStringLiteral("AAQP004"))->isEOF());
    QVERIFY(accesDonnees.getActe(QStringLiteral("HBED001' OR '1'='1"))->isEOF());
    QCOMPARE(accesDonnees.getActe(QStringLiteral("HBED001"))->FieldCount(), 15);
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::executSQL() {
    const QString sql = QStringLiteral(
        "select distinct AMCODE,Libelle_Court,cstr(Libelle_Complet)as Libelle_Complet from CCAM "
        "where (Libelle_sans_accent like '%REPAR%' OR Libelle_simplifie like '%REPAR%') and "
        "(Libelle_sans_accent like '%email%' OR Libelle_simplifie like '%email%') ORDER BY "
        "CCAM.AMCODE");
    RecordsetPtr rs = accesDonnees.executSQL(sql);
    QCOMPARE(colonne(rs, QStringLiteral("AMCODE")), QStringList({"HBED001"}));
    QCOMPARE(colonne(rs, QStringLiteral("Libelle_Complet")),
             QStringList({"Réparation de l'émail"}));
    // Invalid SQL: the message under "ERREUR", no recordset.
    QVERIFY(!accesDonnees.executSQL(QStringLiteral("select * from CCAM where")));
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("ERREUR"));
    QCOMPARE(m_messages->journal().front().boutons, Boutons::Ok);
    QVERIFY(m_messages->journal().front().texte.startsWith(
        QStringLiteral("L'ouverture d'un recordset a échoué.\r\n")));
}

// ------------------------------------------------------------------ classification

void TestDepots::nomenclatureActe() {
    const adCCAM c;
    QCOMPARE(c.getActe(QStringLiteral("HBED001"), QStringLiteral("1"))->RecordCount(), 3);
    QCOMPARE(colonne(c.getActe(QStringLiteral("HBED001"), QStringLiteral("1"), QStringLiteral("2")),
                     QStringLiteral("Tarif")),
             QStringList({"70"}));
    // Phases: only those with a label.
    RecordsetPtr ph = c.getPhases(QStringLiteral("HBED001"));
    QCOMPARE(noms(ph), QStringList({"Phase", "Libelle_Phase"}));
    QStringList phases = colonne(ph, QStringLiteral("Phase"));
    phases.sort();
    QCOMPARE(phases, QStringList({"1", "2"}));
    QVERIFY(c.getPhases(QStringLiteral("HBFA002"))->isEOF());
    // Activities: all phases when the phase is empty or "0".
    RecordsetPtr act = c.getActivites(QStringLiteral("HBED001"));
    // SQLite names a plain column as the table declares it; fields are
    // looked up without regard to case.
    QCOMPARE(noms(act).join(',').toLower(), QStringLiteral("activite,libelle_activite,tarif"));
    QCOMPARE(act->RecordCount(), 4); // activity 1 at three tariffs, activity 4 once
    QCOMPARE(c.getActivites(QStringLiteral("HBED001"), QStringLiteral("0"))->RecordCount(), 4);
    QCOMPARE(colonne(c.getActivites(QStringLiteral("HBED001"), QStringLiteral("1")),
                     QStringLiteral("Tarif")),
             QStringList({"60"}));
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::nomenclatureArborescence() {
    const adCCAM c;
    // Systems in the table's own order, read by position.
    RecordsetPtr sys = c.getListSystemes();
    QCOMPARE(sys->Fields(0).toString(), QStringLiteral("02"));
    QCOMPARE(sys->Fields(1).toString(), QStringLiteral("Système digestif"));
    QCOMPARE(colonne(c.getListOrganes(QStringLiteral("02")), QStringLiteral("ORCODE")),
             QStringList({"HA", "HB"}));
    RecordsetPtr parOrgane = c.getListActes_ParOrgane(QStringLiteral("HB"));
    QCOMPARE(noms(parOrgane), QStringList({"AMCODE", "Libelle_Court", "Libelle_Complet"}));
    QCOMPARE(colonne(parOrgane, QStringLiteral("AMCODE")),
             QStringList({"HBED001", "HBFA002", "HBMA005"}));
    QCOMPARE(colonne(c.getHierar(1, QString()), QStringLiteral("Code")), QStringList({"01", "02"}));
    QCOMPARE(colonne(c.getHierar(2, QStringLiteral("01")), QStringLiteral("Libelle")),
             QStringList({"Sous-chapitre"}));
    QCOMPARE(colonne(c.getHierar(3, QStringLiteral("01.02")), QStringLiteral("Code")),
             QStringList({"01.02.03"}));
    QCOMPARE(colonne(c.getHierar(4, QStringLiteral("01.02.03")), QStringLiteral("Code")),
             QStringList({"01.02.03.01", "01.02.03.04"}));
    QCOMPARE(
        colonne(c.getListActes_ParHierar(QStringLiteral("01020304")), QStringLiteral("AMCODE")),
        QStringList({"HBED001", "HBFA002", "HBMA005"}));
    QCOMPARE(colonne(c.getListActes_ParHierar(QStringLiteral("010203")),
                     QStringLiteral("Libelle_Complet")),
             QStringList({"<NULL>", "Anesthésie générale"}));
    QCOMPARE(c.getLibellePosition(QStringLiteral("01")), QStringLiteral("Chapitre un"));
    QCOMPARE(c.getLibellePosition(QStringLiteral("01.02.03.04")),
             QStringLiteral("Sous-paragraphe"));
    QCOMPARE(c.getLibellePosition(QStringLiteral("01.02.03.04.05")), QString());
    QCOMPARE(c.getLibellePosition(QStringLiteral("99")), QString());
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::nomenclatureRelations() {
    const adCCAM c;
    RecordsetPtr comp = c.getCodesProcedure(QStringLiteral("HBMA005"));
    QCOMPARE(noms(comp), QStringList({"Acte2", "AMCODE", "Libelle_Complet", "Libelle_Court"}));
    QCOMPARE(colonne(comp, QStringLiteral("AMCODE")), QStringList({"HBED001", "HBFA002"}));
    QCOMPARE(colonne(c.getProceduresParActe(QStringLiteral("HBFA002")), QStringLiteral("Acte1")),
             QStringList({"HBMA005"}));
    // Both directions, each act once, sorted.
    RecordsetPtr inc = c.getIncompatibilites(QStringLiteral("HBED001"));
    QCOMPARE(noms(inc), QStringList({"AMCODE", "Libelle_Complet", "Libelle_Court"}));
    QCOMPARE(colonne(inc, QStringLiteral("AMCODE")), QStringList({"HBFA002", "ZZLP003"}));
    RecordsetPtr ass = c.getActesComplementaires(QStringLiteral("HBED001"), QStringLiteral("1"));
    QCOMPARE(noms(ass),
             QStringList({"Acte2", "AMCODE", "Libelle_Complet", "Libelle_Court", "Activite2"}));
    QCOMPARE(colonne(ass, QStringLiteral("AMCODE")), QStringList({"HBFA002", "ZZLP003"}));
    QCOMPARE(colonne(ass, QStringLiteral("Activite2")), QStringList({"1", "4"}));
    RecordsetPtr mod = c.getListeModificateurs(QStringLiteral("HBED001"), QStringLiteral("1"));
    QCOMPARE(noms(mod), QStringList({"Code", "Libelle", "Tarif", "Pourcentage"}));
    QStringList codes = colonne(mod, QStringLiteral("Code"));
    codes.sort();
    QCOMPARE(codes, QStringList({"F", "J"}));
    for (mod->MoveFirst(); !mod->isEOF(); mod->MoveNext())
        QCOMPARE(mod->Fields(QStringLiteral("Tarif")).isNull(),
                 mod->Fields(QStringLiteral("Code")).toString() == QLatin1String("J"));
    QStringList ext = colonne(c.getExtDoc(QStringLiteral("HBED001"), QStringLiteral("1")),
                              QStringLiteral("Code"));
    ext.sort();
    QCOMPARE(ext, QStringList({"A", "B"}));
    QVERIFY(c.getExtDoc(QStringLiteral("HBFA002"), QStringLiteral("1"))->isEOF());
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::nomenclatureTextes() {
    const adCCAM c;
    QCOMPARE(colonne(c.getListeNotesUtilisation(QStringLiteral("HBED001")),
                     QStringLiteral("Note_Utilisation")),
             QStringList({"Note un¶suite", "Note deux"}));
    QCOMPARE(colonne(c.getNotesUtilisationHier(QStringLiteral("01.02")),
                     QStringLiteral("Note_Hierarchie")),
             QStringList({"Note de chapitre"}));
    QCOMPARE(c.getExoneration(QStringLiteral("HBED001"), QStringLiteral("1"), QStringLiteral("0")),
             QStringLiteral("Exonération deux"));
    QCOMPARE(c.getRegroupement(QStringLiteral("HBED001"), QStringLiteral("4"), QStringLiteral("0")),
             QStringLiteral("Actes de chirurgie"));
    // The act row has no code: empty text, no message.
    QCOMPARE(c.getExoneration(QStringLiteral("HBED001"), QStringLiteral("1"), QStringLiteral("1")),
             QString());
    QCOMPARE(c.getRegroupement(QStringLiteral("HBFA002"), QStringLiteral("1"), QStringLiteral("0")),
             QString());
    QVERIFY(m_messages->journal().empty());
}

// ------------------------------------------------------------------ thesaurus

void TestDepots::thesaurus() {
    const adCCAM c;
    const long cat = c.insererCatAndGetCode(QStringLiteral("D'1"), QStringLiteral("Dents"), 2);
    QVERIFY(cat > 0);
    c.insererCategorie(QStringLiteral("D'1"), QStringLiteral("Anesthésie"), 2);
    c.insererCategorie(QStringLiteral("D'1"), QStringLiteral("Unité"), 1);
    RecordsetPtr cats = c.getCategoriesThesaurus(QStringLiteral("D'1"), 2);
    QCOMPARE(colonne(cats, QStringLiteral("CT_LIB")), QStringList({"Anesthésie", "Dents"}));
    QCOMPARE(noms(cats), QStringList({"CT_CODE", "CT_TYPE", "CT_LIB", "CT_LIEN"}));
    QCOMPARE(colonne(cats, QStringLiteral("CT_LIEN")), QStringList({"D'1", "D'1"}));

    c.insererActeTheserus(cat, QStringLiteral("HBED001"), QStringLiteral("1"), QString());
    c.insererActeTheserus(cat, QStringLiteral("HBED001"), QStringLiteral("4"), QString());
    c.insererActeTheserus(cat, QStringLiteral("HBFA002"), QString(), QStringLiteral("L'acte"));
    c.insererActeTheserus(cat, QStringLiteral("XXXX999"), QString(), QString()); // not in CCAM
    QVERIFY(c.ActeExisteDansCat(QStringLiteral("HBED001"), cat));
    QVERIFY(c.ActeExisteDansCat(QStringLiteral("XXXX999"), cat));
    QVERIFY(!c.ActeExisteDansCat(QStringLiteral("HBED001"), cat + 100));
    RecordsetPtr actes = c.getActesCatTheserus(cat);
    QCOMPARE(noms(actes), QStringList({"AMCODE", "AT_ACTIVITE", "Libelle_Complet"}));
    QCOMPARE(actes->RecordCount(), 3); // two activities of one act, the act absent from CCAM unseen
    QVERIFY(!colonne(actes, QStringLiteral("AMCODE")).contains(QStringLiteral("XXXX999")));

    // One act code: every activity row goes.
    c.suppActeTheserus(cat, QStringLiteral("HBED001"), QStringLiteral("1"));
    QCOMPARE(colonne(c.getActesCatTheserus(cat), QStringLiteral("AMCODE")),
             QStringList({"HBFA002"}));
    c.modifLibelleCategorie(cat, QStringLiteral("L'os"));
    QCOMPARE(colonne(c.getCategoriesThesaurus(QStringLiteral("D'1"), 2), QStringLiteral("CT_LIB")),
             QStringList({"Anesthésie", "L'os"}));
    // The category and its acts go together.
    c.suppCatTheserus(cat);
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = " +
                             QString::number(cat)),
             0);
    QCOMPARE(c.getCategoriesThesaurus(QStringLiteral("D'1"), 2)->RecordCount(), 1);
    QVERIFY(c.getActesCatTheserus(cat)->isEOF());
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::identiteSurLaMemeConnexion() {
    const adCCAM c;
    const long a = c.insererCatAndGetCode(QStringLiteral("U1"), QStringLiteral("A"), 1);
    // Inserts elsewhere in between do not disturb the next identity.
    accesDonnees.insererUM(QStringLiteral("U9"), QStringLiteral("Neuf"));
    c.insererActeTheserus(a, QStringLiteral("HBED001"), QString(), QString());
    const long b = c.insererCatAndGetCode(QStringLiteral("U1"), QStringLiteral("B"), 1);
    QVERIFY(a > 0 && b > a);
    QCOMPARE(m_base->compter("SELECT CT_CODE FROM CategorieThesaurus WHERE CT_LIB = 'B'"), b);
    QCOMPARE(m_base->compter("SELECT CT_CODE FROM CategorieThesaurus WHERE CT_LIB = 'A'"), a);
    // The code is accepted at once by the other operations.
    c.insererActeTheserus(b, QStringLiteral("HBFA002"), QString(), QString());
    QCOMPARE(c.getActesCatTheserus(b)->RecordCount(), 1);
    c.suppCatTheserus(b);
    QCOMPARE(m_base->compter("SELECT count(*) FROM CategorieThesaurus"), 1);
    // Inside a caller's transaction, on its connection.
    ConnexionPtr cx = Data().CreeConnexion();
    {
        Transaction t(*cx);
        const long d =
            adCCAM::insererCatAndGetCode(*cx, QStringLiteral("U1"), QStringLiteral("D"), 1);
        QVERIFY(d > b);
    } // rolled back
    QCOMPARE(m_base->compter("SELECT count(*) FROM CategorieThesaurus"), 1);
}

void TestDepots::importDansUneTransaction() {
    // An import keeps every act or none: the repository writes join the
    // transaction the importer holds on the kept connection.
    const adCCAM c;
    const long cat = c.insererCatAndGetCode(QStringLiteral("U1"), QStringLiteral("Import"), 1);
    ConnexionPtr cx = Data().CreeConnexion();
    {
        Transaction t(*cx);
        for (int i = 0; i < 50; ++i)
            c.insererActeTheserus(cat, QStringLiteral("HBED001"), QString::number(i), QString());
        QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus"), 50);
    } // abandoned
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus"), 0);
    {
        Transaction t(*cx);
        for (int i = 0; i < 50; ++i)
            c.insererActeTheserus(cat, QStringLiteral("HBED001"), QString::number(i), QString());
        c.suppCatTheserus(cat + 1000); // a two-statement write inside
        t.valider();
    }
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus"), 50);
    QVERIFY(m_messages->journal().empty());
}

void TestDepots::echecAuMilieuDUneCopie_data() {
    QTest::addColumn<bool>("appelantContinue"); // the caller goes on after the failure
    QTest::newRow("l'appelant s'arrête") << false;
    QTest::newRow("l'appelant continue") << true;
}

void TestDepots::echecAuMilieuDUneCopie() {
    // A repository write fails in the middle of a bulk copy made inside the
    // caller's transaction: nothing is kept, one "ERREUR" is shown.
    QFETCH(bool, appelantContinue);
    const adCCAM c;
    const long cat = c.insererCatAndGetCode(QStringLiteral("D1"), QStringLiteral("Copie"), 2);
    const long avant = static_cast<long>(m_base->compter("SELECT count(*) FROM Acte_Thesaurus"));
    ConnexionPtr cx = Data().CreeConnexion();
    m_base->refuser(QStringLiteral("panne"), QStringLiteral("INSERT"),
                    QStringLiteral("Acte_Thesaurus"), QStringLiteral("disque défaillant"),
                    QStringLiteral("NEW.AT_ACTIVITE = '50'"));
    const bool reussi = operationDepot<bool>(false, [&] {
        Transaction t(*cx);
        for (int i = 0; i < 100; ++i) {
            try {
                c.insererActeTheserus(cat, QStringLiteral("HBED001"), QString::number(i),
                                      QString());
            } catch (const DataError&) {
                if (!appelantContinue)
                    throw;
            }
        }
        c.insererCategorie(QStringLiteral("D1"), QStringLiteral("Après"), 2);
        t.valider();
        return true;
    });
    QVERIFY(!reussi);
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("ERREUR"));
    QVERIFY2(m_messages->journal().front().texte.contains(QStringLiteral("disque défaillant")),
             qPrintable(m_messages->journal().front().texte));
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus"), avant);
    QCOMPARE(m_base->compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIB = 'Après'"), 0);
    // Outside a transaction, the same failure is shown by the operation
    // itself, and the next write goes through.
    m_messages->vider();
    c.insererActeTheserus(cat, QStringLiteral("HBED001"), QStringLiteral("50"), QString());
    c.insererActeTheserus(cat, QStringLiteral("HBED001"), QStringLiteral("1"), QString());
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus"), avant + 1);
}

void TestDepots::codesEnMajuscules() {
    // Codes typed or imported in lower case are written and looked up as the
    // classification writes them.
    const adCCAM c;
    QCOMPARE(
        colonne(accesDonnees.getActe(QStringLiteral("hbed001")), QStringLiteral("AMCODE")).value(0),
        QStringLiteral("HBED001"));
    QCOMPARE(c.getActe(QStringLiteral("hbfa002"), QStringLiteral("1"))->RecordCount(), 1);
    QCOMPARE(c.getPhases(QStringLiteral("hbed001"))->RecordCount(), 2);
    const long cat = c.insererCatAndGetCode(QStringLiteral("D1"), QStringLiteral("Cat"), 2);
    c.insererActeTheserus(cat, QStringLiteral("zzlp003"), QString(), QString());
    c.insererActeTheserus(cat, QStringLiteral("HBED001"), QString(), QString());
    c.insererActeTheserus(cat, QStringLiteral("hbfa002"), QString(), QString());
    QVERIFY(c.ActeExisteDansCat(QStringLiteral("zzlp003"), cat));
    QVERIFY(c.ActeExisteDansCat(QStringLiteral("ZZLP003"), cat));
    QVERIFY(c.ActeExisteDansCat(QStringLiteral("hbed001"), cat));
    // Every act is shown, in code order whatever the order of insertion.
    QCOMPARE(colonne(c.getActesCatTheserus(cat), QStringLiteral("AMCODE")),
             (QStringList{"HBED001", "HBFA002", "ZZLP003"}));
    c.suppActeTheserus(cat, QStringLiteral("hbfa002"), QString());
    QCOMPARE(colonne(c.getActesCatTheserus(cat), QStringLiteral("AMCODE")),
             (QStringList{"HBED001", "ZZLP003"}));
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_Acte <> "
                             "upper(AT_Acte)"),
             0);
    QVERIFY(m_messages->journal().empty());
}

// ------------------------------------------------------------------ texts kept intact

void TestDepots::texteIntact_data() {
    QTest::addColumn<QString>("texte");
    QTest::newRow("apostrophes") << QStringLiteral("L'unité d''été'");
    QTest::newRow("guillemets") << QStringLiteral("Le \"bon\" code");
    QTest::newRow("pourcent souligné") << QStringLiteral("100% _x_ %");
    QTest::newRow("accents") << QStringLiteral("Œdème ÉÈÊË àçù ÿ «»");
    QTest::newRow("non latin") << QStringLiteral("Ωμέγα Жук 中文 \U0001F600");
    QTest::newRow("idiomes Jet") << QStringLiteral("a <> null #01/02/2024# DELETE * FROM x");
    QTest::newRow("point-virgule") << QStringLiteral("x'); DELETE FROM UniteMedicale; --");
    QTest::newRow("identité") << QStringLiteral("SELECT @@IDENTITY");
    QTest::newRow("blancs") << QStringLiteral("  deux  blancs\tet tab  ");
    QTest::newRow("antislash") << QStringLiteral("C:\\chemin\\n");
}

void TestDepots::texteIntact() {
    QFETCH(QString, texte);
    const adCCAM c;
    // As a key (code) and as a label, through every kind of statement.
    accesDonnees.insererUM(texte, texte);
    QCOMPARE(colonne(accesDonnees.getUM(texte), QStringLiteral("UM_LIB")), QStringList({texte}));
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(texte), texte);
    accesDonnees.modifierUM(texte, texte + texte);
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(texte), texte + texte);

    const long cat = c.insererCatAndGetCode(texte, texte, 2);
    QVERIFY(cat > 0);
    QCOMPARE(colonne(c.getCategoriesThesaurus(texte, 2), QStringLiteral("CT_LIB")),
             QStringList({texte}));
    c.insererActeTheserus(cat, texte, texte, texte);
    QVERIFY(c.ActeExisteDansCat(texte, cat));
    QCOMPARE(m_base->compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_LIB = '" +
                             doublerQuotes(texte) + "' AND AT_ACTIVITE = '" + doublerQuotes(texte) +
                             "'"),
             1);
    c.suppActeTheserus(cat, texte, QString());
    QVERIFY(!c.ActeExisteDansCat(texte, cat));

    accesDonnees.nouveauUtilisateur(texte, texte, QStringLiteral("MEDECIN"), texte, texte, texte,
                                    texte, texte);
    RecordsetPtr u = accesDonnees.getUtilisateurLogin(texte);
    QCOMPARE(u->RecordCount(), 1);
    QCOMPARE(u->Fields(QStringLiteral("UTI_PWD")).toString(), texte);
    QCOMPARE(u->Fields(QStringLiteral("UTI_EMAIL")).toString(), texte);
    const long code = static_cast<long>(u->Fields(QStringLiteral("UTI_CODE")).toLongLong());
    QCOMPARE(colonne(accesDonnees.getMedecinParCode(texte), QStringLiteral("MED_LIB")),
             QStringList({texte}));
    accesDonnees.enregistrerUtilisateur(code, texte, texte, QStringLiteral("DIM"), texte, texte,
                                        QString());
    QVERIFY(accesDonnees.getMedecinParCode(texte)->isEOF());
    accesDonnees.supprimerUM(texte);
    QVERIFY(accesDonnees.getUM(texte)->isEOF());
    QVERIFY2(m_messages->journal().empty(), qPrintable(m_messages->textes().join('|')));
    QCOMPARE(m_base->compter("SELECT count(*) FROM UniteMedicale WHERE 1 = 0"), 0);
}

// ------------------------------------------------------------------ failures

void TestDepots::ecrituresToutOuRien() {
    // A trigger makes the second statement of each write fail: the first is
    // taken back, the failure shown under "ERREUR".
    m_base->refuser(QStringLiteral("refus_medecin"), QStringLiteral("INSERT"),
                    QStringLiteral("Medecin"), QStringLiteral("insertion refusée"));
    m_base->refuser(QStringLiteral("refus_suppression"), QStringLiteral("DELETE"),
                    QStringLiteral("Acte_Thesaurus"), QStringLiteral("suppression refusée"));
    m_base->refuser(QStringLiteral("refus_maj"), QStringLiteral("UPDATE"),
                    QStringLiteral("Medecin"), QStringLiteral("mise à jour refusée"));
    m_base->executer(QStringLiteral(
        "INSERT INTO Utilisateur(UTI_CODE, UTI_LOGIN, UTI_PWD) VALUES (50, 'OLD', 'p');"
        "INSERT INTO CategorieThesaurus(CT_CODE, CT_TYPE, CT_LIB, CT_LIEN) VALUES (7, 1, 'C', "
        "'U1');"
        "INSERT INTO Acte_Thesaurus VALUES ('HBED001', 7, '', '');"));
    // Can't insert into Medecin through the trigger: add the old doctor row first.
    m_base->retirerRefus(QStringLiteral("refus_medecin"), QStringLiteral("Medecin"));
    m_base->executer(
        QStringLiteral("INSERT INTO Medecin(MED_CODE, MED_CODEUTI) VALUES ('D0', 50);"));
    m_base->refuser(QStringLiteral("refus_medecin"), QStringLiteral("INSERT"),
                    QStringLiteral("Medecin"), QStringLiteral("insertion refusée"));

    accesDonnees.nouveauUtilisateur(
        QStringLiteral("NEUF"), QStringLiteral("p"), QStringLiteral("MEDECIN"), QString(),
        QStringLiteral("D1"), QStringLiteral("Nom"), QStringLiteral("U1"), QStringLiteral("1"));
    QVERIFY(accesDonnees.getUtilisateurLogin(QStringLiteral("NEUF"))->isEOF());

    accesCCAM.suppCatTheserus(7);
    QCOMPARE(m_base->compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_CODE = 7"), 1);

    accesDonnees.enregistrerUtilisateur(50, QStringLiteral("CHANGE"), QStringLiteral("p"),
                                        QStringLiteral("MEDECIN"), QString(), QStringLiteral("D0"),
                                        QStringLiteral("D2"), QStringLiteral("Nom"),
                                        QStringLiteral("U1"), QStringLiteral("1"));
    QCOMPARE(colonne(accesDonnees.getUtilisateur(50), QStringLiteral("UTI_LOGIN")),
             QStringList({"OLD"}));

    m_base->refuser(QStringLiteral("refus_supp_med"), QStringLiteral("DELETE"),
                    QStringLiteral("Medecin"), QStringLiteral("non"));
    accesDonnees.supprimerUtilisateur(50);
    QCOMPARE(m_base->compter("SELECT count(*) FROM Utilisateur WHERE UTI_CODE = 50"), 1);

    QCOMPARE(m_messages->journal().size(), size_t(4));
    for (const MessageAffiche& m : m_messages->journal()) {
        QCOMPARE(m.titre, QStringLiteral("ERREUR"));
        QCOMPARE(m.boutons, Boutons::Ok);
    }
    QVERIFY(m_messages->journal()[0].texte.contains(QStringLiteral("insertion refusée")));
    QVERIFY(m_messages->journal()[1].texte.contains(QStringLiteral("suppression refusée")));
    QVERIFY(m_messages->journal()[2].texte.contains(QStringLiteral("mise à jour refusée")));
    // The connection is still usable, with no transaction left open.
    accesDonnees.insererUM(QStringLiteral("U7"), QStringLiteral("Sept"));
    Data::fermerConnexions();
    QCOMPARE(colonne(accesDonnees.getUM(QStringLiteral("U7")), QStringLiteral("UM_LIB")),
             QStringList({"Sept"}));
}

void TestDepots::baseAbsente() {
    QTemporaryDir dossier;
    cheminBase = QDir(dossier.path()).filePath(QStringLiteral("absente.mdb"));
    const adCCAM c;
    QVERIFY(!accesDonnees.getListeUM());
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("U1")), QString());
    QVERIFY(!accesDonnees.getActe(QStringLiteral("HBED001")));
    QVERIFY(!accesDonnees.executSQL(QStringLiteral("SELECT 1")));
    accesDonnees.insererUM(QStringLiteral("U1"), QStringLiteral("Un"));
    accesDonnees.nouveauUtilisateur(QStringLiteral("A"), QStringLiteral("p"), QStringLiteral("DIM"),
                                    QString());
    QVERIFY(!c.getActe(QStringLiteral("HBED001"), QStringLiteral("1")));
    QCOMPARE(c.getLibellePosition(QStringLiteral("01")), QString());
    QCOMPARE(c.getExoneration(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("0")),
             QString());
    QCOMPARE(c.insererCatAndGetCode(QStringLiteral("U1"), QStringLiteral("C"), 1), 0L);
    QVERIFY(!c.ActeExisteDansCat(QStringLiteral("HBED001"), 1));
    c.suppCatTheserus(1);
    QCOMPARE(m_messages->journal().size(), size_t(12));
    for (const MessageAffiche& m : m_messages->journal()) {
        QCOMPARE(m.titre, QStringLiteral("ERREUR"));
        QVERIFY(
            m.texte.startsWith(QStringLiteral("La connexion à la base de données a échoué.\r\n")));
    }
    QVERIFY(!QFileInfo::exists(cheminBase));
    QCOMPARE(QDir(dossier.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

void TestDepots::nulDansUnTexte() {
    // A NUL pasted into a box would end the statement's text: it is left
    // out, and no message of the database is shown.
    BaseDeTest base;
    MessagesScriptes messages;
    const QString nul(1, QChar(0));
    QVERIFY(accesDonnees.insererUM(QStringLiteral("U1"),
                                   QStringLiteral("Bras") + nul + QStringLiteral(" gauche")));
    const long categorie =
        accesCCAM.insererCatAndGetCode(QStringLiteral("D1"), QStringLiteral("Genou") + nul, 2);
    QVERIFY(categorie > 0);
    QVERIFY(accesDonnees.getUtilisateurLogin(QStringLiteral("MAR") + nul + QStringLiteral("TIN")));
    QVERIFY2(messages.journal().empty(), qPrintable(messages.textes().join(u'|')));
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("U1")),
             QStringLiteral("Bras gauche"));
    QCOMPARE(colonne(accesCCAM.getCategoriesThesaurus(QStringLiteral("D1"), 2),
                     QStringLiteral("CT_LIB")),
             QStringList{QStringLiteral("Genou")});
}

QTEST_GUILESS_MAIN(TestDepots)
#include "tst_depots.moc"
