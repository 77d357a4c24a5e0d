// The login dialog driven through the hooks: the failure table, each group's
// workspace, the settings written only after success, cancelling.

#include "BaseDeTest.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "EmpreinteMotDePasse.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Parametres.h"
#include "PiloteConnexion.h"
#include "Utilisateur.h"
#include "f_ThesaurusDIM.h"
#include "f_principale.h"
#include "f_thesaurusMED.h"

#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

namespace {
const QString champs = QStringLiteral(" Vous devez remplir le champ :");

QStringList clesBarre(const f_principale* f) {
    QStringList cles;
    for (QAction* a : f->Toolbar1->actions())
        cles << a->objectName();
    return cles;
}
} // namespace

class TestConnexion : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chargement();
    void echecs_data();
    void echecs();
    void erreurDepotCommeIdentifiantIncorrect();
    void groupes_data();
    void groupes();
    void medecinSansFiche();
    void baseDemonstration_data();
    void baseDemonstration();
    void identifiantMinusculesAvecBlancs();
    void annulation();
    void choixFichier();

private:
    QString ini() const { return m_dossier->filePath(QStringLiteral("tarvenor.ini")); }
    QString lireIni(const char* cle) const {
        return QSettings(ini(), QSettings::IniFormat).value(QLatin1String(cle)).toString();
    }
    void ajouterUtilisateur(const QString& login, const QString& mdp, const QString& groupe) {
        m_base->ajouterUtilisateur(login, mdp, groupe, QStringLiteral("x@y.fr"));
    }
    long codeUtilisateur(const QString& login) const {
        return long(
            m_base->compter(QStringLiteral("SELECT UTI_CODE FROM Utilisateur WHERE UTI_LOGIN='%1'")
                                .arg(doublerQuotes(login))));
    }

    std::unique_ptr<QTemporaryDir> m_dossier;
    std::unique_ptr<BaseDeTest> m_base;
    std::unique_ptr<MessagesScriptes> m_messages;
    std::unique_ptr<f_principale> m_principale;
};

void TestConnexion::init() {
    reinitialiserEtatGlobal();
    m_dossier = std::make_unique<QTemporaryDir>();
    Parametres::redirigerVers(ini());
    m_base = std::make_unique<BaseDeTest>(false);
    ajouterUtilisateur(QStringLiteral("ADMIN1"), QStringLiteral("SECRET"), QStringLiteral("ADMIN"));
    ajouterUtilisateur(QStringLiteral("DIM1"), QString(), QStringLiteral("DIM"));
    ajouterUtilisateur(QStringLiteral("MED1"), QStringLiteral("MEDPWD"), QStringLiteral("MEDECIN"));
    ajouterUtilisateur(QStringLiteral("MED2"), QStringLiteral("MEDPWD"), QStringLiteral("MEDECIN"));
    ajouterUtilisateur(QStringLiteral("AUTRE1"), QStringLiteral("X"), QStringLiteral("AUTRE"));
    ajouterUtilisateur(QStringLiteral("L'HOMME"), QStringLiteral("A'B"), QStringLiteral("DIM"));
    m_base->executer(QStringLiteral("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_CODEN, MED_UM, "
                                    "MED_ACT, MED_CODEUTI) VALUES ('M01', 'DR MARTIN', '123', "
                                    "'U01', '1', %1)")
                         .arg(codeUtilisateur(QStringLiteral("MED1"))));
    cheminDefaut = m_base->chemin();
    m_messages = std::make_unique<MessagesScriptes>();
    m_principale = std::make_unique<f_principale>();
    m_principale->show();
}

void TestConnexion::cleanup() {
    m_principale.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_messages.reset();
    m_base.reset();
    Parametres::redirigerVers(QString());
    m_dossier.reset();
    reinitialiserEtatGlobal();
}

