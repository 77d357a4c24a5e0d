// The database a new account starts on: the default beside the program when
// it is there or can be put there, otherwise a demonstration database of the
// user's own, made once and never written over another file.

#include "BaseInitiale.h"
#include "Data.h"
#include "FichiersDeTest.h"
#include "Messages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// What is on the disk before the program starts.
enum class Situation {
    DefautExistant,           // DATA/BD.mdb is there
    CheminMemorise,           // the login remembers a path; no DATA folder
    DefautAbsentInscriptible, // DATA exists, empty, writable
    DataAbsent,               // no DATA folder (the installed program)
    DataLectureSeule,         // DATA exists but cannot be written to
    FichierTexteUtilisateur,  // no DATA; the user's BD.mdb is a text file
    SqliteEtranger,           // no DATA; the user's BD.mdb is another program's SQLite file
    DonneesImpossibles,       // no DATA; the data folder cannot be made (a file is in the way)
};

// A SQLite file with no table of this program.
void creerSqliteEtranger(const QString& chemin) {
    Data::creerBase(chemin);
    ConnexionPtr c = Data(chemin).CreeConnexion();
    c->Execute(QStringLiteral("DROP TABLE Utilisateur"));
    Data::fermerConnexions();
}

bool baseDuProgramme(const QString& chemin) {
    MessagesScriptes messages;
    const bool ok = Data(chemin).ConnexionCorrecte();
    return ok && messages.journal().empty();
}

} // namespace

class tst_baseInitiale : public QObject {
    Q_OBJECT

private slots:
    void choix_data();
    void choix();
    void deuxiemeDemarrageReutilise();

private:
    QTemporaryDir m_dossier;
};

void tst_baseInitiale::choix_data() {
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<bool>("baseUtilisateur"); // the user's file is offered
    QTest::addColumn<bool>("creee");
    QTest::addColumn<QString>("message"); // a part of the message, or empty for none

    QTest::newRow("défaut existant") << Situation::DefautExistant << false << false << QString();
    QTest::newRow("chemin mémorisé") << Situation::CheminMemorise << false << false << QString();
    QTest::newRow("défaut absent, dossier inscriptible")
        << Situation::DefautAbsentInscriptible << false << false << QString();
    QTest::newRow("programme installé") << Situation::DataAbsent << true << true << QString();
    QTest::newRow("dossier DATA en lecture seule")
        << Situation::DataLectureSeule << true << true << QString();
    QTest::newRow("fichier texte à la place")
        << Situation::FichierTexteUtilisateur << true << false
        << QStringLiteral("existe déjà et n'a pas été remplacé");
    QTest::newRow("base SQLite d'un autre programme")
        << Situation::SqliteEtranger << true << false << QStringLiteral("table des utilisateurs");
    QTest::newRow("dossier de données impossible")
        << Situation::DonneesImpossibles << false << false
        << QStringLiteral("n'a pas pu être créée");
}

void tst_baseInitiale::choix() {
    QFETCH(Situation, situation);
    QFETCH(bool, baseUtilisateur);
    QFETCH(bool, creee);
    QFETCH(QString, message);

    QTemporaryDir racine;
    const QDir r(racine.path());
    const QString data = r.filePath(QStringLiteral("bin/DATA"));
    const QString defaut = data + QStringLiteral("/BD.mdb");
    QString donnees = r.filePath(QStringLiteral("home/.local/share/Tarvenor"));
    const QString fichierUtilisateur = donnees + QStringLiteral("/BD.mdb");
    QVERIFY(r.mkpath(QStringLiteral("bin")));
    QString memorise;
    std::unique_ptr<FichierLectureSeule> lectureSeule;
    QByteArray avant;

    switch (situation) {
    case Situation::DefautExistant:
        QVERIFY(r.mkpath(data));
        ecrireOctets(defaut, "contenu");
        break;
    case Situation::CheminMemorise:
        memorise = r.filePath(QStringLiteral("ailleurs.mdb"));
        break;
    case Situation::DefautAbsentInscriptible:
        QVERIFY(r.mkpath(data));
        break;
    case Situation::DataAbsent:
        break;
    case Situation::DataLectureSeule:
        QVERIFY(r.mkpath(data));
        lectureSeule = std::make_unique<FichierLectureSeule>(data);
        if (!lectureSeule->ok())
            QSKIP("Aucun moyen ici de rendre un dossier non inscriptible.");
        break;
    case Situation::FichierTexteUtilisateur:
        QVERIFY(r.mkpath(donnees));
        ecrireOctets(fichierUtilisateur, "Notes personnelles\n");
        break;
    case Situation::SqliteEtranger:
        QVERIFY(r.mkpath(donnees));
        creerSqliteEtranger(fichierUtilisateur);
        break;
    case Situation::DonneesImpossibles:
        QVERIFY(r.mkpath(QStringLiteral("home/.local")));
        ecrireOctets(r.filePath(QStringLiteral("home/.local/share")), "un fichier");
        break;
    }
    if (QFileInfo::exists(fichierUtilisateur))
        avant = lireOctets(fichierUtilisateur);
    const auto autourAvant = empreinte(racine.path());

    MessagesScriptes messages;
    const BaseInitiale b = cheminBaseInitial(defaut, memorise, donnees);

    QCOMPARE(b.chemin, baseUtilisateur ? fichierUtilisateur : defaut);
    QCOMPARE(b.demonstrationCreee, creee);
    if (message.isEmpty())
        QCOMPARE(b.message, QString());
    else
        QVERIFY2(b.message.contains(message), qPrintable(b.message));
    // The choice itself shows nothing: the start-up shows the message.
    QVERIFY(messages.journal().empty());
    if (creee) {
        QVERIFY(baseDuProgramme(fichierUtilisateur));
    } else {
        // Nothing was made or changed anywhere.
        QCOMPARE(empreinte(racine.path()), autourAvant);
        if (!avant.isEmpty())
            QCOMPARE(lireOctets(fichierUtilisateur), avant);
    }
}

void tst_baseInitiale::deuxiemeDemarrageReutilise() {
    QTemporaryDir racine;
    const QString defaut = racine.filePath(QStringLiteral("usr/bin/DATA/BD.mdb"));
    const QString donnees = racine.filePath(QStringLiteral("Tarvenor"));
    const BaseInitiale premier = cheminBaseInitial(defaut, {}, donnees);
    QVERIFY(premier.demonstrationCreee);
    QVERIFY2(premier.message.isEmpty(), qPrintable(premier.message));
    // The user works in it; the next start finds it and keeps it as it is.
    {
        ConnexionPtr c = Data(premier.chemin).CreeConnexion();
        c->Execute(
            QStringLiteral("UPDATE Utilisateur SET UTI_LOGIN = 'DIM2' WHERE UTI_LOGIN = 'DIM'"));
        Data::fermerConnexions();
    }
    const QByteArray travail = lireOctets(premier.chemin);
    const BaseInitiale second = cheminBaseInitial(defaut, {}, donnees);
    QCOMPARE(second.chemin, premier.chemin);
    QVERIFY(!second.demonstrationCreee);
    QCOMPARE(second.message, QString());
    QCOMPARE(lireOctets(second.chemin), travail);
    QCOMPARE(QDir(donnees).entryList(QDir::Files), QStringList{"BD.mdb"});
}

QTEST_GUILESS_MAIN(tst_baseInitiale)
#include "tst_baseInitiale.moc"
