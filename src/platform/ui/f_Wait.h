#pragma once
// The wait window of long thesaurus work: a title, a progress bar and the
// percentage, and "Annuler" for work that may stop. It stays above every
// other window while it is shown. Core code reaches it through the progress
// hook (progression()).

#include "Progression.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class f_Wait : public QWidget, public IProgression {
    Q_OBJECT
public:
    // The one wait window of the program, created on first use.
    static f_Wait* instance();

    void debut(const QString& titre, int maximum) override;
    void avancer(int pas) override;
    void fin() override;
    void proposerAnnulation() override;
    bool annulee() const override { return m_annulee; }

    QProgressBar* ProgressBar1;
    QLabel* l_valeur;
    QLabel* lblWaitTitle;
    // "Annuler", shown while the work may stop.
    QPushButton* b_annuler;

private:
    f_Wait();
    void laisserPasserAffichage();
    bool m_annulable = false;
    bool m_annulee = false;
};
