#pragma once
// The doctor's workspace: four tabs (keyword search, anatomical-site search,
// hierarchy, his own thesaurus) and the details of the act picked in any of
// them. The window connects what its panels announce (act picked, basket and
// thesaurus commands) to its details panel, its thesaurus and the use cases;
// the main window opens one at a time.

#include <QWidget>

class QFrame;
class QTabBar;
class ctr_Details;
class ctr_Hier;
class ctr_ListeActes;
class ctr_ThesMED;
class ctr_motCle;
class ctr_site;

class f_thesaurusMED : public QWidget {
    Q_OBJECT
public:
    explicit f_thesaurusMED(QWidget* parent = nullptr);

    // Shows the act of that code (empty: nothing) in the details panel.
    void afficherDetails(const QString& a_code);
    // Brings the thesaurus tab to the front.
    void afficherThesaurus();
    // Exports the doctor's thesaurus to a file chosen by the user.
    void ExporterThesaurusMED();
    // The basket admission of the current act, with its refusal message.
    void ajouterAuPanier();
    // Puts the act into a category chosen by the doctor (d_selectCat), then
    // shows it in the thesaurus tab.
    void ajouterAuThesaurus(const QString& a_code);
    // Whether the unit's thesaurus can be copied now.
    bool ajoutThUMActif() const;

    QTabBar* TS_Thes;
    // Frames of the four tabs (frame i shows under tab i).
    QFrame* f_thes[4];
    ctr_motCle* ctr_motCle1;
    ctr_site* ctr_site1;
    ctr_Hier* ctr_Hier1;
    ctr_ThesMED* ctr_ThesMED1;
    ctr_Details* ctr_Details1;

    static constexpr int ongletThesaurus = 3;

signals:
    // Whether the unit's thesaurus can be copied (the main window's
    // m_ajoutThUM follows it).
    void ajoutThUMPossible(bool possible);

public slots:
    // Menu m_thesaurus: m_ajoutThUM, m_import, m_export.
    void ajouterThesaurusUM();
    void importerThesaurus();
    void exporterThesaurus();
    // "Actes à remplacer" of the doctor's own thesaurus.
    void afficherActesARemplacer();

private:
    void ongletChoisi(int index);
    // Connects what a search panel announces.
    void relierPanneau(ctr_ListeActes* panneau, int onglet);
    // The details of what the panel of that tab selected, when that tab is
    // the one shown.
    void afficherDetailsDe(int onglet, const QString& a_code);

    // The tab shown last (-1 before the first).
    int m_ongletCourant = -1;
};
