#include "BaseDemonstration.h"

#include "Data.h"

#include <QFile>

void creerBaseDemonstration(const QString& chemin) {
    initialiserRessourcesCore();
    QFile contenu(QStringLiteral(":/data/demonstration.sql"));
    if (!contenu.open(QIODevice::ReadOnly))
        throw DataError(DataError::ConnexionEchouee, QStringLiteral("Data"),
                        QStringLiteral("Le contenu de démonstration est introuvable."));
    Data::creerBase(chemin);
    ConnexionPtr c = Data(chemin).CreeConnexion();
    Transaction t(*c);
    c->Execute(QString::fromUtf8(contenu.readAll()));
    t.valider();
}
