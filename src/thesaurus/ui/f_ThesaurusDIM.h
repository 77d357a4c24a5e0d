#pragma once
// The DIM workspace: five tabs (keyword search, anatomical-site search,
// hierarchy, a unit's thesaurus, a doctor's thesaurus) and the details of the
// act picked in any of them. The unit tree is drawn straight from the
// thesaurus tables; the doctor tab embeds the doctor panel ctr_ThesMED. The
// window announces its pop-up menu (menuDemande) and the main window, which
// owns m_TheUM, shows it; printing hands a filled Thesaurus back to the main
// window, which opens the report.
//
// Screen modes: 1 on the unit tab, 2 on the doctor tab, 6 on the others.

#include "Recordset.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class Thesaurus;
class ctr_Details;
class ctr_Hier;
class ctr_ListeActes;
class ctr_ThesMED;
class ctr_motCle;
class ctr_site;
class Medecin;

class f_ThesaurusDIM : public QWidget {
    Q_OBJECT
public:
    explicit f_ThesaurusDIM(QWidget* parent = nullptr);
    ~f_ThesaurusDIM() override;

    // Redraw the unit tree of the unit chosen in C_UM(0), then select the
    // node showing a_lib, or the first act of category a_cat.
    void ajoutCategorie(const QString& a_lib);
    void ajoutActe(long a_cat);
    // Shows the act of that code (empty: nothing) in the details panel.
    void afficherDetails(const QString& a_code);
    void afficheFenetreAjoutActe();
    void afficheFenetreAjoutCat();
    void suppActe();
    void suppCat();
    void modifierCategorie();
    // Replaces the thesaurus of the unit chosen in C_UM(0) by a file.
    void importerThesaurusUM();
    // The filled thesaurus of the chosen doctor (resp. unit) for the report;
    // nullptr when none is chosen.
    std::unique_ptr<Thesaurus> imprimerThesaurusMED();
    std::unique_ptr<Thesaurus> imprimerThesaurusUM();
    void ExporterThesaurusMED();
    void ExporterThesaurusUM();
    // "Actes à remplacer", on the unit chosen first; the trees are drawn
    // again after a change.
    void afficherActesARemplacer();

    // Codes chosen in the unit combo of the unit tab and in the doctor combo
    // (empty when none).
    QString umChoisie() const;
    QString medecinChoisi() const;
    // Every node of the unit tree in drawing order.
    QList<QTreeWidgetItem*> noeudsUM() const;

    QTabBar* TS_Thes;
    QFrame* f_thes[5];
    ctr_motCle* ctr_motCle1;
    ctr_site* ctr_site1;
    ctr_Hier* ctr_Hier1;
    ctr_ThesMED* ctr_ThesMED1;
    ctr_Details* ctr_Details1;
    QComboBox* C_UM[2];
    QComboBox* C_listemedecins;
    QTreeWidget* TV_ThesUM;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* b_actesARemplacer;

    static constexpr int ongletUM = 3;
    static constexpr int ongletMedecin = 4;

    // Whether the tab in front shows a thesaurus that printing and export can
    // work on: a unit on the unit tab, a doctor on the doctor tab; none on
    // the search tabs.
    bool proprietaireChoisi() const;

signals:
    // A right click on a node of that kind: the main window shows m_TheUM
    // with "Ajouter des catégories" and those entries, at that place.
    void menuDemande(const QStringList& entrees, const QPoint& position);
    // proprietaireChoisi() may have changed: the print and export commands
    // follow it.
    void proprietaireChange(bool choisi);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
    void showEvent(QShowEvent* event) override;

private:
    void ongletChoisi(int index);
    void relierPanneau(ctr_ListeActes* panneau, int onglet);
    // The details of what the panel of that tab selected, when that tab is
    // the one shown.
    void afficherDetailsDe(int onglet, const QString& a_code);
    void umChoisieDans(int combo);
    void medecinChoisiDansListe();
    // The doctor tab acts only on the doctor of its combo: he (or none) is
    // made the current doctor and drawn.
    void montrerMedecin(std::shared_ptr<Medecin> medecin);
    void dessinerUM(const QString& a_UM);
    // Selects that node of the unit tree (nullptr: none) and picks it.
    void selectionner(QTreeWidgetItem* noeud);
    // The act of that node, shown in the details (the current act stays).
    void choisirNoeud(QTreeWidgetItem* noeud);
    // A press: the pop-up menu for the right button.
    void cliquerNoeud(QTreeWidgetItem* noeud);
    void majCommande2(const QTreeWidgetItem* noeud);
    void libelleModifie(QTreeWidgetItem* noeud);
    void selectionnerApresSuppression(int index);

    int m_ongletCourant = -1;
    bool m_chargee = false;
    // The unit the tree shows.
    QString m_umAffichee;
    // The act of the node selected in the unit tree.
    RecordsetPtr m_acte;
    int m_bouton = 1;
    QPoint m_positionClic;
};
