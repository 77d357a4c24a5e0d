#include "QtDemarrage.h"

#include "Globals.h"
#include "f_principale.h"

#include <QCoreApplication>

f_principale* demarrerApplication() {
    cheminDefaut = QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/BD.mdb");
    auto* principale = new f_principale;
    principale->show();
    demarrerSession();
    return principale;
}

void demarrerSession() {
    // The repositories are plain global objects, alive for the whole run.
    utilisateurCourant = Utilisateur{};
    if (f_principale* f = f_principale::instance()) {
        f->m_f_connexion->setEnabled(true);
        f->m_chgUser->setEnabled(true);
        f->afficherConnexion();
    }
}
