#pragma once
// The national classification as read from the CCAM spreadsheet and its
// reference tables, held in memory between the reading (LectureCcam) and the
// writing (EcritureCcam): one vector per table, in the order the rows are
// stored. Also what the reading noticed and could not map (ConstatsLecture),
// which the report (RapportImport) phrases for the user.

#include "SourcesRegles.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

struct ClassificationCcam {
    using Paire = std::pair<QString, QString>;
    struct LigneCcam {
        QString code, activite, libelleActivite, phase;
        QVariant libellePhase, tarif;
        QString libelle, positionH, exoTm, regroupement;
        QVariant icr, classant; // from the CNAM base's phases, null when it lacks the row
    };
    struct Modificateur {
        QString code, libelle;
        QVariant tarif, pourcentage; // one of them, the other null
    };
    struct Extension {
        int id;
        QString code, libelle;
    };

    QString version; // the spreadsheet's title line
    std::vector<LigneCcam> ccam;
    std::array<std::vector<Paire>, 4> hierarchie; // code, label per level
    std::vector<Paire> notesHierarchie;           // chapter code, note
    std::vector<Paire> notesActes;                // act code, note
    std::vector<Modificateur> modificateurs;
    std::vector<std::array<QString, 3>> acteModificateur; // act, activity, modifier
    std::vector<std::array<QString, 4>> actesAssocies;    // act, activity, gesture, its activity
    std::vector<Paire> incompatibles; // read from the usage notes, then from the CNAM base

    // Where each kind of rule comes from (always three, one per kind), and
    // the acts each kind's base knows.
    std::vector<SourceRegles> sources;
    std::vector<std::pair<GenreRegle, QString>> actesConnus;

    // The reference folder's tables; written only when it was read.
    bool references = false;
    std::vector<Paire> systemes;
    std::vector<std::array<QString, 3>> organes; // code, label, system
    std::vector<Extension> extensions;
    std::vector<std::tuple<int, QString, QString>> actesExtensions; // extension, act, activity
    std::vector<Paire> exoTm;
    std::vector<Paire> regroupements;
};

// What the reading counted, left out or corrected, for the report.
struct ConstatsLecture {
    int codesActes = 0;
    int actesNiveau3 = 0; // acts placed above level 4
    int pairesGestes = 0; // distinct act -> complementary gesture pairs
    int variantesModificateurs = 0;
    int notesModificateurs = 0;
    int tarifsNonPrisEnCharge = 0;
    int actesNonPrisEnCharge = 0;
    int tarifsAbsents = 0;
    int modificateursAnesthesieSans4 = 0;
    int modificateursSansAutreActivite = 0;
    int actesCaches = 0;               // in a chapter that also has sub-chapters
    int doublons = 0;                  // CCAM rows with the same act, activity and phase
    QStringList gestesInconnus;        // sorted
    QStringList modificateursInconnus; // sorted
    QStringList remarques;             // about one line each, in file order
    // Reference folder
    QStringList exoSansLibelle;
    QStringList regroupementsInconnus;
    QStringList extensionsActesAbsents;
};

// Search forms of a label. Sans accent: every diacritic removed (É -> E,
// ç -> c), ligatures, case and punctuation kept. Simplifié: lower case, no
// diacritics, ligatures written out (œ -> oe, æ -> ae), every character other
// than a letter or a digit turned into a blank, runs of blanks reduced to
// one, no blank at either end.
QString libelleSansAccent(const QString& libelle);
QString libelleSimplifie(const QString& libelle);
