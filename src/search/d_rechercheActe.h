#pragma once
// The act search dialog "Recherche d'acte". For now an empty dialog: the
// search panels and the details it will hold come with the search dialog
// work (it connects their acteChoisi to its afficherDetails).

#include <QDialog>

class d_rechercheActe : public QDialog {
    Q_OBJECT
public:
    explicit d_rechercheActe(QWidget* parent = nullptr);

    // Shows the act of that code in the details panel (stub).
    void afficherDetails(const QString& a_code);
};
