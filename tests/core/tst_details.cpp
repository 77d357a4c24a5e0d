// The texts of the act details tabs, character for character, and the note
// and number formatting under them.

#include "BaseDeTest.h"
#include "DetailsActe.h"
#include "Globals.h"

#include <QtTest>

namespace {
const QString tirets = QStringLiteral("-----------------------------------------------------");

void acte(const BaseDeTest& base, const QString& code, const QString& valeurs) {
    base.executer("INSERT INTO CCAM (AMCODE, Activite, Phase, Tarif, ICR, Libelle_Complet, "
                  "PositionH, Exo_TM, Regroupement) VALUES ('" +
                  code + "', " + valeurs + ")");
}

// TARI001: tariff 28.8, three modifiers (a rate, a fixed amount, neither).
// NUDE001: no modifier, no note, no ICR, no hierarchy.
// NOTE001: no note of its own, notes on hierarchy levels 1, 2 and 3.
// QUAT001: a level-4 position and notes of its own.
// PROC001 = COMP001 + COMP002; INC0100 / INC0101: 100 / 101 incompatible acts.
void remplir(const BaseDeTest& base) {
    acte(base, "TARI001", "'1', '0', 28.8, 40, 'Acte tarifé', '01020300', '2', 'ADC'");
    acte(base, "NUDE001", "'1', '0', 120.5, NULL, 'Acte nu', NULL, NULL, NULL");
    acte(base, "NOTE001", "'1', '0', 10, 5.5, 'Acte annoté', '01020300', NULL, 'ADC'");
    acte(base, "QUAT001", "'4', '1', 10, 1, 'Acte profond', '01020304', NULL, NULL");
    acte(base, "PROC001", "'1', '0', 10, 1, 'Procédure', NULL, NULL, NULL");
    acte(base, "COMP001", "'1', '0', 10, 1, 'Composant un', NULL, NULL, NULL");
    acte(base, "COMP002", "'1', '0', 10, 1, 'Composant deux', NULL, NULL, NULL");
    acte(base, "INC0100", "'1', '0', 10, 1, 'Cent incompatibles', NULL, NULL, NULL");
    acte(base, "INC0101", "'1', '0', 10, 1, 'Cent un incompatibles', NULL, NULL, NULL");
    for (int i = 1; i <= 101; ++i) {
        const QString p = QString("P%1").arg(i, 3, 10, QChar('0'));
        acte(base, p, "'1', '0', 1, 1, 'Partenaire " + p + "', NULL, NULL, NULL");
        // Half of the pairs the other way round: both columns count.
        base.executer(i % 2 ? "INSERT INTO Actes_Incompatibles VALUES ('INC0101', '" + p + "')"
                            : "INSERT INTO Actes_Incompatibles VALUES ('" + p + "', 'INC0101')");
        if (i <= 100)
            base.executer(i % 2
                              ? "INSERT INTO Actes_Incompatibles VALUES ('INC0100', '" + p + "')"
                              : "INSERT INTO Actes_Incompatibles VALUES ('" + p + "', 'INC0100')");
    }
    base.executer("INSERT INTO Modificateurs VALUES ('J', 'Modificateur J', NULL, 0.5)");
    base.executer("INSERT INTO Modificateurs VALUES ('N', 'Neutre', NULL, NULL)");
    base.executer("INSERT INTO Modificateurs VALUES ('F', 'Forfait F', 19.06, NULL)");
    base.executer("INSERT INTO Modificateurs VALUES ('K', 'Majoration K', NULL, 0.115)");
    for (const char* m : {"J", "N", "F", "K"})
        base.executer(QString("INSERT INTO Acte_Modificateur VALUES ('TARI001', '1', '%1')")
                          .arg(QLatin1String(m)));
    base.executer("INSERT INTO Actes_Associes VALUES ('TARI001', '1', 'COMP001', '1')");
    base.executer("INSERT INTO Actes_Associes VALUES ('TARI001', '1', 'COMP002', '1')");
    base.executer("INSERT INTO Actes_Procedures VALUES ('PROC001', 'COMP002')");
    base.executer("INSERT INTO Actes_Procedures VALUES ('PROC001', 'COMP001')");
    base.executer("INSERT INTO Hierarchie1 VALUES ('01', 'Système nerveux')");
    base.executer("INSERT INTO Hierarchie2 VALUES ('01.02', 'Crâne')");
    base.executer("INSERT INTO Hierarchie3 VALUES ('01.02.03', 'Ponction')");
    base.executer("INSERT INTO Hierarchie4 VALUES ('01.02.03.04', 'Ponction lombaire')");
    base.executer("INSERT INTO Notes_Hierarchie VALUES ('01', 'Note du chapitre¶suite')");
    base.executer("INSERT INTO Notes_Hierarchie VALUES ('01.02', 'Note de la section')");
    base.executer("INSERT INTO Notes_Hierarchie VALUES ('01.02.03', 'Première note')");
    base.executer("INSERT INTO Notes_Hierarchie VALUES ('01.02.03', 'Seconde note')");
    base.executer("INSERT INTO Notes_Hierarchie VALUES ('01.02.03.04', 'Note du niveau 4')");
    base.executer("INSERT INTO Notes_Utilisation_Actes VALUES ('QUAT001', 'Propre¶à l''acte')");
    base.executer("INSERT INTO Exo_TM VALUES ('2', 'Exonération 2')");
    base.executer("INSERT INTO Regroupement VALUES ('ADC', 'Actes de chirurgie')");
}

RecordsetPtr lireActe(const QString& code) {
    RecordsetPtr rs = accesCCAM.getActe(code, code == "QUAT001" ? "4" : "1");
    rs->MoveLast();
    rs->MoveNext(); // the text builder goes back to the first row itself
    return rs;
}
} // namespace

