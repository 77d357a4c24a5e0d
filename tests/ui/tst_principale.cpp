// The main window driven through the hooks: menus, toolbar by screen mode,
// commands, change of user, placement memory, quit confirmation, start-up.

#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "BaseDeTest.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Panier.h"
#include "Parametres.h"
#include "PiloteConnexion.h"
#include "QtDemarrage.h"
#include "QtListes.h"
#include "Recordset.h"
#include "Session.h"
#include "Utilisateur.h"
#include "ctr_ThesMED.h"
#include "ctr_motCle.h"
#include "d_aide.h"
#include "d_apropos.h"
#include "f_ThesaurusDIM.h"
#include "f_principale.h"
#include "f_thesaurusMED.h"
#include "f_utilisateurs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <memory>

namespace {
QStringList clesBarre(const f_principale* f) {
    QStringList cles;
    for (QAction* a : f->Toolbar1->actions())
        cles << a->objectName();
    return cles;
}

QStringList textesMenu(const QMenu* m) {
    QStringList t;
    for (QAction* a : m->actions())
        t << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + '=' + a->text());
    return t;
}

void supprimerDiffere() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestPrincipale : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menus();
    void barreOutils_data();
    void barreOutils();
    void retour_data();
    void retour();
    void panierVide();
    void selectionnerActe();
    void administration();
    void changementUtilisateur();
    void premierLancement();
    void placementRestaure();
    void quitterNon();
    void quitterOui();
    void quitterMinimise();
    void limitesEtRedimentionner();
    void demarrage();
    void aPropos();
    void listeUM();
    void espacesEtCommandes();
    void commandesSelonLEtat_data();
    void commandesSelonLEtat();
    void raccourcis();
    void placementMaximise();

private:
    void nouvelleFenetre() {
        m_principale = std::make_unique<f_principale>();
        m_principale->show();
    }
    double lireTwips(Parametres::Cle c) const { return Parametres::lire(c).toDouble(); }

    std::unique_ptr<QTemporaryDir> m_dossier;
    std::unique_ptr<BaseDeTest> m_base;
    std::unique_ptr<MessagesScriptes> m_messages;
    std::unique_ptr<f_principale> m_principale;
};

void TestPrincipale::init() {
    reinitialiserEtatGlobal();
    m_dossier = std::make_unique<QTemporaryDir>();
    Parametres::redirigerVers(m_dossier->filePath(QStringLiteral("tarvenor.ini")));
    m_base = std::make_unique<BaseDeTest>(false);
    m_base->ajouterUtilisateur(QStringLiteral("ADMIN1"), QStringLiteral("A"),
                               QStringLiteral("ADMIN"));
    m_base->ajouterUtilisateur(QStringLiteral("DIM1"), QStringLiteral("D"), QStringLiteral("DIM"));
    m_base->ajouterUtilisateur(QStringLiteral("MED1"), QStringLiteral("M"),
                               QStringLiteral("MEDECIN"));
    cheminDefaut = m_base->chemin();
    m_messages = std::make_unique<MessagesScriptes>();
    nouvelleFenetre();
}

void TestPrincipale::cleanup() {
    m_principale.reset();
    supprimerDiffere();
    m_messages.reset();
    m_base.reset();
    Parametres::redirigerVers(QString());
    m_dossier.reset();
    reinitialiserEtatGlobal();
}