void TestConnexion::chargement() {
    // Without settings: empty identifier, the default path, empty password.
    {
        d_connexion d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Connexion"));
        QCOMPARE(d.t_connexion[0]->text(), QString());
        QCOMPARE(d.t_connexion[1]->text(), QString());
        QCOMPARE(d.t_connexion[1]->echoMode(), QLineEdit::Password);
        QCOMPARE(d.t_connexion[2]->text(), cheminDefaut);
    }
    Parametres::ecrire(Parametres::NomUtilisateur, QStringLiteral("MED1"));
    Parametres::ecrire(Parametres::CheminBase, QStringLiteral("/ailleurs/BD.mdb"));
    d_connexion d;
    QCOMPARE(d.t_connexion[0]->text(), QStringLiteral("MED1"));
    QCOMPARE(d.t_connexion[2]->text(), QStringLiteral("/ailleurs/BD.mdb"));
    QCOMPARE(d.OKButton->text(), QStringLiteral("OK"));
    QCOMPARE(d.Command1->text(), QStringLiteral("Annuler"));
    QCOMPARE(d.Command2->text(), QStringLiteral("..."));
}

void TestConnexion::echecs_data() {
    QTest::addColumn<QString>("identifiant");
    QTest::addColumn<QString>("motDePasse");
    // "base", "vide", "absent", "dossier", "texte", "access", or a path.
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("selection");

    const QString nonOuverte = QStringLiteral("la connexion à la base de données a échoué.");
    const QString idIncorrect = QStringLiteral("Identifiant incorrect");
    const QString mdpIncorrect = QStringLiteral("Mot de passe incorrect");
    const QString t0 = QStringLiteral("t_connexion_0");
    const QString t1 = QStringLiteral("t_connexion_1");
    const QString t2 = QStringLiteral("t_connexion_2");

    QTest::newRow("identifiant vide") << ""
                                      << "secret"
                                      << "base" << QStringList{champs + " Identifiant"} << t0 << "";
    QTest::newRow("identifiant blanc")
        << "   "
        << "secret"
        << "base" << QStringList{champs + " Identifiant"} << t0 << "";
    QTest::newRow("identifiant et chemin vides")
        << ""
        << ""
        << "vide" << QStringList{champs + " Identifiant"} << t0 << "";
    QTest::newRow("chemin vide") << "ADMIN1"
                                 << "secret"
                                 << "vide" << QStringList{champs + " Base de données"} << t2 << "";
    QTest::newRow("fichier absent") << "ADMIN1"
                                    << "secret"
                                    << "absent" << QStringList{"*", nonOuverte} << ""
                                    << "";
    QTest::newRow("dossier") << "ADMIN1"
                             << "secret"
                             << "dossier" << QStringList{"*", nonOuverte} << ""
                             << "";
    QTest::newRow("fichier texte") << "ADMIN1"
                                   << "secret"
                                   << "texte" << QStringList{"*", nonOuverte} << ""
                                   << "";
    QTest::newRow("fichier Access") << "ADMIN1"
                                    << "secret"
                                    << "access" << QStringList{"*", nonOuverte} << ""
                                    << "";
    QTest::newRow("base SQLite d'un autre programme")
        << "ADMIN1"
        << "secret"
        << "sqlite" << QStringList{"*", nonOuverte} << ""
        << "";
    QTest::newRow("identifiant inconnu") << "personne"
                                         << "secret"
                                         << "base" << QStringList{idIncorrect} << t0 << "PERSONNE";
    QTest::newRow("identifiant avec apostrophe")
        << "o'brien"
        << "secret"
        << "base" << QStringList{idIncorrect} << t0 << "O'BRIEN";
    QTest::newRow("identifiant injection")
        << "' or '1'='1"
        << ""
        << "base" << QStringList{idIncorrect} << t0 << "' OR '1'='1";
    QTest::newRow("identifiant injection commentaire")
        << "admin1' --"
        << ""
        << "base" << QStringList{idIncorrect} << t0 << "ADMIN1' --";
    QTest::newRow("mot de passe faux") << "admin1"
                                       << "faux"
                                       << "base" << QStringList{mdpIncorrect} << t1 << "FAUX";
    QTest::newRow("mot de passe vide") << "ADMIN1"
                                       << ""
                                       << "base" << QStringList{mdpIncorrect} << t1 << "";
    QTest::newRow("mot de passe injection")
        << "ADMIN1"
        << "' or 1=1 --"
        << "base" << QStringList{mdpIncorrect} << t1 << "' OR 1=1 --";
    QTest::newRow("mot de passe non vide pour un vide")
        << "DIM1"
        << "x"
        << "base" << QStringList{mdpIncorrect} << t1 << "X";
    QTest::newRow("mot de passe avec apostrophe faux")
        << "l'homme"
        << "a''b"
        << "base" << QStringList{mdpIncorrect} << t1 << "A''B";
}

