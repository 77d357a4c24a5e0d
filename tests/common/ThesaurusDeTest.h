#pragma once
// Thesaurus fixtures shared by the thesaurus and exchange tests, and a
// progress recorder.

#include "Progression.h"

#include <QString>
#include <QStringList>

class BaseDeTest;

// Doctor MED1 ("Dr Martin", activity 1, unit UM1 "Cardiologie", user 7) and
// unit UM1, with these thesauri (categories created in this order):
//   doctor: "Bilan"  ACTE001 (activity 1), ACTE001 (activity 4), ACTE002
//           "Autres" (no act)
//           "Zèbre"  ACTE001, FANT001 (missing from the classification)
//   unit:   "Urgences" ACTE002, ACTE001
//           "Vide" (no act)
// ACTE001 has the phases "Première phase" (1) and "Deuxième phase" (2) and the
// complementary act COMP001 for activity 1, COMP002 for activity 4; ACTE002
// has no phase label.
struct ThesaurusDeTest {
    long bilan = 0, autres = 0, zebre = 0, urgences = 0, vide = 0;
};
ThesaurusDeTest remplirThesaurusDeTest(const BaseDeTest& base);

// Records the progress reported while it is installed: "debut <titre> <max>",
// "avancer <n>", "fin". With annulerApres >= 0, the user presses "Annuler",
// where the work offers it, once that many steps have been reported.
class ProgressionEnregistree : public IProgression {
public:
    ProgressionEnregistree() { installerProgression(this); }
    ~ProgressionEnregistree() override { installerProgression(nullptr); }
    void debut(const QString& titre, int maximum) override {
        journal << QStringLiteral("debut %1 %2").arg(titre).arg(maximum);
        m_annulable = false;
        m_pas = 0;
    }
    void avancer(int valeur) override {
        journal << QStringLiteral("avancer %1").arg(valeur);
        ++m_pas;
    }
    void fin() override { journal << QStringLiteral("fin"); }
    void proposerAnnulation() override { m_annulable = true; }
    bool annulee() const override {
        return m_annulable && annulerApres >= 0 && m_pas >= annulerApres;
    }
    QStringList journal;
    int annulerApres = -1;

private:
    bool m_annulable = false;
    int m_pas = 0;
};
