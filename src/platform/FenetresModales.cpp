#include "FenetresModales.h"

namespace {
ExecuteurModal& executeur() {
    static ExecuteurModal e;
    return e;
}
} // namespace

int executerModal(QObject* dialogue) {
    return executeur() ? executeur()(dialogue) : 0;
}

ExecuteurModal installerExecuteurModal(ExecuteurModal e) {
    ExecuteurModal precedent = std::move(executeur());
    executeur() = std::move(e);
    return precedent;
}
