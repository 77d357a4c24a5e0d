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
std::function<void(bool)> g_verrou;
int g_verrous = 0;
} // namespace

InterfaceVerrouillee::InterfaceVerrouillee() {
    if (g_verrous++ == 0 && g_verrou)
        g_verrou(false);
}

InterfaceVerrouillee::~InterfaceVerrouillee() {
    if (--g_verrous == 0 && g_verrou)
        g_verrou(true);
}

void installerVerrouInterface(std::function<void(bool)> activer) {
    g_verrou = std::move(activer);
}

bool interfaceVerrouillee() {
    return g_verrous > 0;
}

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
