#pragma once
// The user dialog: "Nouvel utilisateur" creates an account, "Modification"
// changes one. A "MEDECIN" account carries a doctor (code, name, unit,
// activity) in the frame Frame1, enabled for that group only. Every box is
// upper-cased and trimmed when it loses the focus. The password is stored
// as a hash by the administration use case; opened for a modification, the
// password fields are empty, and left empty they keep the stored one.

#include "Recordset.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class d_utilisateur : public QDialog {
    Q_OBJECT
public:
    explicit d_utilisateur(QWidget* parent = nullptr);

    // Type 1 creates a user; type 2 modifies the user of a_rs (a row of
    // getUtilisateur, with its doctor columns). Shows the dialog modally;
    // true when the user was saved.
    bool afficher(int a_type, const RecordsetPtr& a_rs = nullptr);

    // The first check that fails, in this order: 1 identifier empty, 11
    // identifier used by another user, 4 group empty, 5 password and
    // confirmation differ, then for a doctor 6 code empty, 7 code changed to
    // one that exists, 8 name empty, 9 no unit, 10 no activity; 0 when all
    // pass. The focus goes to the field concerned.
    int verifSaisie();
    // The message shown for a code of verifSaisie.
    static QString messageVerification(int code);

    // 0 identifier, 1 password, 2 confirmation, 3 e-mail, 4 doctor code, 5 name.
    std::array<QLineEdit*, 6> t_utilisateur;
    QComboBox* C_utilisateur;                   // group: "", "ADMIN", "DIM", "MEDECIN"
    QGroupBox* Frame1;                          // the doctor's fields
    QComboBox* C_UM;                            // "code - label" of each unit
    std::array<QRadioButton*, 2> o_utilisateur; // activity "1" and "4"
    QPushButton* OKButton;
    QPushButton* CancelButton; // "Annuler"

public slots:
    void OKButton_Click();
    // "MEDECIN" enables the doctor's fields and fills the unit list.
    void choisirGroupe();

private:
    void viderActivite();
    QButtonGroup* m_activites;
    bool m_nouveau = true;
    long m_code = 0;      // UTI_CODE of the edited user
    QString m_ancienCode; // his doctor code when the dialog opened
};
