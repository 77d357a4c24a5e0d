#include "QtIcone.h"

static void initialiserRessourceIcone() {
    // The resource lives in a static library: it is registered by hand.
    Q_INIT_RESOURCE(icone);
}

QIcon iconeTarvenor() {
    initialiserRessourceIcone();
    QIcon icone;
    for (int taille : {16, 24, 32, 48, 64, 128, 256})
        icone.addFile(QStringLiteral(":/icones/tarvenor-%1.png").arg(taille),
                      QSize(taille, taille));
    return icone;
}
