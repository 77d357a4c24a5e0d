// The query shapes the translation layer gives so that an index serves a
// query (TraductionJet.h) return the rows of the texts as written, in the
// same order, on the national classification V81 and on the same made three
// times larger, on either backend.

#include "BaseDeTest.h"
#include "CcamAgrandie.h"
#include "Data.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "RechercheMotCle.h"
#include "TraductionJet.h"
#include "adCCAM.h"

#include <QDir>
#include <QTest>
#include <memory>

class tst_formesRequetes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void prefixeEnIntervalle_data();
    void prefixeEnIntervalle();
    void balayageSansIndex_data();
    void balayageSansIndex();

private:
    // Every row of the query as the program runs it, its fields joined.
    static QStringList lignes(const QString& sql);
    void comparer();

    QTemporaryDir m_dossier;
    std::unique_ptr<BaseDeTest> m_v81, m_triple;
    long long m_lignesV81 = 0;
};

void tst_formesRequetes::initTestCase() {
    const QString ccam = dossierCcamNational();
    if (ccam.isEmpty())
        QSKIP("Dossier CCAM national absent (TARVENOR_CCAM_DIR) : les formes sont comparées sur "
              "la classification nationale seulement.");
    const QString tableur = QDir(ccam).filePath(QStringLiteral("ccam_v81.csv"));
    const QString triple = ecrireCcamAgrandie(tableur, 3, m_dossier.path());
    QVERIFY(!triple.isEmpty());
    m_v81 = std::make_unique<BaseDeTest>();
    ImportCcam(tableur, ccam).charger(m_v81->chemin());
    m_lignesV81 = m_v81->compter(QStringLiteral("SELECT count(*) FROM CCAM"));
    QVERIFY(m_lignesV81 > 10000);
    m_triple = std::make_unique<BaseDeTest>();
    ImportCcam(triple, ccam).charger(m_triple->chemin());
    // Every act three times, each under its own code.
    QCOMPARE(m_triple->compter(QStringLiteral("SELECT count(*) FROM CCAM")), 3 * m_lignesV81);
    cheminBase = m_v81->chemin();
    const long long codes =
        m_v81->compter(QStringLiteral("SELECT count(DISTINCT AMCODE) FROM CCAM"));
    cheminBase = m_triple->chemin();
    QCOMPARE(m_triple->compter(QStringLiteral("SELECT count(DISTINCT AMCODE) FROM CCAM")),
             3 * codes);
}

void tst_formesRequetes::cleanupTestCase() {
    m_triple.reset();
    m_v81.reset();
}

QStringList tst_formesRequetes::lignes(const QString& sql) {
    RecordsetPtr rs = Data().CreeRecordset(sql);
    QStringList l;
    for (; !rs->isEOF(); rs->MoveNext()) {
        QStringList champs;
        for (int i = 0; i < rs->FieldCount(); ++i)
            champs << rs->Fields(i).toString();
        l << champs.join(u'|');
    }
    return l;
}

// The row's query, run in the program's shape then as written, on the row's
// classification: the same rows in the same order, and as many as expected
// (at least one when the row says so).
void tst_formesRequetes::comparer() {
    QFETCH(bool, triple);
    QFETCH(QString, sql);
    QFETCH(bool, trouve);
    cheminBase = (triple ? m_triple : m_v81)->chemin();
    const Dialecte dialecte = testsSurServeur() ? Dialecte::Postgres : Dialecte::Sqlite;
    QString ecrit;
    QStringList attendues;
    {
        FormesTelles formes;
        ecrit = traduireJet(sql, dialecte);
        attendues = lignes(sql);
    }
    // The row does compare two shapes.
    QVERIFY2(traduireJet(sql, dialecte) != ecrit, qPrintable(ecrit));
    QCOMPARE(lignes(sql), attendues);
    QCOMPARE(!attendues.isEmpty(), trouve);
}

void tst_formesRequetes::prefixeEnIntervalle_data() {
    QTest::addColumn<bool>("triple");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("trouve");
    for (const bool triple : {false, true}) {
        const char* base = triple ? "×3" : "V81";
        for (const char* organe : {"HB", "AA", "EG", "ZZ", "YY", "JA"})
            QTest::addRow("%s, organe %s", base, organe)
                << triple << adCCAM::sqlGetListActes_ParOrgane(QString::fromLatin1(organe)) << true;
        // Codes are stored in capitals: the exact test is case-sensitive.
        QTest::addRow("%s, organe en minuscules", base)
            << triple << adCCAM::sqlGetListActes_ParOrgane(QStringLiteral("hb")) << false;
        QTest::addRow("%s, organe absent", base)
            << triple << adCCAM::sqlGetListActes_ParOrgane(QStringLiteral("H9")) << false;
        QTest::addRow("%s, organe avec apostrophe", base)
            << triple << adCCAM::sqlGetListActes_ParOrgane(QStringLiteral("H'")) << false;
        QTest::addRow("%s, chapitres de 01", base)
            << triple << adCCAM::sqlGetHierar(2, "01") << true;
        QTest::addRow("%s, chapitres de 19 (le dernier)", base)
            << triple << adCCAM::sqlGetHierar(2, "19") << true;
        QTest::addRow("%s, sous-chapitres de 01.01", base)
            << triple << adCCAM::sqlGetHierar(3, "01.01") << true;
        QTest::addRow("%s, sous-chapitres de 08.02.02", base)
            << triple << adCCAM::sqlGetHierar(4, "08.02.02") << true;
        QTest::addRow("%s, actes d'un organe en jointure", base)
            << triple
            << QStringLiteral("SELECT CCAM.AMCODE, Acte_Modificateur.Modificateur FROM CCAM "
                              "INNER JOIN Acte_Modificateur ON Acte_Modificateur.AMCODE = "
                              "CCAM.AMCODE WHERE NOT Mid(CCAM.AMCODE,1,3) = 'HBG' AND "
                              "Mid(CCAM.AMCODE,1,1) = 'H' ORDER BY CCAM.AMCODE, "
                              "Acte_Modificateur.Modificateur, CCAM.Activite, CCAM.Phase")
            << true;
    }
}

void tst_formesRequetes::prefixeEnIntervalle() {
    comparer();
}

void tst_formesRequetes::balayageSansIndex_data() {
    if (testsSurServeur())
        QSKIP("Forme propre à SQLite : le serveur lit les libellés par ses index de trigrammes.");
    QTest::addColumn<bool>("triple");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("trouve");
    using RechercheMotCle::motsCles;
    using RechercheMotCle::sqlRecherche;
    for (const bool triple : {false, true}) {
        const char* base = triple ? "×3" : "V81";
        const struct {
            const char* nom;
            const char* saisie;
            bool trouve;
        } recherches[] = {
            {"un mot", "rein", true},
            {"deux mots, deux blancs", "biopsie  foie", true},
            {"mot court, beaucoup de lignes", "os", true},
            {"apostrophe", "l'os", true},
            {"accent plié", "échographie", true},
            {"mot absent", "zzyzx", false},
            {"trois mots", "par voie ouverte", true},
            {"joker pour cent", "ablation%rein", true},
            {"joker souligné", "h_matome", true},
        };
        for (const auto& r : recherches)
            QTest::addRow("%s, %s", base, r.nom)
                << triple << sqlRecherche(motsCles(QString::fromUtf8(r.saisie)), false) << r.trouve;
    }
}

void tst_formesRequetes::balayageSansIndex() {
    comparer();
}

QTEST_GUILESS_MAIN(tst_formesRequetes)
#include "tst_formesRequetes.moc"
