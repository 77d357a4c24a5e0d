// The command-line tools run as a user runs them: exit status, what they
// print, and the database they are given left as it was when they fail.

#include "BaseDeTest.h"
#include "Data.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "Parametres.h"
#include "Session.h"
#include "Utilisateur.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

struct ResultatOutil {
    int statut = -1;
    QString sortie;
    QString erreurs;
};

// Runs the tool with `entree` on its standard input, in the folder
// `dossier` (empty: the test's). With `sansEcran`, there is no display at
// all: a tool that tried to open a window would abort.
ResultatOutil lancer(const QString& outil, const QStringList& arguments,
                     const QByteArray& entree = QByteArray(), const QString& dossier = QString(),
                     bool sansEcran = false) {
    QProcess p;
    if (sansEcran) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        p.setProcessEnvironment(env);
    }
    p.setWorkingDirectory(dossier);
    p.start(outil.startsWith('/') ? outil
                                  : QDir(QStringLiteral(TARVENOR_OUTILS_DIR)).filePath(outil),
            arguments);
    p.write(entree);
    p.closeWriteChannel();
    ResultatOutil r;
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

QString outil(const QString& nom) {
    return QDir(QStringLiteral(TARVENOR_OUTILS_DIR)).filePath(nom);
}

// A spreadsheet whose load takes a while: the national one when the shared
// folder is present, otherwise an invented one of 12,000 acts in its layout.
QString grandTableur(const QString& dossier) {
    const QString national = dossierCcamNational();
    if (!national.isEmpty())
        return QDir(national).filePath(QStringLiteral("ccam_v81.csv"));
    QByteArray t = "CNAM - CCAM version 99 (tableur inventé),,,,,,,,,,\n"
                   "Code,,Texte,Activité,Phase,Tarif,Tarif hors secteur 1,Rembt. ss Cdtions,"
                   "Accord Préalable,Exo. TM,Regroupement\n"
                   "1,,SYSTÈME INVENTÉ,,,,,,,,\n";
    int n = 0;
    for (int c = 1; c <= 24; ++c) {
        t += QStringLiteral("01.%1,,CHAPITRE INVENTÉ %2,,,,,,,,\n")
                 .arg(c, 2, 10, QChar('0'))
                 .arg(c)
                 .toUtf8();
        for (int s = 1; s <= 10; ++s) {
            const QString sc =
                QStringLiteral("01.%1.%2").arg(c, 2, 10, QChar('0')).arg(s, 2, 10, QChar('0'));
            t += (sc + QStringLiteral(",,Sous-chapitre inventé,,,,,,,,\n")).toUtf8();
            t += (sc + QStringLiteral(".01,,Paragraphe inventé,,,,,,,,\n")).toUtf8();
            for (int a = 0; a < 50; ++a, ++n) {
                const QString code = QStringLiteral("AB%1Z%2")
                                         .arg(QChar('A' + n / 1000))
                                         .arg(n % 1000, 3, 10, QChar('0'));
                t += QStringLiteral("%1,,\"Acte inventé numéro %2, d'un libellé aussi long que "
                                    "ceux de la classification\",1,0,51.84,51.84,,,2,ATM\n"
                                    ",,Note d'utilisation de l'acte inventé %2,,,,,,,,\n"
                                    ",,anesthésie,4,0,10.00,10.00,,,1,ADA\n")
                         .arg(code)
                         .arg(n)
                         .toUtf8();
            }
        }
    }
    t += "2,,SYSTÈME SECOND,,,,,,,,\n02.01,,MODIFICATEURS,,,,,,,,\n02.01.01,,Urgence,,,,,,,,\n"
         "O,,Acte en urgence,,,80.00,80.00,,,,\n";
    const QString chemin = QDir(dossier).filePath(QStringLiteral("grand.csv"));
    ecrireOctets(chemin, t);
    return chemin;
}