void TestPrincipale::menus() {
    f_principale* f = m_principale.get();
    QCOMPARE(f->windowTitle(), QStringLiteral("Tarvenor"));
    QStringList barre;
    for (QAction* a : f->menuBar()->actions())
        barre << a->text() + (a->isVisible() ? "" : " (caché)");
    QCOMPARE(barre, (QStringList{"&Fichier", "&Thésaurus (caché)", "&Panier (caché)",
                                 "&Administration (caché)", "Aid&e"}));
    QCOMPARE(textesMenu(f->m_fichier),
             (QStringList{"m_f_connexion=&Connexion", "m_chgUser=C&hanger d'utilisateur", "-",
                          "m_f_imprimer=&Imprimer…", "m_f_exporter=&Exporter le thésaurus…",
                          "m_f_retour=&Retour", "-", "m_f_quitter=&Quitter"}));
    QCOMPARE(textesMenu(f->m_thesaurus),
             (QStringList{"m_ajoutThUM=&Ajouter le thésaurus de l'UM",
                          "m_export=&Exporter le thésaurus", "m_import=&Importer un thésaurus", "-",
                          "m_actesARemplacer=Actes à &remplacer…"}));
    QCOMPARE(textesMenu(f->m_panier),
             (QStringList{"m_p_selectionner=&Sélectionner cet acte",
                          "m_p_selection=&Visualiser les actes sélectionnés"}));
    QCOMPARE(textesMenu(f->m_admin),
             (QStringList{"m_a_uti=&Gestion des utilisateurs", "m_a_UM=&Unités médicales"}));
    QCOMPARE(textesMenu(f->m_aide), (QStringList{"m_guide=&Guide de l'utilisateur", "-",
                                                 "m_f_propos=À &propos de Tarvenor…"}));
    QCOMPARE(textesMenu(f->m_TheUM),
             (QStringList{"m_ajoutActe=Ajouter des &actes", "m_suppActe=&Supprimer l'acte",
                          "m_ajoutCat=Ajouter des &catégories", "m_suppCat=Supprimer la ca&tégorie",
                          "m_modifCat=&Renommer la catégorie"}));
    QCOMPARE(textesMenu(f->m_UM), (QStringList{"m_ajoutUM=&Nouvelle unité médicale",
                                               "m_modifUM=&Modifier", "m_suppUM=&Supprimer"}));
    QCOMPARE(textesMenu(f->m_uti),
             (QStringList{"m_ajoutUti=&Nouveau", "m_modifUti=&Modifier", "m_suppUti=&Supprimer"}));
    // The context menus never appear in the menu bar.
    for (QMenu* m : {f->m_TheUM, f->m_UM, f->m_uti})
        QVERIFY(!f->menuBar()->actions().contains(m->menuAction()));
    // No user yet: the status bar says so, and the toolbar's commands are off.
    QCOMPARE(f->l_utilisateur->text(), QStringLiteral("Non connecté"));
    for (QAction* a :
         {f->m_f_imprimer, f->m_f_exporter, f->m_f_retour, f->m_p_selection, f->m_p_selectionner})
        QVERIFY(!a->isEnabled());
    // With none of their windows open, the commands do nothing.
    for (QMenu* m : {f->m_thesaurus, f->m_panier, f->m_TheUM, f->m_UM, f->m_uti})
        for (QAction* a : m->actions())
            a->trigger();
    QVERIFY(m_messages->journal().empty());
    QVERIFY(f->findChild<QToolBar*>(QStringLiteral("Toolbar1")));
    QVERIFY(f->findChild<QStatusBar*>(QStringLiteral("sbStatusBar")));
}

void TestPrincipale::barreOutils_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("cles");
    QTest::addColumn<QStringList>("infobulles");
    const QStringList dim{"b_imprimer", "b_export"};
    const QStringList dimBulles{"Imprimer le thésaurus", "Exporter le thésaurus"};
    const QStringList retour{"b_retour"};
    const QStringList retourBulle{"retour"};
    QTest::newRow("0") << 0 << QStringList{} << QStringList{};
    QTest::newRow("1") << 1 << dim << dimBulles;
    QTest::newRow("2") << 2 << dim << dimBulles;
    QTest::newRow("3") << 3 << QStringList{"b_selection", "b_selectionner"}
                       << QStringList{"Visualiser les actes sélectionnés ",
                                      "Sélectionner cet acte"};
    QTest::newRow("4") << 4 << QStringList{} << QStringList{};
    QTest::newRow("5") << 5 << retour << retourBulle;
    QTest::newRow("6") << 6 << dim << dimBulles;
    QTest::newRow("7 (inconnu)") << 7 << QStringList{} << QStringList{};
    QTest::newRow("8") << 8 << retour << retourBulle;
    QTest::newRow("9") << 9 << retour << retourBulle;
}

void TestPrincipale::barreOutils() {
    QFETCH(int, mode);
    QFETCH(QStringList, cles);
    QFETCH(QStringList, infobulles);
    // From a mode with buttons, so that the old ones must go.
    changerContexte(ModeEcran::EspaceMedecin);
    m_principale->updateToolBar();
    changerContexte(ModeEcran(mode));
    m_principale->updateToolBar();
    QCOMPARE(clesBarre(m_principale.get()), cles);
    const auto actions = m_principale->Toolbar1->actions();
    for (int i = 0; i < actions.size(); ++i) {
        QCOMPARE(actions[i]->toolTip(), infobulles[i]);
        QVERIFY(!actions[i]->icon().isNull());
        // On the DIM window's search tabs print and export would do nothing;
        // "Sélectionner cet acte" waits for an act.
        QCOMPARE(actions[i]->isEnabled(),
                 mode != 6 && actions[i]->objectName() != QLatin1String("b_selectionner"));
    }
    QVERIFY(m_principale->Toolbar1->isVisible());
    m_principale->desactiverToolBar();
    for (QAction* a : m_principale->Toolbar1->actions())
        QVERIFY(!a->isEnabled());
    m_principale->activerToolBar();
    for (QAction* a : m_principale->Toolbar1->actions())
        QCOMPARE(a->isEnabled(), mode != 6 && a->objectName() != QLatin1String("b_selectionner"));
    // Every button of the mode can be pressed; none shows an error.
    for (QAction* a : m_principale->Toolbar1->actions())
        if (a->objectName() != QLatin1String("b_retour") &&
            a->objectName() != QLatin1String("b_selection"))
            a->trigger();
    QVERIFY(m_messages->journal().empty());
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestPrincipale::retour_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("modeApres");
    QTest::addColumn<QString>("fenetre");
    QTest::newRow("administration") << 5 << 2 << "f_ThesaurusDIM";
    QTest::newRow("rapport d'UM") << 8 << 1 << "";
    QTest::newRow("rapport de médecin") << 9 << 2 << "";
    QTest::newRow("autre mode") << 6 << 6 << "";
}

