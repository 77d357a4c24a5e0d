#pragma once
// "Saisie des associations": each act of the stay gets its association code
// (1 to 5, or none) from a menu opened by a click on its row (or Enter, the
// Menu key), or from the keys 0 to 5. The dialog
// works on a copy of the basket: "OK" puts the copy in the basket and opens
// the patient file, "Annuler" leaves the basket as it was.

#include "Panier.h"

#include <QDialog>
#include <array>
#include <memory>

class ListeColonnes;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidgetItem;

class d_associations : public QDialog {
    Q_OBJECT
public:
    explicit d_associations(Panier& a_panier, QWidget* parent = nullptr);
    ~d_associations() override;

    // Shows the dialog modally; after "OK", opens the patient file.
    void afficher();

    // Gives the act of the selected row the code of menu entry 0 to 5.
    void choisirCode(int entree);
    const Panier& copie() const { return *m_copie; }
    // The help page "Aide" shows (by default the one of the resources).
    void setCheminAide(const QString& chemin) { m_cheminAide = chemin; }

    QLabel* l_titre;
    QLabel* l_info;
    ListeColonnes* LV_Actes;
    QMenu* m_associations;
    std::array<QAction*, 6> m_assoc{};
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QPushButton* b_aide;

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void ligneCliquee(QTreeWidgetItem* item);
    void afficherAide();

    Panier& m_panier;
    std::unique_ptr<Panier> m_copie;
    bool m_valide = false;
    QString m_cheminAide;
};

// The help page of the association codes, from the program's resources (or
// the file given); empty when it cannot be read.
QString pageAideAssociations(const QString& chemin = QString());
