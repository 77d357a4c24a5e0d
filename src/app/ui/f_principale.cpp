#include "f_principale.h"

#include "ActeChoisi.h"
#include "ChoixFichier.h"
#include "DR_thesaurus.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Panier.h"
#include "Parametres.h"
#include "PlacementFenetre.h"
#include "Progression.h"
#include "QtIcones.h"
#include "QtOngletsRecherche.h"
#include "Thesaurus.h"
#include "Utilisateur.h"
#include "VersionsCcam.h"
#include "d_aide.h"
#include "d_ajoutPanier.h"
#include "d_apropos.h"
#include "d_connexion.h"
#include "d_panier.h"
#include "f_ThesaurusDIM.h"
#include "f_thesaurusMED.h"
#include "f_utilisateurs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace {

QPointer<f_principale>& fenetreBarreEtat() {
    static QPointer<f_principale> f;
    return f;
}

// The smallest main window, in twips (cut to the screen on a smaller one).
constexpr int largeurMinimale = 12000;
constexpr int hauteurMinimale = 8000;

int enPixels(double twips) {
    return qRound(twips / twipsParPixel);
}
double enTwips(int pixels) {
    return double(pixels) * twipsParPixel;
}

// The available area of every screen, the primary one first.
QList<QRect> ecransDisponibles() {
    QList<QRect> ecrans;
    if (const QScreen* principal = QGuiApplication::primaryScreen())
        ecrans << principal->availableGeometry();
    for (const QScreen* e : QGuiApplication::screens())
        if (e != QGuiApplication::primaryScreen())
            ecrans << e->availableGeometry();
    return ecrans;
}

QAction* action(QObject* parent, const char* nom, const QString& texte) {
    auto* a = new QAction(texte, parent);
    a->setObjectName(QLatin1String(nom));
    return a;
}

QMenu* menu(QWidget* parent, const char* nom, const QString& titre) {
    auto* m = new QMenu(titre, parent);
    m->setObjectName(QLatin1String(nom));
    m->menuAction()->setObjectName(QLatin1String(nom));
    return m;
}
} // namespace

f_principale::f_principale(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("f_principale"));
    setWindowTitle(QStringLiteral("Tarvenor"));

    m_espace = new QMdiArea(this);
    m_espace->setObjectName(QStringLiteral("espace"));
    m_espace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_espace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_espace);
    // The workspace changes size with the window, and also when the toolbar
    // or a menu appears: its child follows every change.
    m_espace->installEventFilter(this);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->toggleViewAction()->setVisible(false);
    // Keeps its height when it holds no button, so that the workspace does
    // not jump at each change of screen mode.
    Toolbar1->setMinimumHeight(34);
    addToolBar(Qt::TopToolBarArea, Toolbar1);

    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    setStatusBar(sbStatusBar);

    for (const char* cle : {"i_imprimer", "i_export", "i_selection", "i_selectionner2", "i_retour"})
        ImageList1.insert(QLatin1String(cle), iconeBarreOutils(QLatin1String(cle)));

    creerMenus();
    creerBarreEtat();
    // What an export or a PDF wrote, and where, in the status bar of the
    // last main window made.
    fenetreBarreEtat() = this;
    installerBarreEtat([](const QString& texte) {
        if (f_principale* f = fenetreBarreEtat())
            f->sbStatusBar->showMessage(texte, 20000);
    });
    updateToolBar();
    // The last window made follows the mode (tests make several in turn).
    suivreContexte([fenetre = QPointer<f_principale>(this)] {
        if (fenetre)
            fenetre->suivreMode();
    });
    suivreActeCourant([fenetre = QPointer<f_principale>(this)] {
        if (fenetre)
            fenetre->majCommandesThesaurus();
    });
    suivreMode();
    charger();
    // Long work that writes turns the menus and the toolbar off meanwhile.
    installerVerrouInterface([this](bool actif) {
        menuBar()->setEnabled(actif);
        actif ? activerToolBar() : desactiverToolBar();
    });
}

f_principale::~f_principale() {
    installerVerrouInterface(nullptr);
}

