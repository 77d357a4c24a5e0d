#include "f_ThesaurusDIM.h"

f_ThesaurusDIM::f_ThesaurusDIM(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_ThesaurusDIM"));
    setWindowTitle(QStringLiteral("Thésaurus"));
    setAttribute(Qt::WA_DeleteOnClose);
}

void f_ThesaurusDIM::ajoutCategorie(const QString&) {}
void f_ThesaurusDIM::ajoutActe(const QString&) {}
void f_ThesaurusDIM::afficherDetails(const QString&) {}
void f_ThesaurusDIM::afficheFenetreAjoutActe() {}
void f_ThesaurusDIM::afficheFenetreAjoutCat() {}
void f_ThesaurusDIM::suppActe() {}
void f_ThesaurusDIM::suppCat() {}
void f_ThesaurusDIM::modifierCategorie() {}
void f_ThesaurusDIM::imprimerThesaurusMED() {}
void f_ThesaurusDIM::imprimerThesaurusUM() {}
void f_ThesaurusDIM::ExporterThesaurusMED() {}
void f_ThesaurusDIM::ExporterThesaurusUM() {}
