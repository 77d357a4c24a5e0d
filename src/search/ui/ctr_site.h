#pragma once
// Search panel: the user picks an anatomical system, then one of its organs
// or functions, and gets every act whose code begins with the organ's code.

#include "ctr_ListeActes.h"

class QGroupBox;

class ctr_site : public ctr_ListeActes {
    Q_OBJECT
public:
    explicit ctr_site(QWidget* parent = nullptr);

    // Handlers of a choice in the system list and in the organ list.
    void systemeChoisi();
    void organeChoisi();

    QGroupBox* Frame1 = nullptr;
    QTreeWidget* ListBox1 = nullptr; // systems: code, label
    QGroupBox* Frame2 = nullptr;
    QTreeWidget* ListBox2 = nullptr; // organs or functions: ORCODE, ORLIBELLE

protected:
    void premiereApparition() override;
};
