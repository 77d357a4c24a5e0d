// The keyword search text: folding, splitting and the SQL built from it,
// then the built SQL run on a database for the inputs users get wrong.

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "RechercheMotCle.h"

#include <QTest>
#include <memory>
#include <sqlite3.h>

using namespace RechercheMotCle;

namespace {
const QString debut = QStringLiteral(
    "select distinct AMCODE,Libelle_Court,cstr(Libelle_Complet)as Libelle_Complet from CCAM where");
}

class tst_rechercheMotCle : public QObject {
    Q_OBJECT
private slots:
    void mots_data();
    void mots();
    void sql_data();
    void sql();
    void saisiesDifficiles_data();
    void saisiesDifficiles();
    void likeContient_data();
    void likeContient();

private:
    std::unique_ptr<BaseDeTest> m_base; // one database for every LIKE row
};

void tst_rechercheMotCle::mots_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<QStringList>("attendus");
    QTest::newRow("un mot") << "appendicectomie" << QStringList{"appendicectomie"};
    QTest::newRow("deux blancs entre deux mots")
        << "rein  biopsie" << QStringList{"rein", "biopsie"};
    QTest::newRow("blancs autour") << "   rein   " << QStringList{"rein"};
    QTest::newRow("blancs seuls") << "     " << QStringList{};
    QTest::newRow("vide") << "" << QStringList{};
    QTest::newRow("apostrophe doublée") << "l'os" << QStringList{"l''os"};
    QTest::newRow("onze lettres pliées")
        << QString::fromUtf8("éèêàâïîôöûü") << QStringList{"eeeaaiioouu"};
    QTest::newRow("majuscule accentuée pliée")
        << QString::fromUtf8("École") << QStringList{"Ecole"};
    QTest::newRow("casse gardée") << QString::fromUtf8("FÉMUR fémur")
                                  << QStringList{"FEMUR", "femur"};
    QTest::newRow("autres accents pliés, ligature gardée")
        << QString::fromUtf8("ç œ ù ë") << QStringList{"c", QString::fromUtf8("œ"), "u", "e"};
}

void tst_rechercheMotCle::mots() {
    QFETCH(QString, saisie);
    QFETCH(QStringList, attendus);
    QCOMPARE(motsCles(saisie), attendus);
}

void tst_rechercheMotCle::sql_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<bool>("parCode");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("code, un mot") << "HHFA" << true
                                  << debut + " AMCODE like 'HHFA%' and Libelle_Complet <> null "
                                             "ORDER BY CCAM.AMCODE";
    QTest::newRow("code, deux préfixes")
        << "HH  ZZ" << true
        << debut + " AMCODE like 'HH%' and AMCODE like 'ZZ%' and Libelle_Complet <> null ORDER BY "
                   "CCAM.AMCODE";
    QTest::newRow("libellé, deux mots séparés par deux blancs")
        << QString::fromUtf8("appendicectomie  cœlioscopie") << false
        << debut +
               " (Libelle_sans_accent like '%appendicectomie%' OR Libelle_simplifie like "
               "'%appendicectomie%') and (Libelle_sans_accent like '%" +
               QString::fromUtf8("cœlioscopie") + "%' OR Libelle_simplifie like '%" +
               QString::fromUtf8("cœlioscopie") + "%') ORDER BY CCAM.AMCODE";
    QTest::newRow("libellé, apostrophe")
        << "l'appendice" << false
        << debut + " (Libelle_sans_accent like '%l''appendice%' OR Libelle_simplifie like "
                   "'%l''appendice%') ORDER BY CCAM.AMCODE";
    QTest::newRow("blancs seuls") << "   " << false << QString();
}

void tst_rechercheMotCle::sql() {
    QFETCH(QString, saisie);
    QFETCH(bool, parCode);
    QFETCH(QString, attendu);
    QCOMPARE(sqlRecherche(motsCles(saisie), parCode), attendu);
}

