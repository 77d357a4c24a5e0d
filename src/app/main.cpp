#include "QtDemarrage.h"
#include "QtPlateforme.h"
#include "f_principale.h"

#include <QApplication>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenor"));
    installerPlateformeQt();
    std::unique_ptr<f_principale> principale(demarrerApplication());
    return app.exec();
}
