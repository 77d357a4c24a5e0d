#include "Progression.h"

namespace {
class ProgressionMuette : public IProgression {
public:
    void debut(const QString&, int) override {}
    void avancer(int) override {}
    void fin() override {}
};
ProgressionMuette g_muette;
IProgression* g_progression = nullptr;
ICurseur* g_curseur = nullptr;
} // namespace

IProgression& progression() {
    return g_progression ? *g_progression : g_muette;
}
void installerProgression(IProgression* implementation) {
    g_progression = implementation;
}
void installerCurseur(ICurseur* implementation) {
    g_curseur = implementation;
}

CurseurOccupe::CurseurOccupe() {
    if (g_curseur)
        g_curseur->occupe(true);
}

CurseurOccupe::~CurseurOccupe() {
    if (g_curseur)
        g_curseur->occupe(false);
}
