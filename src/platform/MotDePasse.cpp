#include "MotDePasse.h"

namespace {
DemandeMotDePasse& demandeInstallee() {
    static DemandeMotDePasse d;
    return d;
}
} // namespace

void installerDemandeMotDePasse(DemandeMotDePasse demande) {
    demandeInstallee() = std::move(demande);
}

std::optional<QString> demanderMotDePasse(const QString& question) {
    const DemandeMotDePasse& d = demandeInstallee();
    if (!d)
        return std::nullopt;
    return d(question);
}