void f_principale::creerMenus() {
    // The keys are written out: the platform's standard bindings differ
    // (no Ctrl+Q on some), and the guide names these.
    m_fichier = menu(this, "m_fichier", QStringLiteral("&Fichier"));
    m_f_connexion = action(this, "m_f_connexion", QStringLiteral("&Connexion"));
    m_chgUser = action(this, "m_chgUser", QStringLiteral("C&hanger d'utilisateur"));
    m_f_imprimer = action(this, "m_f_imprimer", QStringLiteral("&Imprimer…"));
    m_f_imprimer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_f_exporter = action(this, "m_f_exporter", QStringLiteral("&Exporter le thésaurus…"));
    m_f_retour = action(this, "m_f_retour", QStringLiteral("&Retour"));
    m_f_retour->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    m_f_propos = action(this, "m_f_propos", QStringLiteral("À &propos de Tarvenor…"));
    m_f_quitter = action(this, "m_f_quitter", QStringLiteral("&Quitter"));
    m_f_quitter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_fichier->addAction(m_f_connexion);
    m_fichier->addAction(m_chgUser);
    m_fichier->addSeparator()->setObjectName(QStringLiteral("mnuFileBar3"));
    m_fichier->addActions({m_f_imprimer, m_f_exporter, m_f_retour});
    m_fichier->addSeparator()->setObjectName(QStringLiteral("mnuFileBar2"));
    m_fichier->addAction(m_f_quitter);

    m_thesaurus = menu(this, "m_thesaurus", QStringLiteral("&Thésaurus"));
    m_ajoutThUM = action(this, "m_ajoutThUM", QStringLiteral("&Ajouter le thésaurus de l'UM"));
    m_export = action(this, "m_export", QStringLiteral("&Exporter le thésaurus"));
    m_import = action(this, "m_import", QStringLiteral("&Importer un thésaurus"));
    m_actesARemplacer = action(this, "m_actesARemplacer", QStringLiteral("Actes à &remplacer…"));
    m_thesaurus->addActions({m_ajoutThUM, m_export, m_import});
    m_thesaurus->addSeparator();
    m_thesaurus->addAction(m_actesARemplacer);

    m_panier = menu(this, "m_panier", QStringLiteral("&Panier"));
    m_p_selectionner = action(this, "m_p_selectionner", QStringLiteral("&Sélectionner cet acte"));
    m_p_selection =
        action(this, "m_p_selection", QStringLiteral("&Visualiser les actes sélectionnés"));
    m_panier->addActions({m_p_selectionner, m_p_selection});

    m_admin = menu(this, "m_admin", QStringLiteral("&Administration"));
    m_a_uti = action(this, "m_a_uti", QStringLiteral("&Gestion des utilisateurs"));
    m_a_UM = action(this, "m_a_UM", QStringLiteral("&Unités médicales"));
    m_admin->addActions({m_a_uti, m_a_UM});

    m_aide = menu(this, "m_aide", QStringLiteral("Aid&e"));
    m_guide = action(this, "m_guide", QStringLiteral("&Guide de l'utilisateur"));
    m_guide->setShortcut(QKeySequence(Qt::Key_F1));
    m_aide->addAction(m_guide);
    m_aide->addSeparator();
    m_aide->addAction(m_f_propos);

    menuBar()->addMenu(m_fichier);
    menuBar()->addMenu(m_thesaurus);
    menuBar()->addMenu(m_panier);
    menuBar()->addMenu(m_admin);
    menuBar()->addMenu(m_aide);
    // Made visible by the login of their group.
    m_thesaurus->menuAction()->setVisible(false);
    m_panier->menuAction()->setVisible(false);
    m_admin->menuAction()->setVisible(false);

    m_chercher = action(this, "m_chercher", QStringLiteral("Chercher par mot clé"));
    m_chercher->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(m_chercher);

    m_TheUM = menu(this, "m_TheUM", QStringLiteral("TheUM"));
    m_ajoutActe = action(this, "m_ajoutActe", QStringLiteral("Ajouter des &actes"));
    m_suppActe = action(this, "m_suppActe", QStringLiteral("&Supprimer l'acte"));
    m_ajoutCat = action(this, "m_ajoutCat", QStringLiteral("Ajouter des &catégories"));
    m_suppCat = action(this, "m_suppCat", QStringLiteral("Supprimer la ca&tégorie"));
    m_modifCat = action(this, "m_modifCat", QStringLiteral("&Renommer la catégorie"));
    m_TheUM->addActions({m_ajoutActe, m_suppActe, m_ajoutCat, m_suppCat, m_modifCat});

    m_UM = menu(this, "m_UM", QStringLiteral("UM"));
    m_ajoutUM = action(this, "m_ajoutUM", QStringLiteral("&Nouvelle unité médicale"));
    m_modifUM = action(this, "m_modifUM", QStringLiteral("&Modifier"));
    m_suppUM = action(this, "m_suppUM", QStringLiteral("&Supprimer"));
    m_UM->addActions({m_ajoutUM, m_modifUM, m_suppUM});

    m_uti = menu(this, "m_uti", QStringLiteral("uti"));
    m_ajoutUti = action(this, "m_ajoutUti", QStringLiteral("&Nouveau"));
    m_modifUti = action(this, "m_modifUti", QStringLiteral("&Modifier"));
    m_suppUti = action(this, "m_suppUti", QStringLiteral("&Supprimer"));
    m_uti->addActions({m_ajoutUti, m_modifUti, m_suppUti});

    connect(m_f_connexion, &QAction::triggered, this, &f_principale::afficherConnexion);
    connect(m_chgUser, &QAction::triggered, this, &f_principale::changerUtilisateur);
    connect(m_f_propos, &QAction::triggered, this, &f_principale::afficherAPropos);
    connect(m_f_quitter, &QAction::triggered, this, &QWidget::close);
    connect(m_guide, &QAction::triggered, this, &f_principale::afficherGuide);
    connect(m_chercher, &QAction::triggered, this, &f_principale::chercherMotCle);
    // The toolbar's commands, as its buttons run them.
    connect(m_f_imprimer, &QAction::triggered, this, &f_principale::imprimerAffichage);
    const auto commeLeBouton = [this](QAction* commande, const QString& cle) {
        connect(commande, &QAction::triggered, this, [this, cle] { boutonBarreOutils(cle); });
    };
    commeLeBouton(m_f_exporter, QStringLiteral("b_export"));
    commeLeBouton(m_f_retour, QStringLiteral("b_retour"));
    commeLeBouton(m_p_selectionner, QStringLiteral("b_selectionner"));
    commeLeBouton(m_p_selection, QStringLiteral("b_selection"));

    // Each command goes to the window that carries it out, when it is open.
    relier(m_ajoutThUM, &f_thesaurusMED::ajouterThesaurusUM);
    relier(m_import, &f_thesaurusMED::importerThesaurus);
    relier(m_export, &f_thesaurusMED::exporterThesaurus);
    relier(m_actesARemplacer, &f_thesaurusMED::afficherActesARemplacer);

    connect(m_a_uti, &QAction::triggered, this, &f_principale::gererUtilisateurs);
    connect(m_a_UM, &QAction::triggered, this, &f_principale::gererUnitesMedicales);

    relier(m_ajoutActe, &f_ThesaurusDIM::afficheFenetreAjoutActe);
    relier(m_ajoutCat, &f_ThesaurusDIM::afficheFenetreAjoutCat);
    relier(m_modifCat, &f_ThesaurusDIM::modifierCategorie);
    relier(m_suppActe, &f_ThesaurusDIM::suppActe);
    relier(m_suppCat, &f_ThesaurusDIM::suppCat);
    // The m_uti and m_UM commands are tied to the administration window when
    // it opens (ouvrirAdministration).
}

