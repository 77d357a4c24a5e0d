#pragma once
// The doctor's workspace. For now an empty window with the operations the
// main window calls.

#include "Recordset.h"

#include <QWidget>

class f_thesaurusMED : public QWidget {
    Q_OBJECT
public:
    explicit f_thesaurusMED(QWidget* parent = nullptr);
    ~f_thesaurusMED() override;
    // The open window, or nullptr.
    static f_thesaurusMED* instance();

    void afficherDetails(const RecordsetPtr& a_acte);
    void afficherThesaurus();
    void ExporterThesaurusMED();

public slots:
    // Menu m_thesaurus: m_ajoutThUM, m_import, m_export.
    void ajouterThesaurusUM();
    void importerThesaurus();
    void exporterThesaurus();
};