void tst_rechercheMotCle::saisiesDifficiles_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<bool>("parCode");
    QTest::addColumn<int>("lignes");
    QTest::newRow("libellé trouvé") << "appendice" << false << 1;
    QTest::newRow("deux mots, deux blancs") << "ablation  appendice" << false << 1;
    QTest::newRow("majuscules") << "APPENDICE" << false << 1;
    QTest::newRow("accent plié") << QString::fromUtf8("appendicé") << false << 1;
    QTest::newRow("apostrophe") << "l'appendice" << false << 1;
    QTest::newRow("guillemets") << "\"appendice\"" << false << 0;
    QTest::newRow("pourcentage") << "%" << true << 2;
    QTest::newRow("souligné") << "_" << true << 2;
    QTest::newRow("majuscule accentuée") << QString::fromUtf8("ÉTAT") << false << 0;
    QTest::newRow("majuscules accentuées trouvées")
        << QString::fromUtf8("APPENDICÉ LAPAROTOMIÉ") << false << 1;
    QTest::newRow("capitale à accent grave") << QString::fromUtf8("ÀBLATION") << false << 1;
    QTest::newRow("500 caractères") << QString(500, u'x') << false << 0;
    QTest::newRow("500 apostrophes") << QString(500, u'\'') << false << 0;
    QTest::newRow("deux préfixes de code") << "HHFA ZZ" << true << 0;
    QTest::newRow("code en minuscules") << "hhfa" << true << 1;
}

void tst_rechercheMotCle::saisiesDifficiles() {
    QFETCH(QString, saisie);
    QFETCH(bool, parCode);
    QFETCH(int, lignes);
    BaseDeTest base;
    base.executer("INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Complet, "
                  "Libelle_sans_accent, Libelle_simplifie) VALUES ('HHFA001', '1', '0', "
                  "'Appendicectomie, par laparotomie', 'ablation de l''appendice par laparotomie', "
                  "'appendicectomie laparotomie')");
    base.executer("INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Complet, "
                  "Libelle_sans_accent, Libelle_simplifie) VALUES ('ZZQP001', '1', '0', "
                  "'Autre acte', 'autre acte', 'autre acte')");
    MessagesScriptes messages;
    RecordsetPtr rs = accesDonnees.executSQL(sqlRecherche(motsCles(saisie), parCode));
    QVERIFY2(messages.journal().empty(), qPrintable(messages.textes().join('\n')));
    QVERIFY(rs);
    QCOMPARE(rs->RecordCount(), lignes);
}

// The label search's "%word%" patterns take a fast path in the database's
// LIKE: it must answer as SQLite's own matcher on ASCII text.
void tst_rechercheMotCle::likeContient_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("motif");
    const QStringList textes{
        "ablation de l'appendice", "APPENDICE", "appendic",       "", "a", "xxappendicexx",
        "appenappendice",          "aaab",      "Biopsie du FOIE"};
    const QStringList motifs{"%appendice%", "%APPENDICE%", "%aab%",       "%a%",   "%e%",
                             "%foie%",      "%%",          "%appen_ice%", "%d%e%", "%x",
                             "appendice%",  "%'%",         "%l'a%",       "%ab%"};
    for (const QString& t : textes)
        for (const QString& m : motifs)
            QTest::newRow(qPrintable(t + " | " + m)) << t << m;
}

void tst_rechercheMotCle::likeContient() {
    QFETCH(QString, texte);
    QFETCH(QString, motif);
    if (!m_base)
        m_base = std::make_unique<BaseDeTest>();
    const BaseDeTest& base = *m_base;
    const bool attendu =
        sqlite3_strlike(motif.toUtf8().constData(), texte.toUtf8().constData(), 0) == 0;
    QCOMPARE(
        base.compter("SELECT '" + doublerQuotes(texte) + "' LIKE '" + doublerQuotes(motif) + "'"),
        attendu ? 1LL : 0LL);
}

QTEST_GUILESS_MAIN(tst_rechercheMotCle)
#include "tst_rechercheMotCle.moc"
