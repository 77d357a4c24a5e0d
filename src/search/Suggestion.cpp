#include "Suggestion.h"

namespace RechercheMotCle {

// Placeholder until the vocabulary of the classification is built beside its
// label index: no correction is offered.
QString saisieCorrigee(const QString& saisie) {
    Q_UNUSED(saisie);
    return QString();
}

} // namespace RechercheMotCle