class TestDetails : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_base = std::make_unique<BaseDeTest>();
        remplir(*m_base);
    }
    void init() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        cheminBase = m_base->chemin();
    }
    void cleanupTestCase() {
        QLocale::setDefault(QLocale::c());
        m_base.reset();
    }

    void texte_data();
    void texte();
    void incompatibilites_data();
    void incompatibilites();
    void honorairesPointDecimal();
    void sansActeOuSection();
    void formaterNote();
    void formaterDiese_data();
    void formaterDiese();
    void demonstration_data();
    void demonstration();

private:
    std::unique_ptr<BaseDeTest> m_base;
};

void TestDetails::texte_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("honoraires, trois modificateurs") << "TARI001" << 1
                                                     << "Tarif: \t\t28,8€ - ICR 40\r\n\r\n"
                                                        "Liste des modificateurs:\r\n"
                                                        "\tJ - Modificateur J\t\t50% (14,4 €)\r\n"
                                                        "\tF - Forfait F\t\t19,06€\r\n"
                                                        "\tK - Majoration K\t\t11,5% (3,31 €)\r\n";
    QTest::newRow("honoraires, aucun modificateur") << "NUDE001" << 1
                                                    << "Tarif: \t\t120,5€ - ICR \r\n\r\n"
                                                       "Liste des modificateurs:\r\n"
                                                       "\tAucun modificateur";
    QTest::newRow("activités associées") << "TARI001" << 2
                                         << "Activités associées de l'acte TARI001 :\r\n"
                                            "\tCOMP001 - Composant un\r\n"
                                            "\tCOMP002 - Composant deux\r\n";
    QTest::newRow("sans activité associée")
        << "NUDE001" << 2 << "Cet acte n'a pas d'activité associée";
    QTest::newRow("notes de trois niveaux, aucune propre")
        << "NOTE001" << 3
        << "Il n'existe aucune note pour l'acte NOTE001\r\n" + tirets +
               "\r\n"
               "01\r\n"
               "* Note du chapitre\r\n\tsuite\r\n" +
               tirets +
               "\r\n"
               "01.02\r\n"
               "* Note de la section\r\n" +
               tirets +
               "\r\n"
               "01.02.03\r\n"
               "* Première note\r\n"
               "* Seconde note\r\n";
    QTest::newRow("notes propres et niveau 4") << "QUAT001" << 3
                                               << "Notes d'utilisation pour l'acte: QUAT001\r\n"
                                                  "* Propre\r\n\tà l'acte\r\n" +
                                                      tirets +
                                                      "\r\n"
                                                      "01\r\n"
                                                      "* Note du chapitre\r\n\tsuite\r\n" +
                                                      tirets +
                                                      "\r\n"
                                                      "01.02\r\n"
                                                      "* Note de la section\r\n" +
                                                      tirets +
                                                      "\r\n"
                                                      "01.02.03\r\n"
                                                      "* Première note\r\n"
                                                      "* Seconde note\r\n" +
                                                      tirets +
                                                      "\r\n"
                                                      "01.02.03.04\r\n"
                                                      "* Note du niveau 4\r\n";
    QTest::newRow("aucune note") << "NUDE001" << 3
                                 << "Il n'existe aucune note pour l'acte NUDE001\r\n";
    QTest::newRow("hiérarchie à trois niveaux") << "TARI001" << 4
                                                << "Hiérarchie complète de cet acte :\r\n\r\n"
                                                   "01\t\tSystème nerveux\r\n"
                                                   "01.02\t\tCrâne\r\n"
                                                   "01.02.03\t\tPonction";
    QTest::newRow("hiérarchie à quatre niveaux") << "QUAT001" << 4
                                                 << "Hiérarchie complète de cet acte :\r\n\r\n"
                                                    "01\t\tSystème nerveux\r\n"
                                                    "01.02\t\tCrâne\r\n"
                                                    "01.02.03\t\tPonction\r\n"
                                                    "01.02.03.04\tPonction lombaire";
    QTest::newRow("sans hiérarchie") << "NUDE001" << 4 << "";
    QTest::newRow("procédure") << "PROC001" << 5
                               << "Décomposition de cette procédure :\r\n"
                                  "\t** Code N°1 **\r\n"
                                  "COMP001 - Composant un\r\n"
                                  "\t** Code N°2 **\r\n"
                                  "COMP002 - Composant deux\r\n"
                                  "\r\n\r\n"
                                  "Cet acte n'appartient à aucune procédure";
    QTest::newRow("composant") << "COMP002" << 5
                               << "Cet acte n'est pas une procédure\r\n\r\n"
                                  "Procédures qui contiennent cet acte :\r\n"
                                  "\t** Procédure N°1 **\r\n"
                                  "PROC001 - Procédure\r\n";
    QTest::newRow("sans incompatibilité")
        << "NUDE001" << 6 << "Cet acte n'a pas d'acte incompatible";
    QTest::newRow("exonération et regroupement")
        << "TARI001" << 7 << "Exonération 2\r\nActes de chirurgie";
    QTest::newRow("regroupement seul") << "NOTE001" << 7 << "\r\nActes de chirurgie";
    QTest::newRow("ni l'un ni l'autre") << "NUDE001" << 7 << "\r\n";
}

