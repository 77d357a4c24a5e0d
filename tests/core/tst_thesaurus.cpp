// The doctor with his thesaurus in memory, and the three-level data of the
// thesaurus report for a doctor and for a unit.

#include "BaseDeTest.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "Thesaurus.h"
#include "ThesaurusDeTest.h"
#include "ThesaurusUM.h"

#include <QtTest>

namespace {
// One line per category, act and line under an act, with every field.
QString decrire(const Thesaurus& t) {
    QString s;
    for (const LigneCategorieThesaurus& c : t.getThesaurus()) {
        s += QStringLiteral("C %1|%2\n").arg(c.numCat).arg(c.Categorie);
        for (const LigneActeThesaurus& a : c.Actes) {
            s += QStringLiteral("  A %1|%2|%3|%4\n")
                     .arg(a.codeActe)
                     .arg(a.numCat)
                     .arg(a.idActe, a.LibActe);
            for (const LignePhaseThesaurus& p : a.Phases)
                s += QStringLiteral("    P %1|%2\n").arg(p.Phase, p.idActe);
        }
    }
    return s;
}

// Expected rows of one category: "%C" stands for its code.
QString dansCategorie(QString lignes, long code) {
    return lignes.replace(QStringLiteral("%C"), QString::number(code));
}

QStringList decrire(const Medecin& m) {
    QStringList l;
    for (const Categorie& c : m.listeCat) {
        QString s = QString::number(c.code) + ' ' + c.libelle + ':';
        for (const Acte& a : c.listeActes)
            s += ' ' + a.code + '/' + a.activite + '/' + a.libelle;
        l << s;
    }
    return l;
}
} // namespace

class TestThesaurus : public QObject {
    Q_OBJECT

private slots:
    void init() { reinitialiserEtatGlobal(); }

    void remplirDonnees();
    void remplirDonneesInconnuOuVide();
    void remplirThesaurusMED();
    void actesRetiresMontres_data();
    void actesRetiresMontres();
    void operationsEnMemoire();
    void rapportMedecin();
    void rapportUnite();
    void rapportSansCategorie();
    void rapportLuDesTables_data();
    void rapportLuDesTables();
    void detruireEtRemplirDeuxFois();
};

void TestThesaurus::remplirDonnees() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    Medecin m;
    m.code = "MED1";
    m.remplirDonnees();
    QCOMPARE(m.libelle, QString("Dr Martin"));
    QCOMPARE(m.CN, QString("12345"));
    QCOMPARE(m.UM, QString("UM1"));
    QCOMPARE(m.activite, QString("1"));
    QCOMPARE(m.UTI, 7L);
    QVERIFY(m.listeCat.isEmpty());
}

void TestThesaurus::remplirDonneesInconnuOuVide() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    MessagesScriptes messages;
    Medecin inconnu;
    inconnu.code = "NUL";
    inconnu.remplirDonnees();
    QVERIFY(inconnu.libelle.isEmpty() && inconnu.UM.isEmpty() && inconnu.UTI == 0);
    Medecin vide;
    vide.libelle = "garde";
    vide.remplirDonnees();
    QCOMPARE(vide.libelle, QString("garde"));
    QVERIFY(messages.journal().empty());
}

void TestThesaurus::remplirThesaurusMED() {
    BaseDeTest base;
    const ThesaurusDeTest t = remplirThesaurusDeTest(base);
    Medecin m;
    m.code = "MED1";
    m.listeCat.push_back(Categorie{99, "ancienne", {}});
    m.remplirThesaurusMED();
    // Label order; an act with two activities twice; FANT001, absent from the
    // classification, kept with no label (no load recorded its retirement).
    QCOMPARE(decrire(m),
             QStringList({
                 QString("%1 Autres:").arg(t.autres),
                 QString("%1 Bilan: ACTE001/1/Acte un, premier temps "
                         "ACTE001/4/Acte un, premier temps ACTE002//Acte deux")
                     .arg(t.bilan),
                 QString("%1 Zèbre: ACTE001//Acte un, premier temps FANT001//").arg(t.zebre),
             }));
}

// Every stored act is shown, in the unit tree and in the unit's report: one
// of the loaded version as it is, one a load retired with its last label and
// retirement, one no load recorded with its code alone.
void TestThesaurus::actesRetiresMontres_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("noeud");
    QTest::addColumn<QString>("rapport");
    QTest::newRow("présent") << "ACTE001"
                             << "ACTE001  -  Acte un, premier temps"
                             << "Acte un, premier temps";
    QTest::newRow("retiré, enregistré")
        << "RETI001"
        << "RETI001  -  Ancien acte (retiré de la CCAM en version 81)"
        << "Ancien acte (retiré de la CCAM en version 81)";
    QTest::newRow("absent, non enregistré") << "FANT001"
                                            << "FANT001  -  (retiré de la CCAM)"
                                            << "(retiré de la CCAM)";
}

