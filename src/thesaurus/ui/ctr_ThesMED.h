#pragma once
// A doctor's thesaurus as a tree: the doctor at the root, his categories
// under it, the acts under each category. The panel always works on
// medecinCourant and edits it in step with the thesaurus tables; the tree is
// redrawn from it. Hosted by the doctor's window (screen mode 3) and by the
// doctor tab of the DIM window (mode 2); it announces the act picked and the
// basket command, and the window holding it connects them.
//
// Node keys: "N" + doctor code (root), "C" + category code, and
// "A" + category code + " - " + act code + " - " + activity.

#include "ActeChoisi.h"

#include <QHash>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>

class Medecin;
class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class ctr_ThesMED : public QWidget {
    Q_OBJECT
public:
    explicit ctr_ThesMED(QWidget* parent = nullptr);
    ~ctr_ThesMED() override;

    // Makes a_medecin the current doctor (when given), shows the import and
    // unit-copy buttons only in the DIM window's doctor tab, draws the tree.
    // Without a current doctor the tree is empty and the commands are off.
    void afficher(const std::shared_ptr<Medecin>& a_medecin);
    // Redraws the tree, then selects the first node showing a_lib.
    void ajoutCategorie(const QString& a_lib);
    // Redraws the tree, then selects the first act node of category a_cat.
    void ajoutActe(long a_cat);
    // Copies the unit's thesaurus into the doctor's, all or nothing.
    void ajoutThUM();
    // Replaces the doctor's thesaurus by a thesaurus file.
    void importerTH();

    // After a dialog wrote to the thesaurus tables: the doctor's memory is
    // refilled, then the tree redrawn on the new category or act.
    void rafraichirApresCategorie(const QString& a_lib);
    void rafraichirApresActe(long a_cat);

    // The act of the selected node (empty for a root or a category).
    const ActeChoisi& acteSelectionne() const { return m_acte; }
    // Makes the selected node's act (or none) the current act and announces
    // it again: the window does so when the panel's tab comes to the front.
    void annoncerSelection();
    // Node of that key, or nullptr.
    QTreeWidgetItem* noeud(const QString& cle) const { return m_noeuds.value(cle); }
    static QString cleNoeud(const QTreeWidgetItem* noeud);
    // Every node in the order it was added (root, category, its acts, ...).
    QList<QTreeWidgetItem*> noeuds() const;

    QTreeWidget* TV_ThesMED;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QMenu* m_TheMED;
    QAction* m_ajoutPanier;
    QAction* m_ajoutActe;
    QAction* m_suppActe;
    QAction* m_ajoutCat;
    QAction* m_suppCat;
    QAction* m_modifCat;

signals:
    // The selection changed (a click, a key, a redraw, a deletion): the act's
    // code, empty for no node, the root, a category or an act the
    // classification no longer holds.
    void acteChoisi(const QString& code);
    // "Sélectionner cet acte" on the current act.
    void ajoutPanierDemande();
    // Whether the unit's thesaurus can be copied (the doctor's is empty).
    void ajoutThUMPossible(bool possible);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void dessiner();
    QTreeWidgetItem* ajouterNoeud(QTreeWidgetItem* parent, const QString& cle, const QString& texte,
                                  int image);
    void retirerNoeud(QTreeWidgetItem* noeud);
    void selectionnerApresSuppression(int index);
    // Selects that node (nullptr: none) and picks it.
    void selectionner(QTreeWidgetItem* noeud);
    // The act of that node becomes the panel's and the current act, and is
    // announced.
    void choisirNoeud(QTreeWidgetItem* noeud);
    // A press: the pop-up menu for the right button.
    void cliquerNoeud(QTreeWidgetItem* noeud);
    // The node's pop-up (right click, Menu key, Shift+F10) at that place.
    void montrerMenu(QTreeWidgetItem* noeud, const QPoint& position);
    // "Sélectionner cet acte" is offered for the node: the selected act of
    // the doctor's own window.
    bool panierPermis(const QTreeWidgetItem* noeud) const;
    void majCommande2(const QTreeWidgetItem* noeud);
    void ajouterActes();
    void ajouterCategorie();
    void supprimerActe();
    void supprimerCategorie();
    void renommer();
    void libelleModifie(QTreeWidgetItem* noeud);
    // Command4 and the main window's "Ajouter le thésaurus de l'UM".
    void activerAjoutThUM(bool actif);

    QHash<QString, QTreeWidgetItem*> m_noeuds;
    ActeChoisi m_acte;
    // Mouse button of the last press on the tree: 2 right, 1 any other.
    int m_bouton = 1;
    // Where that press was, on the screen: the pop-up menu opens there.
    QPoint m_positionClic;
};
