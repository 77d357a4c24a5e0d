#pragma once
// The keyword search of the act classification, without any widget: the
// typed text is trimmed, its apostrophes doubled, its accented letters
// folded, then cut into words, and every word becomes one condition
// of the SQL text (a prefix of the code, or a part of one of the two search
// forms of the label).

#include <QString>
#include <QStringList>

namespace RechercheMotCle {

// Replaces é è ê à â ï î ô ö û ü by their plain letter, and every other
// accented letter too (É → E, ç → c); the case of letters is kept.
QString plierAccents(const QString& texte);

// Cuts at every blank; runs of blanks give no empty word.
QStringList decouperMots(const QString& texte);

// The typed keywords as they go into the SQL: trimmed, apostrophes doubled,
// accents folded, cut into words. Empty when nothing but blanks was typed.
QStringList motsCles(const QString& saisie);

// The query text for the given words (as returned by motsCles): by code
// prefix when parCode is true, else by label. Empty for no word.
QString sqlRecherche(const QStringList& mots, bool parCode);

} // namespace RechercheMotCle
