#pragma once
// "Sélection de l'acte": turns one act code into basket acts. The user
// chooses the phase and ticks activities; each ticked activity gets a tab
// holding its properties panel (modifiers, extension, associated acts).
// "OK" adds, for every ticked activity, the act and its associated acts to
// the basket given; "Créer un dossier" does the same and goes on to the
// association codes or the patient file.

#include "SelectionActe.h"

#include <QDialog>
#include <vector>

class ListeColonnes;
class Panier;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class ctr_proprietesActivite;

class d_ajoutPanier : public QDialog {
    Q_OBJECT
public:
    // a_code: the act; a_activiteMedecin: the logged-in doctor's activity
    // (empty without a doctor), ticked at first among several activities.
    d_ajoutPanier(const QString& a_code, Panier& a_panier, const QString& a_activiteMedecin,
                  QWidget* parent = nullptr);

    // Shows the dialog modally; after "Créer un dossier", goes on to the
    // next step of the patient file.
    void afficher();

    // What every add-to-basket command of a window runs: the admission of
    // the current act into the current basket; a refusal shows its message,
    // an admitted act opens this dialog over parent.
    static void demander(QWidget* parent);

    // The panel of the activity at that list row, or nullptr when unticked.
    ctr_proprietesActivite* panneau(int ligne) const;
    const SelectionActe& selection() const { return m_selection; }

    QLabel* l_code;
    QLabel* l_libelle;
    QLabel* l_phase;
    QComboBox* c_phase;
    QGroupBox* f_activites;
    ListeColonnes* lv_activites;
    QTabWidget* ts_proprietes;
    QPushButton* OKButton;
    QPushButton* CancelButton;
    QPushButton* c_creerDossier;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Makes the window tall enough for the modifiers of the activity shown.
    void ajusterHauteur();
    void ordreTabulation();
    void remplirActivites();
    void activiteCochee(int ligne, bool coche);
    void phaseChoisie(int index);
    void ligneChoisie();
    void ongletChoisi(int index);
    bool confirmer();
    void majBoutons();

    Panier& m_panier;
    QString m_activiteMedecin;
    SelectionActe m_selection;
    // One entry per row of the activity list: its panel while it is ticked.
    std::vector<ctr_proprietesActivite*> m_panneaux;
    bool m_confirme = false;
    bool m_creerDossier = false;
};
