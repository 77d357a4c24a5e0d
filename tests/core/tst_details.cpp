// The texts of the act details tabs, character for character, for acts of the
// demonstration database (plus two acts with 100 and 101 incompatible acts),
// and the note and number formatting under them.

#include "BaseDeTest.h"
#include "DetailsActe.h"
#include "Globals.h"
#include "adCCAM.h"

#include <QtTest>

namespace {
const QString tirets = QStringLiteral("-----------------------------------------------------");

// INC0100 and INC0101, without hierarchy position, are incompatible with 100
// and 101 acts P001, P002, ...; half of the pairs are stored the other way
// round, since both columns count.
void ajouterIncompatibilites(const BaseDeTest& base) {
    auto acte = [&](const QString& code, const QString& libelle) {
        base.executer("INSERT INTO CCAM (AMCODE, Activite, Phase, Tarif, Libelle_Complet) "
                      "VALUES ('" +
                      code + "', '1', '0', 10, '" + libelle + "')");
    };
    acte("INC0100", "Cent incompatibles");
    acte("INC0101", "Cent un incompatibles");
    for (int i = 1; i <= 101; ++i) {
        const QString p = QString("P%1").arg(i, 3, 10, QChar('0'));
        acte(p, "Partenaire " + p);
        for (const QString cible : {"INC0100", "INC0101"}) {
            if (cible == "INC0100" && i == 101)
                continue;
            base.executer(
                i % 2 ? "INSERT INTO Actes_Incompatibles VALUES ('" + cible + "', '" + p + "')"
                      : "INSERT INTO Actes_Incompatibles VALUES ('" + p + "', '" + cible + "')");
        }
    }
}

// The act as the details panel reads it, left past its last row: the text
// builder goes back to the first row itself.
RecordsetPtr lireActe(const QString& code, const QString& activite = "1") {
    RecordsetPtr rs = accesCCAM.getActe(code, activite);
    rs->MoveLast();
    rs->MoveNext();
    return rs;
}
} // namespace

class TestDetails : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_base = std::make_unique<BaseDeTest>(true);
        ajouterIncompatibilites(*m_base);
    }
    void init() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
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
    void ceQueDisentLesDonnees_data();
    void ceQueDisentLesDonnees();
    void selonLaSourceDesRegles_data();
    void selonLaSourceDesRegles();
    void formaterNote();
    void formaterDiese_data();
    void formaterDiese();
    void formaterMontant_data();
    void formaterMontant();

private:
    std::unique_ptr<BaseDeTest> m_base;
};

