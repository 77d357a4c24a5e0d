#pragma once
// Spelling suggestions for the keyword search: the words of the typed text
// that no act label holds, replaced by the closest words of the
// classification's vocabulary (IndexLibelles).

#include <QString>

namespace RechercheMotCle {

// The typed text with every word that matches no act label replaced by the
// closest word of the classification's vocabulary (edit distance at most two;
// ties broken by word frequency then French order); empty when no word needs
// correcting or no word is close enough. Reads the current database; never
// shows a message (a database error gives an empty result).
QString saisieCorrigee(const QString& saisie);

// The number of single-character insertions, deletions, substitutions and
// swaps of two neighbours that turn a into b, or plafond + 1 when it is more
// than plafond.
int distanceEdition(QStringView a, QStringView b, int plafond);

} // namespace RechercheMotCle
