#pragma once
// Reading the national CCAM into memory: the spreadsheet (saved as CSV UTF-8)
// and the optional folder of reference tables. Nothing here touches a
// database; every fault throws ErreurImport naming the file and the line.

#include "ClassificationCcam.h"
#include "LecteurCsv.h"

#include <QSet>

namespace LectureCcam {

// Parses the records of the spreadsheet nomFichier (named in messages) into
// classification, noting in constats what it counted and left out.
void lireTableur(const std::vector<EnregistrementCsv>& enregistrements, const QString& nomFichier,
                 ClassificationCcam& classification, ConstatsLecture& constats);

// Reads the reference folder (systemes.csv, organes.csv, exo_tm.csv,
// regroupements.csv, extensions_documentaires.csv); the spreadsheet first,
// since the tables are matched with its acts.
void lireReferences(const QString& dossier, ClassificationCcam& classification,
                    ConstatsLecture& constats);

// Reads the rules of the CNAM base that the folder holds (the highest
// version of incompatibilites_vNN.csv and of phases_vNN.csv), after the
// spreadsheet, and records where each kind of rule comes from; an empty
// folder name records that no rule file was read.
void lireRegles(const QString& dossier, ClassificationCcam& classification);

// The modifiers given to the anaesthesia activity (4) only, and those given
// to every activity of an act; every other modifier goes to the act's
// activities other than 4.
const QSet<QString>& modificateursAnesthesie();
const QSet<QString>& modificateursToutesActivites();

} // namespace LectureCcam