void TestConnexion::echecs() {
    QFETCH(QString, identifiant);
    QFETCH(QString, motDePasse);
    QFETCH(QString, chemin);
    QFETCH(QStringList, messages);
    QFETCH(QString, focus);
    QFETCH(QString, selection);

    QString typed = chemin;
    if (chemin == QLatin1String("base")) {
        typed = m_base->chemin();
    } else if (chemin == QLatin1String("vide")) {
        typed.clear();
    } else if (chemin == QLatin1String("absent")) {
        typed = m_dossier->filePath(QStringLiteral("absent.mdb"));
    } else if (chemin == QLatin1String("dossier")) {
        typed = m_dossier->path();
    } else if (chemin == QLatin1String("sqlite")) {
        typed = m_dossier->filePath(QStringLiteral("autre.db"));
        Data::creerBase(typed);
        Data(typed).CreeConnexion()->Execute(QStringLiteral("DROP TABLE Utilisateur"));
        Data::fermerConnexions();
    } else if (chemin == QLatin1String("texte") || chemin == QLatin1String("access")) {
        typed = m_dossier->filePath(chemin + QStringLiteral(".mdb"));
        QFile f(typed);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (chemin == QLatin1String("access"))
            f.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2000, 'x'));
        else
            f.write("Ceci n'est pas une base.\r\n");
    }
    const QByteArray avant = QFile::exists(typed) && QFileInfo(typed).isFile()
                                 ? [&] {
                                       QFile f(typed);
                                       f.open(QIODevice::ReadOnly);
                                       return f.readAll();
                                   }()
                                 : QByteArray();
    // Remembered settings must survive every failure.
    Parametres::ecrire(Parametres::NomUtilisateur, QStringLiteral("ANCIEN"));
    Parametres::ecrire(Parametres::CheminBase, QStringLiteral("/ancien/BD.mdb"));

    PiloteConnexion pilote;
    pilote.connecter(identifiant, motDePasse, typed);
    m_principale->afficherConnexion();

    QCOMPARE(int(pilote.etats.size()), 1);
    const EtatConnexion& e = pilote.etats.front();
    QVERIFY(e.resteOuverte);
    const auto& journal = m_messages->journal();
    QCOMPARE(int(journal.size()), messages.size());
    for (int i = 0; i < messages.size(); ++i) {
        if (messages[i] == QLatin1String("*")) {
            // The description of the failure, under the data layer's title.
            QCOMPARE(journal[i].titre, QStringLiteral("Data"));
            QVERIFY(!journal[i].texte.isEmpty());
            continue;
        }
        QCOMPARE(journal[i].texte, messages[i]);
        QCOMPARE(journal[i].titre, QStringLiteral("Attention"));
        QCOMPARE(journal[i].icone, Icone::Exclamation);
        QCOMPARE(journal[i].boutons, Boutons::Ok);
    }
    for (const auto& m : journal)
        QVERIFY2(m.titre != QLatin1String("ERREUR"), qPrintable(m.texte));
    if (!focus.isEmpty())
        QCOMPARE(e.focus, focus);
    if (!selection.isEmpty()) {
        const int i = focus.right(1).toInt();
        QCOMPARE(e.selections[i], selection);
        QCOMPARE(e.textes[i], selection);
    }
    if (chemin != QLatin1String("vide") && !identifiant.trimmed().isEmpty())
        QCOMPARE(cheminBase, typed);
    QCOMPARE(Parametres::lire(Parametres::NomUtilisateur), QStringLiteral("ANCIEN"));
    QCOMPARE(Parametres::lire(Parametres::CheminBase), QStringLiteral("/ancien/BD.mdb"));
    QCOMPARE(contexteCourant, ModeEcran::Aucun);
    QVERIFY(m_principale->espace()->subWindowList().isEmpty());
    // A file that is not a database is left as it was.
    if (!avant.isEmpty()) {
        QFile f(typed);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), avant);
    }
}

