#include "QtClavierListes.h"

#include <QAbstractItemView>
#include <QKeyEvent>

ToucheLigne toucheLigne(const QKeyEvent* touche) {
    // The keypad's Enter carries the keypad modifier: it is Enter too.
    const Qt::KeyboardModifiers modificateurs = touche->modifiers() & ~Qt::KeypadModifier;
    if ((touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter) &&
        modificateurs == Qt::NoModifier)
        return ToucheLigne::Valider;
    if ((touche->key() == Qt::Key_Menu && modificateurs == Qt::NoModifier) ||
        (touche->key() == Qt::Key_F10 && modificateurs == Qt::ShiftModifier))
        return ToucheLigne::Menu;
    return ToucheLigne::Aucune;
}

QPoint positionMenuLigne(const QAbstractItemView* vue, const QModelIndex& ligne) {
    const QRect zone = vue->visualRect(ligne);
    const QPoint ici = zone.isValid() ? QPoint(zone.left() + zone.height(), zone.bottom())
                                      : vue->viewport()->rect().topLeft();
    return vue->viewport()->mapToGlobal(ici);
}