void TestPrincipale::retour() {
    QFETCH(int, mode);
    QFETCH(int, modeApres);
    QFETCH(QString, fenetre);
    m_principale->afficherFenetre(new f_utilisateurs);
    changerContexte(ModeEcran(mode));
    m_principale->updateToolBar();
    m_principale->boutonBarreOutils(QStringLiteral("b_retour"));
    supprimerDiffere();
    QCOMPARE(int(contexteCourant), modeApres);
    QVERIFY(!f_utilisateurs::instance());
    QWidget* active = m_principale->fenetreActive();
    QCOMPARE(active ? active->objectName() : QString(), fenetre);
    // The toolbar follows the new mode.
    m_principale->updateToolBar();
    const QStringList attendu = clesBarre(m_principale.get());
    changerContexte(ModeEcran(modeApres));
    m_principale->updateToolBar();
    QCOMPARE(clesBarre(m_principale.get()), attendu);
}

void TestPrincipale::panierVide() {
    PiloteConnexion pilote;
    changerContexte(ModeEcran::EspaceMedecin);
    m_principale->updateToolBar();
    m_principale->Toolbar1->actions().first()->trigger(); // b_selection
    QCOMPARE(int(m_messages->journal().size()), 1);
    const MessageAffiche& m = m_messages->journal().front();
    QCOMPARE(m.texte, QStringLiteral("Vous n'avez sélectionné aucun acte"));
    QCOMPARE(m.titre, QStringLiteral("Actes sélectionnés "));
    QCOMPARE(m.icone, Icone::Information);
    QVERIFY(pilote.dialogues.isEmpty()); // the basket window did not open

    // With an act the basket window opens, without a message.
    Acte acte;
    acte.code = QStringLiteral("AAFA001");
    panier().ajouterActe(acte);
    m_messages->vider();
    m_principale->Toolbar1->actions().first()->trigger();
    QVERIFY(m_messages->journal().empty());
    QCOMPARE(pilote.dialogues, QStringList{"d_panier"});
}

void TestPrincipale::selectionnerActe() {
    m_base.reset();
    m_base = std::make_unique<BaseDeTest>(true); // the acts of the demonstration
    PiloteConnexion pilote;
    const auto ouvertures = [&] { return int(pilote.dialogues.count("d_ajoutPanier")); };
    changerContexte(ModeEcran::EspaceMedecin);
    m_principale->updateToolBar();
    QAction* selectionner = m_principale->Toolbar1->actions().last();
    QCOMPARE(selectionner->objectName(), QStringLiteral("b_selectionner"));
    // No current act: nothing happens.
    selectionner->trigger();
    QCOMPARE(ouvertures(), 0);
    // An act admitted into the empty basket: the add-to-basket dialog opens.
    choisirActeCourant({QStringLiteral("XHMA001"), {}, {}});
    selectionner->trigger();
    QCOMPARE(ouvertures(), 1);
    QVERIFY(m_messages->journal().empty());
    QVERIFY(!QGuiApplication::overrideCursor());
    // The same key in another mode does nothing.
    changerContexte(ModeEcran::ThesaurusMedecinDIM);
    m_principale->boutonBarreOutils(QStringLiteral("b_selectionner"));
    QCOMPARE(ouvertures(), 1);
}