void TestThesaurus::actesRetiresMontres() {
    QFETCH(QString, code);
    BaseDeTest base;
    base.executer("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('UM9', 'Unité')");
    base.executer("INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Complet) VALUES "
                  "('ACTE001', '1', '0', 'Acte un, premier temps')");
    base.executer("INSERT INTO Actes_Retires (AMCODE, Libelle, PositionH, Version_Retrait) "
                  "VALUES ('RETI001', 'Ancien acte', '01020300', '81')");
    base.executer("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (1, 'Seule', "
                  "'UM9')");
    base.executer("INSERT INTO Acte_Thesaurus (AT_Acte, AT_CAT, AT_ACTIVITE, AT_LIB) SELECT '" +
                  code + "', CT_CODE, '', '' FROM CategorieThesaurus");
    const QList<NoeudThesaurusUM> noeuds = noeudsThesaurusUM("UM9");
    QCOMPARE(noeuds.size(), 3);
    QTEST(noeuds.last().texte, "noeud");
    QCOMPARE(noeuds.last().retire, code != "ACTE001");
    ProgressionEnregistree progression;
    Thesaurus th;
    th.remplirThesaurusUM("UM9 - Unité");
    QCOMPARE(th.getThesaurus().size(), 1); // the category, whatever its act
    QTEST(th.getThesaurus().front().Actes.front().LibActe, "rapport");
}

void TestThesaurus::operationsEnMemoire() {
    BaseDeTest base;
    const ThesaurusDeTest t = remplirThesaurusDeTest(base);
    Medecin m;
    m.code = "MED1";
    m.remplirThesaurusMED();
    QVERIFY(!m.getCategorie(12345));
    QCOMPARE(m.getCategorie(t.zebre)->libelle, QString("Zèbre"));

    const QStringList avant = decrire(m);
    m.supprimerActe(t.bilan, "ACTE001", "9"); // no act of that activity
    m.supprimerActe(12345, "ACTE001", "1");   // no such category
    m.supprimerCat(12345);
    QCOMPARE(decrire(m), avant);

    m.supprimerActe(t.bilan, "ACTE001", "4");
    QCOMPARE(decrire(m).at(1), QString("%1 Bilan: ACTE001/1/Acte un, premier temps "
                                       "ACTE002//Acte deux")
                                   .arg(t.bilan));
    m.supprimerCat(t.autres);
    QCOMPARE(m.listeCat.size(), 2);
    QCOMPARE(m.listeCat.first().code, t.bilan);
}

void TestThesaurus::rapportMedecin() {
    BaseDeTest base;
    const ThesaurusDeTest t = remplirThesaurusDeTest(base);
    Medecin m;
    m.code = "MED1";
    m.remplirDonnees();
    m.remplirThesaurusMED();
    ProgressionEnregistree progression;
    Thesaurus th;
    th.remplirThesaurus(m);
    QCOMPARE(th.Medecin, QString("Dr Martin"));
    QCOMPARE(th.UM, QString("UM1 - Cardiologie"));
    // "Autres" (no act) is left out; the same act twice in "Bilan" keeps the
    // same idActe, and in "Zèbre" gets another one. Lines: phases, then the
    // complementary acts of the doctor's activity (1).
    const QString acte1 = "  A ACTE001|%C|%CACTE001|Acte un, premier temps\n"
                          "    P Première phase|%CACTE001\n"
                          "    P Deuxième phase|%CACTE001\n"
                          "    P COMP001 - Complément pour l'activité 1|%CACTE001\n";
    const QString attendu =
        dansCategorie("C %C|Bilan\n" + acte1 + acte1 + "  A ACTE002|%C|%CACTE002|Acte deux\n",
                      t.bilan) +
        dansCategorie("C %C|Zèbre\n" + acte1 + "  A FANT001|%C|%CFANT001|(retiré de la CCAM)\n",
                      t.zebre);
    QCOMPARE(decrire(th), attendu);
    // Every category, empty or not, advances the wait window.
    QCOMPARE(progression.journal, QStringList({"debut Chargement en cours... 4", "avancer 1",
                                               "avancer 1", "avancer 1", "fin"}));
}

void TestThesaurus::rapportUnite() {
    BaseDeTest base;
    const ThesaurusDeTest t = remplirThesaurusDeTest(base);
    ProgressionEnregistree progression;
    Thesaurus th;
    th.remplirThesaurusUM("UM1 - Cardiologie");
    QCOMPARE(th.Medecin, QString("UM1 - Cardiologie"));
    QCOMPARE(th.UM, QString());
    // No complementary act for a unit.
    // Acts of a category in code order.
    QCOMPARE(decrire(th), dansCategorie("C %C|Urgences\n"
                                        "  A ACTE001|%C|%CACTE001|Acte un, premier temps\n"
                                        "    P Première phase|%CACTE001\n"
                                        "    P Deuxième phase|%CACTE001\n"
                                        "  A ACTE002|%C|%CACTE002|Acte deux\n",
                                        t.urgences));
    QCOMPARE(progression.journal,
             QStringList({"debut Chargement en cours... 3", "avancer 1", "avancer 1", "fin"}));
}

