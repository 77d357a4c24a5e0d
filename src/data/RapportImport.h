#pragma once
// What a load of the national CCAM did, for the tool's report and for the
// tests: the counts of every table, the rules applied with their limits, and
// what could not be mapped, phrased in French.

#include "SourcesRegles.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

struct ClassificationCcam;
struct ConstatsLecture;

struct RapportImport {
    QString fichier;    // the spreadsheet
    QString version;    // its title line ("CNAM - CCAM version 81 ...")
    QString references; // the reference folder, empty when none was given
    bool baseCreee = false;

    int codesActes = 0;
    int lignesCcam = 0;
    std::array<int, 4> chapitres{};
    int actesNiveau3 = 0; // acts placed above level 4 (PositionH ending in "00")
    int notesActes = 0;
    int notesChapitres = 0;
    int modificateurs = 0;
    int acteModificateurs = 0;
    int pairesGestes = 0;        // distinct act -> complementary gesture pairs
    int lignesActesAssocies = 0; // the same, per activity of the act
    int incompatibilites = 0;
    int systemes = 0;
    int organes = 0;
    int extensions = 0;
    int actesExtensions = 0;
    int exoTm = 0;
    int regroupements = 0;
    double secondes = 0; // reading, checking and writing

    std::vector<SourceRegles> sources; // where each kind of rule comes from
    QStringList nonRepris;             // what could not be mapped, and how it was handled
    QStringList regles;                // rules applied, with their limits
    QStringList actesThesaurusAbsents; // thesaurus act codes missing from the loaded version

    // The report of what was read (everything but the database's part:
    // baseCreee, actesThesaurusAbsents, secondes).
    static RapportImport etablir(const QString& fichier, const QString& references,
                                 const ClassificationCcam& classification,
                                 const ConstatsLecture& constats);

    // The whole report in French, one item per line.
    QString texte() const;
};
