// The demonstration database: it must hold enough of every kind of
// classification content for each window to have something to show, every
// reference between its tables must resolve, the program's own queries must
// give the expected shapes, and the accounts listed in README.md must log in.

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "BaseDemonstration.h"
#include "DataError.h"
#include "EmpreinteMotDePasse.h"
#include "adCCAM.h"

#include <QFile>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// Label in capitals with accents and ligatures folded, the form the keyword
// search matches against.
QString sansAccent(const QString& libelle) {
    QString t = libelle;
    t.replace(QStringLiteral("œ"), QStringLiteral("oe")).replace(QStringLiteral("Œ"), "OE");
    QString r;
    for (QChar c : t.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            r += c;
    return r.toUpper();
}

QString texte(const RecordsetPtr& rs, const char* champ) {
    return rs && !rs->isEOF() ? rs->Fields(QString::fromLatin1(champ)).toString() : QString();
}

int lignes(const RecordsetPtr& rs) {
    return rs ? rs->RecordCount() : -1;
}

} // namespace

class tst_demonstration : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_base = std::make_unique<BaseDeTest>(true); }
    void cleanupTestCase() { m_base.reset(); }

    void minimums_data();
    void minimums();
    void references_data();
    void references();
    void libellesDeRecherche();
    void requetesDuProgramme();
    void comptes_data();
    void comptes();
    void fichierExistantJamaisRemplace();

private:
    std::unique_ptr<BaseDeTest> m_base;
};

