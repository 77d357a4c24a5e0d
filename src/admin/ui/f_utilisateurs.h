#pragma once
// The administration window "Gestion de utilisateurs": users (LV_Users) and
// medical units (LV_UM) on two tabs, each with its "Nouveau" button. A
// double click modifies the row; the right button asks the main window for
// its pop-up menu (m_uti, m_UM) through a signal, whose commands come back to
// the public slots below. Clicking a header sorts the list on that column:
// texts in French order, the user code as a number, dates as dates.

#include "Recordset.h"

#include <QPoint>
#include <QWidget>
#include <array>

class QFrame;
class QPushButton;
class QTabBar;
class QTreeWidget;
class VueListeActes;

class f_utilisateurs : public QWidget {
    Q_OBJECT
public:
    explicit f_utilisateurs(QWidget* parent = nullptr);
    ~f_utilisateurs() override;
    // The open window, or nullptr.
    static f_utilisateurs* instance();

    // The tab shown: 1 users, 2 medical units.
    int ongletAffiche() const;

    // The selected row's record: getUtilisateur (with the doctor columns) or
    // getUM; nullptr when no row is selected.
    RecordsetPtr utilisateurSelectionne() const;
    RecordsetPtr UMSelectionnee() const;

    QTabBar* TS_admin;
    std::array<QFrame*, 2> f_admin; // 0 users, 1 units
    VueListeActes* LV_Users;
    VueListeActes* LV_UM;
    QPushButton* Command1; // "Nouveau" user
    QPushButton* Command2; // "Nouveau" unit

signals:
    // A row was clicked with the right button: the main window shows m_uti
    // or m_UM at that screen position.
    void menuUtilisateurDemande(const QPoint& position);
    void menuUMDemande(const QPoint& position);

public slots:
    // Shows the window on tab 1 (users) or 2 (medical units).
    void afficher(int a_type);
    void remplirUtilisateurs();
    void remplirUM();
    void afficheFenetreAjoutUti();
    void afficheFenetreModifUti();
    void suppUti();
    void afficheFenetreAjoutUM();
    void afficheFenetreModifUM();
    void suppUM();

private:
    void choisirOnglet(int index);
    void ligneCliquee(QTreeWidget* liste);
    void trier(QTreeWidget* liste, int colonne);
    // After the row at `position` left the list: the row now there, or the
    // first one, becomes the selection.
    void selectionnerApresSuppression(QTreeWidget* liste, int position);
    void ajusterColonnes(QTreeWidget* liste);
    bool m_boutonDroit = false;
};
