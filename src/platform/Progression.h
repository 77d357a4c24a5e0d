#pragma once
// Progress of long work (thesaurus fills, export, import). Core code reports
// through progression(); the widget library installs the wait window f_Wait.

#include <QString>
#include <functional>

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
    // Offers the user, until fin(), to stop the work ("Annuler"): for work
    // that leaves nothing half-done when it stops. annulee() then tells
    // whether he asked; the work looks at it between its steps.
    virtual void proposerAnnulation() {}
    virtual bool annulee() const { return false; }
};

// The installed implementation, or one that does nothing.
IProgression& progression();
void installerProgression(IProgression* implementation);

// Long work that writes: the main window's menus and toolbar are off for the
// life of the object, so that no other command (an import inside a copy)
// starts meanwhile. Nested objects turn them on again when the outermost one
// ends. The widget library installs what turning them off means.
class InterfaceVerrouillee {
public:
    InterfaceVerrouillee();
    ~InterfaceVerrouillee();
    InterfaceVerrouillee(const InterfaceVerrouillee&) = delete;
    InterfaceVerrouillee& operator=(const InterfaceVerrouillee&) = delete;
};
// Called with false when the first lock starts, true when the last one ends;
// nullptr: nothing to do.
void installerVerrouInterface(std::function<void(bool actif)> activer);
// True while a lock is held.
bool interfaceVerrouillee();

// Opens the progress on construction and closes it on destruction, so that an
// exception never leaves the wait window on screen. The interface is locked
// meanwhile.
class ProgressionPortee {
public:
    enum class Annulation { Non, Permise };
    ProgressionPortee(const QString& titre, int maximum, Annulation annulation = Annulation::Non) {
        progression().debut(titre, maximum);
        if (annulation == Annulation::Permise)
            progression().proposerAnnulation();
    }
    ~ProgressionPortee() { progression().fin(); }
    void avancer(int pas) { progression().avancer(pas); }
    // The user asked to stop (Annulation::Permise only).
    bool annulee() const { return progression().annulee(); }
    ProgressionPortee(const ProgressionPortee&) = delete;
    ProgressionPortee& operator=(const ProgressionPortee&) = delete;

private:
    InterfaceVerrouillee m_verrou;
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