void TestThesaurus::rapportSansCategorie() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    Thesaurus th;
    th.remplirThesaurusUM("UM9 - Inconnue");
    Medecin m;
    m.code = "MED9";
    m.remplirThesaurusMED();
    th.remplirThesaurus(m);
    QVERIFY(th.getThesaurus().isEmpty());
    QCOMPARE(th.UM, QString(" - "));
}

// The report of a doctor (MED2, activity 1) or of a unit (UM2) whose
// thesaurus the rows give, over the shared classification: every act of the
// thesaurus is read at once, and its lines must still go under the right
// act and category, in the order a reading act by act gives.
void TestThesaurus::rapportLuDesTables_data() {
    QTest::addColumn<QStringList>("lignes"); // "Catégorie: ACTE/activité ...", or SQL
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("attendu");
    QTest::newRow("phases de deux activités")
        << QStringList{"INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Phase, Libelle_Complet) "
                       "VALUES ('ACTE003', '4', '1', 'Induction', 'Acte trois'), ('ACTE003', "
                       "'1', '2', 'Seconde', 'Acte trois'), ('ACTE003', '1', '1', 'Première', "
                       "'Acte trois')",
                       "Bilan: ACTE003/1 ACTE002/1"}
        << 2 << QStringList{"Bilan",        "  ACTE002 Acte deux", "  ACTE003 Acte trois",
                            "    Première", "    Seconde",         "    Induction"};
    QTest::newRow("un complément de deux activités, deux fois")
        << QStringList{"INSERT INTO Actes_Associes VALUES ('ACTE002', '1', 'COMP001', '4'), "
                       "('ACTE002', '1', 'COMP002', '1'), ('ACTE002', '1', 'COMP001', '1'), "
                       "('ACTE002', '4', 'COMP002', '4')",
                       "Bilan: ACTE002/1", "Suite: ACTE001/1 ACTE002/4"}
        << 2
        << QStringList{"Bilan",
                       "  ACTE002 Acte deux",
                       "    COMP001 - Complément pour l'activité 1",
                       "    COMP001 - Complément pour l'activité 1",
                       "    COMP002 - Complément pour l'activité 4",
                       "Suite",
                       "  ACTE001 Acte un, premier temps",
                       "    Première phase",
                       "    Deuxième phase",
                       "    COMP001 - Complément pour l'activité 1",
                       "  ACTE002 Acte deux",
                       "    COMP001 - Complément pour l'activité 1",
                       "    COMP001 - Complément pour l'activité 1",
                       "    COMP002 - Complément pour l'activité 4"};
    QTest::newRow("deux catégories du même libellé, un acte deux fois")
        << QStringList{"Urgences: ACTE002", "Urgences: ACTE001 FANT001",
                       "Vide:", "Autres: ACTE002 ACTE002"}
        << 1
        << QStringList{"Autres",
                       "  ACTE002 Acte deux",
                       "Urgences",
                       "  ACTE002 Acte deux",
                       "Urgences",
                       "  ACTE001 Acte un, premier temps",
                       "    Première phase",
                       "    Deuxième phase",
                       "  FANT001 (retiré de la CCAM)"};
}

void TestThesaurus::rapportLuDesTables() {
    QFETCH(QStringList, lignes);
    QFETCH(int, type);
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    const QString lien = type == 2 ? "MED2" : "UM2";
    for (const QString& l : lignes) {
        if (l.startsWith("INSERT")) {
            base.executer(l);
            continue;
        }
        const QStringList mots = l.split(' ', Qt::SkipEmptyParts);
        base.executer(QString("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES "
                              "(%1, '%2', '%3')")
                          .arg(type)
                          .arg(mots.first().chopped(1), lien));
        for (const QString& a : mots.mid(1))
            base.executer(QString("INSERT INTO Acte_Thesaurus SELECT '%1', max(CT_CODE), '%2', '' "
                                  "FROM CategorieThesaurus")
                              .arg(a.section('/', 0, 0), a.section('/', 1)));
    }
    Thesaurus th;
    if (type == 2) {
        Medecin m;
        m.code = lien;
        m.activite = "1";
        m.remplirThesaurusMED();
        th.remplirThesaurus(m);
    } else {
        th.remplirThesaurusUM(lien + " - Unité");
    }
    QStringList lu;
    for (const LigneCategorieThesaurus& c : th.getThesaurus()) {
        lu << c.Categorie;
        for (const LigneActeThesaurus& a : c.Actes) {
            lu << "  " + a.codeActe + ' ' + a.LibActe;
            QCOMPARE(a.idActe, QString::number(c.numCat) + a.codeActe);
            for (const LignePhaseThesaurus& p : a.Phases)
                lu << "    " + p.Phase;
        }
    }
    QTEST(lu, "attendu");
}

void TestThesaurus::detruireEtRemplirDeuxFois() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    Thesaurus th;
    th.remplirThesaurusUM("UM1 - Cardiologie");
    th.remplirThesaurusUM("UM1 - Cardiologie");
    QCOMPARE(th.getThesaurus().size(), 2);
    th.detruireThesaurus();
    QVERIFY(th.getThesaurus().isEmpty());
}

QTEST_GUILESS_MAIN(TestThesaurus)
#include "tst_thesaurus.moc"