void f_principale::creerBarreEtat() {
    const auto etiquette = [this](const char* nom) {
        auto* l = new QLabel(sbStatusBar);
        l->setObjectName(QLatin1String(nom));
        l->setTextFormat(Qt::PlainText);
        sbStatusBar->addPermanentWidget(l);
        return l;
    };
    l_utilisateur = etiquette("l_utilisateur");
    l_base = etiquette("l_base");
    l_versionCcam = etiquette("l_versionCcam");
    l_versionCcam->setVisible(false);
}

void f_principale::suivreMode() {
    const ModeEcran mode = contexteCourant;
    const QString espace = nomEspace(mode);
    setWindowTitle(espace.isEmpty() ? QStringLiteral("Tarvenor")
                                    : espace + QStringLiteral(" — Tarvenor"));
    const bool connecte = !utilisateurCourant.p_LOGIN.isEmpty();
    l_utilisateur->setText(connecte
                               ? QStringLiteral("Utilisateur : %1 (%2)")
                                     .arg(utilisateurCourant.p_LOGIN, utilisateurCourant.p_GROUP)
                               : QStringLiteral("Non connecté"));
    l_base->setText(connecte ? QStringLiteral("Base : ") + nomAffichableBase(cheminBase)
                             : QString());
    l_base->setVisible(connecte);
    const QString version = connecte ? versionCcamChargee() : QString();
    l_versionCcam->setText(version);
    l_versionCcam->setVisible(!version.isEmpty());
    // A menu command is on where the toolbar shows its button and the
    // button does something (nothing on the DIM window's other tabs).
    QStringList cles;
    if (mode != ModeEcran::AutresOngletsDIM)
        for (const BoutonBarre& b : boutonsDuMode(mode))
            cles << b.cle;
    m_f_retour->setEnabled(cles.contains(QStringLiteral("b_retour")));
    m_p_selection->setEnabled(cles.contains(QStringLiteral("b_selection")));
    majCommandesThesaurus();
}

