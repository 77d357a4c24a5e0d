#pragma once
// Drives the modal dialogs of the widget tests. Installed as the modal
// executor, it plays queued login scenarios on each d_connexion shown (boxes
// typed, OK or Annuler clicked), records what the dialog looked like after the
// click, and closes a dialog left open without running its cancel steps.
// Other dialogs are recorded by name, handed to avantSaisie, and closed
// when left open.

#include "FenetresModales.h"
#include "d_connexion.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct ScenarioConnexion {
    std::optional<QString> identifiant, motDePasse, chemin;
    bool annuler = false;
};

struct EtatConnexion {
    bool resteOuverte = false;
    QString focus;      // object name of the focused box
    QStringList textes; // the three boxes after the click
    QStringList selections;
};

class PiloteConnexion {
public:
    PiloteConnexion() {
        m_precedent = installerExecuteurModal([this](QObject* o) { return executer(o); });
    }
    ~PiloteConnexion() { installerExecuteurModal(m_precedent); }

    void connecter(const QString& id, const QString& mdp, const QString& chemin) {
        m_scenarios.push_back({id, mdp, chemin, false});
    }
    void saisir(ScenarioConnexion s) { m_scenarios.push_back(std::move(s)); }
    void annuler() { m_scenarios.push_back({{}, {}, {}, true}); }
    // Called with each dialog before anything is typed.
    std::function<void(QDialog*)> avantSaisie;

    std::vector<EtatConnexion> etats;
    QStringList dialogues; // object names of every dialog executed, in order

private:
    int executer(QObject* o) {
        auto* d = qobject_cast<QDialog*>(o);
        if (!d)
            return 0;
        dialogues << d->objectName();
        auto* c = qobject_cast<d_connexion*>(d);
        if (!c) {
            // The test may drive it (type, click OK); left open, it is closed.
            if (avantSaisie)
                avantSaisie(d);
            const int resultat = d->isVisible() ? int(QDialog::Rejected) : d->result();
            if (d->isVisible())
                d->done(QDialog::Rejected);
            return resultat;
        }
        ScenarioConnexion s;
        if (!m_scenarios.empty()) {
            s = m_scenarios.front();
            m_scenarios.pop_front();
        } else {
            s.annuler = true;
        }
        c->show();
        c->activateWindow();
        if (avantSaisie)
            avantSaisie(c);
        const std::optional<QString>* valeurs[] = {&s.identifiant, &s.motDePasse, &s.chemin};
        for (int i = 0; i < 3; ++i)
            if (valeurs[i]->has_value())
                c->t_connexion[i]->setText(**valeurs[i]);
        QTest::mouseClick(s.annuler ? c->Command1 : c->OKButton, Qt::LeftButton);
        EtatConnexion e;
        e.resteOuverte = c->isVisible();
        QWidget* f = c->focusWidget();
        e.focus = f ? f->objectName() : QString();
        for (QLineEdit* t : c->t_connexion) {
            e.textes << t->text();
            e.selections << t->selectedText();
        }
        etats.push_back(e);
        if (c->isVisible())
            c->done(QDialog::Rejected);
        return c->result();
    }

    ExecuteurModal m_precedent;
    std::deque<ScenarioConnexion> m_scenarios;
};
