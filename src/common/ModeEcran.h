#pragma once
// The screen modes of the main window (contexteCourant) and the one place
// that says which window each mode means. The toolbar, the workspace opened
// for a mode and the commands of the toolbar all read this table.

#include <QList>
#include <QString>
#include <QtGlobal>

enum class ModeEcran : qint16 {
    Aucun = 0,               // no workspace (change of user, before login)
    ThesaurusUM = 1,         // DIM window on a unit's thesaurus; back from RapportUM
    ThesaurusMedecinDIM = 2, // DIM window on a doctor's thesaurus; login of ADMIN or DIM
    EspaceMedecin = 3,       // the doctor's own window (login of MEDECIN)
    RechercheActe = 4,       // the search dialog is open
    Administration = 5,      // users and medical units
    AutresOngletsDIM = 6,    // the DIM window on its other tabs
    RapportUM = 8,           // unit thesaurus report shown
    RapportMedecin = 9,      // doctor thesaurus report shown
};

// The windows a mode can mean.
enum class FenetreMode {
    Aucune,
    ThesaurusDIM,   // f_ThesaurusDIM
    ThesaurusMED,   // f_thesaurusMED
    RechercheActe,  // d_rechercheActe
    Administration, // f_utilisateurs
    Rapport,        // a thesaurus report
};

// One toolbar button: key, image key, tooltip.
struct BoutonBarre {
    QString cle;
    QString image;
    QString infobulle;
};

// The window the mode means.
FenetreMode fenetreDuMode(ModeEcran mode);
// The toolbar buttons of the mode, in order; none for modes 0, 4 and any
// value outside the table.
QList<BoutonBarre> boutonsDuMode(ModeEcran mode);
// The mode brought back by "retour" from that mode (the mode itself when
// "retour" leaves it as it is).
ModeEcran modeApresRetour(ModeEcran mode);
// The mode a login of that group opens; Aucun for a group without workspace.
ModeEcran modeDuGroupe(const QString& groupe);
// What the workspace of the mode shows, for the window title; empty for no
// workspace.
QString nomEspace(ModeEcran mode);
