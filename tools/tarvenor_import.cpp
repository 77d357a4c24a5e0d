// Loads the national CCAM spreadsheet (CSV UTF-8) into a Tarvenor database:
//   tarvenor_import TABLEUR.csv BASE [--references DOSSIER]
// The classification tables are replaced in one transaction; users, doctors,
// units and thesauri are kept. A missing database is created from the schema,
// beside the target, and takes its name only once complete. BASE may also be
// a database on a server (postgresql://compte@serveur:port/base): an empty
// one gets Tarvenor's tables first, and the load is one transaction there too.
// On any fault the database is left as it was and the exit status is 1.

#include "ImportCcam.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void usage() {
    std::fprintf(stderr, "Usage : tarvenor_import TABLEUR_CCAM.csv BASE [--references DOSSIER]\n"
                         "  TABLEUR_CCAM.csv  tableur CCAM de l'Assurance Maladie enregistré en "
                         "CSV UTF-8\n"
                         "  BASE              base Tarvenor à charger (créée si absente)\n"
                         "  --references      dossier des tables de référence (systemes.csv, "
                         "organes.csv,\n"
                         "                    extensions_documentaires.csv, exo_tm.csv, "
                         "regroupements.csv)\n");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString references;
    const qsizetype i = args.indexOf(QStringLiteral("--references"));
    if (i >= 0) {
        if (i + 1 >= args.size()) {
            usage();
            return 2;
        }
        references = args.at(i + 1);
        args.remove(i, 2);
    }
    if (args.size() != 2 || args.at(0).startsWith(QLatin1String("--")) ||
        args.at(1).startsWith(QLatin1String("--"))) {
        usage();
        return 2;
    }
    ImportCcam import(args.at(0), references);
    try {
        import.analyser(); // every file is checked before the database is opened
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "Erreur : %s\nLa base « %s » n'a pas été touchée.\n",
                     qUtf8Printable(e.message()), qUtf8Printable(args.at(1)));
        return 1;
    }
    try {
        const RapportImport& r = import.charger(args.at(1));
        std::printf("%s", qUtf8Printable(r.texte()));
        std::printf("CCAM chargée dans « %s ».\n", qUtf8Printable(args.at(1)));
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "Erreur : %s\n", qUtf8Printable(e.message()));
        return 1;
    }
    return 0;
}
