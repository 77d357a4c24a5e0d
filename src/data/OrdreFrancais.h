#pragma once
// The order in which people read French labels: case and accents ignored
// ("abdomen, Bras, coude, Épaule, Fémur", "À classer" before "Prothèses"),
// the ligatures œ and æ read as oe and ae ("Coude, Cœur, Crâne").
// One function for the database collation and for list header sorting, so
// that a list sorted by the user and a list sorted by a query agree.

#include <QString>

// < 0, 0 or > 0 as a comes before, with or after b. Texts that differ only by
// case or accents are then ordered by their exact characters, so that the
// order is total and the same on every run.
int comparerFrancais(const QString& a, const QString& b);

// Comparison for sorting algorithms (std::sort, QTreeWidgetItem::operator<).
inline bool avantFrancais(const QString& a, const QString& b) {
    return comparerFrancais(a, b) < 0;
}

// A character as the order sees it: accents dropped (the base letter of a
// canonical decomposition), case folded; -1 for a combining mark, which the
// order skips. The database server's form of the order is built from it.
// The ligatures are read before it, by ligatureDepliee.
int lettreRepliee(char32_t c);
// "oe" for œ and Œ, "ae" for æ and Æ: the two letters the order reads for
// them; nullptr for any other character.
const char* ligatureDepliee(char32_t c);
