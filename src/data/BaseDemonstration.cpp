#include "BaseDemonstration.h"

#include "Data.h"
#include "IndexLibelles.h"

#include <QFile>
#include <QFileInfo>

void creerBaseDemonstration(const QString& chemin) {
    initialiserRessourcesCore();
    QFile contenu(QStringLiteral(":/data/demonstration.sql"));
    if (!contenu.open(QIODevice::ReadOnly))
        throw DataError(DataError::ConnexionEchouee, QStringLiteral("Data"),
                        QStringLiteral("Le contenu de démonstration est introuvable."));
    if (estAdresseServeur(chemin)) {
        // On a server: the tables are installed into the empty database, then
        // the content in one transaction; the identity counters go on after
        // the numbers the content gives.
        Data::creerBase(chemin);
        ConnexionPtr c = Data(chemin).CreeConnexion();
        Transaction t(*c);
        c->Execute(QString::fromUtf8(contenu.readAll()));
        c->Execute(
            QStringLiteral("SELECT setval(pg_get_serial_sequence('utilisateur', 'uti_code'), "
                           "coalesce(max(UTI_CODE), 0) + 1, false) FROM Utilisateur;"
                           "SELECT setval(pg_get_serial_sequence('categoriethesaurus', 'ct_code'), "
                           "coalesce(max(CT_CODE), 0) + 1, false) FROM CategorieThesaurus"));
        t.valider();
        return;
    }
    if (QFileInfo::exists(chemin))
        throw DataError(DataError::ConnexionEchouee, QStringLiteral("Data"),
                        QStringLiteral("Le fichier « %1 » existe déjà.").arg(chemin));
    // Built beside the target under another name, then renamed: a failure
    // never leaves a half-filled database under the expected name.
    const QString provisoire = chemin + QStringLiteral(".creation");
    QFile::remove(provisoire);
    try {
        Data::creerBase(provisoire);
        ConnexionPtr c = Data(provisoire).CreeConnexion();
        Transaction t(*c);
        c->Execute(QString::fromUtf8(contenu.readAll()));
        IndexLibelles::reconstruire(*c);
        t.valider();
        c->Execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
    } catch (...) {
        Data::fermerConnexions();
        QFile::remove(provisoire);
        throw;
    }
    Data::fermerConnexions();
    if (!QFile::rename(provisoire, chemin)) {
        QFile::remove(provisoire);
        throw DataError(DataError::ConnexionEchouee, QStringLiteral("Data"),
                        QStringLiteral("Impossible de créer le fichier « %1 ».").arg(chemin));
    }
}