void TestPrincipale::administration() {
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("ADMIN1"), QStringLiteral("A"), m_base->chemin());
    m_principale->afficherConnexion();
    QVERIFY(m_principale->fenetreOuverte<f_ThesaurusDIM>());

    m_principale->m_a_uti->trigger();
    supprimerDiffere();
    QVERIFY(!m_principale->fenetreOuverte<f_ThesaurusDIM>());
    QVERIFY(f_utilisateurs::instance());
    QCOMPARE(f_utilisateurs::instance()->ongletAffiche(), 1);
    QCOMPARE(int(contexteCourant), 5);
    QCOMPARE(clesBarre(m_principale.get()), QStringList{"b_retour"});

    m_principale->m_a_UM->trigger();
    supprimerDiffere();
    QCOMPARE(int(m_principale->espace()->subWindowList().size()), 1);
    QCOMPARE(f_utilisateurs::instance()->ongletAffiche(), 2);

    m_principale->Toolbar1->actions().first()->trigger();
    supprimerDiffere();
    QCOMPARE(int(contexteCourant), 2);
    QVERIFY(!f_utilisateurs::instance());
    QCOMPARE(m_principale->fenetreActive(), m_principale->fenetreOuverte<f_ThesaurusDIM>());
    QCOMPARE(clesBarre(m_principale.get()), (QStringList{"b_imprimer", "b_export"}));
    QVERIFY(m_messages->journal().empty());
}

void TestPrincipale::changementUtilisateur() {
    PiloteConnexion pilote;
    Panier* panierAvant = &panier();
    pilote.connecter(QStringLiteral("MED1"), QStringLiteral("m"), m_base->chemin());
    m_principale->afficherConnexion();
    QCOMPARE(int(contexteCourant), 3);
    QVERIFY(m_principale->m_thesaurus->menuAction()->isVisible());
    const auto medecin = medecinCourant;
    QVERIFY(medecin);

    // The doctor leaves, an administrator comes.
    pilote.connecter(QStringLiteral("ADMIN1"), QStringLiteral("a"), m_base->chemin());
    bool modeZeroPendantConnexion = false;
    pilote.avantSaisie = [&](QDialog*) {
        modeZeroPendantConnexion = contexteCourant == ModeEcran::Aucun &&
                                   m_principale->Toolbar1->actions().isEmpty() &&
                                   !m_principale->m_thesaurus->menuAction()->isVisible() &&
                                   m_principale->fenetreActive() == nullptr;
    };
    m_principale->m_chgUser->trigger();
    supprimerDiffere();
    QVERIFY(modeZeroPendantConnexion);
    QCOMPARE(utilisateurCourant.p_LOGIN, QStringLiteral("ADMIN1"));
    QVERIFY(m_principale->m_admin->menuAction()->isVisible());
    QVERIFY(!m_principale->m_thesaurus->menuAction()->isVisible());
    QVERIFY(!m_principale->fenetreOuverte<f_thesaurusMED>());
    QCOMPARE(m_principale->fenetreActive(), m_principale->fenetreOuverte<f_ThesaurusDIM>());
    QCOMPARE(int(m_principale->espace()->subWindowList().size()), 1);
    QCOMPARE(int(contexteCourant), 2);
    // The doctor leaves with his session (no doctor is current in the DIM
    // window); the basket stays as it was.
    QVERIFY(!medecinCourant);
    QCOMPARE(panierCourant.get(), panierAvant);

    // And a DIM user after him: no administration menu any more.
    pilote.avantSaisie = nullptr;
    pilote.connecter(QStringLiteral("DIM1"), QStringLiteral("d"), m_base->chemin());
    m_principale->m_chgUser->trigger();
    supprimerDiffere();
    QVERIFY(!m_principale->m_admin->menuAction()->isVisible());
    QCOMPARE(int(m_principale->espace()->subWindowList().size()), 1);
    QCOMPARE(pilote.dialogues, (QStringList{"d_connexion", "d_connexion", "d_connexion"}));
    QVERIFY(m_messages->journal().empty());
}

void TestPrincipale::premierLancement() {
    // A first run takes a share of the screen, maximised under 1400 px.
    const QRect ecran = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(m_principale->isMaximized(), ecran.width() < largeurEcranMaximise);
    QVERIFY(ecran.contains(m_principale->geometry()));
    QVERIFY(m_principale->width() >= ecran.width() / 2);
}

