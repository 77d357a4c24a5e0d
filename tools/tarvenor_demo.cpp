// Builds the demonstration database into the given file:
//   tarvenor_demo CHEMIN
// The file must not exist yet: an existing database is never overwritten.

#include "BaseDemonstration.h"
#include "DataError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "Usage : tarvenor_demo CHEMIN_DE_LA_BASE\n");
        return 2;
    }
    const QString chemin = args.at(1);
    if (QFileInfo::exists(chemin)) {
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
    std::printf("Base de démonstration créée : %s\n", qUtf8Printable(chemin));
    return 0;
}