void TestDetails::texte_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("honoraires: taux, montants, ni l'un ni l'autre")
        << "XHMA001" << 1
        << "Tarif: \t\t462,80\u00A0€ - ICR 308\r\n\r\n"
           "Liste des modificateurs:\r\n"
           "\tC - Acte réalisé chez un enfant de moins de trois ans\t\t20%\u00A0(92,56\u00A0€)\r\n"
           "\tI - Acte réalisé en urgence la nuit, entre 20 heures et 8 heures\t\t40,00\u00A0€\r\n"
           "\t1 - Acte réalisé en urgence un dimanche ou un jour férié\t\t22,50\u00A0€\r\n"
           "\t2 - Acte réalisé par un praticien de l'équipe de garde de "
           "l'établissement\t\t11,5%\u00A0(53,22\u00A0€)\r\n"
           "\t0 - Reprise chirurgicale dans les quinze jours suivant l'intervention "
           "initiale\t\t50%\u00A0(231,40\u00A0€)\r\n";
    QTest::newRow("honoraires: aucun modificateur") << "RPQP002" << 1
                                                    << "Tarif: \t\t76,80\u00A0€ - ICR 51\r\n\r\n"
                                                       "Liste des modificateurs:\r\n"
                                                       "\tAucun modificateur";
    QTest::newRow("activités associées")
        << "XHMA001" << 2
        << "Activités associées de l'acte XHMA001 :\r\n"
           "\tYSHB001 - Prélèvement peropératoire pour examen bactériologique\r\n"
           "\tYSNA001 - Supplément pour réalisation d'un acte chez un patient en état "
           "d'obésité morbide\r\n";
    QTest::newRow("aucune activité associée")
        << "RPQP002" << 2 << "Cet acte n'a pas d'activité associée";
    QTest::newRow("notes de trois niveaux, aucune propre")
        << "TEQP001" << 3
        << "Il n'existe aucune note pour l'acte TEQP001\r\n" + tirets +
               "\r\n01\r\n"
               "* Les actes de ce chapitre sont codés une seule fois par séance, quel que soit "
               "le nombre de sites explorés.\r\n"
               "* Par voie transcutanée, on entend : à travers la peau, sans incision.\r\n\t"
               "Par voie endoscopique, on entend : avec un endoscope introduit par un orifice "
               "naturel ou une incision.\r\n" +
               tirets +
               "\r\n01.01\r\n"
               "* Les actes diagnostiques comprennent le compte rendu écrit de l'examen.\r\n" +
               tirets +
               "\r\n01.01.01\r\n"
               "* L'enregistrement comprend :\r\n\t- la pose et le retrait des électrodes\r\n\t- "
               "l'analyse du tracé\r\n\t- la remise du compte rendu au patient\r\n";
    QTest::newRow("notes propres et note du niveau 4")
        << "XHMA001" << 3
        << "Notes d'utilisation pour l'acte: XHMA001\r\n"
           "* Comprend :\r\n\t- la résection de la tête fémorale\r\n\t- la préparation du "
           "cotyle\r\n\t- la mise en place des implants\r\n"
           "* Avec ou sans : ténotomie des muscles pelvitrochantériens.\r\n" +
               tirets +
               "\r\n05.01.01.01\r\n"
               "* Comprend : la préparation des surfaces articulaires et la mise en place des "
               "pièces prothétiques.\r\n\tÀ l'exclusion de : la reprise de prothèse (cf "
               "05.01.01.02)\r\n";
    QTest::newRow("aucune note") << "RPQP002" << 3
                                 << "Il n'existe aucune note pour l'acte RPQP002\r\n";
    QTest::newRow("hiérarchie à quatre niveaux")
        << "TEQP001" << 4
        << "Hiérarchie complète de cet acte :\r\n\r\n"
           "01\t\tSYSTÈME NERVEUX\r\n"
           "01.01\t\tActes diagnostiques sur le système nerveux\r\n"
           "01.01.01\t\tExplorations électrophysiologiques du système nerveux\r\n"
           "01.01.01.01\tÉlectroencéphalographie";
    QTest::newRow("hiérarchie à trois niveaux")
        << "RPQP002" << 4
        << "Hiérarchie complète de cet acte :\r\n\r\n"
           "03\t\tAPPAREIL RESPIRATOIRE\r\n"
           "03.01\t\tActes diagnostiques sur l'appareil respiratoire\r\n"
           "03.01.02\t\tExplorations fonctionnelles respiratoires";
    QTest::newRow("sans position") << "INC0100" << 4 << "";
    QTest::newRow("procédure") << "WBFA003" << 5
                               << "Décomposition de cette procédure :\r\n"
                                  "\t** Code N°1 **\r\nWBFA001 - Cholécystectomie, par "
                                  "cœlioscopie\r\n"
                                  "\t** Code N°2 **\r\nWBQA001 - Cholangiographie "
                                  "peropératoire, par cathétérisme du canal cystique\r\n"
                                  "\r\n\r\n"
                                  "Cet acte n'appartient à aucune procédure";
    QTest::newRow("composant d'une procédure")
        << "WBQA001" << 5
        << "Cet acte n'est pas une procédure\r\n\r\n"
           "Procédures qui contiennent cet acte :\r\n"
           "\t** Procédure N°1 **\r\nWBFA003 - Cholécystectomie avec cholangiographie "
           "peropératoire, par cœlioscopie\r\n";
    QTest::newRow("incompatible, stocké dans les deux sens")
        << "TEQP001" << 6
        << "Actes incompatibles avec l'acte TEQP001 :\r\n"
           "TEQP002 - Électroencéphalogramme prolongé avec enregistrement vidéo, d'une durée "
           "de plus de 4 heures\r\n";
    QTest::newRow("aucune incompatibilité")
        << "RPQP002" << 6 << "Cet acte n'a pas d'acte incompatible";
    QTest::newRow("exonération et regroupement")
        << "TEQP001" << 7
        << "Acte sans exonération particulière du ticket modérateur\r\n"
           "Actes d'exploration fonctionnelle";
    QTest::newRow("regroupement seul") << "YSNA001" << 7 << "\r\nActes de chirurgie";
    QTest::newRow("ni l'un ni l'autre") << "INC0100" << 7 << "\r\n";
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
    QTEST(texteDetailsActe(lireActe(code), 6), "attendu");
}

