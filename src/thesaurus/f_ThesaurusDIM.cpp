#include "f_ThesaurusDIM.h"

namespace {
f_ThesaurusDIM* g_instance = nullptr;
}

f_ThesaurusDIM::f_ThesaurusDIM(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_ThesaurusDIM"));
    setWindowTitle(QStringLiteral("Thésaurus"));
    setAttribute(Qt::WA_DeleteOnClose);
    g_instance = this;
}

f_ThesaurusDIM::~f_ThesaurusDIM() {
    if (g_instance == this)
        g_instance = nullptr;
}

f_ThesaurusDIM* f_ThesaurusDIM::instance() {
    return g_instance;
}

void f_ThesaurusDIM::ajoutCategorie(const QString&) {}
void f_ThesaurusDIM::ajoutActe(const QString&) {}
void f_ThesaurusDIM::afficherDetails(const RecordsetPtr&) {}
void f_ThesaurusDIM::afficheFenetreAjoutActe() {}
void f_ThesaurusDIM::afficheFenetreAjoutCat() {}
void f_ThesaurusDIM::suppActe() {}
void f_ThesaurusDIM::suppCat() {}
void f_ThesaurusDIM::modifierCategorie() {}
void f_ThesaurusDIM::imprimerThesaurusMED() {}
void f_ThesaurusDIM::imprimerThesaurusUM() {}
void f_ThesaurusDIM::ExporterThesaurusMED() {}
void f_ThesaurusDIM::ExporterThesaurusUM() {}
