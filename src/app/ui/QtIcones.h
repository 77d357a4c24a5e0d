#pragma once
// The toolbar images of the main window, drawn at run time so that the
// program ships no image files: "i_imprimer", "i_export", "i_selection",
// "i_selectionner2", "i_retour". An unknown key gives a null icon.

#include <QIcon>
#include <QString>

QIcon iconeBarreOutils(const QString& cle);
