#include "QtCurseur.h"

#include <QCursor>
#include <QGuiApplication>

CurseurSuspendu::CurseurSuspendu() {
    while (QGuiApplication::overrideCursor()) {
        QGuiApplication::restoreOverrideCursor();
        ++m_niveaux;
    }
}

CurseurSuspendu::~CurseurSuspendu() {
    for (int i = 0; i < m_niveaux; ++i)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtCurseur::occupe(bool actif) {
    if (actif)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