void f_principale::charger() {
    // The placement Qt saved (size, position, maximised state, screen);
    // without it, the four placement settings.
    const QByteArray geometrie =
        QByteArray::fromBase64(Parametres::lire(Parametres::MainGeometry).toLatin1());
    if (!geometrie.isEmpty() && restoreGeometry(geometrie)) {
        formatToolbar();
        m_charge = true;
        return;
    }
    const PlacementSauve sauve{
        Parametres::lire(Parametres::MainLeft), Parametres::lire(Parametres::MainTop),
        Parametres::lire(Parametres::MainWidth), Parametres::lire(Parametres::MainHeight)};
    // The placement is that of the window's inside, its corner that of the
    // frame: the title bar and the window manager's borders (a few pixels)
    // are kept off each screen, so that the whole frame is on it.
    const int barreTitre = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    constexpr int bordure = 4;
    QList<QRect> ecrans = ecransDisponibles();
    for (QRect& e : ecrans)
        e.setSize(QSize(e.width() - 2 * bordure, e.height() - barreTitre - 2 * bordure)
                      .expandedTo(QSize(1, 1)));
    const Placement p = placementFenetre(sauve, ecrans, tailleMinimale());
    resize(p.geometrie.size());
    move(p.geometrie.topLeft());
    if (p.maximisee)
        setWindowState(windowState() | Qt::WindowMaximized);
    formatToolbar();
    m_charge = true;
}

QSize f_principale::tailleMinimale() const {
    // A screen smaller than the minimum gets the window at its own size.
    const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize minimum(enPixels(largeurMinimale), enPixels(hauteurMinimale));
    return ecran ? minimum.boundedTo(ecran->availableGeometry().size()) : minimum;
}

void f_principale::formatToolbar() {
    // Flat buttons, raised under the pointer: Qt's toolbar looks so already;
    // the separator line under it is removed.
    Toolbar1->setStyleSheet(QStringLiteral("QToolBar { border: none; }"));
}

void f_principale::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!m_charge || isMinimized())
        return;
    const QSize minimum = tailleMinimale();
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    if (width() < minimum.width() || height() < minimum.height()) {
        resize(qMax(width(), minimum.width()), qMax(height(), minimum.height()));
        return;
    }
    redimentionner();
}

bool f_principale::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == m_espace && evenement->type() == QEvent::Resize && m_charge)
        redimentionner();
    return QMainWindow::eventFilter(objet, evenement);
}

