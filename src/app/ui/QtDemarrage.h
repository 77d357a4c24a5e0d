#pragma once
// Program start-up, once the QApplication exists and the platform hooks are
// installed (installerPlateformeQt).

class f_principale;

// Sets cheminDefaut (application folder + "/DATA/BD.mdb", or the user's own
// demonstration database: cheminBaseInitial), shows the main window and the
// message of that choice if any, then runs demarrerSession. Returns the main window (owned by the
// caller); the login dialog has been closed when it returns.
f_principale* demarrerApplication();

// A fresh current user, the connection commands of the main window enabled,
// the login dialog shown modally.
void demarrerSession(f_principale& principale);
