#include "BaseDemonstration.h"

#include "Data.h"

#include <QFile>

void creerBaseDemonstration(const QString& chemin) {
    initialiserRessourcesCore();
    QFile contenu(QStringLiteral(":/data/demonstration.sql"));
    if (!contenu.open(QIODevice::ReadOnly))
        throw DataError(DataError::ConnexionEchouee, QStringLiteral("Data"),
                        QStringLiteral("Le contenu de démonstration est introuvable."));
    Data::creerBase(chemin); // refuses an existing file
    try {
        ConnexionPtr c = Data(chemin).CreeConnexion();
        Transaction t(*c);
        c->Execute(QString::fromUtf8(contenu.readAll()));
        t.valider();
    } catch (...) {
        // The file was made here a moment ago: an empty database left behind
        // would pass for a demonstration one.
        Data::fermerConnexions();
        QFile::remove(chemin);
        QFile::remove(chemin + QStringLiteral("-wal"));
        QFile::remove(chemin + QStringLiteral("-shm"));
        throw;
    }
}
