#include "QtCurseur.h"

#include <QCursor>
#include <QGuiApplication>

void QtCurseur::occupe(bool actif) {
    if (actif)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
