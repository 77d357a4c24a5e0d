#pragma once
// The keys of a row of a list or tree, the same everywhere: Enter runs the
// row's main command, the Menu key and Shift+F10 open its pop-up menu, shown
// at the row rather than at the mouse.

#include <QPoint>

class QAbstractItemView;
class QKeyEvent;
class QModelIndex;

enum class ToucheLigne { Aucune, Valider, Menu };

ToucheLigne toucheLigne(const QKeyEvent* touche);

// Where a pop-up opened from the keyboard for that row appears (global
// coordinates): under the start of the row's text.
QPoint positionMenuLigne(const QAbstractItemView* vue, const QModelIndex& ligne);
