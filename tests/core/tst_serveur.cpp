// The program's SQL dialect run on both backends (each case reads back the
// rows it gives), and what only a database server does: its faults, each
// with one French message, the reconnection once it answers again, and one
// writer of a thesaurus at a time.

#include "AccesDonnees.h"
#include "Administration.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Messages.h"
#include "MotDePasse.h"
#include "OrdreFrancais.h"
#include "adCCAM.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtTest>
#include <libpq-fe.h>

namespace {

void ecrire(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(octets);
}

// The description of the DataError that fn throws; empty when none.
template <typename F> QString echec(F&& fn) {
    try {
        fn();
    } catch (const DataError& e) {
        return e.description();
    }
    return {};
}

#define SERVEUR_SEULEMENT()                                                                        \
    do {                                                                                           \
        if (!testsSurServeur())                                                                    \
            QSKIP("Propre au serveur PostgreSQL.");                                                \
    } while (false)

} // namespace

class TestServeur : public QObject {
    Q_OBJECT
private slots:
    void dialecte_data();
    void dialecte();
    void ordreFrancaisDesLibellesNationaux();
    void adresseInvalide_data();
    void adresseInvalide();
    void motDePasseDemande();
    void baseSansSchema();
    void creationRefuseeSurBaseRemplie();
    void connexionPerdueAuMilieuDUneEcriture();
    void remplacementsDUnThesaurusLUnApresLAutre();
    void barreObliqueSansEchappement();
};

void TestServeur::dialecte_data() {
    QTest::addColumn<QString>("requete");
    QTest::addColumn<QStringList>("attendus");
    const auto l = [](std::initializer_list<const char*> v) {
        QStringList r;
        for (const char* t : v)
            r << QString::fromUtf8(t);
        return r;
    };
    QTest::newRow("<> null") << "SELECT UM_Code FROM UniteMedicale WHERE UM_LIB <> null ORDER BY "
                                "UM_Code"
                             << l({"U1", "U2", "U3", "U4"});
    QTest::newRow("date Jet") << "SELECT UTI_LOGIN FROM Utilisateur WHERE UTI_CREATE = #03/07/2024#"
                              << l({"MARS"});
    QTest::newRow("date Jet comparée")
        << "SELECT UTI_LOGIN FROM Utilisateur WHERE UTI_CREATE > #12/31/2023# ORDER BY UTI_LOGIN"
        << l({"MARS"});
    QTest::newRow("Mid") << "SELECT Mid(UM_Code, 2, 1) FROM UniteMedicale WHERE UM_Code = 'U3'"
                         << l({"3"});
    QTest::newRow("Mid sans longueur") << "SELECT Mid(UM_LIB, 3) FROM UniteMedicale WHERE UM_Code "
                                          "= 'U1'"
                                       << l({"domen"});
    QTest::newRow("cstr") << "SELECT cstr(CT_TYPE) AS T FROM CategorieThesaurus WHERE CT_LIB = 'C1'"
                          << l({"2"});
    QTest::newRow("LIKE sans casse") << "SELECT UM_Code FROM UniteMedicale WHERE UM_LIB LIKE "
                                        "'%BRAS%'"
                                     << l({"U2"});
    QTest::newRow("LIKE sans casse, motif en minuscules")
        << "SELECT UM_Code FROM UniteMedicale WHERE UM_LIB like 'abd%'" << l({"U1"});
    QTest::newRow("ordre français des libellés")
        << "SELECT UM_LIB FROM UniteMedicale WHERE UM_LIB <> null ORDER BY UM_LIB"
        << l({"abdomen", "Bras", "coude", "Épaule"});
    QTest::newRow("ordre français décroissant")
        << "SELECT UM_LIB FROM UniteMedicale WHERE UM_LIB <> null ORDER BY UM_LIB DESC"
        << l({"Épaule", "coude", "Bras", "abdomen"});
    QTest::newRow("ordre français, ligatures lues oe et ae")
        << "SELECT CT_LIB FROM CategorieThesaurus WHERE CT_LIEN = 'L' ORDER BY CT_LIB"
        << l({"Cadre", "CÆCUM", "Caféine", "Coccyx", "Cœur", "Coude", "Crâne", "Cytologie",
              "Manœuvre", "Manomètre", "Odeur", "ŒSOPHAGE", "Os"});
    QTest::newRow("UNION ... ORDER BY T.col")
        << "SELECT UM_Code FROM UniteMedicale WHERE UM_Code = 'U3' UNION SELECT UM_Code FROM "
           "UniteMedicale WHERE UM_Code = 'U1' ORDER BY UniteMedicale.UM_Code"
        << l({"U1", "U3"});
    QTest::newRow("nom accentué sans guillemets") << "SELECT SYLIBELLE FROM Systèmes" << l({"Œil"});
    QTest::newRow("nom accentué entre guillemets")
        << "SELECT SYLIBELLE FROM \"Systèmes\" WHERE SYCODE = 'S'" << l({"Œil"});
    QTest::newRow("apostrophes doublées")
        << "SELECT CT_CODE FROM CategorieThesaurus WHERE CT_LIB = 'l''œil; DROP TABLE CCAM'"
        << l({"2"});
    QTest::newRow("fragment SQL dans un texte")
        << "SELECT count(*) FROM CategorieThesaurus WHERE CT_LIB = ''' OR 1=1 --'" << l({"0"});
}

