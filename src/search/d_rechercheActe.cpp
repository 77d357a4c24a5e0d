#include "d_rechercheActe.h"

namespace {
d_rechercheActe* g_instance = nullptr;
}

d_rechercheActe::d_rechercheActe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_rechercheActe"));
    setWindowTitle(QStringLiteral("Recherche d'acte"));
    g_instance = this;
}

d_rechercheActe::~d_rechercheActe() {
    if (g_instance == this)
        g_instance = nullptr;
}

d_rechercheActe* d_rechercheActe::instance() {
    return g_instance;
}

void d_rechercheActe::afficherDetails(const RecordsetPtr&) {}
