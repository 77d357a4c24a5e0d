#pragma once
// What the program's dialogs share: typed codes and labels kept upper-case,
// the row of buttons "OK" and "Annuler", and the dialog centred on the screen.

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// Typed identifiers, passwords, codes and labels are kept upper-case and
// without surrounding blanks: the box is rewritten so when it loses the focus.
void majusculesALaSortie(QLineEdit* boite);

// "OK" (the default button, named OKButton) and "Annuler" (CancelButton),
// pushed to the right of the row.
QHBoxLayout* rangeeOkAnnuler(QWidget* dialogue, QPushButton*& ok, QPushButton*& annuler);

// Places the window in the middle of the primary screen, at its size hint.
void centrerSurEcran(QWidget* fenetre);
