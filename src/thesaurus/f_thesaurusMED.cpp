#include "f_thesaurusMED.h"

namespace {
f_thesaurusMED* g_instance = nullptr;
}

f_thesaurusMED::f_thesaurusMED(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_thesaurusMED"));
    setWindowTitle(QStringLiteral("Thésaurus"));
    setAttribute(Qt::WA_DeleteOnClose);
    g_instance = this;
}

f_thesaurusMED::~f_thesaurusMED() {
    if (g_instance == this)
        g_instance = nullptr;
}

f_thesaurusMED* f_thesaurusMED::instance() {
    return g_instance;
}

void f_thesaurusMED::afficherDetails(const RecordsetPtr&) {}
void f_thesaurusMED::afficherThesaurus() {}
void f_thesaurusMED::ExporterThesaurusMED() {}
void f_thesaurusMED::ajouterThesaurusUM() {}
void f_thesaurusMED::importerThesaurus() {
    afficherThesaurus();
}
void f_thesaurusMED::exporterThesaurus() {
    ExporterThesaurusMED();
}