void tst_demonstration::minimums_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("minimum");
    auto ligne = [](const char* nom, const char* sql, int minimum) {
        QTest::newRow(nom) << QString::fromUtf8(sql) << minimum;
    };
    ligne("actes", "SELECT COUNT(DISTINCT AMCODE) FROM CCAM", 40);
    ligne("systèmes", "SELECT COUNT(*) FROM \"Systèmes\"", 4);
    ligne("organes", "SELECT COUNT(*) FROM ORGANES", 8);
    ligne("systèmes ayant des actes",
          "SELECT COUNT(DISTINCT ORSYSTEME) FROM ORGANES WHERE ORCODE IN "
          "(SELECT substr(AMCODE, 1, 2) FROM CCAM)",
          4);
    ligne("organes ayant des actes", "SELECT COUNT(DISTINCT substr(AMCODE, 1, 2)) FROM CCAM", 8);
    ligne("actes en activités 1 et 4",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM CCAM GROUP BY AMCODE "
          "HAVING SUM(Activite = '1') > 0 AND SUM(Activite = '4') > 0)",
          2);
    ligne("acte en anesthésie seule",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM CCAM GROUP BY AMCODE "
          "HAVING MIN(Activite) = '4')",
          1);
    ligne("actes à plusieurs phases libellées",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM CCAM WHERE Libelle_Phase IS NOT NULL "
          "GROUP BY AMCODE HAVING COUNT(DISTINCT Phase) >= 2)",
          2);
    ligne("acte aux phases 0, 1 et 2 libellées",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM CCAM WHERE Libelle_Phase IS NOT NULL "
          "AND Phase IN ('0', '1', '2') GROUP BY AMCODE HAVING COUNT(DISTINCT Phase) = 3)",
          1);
    ligne("tarif d'une activité variant selon la phase",
          "SELECT COUNT(*) FROM (SELECT AMCODE, Activite FROM CCAM "
          "GROUP BY AMCODE, Activite HAVING COUNT(DISTINCT Tarif) > 1)",
          1);
    ligne("actes classants", "SELECT COUNT(*) FROM CCAM WHERE Caractere_classant = 'Y'", 1);
    ligne("actes non classants", "SELECT COUNT(*) FROM CCAM WHERE Caractere_classant <> 'Y'", 1);
    ligne("modificateur à taux",
          "SELECT COUNT(*) FROM Modificateurs WHERE Pourcentage > 0 AND Tarif IS NULL", 1);
    ligne("modificateur à montant",
          "SELECT COUNT(*) FROM Modificateurs WHERE Tarif > 0 AND Pourcentage IS NULL", 1);
    ligne("modificateur sans valeur",
          "SELECT COUNT(*) FROM Modificateurs WHERE Tarif IS NULL AND Pourcentage IS NULL", 1);
    ligne("acte sans modificateur",
          "SELECT COUNT(DISTINCT AMCODE) FROM CCAM "
          "WHERE AMCODE NOT IN (SELECT AMCODE FROM Acte_Modificateur)",
          1);
    ligne("acte à plus de quatre modificateurs",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM Acte_Modificateur "
          "GROUP BY AMCODE, Activite HAVING COUNT(*) > 4)",
          1);
    ligne("acte à plusieurs extensions",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM Actes_extension_documentaire "
          "GROUP BY AMCODE, Activite HAVING COUNT(*) >= 2)",
          1);
    ligne("activités ayant des actes associés",
          "SELECT COUNT(DISTINCT activite1) FROM Actes_Associes", 2);
    ligne("procédures à plusieurs composants",
          "SELECT COUNT(*) FROM (SELECT Acte1 FROM Actes_Procedures GROUP BY Acte1 "
          "HAVING COUNT(*) >= 2)",
          2);
    ligne("paire incompatible dans les deux sens",
          "SELECT COUNT(*) FROM Actes_Incompatibles a JOIN Actes_Incompatibles b "
          "ON a.acte1 = b.acte2 AND a.acte2 = b.acte1",
          2);
    ligne("notes d'acte à plusieurs lignes",
          "SELECT COUNT(*) FROM Notes_Utilisation_Actes WHERE Note_Utilisation LIKE '%¶%'", 1);
    ligne("notes de chapitre à plusieurs lignes",
          "SELECT COUNT(*) FROM Notes_Hierarchie WHERE Note_Hierarchie LIKE '%¶%'", 1);
    ligne("exonérations", "SELECT COUNT(DISTINCT Exo_TM) FROM CCAM", 2);
    ligne("regroupements", "SELECT COUNT(DISTINCT Regroupement) FROM CCAM", 2);
    ligne("unités", "SELECT COUNT(*) FROM UniteMedicale", 3);
    ligne("unités des médecins", "SELECT COUNT(DISTINCT MED_UM) FROM Medecin", 2);
    ligne("anesthésiste", "SELECT COUNT(*) FROM Medecin WHERE MED_ACT = '4'", 1);
    ligne("thésaurus d'unité",
          "SELECT COUNT(DISTINCT CT_LIEN) FROM CategorieThesaurus WHERE CT_TYPE = 1", 2);
    ligne("thésaurus de médecin",
          "SELECT COUNT(DISTINCT CT_LIEN) FROM CategorieThesaurus WHERE CT_TYPE = 2", 2);
    ligne("catégorie sans acte",
          "SELECT COUNT(*) FROM CategorieThesaurus WHERE CT_CODE NOT IN (SELECT AT_CAT FROM "
          "Acte_Thesaurus)",
          1);
    ligne("acte de thésaurus sous deux activités",
          "SELECT COUNT(*) FROM (SELECT AT_Acte FROM Acte_Thesaurus GROUP BY AT_CAT, AT_Acte "
          "HAVING COUNT(DISTINCT AT_ACTIVITE) = 2)",
          1);
}

void tst_demonstration::minimums() {
    QFETCH(QString, sql);
    QFETCH(int, minimum);
    const long long n = m_base->compter(sql);
    QVERIFY2(n >= minimum, qPrintable(QStringLiteral("%1 < %2").arg(n).arg(minimum)));
}

