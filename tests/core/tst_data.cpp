// The data layer: opening a file (and refusing what is not a database without
// touching it), the numbered errors, read-only files, transactions, the
// disconnected recordset, the value helpers and the Jet dialect translation.

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "Messages.h"
#include "OrdreFrancais.h"
#include "TraductionJet.h"
#include "adCCAM.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {

QByteArray enteteJet(const char* moteur) {
    QByteArray b(2048, '\0');
    b[0] = 0x00;
    b[1] = 0x01;
    b.replace(4, 15, moteur);
    return b;
}

// Puts a database file in a journal mode with SQLite alone, as another
// program (or an earlier version) leaves it.
void mettreEnJournal(const QString& chemin, const QByteArray& mode) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(chemin).constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA journal_mode=" + mode, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The journal mode the file is in, read by SQLite alone (SQLite keeps the
// descriptors of a file that another connection of the process holds).
QByteArray modeJournal(const QString& chemin) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    QByteArray r;
    if (sqlite3_open(QFile::encodeName(chemin).constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        r = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return r;
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // ---- opening
    void connexionRefusee_data();
    void connexionRefusee();
    void connexionCorrecte();
    void baseEtrangere();
    void erreur4000();
    void erreur4001();
    void recordsetRefuseUneEcriture();
    void connexionGardeeParFichier();
    void fichierDisparu();
    void fichierRemplace();
    void creerBaseNeRemplacePas();
    void journalClassique_data();
    void journalClassique();
    void lectureSeule_data();
    void lectureSeule();
    void dossierLectureSeule_data();
    void dossierLectureSeule();
    void echecLaisseLeFichierIntact();

    // ---- transactions
    void transactionAnnulee();
    void transactionValidee();
    void transactionsImbriquees();
    void lectureSansAttente();

    // ---- recordset
    void genresDesValeurs();
    void navigation();
    void recordsetVide();
    void champsParNom();
    void recordsetEnMemoire();
    void valeursApart_data();
    void valeursApart();
    void valeursApartMemeTexte();

    // ---- helpers
    void doublerQuotes_data();
    void doublerQuotes();
    void valeurTexte_data();
    void valeurTexte();
    void fonctionsSql_data();
    void fonctionsSql();
    void likeSansCasse_data();
    void likeSansCasse();

    // ---- Jet dialect
    void traduction_data();
    void traduction();
    void traductionServeur_data();
    void traductionServeur();
    void traductionDesRequetesDesDepots();
    void ordreFrancais_data();
    void ordreFrancais();

private:
    std::unique_ptr<MessagesScriptes> m_messages;
};

void TestData::init() {
    m_messages = std::make_unique<MessagesScriptes>();
}

void TestData::cleanup() {
    m_messages.reset();
    Data::fermerConnexions();
    cheminBase.clear();
}

// ------------------------------------------------------------------ opening

void TestData::connexionRefusee_data() {
    QTest::addColumn<QString>("nom");        // file name inside the temp folder ("" = the folder)
    QTest::addColumn<QByteArray>("contenu"); // written first unless null
    QTest::addColumn<QString>("fragment");   // expected in the description
    QTest::newRow("fichier absent") << "absent.mdb" << QByteArray() << "introuvable";
    QTest::newRow("dossier") << "" << QByteArray() << "dossier";
    QTest::newRow("fichier texte") << "texte.mdb" << QByteArray("Bonjour, ceci est un texte.\n")
                                   << "n'est pas une base de données";
    QTest::newRow("fichier vide") << "vide.mdb" << QByteArray("")
                                  << "n'est pas une base de données";
    QTest::newRow("Access Jet") << "ancien.mdb" << enteteJet("Standard Jet DB") << "Access";
    QTest::newRow("Access ACE") << "ancien.accdb" << enteteJet("Standard ACE DB") << "Access";
    QTest::newRow("en-tête tronqué")
        << "court.mdb" << QByteArray("SQLite format 3") << "n'est pas une base de données";
}

void TestData::connexionRefusee() {
    QFETCH(QString, nom);
    QFETCH(QByteArray, contenu);
    QFETCH(QString, fragment);
    QTemporaryDir dossier;
    const QString chemin = nom.isEmpty() ? dossier.path() : QDir(dossier.path()).filePath(nom);
    if (!contenu.isNull())
        ecrireOctets(chemin, contenu);
    const auto avant = empreinte(dossier.path());

    cheminBase = chemin;
    QVERIFY(!Data().ConnexionCorrecte());
    QCOMPARE(m_messages->journal().size(), size_t(1));
    const MessageAffiche m = m_messages->journal().front();
    QCOMPARE(m.titre, QStringLiteral("Data"));
    QCOMPARE(m.boutons, Boutons::Ok);
    QVERIFY2(m.texte.contains(fragment), qPrintable(m.texte));

    // The connection and the recordset raise 4000 with the same description.
    try {
        Data().CreeRecordset(QStringLiteral("SELECT 1"));
        QFAIL("pas d'erreur");
    } catch (const DataError& e) {
        QCOMPARE(e.numero(), 4000);
        QCOMPARE(e.source(), QStringLiteral("Data"));
        QVERIFY(e.description().startsWith(
            QStringLiteral("La connexion à la base de données a échoué.\r\n")));
        QVERIFY(e.description().endsWith(QStringLiteral(": ") + m.texte));
    }
    // A repository reports it under "ERREUR" and returns nothing.
    m_messages->vider();
    QVERIFY(!accesDonnees.getListeUM());
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("ERREUR"));

    QCOMPARE(empreinte(dossier.path()), avant);
    if (nom.isEmpty() || !contenu.isNull())
        QVERIFY(QFileInfo::exists(chemin));
    else
        QVERIFY(!QFileInfo::exists(chemin));
}

void TestData::connexionCorrecte() {
    BaseDeTest base;
    Data::fermerConnexions();
    QVERIFY(Data().ConnexionCorrecte());
    QVERIFY(m_messages->journal().empty());
    QVERIFY(Data(base.chemin()).ConnexionCorrecte());
    // A Data object keeps the path it was created with.
    Data d;
    cheminBase = QStringLiteral("/nulle/part.mdb");
    QCOMPARE(d.chemin(), base.chemin());
    QVERIFY(d.CreeRecordset(QStringLiteral("SELECT * FROM UniteMedicale")));
}

void TestData::baseEtrangere() {
    // A SQLite file of another program: refused by the connectivity test,
    // left as it is.
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("autre.db"));
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(chemin).constData(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE Clients(nom TEXT)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const auto avant = empreinte(dossier.path());
    cheminBase = chemin;
    QVERIFY(!Data().ConnexionCorrecte());
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("Data"));
    QVERIFY(m_messages->journal().front().texte.contains(QStringLiteral("Tarvenor")));
    QCOMPARE(empreinte(dossier.path()), avant);
}

void TestData::erreur4000() {
    QTemporaryDir dossier;
    cheminBase = QDir(dossier.path()).filePath(QStringLiteral("absent.mdb"));
    try {
        Data().CreeConnexion();
        QFAIL("pas d'erreur");
    } catch (const DataError& e) {
        QCOMPARE(e.numero(), 4000);
        QCOMPARE(e.source(), QStringLiteral("Data"));
        // Header, CR LF, the underlying number, ": ", the underlying description.
        static const QRegularExpression forme(
            QStringLiteral("^La connexion à la base de données a échoué\\.\r\n\\d+: \\S.*$"));
        QVERIFY2(forme.match(e.description()).hasMatch(), qPrintable(e.description()));
    }
}

