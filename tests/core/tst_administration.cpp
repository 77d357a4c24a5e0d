// Administration without a display: the rules that keep an administrator
// able to come back, two administrators writing the same code at once (two
// connections on one file), texts of every kind stored intact, and the
// question asked before deleting a unit.

#include "AccesDonnees.h"
#include "Administration.h"
#include "BaseDeTest.h"
#include "Chiffrement.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "Parametres.h"
#include "Session.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>
#include <thread>

namespace {
FicheUtilisateur fiche(const QString& login, const QString& groupe = QStringLiteral("DIM")) {
    FicheUtilisateur f;
    f.login = login;
    f.motDePasse = QStringLiteral("SECRET");
    f.groupe = groupe;
    return f;
}

FicheUtilisateur ficheMedecin(const QString& login, const QString& code) {
    FicheUtilisateur f = fiche(login, QStringLiteral("MEDECIN"));
    f.medecin = true;
    f.codeMedecin = code;
    f.nom = QStringLiteral("NOM ") + code;
    f.UM = QStringLiteral("ORTH");
    f.activite = QStringLiteral("1");
    return f;
}

// A second program on the same file: its own SQLite connection, which takes
// the write lock, writes, and commits a moment later from another thread.
class AutreProgramme {
public:
    explicit AutreProgramme(const QString& chemin) {
        sqlite3_open_v2(QFile::encodeName(chemin).constData(), &m_db, SQLITE_OPEN_READWRITE,
                        nullptr);
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~AutreProgramme() {
        if (m_fil.joinable())
            m_fil.join();
        sqlite3_close(m_db);
    }
    // Writes `sql` in an open transaction, committed after `delai` ms.
    void ecrireEtValiderPlusTard(const char* sql, int delai) {
        QCOMPARE(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        m_fil = std::thread([this, delai] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delai));
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        });
    }

private:
    sqlite3* m_db = nullptr;
    std::thread m_fil;
};
} // namespace

class TestAdministration : public QObject {
    Q_OBJECT
private slots:
    void init() { reinitialiserEtatGlobal(); }
    void cleanup() { reinitialiserEtatGlobal(); }

    void creationEtMotDePasseChiffre();
    void motsDePasseHaches();
    void deuxAdministrateursEnMemeTemps_data();
    void deuxAdministrateursEnMemeTemps();
    void refusDeSuppression();
    void dernierAdminResteAdmin();
    void modificationDUnCompteDisparu();
    void textesConservesIntacts();
    void echecSignaleUneFois();
    void questionSuppressionUM();
};

void TestAdministration::creationEtMotDePasseChiffre() {
    BaseDeTest base(true);
    MessagesScriptes messages;
    QVERIFY(administration::creerUtilisateur(ficheMedecin("DUPONT", "JDUPONT")).fait());
    RecordsetPtr rs = accesDonnees.getUtilisateurLogin(QStringLiteral("DUPONT"));
    QVERIFY(rs && !rs->isEOF());
    QVERIFY(rs->Fields(QStringLiteral("UTI_PWD")).toString().startsWith("pbkdf2-sha256$"));
    const long code = long(rs->Fields(QStringLiteral("UTI_CODE")).toLongLong());
    QCOMPARE(colonne(accesDonnees.getMedecin(code), QStringLiteral("MED_CODE")),
             QStringList{"JDUPONT"});

    // Modified without doctor fields: the doctor row goes.
    FicheUtilisateur f = fiche(QStringLiteral("DUPONT"));
    f.code = code;
    f.ancienCodeMedecin = QStringLiteral("JDUPONT");
    QVERIFY(administration::modifierUtilisateur(f).fait());
    QCOMPARE(
        base.compter("SELECT count(*) FROM Medecin WHERE MED_CODEUTI = " + QString::number(code)),
        0LL);
    QVERIFY(messages.journal().empty());
}

