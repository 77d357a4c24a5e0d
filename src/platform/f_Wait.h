#pragma once
// The wait window of long thesaurus work: a title, a progress bar and the
// percentage. It stays above every other window while it is shown. Core code
// reaches it through the progress hook (progression()).

#include "Progression.h"

#include <QWidget>

class QLabel;
class QProgressBar;

class f_Wait : public QWidget, public IProgression {
    Q_OBJECT
public:
    // The one wait window of the program, created on first use.
    static f_Wait* instance();

    void debut(const QString& titre, int maximum) override;
    void avancer(int pas) override;
    void fin() override;

    QProgressBar* ProgressBar1;
    QLabel* l_valeur;
    QLabel* lblWaitTitle;

private:
    f_Wait();
    void laisserPasserAffichage();
};