void TestPrincipale::placementRestaure() {
    const QRect ecran = QGuiApplication::primaryScreen()->availableGeometry();
    // A placement that fits is restored as it was.
    Parametres::ecrire(Parametres::MainLeft, QStringLiteral("0"));
    Parametres::ecrire(Parametres::MainTop, QStringLiteral("0"));
    Parametres::ecrire(Parametres::MainWidth, QString::number(m_principale->minimumWidth() * 15));
    Parametres::ecrire(Parametres::MainHeight, QString::number(m_principale->minimumHeight() * 15));
    nouvelleFenetre();
    QVERIFY(!m_principale->isMaximized());
    QCOMPARE(m_principale->pos(), ecran.topLeft());
    QCOMPARE(m_principale->size(), m_principale->minimumSize());

    // Saved on a larger screen, or out of this one, or nonsense: it comes
    // back whole on the screen, and the window is used as usual.
    const QList<QStringList> cas = {
        {"1500", "3000", "90000", "60000"},     // a larger screen
        {"-90000", "900000", "15000", "10500"}, // a monitor since disconnected
        {"gauche", "1e999", "grand", ""},       // nonsense
        {"nan", "inf", "-15000", "0"}};
    for (const QStringList& valeurs : cas) {
        Parametres::ecrire(Parametres::MainLeft, valeurs[0]);
        Parametres::ecrire(Parametres::MainTop, valeurs[1]);
        Parametres::ecrire(Parametres::MainWidth, valeurs[2]);
        Parametres::ecrire(Parametres::MainHeight, valeurs[3]);
        nouvelleFenetre();
        QVERIFY2(ecran.contains(m_principale->frameGeometry()),
                 qPrintable(valeurs.join(" ") + QStringLiteral(" -> %1,%2 %3x%4 max %5 écran %6x%7")
                                                    .arg(m_principale->frameGeometry().x())
                                                    .arg(m_principale->frameGeometry().y())
                                                    .arg(m_principale->frameGeometry().width())
                                                    .arg(m_principale->frameGeometry().height())
                                                    .arg(m_principale->isMaximized())
                                                    .arg(ecran.width())
                                                    .arg(ecran.height())));
        m_principale->afficherFenetre(new f_ThesaurusDIM);
        QCoreApplication::processEvents();
        const QRect cadre = m_principale->fenetreActive()->parentWidget()->geometry();
        QVERIFY(QRect(QPoint(0, 0), m_principale->espace()->viewport()->size()).contains(cadre));
    }
}

void TestPrincipale::quitterNon() {
    m_principale->afficherFenetre(new f_ThesaurusDIM);
    m_messages->setReponseSuivante(Reponse::Non);
    m_principale->m_f_quitter->trigger();
    supprimerDiffere();
    QVERIFY(m_principale->isVisible());
    QVERIFY(m_principale->fenetreOuverte<f_ThesaurusDIM>());
    QCOMPARE(int(m_messages->journal().size()), 1);
    const MessageAffiche& m = m_messages->journal().front();
    QCOMPARE(m.texte, QStringLiteral("Voulez vous vraiment quitter ?"));
    QCOMPARE(m.titre, QStringLiteral("Confirmation"));
    QCOMPARE(m.icone, Icone::Question);
    QCOMPARE(m.boutons, Boutons::OuiNon);
    QCOMPARE(Parametres::lire(Parametres::MainWidth), QString());
}

void TestPrincipale::quitterOui() {
    m_principale->showNormal();
    m_principale->afficherFenetre(new f_ThesaurusDIM);
    m_principale->move(0, 20);
    m_principale->resize(800, 540);
    m_messages->setReponseSuivante(Reponse::Oui);
    QVERIFY(m_principale->close());
    supprimerDiffere();
    QVERIFY(!m_principale->isVisible());
    QVERIFY(!m_principale->fenetreOuverte<f_ThesaurusDIM>());
    QCOMPARE(lireTwips(Parametres::MainLeft), 0.0);
    QCOMPARE(lireTwips(Parametres::MainTop), 300.0);
    QCOMPARE(lireTwips(Parametres::MainWidth), 12000.0);
    QCOMPARE(lireTwips(Parametres::MainHeight), 8100.0);
    // The next start opens where the window was left.
    nouvelleFenetre();
    QCOMPARE(m_principale->pos(), QPoint(0, 20));
    QCOMPARE(m_principale->size(), QSize(800, 540));
}

void TestPrincipale::quitterMinimise() {
    Parametres::ecrire(Parametres::MainWidth, QStringLiteral("14000"));
    nouvelleFenetre();
    m_principale->showMinimized();
    QVERIFY(m_principale->isMinimized());
    QVERIFY(m_principale->close());
    QCOMPARE(Parametres::lire(Parametres::MainWidth), QStringLiteral("14000"));
    QCOMPARE(Parametres::lire(Parametres::MainLeft), QString());
}

