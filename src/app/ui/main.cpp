#include "LigneDeCommande.h"
#include "QtDemarrage.h"
#include "QtPlateforme.h"
#include "f_principale.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    // Read before any window: --help and --version need no display.
    LigneDeCommande ligne(QStringLiteral("tarvenor"),
                          QStringLiteral("Codage des actes médicaux d'un séjour dans la CCAM : "
                                         "ouvre la fenêtre du programme,\npuis le dialogue de "
                                         "connexion."));
    // Qt's own options, read by QApplication below.
    for (const char* nom :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "style", "stylesheet", "session", "display", "geometry"})
        ligne.ajouterOption({QLatin1String(nom)}, {}, QStringLiteral("VALEUR"), true);
    for (const char* nom : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
        ligne.ajouterOption({QLatin1String(nom)}, {}, {}, true);
    ligne.setEpilogue(QStringLiteral("Les options de Qt (-platform, -style, ...) sont acceptées. "
                                     "F1 ouvre le guide de l'utilisateur."));
    if (const auto statut = ligne.analyser(argumentsDe(argc, argv)))
        return *statut;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenor"));
    QApplication::setApplicationVersion(versionTarvenor());
    installerPlateformeQt();
    std::unique_ptr<f_principale> principale(demarrerApplication());
    return app.exec();
}