// What SQLite reads in a database, as the next program to open it reads it
// (a transaction left by a killed writer is rolled back): the quick check,
// then a hash of every row of every table.
QByteArray contenuLu(const QString& chemin) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "<illisible>";
    }
    QCryptographicHash h(QCryptographicHash::Sha1);
    const auto lire = [&](const QByteArray& sql) {
        QStringList lignes;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                lignes << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        sqlite3_finalize(st);
        return lignes;
    };
    const QStringList verification = lire("PRAGMA quick_check");
    for (const QString& table :
         lire("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"))
        h.addData(lire("SELECT * FROM \"" + table.toUtf8() + "\" ORDER BY rowid")
                      .join(QChar(0x1F))
                      .toUtf8());
    sqlite3_close(db);
    if (verification != QStringList{QStringLiteral("ok")})
        return "<endommagée> " + verification.join(' ').toUtf8();
    return h.result().toHex();
}

// Starts a tool (the import by default), kills it (SIGKILL) after delaiMs;
// true when it was still running then.
bool interrompre(const QStringList& arguments, int delaiMs,
                 const QString& nom = QStringLiteral("tarvenor_import")) {
    QProcess p;
    p.start(outil(nom), arguments);
    if (!p.waitForStarted())
        return false;
    QThread::msleep(static_cast<unsigned long>(delaiMs));
    const bool enCours = p.state() == QProcess::Running;
    p.kill();
    p.waitForFinished();
    return enCours && p.exitStatus() == QProcess::CrashExit;
}

} // namespace

class TestOutils : public QObject {
    Q_OBJECT

private slots:
    void importReussi();
    void importRefuse_data();
    void importRefuse();
    void importInterrompu();
    void importDeuxFoisIdentique();
    void disquePlein();
    void demonstration();
    void rapports();
    void migration();
    void migrationInterrompue();
    void deuxMigrationsEnMemeTempsSurLeServeur();
    void deuxDemonstrationsSurUneBaseVideDuServeur();
    void lignesDeCommande_data();
    void lignesDeCommande();
    void premierAdministrateur_data();
    void premierAdministrateur();
};

void TestOutils::importReussi() {
    QTemporaryDir dossier;
    const QString base = QDir(dossier.path()).filePath(QStringLiteral("nouvelle.mdb"));
    const ResultatOutil r =
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
    const ResultatOutil r = lancer(QStringLiteral("tarvenor_import"), arguments);
    QCOMPARE(r.statut, statut);
    QVERIFY2(r.erreurs.contains(QRegularExpression(attendu)), qPrintable(r.erreurs));
    QCOMPARE(lireOctets(base.chemin()), avant);
    QVERIFY(!QFileInfo::exists(QDir(dossier.path()).filePath(QStringLiteral("absent"))));
}

void TestOutils::importDeuxFoisIdentique() {
    // Two loads of one spreadsheet, each by its own process, write the same
    // rows in the same order: a file compared after a load, or a load cut
    // short after its commit, is told from another by its content alone.
    QTemporaryDir dossier;
    QByteArray contenus[2];
    for (int i = 0; i < 2; ++i) {
        const QString base = QDir(dossier.path()).filePath(QStringLiteral("b%1.mdb").arg(i));
        const ResultatOutil r = lancer(QStringLiteral("tarvenor_import"),
                                       {donnees(QStringLiteral("ccam_mini.csv")), base});
        QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
        contenus[i] = contenuLu(base);
    }
    QCOMPARE(contenus[1], contenus[0]);
}