void TestData::erreur4001() {
    BaseDeTest base;
    try {
        Data().CreeRecordset(QStringLiteral("SELECT * FROM TableInconnue"));
        QFAIL("pas d'erreur");
    } catch (const DataError& e) {
        QCOMPARE(e.numero(), 4001);
        QCOMPARE(e.source(), QStringLiteral("Data"));
        static const QRegularExpression forme(
            QStringLiteral("^L'ouverture d'un recordset a échoué\\.\r\n\\d+: .*TableInconnue.*$"),
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(forme.match(e.description()).hasMatch(), qPrintable(e.description()));
    }
    // The connection is still usable afterwards.
    QVERIFY(Data().CreeRecordset(QStringLiteral("SELECT * FROM UniteMedicale"))->isEOF());
}

void TestData::recordsetRefuseUneEcriture() {
    // A query text never changes the database, whatever it holds.
    BaseDeTest base;
    base.executer(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    QVERIFY(!accesDonnees.executSQL(QStringLiteral("DELETE FROM UniteMedicale")));
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("ERREUR"));
    QVERIFY(m_messages->journal().front().texte.startsWith(
        QStringLiteral("L'ouverture d'un recordset a échoué.\r\n")));
    QVERIFY(!accesDonnees.executSQL(
        QStringLiteral("SELECT * FROM UniteMedicale; DELETE FROM UniteMedicale")));
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 1);
}

void TestData::connexionGardeeParFichier() {
    FICHIER_SQLITE_SEULEMENT();
    BaseDeTest base;
    ConnexionPtr a = Data().CreeConnexion();
    ConnexionPtr b = Data(base.chemin()).CreeConnexion();
    QCOMPARE(a.get(), b.get());
    // The same file reached through another spelling of its path.
    ConnexionPtr c = Data(base.dossier() + QStringLiteral("/./test.mdb")).CreeConnexion();
    QCOMPARE(a.get(), c.get());
    // The kept connection stays in the rollback journal.
    QCOMPARE(modeJournal(base.chemin()), QByteArray("delete"));
}

void TestData::fichierDisparu() {
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("b.mdb"));
    Data::creerBase(chemin);
    cheminBase = chemin;
    QVERIFY(Data().CreeRecordset(QStringLiteral("SELECT * FROM UniteMedicale")));
    QVERIFY(QFile::remove(chemin));
    QFile::remove(chemin + QStringLiteral("-wal"));
    QFile::remove(chemin + QStringLiteral("-shm"));
    QVERIFY(!accesDonnees.getListeUM());
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QVERIFY(m_messages->journal().front().texte.contains(QStringLiteral("introuvable")));
    QVERIFY(!QFileInfo::exists(chemin));
}

void TestData::fichierRemplace() {
    // A file put in place of the open one (a backup restored) is the one read
    // and written afterwards.
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("b.mdb"));
    const QString copie = QDir(dossier.path()).filePath(QStringLiteral("copie.mdb"));
    Data::creerBase(chemin);
    Data::creerBase(copie);
    Data(copie).CreeConnexion()->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES "
                                                        "('SAUVE','Sauvegarde')"));
    cheminBase = chemin;
    accesDonnees.insererUM(QStringLiteral("U1"), QStringLiteral("Un"));
    QCOMPARE(accesDonnees.getListeUM()->RecordCount(), 1);
    Data::fermerConnexions(); // the copy is complete on disk
    ConnexionPtr ancienne = Data().CreeConnexion();
    QVERIFY(QFile::remove(chemin));
    QFile::remove(chemin + QStringLiteral("-wal"));
    QFile::remove(chemin + QStringLiteral("-shm"));
    QVERIFY(QFile::copy(copie, chemin));
    QCOMPARE(colonne(accesDonnees.getListeUM()), QStringList({"SAUVE"}));
    QVERIFY(Data().CreeConnexion().get() != ancienne.get());
    QVERIFY(m_messages->journal().empty());
}

void TestData::creerBaseNeRemplacePas() {
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("existant.mdb"));
    ecrireOctets(chemin, "précieux");
    QVERIFY_THROWS_EXCEPTION(DataError, Data::creerBase(chemin));
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("précieux"));
}

void TestData::journalClassique_data() {
    QTest::addColumn<QByteArray>("laisse"); // journal mode the file was left in
    QTest::newRow("journal classique") << QByteArray("delete");
    QTest::newRow("WAL d'une version antérieure") << QByteArray("wal");
}

void TestData::journalClassique() {
    // The database stays in (or goes back to) SQLite's rollback journal, the
    // only one that works on a network share; the content is kept.
    QFETCH(QByteArray, laisse);
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("b.mdb"));
    Data::creerBase(chemin);
    Data(chemin).CreeConnexion()->Execute(
        QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    Data::fermerConnexions();
    mettreEnJournal(chemin, laisse);
    cheminBase = chemin;
    QVERIFY(Data().ConnexionCorrecte()); // the connectivity test changes nothing
    ConnexionPtr c = Data().CreeConnexion();
    const QByteArray attendu = laisse == "wal" ? QByteArray("delete") : laisse;
    QCOMPARE(modeJournal(chemin), attendu);
    QCOMPARE(colonne(accesDonnees.getListeUM()), QStringList{QStringLiteral("U1")});
    accesDonnees.insererUM(QStringLiteral("U2"), QStringLiteral("Deux"));
    c.reset();
    Data::fermerConnexions();
    // Bytes 18 and 19 of the header: 1 for the rollback journal, 2 for WAL.
    const QByteArray octets = lireOctets(chemin);
    QCOMPARE(int(octets.at(18)), 1);
    QCOMPARE(int(octets.at(19)), 1);
    QVERIFY(!QFileInfo::exists(chemin + QStringLiteral("-wal")));
    QCOMPARE(colonne(accesDonnees.getListeUM()), (QStringList{"U1", "U2"}));
    QVERIFY(m_messages->journal().empty());
}

void TestData::lectureSeule_data() {
    QTest::addColumn<QByteArray>("journal");
    QTest::newRow("journal classique") << QByteArray("delete");
    QTest::newRow("WAL") << QByteArray("wal");
}

void TestData::lectureSeule() {
    QFETCH(QByteArray, journal);
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("ro.mdb"));
    Data::creerBase(chemin);
    {
        ConnexionPtr c = Data(chemin).CreeConnexion();
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    }
    Data::fermerConnexions();
    mettreEnJournal(chemin, journal);
    FichierLectureSeule protection(chemin);
    if (!protection.ok())
        QSKIP("impossible de protéger un fichier en écriture ici");
    const QByteArray avant = empreinte(dossier.path()).value(QStringLiteral("ro.mdb"));
    cheminBase = chemin;

    QVERIFY(Data().ConnexionCorrecte());
    RecordsetPtr rs = accesDonnees.getListeUM();
    QVERIFY(rs);
    QCOMPARE(rs->RecordCount(), 1);
    QVERIFY2(m_messages->journal().empty(), qPrintable(m_messages->textes().join('|')));
    QVERIFY(Data().CreeConnexion()->lectureSeule());

    // A write of two statements: refused with a clear French description,
    // nothing half-written.
    accesDonnees.nouveauUtilisateur(
        QStringLiteral("DUPONT"), QStringLiteral("x"), QStringLiteral("MEDECIN"), QString(),
        QStringLiteral("D1"), QStringLiteral("Dupont"), QStringLiteral("U1"), QStringLiteral("1"));
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("ERREUR"));
    QVERIFY2(m_messages->journal().front().texte.contains(QStringLiteral("lecture seule")),
             qPrintable(m_messages->journal().front().texte));
    QCOMPARE(accesDonnees.getListeUtilisateurs()->RecordCount(), 0);
    QCOMPARE(accesDonnees.getMedecinParCode(QStringLiteral("D1"))->RecordCount(), 0);
    Data::fermerConnexions();
    QCOMPARE(empreinte(dossier.path()).value(QStringLiteral("ro.mdb")), avant);
}

