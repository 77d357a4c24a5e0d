#pragma once
// The administration window: users and medical units on two tabs. For now an
// empty window with the operations the main window calls. The main window
// places it in its workspace, then calls afficher() with the tab to show.

#include <QWidget>

class f_utilisateurs : public QWidget {
    Q_OBJECT
public:
    explicit f_utilisateurs(QWidget* parent = nullptr);
    ~f_utilisateurs() override;
    // The open window, or nullptr.
    static f_utilisateurs* instance();

    // Shows the window on tab 1 (users) or 2 (medical units).
    void afficher(int a_onglet);
    void remplirUtilisateurs();
    void remplirUM();
    void afficheFenetreAjoutUti();
    void afficheFenetreModifUti();
    void suppUti();
    void afficheFenetreAjoutUM();
    void afficheFenetreModifUM();
    void suppUM();

    int ongletAffiche() const { return m_onglet; }

private:
    int m_onglet = 1;
};