void TestOutils::importInterrompu() {
    // kill -9 at several moments of a load: an existing database reads as it
    // was before (or, when the load had finished, as loaded); a new one is
    // absent from the target path, and the next load clears what was left.
    QTemporaryDir dossier;
    const QString tableur = grandTableur(dossier.path());
    BaseDeTest base(true);
    Data::fermerConnexions();
    const QByteArray original = lireOctets(base.chemin());
    const QByteArray avant = contenuLu(base.chemin());
    QVERIFY(!avant.startsWith('<'));

    QElapsedTimer chrono;
    chrono.start();
    ResultatOutil r = lancer(QStringLiteral("tarvenor_import"), {tableur, base.chemin()});
    const int duree = static_cast<int>(chrono.elapsed());
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    const QByteArray charge = contenuLu(base.chemin());
    QVERIFY(charge != avant && !charge.startsWith('<'));

    // Killed before its commit, the load leaves the database as it was;
    // killed after (the process still ending), it is whole.
    int interrompus = 0;
    for (const double moment : {0.1, 0.25, 0.4, 0.55, 0.7, 0.85}) {
        ecrireOctets(base.chemin(), original);
        const bool interrompu =
            interrompre({tableur, base.chemin()}, static_cast<int>(duree * moment));
        const QByteArray apres = contenuLu(base.chemin());
        QVERIFY2(
            apres == avant || apres == charge,
            qPrintable(
                QStringLiteral("à %1 de la durée : %2").arg(moment).arg(QString::fromUtf8(apres))));
        interrompus += interrompu && apres == avant;
    }
    QVERIFY2(interrompus >= 3, qPrintable(QString::number(interrompus)));

    const QString sousDossier = QDir(dossier.path()).filePath(QStringLiteral("neuves"));
    QVERIFY(QDir().mkdir(sousDossier));
    const QString nouvelle = QDir(sousDossier).filePath(QStringLiteral("nouvelle.mdb"));
    for (const double moment : {0.2, 0.5, 0.8}) {
        interrompre({tableur, nouvelle}, static_cast<int>(duree * moment));
        // Absent, or complete when the kill came after the rename.
        if (QFileInfo::exists(nouvelle)) {
            QVERIFY2(!contenuLu(nouvelle).startsWith('<'), qPrintable(QString::number(moment)));
            QFile::remove(nouvelle);
        }
    }
    r = lancer(QStringLiteral("tarvenor_import"), {tableur, nouvelle});
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    QCOMPARE(contenuLu(nouvelle).startsWith('<'), false);
    QCOMPARE(QDir(sousDossier).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("nouvelle.mdb")});
}

void TestOutils::disquePlein() {
    // The tool run with at most 1 MB per file written: a full disk for it.
    QTemporaryDir dossier;
    const QString tableur = grandTableur(dossier.path());
    BaseDeTest base;
    base.executer(
        QStringLiteral("INSERT INTO Hierarchie1 (Code, Libelle) VALUES ('99', 'Ancien')"));
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());
    const QString nouvelle = QDir(dossier.path()).filePath(QStringLiteral("nouvelle.mdb"));
    const QString limite = QStringLiteral("trap '' XFSZ; ulimit -f 1024; exec \"$0\" \"$@\"");
    for (const QString& cible : {base.chemin(), nouvelle}) {
        const ResultatOutil r = lancer(QStringLiteral("/bin/bash"),
                                       {QStringLiteral("-c"), limite,
                                        outil(QStringLiteral("tarvenor_import")), tableur, cible});
        QCOMPARE(r.statut, 1);
        QVERIFY2(r.erreurs.contains(QStringLiteral("Le disque est plein")), qPrintable(r.erreurs));
    }
    QCOMPARE(lireOctets(base.chemin()), avant);
    QStringList fichiers = QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden);
    fichiers.removeAll(QStringLiteral("grand.csv"));
    QCOMPARE(fichiers, QStringList()); // nothing left of the new database
}

void TestOutils::demonstration() {
    QTemporaryDir dossier;
    const QString base = QDir(dossier.path()).filePath(QStringLiteral("demo.mdb"));
    ResultatOutil r = lancer(QStringLiteral("tarvenor_demo"), {base});
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
        const ResultatOutil r =
            lancer(QStringLiteral("tarvenor_rapport"), QStringList{base} + c + QStringList{pdf});
        QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
        QVERIFY2(r.sortie.startsWith(QStringLiteral("1 page(s) écrite(s)")), qPrintable(r.sortie));
        QVERIFY(lireOctets(pdf).startsWith("%PDF"));
    }
    // A PDF that cannot be written: a French message, nothing left behind.
    const QString absent = QDir(dossier.path()).filePath(QStringLiteral("absent/x.pdf"));
    const ResultatOutil r =
        lancer(QStringLiteral("tarvenor_rapport"),
               {base, QStringLiteral("thesaurus-um"), QStringLiteral("ORTH"), absent});
    QCOMPARE(r.statut, 1);
    QVERIFY2(r.erreurs.contains(QStringLiteral("n'existe pas")), qPrintable(r.erreurs));
    QCOMPARE(lancer(QStringLiteral("tarvenor_rapport"), {base, QStringLiteral("autre")}).statut, 2);
}

