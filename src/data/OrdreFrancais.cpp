#include "OrdreFrancais.h"

#include "PliageAccents.h"

int comparerFrancais(const QString& a, const QString& b) {
    const int primaire =
        replierAccents(a).toCaseFolded().compare(replierAccents(b).toCaseFolded());
    if (primaire != 0)
        return primaire;
    return a.compare(b);
}
