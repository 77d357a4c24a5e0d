#pragma once
// The add-to-basket dialog "Sélection de l'acte", on the current act. For now
// an empty dialog: the phase, activities and properties come with the
// basket work. demander() is what every add-to-basket command of a window
// runs.

#include <QDialog>

class d_ajoutPanier : public QDialog {
    Q_OBJECT
public:
    explicit d_ajoutPanier(QWidget* parent = nullptr);

    // The admission of the current act (ajouterAuPanier): a refusal shows its
    // message, an admitted act opens the dialog modally over parent.
    static void demander(QWidget* parent);
};
