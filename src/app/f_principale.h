#pragma once
// The main window: a multiple-document window whose workspace holds one child
// window at a time. It owns the menus, the toolbar that follows the screen
// mode (contexteCourant), the placement memory and the quit confirmation, and
// dispatches every command to the window that carries it out.

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

class QAction;
class QMenu;
class QStatusBar;
class QToolBar;

// Placement sizes are kept in twips: 1440 per inch, 15 per pixel at 96 dpi.
inline constexpr int twipsParPixel = 15;

class f_principale : public QMainWindow {
    Q_OBJECT
public:
    explicit f_principale(QWidget* parent = nullptr);
    ~f_principale() override;
    // The main window, or nullptr.
    static f_principale* instance();

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
    QMenu* m_admin;
    QAction* m_a_uti;
    QAction* m_a_UM;
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
    // Toolbar images by key ("i_imprimer", ...).
    QHash<QString, QIcon> ImageList1;

public slots:
    // Menu commands.
    void afficherConnexion();    // m_f_connexion
    void changerUtilisateur();   // m_chgUser
    void afficherAPropos();      // m_f_propos
    void gererUtilisateurs();    // m_a_uti
    void gererUnitesMedicales(); // m_a_UM
    // Toolbar: the button of that key was pressed.
    void boutonBarreOutils(const QString& cle);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void creerMenus();
    void charger();
    void enregistrerPlacement();
    QMdiSubWindow* sousFenetreActive() const;
    void ouvrirAdministration(int onglet);
    void ajouterBouton(const QString& cle, const QString& image, const QString& infobulle);

    QMdiArea* m_espace;
    bool m_charge = false;
};

template <typename T> T* f_principale::ouvrirFenetre() {
    T* fenetre = T::instance();
    // A window being unloaded (its frame already hidden) does not count.
    if (fenetre && fenetre->parentWidget() && !fenetre->parentWidget()->isHidden()) {
        m_espace->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(fenetre->parentWidget()));
        return fenetre;
    }
    fenetre = new T;
    afficherFenetre(fenetre);
    return fenetre;
}