void TestPrincipale::limitesEtRedimentionner() {
    m_principale->showNormal();
    m_principale->afficherFenetre(new f_ThesaurusDIM);
    QWidget* cadre = m_principale->fenetreActive()->parentWidget();

    // Below 12000 × 8000 twips (or the screen, when smaller) it grows back.
    m_principale->resize(500, 300);
    QTRY_COMPARE_WITH_TIMEOUT(m_principale->size(), m_principale->minimumSize(), attenteMaxMs);
    const QSize ecran = QGuiApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(m_principale->minimumSize(), QSize(800, 533).boundedTo(ecran));

    // At any height the child fills the workspace, which needs no scroll bar.
    for (const QSize taille : {QSize(800, 560), QSize(900, 650), QSize(1000, 760)}) {
        m_principale->resize(taille);
        QCoreApplication::processEvents();
        const QSize espace = m_principale->espace()->viewport()->size();
        QCOMPARE(cadre->geometry(), QRect(QPoint(0, 0), espace));
        QVERIFY(!m_principale->espace()->verticalScrollBar()->isVisible());
        QVERIFY(!m_principale->espace()->horizontalScrollBar()->isVisible());
    }

    // Closed, it leaves no empty scroll bar behind.
    m_principale->fermerFenetreActive();
    supprimerDiffere();
    QCoreApplication::processEvents();
    QVERIFY(!m_principale->espace()->verticalScrollBar()->isVisible());
}

void TestPrincipale::demarrage() {
    m_principale.reset();
    // A fresh account: the user's data folder is empty, and there is no
    // DATA folder beside the test program, as beside an installed one.
    QVERIFY(!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/DATA"));
    const QByteArray ancien = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_dossier->filePath(QStringLiteral("donnees")).toLocal8Bit());
    const QString demonstration =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/BD.mdb";
    QVERIFY(demonstration.startsWith(m_dossier->path()));
    PiloteConnexion pilote;
    pilote.annuler();
    std::unique_ptr<f_principale> f(demarrerApplication());
    qputenv("XDG_DATA_HOME", ancien);
    QCOMPARE(cheminDefaut, demonstration);
    QVERIFY(f->isVisible());
    QVERIFY(m_messages->journal().empty());
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
    QCOMPARE(pilote.dialogues, QStringList{"d_connexion"});
    // The login dialog offered the demonstration database made just now (no
    // setting yet), and its accounts open.
    QCOMPARE(pilote.etats.front().textes[2], demonstration);
    QCOMPARE(ouvrirSession("DIM", "DIM", demonstration).resultat.estFait(), true);
    nouvelUtilisateurCourant();
    QVERIFY(f->m_f_connexion->isEnabled());
    QVERIFY(f->m_chgUser->isEnabled());
    QVERIFY(f->Toolbar1->actions().isEmpty());
    QVERIFY(f->espace()->subWindowList().isEmpty());
    QCOMPARE(utilisateurCourant.p_LOGIN, QString());
}

void TestPrincipale::aPropos() {
    PiloteConnexion pilote;
    QString titre, version, fenetre, bibliotheques, licence, ccam;
    pilote.avantSaisie = [&](QDialog* d) {
        auto* a = qobject_cast<d_apropos*>(d);
        QVERIFY(a);
        fenetre = a->windowTitle();
        titre = a->lblTitle->text();
        version = a->lblVersion->text();
        bibliotheques = a->l_bibliotheques->text();
        licence = a->l_licence->text();
        ccam = a->l_ccam->isVisible() ? a->l_ccam->text() : QString();
        QTest::mouseClick(a->cmdSysInfo, Qt::LeftButton);
    };
    m_principale->m_f_propos->trigger();
    QCOMPARE(pilote.dialogues, QStringList{"d_apropos"});
    QCOMPARE(fenetre, QStringLiteral("À propos de Tarvenor"));
    QCOMPARE(titre, QStringLiteral("Tarvenor"));
    QCOMPARE(version, QStringLiteral("Version 1.0.0"));
    QCOMPARE(m_messages->textes(),
             QStringList{"Les informations système ne sont pas disponibles actuellement"});
    QCOMPARE(m_messages->journal().front().icone, Icone::Aucune);
    QVERIFY2(bibliotheques.contains(QRegularExpression(
                 QStringLiteral("^Qt \\d+\\.\\d+\\.\\d+, SQLite \\d+\\.\\d+\\.\\d+$"))),
             qPrintable(bibliotheques));
    QVERIFY(licence.contains(QStringLiteral("GNU GPL, version 3 ou ultérieure")));
    QCOMPARE(ccam, QString()); // the slot of the classification's version
}

