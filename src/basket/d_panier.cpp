#include "d_panier.h"

namespace {
d_panier* g_instance = nullptr;
}

d_panier::d_panier(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_panier"));
    setWindowTitle(QStringLiteral("Actes sélectionnés"));
    g_instance = this;
}

d_panier::~d_panier() {
    if (g_instance == this)
        g_instance = nullptr;
}

d_panier* d_panier::instance() {
    return g_instance;
}
