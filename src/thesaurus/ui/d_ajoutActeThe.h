#pragma once
// "Ajout d'actes": adds acts typed by code to one category of a unit or
// doctor thesaurus. The code is looked up as it is typed; "OK" adds and
// closes, "Ajouter" adds and waits for the next code, the search button hands
// over to the act search dialog.

#include "Recordset.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class d_ajoutActeThe : public QDialog {
    Q_OBJECT
public:
    explicit d_ajoutActeThe(QWidget* parent = nullptr);

    // Loads the categories of the owner (unit code and type 1, or doctor code
    // and type 2), preselects a_categorie and shows the dialog modally.
    void afficher(long a_categorie, const QString& a_Lien, int a_type);
    // Puts a code into the code box (as if typed).
    void ajouterActe(const QString& a_code);

    QLabel* Label1;
    QComboBox* Combo1;
    QLabel* Label2;
    QLineEdit* Text1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    // Adds the act (no activity, no label) to the category unless it is
    // already there or the category has been deleted meanwhile (a_libelle
    // names it then); false after the message in those cases.
    static bool insererSiAbsent(const QString& a_code, long a_categorie, const QString& a_libelle);

    // The category handed to the search dialog by the search button.
    long categorieRecherche() const { return m_rechercheCategorie; }
    // The act found for the typed code (nullptr when the code is unknown).
    RecordsetPtr acteAAjouter() const { return m_acte; }

signals:
    // An act was written to that category: the window that opened the
    // dialog redraws its tree.
    void acteAjoute(long categorie);

private:
    void codeModifie();
    void categorieChoisie(int index);
    // CT_CODE of the chosen category, -1 when none is chosen.
    long categorieCourante() const;
    // Adds the typed act to the chosen category; false (after the message)
    // when the act is unknown, already there, or no category is chosen.
    bool ajouter();
    void rechercher();

    QString m_lien;
    int m_type = 2;
    // The owner's categories in label order (the rows of Combo1).
    RecordsetPtr m_categories;
    int m_indexCategorie = -1;
    long m_rechercheCategorie = -1;
    RecordsetPtr m_acte;
};
