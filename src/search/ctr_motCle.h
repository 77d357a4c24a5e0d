#pragma once
// Search panel: acts found from keywords typed by the user, matched against
// the act codes (each word a prefix of the code) or the labels (each word
// somewhere in one of the two search forms of the label).

#include "ctr_ListeActes.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ctr_motCle : public ctr_ListeActes {
    Q_OBJECT
public:
    explicit ctr_motCle(QWidget* parent = nullptr);

    // Runs the search on the typed keywords (button "Rechercher" or Enter).
    void rechercher();

    QLabel* Label1 = nullptr;
    QLineEdit* t_motCle = nullptr;
    QRadioButton* O_recherche[2] = {nullptr, nullptr}; // 0 "Code", 1 "Libellé"
    QPushButton* b_recherche = nullptr;

protected:
    void premiereApparition() override;
};