void TestData::dossierLectureSeule_data() {
    lectureSeule_data();
}

void TestData::dossierLectureSeule() {
    QFETCH(QByteArray, journal);
    // A database whose folder cannot be written to (a read-only share): it
    // opens for reading although SQLite cannot put its journal files beside
    // it; a write is refused with a clear description, nothing is created.
    QTemporaryDir dossier;
    const QString sousDossier = QDir(dossier.path()).filePath(QStringLiteral("partage"));
    QVERIFY(QDir().mkdir(sousDossier));
    const QString chemin = QDir(sousDossier).filePath(QStringLiteral("BD.mdb"));
    Data::creerBase(chemin);
    Data(chemin).CreeConnexion()->Execute(
        QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    Data::fermerConnexions();
    mettreEnJournal(chemin, journal);
    FichierLectureSeule protection(sousDossier);
    if (!protection.ok())
        QSKIP("impossible de protéger un dossier en écriture ici");
    const auto avant = empreinte(sousDossier);
    cheminBase = chemin;

    QVERIFY2(Data().ConnexionCorrecte(), qPrintable(m_messages->textes().join('|')));
    QCOMPARE(colonne(accesDonnees.getListeUM()), QStringList{QStringLiteral("U1")});
    QVERIFY2(m_messages->journal().empty(), qPrintable(m_messages->textes().join('|')));
    accesDonnees.insererUM(QStringLiteral("U2"), QStringLiteral("Deux"));
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("ERREUR"));
    QVERIFY2(m_messages->journal().front().texte.contains(QStringLiteral("lecture seule")),
             qPrintable(m_messages->journal().front().texte));
    QCOMPARE(accesDonnees.getListeUM()->RecordCount(), 1);
    Data::fermerConnexions();
    QCOMPARE(empreinte(sousDossier), avant);
}

void TestData::echecLaisseLeFichierIntact() {
    FICHIER_SQLITE_SEULEMENT();
    // A write that fails leaves the file byte for byte as it was, header
    // included: a write of several statements refused half-way, and a long
    // transaction given up after SQLite had to write pages into the file.
    BaseDeTest base;
    base.executer(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());

    ConnexionPtr c = Data().CreeConnexion();
    c->Execute(QStringLiteral("CREATE TEMP TRIGGER refus BEFORE INSERT ON Medecin BEGIN "
                              "SELECT RAISE(ABORT, 'refusé'); END"));
    accesDonnees.nouveauUtilisateur(
        QStringLiteral("DUPONT"), QStringLiteral("x"), QStringLiteral("MEDECIN"), QString(),
        QStringLiteral("D1"), QStringLiteral("Dupont"), QStringLiteral("U1"), QStringLiteral("1"));
    QCOMPARE(m_messages->journal().size(), size_t(1));
    {
        // A cache of a few pages makes SQLite write changed pages into the
        // file before the end of the transaction.
        c->Execute(QStringLiteral("PRAGMA cache_size = 2"));
        Transaction t(*c);
        for (int i = 0; i < 300; ++i)
            c->Execute(QStringLiteral("INSERT INTO Acte_Thesaurus VALUES ('A%1', 1, '', '%2')")
                           .arg(i)
                           .arg(QString(200, QLatin1Char('x'))));
    }
    c.reset();
    Data::fermerConnexions();
    QCOMPARE(lireOctets(base.chemin()), avant);
    QVERIFY(!QFileInfo::exists(base.chemin() + QStringLiteral("-journal")));
}

// ------------------------------------------------------------------ transactions

void TestData::transactionAnnulee() {
    BaseDeTest base;
    ConnexionPtr c = Data().CreeConnexion();
    {
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
        QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 1);
    } // not validated
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 0);
    // An error thrown out of the transaction's scope rolls back too.
    try {
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
        c->Execute(QStringLiteral("INSERT INTO TableInconnue VALUES (1)"));
        t.valider();
        QFAIL("pas d'erreur");
    } catch (const DataError&) {
    }
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 0);
}

void TestData::transactionValidee() {
    BaseDeTest base;
    ConnexionPtr c = Data().CreeConnexion();
    {
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
        t.valider();
    }
    c.reset();
    Data::fermerConnexions();
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 1);
}

void TestData::transactionsImbriquees() {
    BaseDeTest base;
    ConnexionPtr c = Data().CreeConnexion();
    {
        Transaction externe(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
        {
            Transaction interne(*c);
            c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U2','Deux')"));
        } // inner rolled back only
        {
            Transaction interne(*c);
            c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U3','Trois')"));
            interne.valider();
        }
        QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 2);
        externe.valider();
    }
    QCOMPARE(colonne(Data().CreeRecordset(
                 QStringLiteral("SELECT UM_Code FROM UniteMedicale ORDER BY UM_Code"))),
             (QStringList{QStringLiteral("U1"), QStringLiteral("U3")}));
    // An outer rollback takes back what inner transactions validated.
    {
        Transaction externe(*c);
        Transaction interne(*c);
        c->Execute(QStringLiteral("DELETE * FROM UniteMedicale"));
        interne.valider();
    }
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 2);
}

// ------------------------------------------------------------------ recordset