void tst_demonstration::references_data() {
    // Each query counts the rows that break one rule: all must give 0.
    QTest::addColumn<QString>("sql");
    auto ligne = [](const char* nom, const char* sql) {
        QTest::newRow(nom) << QString::fromUtf8(sql);
    };
    ligne("forme des codes d'acte",
          "SELECT COUNT(*) FROM CCAM WHERE AMCODE NOT GLOB '[A-Z][A-Z][A-Z][A-Z][0-9][0-9][0-9]'");
    ligne("organe de chaque acte", "SELECT COUNT(*) FROM CCAM WHERE substr(AMCODE, 1, 2) NOT IN "
                                   "(SELECT ORCODE FROM ORGANES)");
    ligne("système de chaque organe", "SELECT COUNT(*) FROM ORGANES WHERE ORSYSTEME NOT IN "
                                      "(SELECT SYCODE FROM \"Systèmes\")");
    ligne("forme des positions",
          "SELECT COUNT(*) FROM CCAM WHERE PositionH NOT GLOB '[0-9][0-9][0-9][0-9][0-9][0-9]"
          "[0-9][0-9]' OR substr(PositionH, 5, 2) = '00'");
    ligne("chapitre de chaque acte", "SELECT COUNT(*) FROM CCAM WHERE substr(PositionH, 1, 2) "
                                     "NOT IN (SELECT Code FROM Hierarchie1)");
    ligne("sous-chapitre de chaque acte",
          "SELECT COUNT(*) FROM CCAM WHERE substr(PositionH, 1, 2) || '.' || "
          "substr(PositionH, 3, 2) NOT IN (SELECT Code FROM Hierarchie2)");
    ligne("paragraphe de chaque acte",
          "SELECT COUNT(*) FROM CCAM WHERE substr(PositionH, 1, 2) || '.' || "
          "substr(PositionH, 3, 2) || '.' || substr(PositionH, 5, 2) "
          "NOT IN (SELECT Code FROM Hierarchie3)");
    ligne("sous-paragraphe de chaque acte",
          "SELECT COUNT(*) FROM CCAM WHERE substr(PositionH, 7, 2) <> '00' AND "
          "substr(PositionH, 1, 2) || '.' || substr(PositionH, 3, 2) || '.' || "
          "substr(PositionH, 5, 2) || '.' || substr(PositionH, 7, 2) "
          "NOT IN (SELECT Code FROM Hierarchie4)");
    // The hierarchy browser lists the acts of a paragraph only when it has
    // no sub-paragraph: an act hanging at level 3 must be under such a one.
    ligne("acte de niveau 3 atteignable",
          "SELECT COUNT(*) FROM CCAM c WHERE substr(PositionH, 7, 2) = '00' AND EXISTS "
          "(SELECT 1 FROM Hierarchie4 h WHERE substr(h.Code, 1, 8) = substr(c.PositionH, 1, 2) "
          "|| '.' || substr(c.PositionH, 3, 2) || '.' || substr(c.PositionH, 5, 2))");
    ligne("parent de chaque chapitre",
          "SELECT (SELECT COUNT(*) FROM Hierarchie2 WHERE substr(Code, 1, 2) NOT IN "
          "(SELECT Code FROM Hierarchie1)) + (SELECT COUNT(*) FROM Hierarchie3 WHERE "
          "substr(Code, 1, 5) NOT IN (SELECT Code FROM Hierarchie2)) + (SELECT COUNT(*) FROM "
          "Hierarchie4 WHERE substr(Code, 1, 8) NOT IN (SELECT Code FROM Hierarchie3))");
    ligne("chapitre de chaque note",
          "SELECT COUNT(*) FROM Notes_Hierarchie WHERE Code NOT IN (SELECT Code FROM Hierarchie1) "
          "AND Code NOT IN (SELECT Code FROM Hierarchie2) AND Code NOT IN (SELECT Code FROM "
          "Hierarchie3) AND Code NOT IN (SELECT Code FROM Hierarchie4)");
    ligne("colonnes remplies",
          "SELECT COUNT(*) FROM CCAM WHERE Tarif IS NULL OR ICR IS NULL OR Libelle_Activite IS "
          "NULL OR Libelle_Court IS NULL OR Libelle_Complet IS NULL OR Libelle_simplifie IS NULL "
          "OR Caractere_classant IS NULL OR Regroupement IS NULL OR Phase IS NULL");
    ligne("une ligne par acte, activité et phase",
          "SELECT COUNT(*) - (SELECT COUNT(*) FROM (SELECT DISTINCT AMCODE, Activite, Phase FROM "
          "CCAM)) FROM CCAM");
    ligne("libellés identiques d'un acte",
          "SELECT COUNT(*) FROM (SELECT AMCODE FROM CCAM GROUP BY AMCODE HAVING "
          "COUNT(DISTINCT Libelle_Complet) > 1 OR COUNT(DISTINCT PositionH) > 1)");
    ligne("phases libellées sur tout acte à phases",
          "SELECT COUNT(*) FROM CCAM WHERE Libelle_Phase IS NULL AND AMCODE IN (SELECT AMCODE "
          "FROM CCAM WHERE Libelle_Phase IS NOT NULL)");
    ligne("exonération connue", "SELECT COUNT(*) FROM CCAM WHERE Exo_TM IS NOT NULL AND Exo_TM "
                                "NOT IN (SELECT Code FROM Exo_TM)");
    ligne("regroupement connu",
          "SELECT COUNT(*) FROM CCAM WHERE Regroupement NOT IN (SELECT Code FROM Regroupement)");
    ligne("actes des procédures",
          "SELECT COUNT(*) FROM Actes_Procedures WHERE Acte1 NOT IN (SELECT AMCODE FROM CCAM) "
          "OR Acte2 NOT IN (SELECT AMCODE FROM CCAM)");
    ligne("actes des incompatibilités",
          "SELECT COUNT(*) FROM Actes_Incompatibles WHERE acte1 NOT IN (SELECT AMCODE FROM CCAM) "
          "OR acte2 NOT IN (SELECT AMCODE FROM CCAM) OR acte1 = acte2");
    ligne("actes et activités des actes associés",
          "SELECT COUNT(*) FROM Actes_Associes a WHERE NOT EXISTS (SELECT 1 FROM CCAM WHERE "
          "AMCODE = a.Acte1 AND Activite = a.activite1) OR NOT EXISTS (SELECT 1 FROM CCAM "
          "WHERE AMCODE = a.Acte2 AND Activite = a.Activite2)");
    ligne("actes et codes des modificateurs",
          "SELECT COUNT(*) FROM Acte_Modificateur m WHERE NOT EXISTS (SELECT 1 FROM CCAM WHERE "
          "AMCODE = m.AMCODE AND Activite = m.Activite) OR Modificateur NOT IN (SELECT Code "
          "FROM Modificateurs)");
    ligne("actes et extensions",
          "SELECT COUNT(*) FROM Actes_extension_documentaire e WHERE NOT EXISTS (SELECT 1 FROM "
          "CCAM WHERE AMCODE = e.AMCODE AND Activite = e.Activite) OR Id_extension NOT IN "
          "(SELECT Id_extension FROM Extension_documentaire)");
    ligne("actes des notes", "SELECT COUNT(*) FROM Notes_Utilisation_Actes WHERE AMCODE NOT IN "
                             "(SELECT AMCODE FROM CCAM)");
    ligne("médecin de chaque utilisateur MEDECIN",
          "SELECT COUNT(*) FROM Utilisateur WHERE UTI_GROUP = 'MEDECIN' AND UTI_CODE NOT IN "
          "(SELECT MED_CODEUTI FROM Medecin)");
    ligne("utilisateur et unité de chaque médecin",
          "SELECT COUNT(*) FROM Medecin WHERE MED_CODEUTI NOT IN (SELECT UTI_CODE FROM "
          "Utilisateur WHERE UTI_GROUP = 'MEDECIN') OR MED_UM NOT IN (SELECT UM_Code FROM "
          "UniteMedicale) OR MED_ACT NOT IN ('1', '4')");
    ligne("propriétaire de chaque catégorie",
          "SELECT COUNT(*) FROM CategorieThesaurus WHERE NOT ((CT_TYPE = 1 AND CT_LIEN IN (SELECT "
          "UM_Code FROM UniteMedicale)) OR (CT_TYPE = 2 AND CT_LIEN IN (SELECT MED_CODE FROM "
          "Medecin)))");
    ligne("catégorie de chaque acte de thésaurus",
          "SELECT COUNT(*) FROM Acte_Thesaurus WHERE AT_CAT NOT IN (SELECT CT_CODE FROM "
          "CategorieThesaurus) OR AT_ACTIVITE IS NULL");
    // One unit thesaurus keeps an act since withdrawn from the classification.
    ligne("un seul acte retiré dans les thésaurus",
          "SELECT COUNT(*) - 1 FROM Acte_Thesaurus WHERE AT_Acte NOT IN (SELECT AMCODE FROM CCAM)");
}