void TestDetails::honorairesPointDecimal() {
    QLocale::setDefault(QLocale::c());
    const QString texte = texteDetailsActe(lireActe("XHMA001"), 1);
    QVERIFY(texte.startsWith("Tarif: \t\t462.80\u00A0€ - ICR 308\r\n"));
    QVERIFY(texte.contains("\t\t20%\u00A0(92.56\u00A0€)\r\n"));
    QVERIFY(texte.contains("\t\t22.50\u00A0€\r\n"));
    QVERIFY(texte.contains("\t\t11.5%\u00A0(53.22\u00A0€)\r\n"));
}

void TestDetails::sansActeOuSection() {
    QCOMPARE(texteDetailsActe(nullptr, 1), QString());
    QCOMPARE(texteDetailsActe(std::make_shared<Recordset>(), 1), QString());
    QCOMPARE(texteDetailsActe(lireActe("XHMA001"), 0), QString());
    QCOMPARE(texteDetailsActe(lireActe("XHMA001"), 8), QString());
}

// The classifying line and the fee line say only what the act's row says: a
// NULL flag or ICR (the national spreadsheet gives neither) is not read as
// "no" or as nothing after "ICR".
void TestDetails::ceQueDisentLesDonnees_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("classant");
    QTest::addColumn<QString>("honoraires");

    QTest::newRow("classant, ICR") << "TEQP001"
                                   << "TEQP001 est un acte classant"
                                   << "Tarif: \t\t56,40\u00A0€ - ICR 38\r\n\r\n";
    QTest::newRow("non classant, ICR") << "VCQP001"
                                       << "VCQP001 n'est pas un acte classant"
                                       << "Tarif: \t\t14,26\u00A0€ - ICR 9\r\n\r\n";
    QTest::newRow("ni caractère classant ni ICR")
        << "INC0100"
        << "INC0100 : caractère classant non précisé dans cette version de la CCAM"
        << "Tarif: \t\t10,00\u00A0€\r\n\r\n";
}

void TestDetails::ceQueDisentLesDonnees() {
    QFETCH(QString, code);
    RecordsetPtr acte = lireActe(code);
    acte->MoveFirst();
    QTEST(texteActeClassant(code, acte->Fields("Caractere_classant")), "classant");
    QFETCH(QString, honoraires);
    const QString texte = texteDetailsActe(acte, SectionHonoraires);
    QVERIFY2(texte.startsWith(honoraires), qPrintable(texte));
    QCOMPARE(texte.count("ICR"), honoraires.count("ICR"));
}