QMdiSubWindow* f_principale::sousFenetreActive() const {
    if (QMdiSubWindow* s = m_espace->activeSubWindow())
        return s;
    if (QMdiSubWindow* s = m_espace->currentSubWindow())
        return s;
    const auto liste = m_espace->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = liste.rbegin(); it != liste.rend(); ++it)
        if (!(*it)->isHidden())
            return *it;
    return nullptr;
}

QWidget* f_principale::fenetreActive() const {
    QMdiSubWindow* s = sousFenetreActive();
    return s ? s->widget() : nullptr;
}

void f_principale::redimentionner() {
    // The active child fills the workspace, whatever the window's height: a
    // child taller than the workspace would hide its bottom and its own
    // horizontal scroll bars. Only a child whose own minimum is larger than
    // the workspace brings the workspace's scroll bars.
    QMdiSubWindow* s = sousFenetreActive();
    if (!s)
        return;
    const QSize client = m_espace->maximumViewportSize();
    s->setGeometry(QRect(QPoint(0, 0), client.expandedTo(s->minimumSizeHint())));
}

void f_principale::afficherFenetre(QWidget* fenetre) {
    // What a child window announces to the main window.
    if (auto* f = qobject_cast<f_thesaurusMED*>(fenetre)) {
        connect(f, &f_thesaurusMED::ajoutThUMPossible, m_ajoutThUM, &QAction::setEnabled);
        m_ajoutThUM->setEnabled(f->ajoutThUMActif());
    }
    if (auto* f = qobject_cast<f_ThesaurusDIM*>(fenetre)) {
        // Print and export only where there is a thesaurus to print.
        connect(f, &f_ThesaurusDIM::proprietaireChange, this, [this](bool choisi) {
            m_proprietaireDIM = choisi;
            majCommandesThesaurus();
        });
        m_proprietaireDIM = f->proprietaireChoisi();
        majCommandesThesaurus();
    }
    if (auto* f = qobject_cast<f_ThesaurusDIM*>(fenetre))
        connect(f, &f_ThesaurusDIM::menuDemande, this,
                [this](const QStringList& entrees, const QPoint& position) {
                    for (QAction* a : {m_ajoutActe, m_suppActe, m_suppCat, m_modifCat})
                        a->setVisible(entrees.contains(a->objectName()));
                    m_ajoutCat->setVisible(true);
                    m_TheUM->popup(position);
                });
    QMdiSubWindow* s = m_espace->addSubWindow(fenetre, Qt::FramelessWindowHint);
    s->setAttribute(Qt::WA_DeleteOnClose);
    // The workspace keeps the scroll range of a closed child: an empty
    // workspace shows no scroll bar.
    connect(
        s, &QObject::destroyed, m_espace,
        [this] {
            if (m_espace->subWindowList().isEmpty()) {
                m_espace->horizontalScrollBar()->setRange(0, 0);
                m_espace->verticalScrollBar()->setRange(0, 0);
            }
        },
        Qt::QueuedConnection);
    s->show();
    m_espace->setActiveSubWindow(s);
    redimentionner();
}

void f_principale::fermerFenetreActive() {
    if (QMdiSubWindow* s = sousFenetreActive())
        s->close();
}

void f_principale::ajouterBouton(const QString& cle, const QString& image,
                                 const QString& infobulle) {
    QAction* a = Toolbar1->addAction(ImageList1.value(image), infobulle);
    a->setObjectName(cle);
    a->setData(cle);
    a->setToolTip(infobulle);
    connect(a, &QAction::triggered, this, [this, cle] { boutonBarreOutils(cle); });
}

void f_principale::updateToolBar() {
    // The old buttons go later: this may run from one of their own clicks.
    const QList<QAction*> anciens = Toolbar1->actions();
    Toolbar1->clear();
    for (QAction* a : anciens) {
        a->setParent(nullptr);
        a->deleteLater();
    }
    const QList<BoutonBarre> boutons = boutonsDuMode(contexteCourant);
    for (const BoutonBarre& b : boutons)
        ajouterBouton(b.cle, b.image, b.infobulle);
    if (!boutons.isEmpty())
        Toolbar1->setVisible(true);
    majCommandesThesaurus();
}

