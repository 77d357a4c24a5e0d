#pragma once
// The thesaurus report, a window of the main window's workspace: the owner
// (a doctor with his medical unit, or a unit) in the page header, then each
// category, its acts (code and label) and the lines under each act (phases,
// and for a doctor the complementary acts). It keeps its Thesaurus until it
// closes, and releases it then.
//
// Shown, it puts the main window in screen mode 8 (a unit's thesaurus) or 9
// (a doctor's): modeEcran(). Its preview's "Fermer" asks the main window to
// do what "retour" does (retourDemande).

#include "Thesaurus.h"

#include <QDate>
#include <QWidget>
#include <memory>

class QtApercuRapport;
class QtRapport;

class DR_thesaurus : public QWidget {
    Q_OBJECT
public:
    explicit DR_thesaurus(QWidget* parent = nullptr);
    ~DR_thesaurus() override;
    // The open report window, or nullptr.
    static DR_thesaurus* instance();

    // Keeps the filled thesaurus and shows its pages; caption and title are
    // its owner. The layout shows its progress with "Annuler": false when
    // the user stopped it (nothing is shown).
    bool afficher(std::unique_ptr<Thesaurus> a_thesaurus);
    // Sends every page to the default printer, then tells how many pages
    // were printed; with no printer, shows the printer error.
    void imprimer();

    // 8 for a unit's thesaurus, 9 for a doctor's.
    qint16 modeEcran() const;
    const Thesaurus* thesaurus() const { return m_thesaurus.get(); }
    QtApercuRapport* apercu() const { return m_apercu; }

    // The pages of a thesaurus printed on that date.
    static std::shared_ptr<QtRapport> construireRapport(const Thesaurus& a_thesaurus,
                                                        const QDate& dateImpression);

signals:
    void retourDemande();

private:
    std::unique_ptr<Thesaurus> m_thesaurus;
    std::shared_ptr<QtRapport> m_rapport;
    QtApercuRapport* m_apercu = nullptr;
};
