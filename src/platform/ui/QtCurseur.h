#pragma once
// The hourglass pointer as Qt's application-wide override cursor.

#include "Progression.h"

class QtCurseur : public ICurseur {
public:
    void occupe(bool actif) override;
};

// While a message box, a dialog or a file chooser waits for the user, the
// hourglass of the work that opened it is put aside, so that the user is not
// told to wait when it is his turn; it comes back when the window closes.
class CurseurSuspendu {
public:
    CurseurSuspendu();
    ~CurseurSuspendu();
    CurseurSuspendu(const CurseurSuspendu&) = delete;
    CurseurSuspendu& operator=(const CurseurSuspendu&) = delete;

private:
    int m_niveaux = 0;
};