void TestConnexion::erreurDepotCommeIdentifiantIncorrect() {
    // A users table the lookup query cannot read.
    m_base->executer(QStringLiteral("DROP TABLE Utilisateur"));
    m_base->executer(QStringLiteral("CREATE TABLE Utilisateur (AUTRE TEXT)"));
    Data::fermerConnexions();
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("ADMIN1"), QStringLiteral("SECRET"), m_base->chemin());
    m_principale->afficherConnexion();
    const auto& journal = m_messages->journal();
    QCOMPARE(int(journal.size()), 2);
    QCOMPARE(journal[0].titre, QStringLiteral("ERREUR"));
    QCOMPARE(journal[1].texte, QStringLiteral("Identifiant incorrect"));
    QVERIFY(pilote.etats.front().resteOuverte);
    QCOMPARE(pilote.etats.front().focus, QStringLiteral("t_connexion_0"));
}

void TestConnexion::groupes_data() {
    QTest::addColumn<QString>("identifiant");
    QTest::addColumn<QString>("motDePasse");
    QTest::addColumn<QString>("groupe");
    QTest::addColumn<bool>("menuAdmin");
    QTest::addColumn<bool>("menuThesaurus");
    QTest::addColumn<QString>("espace");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("boutons");

    const QStringList dim{"b_imprimer", "b_export"};
    QTest::newRow("ADMIN") << "ADMIN1"
                           << "SECRET"
                           << "ADMIN" << true << false << "f_ThesaurusDIM" << 2 << dim;
    QTest::newRow("DIM, mot de passe vide")
        << "DIM1"
        << ""
        << "DIM" << false << false << "f_ThesaurusDIM" << 2 << dim;
    QTest::newRow("DIM avec apostrophes")
        << "L'HOMME"
        << "a'b"
        << "DIM" << false << false << "f_ThesaurusDIM" << 2 << dim;
    QTest::newRow("MEDECIN, mot de passe en minuscules")
        << "MED1"
        << "medpwd"
        << "MEDECIN" << false << true << "f_thesaurusMED" << 3
        << QStringList{"b_selection", "b_selectionner"};
    QTest::newRow("autre groupe") << "AUTRE1"
                                  << "X"
                                  << "AUTRE" << false << false << "" << 0 << QStringList{};
}

void TestConnexion::groupes() {
    QFETCH(QString, identifiant);
    QFETCH(QString, motDePasse);
    QFETCH(QString, groupe);
    QFETCH(bool, menuAdmin);
    QFETCH(bool, menuThesaurus);
    QFETCH(QString, espace);
    QFETCH(int, mode);
    QFETCH(QStringList, boutons);

    PiloteConnexion pilote;
    pilote.connecter(identifiant, motDePasse, m_base->chemin());
    m_principale->afficherConnexion();

    QVERIFY2(m_messages->journal().empty(), qPrintable(m_messages->textes().join('|')));
    QCOMPARE(int(pilote.etats.size()), 1);
    QVERIFY(!pilote.etats.front().resteOuverte);
    QCOMPARE(utilisateurCourant.p_LOGIN, identifiant);
    QCOMPARE(utilisateurCourant.p_GROUP, groupe);
    QCOMPARE(utilisateurCourant.p_EMAIL, QStringLiteral("x@y.fr"));
    QCOMPARE(utilisateurCourant.p_code, codeUtilisateur(identifiant));
    QCOMPARE(verifierMotDePasse(motDePasse.toUpper(), utilisateurCourant.p_PWD),
             VerificationMotDePasse::Accepte);
    QCOMPARE(cheminBase, m_base->chemin());
    QCOMPARE(Parametres::lire(Parametres::CheminBase), m_base->chemin());
    QCOMPARE(Parametres::lire(Parametres::NomUtilisateur), identifiant);

    QCOMPARE(m_principale->m_admin->menuAction()->isVisible(), menuAdmin);
    QCOMPARE(m_principale->m_thesaurus->menuAction()->isVisible(), menuThesaurus);
    QVERIFY(!m_principale->m_f_connexion->isEnabled());
    QCOMPARE(int(contexteCourant), mode);
    QCOMPARE(clesBarre(m_principale.get()), boutons);
    // Every button is on, but the DIM window's print and export, which wait
    // for a doctor to be chosen in its doctor tab, and "Sélectionner cet
    // acte", which waits for an act.
    for (QAction* a : m_principale->Toolbar1->actions())
        QCOMPARE(a->isEnabled(), mode != int(ModeEcran::ThesaurusMedecinDIM) &&
                                     a->objectName() != QLatin1String("b_selectionner"));
    QWidget* active = m_principale->fenetreActive();
    QCOMPARE(active ? active->objectName() : QString(), espace);
    QCOMPARE(int(m_principale->espace()->subWindowList().size()), espace.isEmpty() ? 0 : 1);

    if (groupe == QLatin1String("MEDECIN")) {
        QVERIFY(medecinCourant);
        QCOMPARE(medecinCourant->code, QStringLiteral("M01"));
        QCOMPARE(medecinCourant->libelle, QStringLiteral("DR MARTIN"));
        QCOMPARE(medecinCourant->CN, QStringLiteral("123"));
        QCOMPARE(medecinCourant->UM, QStringLiteral("U01"));
        QCOMPARE(medecinCourant->activite, QStringLiteral("1"));
        QCOMPARE(medecinCourant->UTI, utilisateurCourant.p_code);
        QVERIFY(m_principale->fenetreOuverte<f_thesaurusMED>());
    } else {
        // Logins of other groups leave the doctor untouched.
        QVERIFY(!medecinCourant);
    }
}

