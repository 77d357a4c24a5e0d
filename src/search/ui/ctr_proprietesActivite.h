#pragma once
// The panel in which the user completes one activity of an act before it
// goes to the basket: modifiers (at most four, kept in the order ticked),
// documentary extension and associated acts. The rules are those of
// ProprietesActivite; this panel shows them.

#include "ProprietesActivite.h"

#include <QWidget>

class ListeColonnes;
class QComboBox;
class QGroupBox;
class QLabel;

class ctr_proprietesActivite : public QWidget {
    Q_OBJECT
public:
    explicit ctr_proprietesActivite(QWidget* parent = nullptr);

    // Fills the panel for the activity of the act a_acte (none: nothing
    // happens); the choices made before are forgotten.
    void afficher(const QString& a_activite, const RecordsetPtr& a_acte,
                  const QString& a_phase = QString());
    // The main act with its choices, then the ticked associated acts.
    QList<Acte> getListActes() const;
    // How much taller the modifier list must be to show every row whole
    // (zero or less: it does already).
    int hauteurManquante() const;

    const QString& activite() const { return m_modele.activite(); }
    const ProprietesActivite& modele() const { return m_modele; }

    QGroupBox* f_modificateurs;
    ListeColonnes* lv_modificateurs;
    QGroupBox* f_activitesAssocies;
    ListeColonnes* lv_activiteAssocies;
    QLabel* Label2;
    QComboBox* c_extDoc;

private:
    void modificateurCoche(int ligne, bool coche);

    ProprietesActivite m_modele;
};
