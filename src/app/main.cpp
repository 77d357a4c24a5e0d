#include "QtDemarrage.h"
#include "QtPanier.h"
#include "QtPlateforme.h"
#include "f_principale.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenor"));
    installerPlateformeQt();
    installerPanierQt();
    std::unique_ptr<f_principale> principale(demarrerApplication());
    return app.exec();
}