void TestServeur::dialecte() {
    QFETCH(QString, requete);
    QFETCH(QStringList, attendus);
    BaseDeTest base;
    base.executer(QString::fromUtf8(
        "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('U1', 'abdomen');"
        "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('U2', 'Bras');"
        "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('U3', 'Épaule');"
        "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('U4', 'coude');"
        "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('U5', NULL);"
        "INSERT INTO Utilisateur (UTI_LOGIN, UTI_CREATE) VALUES ('MARS', #03/07/2024#);"
        "INSERT INTO Utilisateur (UTI_LOGIN, UTI_CREATE) VALUES ('VIEUX', #12/01/2023#);"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'C1', 'D1');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES "
        "(1, 'l''œil; DROP TABLE CCAM', 'U1');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Cytologie', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Os', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Cœur', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Manomètre', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Crâne', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'ŒSOPHAGE', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Caféine', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Manœuvre', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Coude', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'CÆCUM', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Odeur', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Cadre', 'L');"
        "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, 'Coccyx', 'L');"
        "INSERT INTO \"Systèmes\" (SYCODE, SYLIBELLE) VALUES ('S', 'Œil')"));
    QCOMPARE(colonne(Data().CreeRecordset(requete)), attendus);
}

void TestServeur::ordreFrancaisDesLibellesNationaux() {
    // Every label of the national classification, ordered by the database
    // as a label, comes in the order of comparerFrancais.
    const QString dossier = dossierCcamNational();
    if (dossier.isEmpty())
        QSKIP("Dossier CCAM national absent (TARVENOR_CCAM_DIR).");
    BaseDeTest base;
    ImportCcam(QDir(dossier).filePath(QStringLiteral("ccam_v81.csv")), dossier)
        .charger(base.chemin());
    base.executer(QStringLiteral("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) "
                                 "SELECT DISTINCT 2, Libelle_Complet, 'X' FROM CCAM; "
                                 "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) "
                                 "SELECT DISTINCT 2, Libelle, 'X' FROM Hierarchie4"));
    const QStringList lus =
        colonne(accesCCAM.getCategoriesThesaurus(QStringLiteral("X"), 2), QStringLiteral("CT_LIB"));
    QVERIFY(lus.size() > 8000);
    QStringList tries = lus;
    std::sort(tries.begin(), tries.end(), avantFrancais);
    QCOMPARE(lus, tries);
}

void TestServeur::adresseInvalide_data() {
    QTest::addColumn<QString>("uri");
    QTest::addColumn<QString>("message");
    QTest::newRow("port illisible") << "postgresql://tarvenor@127.0.0.1:port/base"
                                    << "n'est pas valide";
    QTest::newRow("serveur qui ne répond pas") << "postgresql://tarvenor@127.0.0.1:1/base"
                                               << "ne répond pas";
    QTest::newRow("serveur inconnu") << "postgresql://tarvenor@serveur.invalid:5432/base"
                                     << "est inconnu";
}

void TestServeur::adresseInvalide() {
    QFETCH(QString, uri);
    QFETCH(QString, message);
    MessagesScriptes messages;
    QVERIFY(!Data(uri).ConnexionCorrecte());
    QCOMPARE(messages.journal().size(), size_t(1));
    QVERIFY2(messages.journal().front().texte.contains(message),
             qPrintable(messages.journal().front().texte));
    const QString e = echec([&] { Data(uri).CreeConnexion(); });
    QVERIFY2(e.startsWith(QStringLiteral("La connexion à la base de données a échoué.")),
             qPrintable(e));
}

