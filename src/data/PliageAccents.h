#pragma once
// Removal of diacritics, shared by the search forms of the labels (written by
// the importer) and the keywords typed in the keyword search, so that both
// sides are folded the same way.

#include <QString>

// Every letter without its diacritics (É → E, ç → c, ù → u); case, ligatures
// (œ, æ) and every other character are kept.
QString replierAccents(const QString& texte);