void tst_demonstration::references() {
    QFETCH(QString, sql);
    QCOMPARE(m_base->compter(sql), 0LL);
}

void tst_demonstration::libellesDeRecherche() {
    // Every row keeps its folded search forms in step with its label, so that
    // a keyword typed with or without accents finds the act.
    RecordsetPtr rs = AccesDonnees().executSQL(
        QStringLiteral("SELECT AMCODE, Libelle_Complet, "
                       "Libelle_sans_accent, Libelle_simplifie FROM CCAM"));
    QVERIFY(rs && rs->RecordCount() > 0);
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        const QString code = rs->Fields(0).toString();
        const QString simplifie = rs->Fields(3).toString();
        QVERIFY2(rs->Fields(2).toString() == sansAccent(rs->Fields(1).toString()),
                 qPrintable(code));
        QVERIFY2(!simplifie.isEmpty() && sansAccent(simplifie).toLower() == simplifie,
                 qPrintable(code));
    }
    // The keyword search of the program: two words, accents folded, any case.
    RecordsetPtr trouves = AccesDonnees().executSQL(QStringLiteral(
        "select distinct AMCODE,Libelle_Court,cstr(Libelle_Complet)as Libelle_Complet from CCAM "
        "where (Libelle_sans_accent like '%electroencephalogramme%' OR Libelle_simplifie like "
        "'%electroencephalogramme%') and (Libelle_sans_accent like '%Duree%' OR "
        "Libelle_simplifie like '%Duree%') ORDER BY CCAM.AMCODE"));
    QCOMPARE(lignes(trouves), 2);
    QCOMPARE(texte(trouves, "AMCODE"), QStringLiteral("TEQP001"));
}

