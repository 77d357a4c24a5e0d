// The command-line tools run as a user runs them: exit status, what they
// print, and the database they are given left as it was when they fail.

#include "BaseDeTest.h"
#include "Data.h"
#include "FichiersDeTest.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Resultat {
    int statut = -1;
    QString sortie;
    QString erreurs;
};

Resultat lancer(const QString& outil, const QStringList& arguments) {
    QProcess p;
    p.start(QDir(QStringLiteral(TARVENOR_OUTILS_DIR)).filePath(outil), arguments);
    Resultat r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.statut = p.exitCode();
    r.sortie = QString::fromUtf8(p.readAllStandardOutput());
    r.erreurs = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString donnees(const QString& nom) {
    return QDir(QStringLiteral(TARVENOR_TESTS_DIR "/data")).filePath(nom);
}

} // namespace

class TestOutils : public QObject {
    Q_OBJECT

private slots:
    void importReussi();
    void importRefuse_data();
    void importRefuse();
    void demonstration();
    void rapports();
};

void TestOutils::importReussi() {
    QTemporaryDir dossier;
    const QString base = QDir(dossier.path()).filePath(QStringLiteral("nouvelle.mdb"));
    const Resultat r =
        lancer(QStringLiteral("tarvenor_import"),
               {donnees(QStringLiteral("ccam_mini.csv")), base, QStringLiteral("--references"),
                donnees(QStringLiteral("references_mini"))});
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    QVERIFY2(r.sortie.contains(QStringLiteral("Chapitres par niveau : 2 / 2 / 4 / 1")),
             qPrintable(r.sortie));
    QVERIFY2(r.sortie.contains(QStringLiteral("Non pris en charge")), qPrintable(r.sortie));
    QCOMPARE(colonne(Data(base).CreeRecordset(QStringLiteral("SELECT count(DISTINCT AMCODE) FROM "
                                                             "CCAM"))),
             QStringList{QStringLiteral("4")});
    Data::fermerConnexions();
}

void TestOutils::importRefuse_data() {
    QTest::addColumn<QByteArray>("tableur"); // null: the good spreadsheet; "<absent>", "<dossier>"
    QTest::addColumn<bool>("baseDansUnDossierAbsent");
    QTest::addColumn<int>("statut");
    QTest::addColumn<QString>("attendu"); // pattern of the error output
    QTest::newRow("en-tête") << QByteArray("CNAM - CCAM version 81,,,\nCode,,Libellé\n") << false
                             << 1 << "tableur\\.csv.*ligne 2";
    QTest::newRow("vide") << QByteArray("") << false << 1 << "tableur\\.csv.*vide";
    QTest::newRow("dossier absent") << QByteArray() << true << 1 << "absent.*n'existe pas";
    QTest::newRow("sans base") << QByteArray() << false << 2 << "Usage";
    QTest::newRow("tableur absent")
        << QByteArray("<absent>") << false << 1 << "absent\\.csv.*introuvable";
    QTest::newRow("tableur dossier")
        << QByteArray("<dossier>") << false << 1 << "tableur\\.csv.*est un dossier";
}

void TestOutils::importRefuse() {
    QFETCH(QByteArray, tableur);
    QFETCH(bool, baseDansUnDossierAbsent);
    QFETCH(int, statut);
    QFETCH(QString, attendu);
    QTemporaryDir dossier;
    QString csv = donnees(QStringLiteral("ccam_mini.csv"));
    if (tableur == "<absent>") {
        csv = QDir(dossier.path()).filePath(QStringLiteral("absent.csv"));
    } else if (tableur == "<dossier>") {
        csv = QDir(dossier.path()).filePath(QStringLiteral("tableur.csv"));
        QVERIFY(QDir().mkdir(csv));
    } else if (!tableur.isNull()) {
        csv = QDir(dossier.path()).filePath(QStringLiteral("tableur.csv"));
        ecrireOctets(csv, tableur);
    }
    BaseDeTest base(true);
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());
    QStringList arguments{csv};
    if (statut != 2)
        arguments << (baseDansUnDossierAbsent
                          ? QDir(dossier.path()).filePath(QStringLiteral("absent/b.mdb"))
                          : base.chemin());
    const Resultat r = lancer(QStringLiteral("tarvenor_import"), arguments);
    QCOMPARE(r.statut, statut);
    QVERIFY2(r.erreurs.contains(QRegularExpression(attendu)), qPrintable(r.erreurs));
    QCOMPARE(lireOctets(base.chemin()), avant);
    QVERIFY(!QFileInfo::exists(QDir(dossier.path()).filePath(QStringLiteral("absent"))));
}

void TestOutils::demonstration() {
    QTemporaryDir dossier;
    const QString base = QDir(dossier.path()).filePath(QStringLiteral("demo.mdb"));
    Resultat r = lancer(QStringLiteral("tarvenor_demo"), {base});
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    QVERIFY(Data(base).ConnexionCorrecte());
    Data::fermerConnexions();
    // An existing file is never replaced.
    const QByteArray avant = lireOctets(base);
    r = lancer(QStringLiteral("tarvenor_demo"), {base});
    QCOMPARE(r.statut, 1);
    QVERIFY2(r.erreurs.contains(QStringLiteral("existe déjà")), qPrintable(r.erreurs));
    QCOMPARE(lireOctets(base), avant);
    QCOMPARE(lancer(QStringLiteral("tarvenor_demo"), {}).statut, 2);
}

void TestOutils::rapports() {
    QTemporaryDir dossier;
    const QString base = QDir(dossier.path()).filePath(QStringLiteral("demo.mdb"));
    QCOMPARE(lancer(QStringLiteral("tarvenor_demo"), {base}).statut, 0);
    const QList<QStringList> cas = {
        {QStringLiteral("dossier"), QStringLiteral("CMARTIN"), QStringLiteral("5")},
        {QStringLiteral("thesaurus-med"), QStringLiteral("CMARTIN")},
        {QStringLiteral("thesaurus-um"), QStringLiteral("ORTH")},
    };
    for (const QStringList& c : cas) {
        const QString pdf = QDir(dossier.path()).filePath(c.first() + QStringLiteral(".pdf"));
        const Resultat r =
            lancer(QStringLiteral("tarvenor_rapport"), QStringList{base} + c + QStringList{pdf});
        QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
        QVERIFY2(r.sortie.startsWith(QStringLiteral("1 page(s) écrite(s)")), qPrintable(r.sortie));
        QVERIFY(lireOctets(pdf).startsWith("%PDF"));
    }
    // A PDF that cannot be written: a French message, nothing left behind.
    const QString absent = QDir(dossier.path()).filePath(QStringLiteral("absent/x.pdf"));
    const Resultat r =
        lancer(QStringLiteral("tarvenor_rapport"),
               {base, QStringLiteral("thesaurus-um"), QStringLiteral("ORTH"), absent});
    QCOMPARE(r.statut, 1);
    QVERIFY2(r.erreurs.contains(QStringLiteral("n'existe pas")), qPrintable(r.erreurs));
    QCOMPARE(lancer(QStringLiteral("tarvenor_rapport"), {base, QStringLiteral("autre")}).statut, 2);
}

QTEST_GUILESS_MAIN(TestOutils)
#include "tst_outils.moc"
