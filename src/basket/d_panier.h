#pragma once
// The basket window "Actes sélectionnés", shown modally by the main window.
// For now an empty dialog.

#include <QDialog>

class d_panier : public QDialog {
    Q_OBJECT
public:
    explicit d_panier(QWidget* parent = nullptr);
    ~d_panier() override;
    // The open window, or nullptr.
    static d_panier* instance();
};
