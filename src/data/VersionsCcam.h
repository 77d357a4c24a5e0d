#pragma once
// The versions of the classification loaded into a database, and the codes
// each load retired.
//
// Every load records the version it writes (Versions_Ccam, from the
// spreadsheet's title line "CNAM - CCAM version NN applicable dd/mm/yyyy")
// and, for each code of the classification in place that the new version
// lacks, its last label, its chapter and the version that retired it
// (Actes_Retires). Thesauri keep such acts: the trees, reports and the list
// of acts to replace name them with that label.

#include <QString>
#include <optional>

struct VersionCcam {
    QString numero;     // "81"; empty when the title gives none
    QString applicable; // "01/01/2026"; empty when the title gives none
};

// The version number and date of a spreadsheet's title line.
VersionCcam versionDuTitre(const QString& titre);

// The title of the version loaded last into the database in use; empty when
// none is recorded (a database written before versions were recorded).
// Shows nothing.
QString versionCcamChargee();

struct ActeRetire {
    QString code;
    QString libelle;   // its label in the last version that had it
    QString positionH; // its chapter there
    QString version;   // the version that retired it; empty when not known
};

// The record of a retired code in the database in use; nothing when the code
// was not retired by a recorded load. Shows nothing.
std::optional<ActeRetire> acteRetire(const QString& code);

// Whether the database in use records the codes its loads retired (a
// database written before does not). Shows nothing.
bool retraitsEnregistres();

// "retiré de la CCAM en version 81" ("retiré de la CCAM" without a version).
QString texteRetrait(const QString& version);

// An act's label as trees and reports show it: with "(retiré de la CCAM en
// version 81)" after it when the loaded version lacks the act.
QString libelleMarque(const QString& libelle, bool retire, const QString& version);

// What the details pane says of a code the loaded classification lacks.
QString texteActeAbsent(const QString& code);
