#pragma once
// Drives the modal dialogs of a widget test: installed as the modal
// executor, it shows each dialog, runs the action queued for its object
// name (clicks, ticks, typing), records the dialog's name, and closes a
// dialog the action left open without running its cancel steps.

#include "FenetresModales.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

class PiloteDialogues {
public:
    PiloteDialogues() {
        m_precedent = installerExecuteurModal([this](QObject* o) { return executer(o); });
    }
    ~PiloteDialogues() { installerExecuteurModal(m_precedent); }
    PiloteDialogues(const PiloteDialogues&) = delete;
    PiloteDialogues& operator=(const PiloteDialogues&) = delete;

    // The next dialog of that object name runs the action.
    void quand(const QString& nom, std::function<void(QDialog*)> action) {
        m_actions.emplace_back(nom, std::move(action));
    }
    // Object names of every dialog executed, in order.
    QStringList dialogues;

private:
    int executer(QObject* o) {
        auto* d = qobject_cast<QDialog*>(o);
        if (!d)
            return 0;
        dialogues << d->objectName();
        d->setResult(QDialog::Rejected);
        d->show();
        for (auto it = m_actions.begin(); it != m_actions.end(); ++it)
            if (it->first == d->objectName()) {
                const auto action = it->second;
                m_actions.erase(it);
                action(d);
                break;
            }
        if (d->isVisible())
            d->done(QDialog::Rejected);
        return d->result();
    }

    ExecuteurModal m_precedent;
    std::vector<std::pair<QString, std::function<void(QDialog*)>>> m_actions;
};
