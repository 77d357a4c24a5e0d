#include "Globals.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenor"));
    cheminDefaut =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("DATA/BD.mdb"));
    QLabel fenetre(QStringLiteral("Tarvenor"));
    fenetre.setWindowTitle(QStringLiteral("Tarvenor"));
    fenetre.resize(640, 400);
    fenetre.show();
    return app.exec();
}