// An empty list of incompatible acts or procedures means "none" only when
// the loaded rules come from a source that knows the act. The sources are
// set as a load records them: the demonstration classification (complete),
// a CNAM base that knows only TEQP001 and TEFA001, or no rule file.
void TestDetails::selonLaSourceDesRegles_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("attendu");
    const QString teqp002 = "TEQP002 - Électroencéphalogramme prolongé avec enregistrement vidéo, "
                            "d'une durée de plus de 4 heures\r\n";
    QTest::newRow("classification complète")
        << "demonstration"
        << "TEFA001" << 6 << "Cet acte n'a pas d'acte incompatible";
    QTest::newRow("connu de la base, une paire")
        << "base"
        << "TEQP001" << 6 << "Actes incompatibles avec l'acte TEQP001 :\r\n" + teqp002;
    QTest::newRow("connu de la base, aucune paire")
        << "base"
        << "TEFA001" << 6 << "Cet acte n'a pas d'acte incompatible";
    QTest::newRow("inconnu de la base")
        << "base"
        << "VCKA001" << 6
        << "Les actes incompatibles avec l'acte VCKA001 ne sont pas connus : la base CCAM de la "
           "CNAM version 34 du 12/02/2014, d'où viennent les incompatibilités chargées, ne "
           "connaît pas cet acte.";
    QTest::newRow("inconnu de la base, paire des notes")
        << "base"
        << "TEQP002" << 6
        << "Actes incompatibles avec l'acte TEQP002 :\r\nTEQP001 - Électroencéphalogramme de "
           "repos d'une durée de 20 à 40 minutes\r\n\r\nCette liste ne vient que des notes "
           "d'utilisation : la base CCAM de la CNAM version 34 du 12/02/2014, d'où viennent les "
           "incompatibilités chargées, ne connaît pas cet acte.";
    QTest::newRow("aucune source")
        << "aucune"
        << "TEFA001" << 6
        << "Les actes incompatibles avec l'acte TEFA001 ne sont pas connus : la CCAM chargée ne "
           "comporte pas de liste d'actes incompatibles.";
    QTest::newRow("procédures, aucune source")
        << "aucune"
        << "TEFA001" << 5
        << "On ne sait pas si cet acte est une procédure ni à quelles procédures il appartient : "
           "la CCAM chargée ne comporte pas de liste de procédures.";
    QTest::newRow("procédures, inconnu de la base")
        << "base"
        << "VCKA001" << 5
        << "On ne sait pas si cet acte est une procédure ni à quelles procédures il appartient : "
           "la base CCAM de la CNAM version 34 du 12/02/2014, d'où viennent les procédures "
           "chargées, ne connaît pas cet acte.";
}

void TestDetails::selonLaSourceDesRegles() {
    QFETCH(QString, source);
    QFETCH(QString, code);
    QFETCH(int, section);
    const BaseDeTest& base = *m_base;
    if (source == "base") {
        base.executer("UPDATE Sources_Regles SET Base = 'base CCAM de la CNAM', Version = '34', "
                      "Date_Base = '12/02/2014', Tous_Actes = 0");
        base.executer("INSERT INTO Sources_Regles_Actes (Regle, AMCODE) VALUES "
                      "('INCOMPATIBILITES', 'TEQP001'), ('INCOMPATIBILITES', 'TEFA001'), "
                      "('PROCEDURES', 'TEQP001'), ('PROCEDURES', 'TEFA001')");
    } else if (source == "aucune") {
        base.executer("UPDATE Sources_Regles SET Base = NULL, Tous_Actes = 0");
    }
    const QString texte = texteDetailsActe(lireActe(code), qint16(section));
    base.executer("UPDATE Sources_Regles SET Base = 'classification de démonstration (inventée)', "
                  "Version = NULL, Date_Base = NULL, Tous_Actes = 1");
    base.executer("DELETE FROM Sources_Regles_Actes");
    QTEST(texte, "attendu");
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

// Amounts in euros: two decimals, a non-breaking space before "€".
void TestDetails::formaterMontant_data() {
    QTest::addColumn<double>("valeur");
    QTest::addColumn<QString>("francais");
    QTest::newRow("une décimale") << 171.4 << "171,40\u00A0€";
    QTest::newRow("arrondi, zéros gardés") << 9.999 << "10,00\u00A0€";
    QTest::newRow("moins d'un euro") << 0.5 << "0,50\u00A0€";
    QTest::newRow("négatif") << -3.5 << "-3,50\u00A0€";
}

void TestDetails::formaterMontant() {
    QFETCH(double, valeur);
    QFETCH(QString, francais);
    QCOMPARE(::formaterMontant(valeur), francais);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(::formaterMontant(valeur), QString(francais).replace(',', '.'));
}

QTEST_GUILESS_MAIN(TestDetails)
#include "tst_details.moc"
