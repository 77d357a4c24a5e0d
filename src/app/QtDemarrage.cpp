#include "QtDemarrage.h"

#include "Globals.h"
#include "f_principale.h"

#include <QCoreApplication>

f_principale* demarrerApplication() {
    cheminDefaut = QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/BD.mdb");
    auto* principale = new f_principale;
    principale->show();
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
