#pragma once
// Modal dialog showing the usage notes of one chapter of the classification.

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

class d_notesUtilisation : public QDialog {
    Q_OBJECT
public:
    explicit d_notesUtilisation(QWidget* parent = nullptr);

    // Fills the notes of the chapter a_hier (dotted code) and shows the dialog modally.
    void afficher(const QString& a_hier);
    // The text shown for a chapter (also used without showing the dialog).
    static QString texteNotes(const QString& a_hier);

    QGroupBox* f_notes = nullptr;
    QPlainTextEdit* t_notes = nullptr;
    QPushButton* OKButton = nullptr;
};
