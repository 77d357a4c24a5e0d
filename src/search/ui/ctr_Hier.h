#pragma once
// Search panel: the user walks down the four levels of the classification's
// chapters and gets the acts filed under the chosen chapter; a button beside
// each level shows the chapter's usage notes.

#include "ctr_ListeActes.h"

class QComboBox;
class QLabel;
class QToolButton;

class ctr_Hier : public ctr_ListeActes {
    Q_OBJECT
public:
    explicit ctr_Hier(QWidget* parent = nullptr);

    // Handlers: a chapter chosen in c_hier[i] (its current row), a notes button.
    void chapitreChoisi(int i);
    void notesChoisies(int i);

    QComboBox* c_hier[4] = {}; // levels 1 to 4: column 0 code, column 1 label
    QLabel* l_hier[4] = {};
    QToolButton* b_notes[4] = {};

protected:
    void premiereApparition() override;

private:
    void remplirNiveau(QComboBox* combo, qint16 niveau, const QString& parent);
    void afficherActesPosition(const QString& code);
    void viderCombo(QComboBox* combo);
};
