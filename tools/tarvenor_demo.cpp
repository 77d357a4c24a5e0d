// Builds the demonstration database into the given file, or into an empty
// database on a server:
//   tarvenor_demo CHEMIN
//   tarvenor_demo postgresql://compte@serveur:port/base
// The file must not exist yet, and the server database must not hold
// Tarvenor's tables yet: an existing database is never overwritten.

#include "BaseDemonstration.h"
#include "Data.h"
#include "DataError.h"
#include "LigneDeCommande.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    LigneDeCommande ligne(
        QStringLiteral("tarvenor_demo"),
        QStringLiteral("Crée la base de démonstration de Tarvenor (comptes, unités "
                       "et classification inventée)."));
    ligne.ajouterArgument(QStringLiteral("BASE"),
                          QStringLiteral("fichier à créer, ou base vide d'un serveur\n"
                                         "(postgresql://compte@serveur:port/base)"));
    if (const auto statut = ligne.analyser(app.arguments()))
        return *statut;
    const QString chemin = ligne.arguments().at(0);
    if (!estAdresseServeur(chemin) && QFileInfo::exists(chemin)) {
        std::fprintf(stderr, "Le fichier « %s » existe déjà : il n'est pas remplacé.\n",
                     qUtf8Printable(chemin));
        return 1;
    }
    try {
        creerBaseDemonstration(chemin);
    } catch (const DataError& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.description()));
        return 1;
    }
    std::printf("Base de démonstration créée : %s\n", qUtf8Printable(nomAffichableBase(chemin)));
    return 0;
}