void f_principale::majCommandesThesaurus() {
    // The DIM window's print and export: off on its search tabs, where they
    // would do nothing, and on a tab that shows no unit or no doctor; the
    // doctor's "Sélectionner cet acte" without a picked act.
    const ModeEcran mode = contexteCourant;
    const bool dim = mode == ModeEcran::ThesaurusUM || mode == ModeEcran::ThesaurusMedecinDIM ||
                     mode == ModeEcran::AutresOngletsDIM;
    const bool actif = !dim || (mode != ModeEcran::AutresOngletsDIM && m_proprietaireDIM);
    // "Sélectionner cet acte": only when an act is picked.
    const bool unActe = !acteCourant.estVide();
    for (QAction* a : Toolbar1->actions())
        if (a->objectName() == QLatin1String("b_imprimer") ||
            a->objectName() == QLatin1String("b_export"))
            a->setEnabled(actif && m_toolbarActive);
        else if (a->objectName() == QLatin1String("b_selectionner"))
            a->setEnabled(unActe && m_toolbarActive);
    // The menu commands: on where the toolbar shows their button (and the
    // button does something), or on a report for printing.
    QStringList cles;
    for (const BoutonBarre& b : boutonsDuMode(mode))
        cles << b.cle;
    m_f_imprimer->setEnabled((cles.contains(QStringLiteral("b_imprimer")) && actif) ||
                             fenetreDuMode(mode) == FenetreMode::Rapport);
    m_f_exporter->setEnabled(cles.contains(QStringLiteral("b_export")) && actif);
    m_p_selectionner->setEnabled(cles.contains(QStringLiteral("b_selectionner")) && unActe);
}

void f_principale::desactiverToolBar() {
    m_toolbarActive = false;
    for (QAction* a : Toolbar1->actions())
        a->setEnabled(false);
}

void f_principale::activerToolBar() {
    m_toolbarActive = true;
    for (QAction* a : Toolbar1->actions())
        a->setEnabled(true);
    majCommandesThesaurus();
}

void f_principale::afficherPanier() {
    if (!panierCourant || panierCourant->getListeActes().isEmpty()) {
        afficherMessage(QStringLiteral("Vous n'avez sélectionné aucun acte"),
                        QStringLiteral("Actes sélectionnés "), Icone::Information);
        return;
    }
    d_panier fenetre(panier(), this);
    fenetre.afficher();
}

void f_principale::boutonBarreOutils(const QString& cle) {
    CurseurOccupe sablier;
    const ModeEcran mode = contexteCourant;
    const FenetreMode fenetre = fenetreDuMode(mode);
    if (cle == QLatin1String("b_selectionner")) {
        if (mode == ModeEcran::EspaceMedecin)
            ajouterAuPanier();
    } else if (cle == QLatin1String("b_selection")) {
        if (mode == ModeEcran::EspaceMedecin)
            afficherPanier();
    } else if (cle == QLatin1String("b_imprimer")) {
        if (f_ThesaurusDIM* f = fenetreOuverte<f_ThesaurusDIM>()) {
            if (mode == ModeEcran::ThesaurusUM)
                afficherRapportThesaurus(f->imprimerThesaurusUM());
            else if (mode == ModeEcran::ThesaurusMedecinDIM)
                afficherRapportThesaurus(f->imprimerThesaurusMED());
        }
    } else if (cle == QLatin1String("b_export")) {
        if (fenetre == FenetreMode::ThesaurusDIM) {
            if (f_ThesaurusDIM* f = fenetreOuverte<f_ThesaurusDIM>()) {
                if (mode == ModeEcran::ThesaurusUM)
                    f->ExporterThesaurusUM();
                else if (mode == ModeEcran::ThesaurusMedecinDIM)
                    f->ExporterThesaurusMED();
            }
        } else if (fenetre == FenetreMode::ThesaurusMED) {
            if (f_thesaurusMED* f = fenetreOuverte<f_thesaurusMED>())
                f->ExporterThesaurusMED();
        }
    } else if (cle == QLatin1String("b_retour")) {
        fermerFenetreActive();
        changerContexte(modeApresRetour(mode));
        if (mode == ModeEcran::Administration) {
            ouvrirFenetreDuMode(contexteCourant);
            redimentionner();
        }
        updateToolBar();
    }
}

