#pragma once
// "Nouvelle catégorie": creates categories in a unit or doctor thesaurus.
// "Ajouter" keeps the dialog open for the next category, "OK" closes it;
// each creation is announced (categorieCreee), and the window that opened
// the dialog redraws its tree.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class d_newCategorie : public QDialog {
    Q_OBJECT
public:
    explicit d_newCategorie(QWidget* parent = nullptr);

    // Owner of the new categories: unit code (type 1) or doctor code (type 2).
    QString lien;
    int type = 2;

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* OKButton;
    QPushButton* CancelButton;

signals:
    void categorieCreee(const QString& libelle);

private:
    // Creates the category typed in Text1; false (after the message) when
    // the box is empty.
    bool creer(const QString& messageVide);
};
