#pragma once
// The doctor's workspace: four tabs (keyword search, anatomical-site search,
// hierarchy, his own thesaurus) and the details of the act picked in any of
// them. One window at a time (instance()).

#include "Recordset.h"

#include <QWidget>

class QFrame;
class QTabBar;
class ctr_Details;
class ctr_Hier;
class ctr_ThesMED;
class ctr_motCle;
class ctr_site;

class f_thesaurusMED : public QWidget {
    Q_OBJECT
public:
    explicit f_thesaurusMED(QWidget* parent = nullptr);
    ~f_thesaurusMED() override;
    // The open window, or nullptr.
    static f_thesaurusMED* instance();

    // Shows the act (nullptr: nothing) in the details panel.
    void afficherDetails(const RecordsetPtr& a_acte);
    // Brings the thesaurus tab to the front.
    void afficherThesaurus();
    // Exports the doctor's thesaurus to a file chosen by the user.
    void ExporterThesaurusMED();

    QTabBar* TS_Thes;
    // Frames of the four tabs (frame i shows under tab i).
    QFrame* f_thes[4];
    ctr_motCle* ctr_motCle1;
    ctr_site* ctr_site1;
    ctr_Hier* ctr_Hier1;
    ctr_ThesMED* ctr_ThesMED1;
    ctr_Details* ctr_Details1;

    static constexpr int ongletThesaurus = 3;

public slots:
    // Menu m_thesaurus: m_ajoutThUM, m_import, m_export.
    void ajouterThesaurusUM();
    void importerThesaurus();
    void exporterThesaurus();

private:
    void ongletChoisi(int index);

    // The tab shown last (-1 before the first).
    int m_ongletCourant = -1;
};
