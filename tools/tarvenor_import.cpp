// Loads the national CCAM spreadsheet (CSV UTF-8) into a Tarvenor database:
//   tarvenor_import TABLEUR.csv BASE [--references DOSSIER]
// The classification tables are replaced in one transaction; users, doctors,
// units and thesauri are kept. A missing database is created from the schema,
// beside the target, and takes its name only once complete. BASE may also be
// a database on a server (postgresql://compte@serveur:port/base): an empty
// one gets Tarvenor's tables first, and the load is one transaction there too.
// On any fault the database is left as it was and the exit status is 1.

#include "ImportCcam.h"
#include "LigneDeCommande.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    LigneDeCommande ligne(QStringLiteral("tarvenor_import"),
                          QStringLiteral("Charge le tableur CCAM de l'Assurance Maladie dans une "
                                         "base Tarvenor."));
    ligne.ajouterArgument(QStringLiteral("TABLEUR_CCAM.csv"),
                          QStringLiteral("tableur CCAM de l'Assurance Maladie enregistré en CSV "
                                         "UTF-8"));
    ligne.ajouterArgument(QStringLiteral("BASE"),
                          QStringLiteral("base Tarvenor à charger (créée si absente)"));
    ligne.ajouterOption({QStringLiteral("references")},
                        QStringLiteral("dossier des tables de référence (systemes.csv, "
                                       "organes.csv,\nextensions_documentaires.csv, exo_tm.csv, "
                                       "regroupements.csv)"),
                        QStringLiteral("DOSSIER"));
    if (const auto statut = ligne.analyser(app.arguments()))
        return *statut;
    const QStringList args = ligne.arguments();
    const QString references = ligne.valeur(QStringLiteral("references"));
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
