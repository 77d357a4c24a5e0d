#include "QtSaisie.h"

#include <QEvent>
#include <QLineEdit>

namespace {
class FiltreMajuscules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() == QEvent::FocusOut)
            if (auto* boite = qobject_cast<QLineEdit*>(objet)) {
                const QString texte = boite->text().trimmed().toUpper();
                if (texte != boite->text())
                    boite->setText(texte);
            }
        return false;
    }
};
} // namespace

void majusculesALaSortie(QLineEdit* boite) {
    boite->installEventFilter(new FiltreMajuscules(boite));
}