void f_principale::ajouterAuPanier() {
    d_ajoutPanier::demander(this);
}

QWidget* f_principale::ouvrirFenetreDuMode(ModeEcran mode) {
    switch (fenetreDuMode(mode)) {
    case FenetreMode::ThesaurusDIM:
        return ouvrirFenetre<f_ThesaurusDIM>();
    case FenetreMode::ThesaurusMED:
        return ouvrirFenetre<f_thesaurusMED>();
    case FenetreMode::Administration:
        return ouvrirFenetre<f_utilisateurs>();
    case FenetreMode::Rapport:
        return ouvrirFenetre<DR_thesaurus>();
    case FenetreMode::RechercheActe:
    case FenetreMode::Aucune:
        break;
    }
    return nullptr;
}

void f_principale::afficherRapportThesaurus(std::unique_ptr<Thesaurus> a_thesaurus) {
    if (!a_thesaurus)
        return;
    desactiverToolBar();
    const ModeEcran mode =
        a_thesaurus->UM.isEmpty() ? ModeEcran::RapportUM : ModeEcran::RapportMedecin;
    if (auto* rapport = qobject_cast<DR_thesaurus*>(ouvrirFenetreDuMode(mode))) {
        connect(rapport, &DR_thesaurus::retourDemande, this, &f_principale::retourDuRapport,
                Qt::UniqueConnection);
        if (!rapport->afficher(std::move(a_thesaurus))) {
            // Stopped while laid out: the thesaurus stays shown as it was.
            fermerFenetreActive();
            redimentionner();
            activerToolBar();
            return;
        }
        changerContexte(ModeEcran(rapport->modeEcran()));
        updateToolBar();
        redimentionner();
    }
    activerToolBar();
}

void f_principale::retourDuRapport() {
    boutonBarreOutils(QStringLiteral("b_retour"));
}

void f_principale::ouvrirEspace(ModeEcran mode) {
    suivreMode(); // the user and the database in the status bar
    m_f_connexion->setEnabled(false);
    activerToolBar();
    if (utilisateurCourant.p_GROUP == QLatin1String("ADMIN"))
        m_admin->menuAction()->setVisible(true);
    if (mode == ModeEcran::Aucun || (mode == ModeEcran::EspaceMedecin && !medecinCourant))
        return;
    changerContexte(mode);
    updateToolBar();
    if (mode == ModeEcran::EspaceMedecin) {
        m_thesaurus->menuAction()->setVisible(true);
        m_panier->menuAction()->setVisible(true);
    }
    ouvrirFenetreDuMode(mode);
    redimentionner();
}

void f_principale::afficherConnexion() {
    d_connexion dialogue(this);
    connect(&dialogue, &d_connexion::sessionOuverte, this, &f_principale::ouvrirEspace);
    connect(&dialogue, &d_connexion::connexionAbandonnee, this, [this] {
        m_f_connexion->setEnabled(true);
        desactiverToolBar();
    });
    executerModal(&dialogue);
}

void f_principale::changerUtilisateur() {
    fermerFenetreActive();
    changerContexte(ModeEcran::Aucun);
    // The previous user's doctor goes with his session.
    changerMedecinCourant(nullptr);
    updateToolBar();
    m_admin->menuAction()->setVisible(false);
    m_thesaurus->menuAction()->setVisible(false);
    m_panier->menuAction()->setVisible(false);
    afficherConnexion();
}

void f_principale::afficherAPropos() {
    d_apropos dialogue(this);
    executerModal(&dialogue);
}