void TestOutils::migration() {
    QTemporaryDir dossier;
    BaseDeTest source(true);
    BaseDeTest cible;
    cible.executer(QStringLiteral("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('CARD', "
                                  "'CARDIOLOGIE')"));
    Data::fermerConnexions();
    const QByteArray octetsSource = lireOctets(source.chemin());

    // Into an existing database: the rows written, table by table.
    ResultatOutil r = lancer(QStringLiteral("tarvenor_migrer"), {source.chemin(), cible.chemin()});
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    for (const QString& ligne :
         {QStringLiteral("\n  UniteMedicale +: 3\n"), QStringLiteral("\n  Utilisateur +: 5\n"),
          QStringLiteral("\n  Medecin +: 3\n"),
          QStringLiteral("\nClassification : copiée de la source")})
        QVERIFY2(r.sortie.contains(QRegularExpression(ligne)), qPrintable(r.sortie));
    QVERIFY2(r.erreurs.contains(QStringLiteral("Migration de la base… ")) &&
                 r.erreurs.contains(QStringLiteral("100 %")),
             qPrintable(r.erreurs));
    QCOMPARE(colonne(Data(cible.chemin())
                         .CreeRecordset(
                             QStringLiteral("SELECT UM_Code FROM UniteMedicale ORDER BY UM_Code"))),
             (QStringList{QStringLiteral("ANES"), QStringLiteral("CARD"), QStringLiteral("ORTH"),
                          QStringLiteral("VISC")}));

    // A second time: every code clashes, listed; the target is left as it was.
    Data::fermerConnexions();
    const QByteArray octetsCible = lireOctets(cible.chemin());
    r = lancer(QStringLiteral("tarvenor_migrer"), {source.chemin(), cible.chemin()});
    QCOMPARE(r.statut, 1);
    for (const QString& conflit :
         {QStringLiteral("- identifiant « MARTIN »"), QStringLiteral("- code médecin « CMARTIN »"),
          QStringLiteral("- code d'unité « ORTH »"), QStringLiteral("Rien n'a été écrit")})
        QVERIFY2(r.erreurs.contains(conflit), qPrintable(r.erreurs));
    QCOMPARE(lireOctets(cible.chemin()), octetsCible);

    // Into a file that does not exist: created, named once complete; the
    // classification there is kept by a later migration.
    const QString nouvelle = QDir(dossier.path()).filePath(QStringLiteral("hopital.mdb"));
    r = lancer(QStringLiteral("tarvenor_migrer"), {source.chemin(), nouvelle});
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("hopital.mdb")});
    QVERIFY(Data(nouvelle).ConnexionCorrecte());
    // A refused migration into a new file leaves no file behind.
    r = lancer(QStringLiteral("tarvenor_migrer"),
               {QDir(dossier.path()).filePath(QStringLiteral("absente.mdb")),
                QDir(dossier.path()).filePath(QStringLiteral("autre.mdb"))});
    QCOMPARE(r.statut, 1);
    QVERIFY2(r.erreurs.contains(QStringLiteral("n'existe pas")), qPrintable(r.erreurs));
    QCOMPARE(lancer(QStringLiteral("tarvenor_migrer"), {source.chemin()}).statut, 2);
    Data::fermerConnexions();
    QCOMPARE(QDir(dossier.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("hopital.mdb")});

    QCOMPARE(lireOctets(source.chemin()), octetsSource);
}

