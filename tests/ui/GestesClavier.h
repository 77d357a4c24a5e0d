#pragma once
// The gestures the keyboard tables name, done on a row of a list or tree as
// the user does them: "Entrée", "double clic", "touche Menu", "Maj+F10", "F10".

#include <QAbstractItemView>
#include <QTest>

inline void faireGeste(QAbstractItemView* vue, const QModelIndex& ligne, const QString& geste) {
    vue->setFocus();
    vue->setCurrentIndex(ligne);
    const QPoint centre = vue->visualRect(ligne).center();
    if (geste == u"double clic") {
        // A click, then the second press that makes it double.
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
    } else {
        QTest::keyClick(vue,
                        geste == u"Entrée"        ? Qt::Key_Return
                        : geste == u"touche Menu" ? Qt::Key_Menu
                                                  : Qt::Key_F10,
                        geste == u"Maj+F10" ? Qt::ShiftModifier : Qt::NoModifier);
    }
}
