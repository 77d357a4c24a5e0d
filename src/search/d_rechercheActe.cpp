#include "d_rechercheActe.h"

d_rechercheActe::d_rechercheActe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_rechercheActe"));
    setWindowTitle(QStringLiteral("Recherche d'acte"));
}

void d_rechercheActe::afficherDetails(const QString&) {}