void TestAdministration::motsDePasseHaches() {
    // No stored password can be read back: each is a salted PBKDF2 hash, two
    // equal passwords are stored differently, a character outside
    // Windows-1252 counts as itself, a value of the old cipher is accepted
    // once and replaced by a hash, and an empty field keeps the password.
    BaseDeTest base;
    MessagesScriptes messages;
    QTemporaryDir reglages;
    Parametres::redirigerVers(reglages.filePath(QStringLiteral("tarvenor.ini")));
    const auto stocke = [&](const QString& login) {
        return colonne(accesDonnees.getUtilisateurLogin(login), QStringLiteral("UTI_PWD")).value(0);
    };
    const auto connecte = [&](const QString& login, const QString& mdp) {
        return ouvrirSession(login, mdp, base.chemin()).resultat.estFait();
    };
    const QString prefixe = QStringLiteral("pbkdf2-sha256$");

    FicheUtilisateur a = fiche(QStringLiteral("ADMIN2"), QStringLiteral("ADMIN"));
    FicheUtilisateur b = fiche(QStringLiteral("DIM2"));
    b.motDePasse = a.motDePasse = QStringLiteral("MÊME ΣECRET");
    QVERIFY(administration::creerUtilisateur(a).fait());
    QVERIFY(administration::creerUtilisateur(b).fait());
    for (const QString& login : {a.login, b.login}) {
        QVERIFY2(stocke(login).startsWith(prefixe), qPrintable(stocke(login)));
        QVERIFY(!stocke(login).contains(QStringLiteral("SECRET")));
        QCOMPARE(stocke(login).split(u'$').size(), 4);
    }
    QVERIFY(stocke(a.login) != stocke(b.login));
    QVERIFY(connecte(a.login, a.motDePasse));
    // The Greek letter was "?" in the old cipher: "?" no longer opens.
    QVERIFY(!connecte(a.login, QStringLiteral("MÊME ?ECRET")));
    QVERIFY(!connecte(a.login, QStringLiteral("MÊME SECRET")));

    // A value of the old cipher ("SECRET", as every earlier version stored
    // it): refused with a wrong password, accepted with the right one, then
    // stored as a hash that opens the session again.
    base.executer(QStringLiteral("INSERT INTO Utilisateur (UTI_LOGIN, UTI_PWD, UTI_GROUP) "
                                 "VALUES ('ANCIEN', '") +
                  doublerQuotes(crypter(QStringLiteral("SECRET"), cleChiffrement)) +
                  QStringLiteral("', 'DIM')"));
    QVERIFY(!connecte(QStringLiteral("ANCIEN"), QStringLiteral("SECRE")));
    QVERIFY(!stocke(QStringLiteral("ANCIEN")).startsWith(prefixe));
    QVERIFY(connecte(QStringLiteral("ANCIEN"), QStringLiteral("SECRET")));
    const QString rehache = stocke(QStringLiteral("ANCIEN"));
    QVERIFY2(rehache.startsWith(prefixe), qPrintable(rehache));
    QVERIFY(connecte(QStringLiteral("ANCIEN"), QStringLiteral("SECRET")));
    QVERIFY(!connecte(QStringLiteral("ANCIEN"), QStringLiteral("AUTRE")));
    QCOMPARE(stocke(QStringLiteral("ANCIEN")), rehache);

    // Modified with an empty field: the password stays; with a new one, only
    // the new one opens.
    b.code = long(colonne(accesDonnees.getUtilisateurLogin(b.login), QStringLiteral("UTI_CODE"))
                      .value(0)
                      .toLongLong());
    const QString avant = stocke(b.login);
    b.motDePasse.clear();
    b.email = QStringLiteral("DIM2@EXEMPLE.FR");
    QVERIFY(administration::modifierUtilisateur(b).fait());
    QCOMPARE(stocke(b.login), avant);
    QVERIFY(connecte(b.login, QStringLiteral("MÊME ΣECRET")));
    b.motDePasse = QStringLiteral("NOUVEAU");
    QVERIFY(administration::modifierUtilisateur(b).fait());
    QVERIFY(stocke(b.login).startsWith(prefixe));
    QVERIFY(connecte(b.login, QStringLiteral("NOUVEAU")));
    QVERIFY(!connecte(b.login, QStringLiteral("MÊME ΣECRET")));
    QVERIFY2(messages.journal().empty(), qPrintable(messages.textes().join(u'|')));
    Parametres::redirigerVers(QString());
}