void TestDetails::texte() {
    QFETCH(QString, code);
    QFETCH(int, section);
    QTEST(texteDetailsActe(lireActe(code), qint16(section)), "attendu");
}

void TestDetails::incompatibilites_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("attendu");
    QString cent = "Actes incompatibles avec l'acte INC0100 :\r\n";
    for (int i = 1; i <= 100; ++i)
        cent += QString("P%1 - Partenaire P%1\r\n").arg(i, 3, 10, QChar('0'));
    QTest::newRow("100 listés") << "INC0100" << cent;
    QTest::newRow("101 comptés") << "INC0101"
                                 << "Il existe 101 actes incompatible avec l'acte INC0101";
}

void TestDetails::incompatibilites() {
    QFETCH(QString, code);
    const QString texte = texteDetailsActe(lireActe(code), 6);
    QTEST(texte, "attendu");
}

void TestDetails::honorairesPointDecimal() {
    QLocale::setDefault(QLocale::c());
    QCOMPARE(texteDetailsActe(lireActe("TARI001"), 1),
             QString("Tarif: \t\t28.8€ - ICR 40\r\n\r\n"
                     "Liste des modificateurs:\r\n"
                     "\tJ - Modificateur J\t\t50% (14.4 €)\r\n"
                     "\tF - Forfait F\t\t19.06€\r\n"
                     "\tK - Majoration K\t\t11.5% (3.31 €)\r\n"));
}

void TestDetails::sansActeOuSection() {
    QCOMPARE(texteDetailsActe(nullptr, 1), QString());
    QCOMPARE(texteDetailsActe(std::make_shared<Recordset>(), 1), QString());
    QCOMPARE(texteDetailsActe(lireActe("TARI001"), 0), QString());
    QCOMPARE(texteDetailsActe(lireActe("TARI001"), 8), QString());
}

void TestDetails::formaterNote() {
    QCOMPARE(::formaterNote("a¶b¶"), QString("a\r\n\tb\r\n\t"));
    QCOMPARE(::formaterNote("sans"), QString("sans"));
}

void TestDetails::formaterDiese_data() {
    QTest::addColumn<double>("valeur");
    QTest::addColumn<QString>("francais");
    QTest::newRow("une décimale") << 14.4 << "14,4";
    QTest::newRow("deux décimales") << 3.3120000000000003 << "3,31";
    QTest::newRow("entier: la virgule reste") << 12.0 << "12,";
    QTest::newRow("pas de zéro en tête") << 0.5 << ",5";
    QTest::newRow("zéro") << 0.0 << ",";
    QTest::newRow("arrondi au plus proche") << 2.675 << "2,68";
    QTest::newRow("arrondi vers l'entier") << 9.999 << "10,";
    QTest::newRow("plus de trois chiffres") << 1234.5 << "1234,5";
    QTest::newRow("minuscule") << 0.004 << ",";
    QTest::newRow("négatif") << -3.5 << "-3,5";
}

