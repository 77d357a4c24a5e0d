#include "QtDialogues.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

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

// Enter in a search box: the box's search, and nothing else.
class FiltreEntree : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() != QEvent::KeyPress)
            return false;
        const auto* touche = static_cast<QKeyEvent*>(evenement);
        if (touche->key() != Qt::Key_Return && touche->key() != Qt::Key_Enter)
            return false;
        if (auto* boite = qobject_cast<QLineEdit*>(objet))
            emit boite->returnPressed();
        return true;
    }
};
} // namespace

void entreeSansBoutonParDefaut(QLineEdit* champ) {
    champ->installEventFilter(new FiltreEntree(champ));
}

void tailleDansEcran(QWidget* fenetre, QSize voulue) {
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        voulue = voulue.boundedTo(ecran->availableGeometry().size() * 9 / 10);
    fenetre->resize(voulue.expandedTo(fenetre->minimumSizeHint()));
}

void majusculesALaSortie(QLineEdit* boite) {
    boite->installEventFilter(new FiltreMajuscules(boite));
}

QHBoxLayout* rangeeOkAnnuler(QWidget* dialogue, QPushButton*& ok, QPushButton*& annuler) {
    ok = new QPushButton(QStringLiteral("OK"), dialogue);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    annuler = new QPushButton(QStringLiteral("Annuler"), dialogue);
    annuler->setObjectName(QStringLiteral("CancelButton"));
    annuler->setAutoDefault(false);
    auto* rangee = new QHBoxLayout;
    rangee->addStretch();
    rangee->addWidget(ok);
    rangee->addWidget(annuler);
    return rangee;
}

void centrerSurEcran(QWidget* fenetre) {
    fenetre->adjustSize();
    if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
        const QRect r = ecran->geometry();
        fenetre->move(r.x() + (r.width() - fenetre->width()) / 2,
                      r.y() + (r.height() - fenetre->height()) / 2);
    }
}
