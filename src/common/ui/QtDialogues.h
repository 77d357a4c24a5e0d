#pragma once
// What the program's dialogs share: typed codes and labels kept upper-case,
// the row of buttons "OK" and "Annuler", and the dialog centred on the screen.

#include <QSize>

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

// Enter in this box runs the box's own work (its returnPressed signal: a
// search) and goes no further: the dialog's default button is not pressed.
void entreeSansBoutonParDefaut(QLineEdit* champ);

// Resizes the window to the size wanted, but never beyond nine tenths of the
// primary screen's available area (nor under its minimum).
void tailleDansEcran(QWidget* fenetre, QSize voulue);