void TestOutils::migrationInterrompue() {
    // kill -9 during a migration that copies a large classification: the
    // target reads as before, or (killed after the commit) as migrated.
    QTemporaryDir dossier;
    BaseDeTest source(true);
    const QString sourceGrande = QDir(dossier.path()).filePath(QStringLiteral("unite.mdb"));
    Data::fermerConnexions();
    ecrireOctets(sourceGrande, lireOctets(source.chemin()));
    ResultatOutil r =
        lancer(QStringLiteral("tarvenor_import"), {grandTableur(dossier.path()), sourceGrande});
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    const QByteArray octetsSource = lireOctets(sourceGrande);

    BaseDeTest cible;
    cible.executer(QStringLiteral("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('CARD', "
                                  "'CARDIOLOGIE')"));
    Data::fermerConnexions();
    const QByteArray original = lireOctets(cible.chemin());
    const QByteArray avant = contenuLu(cible.chemin());

    QElapsedTimer chrono;
    chrono.start();
    r = lancer(QStringLiteral("tarvenor_migrer"), {sourceGrande, cible.chemin()});
    const int duree = static_cast<int>(chrono.elapsed());
    QVERIFY2(r.statut == 0, qPrintable(r.erreurs));
    const QByteArray migree = contenuLu(cible.chemin());
    QVERIFY(migree != avant && !migree.startsWith('<'));

    int interrompus = 0;
    for (const double moment : {0.15, 0.35, 0.55, 0.75, 0.9}) {
        ecrireOctets(cible.chemin(), original);
        const bool interrompu =
            interrompre({sourceGrande, cible.chemin()}, static_cast<int>(duree * moment),
                        QStringLiteral("tarvenor_migrer"));
        const QByteArray apres = contenuLu(cible.chemin());
        QVERIFY2(
            apres == avant || apres == migree,
            qPrintable(
                QStringLiteral("à %1 de la durée : %2").arg(moment).arg(QString::fromUtf8(apres))));
        interrompus += interrompu && apres == avant;
    }
    QVERIFY2(interrompus >= 2, qPrintable(QString::number(interrompus)));

    // Into a new file: the target path is absent, or holds the whole
    // migration when the kill came after the rename.
    const QString sousDossier = QDir(dossier.path()).filePath(QStringLiteral("neuves"));
    QVERIFY(QDir().mkdir(sousDossier));
    const QString nouvelle = QDir(sousDossier).filePath(QStringLiteral("hopital.mdb"));
    for (const double moment : {0.3, 0.7}) {
        interrompre({sourceGrande, nouvelle}, static_cast<int>(duree * moment),
                    QStringLiteral("tarvenor_migrer"));
        if (QFileInfo::exists(nouvelle)) {
            QVERIFY2(!contenuLu(nouvelle).startsWith('<'), qPrintable(QString::number(moment)));
            QFile::remove(nouvelle);
        }
    }
    QCOMPARE(lireOctets(sourceGrande), octetsSource);
}

