#pragma once
// "Actes sélectionnés": the acts of the basket, one line each, and the
// details of the selected one (activity, phase, documentary extension,
// modifiers), corrected in place: every change is applied to the basket's
// act at once. Deleting an act or emptying the basket asks first; "Créer un
// dossier" closes the window and goes on to the patient file.

#include "CorrectionActe.h"
#include "Panier.h"
#include "Recordset.h"

#include <QDialog>

class ListeColonnes;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

class d_panier : public QDialog {
    Q_OBJECT
public:
    explicit d_panier(Panier& a_panier, QWidget* parent = nullptr);
    ~d_panier() override;
    // The open window, or nullptr.
    static d_panier* instance();

    // Shows the window modally; after "Créer un dossier", goes on to the
    // next step of the patient file.
    void afficher();

    // The act of the selected line, or nullptr.
    ActePtr acteSelectionne() const { return m_acte; }

    // How many acts the basket holds.
    QLabel* l_nombreActes;
    // One line per act: "code - label", then its activity, phase and tariff.
    QListWidget* list_actes;
    QGroupBox* F_acte;
    QLabel* L_activite;
    QComboBox* c_activite;
    QLabel* l_phase;
    QComboBox* c_phase;
    QLabel* l_extDoc;
    QComboBox* c_extDoc;
    QLabel* l_modificateurs;
    ListeColonnes* lv_modificateurs;
    QPushButton* b_dossier;
    QPushButton* c_supprimerActe;
    QPushButton* c_vider;
    QPushButton* CancelButton;

private:
    void ligneChoisie(int ligne);
    void activiteChoisie(int index);
    void phaseChoisie(int index);
    void extensionChoisie(int index);
    // The selected line written again after its act changed.
    void majLigne();
    void modificateurCoche(int ligne, bool coche);
    void remplirModificateurs();
    void remplirExtDoc();
    void supprimerActe();
    void viderPanier();
    void viderDetails();

    Panier& m_panier;
    ActePtr m_acte;
    QVector<ActiviteCode> m_activites; // entries of c_activite
    QStringList m_phases;              // codes of the entries of c_phase
    QStringList m_extensions;          // codes of the entries of c_extDoc after the empty one
    QStringList m_modificateurs;       // codes of the rows of lv_modificateurs
    bool m_creerDossier = false;
};
