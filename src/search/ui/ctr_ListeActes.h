#pragma once
// What the three search panels (keyword, anatomical site, hierarchy) share:
// the result list LV_Actes and its handlers. The selected row is the picked
// act, however it got selected (click, any moving key, a new search, a
// cleared list): it is made the current act and announced (acteChoisi, empty
// when no row is selected); the window holding the panel shows the details. In the search dialog
// (screen mode 4) rows carry tick boxes and the ticked rows are collected; a doctor gets the pop-up
// menu m_listeActes (basket, thesaurus) on a right click, the Menu key or Shift+F10, whose commands
// are announced too; Enter and a double click run its first one.

#include "Recordset.h"

#include <QList>
#include <QString>
#include <QTreeWidget>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QTimer;

// One ticked row of the result list, kept by value so that it outlives the
// rows of the list (a new search clears them, the ticks already taken stay).
struct LigneActe {
    QString code;    // the row's text: the act code
    QString libelle; // its first sub-item: the full label
};

// The list view itself: it reports mouse presses and clicks to its panel
// after doing its own work (moving the selection).
class VueListeActes : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

signals:
    void boutonPresse(Qt::MouseButton bouton);
    void ligneCliquee();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class ctr_ListeActes : public QWidget {
    Q_OBJECT
public:
    ~ctr_ListeActes() override;

    // The ticked rows in the order they were ticked: the panel's own
    // collection, or nullptr outside the search dialog.
    QList<LigneActe>* getListeActesSelectionnees() { return m_selection.get(); }

    // The code of the act of the selected row (empty when none is).
    const QString& acteSelectionne() const { return m_acteSelectionne; }
    // Makes the selected row's act (or none) the current act and announces
    // it again: the window does so when the panel's tab comes to the front.
    void annoncerSelection();

    // False for a moment after a keystroke: the rows of the search past the
    // first screenfuls are not in the list yet (see remplacerLignes).
    bool listeComplete() const { return m_aVenir.suivante >= m_aVenir.ordre.size(); }
    // Puts those rows in the list now.
    void completerListe();

    VueListeActes* LV_Actes = nullptr;
    QMenu* m_listeActes = nullptr;
    QAction* m_ajoutPanier = nullptr;
    QAction* m_ajoutThesaurus = nullptr;

signals:
    // The selection changed: the act's code (already the current act), or
    // empty when no row is selected any more.
    void acteChoisi(const QString& code);
    // "Sélectionner cet acte" on the current act.
    void ajoutPanierDemande();
    // The pop-up's thesaurus command on the act picked last.
    void ajoutThesaurusDemande(const QString& code);

protected:
    ctr_ListeActes(const QString& libellePanier, const QString& libelleThesaurus, QWidget* parent);

    void viderListe();
    // Adds one row per record (AMCODE, Libelle_Complet), in the order of the
    // column the user sorted by, if any; returns the number of rows.
    int remplirListe(const RecordsetPtr& actes);
    // Selects the first row, which picks it.
    void selectionnerPremiereLigne();
    // Marks the row of that act selected without picking it; false when the
    // list holds no such row.
    bool selectionnerLigne(const QString& code);
    // The rows of a new search in place of the old ones: the act picked stays
    // picked (not announced again) while the new rows hold it; otherwise the
    // first row is picked, or nothing when there is none. Made for the list
    // that follows the typing: only the first screenfuls (down to the act
    // kept picked) go into the list at once, so that it is painted again
    // within one frame however many acts the search found; the other rows
    // follow as soon as the program is idle, a batch at a time, or all at
    // once when the user reaches for them (a key or a click in the list, its
    // scroll bar, a column header).
    void remplacerLignes(const RecordsetPtr& actes);

    // Columns sized from the list's width, tick boxes and the selection in
    // the search dialog; done once, when the panel is first shown.
    virtual void premiereApparition();
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Enter on a row runs "Sélectionner cet acte", the Menu key and
    // Shift+F10 open the pop-up at the row (where a right click would).
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    // The pop-up and its commands are offered: a doctor, outside the search
    // dialog, with a row selected.
    bool menuPermis() const;
    void ligneCliquee();
    void ligneCochee(QTreeWidgetItem* ligne, int colonne);
    void trierColonne(int colonne);
    void ajouterPanier();
    void ajouterThesaurus();
    void dimensionnerColonnes();

    // The rows of the last search still to come, in list order.
    struct LignesAVenir {
        RecordsetPtr actes;
        int iCode = -1;
        int iLibelle = -1;
        std::vector<int> ordre; // row numbers of the recordset
        size_t suivante = 0;
    };
    // Sets the records to come; false when they lack the two fields.
    bool preparerLignes(const RecordsetPtr& actes);
    // Puts the next n rows to come in the list.
    void ajouterLignes(size_t n);
    // Runs the idle work while rows are to come or to be deleted.
    void relancerSuite();
    QTreeWidgetItem* creerLigne(const QString& code, const QString& libelle) const;
    // The rows that fill the list's first screenfuls.
    size_t premieresLignes() const;

    // At least this many rows at once, whatever the list's height; then
    // batches of lignesParLot.
    static constexpr int premieresLignesMin = 64;
    static constexpr size_t lignesParLot = 400;
    LignesAVenir m_aVenir;
    // Rows taken out of the list, deleted while the program is idle.
    QList<QTreeWidgetItem*> m_anciennesLignes;
    QTimer* m_suite = nullptr;
    QString m_acteSelectionne;
    std::unique_ptr<QList<LigneActe>> m_selection;
    int m_boutonSouris = 1;
    bool m_montre = false;
    bool m_tri = false;
    int m_colonneTri = 0;
};

// Makes the rows of a list as tall as their texts wrapped at the columns'
// widths, so that long labels are read in full; rows are measured again when
// a column changes width.
void activerRetourALaLigne(QTreeView* liste);