void TestConnexion::medecinSansFiche() {
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("MED2"), QStringLiteral("MEDPWD"), m_base->chemin());
    m_principale->afficherConnexion();
    QVERIFY(m_messages->journal().empty());
    QVERIFY(medecinCourant);
    QCOMPARE(medecinCourant->code, QString());
    QCOMPARE(medecinCourant->libelle, QString());
    QCOMPARE(medecinCourant->UTI, codeUtilisateur(QStringLiteral("MED2")));
    QCOMPARE(int(contexteCourant), 3);
    QVERIFY(m_principale->fenetreOuverte<f_thesaurusMED>());
}

void TestConnexion::baseDemonstration_data() {
    QTest::addColumn<QString>("identifiant");
    QTest::addColumn<QString>("motDePasse");
    QTest::addColumn<QString>("espace");
    QTest::addColumn<int>("mode");
    QTest::newRow("ADMIN") << "admin"
                           << "admin"
                           << "f_ThesaurusDIM" << 2;
    QTest::newRow("DIM") << "DIM"
                         << "DIM"
                         << "f_ThesaurusDIM" << 2;
    QTest::newRow("MARTIN") << " martin "
                            << "Martin"
                            << "f_thesaurusMED" << 3;
    QTest::newRow("BERNARD") << "BERNARD"
                             << "bernard"
                             << "f_thesaurusMED" << 3;
    QTest::newRow("LEROY") << "LEROY"
                           << "LEROY"
                           << "f_thesaurusMED" << 3;
}

void TestConnexion::baseDemonstration() {
    QFETCH(QString, identifiant);
    QFETCH(QString, motDePasse);
    QFETCH(QString, espace);
    QFETCH(int, mode);
    BaseDeTest demonstration(true);
    PiloteConnexion pilote;
    pilote.connecter(identifiant, motDePasse, demonstration.chemin());
    m_principale->afficherConnexion();
    QVERIFY2(m_messages->journal().empty(), qPrintable(m_messages->textes().join('|')));
    QCOMPARE(utilisateurCourant.p_LOGIN, identifiant.trimmed().toUpper());
    QCOMPARE(int(contexteCourant), mode);
    QCOMPARE(m_principale->fenetreActive()->objectName(), espace);
    if (mode == 3) {
        QVERIFY(medecinCourant);
        QVERIFY(!medecinCourant->code.isEmpty());
        QCOMPARE(medecinCourant->UTI, utilisateurCourant.p_code);
    }
}

