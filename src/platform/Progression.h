#pragma once
// Progress of long work (thesaurus fills, export, import). Core code reports
// through progression(); the widget library installs the wait window f_Wait.

#include <QString>

// What the wait window says during every long thesaurus operation.
inline const QString titreChargement = QStringLiteral("Chargement en cours...");

class IProgression {
public:
    virtual ~IProgression() = default;
    // Opens the wait window with an empty bar of the given maximum.
    virtual void debut(const QString& titre, int maximum) = 0;
    // Advances the bar by pas (not to pas) and shows the percentage done.
    virtual void avancer(int pas) = 0;
    virtual void fin() = 0;
};

// The installed implementation, or one that does nothing.
IProgression& progression();
void installerProgression(IProgression* implementation);

// Opens the progress on construction and closes it on destruction, so that an
// exception never leaves the wait window on screen.
class ProgressionPortee {
public:
    ProgressionPortee(const QString& titre, int maximum) { progression().debut(titre, maximum); }
    ~ProgressionPortee() { progression().fin(); }
    void avancer(int pas) { progression().avancer(pas); }
    ProgressionPortee(const ProgressionPortee&) = delete;
    ProgressionPortee& operator=(const ProgressionPortee&) = delete;
};

// The hourglass pointer: on for the life of the object.
class ICurseur {
public:
    virtual ~ICurseur() = default;
    virtual void occupe(bool actif) = 0;
};
void installerCurseur(ICurseur* implementation);

class CurseurOccupe {
public:
    CurseurOccupe();
    ~CurseurOccupe();
    CurseurOccupe(const CurseurOccupe&) = delete;
    CurseurOccupe& operator=(const CurseurOccupe&) = delete;
};