void TestServeur::motDePasseDemande() {
    // The account must give its password (scripts/postgres_jetable.sh): it
    // is asked through the hook, a wrong one is refused with one message,
    // and the right one opens the database.
    SERVEUR_SEULEMENT();
    BaseDeTest base;
    const QString nomBase = QUrl(base.chemin()).path().mid(1);
    executerSurServeur(QStringLiteral("DROP ROLE IF EXISTS tarvenor_mdp"));
    QCOMPARE(executerSurServeur(QStringLiteral("CREATE ROLE tarvenor_mdp LOGIN PASSWORD 'secret'")),
             QString());
    base.executer(QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA public TO tarvenor_mdp"));
    QCOMPARE(executerSurServeur(
                 QStringLiteral("GRANT CONNECT ON DATABASE %1 TO tarvenor_mdp").arg(nomBase)),
             QString());
    QUrl url(base.chemin());
    url.setUserName(QStringLiteral("tarvenor_mdp"));
    const QString uri = url.toString();
    QStringList questions;
    QString reponse = QStringLiteral("faux");
    installerDemandeMotDePasse([&](const QString& question) -> std::optional<QString> {
        questions << question;
        return reponse;
    });
    const QString refus = echec([&] { Data(uri).CreeConnexion(); });
    QVERIFY2(refus.contains(QStringLiteral("Le mot de passe du compte « tarvenor_mdp » est "
                                           "refusé")),
             qPrintable(refus));
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions.front().startsWith(
                 QStringLiteral("Mot de passe du compte « tarvenor_mdp » sur le serveur")),
             qPrintable(questions.front()));
    reponse = QStringLiteral("secret");
    QVERIFY(Data(uri).CreeRecordset(QStringLiteral("SELECT * FROM UniteMedicale"))->isEOF());
    // Cancelled: one message says where a password can be given.
    installerDemandeMotDePasse([](const QString&) { return std::optional<QString>(); });
    Data::fermerConnexions();
    QUrl autre(uri);
    autre.setQuery(QStringLiteral("application_name=autre"));
    const QString annule = echec([&] { Data(autre.toString()).CreeConnexion(); });
    QVERIFY2(annule.contains(QStringLiteral(".pgpass")), qPrintable(annule));
    installerDemandeMotDePasse(nullptr);
    Data::fermerConnexions();
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nomBase));
    executerSurServeur(QStringLiteral("DROP ROLE IF EXISTS tarvenor_mdp"));
}

void TestServeur::baseSansSchema() {
    SERVEUR_SEULEMENT();
    const QString nom = QStringLiteral("tarvenor_vide_%1").arg(QCoreApplication::applicationPid());
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(nom));
    QCOMPARE(executerSurServeur(QStringLiteral("CREATE DATABASE %1").arg(nom)), QString());
    const QString uri = uriBaseDeTest(nom);
    {
        MessagesScriptes messages;
        QVERIFY(!Data(uri).ConnexionCorrecte());
        QVERIFY2(messages.journal().front().texte.contains(
                     QStringLiteral("ne contient pas les tables de Tarvenor")),
                 qPrintable(messages.journal().front().texte));
        const QString e =
            echec([&] { Data(uri).CreeRecordset(QStringLiteral("SELECT * FROM CCAM")); });
        QVERIFY2(e.contains(QStringLiteral("ne contient pas les tables de Tarvenor")),
                 qPrintable(e));
        // Installing the schema makes it a Tarvenor database.
        Data::creerBase(uri);
        QVERIFY(Data(uri).ConnexionCorrecte());
        QVERIFY(messages.journal().size() == 1);
    }
    Data::fermerConnexions();
    executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(nom));
}

void TestServeur::creationRefuseeSurBaseRemplie() {
    SERVEUR_SEULEMENT();
    BaseDeTest base(true);
    const long long avant = base.compter("SELECT count(*) FROM Utilisateur");
    const QString e = echec([&] { Data::creerBase(base.chemin()); });
    QVERIFY2(e.contains(QStringLiteral("contient déjà les tables de Tarvenor")), qPrintable(e));
    QCOMPARE(base.compter("SELECT count(*) FROM Utilisateur"), avant);
    // The identity counters go on after the demonstration's numbers.
    const long code = adCCAM().insererCatAndGetCode(QStringLiteral("D1"), QStringLiteral("N"), 2);
    QCOMPARE(base.compter("SELECT max(CT_CODE) FROM CategorieThesaurus"), code);
}