void TestDetails::formaterDiese() {
    QFETCH(double, valeur);
    QFETCH(QString, francais);
    QCOMPARE(::formaterDiese(valeur), francais);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(::formaterDiese(valeur), QString(francais).replace(',', '.'));
}

// Acts of the demonstration database, as a user sees them first.
void TestDetails::demonstration_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("activite");
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("XHMA001 honoraires: taux, montants, ni l'un ni l'autre")
        << "XHMA001"
        << "1" << 1
        << "Tarif: \t\t462,8€ - ICR 308\r\n\r\n"
           "Liste des modificateurs:\r\n"
           "\tC - Acte réalisé chez un enfant de moins de trois ans\t\t20% (92,56 €)\r\n"
           "\tI - Acte réalisé en urgence la nuit, entre 20 heures et 8 heures\t\t40€\r\n"
           "\t1 - Acte réalisé en urgence un dimanche ou un jour férié\t\t22,5€\r\n"
           "\t2 - Acte réalisé par un praticien de l'équipe de garde de "
           "l'établissement\t\t11,5% (53,22 €)\r\n"
           "\t0 - Reprise chirurgicale dans les quinze jours suivant l'intervention "
           "initiale\t\t50% (231,4 €)\r\n";
    QTest::newRow("XHMA001 activités associées")
        << "XHMA001"
        << "1" << 2
        << "Activités associées de l'acte XHMA001 :\r\n"
           "\tYSHB001 - Prélèvement peropératoire pour examen bactériologique\r\n"
           "\tYSNA001 - Supplément pour réalisation d'un acte chez un patient en état "
           "d'obésité morbide\r\n";
    QTest::newRow("TEQP001 notes de trois niveaux, aucune propre")
        << "TEQP001"
        << "1" << 3
        << "Il n'existe aucune note pour l'acte TEQP001\r\n" + tirets +
               "\r\n01\r\n"
               "* Les actes de ce chapitre sont codés une seule fois par séance, quel que soit "
               "le nombre de sites explorés.\r\n"
               "* Par voie transcutanée, on entend : à travers la peau, sans incision.\r\n\t"
               "Par voie endoscopique, on entend : avec un endoscope introduit par un orifice "
               "naturel ou une incision.\r\n" +
               tirets +
               "\r\n01.01\r\n"
               "* Les actes diagnostiques comprennent le compte rendu écrit de "
               "l'examen.\r\n" +
               tirets +
               "\r\n01.01.01\r\n"
               "* L'enregistrement comprend :\r\n\t- la pose et le retrait des "
               "électrodes\r\n\t- l'analyse du tracé\r\n\t- la remise du compte rendu au "
               "patient\r\n";
    QTest::newRow("TEQP001 hiérarchie à quatre niveaux")
        << "TEQP001"
        << "1" << 4
        << "Hiérarchie complète de cet acte :\r\n\r\n"
           "01\t\tSYSTÈME NERVEUX\r\n"
           "01.01\t\tActes diagnostiques sur le système nerveux\r\n"
           "01.01.01\t\tExplorations électrophysiologiques du système nerveux\r\n"
           "01.01.01.01\tÉlectroencéphalographie";
    QTest::newRow("WBFA003 procédure")
        << "WBFA003"
        << "1" << 5
        << "Décomposition de cette procédure :\r\n"
           "\t** Code N°1 **\r\nWBFA001 - Cholécystectomie, par cœlioscopie\r\n"
           "\t** Code N°2 **\r\nWBQA001 - Cholangiographie peropératoire, par "
           "cathétérisme du canal cystique\r\n"
           "\r\n\r\n"
           "Cet acte n'appartient à aucune procédure";
    QTest::newRow("TEQP001 incompatible dans les deux sens")
        << "TEQP001"
        << "1" << 6
        << "Actes incompatibles avec l'acte TEQP001 :\r\n"
           "TEQP002 - Électroencéphalogramme prolongé avec enregistrement vidéo, d'une durée "
           "de plus de 4 heures\r\n";
    QTest::newRow("TEQP001 exonération") << "TEQP001"
                                         << "1" << 7
                                         << "Acte sans exonération particulière du ticket "
                                            "modérateur\r\nActes d'exploration fonctionnelle";
}

void TestDetails::demonstration() {
    BaseDeTest base(true);
    QFETCH(QString, code);
    QFETCH(QString, activite);
    QFETCH(int, section);
    QTEST(texteDetailsActe(accesCCAM.getActe(code, activite), qint16(section)), "attendu");
}

QTEST_GUILESS_MAIN(TestDetails)
#include "tst_details.moc"