void TestAdministration::deuxAdministrateursEnMemeTemps_data() {
    QTest::addColumn<QString>("sqlAutre");
    QTest::addColumn<int>("quoi"); // 0 identifier, 1 doctor code, 2 unit code
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("compte");
    QTest::newRow("identifiant")
        << "INSERT INTO Utilisateur (UTI_LOGIN, UTI_GROUP) VALUES ('DUPONT', 'DIM')" << 0
        << "Cet utilisateur est déjà utilisé. Saisissez un autre identifiant."
        << "SELECT count(*) FROM Utilisateur WHERE UTI_LOGIN = 'DUPONT'";
    QTest::newRow("code du médecin")
        << "INSERT INTO Medecin (MED_CODE, MED_CODEUTI) VALUES ('JDUPONT', 2)" << 1
        << "Ce code du médecin existe déjà."
        << "SELECT count(*) FROM Medecin WHERE MED_CODE = 'JDUPONT'";
    QTest::newRow("unité médicale")
        << "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('NEURO', 'X')" << 2
        << "Cette unité médicale existe déjà."
        << "SELECT count(*) FROM UniteMedicale WHERE UM_Code = 'NEURO'";
}

void TestAdministration::deuxAdministrateursEnMemeTemps() {
    FICHIER_SQLITE_SEULEMENT();
    QFETCH(QString, sqlAutre);
    QFETCH(int, quoi);
    QFETCH(QString, message);
    QFETCH(QString, compte);
    BaseDeTest base(true);
    MessagesScriptes messages;
    accesDonnees.getListeUM(); // this program's connection is open
    {
        // The other program has checked that the code is free and is writing
        // it: this one waits for it, then sees its row and is refused.
        AutreProgramme autre(base.chemin());
        autre.ecrireEtValiderPlusTard(sqlAutre.toUtf8().constData(), 300);
        const ResultatAdministration r =
            quoi == 0   ? administration::creerUtilisateur(fiche("DUPONT"))
            : quoi == 1 ? administration::creerUtilisateur(ficheMedecin("AUTRE", "JDUPONT"))
                        : administration::creerUM(QStringLiteral("NEURO"), QStringLiteral("Y"));
        QCOMPARE(int(r.etat), int(ResultatAdministration::Etat::Refuse));
        QCOMPARE(r.message, message);
    }
    QCOMPARE(base.compter(compte), 1LL);
    // Nothing of the refused creation was kept.
    QCOMPARE(base.compter("SELECT count(*) FROM Utilisateur WHERE UTI_LOGIN = 'AUTRE'"), 0LL);
    QVERIFY(messages.journal().empty());
}

void TestAdministration::refusDeSuppression() {
    BaseDeTest base(true);
    MessagesScriptes messages;
    // ADMIN (1) is the only administrator.
    QCOMPARE(administration::refusSuppressionUtilisateur(1, 1),
             administration::messageSuppressionSoiMeme);
    QCOMPARE(administration::refusSuppressionUtilisateur(1, 2),
             administration::messageDernierAdmin);
    QCOMPARE(administration::supprimerUtilisateur(1, 2).message,
             administration::messageDernierAdmin);
    QCOMPARE(administration::supprimerUtilisateur(3, 3).message,
             administration::messageSuppressionSoiMeme);
    QCOMPARE(base.compter("SELECT count(*) FROM Utilisateur WHERE UTI_CODE IN (1, 3)"), 2LL);
    // Another user may go, with his doctor row.
    QVERIFY(administration::refusSuppressionUtilisateur(3, 1).isEmpty());
    QVERIFY(administration::supprimerUtilisateur(3, 1).fait());
    QCOMPARE(base.compter("SELECT count(*) FROM Medecin WHERE MED_CODEUTI = 3"), 0LL);
    // With a second administrator, either may delete the other, but only one
    // of them: the last one stays.
    base.ajouterUtilisateur(QStringLiteral("ADMIN2"), QStringLiteral("X"), QStringLiteral("ADMIN"));
    const long admin2 =
        long(base.compter("SELECT UTI_CODE FROM Utilisateur WHERE UTI_LOGIN = 'ADMIN2'"));
    QVERIFY(administration::supprimerUtilisateur(1, admin2).fait());
    QCOMPARE(administration::supprimerUtilisateur(admin2, 99).message,
             administration::messageDernierAdmin);
    QVERIFY(messages.journal().empty());
}

