#include "f_utilisateurs.h"

namespace {
f_utilisateurs* g_instance = nullptr;
}

f_utilisateurs::f_utilisateurs(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_utilisateurs"));
    setWindowTitle(QStringLiteral("Gestion de utilisateurs"));
    setAttribute(Qt::WA_DeleteOnClose);
    g_instance = this;
}

f_utilisateurs::~f_utilisateurs() {
    if (g_instance == this)
        g_instance = nullptr;
}

f_utilisateurs* f_utilisateurs::instance() {
    return g_instance;
}

void f_utilisateurs::afficher(int a_onglet) {
    m_onglet = a_onglet;
}
void f_utilisateurs::remplirUtilisateurs() {}
void f_utilisateurs::remplirUM() {}
void f_utilisateurs::afficheFenetreAjoutUti() {}
void f_utilisateurs::afficheFenetreModifUti() {}
void f_utilisateurs::suppUti() {}
void f_utilisateurs::afficheFenetreAjoutUM() {}
void f_utilisateurs::afficheFenetreModifUM() {}
void f_utilisateurs::suppUM() {}
