#pragma once
// "Sélectionnez la catégorie": puts an act found in a search panel into one
// of the current doctor's categories, then announces it (acteAjoute) to the
// window that opened it.

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;

class d_selectCat : public QDialog {
    Q_OBJECT
public:
    explicit d_selectCat(QWidget* parent = nullptr);

    // Shows the dialog modally for the act a_acte; a doctor without any
    // category gets a message instead.
    void afficher(const QString& a_acte);

    QLabel* l_titre;
    QListWidget* l_listeCat;
    QPushButton* OKButton;
    QPushButton* CancelButton;

signals:
    // The act was written to that category (the dialog is closed).
    void acteAjoute(long categorie);

private:
    void valider();

    QString m_acte;
};
