#pragma once
// The act search dialog "Recherche d'acte". For now an empty dialog with the
// operation the search panels call.

#include "Recordset.h"

#include <QDialog>

class d_rechercheActe : public QDialog {
    Q_OBJECT
public:
    explicit d_rechercheActe(QWidget* parent = nullptr);
    ~d_rechercheActe() override;
    // The open dialog, or nullptr.
    static d_rechercheActe* instance();

    void afficherDetails(const RecordsetPtr& a_acte);
};