void TestConnexion::identifiantMinusculesAvecBlancs() {
    PiloteConnexion pilote;
    QString apresPerteFocus, cheminApresPerteFocus;
    pilote.avantSaisie = [&](QDialog* d) {
        auto* c = qobject_cast<d_connexion*>(d);
        QVERIFY(QTest::qWaitForWindowActive(c, attenteMaxMs));
        c->t_connexion[0]->setFocus();
        c->t_connexion[0]->setText(QStringLiteral("  med1  "));
        c->t_connexion[1]->setFocus(); // the identifier loses the focus
        apresPerteFocus = c->t_connexion[0]->text();
        QTest::keyClicks(c->t_connexion[1], QStringLiteral(" medpwd"));
        // The path is trimmed but keeps its case.
        c->t_connexion[2]->setFocus();
        c->t_connexion[2]->setText(QStringLiteral("  ") + m_base->chemin() + QStringLiteral(" "));
        c->t_connexion[0]->setFocus();
        cheminApresPerteFocus = c->t_connexion[2]->text();
    };
    pilote.saisir({});
    m_principale->afficherConnexion();
    QCOMPARE(apresPerteFocus, QStringLiteral("MED1"));
    QCOMPARE(cheminApresPerteFocus, m_base->chemin());
    QVERIFY(m_messages->journal().empty());
    QCOMPARE(utilisateurCourant.p_LOGIN, QStringLiteral("MED1"));
    QCOMPARE(pilote.etats.front().textes[1], QStringLiteral("MEDPWD"));
    QCOMPARE(int(contexteCourant), 3);
}

void TestConnexion::annulation() {
    // A first login, then a change of user cancelled.
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("ADMIN1"), QStringLiteral("SECRET"), m_base->chemin());
    m_principale->afficherConnexion();
    QCOMPARE(int(contexteCourant), 2);
    Parametres::ecrire(Parametres::NomUtilisateur, QStringLiteral("ANCIEN"));

    pilote.annuler();
    m_principale->m_chgUser->trigger();
    QCOMPARE(int(pilote.etats.size()), 2);
    QVERIFY(!pilote.etats.back().resteOuverte);
    QVERIFY(m_principale->m_f_connexion->isEnabled());
    QCOMPARE(int(contexteCourant), 0);
    QVERIFY(m_principale->Toolbar1->actions().isEmpty());
    QVERIFY(m_principale->fenetreActive() == nullptr);
    QVERIFY(!m_principale->m_admin->menuAction()->isVisible());
    QCOMPARE(Parametres::lire(Parametres::NomUtilisateur), QStringLiteral("ANCIEN"));
    QVERIFY(m_messages->journal().empty());

    // Cancelling disables the buttons a mode would show.
    changerContexte(ModeEcran::ThesaurusMedecinDIM);
    m_principale->updateToolBar();
    pilote.annuler();
    m_principale->m_f_connexion->trigger();
    QCOMPARE(m_principale->Toolbar1->actions().size(), 2);
    for (QAction* a : m_principale->Toolbar1->actions())
        QVERIFY(!a->isEnabled());

    // "&Connexion" logs in again and enables them, print and export once a
    // doctor is chosen in the DIM window's doctor tab.
    pilote.connecter(QStringLiteral("DIM1"), QString(), m_base->chemin());
    m_principale->m_f_connexion->trigger();
    QCOMPARE(utilisateurCourant.p_LOGIN, QStringLiteral("DIM1"));
    QCOMPARE(m_principale->Toolbar1->actions().size(), 2);
    for (QAction* a : m_principale->Toolbar1->actions())
        QVERIFY(!a->isEnabled());
    QVERIFY(!m_principale->m_f_connexion->isEnabled());
}

void TestConnexion::choixFichier() {
    ChoixFichierScripte choix;
    d_connexion d;
    d.t_connexion[2]->setText(QStringLiteral("/avant/BD.mdb"));
    choix.setFichierSuivant(QStringLiteral("/choisi/Autre.mdb"));
    QTest::mouseClick(d.Command2, Qt::LeftButton);
    QCOMPARE(d.t_connexion[2]->text(), QStringLiteral("/choisi/Autre.mdb"));
    QCOMPARE(choix.dernierTitre, QStringLiteral("Ouvrir"));
    QCOMPARE(choix.dernierDossier, cheminDefaut);
    QCOMPARE(choix.dernierFiltre, QStringLiteral("Base de données access (*.mdb)|*.mdb"));
    // Cancelled: nothing changes.
    QTest::mouseClick(d.Command2, Qt::LeftButton);
    QCOMPARE(d.t_connexion[2]->text(), QStringLiteral("/choisi/Autre.mdb"));
    QCOMPARE(choix.appels, 2);
}

QTEST_MAIN(TestConnexion)
#include "tst_connexion.moc"
