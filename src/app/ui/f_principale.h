#pragma once
// The main window: a multiple-document window whose workspace holds one child
// window at a time. It owns the menus, the toolbar that follows the screen
// mode (contexteCourant), the placement memory and the quit confirmation, and
// dispatches every command to the window that carries it out, among the
// windows it holds. The window a mode means is read from ModeEcran.h.

#include "ModeEcran.h"
#include "PlacementFenetre.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class Thesaurus;

class f_principale : public QMainWindow {
    Q_OBJECT
public:
    explicit f_principale(QWidget* parent = nullptr);
    ~f_principale() override;

    void formatToolbar();
    void redimentionner();
    void updateToolBar();
    void desactiverToolBar();
    void activerToolBar();
    void afficherPanier();

    // The workspace (MDI area) and its active child window (nullptr if none).
    QMdiArea* espace() const { return m_espace; }
    QWidget* fenetreActive() const;
    // Unloads the active child window.
    void fermerFenetreActive();
    // Places a window in the workspace, fitted to it, and activates it.
    void afficherFenetre(QWidget* fenetre);
    // Shows the open window of class T, or opens a new one.
    template <typename T> T* ouvrirFenetre();
    // The open window of class T in the workspace, or nullptr.
    template <typename T> T* fenetreOuverte() const;
    // Opens the window the mode means (ModeEcran.h) and returns it.
    QWidget* ouvrirFenetreDuMode(ModeEcran mode);
    // The last step of a login: the mode set, the toolbar, the group's menu
    // and the workspace of the mode opened.
    void ouvrirEspace(ModeEcran mode);
    // Opens the thesaurus report of that filled thesaurus in the workspace,
    // the toolbar off while it opens; the screen mode becomes the report's
    // (8 or 9). Nothing happens without a thesaurus.
    void afficherRapportThesaurus(std::unique_ptr<Thesaurus> a_thesaurus);

    // Menus (named as their commands) and toolbar.
    QMenu* m_fichier;
    QAction* m_f_connexion;
    QAction* m_chgUser;
    QAction* m_f_propos;
    QAction* m_f_quitter;
    QMenu* m_thesaurus;
    QAction* m_ajoutThUM;
    QAction* m_export;
    QAction* m_import;
    QAction* m_actesARemplacer; // the doctor's thesaurus acts the loaded version lacks
    QMenu* m_admin;
    QAction* m_a_uti;
    QAction* m_a_UM;
    // The toolbar's commands in the menus (File, and Basket for a doctor),
    // enabled in the modes where the toolbar shows them: printing what is
    // shown (Ctrl+P, also a report's pages), export, "retour", the basket.
    QAction* m_f_imprimer;
    QAction* m_f_exporter;
    QAction* m_f_retour;
    QMenu* m_panier;
    QAction* m_p_selectionner;
    QAction* m_p_selection;
    // Help: the user guide (F1) and the about box (m_f_propos).
    QMenu* m_aide;
    QAction* m_guide;
    // Ctrl+F: the keyword box of the workspace's search side.
    QAction* m_chercher;
    // Context menus opened by the administration and DIM windows.
    QMenu* m_TheUM;
    QAction* m_ajoutActe;
    QAction* m_suppActe;
    QAction* m_ajoutCat;
    QAction* m_suppCat;
    QAction* m_modifCat;
    QMenu* m_UM;
    QAction* m_ajoutUM;
    QAction* m_modifUM;
    QAction* m_suppUM;
    QMenu* m_uti;
    QAction* m_ajoutUti;
    QAction* m_modifUti;
    QAction* m_suppUti;

    QToolBar* Toolbar1;
    QStatusBar* sbStatusBar;
    // In the status bar: the logged-in user, the database in use, and the
    // version of the classification loaded (empty and hidden for now).
    QLabel* l_utilisateur;
    QLabel* l_base;
    QLabel* l_versionCcam;
    // Toolbar images by key ("i_imprimer", ...).
    QHash<QString, QIcon> ImageList1;

public slots:
    // Menu commands.
    void afficherConnexion();    // m_f_connexion
    void changerUtilisateur();   // m_chgUser
    void afficherAPropos();      // m_f_propos
    void afficherGuide();        // m_guide
    void imprimerAffichage();    // m_f_imprimer
    void chercherMotCle();       // m_chercher
    void gererUtilisateurs();    // m_a_uti
    void gererUnitesMedicales(); // m_a_UM
    // Toolbar: the button of that key was pressed.
    void boutonBarreOutils(const QString& cle);
    // "Sélectionner cet acte": the admission of the current act.
    void ajouterAuPanier();
    // "retour" from a report: what the toolbar's "retour" does.
    void retourDuRapport();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void creerMenus();
    void creerBarreEtat();
    // Print and export of the DIM window: on only where its tab in front
    // shows a unit or a doctor; "Sélectionner cet acte" only with a current
    // act.
    void majCommandesThesaurus();
    bool m_proprietaireDIM = true;
    bool m_toolbarActive = true;
    // The title, the status bar and the menu commands follow the screen
    // mode and the session.
    void suivreMode();
    void charger();
    // The smallest window: 12000 × 8000 twips, cut to the screen.
    QSize tailleMinimale() const;
    void enregistrerPlacement();
    QMdiSubWindow* sousFenetreActive() const;
    void ouvrirAdministration(int onglet);
    void ajouterBouton(const QString& cle, const QString& image, const QString& infobulle);
    // Runs the operation of the open window of class T when the command is
    // chosen; nothing happens when no such window is open.
    template <typename T> void relier(QAction* commande, void (T::*operation)());

    QMdiArea* m_espace;
    bool m_charge = false;
};

template <typename T> T* f_principale::fenetreOuverte() const {
    // A window being unloaded (its frame already hidden) does not count.
    for (QMdiSubWindow* s : m_espace->subWindowList())
        if (T* fenetre = qobject_cast<T*>(s->widget()); fenetre && !s->isHidden())
            return fenetre;
    return nullptr;
}

template <typename T> T* f_principale::ouvrirFenetre() {
    if (T* fenetre = fenetreOuverte<T>()) {
        m_espace->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(fenetre->parentWidget()));
        return fenetre;
    }
    T* fenetre = new T;
    afficherFenetre(fenetre);
    return fenetre;
}

template <typename T> void f_principale::relier(QAction* commande, void (T::*operation)()) {
    connect(commande, &QAction::triggered, this, [this, operation] {
        if (T* fenetre = fenetreOuverte<T>())
            (fenetre->*operation)();
    });
}