void TestOutils::deuxMigrationsEnMemeTempsSurLeServeur() {
    // Two runs of tarvenor_migrer at once, from two copies of one unit's
    // database, into one server database: the second waits for the first,
    // then finds its codes and writes nothing. The test holds the thesaurus
    // acts' table meanwhile, so that the runs overlap whatever the machine's
    // speed.
    if (uriServeurDeTest().isEmpty())
        QSKIP("Aucun serveur PostgreSQL de test (scripts/postgres_jetable.sh).");
    const QString nomBase =
        QStringLiteral("tarvenor_migrations_%1").arg(QCoreApplication::applicationPid());
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(nomBase));
    QCOMPARE(executerSurServeur(QStringLiteral("CREATE DATABASE %1").arg(nomBase)), QString());
    const QString cible = uriBaseDeTest(nomBase);
    Data::creerBase(cible);
    BaseDeTest premiere(true), seconde(true);
    Data::fermerConnexions();

    PGconn* verrou = PQconnectdb(cible.toUtf8().constData());
    QCOMPARE(PQstatus(verrou), CONNECTION_OK);
    PQclear(PQexec(verrou, "BEGIN; LOCK TABLE acte_thesaurus IN SHARE MODE"));
    QProcess a, b;
    a.start(outil(QStringLiteral("tarvenor_migrer")), {premiere.chemin(), cible});
    b.start(outil(QStringLiteral("tarvenor_migrer")), {seconde.chemin(), cible});
    QVERIFY(a.waitForStarted() && b.waitForStarted());
    // Released once both wait for a lock (or after 20 s at most).
    for (int i = 0, enAttente = 0; i < 1000 && enAttente < 2; ++i) {
        QThread::msleep(20);
        PGresult* r = PQexec(verrou, "SELECT count(*) FROM pg_stat_activity WHERE "
                                     "application_name = 'Tarvenor' AND wait_event_type = 'Lock'");
        enAttente = QByteArray(PQgetvalue(r, 0, 0)).toInt();
        PQclear(r);
    }
    PQclear(PQexec(verrou, "COMMIT"));
    PQfinish(verrou);
    QVERIFY(a.waitForFinished(240000) && b.waitForFinished(240000));
    const QList<int> statuts{a.exitCode(), b.exitCode()};
    const QString erreurs =
        QString::fromUtf8(a.readAllStandardError()) + QString::fromUtf8(b.readAllStandardError());
    QVERIFY2(statuts.contains(0) && statuts.contains(1), qPrintable(erreurs));
    for (const QString& conflit :
         {QStringLiteral("- identifiant « MARTIN »"), QStringLiteral("- code médecin « CMARTIN »"),
          QStringLiteral("- code d'unité « ORTH »"), QStringLiteral("Rien n'a été écrit")})
        QVERIFY2(erreurs.contains(conflit), qPrintable(erreurs));
    const auto compter = [&](const char* table) {
        return colonne(Data(cible).CreeRecordset(QStringLiteral("SELECT count(*) FROM ") +
                                                 QLatin1String(table)))
            .value(0)
            .toInt();
    };
    QCOMPARE(compter("Utilisateur"), 5);
    QCOMPARE(compter("Medecin"), 3);
    QCOMPARE(compter("UniteMedicale"), 3);
    QCOMPARE(compter("CategorieThesaurus"), 14);
    Data::fermerConnexions();
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nomBase));
}

void TestOutils::deuxDemonstrationsSurUneBaseVideDuServeur() {
    // Two runs of tarvenor_demo at once on one empty server database: one
    // fills it, the other says in French that its tables are there.
    if (uriServeurDeTest().isEmpty())
        QSKIP("Aucun serveur PostgreSQL de test (scripts/postgres_jetable.sh).");
    const QString nomBase =
        QStringLiteral("tarvenor_demos_%1").arg(QCoreApplication::applicationPid());
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(nomBase));
    QCOMPARE(executerSurServeur(QStringLiteral("CREATE DATABASE %1").arg(nomBase)), QString());
    const QString cible = uriBaseDeTest(nomBase);
    QProcess a, b;
    a.start(outil(QStringLiteral("tarvenor_demo")), {cible});
    b.start(outil(QStringLiteral("tarvenor_demo")), {cible});
    QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
    const QList<int> statuts{a.exitCode(), b.exitCode()};
    const QString erreurs =
        QString::fromUtf8(a.readAllStandardError()) + QString::fromUtf8(b.readAllStandardError());
    QVERIFY2(statuts.contains(0) && statuts.contains(1), qPrintable(erreurs));
    QVERIFY2(erreurs.contains(QStringLiteral("contient déjà les tables de Tarvenor")),
             qPrintable(erreurs));
    QVERIFY2(!erreurs.contains(QStringLiteral("duplicate")), qPrintable(erreurs));
    QCOMPARE(colonne(Data(cible).CreeRecordset(QStringLiteral("SELECT count(*) FROM Utilisateur")))
                 .value(0),
             QStringLiteral("5"));
    Data::fermerConnexions();
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nomBase));
}

