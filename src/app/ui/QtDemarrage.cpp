#include "QtDemarrage.h"

#include "BaseInitiale.h"
#include "Globals.h"
#include "Messages.h"
#include "Parametres.h"
#include "QtIcone.h"
#include "f_principale.h"

#include <QApplication>
#include <QStandardPaths>

f_principale* demarrerApplication() {
    QApplication::setWindowIcon(iconeTarvenor());
    // The desktop entry installed with the package (tarvenor.desktop).
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvenor"));
    // DATA/BD.mdb beside the program; an installed program offers instead
    // the user's own demonstration database, made on the first start.
    const BaseInitiale base =
        cheminBaseInitial(QApplication::applicationDirPath() + QStringLiteral("/DATA/BD.mdb"),
                          Parametres::lire(Parametres::CheminBase),
                          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    cheminDefaut = base.chemin;
    auto* principale = new f_principale;
    principale->show();
    if (!base.message.isEmpty())
        afficherMessage(base.message, QStringLiteral("Tarvenor"), Icone::Exclamation);
    demarrerSession(*principale);
    return principale;
}

void demarrerSession(f_principale& principale) {
    // The repositories are plain global objects, alive for the whole run.
    nouvelUtilisateurCourant();
    principale.m_f_connexion->setEnabled(true);
    principale.m_chgUser->setEnabled(true);
    principale.afficherConnexion();
}
