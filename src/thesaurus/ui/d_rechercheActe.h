#pragma once
// "Recherche d'acte": the three search panels with tick boxes, the details of
// the act picked last, and the category of a unit or doctor thesaurus to
// fill. "Ajouter les actes" adds the acts ticked on the tab shown, in the
// order they were ticked, and announces the category (actesAjoutes) so that
// the window that opened the dialog redraws its thesaurus. While the dialog
// is open the screen mode is 4; the mode in force before comes back however
// the dialog closes.

#include "ModeEcran.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTabBar;
class ctr_Details;
class ctr_Hier;
class ctr_ListeActes;
class ctr_motCle;
class ctr_site;

class d_rechercheActe : public QDialog {
    Q_OBJECT
public:
    explicit d_rechercheActe(QWidget* parent = nullptr);
    ~d_rechercheActe() override;

    // Offers the categories of that owner (unit code and type 1, or doctor
    // code and type 2), preselects a_categorie and shows the dialog modally.
    void afficher(long a_categorie, const QString& a_Lien, int a_type);
    // Shows the act of that code in the details panel.
    void afficherDetails(const QString& a_code);

    QTabBar* TabStrip1;
    QFrame* fr_CCAM[3];
    ctr_motCle* ctr_motCle1;
    ctr_site* ctr_site1;
    ctr_Hier* ctr_Hier1;
    ctr_Details* ctr_Details1;
    QLabel* Label3;
    QComboBox* Combo1;
    QPushButton* Command1;
    QPushButton* Command2;

signals:
    // Acts were written to that category.
    void actesAjoutes(long categorie);

public slots:
    void done(int resultat) override;

private:
    void ongletChoisi(int index);
    void ajouterActes();
    void restaurerMode();

    // The mode before the dialog opened; set while the dialog holds mode 4.
    ModeEcran m_modePrecedent = ModeEcran::Aucun;
    bool m_modeTenu = false;
    // CT_CODE of each entry of Combo1.
    QList<long> m_categories;
    int m_ongletCourant = -1;
};
