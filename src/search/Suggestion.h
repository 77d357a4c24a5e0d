#pragma once
// The correction offered when a label search finds nothing: every typed word
// that matches no act label, replaced by the closest word of the
// classification's vocabulary.

#include <QString>

namespace RechercheMotCle {

// The typed text with every word that matches no act label replaced by the
// closest word of the classification's vocabulary (edit distance at most two);
// empty when no word needs correcting or no word is close enough. Reads the
// current database; never shows a message (a database error gives an empty result).
QString saisieCorrigee(const QString& saisie);

} // namespace RechercheMotCle