void TestOutils::lignesDeCommande_data() {
    QTest::addColumn<QString>("outil");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("statut");
    QTest::addColumn<QString>("sortie");  // pattern of the standard output
    QTest::addColumn<QString>("erreurs"); // pattern of the error output
    const QString version = QStringLiteral("^%1 \\(Tarvenor\\) \\d+\\.\\d+\\.\\d+\n");
    for (const char* o : {"tarvenor", "tarvenor_demo", "tarvenor_import", "tarvenor_migrer",
                          "tarvenor_admin", "tarvenor_rapport"}) {
        const QString outil = QLatin1String(o);
        QTest::addRow("%s --help", o)
            << outil << QStringList{"--help"} << 0
            << "(?s)^Usage : " + outil + " .*\nOptions :\n.*  -h, --help  "
            << "^$";
        QTest::addRow("%s -h", o) << outil << QStringList{"-h"} << 0 << "^Usage : " + outil << "^$";
        QTest::addRow("%s --version", o)
            << outil << QStringList{"--version"} << 0 << version.arg(outil) << "^$";
        QTest::addRow("%s option inconnue", o)
            << outil << QStringList{"--inconnue", "base.mdb", "x", "y", "z"} << 2 << "^$"
            << "^" + outil + " : option inconnue : « --inconnue »\\.\nUsage : ";
    }
    const auto manque = [&](const char* nom, const char* outil, const QStringList& arguments,
                            const QString& message) {
        QTest::newRow(nom) << QString::fromLatin1(outil) << arguments << 2 << "^$"
                           << QString::fromLatin1(outil) + " : " + message;
    };
    manque("tarvenor_demo sans base", "tarvenor_demo", {}, "argument manquant : BASE\\.");
    manque("tarvenor_import sans base", "tarvenor_import", {"ccam.csv"},
           "argument manquant : BASE\\.");
    manque("tarvenor_import --references sans dossier", "tarvenor_import",
           {"ccam.csv", "base.mdb", "--references"},
           "l'option « --references » attend une valeur \\(DOSSIER\\)\\.");
    manque("tarvenor_migrer sans cible", "tarvenor_migrer", {"source.mdb"},
           "argument manquant : CIBLE\\.");
    manque("tarvenor_admin sans --creer-admin", "tarvenor_admin", {"base.mdb"},
           "l'option --creer-admin IDENTIFIANT manque\\.");
    manque("tarvenor_admin sans identifiant", "tarvenor_admin", {"base.mdb", "--creer-admin"},
           "l'option « --creer-admin » attend une valeur \\(IDENTIFIANT\\)\\.");
    manque("tarvenor_rapport sans sortie", "tarvenor_rapport", {"base.mdb", "dossier"},
           "argument manquant\\.");
    manque("tarvenor argument en trop", "tarvenor", {"base.mdb"},
           "argument en trop : « base\\.mdb »\\.");
    manque("tarvenor_demo argument en trop", "tarvenor_demo", {"a.mdb", "b.mdb"},
           "argument en trop : « b\\.mdb »\\.");
}