void tst_demonstration::requetesDuProgramme() {
    // What the windows will show for a few acts chosen for their content.
    const adCCAM ccam;
    struct Cas {
        const char* nom;
        std::function<RecordsetPtr()> requete;
        int attendu;
    };
    const QString u = QStringLiteral("1"), q = QStringLiteral("4");
    const Cas cas[] = {
        {"phases 0, 1 et 2", [&] { return ccam.getPhases("XHMA003"); }, 3},
        {"phases 1 et 2", [&] { return ccam.getPhases("WCFA002"); }, 2},
        {"acte sans phase", [&] { return ccam.getPhases("TEQP001"); }, 0},
        {"trois activités", [&] { return ccam.getActivites("TEFA001"); }, 3},
        {"activités d'une phase", [&] { return ccam.getActivites("WCFA002", "2"); }, 2},
        {"incompatibilité stockée deux fois", [&] { return ccam.getIncompatibilites("TEQP001"); },
         1},
        {"incompatibilités", [&] { return ccam.getIncompatibilites("XGQC001"); }, 2},
        {"composants d'une procédure", [&] { return ccam.getCodesProcedure("WBFA003"); }, 2},
        {"procédure d'un composant", [&] { return ccam.getProceduresParActe("XGFC002"); }, 1},
        {"six modificateurs", [&] { return ccam.getListeModificateurs("XHMA001", u); }, 6},
        {"aucun modificateur", [&] { return ccam.getListeModificateurs("RPQP002", u); }, 0},
        {"actes associés en anesthésie", [&] { return ccam.getActesComplementaires("XHMA001", q); },
         2},
        {"extensions", [&] { return ccam.getExtDoc("TMLB001", u); }, 3},
        {"organes d'un système", [&] { return ccam.getListOrganes("X"); }, 3},
        {"système sans organe", [&] { return ccam.getListOrganes("U"); }, 0},
        {"organe sans acte", [&] { return ccam.getListActes_ParOrgane("XR"); }, 0},
        {"actes au niveau 3", [&] { return ccam.getListActes_ParHierar("01010200"); }, 3},
        {"aucune note propre", [&] { return ccam.getListeNotesUtilisation("TEQP001"); }, 0},
        {"notes du chapitre", [&] { return ccam.getNotesUtilisationHier("01"); }, 2},
        {"notes du sous-chapitre", [&] { return ccam.getNotesUtilisationHier("01.01"); }, 1},
        {"notes du paragraphe", [&] { return ccam.getNotesUtilisationHier("01.01.01"); }, 1},
        {"sous-paragraphe sans note", [&] { return ccam.getNotesUtilisationHier("01.01.01.01"); },
         0},
        {"catégories d'une unité", [&] { return ccam.getCategoriesThesaurus("ORTH", 1); }, 3},
        {"catégories d'un médecin", [&] { return ccam.getCategoriesThesaurus("CMARTIN", 2); }, 3},
        {"acte retiré non montré", [&] { return ccam.getActesCatTheserus(5); }, 4},
    };
    for (const Cas& c : cas)
        QVERIFY2(lignes(c.requete()) == c.attendu,
                 qPrintable(QStringLiteral("%1 : %2 au lieu de %3")
                                .arg(QString::fromUtf8(c.nom))
                                .arg(lignes(c.requete()))
                                .arg(c.attendu)));
    QVERIFY(!ccam.getExoneration("TEFA001", u, "0").isEmpty());
    QVERIFY(!ccam.getRegroupement("TEFA001", q, "0").isEmpty());
    QVERIFY(ccam.getExoneration("YSLP001", q, "0").isEmpty());
    QCOMPARE(ccam.getLibellePosition("01.01.01.01"), QStringLiteral("Électroencéphalographie"));
}