void TestAdministration::dernierAdminResteAdmin() {
    BaseDeTest base(true);
    MessagesScriptes messages;
    FicheUtilisateur f = fiche(QStringLiteral("ADMIN"), QStringLiteral("DIM"));
    f.code = 1;
    const ResultatAdministration r = administration::modifierUtilisateur(f);
    QCOMPARE(r.message, administration::messageDernierAdminGroupe);
    QCOMPARE(int(r.champ), int(ResultatAdministration::Champ::Groupe));
    QCOMPARE(base.compter("SELECT count(*) FROM Utilisateur WHERE UTI_GROUP = 'ADMIN'"), 1LL);
    // Staying ADMIN, anything else may change.
    f.groupe = QStringLiteral("ADMIN");
    f.email = QStringLiteral("AUTRE@EXEMPLE.FR");
    QVERIFY(administration::modifierUtilisateur(f).fait());
    // With a second administrator the first may leave the group.
    base.ajouterUtilisateur(QStringLiteral("ADMIN2"), QStringLiteral("X"), QStringLiteral("ADMIN"));
    f.groupe = QStringLiteral("DIM");
    QVERIFY(administration::modifierUtilisateur(f).fait());
    QCOMPARE(base.compter("SELECT count(*) FROM Utilisateur WHERE UTI_GROUP = 'ADMIN'"), 1LL);
}

void TestAdministration::modificationDUnCompteDisparu() {
    BaseDeTest base(true);
    MessagesScriptes messages;
    // Deleted by another administrator while the dialog was open: no doctor
    // row is written for an account that no longer exists.
    FicheUtilisateur f = ficheMedecin(QStringLiteral("FANTOME"), QStringLiteral("FANTOME"));
    f.code = 77;
    QCOMPARE(administration::modifierUtilisateur(f).message,
             administration::messageUtilisateurDisparu);
    QCOMPARE(base.compter("SELECT count(*) FROM Medecin WHERE MED_CODEUTI = 77"), 0LL);
}

void TestAdministration::textesConservesIntacts() {
    BaseDeTest base(true);
    MessagesScriptes messages;
    const QString bizarre =
        QStringLiteral("O'BRIEN \"LE GRAND\" 100% A_B ÉÈÇŒ ") + QString(200, QLatin1Char('X'));
    FicheUtilisateur f = ficheMedecin(bizarre, QStringLiteral("C'EST_%"));
    f.email = QStringLiteral("O'BRIEN+%_\"@EXEMPLE.FR");
    f.nom = bizarre;
    QVERIFY(administration::creerUtilisateur(f).fait());
    RecordsetPtr rs = accesDonnees.getUtilisateurLogin(bizarre);
    QCOMPARE(colonne(rs, QStringLiteral("UTI_LOGIN")), QStringList{bizarre});
    QCOMPARE(colonne(rs, QStringLiteral("UTI_EMAIL")), QStringList{f.email});
    QCOMPARE(colonne(accesDonnees.getMedecinParCode(QStringLiteral("C'EST_%")),
                     QStringLiteral("MED_LIB")),
             QStringList{bizarre});
    // "%" and "_" are no wildcards: a near identifier is another one.
    QVERIFY(administration::creerUtilisateur(fiche("O'BRIEN")).fait());
    QCOMPARE(administration::creerUtilisateur(fiche(bizarre)).message,
             QStringLiteral("Cet utilisateur est déjà utilisé. Saisissez un autre identifiant."));
    QVERIFY(messages.journal().empty());
}

void TestAdministration::echecSignaleUneFois() {
    BaseDeTest base(true);
    MessagesScriptes messages;
    cheminBase = base.dossier() + QStringLiteral("/absente.mdb");
    const ResultatAdministration r =
        administration::creerUM(QStringLiteral("X"), QStringLiteral("Y"));
    QCOMPARE(int(r.etat), int(ResultatAdministration::Etat::Echoue));
    QCOMPARE(int(messages.journal().size()), 1);
    QCOMPARE(messages.journal().front().titre, QStringLiteral("ERREUR"));
}

void TestAdministration::questionSuppressionUM() {
    const QString q =
        QStringLiteral("Voulez-vous vraiment supprimer l'unité médicale sélectionnée ?");
    QCOMPARE(administration::questionSuppressionUM(0), q);
    QCOMPARE(administration::questionSuppressionUM(1), q + " 1 médecin y est rattaché.");
    QCOMPARE(administration::questionSuppressionUM(3), q + " 3 médecins y sont rattachés.");
    BaseDeTest base(true);
    QCOMPARE(administration::nombreMedecinsUM(QStringLiteral("ORTH")), 1L);
    QCOMPARE(administration::nombreMedecinsUM(QStringLiteral("AUCUNE")), 0L);
}

QTEST_GUILESS_MAIN(TestAdministration)
#include "tst_administration.moc"
