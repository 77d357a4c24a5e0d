#pragma once
// Lists of coded things shown as "code - label".

class QComboBox;
class QListWidget;

// Fills the control with every medical unit, in code order, as
// "UM_Code - UM_LIB" (both trimmed). The control is cleared first; it stays
// empty when the units cannot be read.
void remplirListeUM(QComboBox* liste);
void remplirListeUM(QListWidget* liste);
