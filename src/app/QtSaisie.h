#pragma once
// Typed identifiers, passwords, codes and labels are kept upper-case and
// without surrounding blanks: the box is rewritten so when it loses the focus.

class QLineEdit;

void majusculesALaSortie(QLineEdit* boite);
