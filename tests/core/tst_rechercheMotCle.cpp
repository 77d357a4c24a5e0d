// The keyword search text: folding, splitting and the SQL built from it,
// then the built SQL run on a database for the inputs users get wrong.

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Messages.h"
#include "RechercheMotCle.h"
#include "TraductionJet.h"

#include <QDir>
#include <QTest>
#include <QUrl>
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
    void trigrammesCommeLeBalayage();

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

namespace {

// Every row of the search for the words, each row's fields joined.
QStringList lignesRecherche(const QStringList& mots) {
    const RecordsetPtr rs = executerRecherche(mots, false);
    QStringList lignes;
    for (int l = 0; l < rs->RecordCount(); ++l) {
        QStringList champs;
        for (int c = 0; c < rs->FieldCount(); ++c)
            champs += rs->valeurLigne(l, c).toString();
        lignes += champs.join(QLatin1Char('|'));
    }
    return lignes;
}

const QStringList indexTrigrammes{QStringLiteral("idx_ccam_sans_accent_trgm"),
                                  QStringLiteral("idx_ccam_simplifie_trgm")};

QStringList indexTrigrammesPresents(const QString& uri) {
    return lignesSurServeur(uri, {QStringLiteral("SELECT indexname FROM pg_indexes WHERE "
                                                 "indexname LIKE '%trgm' ORDER BY indexname")});
}

} // namespace

// On a server the search's ILIKE conditions go through the labels' trigram
// indexes: a few hundred searches made of the labels' own words give, row
// for row, what the same searches give when the server must read every
// label; and a two-word search does use the indexes. With the national
// classification, the database first loses its indexes, as one installed
// before them, and the load gives them back.
void tst_rechercheMotCle::trigrammesCommeLeBalayage() {
    if (!testsSurServeur())
        QSKIP("Index de trigrammes propres au serveur PostgreSQL.");
    BaseDeTest base(true);
    const QString uri = base.chemin();
    QCOMPARE(indexTrigrammesPresents(uri), indexTrigrammes);
    const QString dossierCcam = dossierCcamNational();
    if (!dossierCcam.isEmpty()) {
        QCOMPARE(lignesSurServeur(uri, {QStringLiteral("DROP INDEX idx_ccam_sans_accent_trgm"),
                                        QStringLiteral("DROP INDEX idx_ccam_simplifie_trgm"),
                                        QStringLiteral("SELECT 1")}),
                 QStringList{QStringLiteral("1")});
        // Without its indexes, the database is still searched (by reading
        // every label).
        const QStringList premier = colonne(Data(uri).CreeRecordset(
            QStringLiteral("SELECT Libelle_sans_accent FROM CCAM WHERE Libelle_sans_accent <> "
                           "null ORDER BY AMCODE")));
        QVERIFY(!premier.isEmpty());
        QVERIFY(!lignesRecherche({motsCles(premier.first()).first()}).isEmpty());
        ImportCcam import(QDir(dossierCcam).filePath(QStringLiteral("ccam_v81.csv")), dossierCcam);
        import.charger(uri);
        QCOMPARE(indexTrigrammesPresents(uri), indexTrigrammes);
    } else {
        qInfo("Dossier CCAM national absent (TARVENOR_CCAM_DIR) : recherches tirées des "
              "libellés de démonstration.");
    }

    // The searches: one word, then two, from labels taken at regular steps.
    const QStringList libelles = colonne(Data(uri).CreeRecordset(QStringLiteral(
        "SELECT DISTINCT Libelle_sans_accent FROM CCAM WHERE Libelle_sans_accent <> null")));
    QVERIFY(!libelles.isEmpty());
    QList<QStringList> recherches;
    const int pas = qMax(1, int(libelles.size() / 150));
    for (int i = 0; i < libelles.size() && recherches.size() < 300; i += pas) {
        QStringList mots;
        for (const QString& m : motsCles(libelles[i]))
            if (m.size() >= 3)
                mots += m;
        if (mots.isEmpty())
            continue;
        recherches += QStringList{mots.first()};
        if (mots.size() > 1)
            recherches += QStringList{mots.first(), mots.last()};
        // A word's start, as typed so far: many labels hold it.
        recherches += QStringList{mots.last().left(3)};
    }
    QVERIFY2(recherches.size() >= (dossierCcam.isEmpty() ? 20 : 200),
             qPrintable(QString::number(recherches.size())));
    QList<QStringList> attendus;
    int nonVides = 0;
    for (const QStringList& mots : recherches) {
        attendus += lignesRecherche(mots);
        nonVides += !attendus.last().isEmpty();
    }
    QCOMPARE(nonVides, recherches.size());

    // A two-word search goes through both indexes (with the small
    // demonstration table, once reading it whole or in code order is ruled
    // out).
    const QString sqlDeuxMots =
        traduireJet(sqlRecherche({QStringLiteral("BIOPSIE"), QStringLiteral("FOIE")}, false),
                    Dialecte::Postgres);
    QStringList instructions{QStringLiteral("ANALYZE CCAM")};
    if (dossierCcam.isEmpty())
        instructions += {QStringLiteral("SET enable_seqscan = off"),
                         QStringLiteral("SET enable_indexscan = off")};
    instructions += QStringLiteral("EXPLAIN ") + sqlDeuxMots;
    const QString plan = lignesSurServeur(uri, instructions).join(QLatin1Char('\n'));
    for (const QString& index : indexTrigrammes)
        QVERIFY2(plan.contains(index, Qt::CaseInsensitive), qPrintable(plan));

    // The same searches with the server made to read every label.
    const QString nomBase = QUrl(uri).path().mid(1);
    QCOMPARE(executerSurServeur(
                 QStringLiteral("ALTER DATABASE %1 SET enable_bitmapscan = off").arg(nomBase)),
             QString());
    QCOMPARE(executerSurServeur(
                 QStringLiteral("ALTER DATABASE %1 SET enable_indexscan = off").arg(nomBase)),
             QString());
    Data::fermerConnexions();
    const QString planBalayage =
        lignesSurServeur(uri, {QStringLiteral("EXPLAIN ") + sqlDeuxMots}).join(QLatin1Char('\n'));
    QVERIFY2(!planBalayage.contains(QLatin1String("trgm"), Qt::CaseInsensitive),
             qPrintable(planBalayage));
    for (int i = 0; i < recherches.size(); ++i)
        QCOMPARE(lignesRecherche(recherches[i]), attendus[i]);
    Data::fermerConnexions();
}

QTEST_GUILESS_MAIN(tst_rechercheMotCle)
#include "tst_rechercheMotCle.moc"