void f_principale::afficherGuide() {
    // One guide window beside the program, kept until closed.
    if (auto* guide = findChild<d_aide*>(QStringLiteral("d_guide"))) {
        guide->raise();
        guide->activateWindow();
        return;
    }
    QFile page(QStringLiteral(":/aide/guide.html"));
    page.open(QIODevice::ReadOnly);
    auto* guide = new d_aide(QStringLiteral("Guide de l'utilisateur — Tarvenor"),
                             QString::fromUtf8(page.readAll()), this);
    guide->setObjectName(QStringLiteral("d_guide"));
    guide->resize(760, 640);
    connect(guide, &QDialog::finished, guide, &QObject::deleteLater);
    guide->show();
}

void f_principale::imprimerAffichage() {
    // A report shown prints its pages; the DIM window opens the report of
    // the thesaurus it shows, as its toolbar button does.
    if (fenetreDuMode(contexteCourant) == FenetreMode::Rapport) {
        if (DR_thesaurus* rapport = fenetreOuverte<DR_thesaurus>())
            rapport->imprimer();
        return;
    }
    boutonBarreOutils(QStringLiteral("b_imprimer"));
}

void f_principale::chercherMotCle() {
    if (QWidget* fenetre = fenetreActive())
        allerAuMotCle(fenetre);
}

void f_principale::ouvrirAdministration(int onglet) {
    fermerFenetreActive();
    changerContexte(ModeEcran::Administration);
    updateToolBar();
    f_utilisateurs* f = ouvrirFenetre<f_utilisateurs>();
    // Its pop-up menus are ours, and their commands go back to it; tied once
    // per window, they end with it.
    if (!f->property("relie").toBool()) {
        f->setProperty("relie", true);
        connect(f, &f_utilisateurs::menuUtilisateurDemande, m_uti,
                [this](const QPoint& p) { m_uti->popup(p); });
        connect(f, &f_utilisateurs::menuUMDemande, m_UM,
                [this](const QPoint& p) { m_UM->popup(p); });
        connect(m_ajoutUti, &QAction::triggered, f, &f_utilisateurs::afficheFenetreAjoutUti);
        connect(m_modifUti, &QAction::triggered, f, &f_utilisateurs::afficheFenetreModifUti);
        connect(m_suppUti, &QAction::triggered, f, &f_utilisateurs::suppUti);
        connect(m_ajoutUM, &QAction::triggered, f, &f_utilisateurs::afficheFenetreAjoutUM);
        connect(m_modifUM, &QAction::triggered, f, &f_utilisateurs::afficheFenetreModifUM);
        connect(m_suppUM, &QAction::triggered, f, &f_utilisateurs::suppUM);
    }
    f->afficher(onglet);
    redimentionner();
}

void f_principale::gererUtilisateurs() {
    ouvrirAdministration(1);
}
void f_principale::gererUnitesMedicales() {
    ouvrirAdministration(2);
}

void f_principale::closeEvent(QCloseEvent* event) {
    if (afficherMessage(QStringLiteral("Voulez vous vraiment quitter ?"),
                        QStringLiteral("Confirmation"), Icone::Question,
                        Boutons::OuiNon) != Reponse::Oui) {
        event->ignore();
        return;
    }
    // Every other window goes first, the last opened first.
    const auto enfants = m_espace->subWindowList(QMdiArea::CreationOrder);
    for (auto it = enfants.rbegin(); it != enfants.rend(); ++it)
        (*it)->close();
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget* w : fenetres)
        if (w != this && w->isVisible())
            w->close();
    enregistrerPlacement();
    event->accept();
}

void f_principale::enregistrerPlacement() {
    if (isMinimized())
        return;
    // Single-precision numbers as text: seven significant digits.
    const auto texte = [](int pixels) {
        return QString::number(double(float(enTwips(pixels))), 'g', 7);
    };
    Parametres::ecrire(Parametres::MainLeft, texte(x()));
    Parametres::ecrire(Parametres::MainTop, texte(y()));
    Parametres::ecrire(Parametres::MainWidth, texte(width()));
    Parametres::ecrire(Parametres::MainHeight, texte(height()));
    Parametres::ecrire(Parametres::MainGeometry, QString::fromLatin1(saveGeometry().toBase64()));
}