void TestPrincipale::listeUM() {
    QComboBox combo;
    QListWidget liste;
    combo.addItem(QStringLiteral("ancien"));
    remplirListeUM(&combo);
    remplirListeUM(&liste);
    QCOMPARE(combo.count(), 0);
    QCOMPARE(liste.count(), 0);

    m_base->executer(QStringLiteral(
        "INSERT INTO UniteMedicale VALUES ('U02 ', '  Chirurgie viscérale '), ('U01', 'Cardio')"));
    remplirListeUM(&combo);
    remplirListeUM(&liste);
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemText(0), QStringLiteral("U01 - Cardio"));
    QCOMPARE(combo.itemText(1), QStringLiteral("U02 - Chirurgie viscérale"));
    QCOMPARE(liste.count(), 2);
    QCOMPARE(liste.item(1)->text(), QStringLiteral("U02 - Chirurgie viscérale"));
}

void TestPrincipale::espacesEtCommandes() {
    // The title names the workspace, the status bar the user and the
    // database, and the menus offer what the toolbar offers.
    f_principale* f = m_principale.get();
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("MED1"), QStringLiteral("m"), m_base->chemin());
    f->afficherConnexion();
    QCOMPARE(f->windowTitle(), QStringLiteral("Thésaurus du médecin — Tarvenor"));
    QCOMPARE(f->l_utilisateur->text(), QStringLiteral("Utilisateur : MED1 (MEDECIN)"));
    QVERIFY2(f->l_base->text().startsWith(QStringLiteral("Base : ")) &&
                 f->l_base->text().contains(QFileInfo(m_base->chemin()).fileName()),
             qPrintable(f->l_base->text()));
    QVERIFY(!f->l_versionCcam->isVisible());
    QVERIFY(f->m_panier->menuAction()->isVisible());
    // "Sélectionner cet acte", in the toolbar and the menu, waits for an act.
    const auto selectionner = [f] {
        QStringList l;
        for (QAction* a : f->Toolbar1->actions())
            if (a->objectName() == QLatin1String("b_selectionner") && a->isEnabled())
                l << a->objectName();
        if (f->m_p_selectionner->isEnabled())
            l << f->m_p_selectionner->objectName();
        return l;
    };
    QVERIFY(f->m_p_selection->isEnabled());
    QCOMPARE(selectionner(), QStringList());
    choisirActeCourant(ActeChoisi{QStringLiteral("XHMA001"), {}, {}});
    QCOMPARE(selectionner(), QStringList({"b_selectionner", "m_p_selectionner"}));
    oublierActeCourant();
    QCOMPARE(selectionner(), QStringList());
    QVERIFY(!f->m_f_imprimer->isEnabled() && !f->m_f_retour->isEnabled());
    f->m_p_selection->trigger(); // as the toolbar's button: the basket is empty
    QCOMPARE(m_messages->textes(), QStringList{"Vous n'avez sélectionné aucun acte"});

    pilote.connecter(QStringLiteral("DIM1"), QStringLiteral("d"), m_base->chemin());
    f->m_chgUser->trigger();
    supprimerDiffere();
    QCOMPARE(f->windowTitle(), QStringLiteral("Thésaurus d'un médecin — Tarvenor"));
    QCOMPARE(f->l_utilisateur->text(), QStringLiteral("Utilisateur : DIM1 (DIM)"));
    QVERIFY(!f->m_panier->menuAction()->isVisible());
    QVERIFY(!f->m_f_retour->isEnabled());
    f->fenetreOuverte<f_ThesaurusDIM>()->TS_Thes->setCurrentIndex(0);
    QCOMPARE(f->windowTitle(), QStringLiteral("Département d'information médicale — Tarvenor"));
}

// Which command of the DIM workspace can be used in which state: print and
// export, in the toolbar and the Fichier menu, and the doctor tab's
// "Ajouter des catégories", only where a thesaurus is shown; none of them is
// ever on and silent.
void TestPrincipale::commandesSelonLEtat_data() {
    QTest::addColumn<int>("onglet");      // of the DIM window
    QTest::addColumn<bool>("unMedecin");  // a doctor chosen in the doctor tab
    QTest::addColumn<bool>("imprimer");   // toolbar and menu
    QTest::addColumn<bool>("categories"); // the doctor tab's "Ajouter des catégories"
    QTest::newRow("onglet médecin, aucun médecin") << 4 << false << false << false;
    QTest::newRow("onglet médecin, un médecin") << 4 << true << true << true;
    QTest::newRow("onglet UM, une unité") << 3 << false << true << false;
    QTest::newRow("onglet Mots clés") << 0 << false << false << false;
    QTest::newRow("onglet Hiérarchie, après un médecin") << 2 << true << false << true;
}