// The read made while the user types: at once, or "busy" at once, never a
// wait nor a message; the file being written by this program's own open
// transaction is not read half-done either.
void TestData::lectureSansAttente() {
    BaseDeTest base;
    base.executer(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    const QString sql = QStringLiteral("SELECT UM_Code FROM UniteMedicale");
    EtatLecture etat = EtatLecture::Echec;
    QString description = QStringLiteral("x");
    QCOMPARE(colonne(depotLireSansAttente(sql, &etat, &description)), QStringList{"U1"});
    QCOMPARE(etat, EtatLecture::Faite);
    QVERIFY(description.isEmpty());

    // Another program writing the file (a server never makes a reader wait).
    FICHIER_SQLITE_SEULEMENT();
    sqlite3* autre = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(base.chemin()).constData(), &autre), SQLITE_OK);
    QCOMPARE(sqlite3_exec(autre, "BEGIN EXCLUSIVE; INSERT INTO UniteMedicale VALUES ('U2','Deux')",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    QElapsedTimer chrono;
    chrono.start();
    QVERIFY(!depotLireSansAttente(sql, &etat, &description));
    QVERIFY2(chrono.elapsed() < 1000, "la lecture a attendu");
    QCOMPARE(etat, EtatLecture::BaseOccupee);
    QCOMPARE(description, messageBaseOccupee());
    // The ordinary read is still usable afterwards: it waits again.
    QCOMPARE(sqlite3_exec(autre, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(autre);
    QCOMPARE(colonne(depotLireSansAttente(sql, &etat)), (QStringList{"U1", "U2"}));
    QCOMPARE(etat, EtatLecture::Faite);

    {
        ConnexionPtr c = Data().CreeConnexion();
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U3','Trois')"));
        QVERIFY(!depotLireSansAttente(sql, &etat));
        QCOMPARE(etat, EtatLecture::BaseOccupee);
    }

    QVERIFY(
        !depotLireSansAttente(QStringLiteral("SELECT x FROM TableInconnue"), &etat, &description));
    QCOMPARE(etat, EtatLecture::Echec);
    QVERIFY2(description.contains(QStringLiteral("TableInconnue")), qPrintable(description));
    QCOMPARE(m_messages->textes(), QStringList());
}

void TestData::genresDesValeurs() {
    BaseDeTest base;
    base.executer(
        QStringLiteral("INSERT INTO CCAM(AMCODE, Activite, Tarif, ICR, Libelle_Complet) VALUES "
                       "('AAAA001','1',12.5,NULL,'Libellé');"
                       "INSERT INTO Utilisateur(UTI_LOGIN, UTI_CREATE, UTI_EMAIL) VALUES "
                       "('A', #03/04/2024#, NULL)"));
    RecordsetPtr rs = Data().CreeRecordset(QStringLiteral("SELECT * FROM CCAM"));
    QCOMPARE(rs->RecordCount(), 1);
    QCOMPARE(rs->Fields(QStringLiteral("Tarif")).typeId(), int(QMetaType::Double));
    QCOMPARE(rs->Fields(QStringLiteral("Tarif")).toDouble(), 12.5);
    QVERIFY(rs->Fields(QStringLiteral("ICR")).isNull());
    QCOMPARE(rs->Fields(QStringLiteral("AMCODE")).typeId(), int(QMetaType::QString));
    QCOMPARE(rs->FieldGenre(rs->indexChamp(QStringLiteral("Tarif"))), Recordset::Genre::Reel);

    rs = Data().CreeRecordset(QStringLiteral("SELECT * FROM Utilisateur"));
    QCOMPARE(rs->Fields(QStringLiteral("UTI_CODE")).typeId(), int(QMetaType::LongLong));
    QCOMPARE(rs->Fields(QStringLiteral("UTI_CREATE")).toDate(), QDate(2024, 3, 4));
    QCOMPARE(rs->Fields(QStringLiteral("UTI_CREATE")).typeId(), int(QMetaType::QDate));
    QVERIFY(rs->Fields(QStringLiteral("UTI_EMAIL")).isNull());
    QVERIFY(rs->Fields(QStringLiteral("UTI_UPDATE")).isNull());

    // Computed columns take the kind of their value.
    rs = Data().CreeRecordset(QStringLiteral("SELECT 1 AS I, 2.5 AS R, 'x' AS T, cstr(7) AS C"));
    QCOMPARE(rs->Fields(QStringLiteral("I")).typeId(), int(QMetaType::LongLong));
    QCOMPARE(rs->Fields(QStringLiteral("R")).typeId(), int(QMetaType::Double));
    QCOMPARE(rs->Fields(QStringLiteral("T")).typeId(), int(QMetaType::QString));
    QCOMPARE(rs->Fields(QStringLiteral("C")).toString(), QStringLiteral("7"));
    QCOMPARE(rs->Fields(QStringLiteral("C")).typeId(), int(QMetaType::QString));
}

void TestData::navigation() {
    BaseDeTest base;
    base.executer(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un'),('U2','Deux'),"
                                 "('U3','Trois')"));
    RecordsetPtr rs =
        Data().CreeRecordset(QStringLiteral("SELECT * FROM UniteMedicale ORDER BY UM_Code"));
    Data::fermerConnexions(); // the recordset stays readable without its connection
    QCOMPARE(rs->RecordCount(), 3);
    QVERIFY(!rs->isEOF());
    QVERIFY(!rs->isBOF());
    QCOMPARE(rs->AbsolutePosition(), 1);
    QCOMPARE(rs->Fields(0).toString(), QStringLiteral("U1"));
    rs->MoveNext();
    QCOMPARE(rs->Fields(0).toString(), QStringLiteral("U2"));
    rs->MoveNext();
    rs->MoveNext();
    QVERIFY(rs->isEOF());
    QCOMPARE(rs->AbsolutePosition(), -1);
    QVERIFY_THROWS_EXCEPTION(DataError, rs->Fields(0));
    rs->MoveNext(); // stays at the end
    QVERIFY(rs->isEOF());
    rs->MoveFirst();
    rs->Move(2);
    QCOMPARE(rs->Fields(0).toString(), QStringLiteral("U3"));
    rs->Move(-5);
    QVERIFY(rs->isBOF());
    QVERIFY(!rs->isEOF());
    rs->Move(1);
    QCOMPARE(rs->Fields(0).toString(), QStringLiteral("U1"));
    rs->MovePrevious();
    QVERIFY(rs->isBOF());
    rs->MoveLast();
    QCOMPARE(rs->AbsolutePosition(), 3);
    rs->setAbsolutePosition(2);
    QCOMPARE(rs->Fields(1).toString(), QStringLiteral("Deux"));
    rs->setAbsolutePosition(9); // ignored
    QCOMPARE(rs->AbsolutePosition(), 2);
    QCOMPARE(rs->valeurLigne(2, 0).toString(), QStringLiteral("U3"));
    QCOMPARE(rs->AbsolutePosition(), 2);
}

void TestData::recordsetVide() {
    BaseDeTest base;
    RecordsetPtr rs = Data().CreeRecordset(QStringLiteral("SELECT * FROM UniteMedicale"));
    QVERIFY(rs);
    QVERIFY(rs->isEOF());
    QVERIFY(rs->isBOF());
    QCOMPARE(rs->RecordCount(), 0);
    QCOMPARE(rs->FieldCount(), 2);
    QCOMPARE(rs->FieldName(1), QStringLiteral("UM_LIB"));
    rs->MoveFirst();
    QVERIFY(rs->isEOF() && rs->isBOF());
    rs->MoveLast();
    QVERIFY(rs->isEOF() && rs->isBOF());
    rs->MoveNext();
    QVERIFY(rs->isEOF() && rs->isBOF());
    QCOMPARE(rs->AbsolutePosition(), -1);
    QVERIFY_THROWS_EXCEPTION(DataError, rs->Fields(QStringLiteral("UM_LIB")));
}

void TestData::champsParNom() {
    BaseDeTest base;
    base.executer(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    RecordsetPtr rs = Data().CreeRecordset(
        QStringLiteral("SELECT UM_Code, UM_LIB, UM_LIB AS um_code FROM UniteMedicale"));
    QCOMPARE(rs->Fields(QStringLiteral("um_lib")).toString(), QStringLiteral("Un"));
    QCOMPARE(rs->Fields(QStringLiteral("UM_CODE")).toString(), QStringLiteral("U1")); // first wins
    QCOMPARE(rs->indexChamp(QStringLiteral("absent")), -1);
    try {
        rs->Fields(QStringLiteral("absent"));
        QFAIL("pas d'erreur");
    } catch (const DataError& e) {
        QVERIFY(e.description().contains(QStringLiteral("absent")));
    }
    QVERIFY_THROWS_EXCEPTION(DataError, rs->Fields(3));
    QVERIFY_THROWS_EXCEPTION(DataError, rs->Fields(-1));
}

void TestData::recordsetEnMemoire() {
    Recordset rs;
    rs.ajouterChamp(QStringLiteral("Nom"));
    rs.ajouterChamp(QStringLiteral("Age"), Recordset::Genre::Entier);
    rs.ajouterLigne({QStringLiteral("A")}); // missing values are NULL
    rs.ajouterLigne({QStringLiteral("B"), 3LL});
    rs.MoveFirst();
    QCOMPARE(rs.RecordCount(), 2);
    QVERIFY(rs.Fields(QStringLiteral("AGE")).isNull());
    rs.MoveNext();
    QCOMPARE(rs.Fields(1).toLongLong(), 3LL);
    // A field added after the rows: NULL in each of them, the others kept.
    rs.ajouterChamp(QStringLiteral("Ville"));
    QVERIFY(rs.Fields(2).isNull());
    QCOMPARE(rs.valeurLigne(0, 0).toString(), QStringLiteral("A"));
    QCOMPARE(rs.valeurLigne(1, 1).toLongLong(), 3LL);
}

// Values given apart from the text (the keyword search): NULL stays NULL, an
// empty text empty, a number a number, and a quote or a question mark is
// only text, in a value as in a literal.
void TestData::valeursApart_data() {
    QTest::addColumn<QVariant>("valeur");
    QTest::newRow("NULL") << QVariant();
    QTest::newRow("texte vide") << QVariant(QString(""));
    QTest::newRow("apostrophe, point d'interrogation") << QVariant(QStringLiteral("l'os ? '?'"));
    QTest::newRow("réel") << QVariant(12.5);
    QTest::newRow("réel négatif") << QVariant(-2.5);
}

void TestData::valeursApart() {
    QFETCH(QVariant, valeur);
    BaseDeTest base;
    const RecordsetPtr rs =
        Data().CreeRecordset(QStringLiteral("SELECT '?' AS Q, ? AS V"), {valeur});
    QCOMPARE(rs->Fields(QStringLiteral("Q")).toString(), QStringLiteral("?"));
    const QVariant lue = rs->Fields(QStringLiteral("V"));
    QCOMPARE(lue.isNull(), valeur.isNull());
    if (valeur.typeId() == QMetaType::Double)
        QCOMPARE(lue.typeId(), int(QMetaType::Double));
    if (!valeur.isNull())
        QCOMPARE(lue.toString(), valeur.toString());
}

// The same text asked again runs with the new values, and follows the
// table when it is made again with other columns; a value too many is
// refused.
void TestData::valeursApartMemeTexte() {
    BaseDeTest base;
    base.executer(QStringLiteral("CREATE TABLE Essai (N INTEGER, T TEXT); INSERT INTO Essai "
                                 "VALUES (1, 'un'); INSERT INTO Essai VALUES (2, 'deux')"));
    const QString sql = QStringLiteral("SELECT * FROM Essai WHERE N = ?");
    QCOMPARE(Data().CreeRecordset(sql, {1})->Fields(QStringLiteral("T")).toString(),
             QStringLiteral("un"));
    QCOMPARE(Data().CreeRecordset(sql, {2})->Fields(QStringLiteral("T")).toString(),
             QStringLiteral("deux"));
    base.executer(QStringLiteral("DROP TABLE Essai; CREATE TABLE Essai (T TEXT, N INTEGER); "
                                 "INSERT INTO Essai VALUES ('trois', 2)"));
    const RecordsetPtr rs = Data().CreeRecordset(sql, {2});
    QCOMPARE(rs->FieldName(0).toUpper(), QStringLiteral("T")); // a server folds names
    QCOMPARE(rs->Fields(0).toString(), QStringLiteral("trois"));
    QVERIFY_THROWS_EXCEPTION(DataError, Data().CreeRecordset(sql, {2, 3}));
    // More texts than a connection keeps: the first, asked again, still reads.
    for (int i = 0; i < 20; ++i)
        QCOMPARE(Data()
                     .CreeRecordset(QStringLiteral("SELECT ? + %1 AS S").arg(i), {1})
                     ->Fields(0)
                     .toInt(),
                 i + 1);
    QCOMPARE(Data().CreeRecordset(QStringLiteral("SELECT ? + 0 AS S"), {5})->Fields(0).toInt(), 5);
}

// ------------------------------------------------------------------ helpers

void TestData::doublerQuotes_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("sans apostrophe") << "Chirurgie"
                                     << "Chirurgie";
    QTest::newRow("une") << "L'unité"
                         << "L''unité";
    QTest::newRow("plusieurs") << "'a''b'"
                               << "''a''''b''";
    QTest::newRow("vide") << ""
                          << "";
    QTest::newRow("typographique inchangée") << "L\u2019unité"
                                             << "L\u2019unité";
    QTest::newRow("guillemets inchangés") << "\"x\""
                                          << "\"x\"";
}

void TestData::doublerQuotes() {
    QFETCH(QString, texte);
    QFETCH(QString, attendu);
    QCOMPARE(::doublerQuotes(texte), attendu);
}

void TestData::valeurTexte_data() {
    QTest::addColumn<QVariant>("valeur");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("texte") << QVariant(QStringLiteral(" Abc ")) << " Abc ";
    QTest::newRow("texte vide") << QVariant(QString("")) << "";
    QTest::newRow("NULL") << QVariant() << "";
    QTest::newRow("entier") << QVariant::fromValue<qlonglong>(42) << "";
    QTest::newRow("int") << QVariant(7) << "";
    QTest::newRow("booléen") << QVariant(true) << "";
    QTest::newRow("réel") << QVariant(12.5) << QLocale().toString(12.5);
    QTest::newRow("réel entier") << QVariant(3.0) << QLocale().toString(3);
    QTest::newRow("date") << QVariant(QDate(2024, 3, 4))
                          << QLocale().toString(QDate(2024, 3, 4), QLocale::ShortFormat);
}

void TestData::valeurTexte() {
    QFETCH(QVariant, valeur);
    QFETCH(QString, attendu);
    QCOMPARE(::valeurTexte(valeur), attendu);
}

void TestData::fonctionsSql_data() {
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("attendu");
    QTest::newRow("Mid début") << "Mid('HBED001',1,2)" << QVariant("HB");
    QTest::newRow("Mid milieu") << "Mid('01.02.03',4,2)" << QVariant("02");
    QTest::newRow("Mid sans longueur") << "Mid('HBED001',5)" << QVariant("001");
    QTest::newRow("Mid au-delà") << "Mid('AB',5,2)" << QVariant("");
    QTest::newRow("Mid accents") << "Mid('ÉCHOGRAPHIE',1,3)" << QVariant("ÉCH");
    QTest::newRow("Mid NULL") << "Mid(NULL,1,2)" << QVariant();
    QTest::newRow("cstr texte") << "cstr('abc')" << QVariant("abc");
    QTest::newRow("cstr entier") << "cstr(12)" << QVariant("12");
    QTest::newRow("cstr NULL") << "cstr(NULL)" << QVariant();
    QTest::newRow("Mid casse") << "MID('ABC',2,1)" << QVariant("B");
}

void TestData::fonctionsSql() {
    QFETCH(QString, expression);
    QFETCH(QVariant, attendu);
    BaseDeTest base;
    RecordsetPtr rs = Data().CreeRecordset(QStringLiteral("SELECT ") + expression + " AS R");
    const QVariant v = rs->Fields(0);
    QCOMPARE(v.isNull(), attendu.isNull());
    if (!attendu.isNull())
        QCOMPARE(v.toString(), attendu.toString());
}

void TestData::likeSansCasse_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("motif");
    QTest::addColumn<bool>("attendu");
    QTest::newRow("ASCII") << "Biopsie du FOIE"
                           << "%foie%" << true;
    QTest::newRow("accent majuscule") << "ÉCHOGRAPHIE"
                                      << "%échographie%" << true;
    QTest::newRow("accent minuscule") << "échographie"
                                      << "ÉCHO%" << true;
    QTest::newRow("accent différent") << "echographie"
                                      << "%écho%" << false;
    QTest::newRow("non latin") << "Ωμέγα"
                               << "%ΩΜΈΓΑ%" << true;
    QTest::newRow("souligné") << "AB"
                              << "A_" << true;
    QTest::newRow("souligné accent") << "AÉ"
                                     << "A_" << true;
    QTest::newRow("absent") << "Biopsie"
                            << "%rein%" << false;
}

void TestData::likeSansCasse() {
    QFETCH(QString, texte);
    QFETCH(QString, motif);
    QFETCH(bool, attendu);
    BaseDeTest base;
    RecordsetPtr rs = Data().CreeRecordset(QStringLiteral("SELECT '") + ::doublerQuotes(texte) +
                                           "' LIKE '" + ::doublerQuotes(motif) + "'");
    QCOMPARE(rs->Fields(0).toLongLong() == 1, attendu);
}

// ------------------------------------------------------------------ Jet dialect

void TestData::traduction_data() {
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("<> null") << "SELECT * FROM CCAM WHERE A = '1' AND Libelle_Complet <> null"
                             << "SELECT * FROM CCAM WHERE A = '1' AND Libelle_Complet IS NOT NULL";
    QTest::newRow("<> NULL collé") << "WHERE X<>NULL"
                                   << "WHERE X IS NOT NULL";
    QTest::newRow("<> nullité") << "WHERE X <> nullite"
                                << "WHERE X <> nullite";
    QTest::newRow("DELETE *") << "DELETE * From Acte_Thesaurus WHERE AT_CAT = 3"
                              << "DELETE FROM Acte_Thesaurus WHERE AT_CAT = 3";
    QTest::newRow("DELETE T.*") << "DELETE Medecin.* From Medecin WHERE MED_CODEUTI = 2"
                                << "DELETE FROM Medecin WHERE MED_CODEUTI = 2";
    QTest::newRow("date") << "UPDATE U SET D = #03/04/2024# where C=1"
                          << "UPDATE U SET D = '2024-03-04' where C=1";
    QTest::newRow("date courte") << "VALUES (#3/4/2024#)"
                                 << "VALUES ('2024-03-04')";
    QTest::newRow("identité") << "SELECT @@IDENTITY AS ID"
                              << "SELECT last_insert_rowid() AS ID";
    QTest::newRow("union") << "SELECT A FROM T WHERE x='1' UNION SELECT A FROM T ORDER BY T.A"
                           << "SELECT A FROM T WHERE x='1' UNION SELECT A FROM T ORDER BY A";
    QTest::newRow("sans union") << "SELECT A FROM T ORDER BY T.A"
                                << "SELECT A FROM T ORDER BY T.A";
    // Literals pass unchanged.
    QTest::newRow("littéral <> null") << "SELECT 'a <> null' AS X"
                                      << "SELECT 'a <> null' AS X";
    QTest::newRow("littéral date") << "INSERT INTO T VALUES ('#01/02/2024#')"
                                   << "INSERT INTO T VALUES ('#01/02/2024#')";
    QTest::newRow("littéral DELETE") << "INSERT INTO T VALUES ('DELETE * FROM T')"
                                     << "INSERT INTO T VALUES ('DELETE * FROM T')";
    QTest::newRow("littéral identité") << "SELECT 'SELECT @@IDENTITY'"
                                       << "SELECT 'SELECT @@IDENTITY'";
    QTest::newRow("apostrophes doublées")
        << "WHERE L = 'L''acte <> null' AND M <> null AND N = ''''"
        << "WHERE L = 'L''acte <> null' AND M IS NOT NULL AND N = ''''";
    QTest::newRow("littéral union") << "SELECT A FROM T WHERE x=' UNION ' ORDER BY T.A"
                                    << "SELECT A FROM T WHERE x=' UNION ' ORDER BY T.A";
    QTest::newRow("littéral ORDER BY") << "SELECT 1 UNION SELECT 2 ORDER BY 1, 'T.A'"
                                       << "SELECT 1 UNION SELECT 2 ORDER BY 1, 'T.A'";
    QTest::newRow("guillemets") << "SELECT \"a <> null\" AS X"
                                << "SELECT \"a <> null\" AS X";
    QTest::newRow("littéral non fermé") << "SELECT 'abc <> null"
                                        << "SELECT 'abc <> null";
    QTest::newRow("commentaire") << "-- l'unité <> null\nSELECT 1 -- fin #01/02/2024#"
                                 << "-- l'unité <> null\nSELECT 1 -- fin #01/02/2024#";
    QTest::newRow("après commentaire") << "-- note\nDELETE * FROM T WHERE a <> null"
                                       << "-- note\nDELETE FROM T WHERE a IS NOT NULL";
    QTest::newRow("moins") << "SELECT 3-1 WHERE a <> null"
                           << "SELECT 3-1 WHERE a IS NOT NULL";
    QTest::newRow("vide") << ""
                          << "";
    // Labels are ordered as people read them; codes keep their index order.
    QTest::newRow("ORDER BY libellé")
        << "SELECT * FROM CategorieThesaurus WHERE CT_LIEN = 'D1' AND CT_TYPE = 2 ORDER BY CT_LIB"
        << "SELECT * FROM CategorieThesaurus WHERE CT_LIEN = 'D1' AND CT_TYPE = 2 ORDER BY "
           "CT_LIB COLLATE FRANCAIS";
    QTest::newRow("ORDER BY qualifié") << "SELECT * FROM Utilisateur ORDER BY Utilisateur.UTI_LOGIN"
                                       << "SELECT * FROM Utilisateur ORDER BY "
                                          "Utilisateur.UTI_LOGIN COLLATE FRANCAIS";
    QTest::newRow("ORDER BY code unité") << "select * from UniteMedicale ORDER BY UM_Code"
                                         << "select * from UniteMedicale ORDER BY UM_Code COLLATE "
                                            "FRANCAIS";
    QTest::newRow("ORDER BY code d'acte") << "SELECT AMCODE FROM CCAM ORDER BY CCAM.AMCODE"
                                          << "SELECT AMCODE FROM CCAM ORDER BY CCAM.AMCODE";
    QTest::newRow("ORDER BY DESC") << "SELECT 1 ORDER BY CT_LIB DESC, CT_CODE"
                                   << "SELECT 1 ORDER BY CT_LIB COLLATE FRANCAIS DESC, CT_CODE";
    QTest::newRow("libellé hors ORDER BY")
        << "SELECT CT_LIB FROM CategorieThesaurus WHERE CT_LIB = 'a' ORDER BY CT_CODE"
        << "SELECT CT_LIB FROM CategorieThesaurus WHERE CT_LIB = 'a' ORDER BY CT_CODE";
    QTest::newRow("collation déjà donnée") << "SELECT 1 ORDER BY CT_LIB COLLATE NOCASE"
                                           << "SELECT 1 ORDER BY CT_LIB COLLATE NOCASE";
    QTest::newRow("littéral dans ORDER BY") << "SELECT 1 ORDER BY CT_LIB, 'CT_LIB', MED_LIB"
                                            << "SELECT 1 ORDER BY CT_LIB COLLATE FRANCAIS, "
                                               "'CT_LIB', MED_LIB COLLATE FRANCAIS";
    QTest::newRow("union et libellé")
        << "SELECT CT_LIB FROM T WHERE x = '1' UNION SELECT CT_LIB FROM T ORDER BY T.CT_LIB"
        << "SELECT CT_LIB FROM T WHERE x = '1' UNION SELECT CT_LIB FROM T ORDER BY CT_LIB "
           "COLLATE FRANCAIS";
    QTest::newRow("autre colonne") << "SELECT 1 ORDER BY CT_LIBELLE"
                                   << "SELECT 1 ORDER BY CT_LIBELLE";
    // A code prefix also given as the range the code index serves.
    QTest::newRow("préfixe de code") << "SELECT AMCODE FROM CCAM WHERE Mid(AMCODE,1,2) = 'ZZ'"
                                     << "SELECT AMCODE FROM CCAM WHERE (AMCODE >= 'ZZ' AND AMCODE "
                                        "< 'Z[' AND Mid(AMCODE,1,2) = 'ZZ')";
    QTest::newRow("préfixe qualifié, NOT")
        << "SELECT 1 FROM CCAM WHERE NOT Mid(CCAM.AMCODE, 1, 1) = 'H' AND Phase = '0'"
        << "SELECT 1 FROM CCAM WHERE NOT (CCAM.AMCODE >= 'H' AND CCAM.AMCODE < 'I' AND "
           "Mid(CCAM.AMCODE, 1, 1) = 'H') AND Phase = '0'";
    QTest::newRow("préfixe plus court que n") << "SELECT 1 FROM T WHERE Mid(Code,1,5) = '01.0'"
                                              << "SELECT 1 FROM T WHERE Mid(Code,1,5) = '01.0'";
    QTest::newRow("préfixe dans une expression")
        << "SELECT 1 FROM T WHERE 'x' || Mid(Code,1,2) = 'x0' OR Mid(Code,1,1) = '0' || ''"
        << "SELECT 1 FROM T WHERE 'x' || Mid(Code,1,2) = 'x0' OR Mid(Code,1,1) = '0' || ''";
    // The keyword search without its index reads the table once.
    QTest::newRow("recherche sans index")
        << "select AMCODE from CCAM where (Libelle_sans_accent like '%rein%' OR "
           "Libelle_simplifie like '%rein%') ORDER BY CCAM.AMCODE"
        << "select AMCODE from CCAM NOT INDEXED where (Libelle_sans_accent like '%rein%' OR "
           "Libelle_simplifie like '%rein%') ORDER BY CCAM.AMCODE";
    QTest::newRow("recherche par code, index gardé")
        << "select AMCODE from CCAM where AMCODE like 'HB%' and Libelle_Complet <> null"
        << "select AMCODE from CCAM where AMCODE like 'HB%' and Libelle_Complet IS NOT NULL";
    QTest::newRow("recherche par l'index des libellés")
        << "select AMCODE from CCAM where AMCODE IN (SELECT AMCODE FROM CCAM_Recherche WHERE "
           "CCAM_Recherche MATCH 'rein') and Libelle_Complet like '%rein%'"
        << "select AMCODE from CCAM where AMCODE IN (SELECT AMCODE FROM CCAM_Recherche WHERE "
           "CCAM_Recherche MATCH 'rein') and Libelle_Complet like '%rein%'";
    QTest::newRow("LIKE et un code") << "select 1 from CCAM where AMCODE = 'X' and L like '%a%'"
                                     << "select 1 from CCAM where AMCODE = 'X' and L like '%a%'";
    QTest::newRow("LIKE sur une fonction") << "select 1 from CCAM where lower(L) like '%a%'"
                                           << "select 1 from CCAM where lower(L) like '%a%'";
    QTest::newRow("LIKE dans un littéral") << "select 1 from CCAM where L = 'x like ''%y%'''"
                                           << "select 1 from CCAM where L = 'x like ''%y%'''";
}

void TestData::traduction() {
    QFETCH(QString, jet);
    QFETCH(QString, sqlite);
    QCOMPARE(traduireJet(jet), sqlite);
}

// The server's texts, checked without a server.
void TestData::traductionServeur_data() {
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("serveur");
    QTest::newRow("Mid") << "SELECT Mid(AMCODE, 2, 3) AS M FROM CCAM"
                         << "SELECT substr(AMCODE, 2, 3) AS M FROM CCAM";
    QTest::newRow("préfixe de code")
        << "SELECT AMCODE FROM CCAM WHERE Mid(AMCODE,1,2) = 'HB' ORDER BY CCAM.AMCODE"
        << "SELECT AMCODE FROM CCAM WHERE (AMCODE >= 'HB' AND AMCODE < 'HC' AND "
           "substr(AMCODE,1,2) = 'HB') ORDER BY CCAM.AMCODE";
    QTest::newRow("préfixe avec apostrophe")
        << "SELECT * FROM Hierarchie2 WHERE Mid(Code,1,2) = 'O''' ORDER BY Code"
        << "SELECT * FROM Hierarchie2 WHERE (Code >= 'O''' AND Code < 'O(' AND "
           "substr(Code,1,2) = 'O''') ORDER BY Code";
    QTest::newRow("préfixe d'une autre longueur")
        << "SELECT * FROM T WHERE Mid(Code,1,3) = 'AB'"
        << "SELECT * FROM T WHERE substr(Code,1,3) = 'AB'";
    QTest::newRow("LIKE sans échappement, pas de NOT INDEXED")
        << "select AMCODE from CCAM where (Libelle_sans_accent like '%l''os%' OR "
           "Libelle_simplifie LIKE '%os%') ORDER BY CCAM.AMCODE"
        << "select AMCODE from CCAM where (Libelle_sans_accent ILIKE '%l''os%' ESCAPE '' OR "
           "Libelle_simplifie ILIKE '%os%' ESCAPE '') ORDER BY CCAM.AMCODE";
    QTest::newRow("date") << "UPDATE Utilisateur SET UTI_CREATE = #3/4/2024# WHERE UTI_CODE = 1"
                          << "UPDATE Utilisateur SET UTI_CREATE = DATE '2024-03-04' WHERE "
                             "UTI_CODE = 1";
    QTest::newRow("identité") << "SELECT @@IDENTITY AS ID"
                              << "SELECT lastval() AS ID";
    QTest::newRow("nom accentué") << QString::fromUtf8("SELECT * FROM Systèmes")
                                  << QString::fromUtf8("SELECT * FROM \"systèmes\"");
    QTest::newRow("nom accentué entre guillemets")
        << QString::fromUtf8("SELECT SYCODE FROM \"Systèmes\" WHERE SYLIBELLE = 'Systèmes'")
        << QString::fromUtf8("SELECT SYCODE FROM \"systèmes\" WHERE SYLIBELLE = 'Systèmes'");
    QTest::newRow("ORDER BY libellé")
        << "SELECT * FROM CategorieThesaurus WHERE CT_LIEN = 'D1' ORDER BY CT_LIB DESC, CT_CODE"
        << "SELECT * FROM CategorieThesaurus WHERE CT_LIEN = 'D1' ORDER BY "
           "tarvenor_ordre(CT_LIB) DESC, CT_LIB DESC, CT_CODE";
    QTest::newRow("littéral intact")
        << QString::fromUtf8("SELECT 'Mid(AMCODE,1,2) = ''HB'' like #01/02/2024# Systèmes "
                             "@@IDENTITY' AS L")
        << QString::fromUtf8("SELECT 'Mid(AMCODE,1,2) = ''HB'' like #01/02/2024# Systèmes "
                             "@@IDENTITY' AS L");
}

void TestData::traductionServeur() {
    QFETCH(QString, jet);
    QFETCH(QString, serveur);
    QCOMPARE(traduireJet(jet, Dialecte::Postgres), serveur);
}

void TestData::traductionDesRequetesDesDepots() {
    // Every text the repositories build runs on a database of the schema
    // (the translation yields valid SQL naming existing tables and columns).
    BaseDeTest base;
    const QString q = QStringLiteral("O'K");
    const QDate jour(2024, 12, 31);
    QStringList textes{AccesDonnees::sqlGetLibelleUniteMedicale(q),
                       AccesDonnees::sqlGetListeMedecins(q),
                       AccesDonnees::sqlGetMedecin(3),
                       AccesDonnees::sqlGetMedecinParCode(q),
                       AccesDonnees::sqlGetUM(q),
                       AccesDonnees::sqlGetListeUM(),
                       AccesDonnees::sqlGetUtilisateurLogin(q),
                       AccesDonnees::sqlGetUtilisateur(3),
                       AccesDonnees::sqlGetListeUtilisateurs(),
                       AccesDonnees::sqlGetActe(q, QString()),
                       AccesDonnees::sqlGetActe(q, q),
                       AccesDonnees::sqlInsererUM(q, q),
                       AccesDonnees::sqlModifierUM(q, q),
                       AccesDonnees::sqlSupprimerUM(q),
                       AccesDonnees::sqlInsererUtilisateur(q, q, q, q, jour),
                       AccesDonnees::sqlInsererUtilisateur(q, q, q, QString(), jour),
                       AccesDonnees::sqlInsererMedecin(q, q, q, q, 3),
                       AccesDonnees::sqlModifierUtilisateur(3, q, q, q, q, jour),
                       AccesDonnees::sqlModifierUtilisateur(3, q, q, q, QString(), jour),
                       AccesDonnees::sqlMedecinEnregistre(3, QString(), q, q, q, q),
                       AccesDonnees::sqlMedecinEnregistre(3, q, q, q, q, q),
                       AccesDonnees::sqlMedecinEnregistre(3, q, QString(), q, q, q),
                       adCCAM::sqlGetActe(q, q, QString()),
                       adCCAM::sqlGetActe(q, q, q),
                       adCCAM::sqlGetPhases(q),
                       adCCAM::sqlGetActivites(q, QString()),
                       adCCAM::sqlGetActivites(q, q),
                       adCCAM::sqlGetListSystemes(),
                       adCCAM::sqlGetListOrganes(q),
                       adCCAM::sqlGetListActes_ParOrgane(q),
                       adCCAM::sqlGetHierar(1, q),
                       adCCAM::sqlGetHierar(2, q),
                       adCCAM::sqlGetHierar(3, q),
                       adCCAM::sqlGetHierar(4, q),
                       adCCAM::sqlGetListActes_ParHierar(q),
                       adCCAM::sqlGetLibellePosition(QStringLiteral("01")),
                       adCCAM::sqlGetLibellePosition(QStringLiteral("01.02")),
                       adCCAM::sqlGetLibellePosition(QStringLiteral("01.02.03")),
                       adCCAM::sqlGetLibellePosition(QStringLiteral("01.02.03.04")),
                       adCCAM::sqlGetCodesProcedure(q),
                       adCCAM::sqlGetProceduresParActe(q),
                       adCCAM::sqlGetIncompatibilites(q),
                       adCCAM::sqlGetActesComplementaires(q, q),
                       adCCAM::sqlGetListeModificateurs(q, q),
                       adCCAM::sqlGetListeNotesUtilisation(q),
                       adCCAM::sqlGetNotesUtilisationHier(q),
                       adCCAM::sqlGetExtDoc(q, q),
                       adCCAM::sqlGetExoneration(q, q, q),
                       adCCAM::sqlGetRegroupement(q, q, q),
                       adCCAM::sqlSuppActeTheserus(3, q),
                       adCCAM::sqlInsererActeTheserus(3, q, q, q),
                       adCCAM::sqlInsererCategorie(q, q, 1),
                       adCCAM::sqlModifLibelleCategorie(3, q),
                       adCCAM::sqlGetCategoriesThesaurus(q, 2),
                       adCCAM::sqlGetActesCatTheserus(3),
                       adCCAM::sqlActeExisteDansCat(q, 3),
                       QStringLiteral("SELECT @@IDENTITY AS ID")};
    textes << AccesDonnees::sqlSupprimerUtilisateur(3) << adCCAM::sqlSuppCatTheserus(3);
    ConnexionPtr c = Data().CreeConnexion();
    for (const QString& sql : textes) {
        const QString traduit = traduireJet(sql);
        // Literals are untouched: the quote-doubled value is still there.
        if (sql.contains(QStringLiteral("'O''K'")))
            QVERIFY2(traduit.contains(QStringLiteral("'O''K'")), qPrintable(traduit));
        QVERIFY2(!traduit.contains(QStringLiteral("<> null"), Qt::CaseInsensitive),
                 qPrintable(traduit));
        QVERIFY2(!traduit.contains(QLatin1Char('#')), qPrintable(traduit));
        QVERIFY2(!traduit.contains(QStringLiteral("@@")), qPrintable(traduit));
        QVERIFY2(!traduit.contains(QStringLiteral("DELETE *"), Qt::CaseInsensitive),
                 qPrintable(traduit));
        static const QRegularExpression deleteEtoile(QStringLiteral("DELETE\\s+\\S*\\*"));
        QVERIFY2(!traduit.contains(deleteEtoile), qPrintable(traduit));
        Transaction t(*c); // never kept
        try {
            if (sql.startsWith(QStringLiteral("select"), Qt::CaseInsensitive))
                c->Ouvrir(sql);
            else
                c->Execute(sql);
        } catch (const DataError& e) {
            QFAIL(qPrintable(sql + QStringLiteral(" -> ") + e.description()));
        }
    }
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM Utilisateur")), 0);
}

void TestData::ordreFrancais_data() {
    QTest::addColumn<QStringList>("saisis");
    QTest::addColumn<QStringList>("attendus");
    QTest::newRow("casse et accents") << QStringList{"Fémur", "Bras", "coude", "abdomen", "Épaule"}
                                      << QStringList{"abdomen", "Bras", "coude", "Épaule", "Fémur"};
    QTest::newRow("capitale accentuée")
        << QStringList{"Prothèses", "À classer"} << QStringList{"À classer", "Prothèses"};
    QTest::newRow("accent ignoré") << QStringList{"Radiographie", "Ecole", "Échographie"}
                                   << QStringList{"Échographie", "Ecole", "Radiographie"};
    QTest::newRow("ne diffèrent que par la casse")
        << QStringList{"bras", "Bras", "BRAS"} << QStringList{"BRAS", "Bras", "bras"};
    // An accent typed as a combining mark (a file from another system)
    // sorts with its letter.
    QTest::newRow("accent décomposé")
        << QStringList{"Ecole", QString::fromUtf8("E\u0301paule"), "Dos"}
        << QStringList{"Dos", "Ecole", QString::fromUtf8("E\u0301paule")};
    QTest::newRow("préfixe d'abord") << QStringList{"Genoux", "Genou", "genou droit"}
                                     << QStringList{"Genou", "genou droit", "Genoux"};
}

void TestData::ordreFrancais() {
    // The registered order, as the database applies it to the labels of a
    // query and as the lists apply it to their columns.
    QFETCH(QStringList, saisis);
    QFETCH(QStringList, attendus);
    BaseDeTest base;
    for (const QString& l : saisis)
        accesCCAM.insererCategorie(QStringLiteral("D1"), l, 2);
    const QStringList lus = colonne(accesCCAM.getCategoriesThesaurus(QStringLiteral("D1"), 2),
                                    QStringLiteral("CT_LIB"));
    QStringList tries = saisis;
    std::sort(tries.begin(), tries.end(), avantFrancais);
    QCOMPARE(lus, tries);
    QCOMPARE(lus, attendus);
    if (testsSurServeur())
        return; // what follows is about the SQLite file
    // The order is only named in queries: the schema stays readable and
    // writable by any SQLite tool.
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE sql LIKE "
                                         "'%COLLATE%'")),
             0);
    Data::fermerConnexions();
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(base.chemin()).constData(), &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db,
                          "INSERT INTO CategorieThesaurus(CT_TYPE, CT_LIB, CT_LIEN) VALUES (2, "
                          "'outil', 'D1'); CREATE INDEX i ON CategorieThesaurus(CT_LIB); "
                          "DROP INDEX i",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);
}

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