void TestServeur::connexionPerdueAuMilieuDUneEcriture() {
    // The server ends the session in the middle of a transaction (as it does
    // to every session when it is stopped): the work is lost as a whole, one
    // message says so, and the next operation works on a new session.
    SERVEUR_SEULEMENT();
    BaseDeTest base;
    const QString nomBase = QUrl(base.chemin()).path().mid(1);
    ConnexionPtr c = Data().CreeConnexion();
    const QString e = echec([&] {
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale (UM_Code) VALUES ('A')"));
        executerSurServeur(QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                          "pg_stat_activity WHERE datname = '%1'")
                               .arg(nomBase));
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale (UM_Code) VALUES ('B')"));
        t.valider();
    });
    QVERIFY2(e.startsWith(QStringLiteral("La connexion au serveur de base de données a été "
                                         "perdue")),
             qPrintable(e));
    c.reset();
    // Usable again: the kept connection is replaced by a new session.
    QCOMPARE(base.compter("SELECT count(*) FROM UniteMedicale"), 0);
    QVERIFY(accesDonnees.insererUM(QStringLiteral("U9"), QStringLiteral("Neuf")));
    QCOMPARE(base.compter("SELECT count(*) FROM UniteMedicale"), 1);
    // A read after the server dropped the session is simply run again.
    executerSurServeur(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                      "WHERE datname = '%1'")
                           .arg(nomBase));
    QCOMPARE(colonne(accesDonnees.getListeUM()), QStringList{QStringLiteral("U9")});
}

void TestServeur::remplacementsDUnThesaurusLUnApresLAutre() {
    // Another client holds the thesaurus' lock (it is replacing it): this
    // replacement waits for it, then leaves its own set of categories only.
    SERVEUR_SEULEMENT();
    BaseDeTest base(true);
    const QString fichier = base.dossier() + QStringLiteral("/thesaurus.txt");
    ecrire(fichier, "entete\r\nNouvelle\tACTE001\r\n");
    PGconn* autre = PQconnectdb(base.chemin().toUtf8().constData());
    QCOMPARE(PQstatus(autre), CONNECTION_OK);
    PQclear(PQexec(autre, "BEGIN; SELECT pg_advisory_xact_lock(hashtextextended("
                          "'thesaurus:2:MED1', 0))"));
    // The other client writes its set, then commits a moment later.
    PQclear(PQexec(autre, "INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES "
                          "(2, 'Autre', 'MED1')"));
    QThread* fin = QThread::create([autre] {
        QThread::msleep(800);
        PQclear(PQexec(autre, "COMMIT"));
    });
    fin->start();
    QElapsedTimer duree;
    duree.start();
    MessagesScriptes messages;
    const bool fait = remplacerThesaurusParFichier(fichier, QStringLiteral("MED1"), 2);
    const qint64 attendu = duree.elapsed();
    fin->wait();
    delete fin;
    PQfinish(autre);
    QVERIFY2(fait, qPrintable(messages.textes().join(QLatin1Char('\n'))));
    QVERIFY2(attendu >= 600, qPrintable(QString::number(attendu)));
    QCOMPARE(colonne(Data().CreeRecordset(QStringLiteral(
                 "SELECT CT_LIB FROM CategorieThesaurus WHERE CT_LIEN = 'MED1' AND CT_TYPE = 2"))),
             QStringList{QStringLiteral("Nouvelle")});
}

void TestServeur::barreObliqueSansEchappement() {
    // A backslash is an ordinary character: a unit label ending in a
    // backslash and a quote is stored as typed, even where the database
    // turns standard_conforming_strings off; and LIKE has no escape
    // character, on the server as on SQLite.
    BaseDeTest base;
    if (testsSurServeur()) {
        const QString nomBase = QUrl(base.chemin()).path().mid(1);
        QCOMPARE(executerSurServeur(
                     QStringLiteral("ALTER DATABASE %1 SET standard_conforming_strings = off")
                         .arg(nomBase)),
                 QString());
        Data::fermerConnexions();
    }
    MessagesScriptes messages;
    const QString libelle = QStringLiteral("Bras \\'); DELETE FROM UniteMedicale; --\\'");
    QVERIFY(administration::creerUM(QStringLiteral("U1"), libelle).fait());
    QVERIFY(administration::creerUM(QStringLiteral("U2"), QStringLiteral("Coude")).fait());
    QVERIFY2(messages.journal().empty(), qPrintable(messages.textes().join(u'|')));
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("U1")), libelle);
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 2LL);
    // "\%" is a backslash, then any text.
    QCOMPARE(colonne(Data().CreeRecordset(
                 QStringLiteral("SELECT UM_Code FROM UniteMedicale WHERE UM_LIB LIKE '%\\%'"))),
             QStringList{QStringLiteral("U1")});
    QCOMPARE(colonne(Data().CreeRecordset(
                 QStringLiteral("SELECT UM_Code FROM UniteMedicale WHERE UM_LIB LIKE '%\\'''"))),
             QStringList{QStringLiteral("U1")});
}

QTEST_GUILESS_MAIN(TestServeur)
#include "tst_serveur.moc"
