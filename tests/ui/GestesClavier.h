#pragma once
// The gestures of a row the keyboard tests name in their tables: "Entrée",
// "double clic", "touche Menu", "Maj+F10", "F10", done on the row of a list or
// tree as the user does them.

#include <QAbstractItemView>
#include <QString>
#include <QTest>

inline void faireGeste(QAbstractItemView* vue, const QModelIndex& ligne, const QString& geste) {
    vue->setFocus();
    vue->setCurrentIndex(ligne);
    if (geste == QStringLiteral("Entrée"))
        QTest::keyClick(vue, Qt::Key_Return);
    else if (geste == QStringLiteral("double clic")) {
        // A click, then the second press that makes it double.
        const QPoint centre = vue->visualRect(ligne).center();
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
    } else if (geste == QStringLiteral("touche Menu"))
        QTest::keyClick(vue, Qt::Key_Menu);
    else if (geste == QStringLiteral("Maj+F10"))
        QTest::keyClick(vue, Qt::Key_F10, Qt::ShiftModifier);
    else if (geste == QStringLiteral("F10"))
        QTest::keyClick(vue, Qt::Key_F10);
    else
        QFAIL(qPrintable(QStringLiteral("geste inconnu : ") + geste));
}