void TestOutils::lignesDeCommande() {
    // Run in an empty folder, with no display: help, version and refusals
    // need none, and none of them makes a file (an option is never a path).
    QFETCH(QString, outil);
    QFETCH(QStringList, arguments);
    QFETCH(int, statut);
    QFETCH(QString, sortie);
    QFETCH(QString, erreurs);
    QTemporaryDir dossier;
    const ResultatOutil r = lancer(outil, arguments, QByteArray(), dossier.path(), true);
    QCOMPARE(r.statut, statut);
    QVERIFY2(r.sortie.contains(QRegularExpression(sortie)), qPrintable(r.sortie));
    QVERIFY2(r.erreurs.contains(QRegularExpression(erreurs)), qPrintable(r.erreurs));
    QCOMPARE(QDir(dossier.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

void TestOutils::premierAdministrateur_data() {
    QTest::addColumn<QString>("base"); // "vide", "demo", "demo sans admin", "absente"
    QTest::addColumn<QString>("identifiant");
    QTest::addColumn<QByteArray>("entree");
    QTest::addColumn<int>("statut");
    QTest::addColumn<QString>("message"); // what the tool prints (exit 0) or refuses
    QTest::newRow("créé") << "vide"
                          << " dupont " << QByteArray("Secret\nSecret\n") << 0
                          << "Compte administrateur « DUPONT » créé dans";
    QTest::newRow("mots de passe différents")
        << "vide"
        << "DUPONT" << QByteArray("Secret\nSecrte\n") << 1
        << "Erreur : les deux mots de passe diffèrent. Vérifiez l'orthographe du mot de passe.";
    QTest::newRow("une seule ligne") << "vide"
                                     << "DUPONT" << QByteArray("Secret\n") << 1
                                     << "Erreur : le mot de passe n'a pas été donné deux fois.";
    QTest::newRow("mot de passe vide")
        << "vide"
        << "DUPONT" << QByteArray(" \n \n") << 1
        << "Erreur : Le mot de passe du premier administrateur ne peut pas être vide.";
    QTest::newRow("identifiant vide") << "vide"
                                      << "  " << QByteArray("Secret\nSecret\n") << 1
                                      << "Erreur : Vous devez renseigner le champ : Identifiant.";
    QTest::newRow("base qui a un administrateur")
        << "demo"
        << "DUPONT" << QByteArray("Secret\nSecret\n") << 1
        << "Erreur : Cette base a déjà un compte du groupe ADMIN : les autres comptes se créent "
           "dans la fenêtre « Gestion des utilisateurs », une fois connecté avec lui.";
    QTest::newRow("identifiant pris")
        << "demo sans admin"
        << "martin" << QByteArray("Secret\nSecret\n") << 1
        << "Erreur : Cet utilisateur est déjà utilisé. Saisissez un autre identifiant.";
    QTest::newRow("base absente") << "absente"
                                  << "DUPONT" << QByteArray("Secret\nSecret\n") << 1
                                  << "n'existe pas";
}

void TestOutils::premierAdministrateur() {
    // The first account of a database made by tarvenor_import (no account),
    // through the administration use case: the login then accepts it.
    QFETCH(QString, base);
    QFETCH(QString, identifiant);
    QFETCH(QByteArray, entree);
    QFETCH(int, statut);
    QFETCH(QString, message);
    BaseDeTest b(base.startsWith(QLatin1String("demo")));
    if (base == QLatin1String("demo sans admin"))
        b.executer(QStringLiteral("DELETE FROM Utilisateur WHERE UTI_GROUP = 'ADMIN'"));
    const QString chemin = base == QLatin1String("absente")
                               ? QDir(b.dossier()).filePath(QStringLiteral("absente.mdb"))
                               : b.chemin();
    const long comptes = b.compter(QStringLiteral("SELECT count(*) FROM Utilisateur"));
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(chemin);
    const ResultatOutil r = lancer(QStringLiteral("tarvenor_admin"),
                                   {QStringLiteral("--creer-admin"), identifiant, chemin}, entree);
    QCOMPARE(r.statut, statut);
    QVERIFY2((statut == 0 ? r.sortie : r.erreurs).contains(message),
             qPrintable(r.sortie + r.erreurs));
    QVERIFY(!r.erreurs.contains(QStringLiteral("Secret")) &&
            !r.sortie.contains(QStringLiteral("Secret")));
    if (statut != 0) {
        QCOMPARE(lireOctets(chemin), avant);
        QVERIFY(!QFileInfo::exists(QDir(b.dossier()).filePath(QStringLiteral("absente.mdb"))));
        return;
    }
    QCOMPARE(b.compter(QStringLiteral("SELECT count(*) FROM Utilisateur")), comptes + 1);
    QTemporaryDir reglages;
    Parametres::redirigerVers(reglages.filePath(QStringLiteral("tarvenor.ini")));
    const ResultatSession session =
        ouvrirSession(QStringLiteral("DUPONT"), QStringLiteral("SECRET"), chemin);
    Parametres::redirigerVers(QString());
    QVERIFY2(session.resultat.estFait(), qPrintable(session.resultat.message));
    QCOMPARE(utilisateurCourant.p_GROUP, QStringLiteral("ADMIN"));
    reinitialiserEtatGlobal();
    Data::fermerConnexions();
}

QTEST_GUILESS_MAIN(TestOutils)
#include "tst_outils.moc"