void tst_demonstration::comptes_data() {
    // The accounts listed in README.md, section "Comptes de démonstration".
    QTest::addColumn<QString>("identifiant");
    QTest::addColumn<QString>("motDePasse");
    QTest::addColumn<QString>("groupe");
    QTest::addColumn<QString>("medecin");
    QTest::addColumn<QString>("unite");
    QTest::addColumn<QString>("activite");
    QTest::newRow("administrateur") << "ADMIN"
                                    << "ADMIN"
                                    << "ADMIN"
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("DIM") << "DIM"
                         << "DIM"
                         << "DIM"
                         << ""
                         << ""
                         << "";
    QTest::newRow("chirurgienne") << "MARTIN"
                                  << "MARTIN"
                                  << "MEDECIN"
                                  << "CMARTIN"
                                  << "ORTH"
                                  << "1";
    QTest::newRow("anesthésiste") << "BERNARD"
                                  << "BERNARD"
                                  << "MEDECIN"
                                  << "PBERNARD"
                                  << "ANES"
                                  << "4";
    QTest::newRow("chirurgienne viscérale") << "LEROY"
                                            << "LEROY"
                                            << "MEDECIN"
                                            << "ALEROY"
                                            << "VISC"
                                            << "1";
}

void tst_demonstration::comptes() {
    QFETCH(QString, identifiant);
    QFETCH(QString, motDePasse);
    QFETCH(QString, groupe);
    QFETCH(QString, medecin);
    QFETCH(QString, unite);
    QFETCH(QString, activite);
    const AccesDonnees acces;
    RecordsetPtr uti = acces.getUtilisateurLogin(identifiant);
    QCOMPARE(lignes(uti), 1);
    QCOMPARE(texte(uti, "UTI_GROUP"), groupe);
    QVERIFY(estEmpreinte(texte(uti, "UTI_PWD")));
    QCOMPARE(verifierMotDePasse(motDePasse, texte(uti, "UTI_PWD")),
             VerificationMotDePasse::Accepte);
    QVERIFY(texte(uti, "UTI_PWD") != motDePasse);
    RecordsetPtr med = acces.getMedecin(uti->Fields("UTI_CODE").toLongLong());
    QCOMPARE(lignes(med), medecin.isEmpty() ? 0 : 1);
    QCOMPARE(texte(med, "MED_CODE"), medecin);
    QCOMPARE(texte(med, "MED_UM"), unite);
    QCOMPARE(texte(med, "MED_ACT"), activite);
}

void tst_demonstration::fichierExistantJamaisRemplace() {
    const QByteArray avant = QByteArrayLiteral("pas une base");
    const QString chemin = m_base->dossier() + QStringLiteral("/existant.mdb");
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(avant);
    f.close();
    QVERIFY_THROWS_EXCEPTION(DataError, creerBaseDemonstration(chemin));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), avant);
}

QTEST_GUILESS_MAIN(tst_demonstration)
#include "tst_demonstration.moc"