void TestPrincipale::commandesSelonLEtat() {
    QFETCH(int, onglet);
    QFETCH(bool, unMedecin);
    m_base->executer("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('U01', 'Cardio')");
    m_base->executer("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_UM, MED_ACT, MED_CODEUTI) "
                     "VALUES ('M1', 'Dr Un', 'U01', '1', 3)");
    f_principale* f = m_principale.get();
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("DIM1"), QStringLiteral("d"), m_base->chemin());
    f->afficherConnexion();
    f_ThesaurusDIM* dim = f->fenetreOuverte<f_ThesaurusDIM>();
    QVERIFY(dim);
    dim->TS_Thes->setCurrentIndex(4);
    if (unMedecin) {
        QVERIFY(dim->C_listemedecins->count() > 0);
        dim->C_listemedecins->setCurrentIndex(0);
    }
    dim->TS_Thes->setCurrentIndex(onglet);
    QStringList actifs;
    for (QAction* a : f->Toolbar1->actions())
        if (a->isEnabled())
            actifs << a->objectName();
    for (QAction* a : {f->m_f_imprimer, f->m_f_exporter})
        if (a->isEnabled())
            actifs << a->objectName();
    QFETCH(bool, imprimer);
    QCOMPARE(actifs, imprimer
                         ? QStringList({"b_imprimer", "b_export", "m_f_imprimer", "m_f_exporter"})
                         : QStringList());
    QTEST(dim->ctr_ThesMED1->Command3->isEnabled(), "categories");
}

void TestPrincipale::raccourcis() {
    f_principale* f = m_principale.get();
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("MED1"), QStringLiteral("m"), m_base->chemin());
    f->afficherConnexion();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f, attenteMaxMs));
    // Ctrl+F: the keyword box, whichever search tab was shown.
    auto* medecin = f->fenetreOuverte<f_thesaurusMED>();
    medecin->TS_Thes->setCurrentIndex(3);
    QTest::keyClick(f, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(medecin->TS_Thes->currentIndex(), 0);
    QCOMPARE(QApplication::focusWidget(), medecin->ctr_motCle1->t_motCle);
    // F1: the user guide, one window however often it is asked for.
    QTest::keyClick(f, Qt::Key_F1);
    QTest::keyClick(f, Qt::Key_F1);
    const auto guides = f->findChildren<d_aide*>();
    QCOMPARE(guides.size(), 1);
    QVERIFY(guides.first()->isVisible());
    const QString guide = guides.first()->t_aide->toPlainText();
    for (const char* partie : {"Le parcours d’un séjour (médecin)", "Le travail du DIM",
                               "Le travail de l’administrateur", "Raccourcis clavier"})
        QVERIFY2(guide.contains(QString::fromUtf8(partie)), partie);
    guides.first()->close();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f, attenteMaxMs));
    // Ctrl+Q: the quit question; No keeps the window.
    m_messages->setReponseSuivante(Reponse::Non);
    QTest::keyClick(f, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(m_messages->textes(), QStringList{"Voulez vous vraiment quitter ?"});
    QVERIFY(f->isVisible());
}

void TestPrincipale::placementMaximise() {
    // Maximised at exit, maximised at the next start.
    m_principale->showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(m_principale->isMaximized(), attenteMaxMs);
    m_messages->setReponseSuivante(Reponse::Oui);
    QVERIFY(m_principale->close());
    QVERIFY(!Parametres::lire(Parametres::MainWidth).isEmpty());
    nouvelleFenetre();
    QTRY_VERIFY_WITH_TIMEOUT(m_principale->isMaximized(), attenteMaxMs);
    // A placement Qt cannot read: the four settings place the window.
    Parametres::ecrire(Parametres::MainGeometry, QStringLiteral("illisible"));
    Parametres::ecrire(Parametres::MainLeft, QStringLiteral("0"));
    Parametres::ecrire(Parametres::MainTop, QStringLiteral("0"));
    Parametres::ecrire(Parametres::MainWidth, QString::number(m_principale->minimumWidth() * 15));
    Parametres::ecrire(Parametres::MainHeight, QString::number(m_principale->minimumHeight() * 15));
    nouvelleFenetre();
    QVERIFY(!m_principale->isMaximized());
    QCOMPARE(m_principale->pos(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

// The screen of a common office display, so that the first-run placement
// (867 × 600 pixels, centred) fits on it.
int main(int argc, char* argv[]) {
    QTemporaryDir dossier;
    const QString config = dossier.filePath(QStringLiteral("ecran.json"));
    QFile f(config);
    if (f.open(QIODevice::WriteOnly))
        f.write(R"({"screens":[{"name":"ecran","x":0,"y":0,"width":1280,"height":1024,)"
                R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
    f.close();
    if (qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestPrincipale t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_principale.moc"
