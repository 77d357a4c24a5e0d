#pragma once
// The medical unit dialog: "Nouvelle unité médicale" creates a unit,
// "Modification unité médicale" changes the label of one (its code is
// locked). Both boxes are upper-cased and trimmed.

#include "Recordset.h"

#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;

class d_UM : public QDialog {
    Q_OBJECT
public:
    explicit d_UM(QWidget* parent = nullptr);

    // Type 1 creates a unit; type 2 modifies the unit of a_rs (a row of
    // getUM). Shows the dialog modally; true when the unit was saved.
    bool afficher(int a_type, const RecordsetPtr& a_rs = nullptr);

    std::array<QLineEdit*, 2> t_UM; // 0: code, 1: label
    QPushButton* OKButton;
    QPushButton* CancelButton; // "Annuler"

public slots:
    void OKButton_Click();

private:
    void signaler(const QString& message, QLineEdit* boite, bool selectionner = false);
    bool m_nouveau = true;
};
