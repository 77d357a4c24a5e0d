#pragma once
// Where the rules of the loaded classification come from: the incompatible
// acts, the procedures, and the ICR and classifying flag of each phase.
//
// The CCAM spreadsheet carries none of these rules; the CNAM base for
// software makers does, in files that may be years older than the
// spreadsheet (an act created since is missing from them). Every load of a
// classification records, for each kind of rule, the base and the file it
// was read from, or that none was read (table Sources_Regles), and which
// acts that base knows (Sources_Regles_Actes). The details pane and the about
// box say it, so that the program never states "no incompatible act" for an
// act the source does not know.

#include <QString>
#include <QStringList>
#include <optional>

enum class GenreRegle { Incompatibilites, Procedures, Phases };

struct SourceRegles {
    GenreRegle genre = GenreRegle::Incompatibilites;
    QString base;              // "base CCAM de la CNAM"; empty when no file gave this kind
    QString version;           // the base's version ("34")
    QString dateBase;          // the base's date (dd/mm/yyyy), empty when not known
    QString fichier;           // the file read
    int lignes = 0;            // rows of the file
    int retenues = 0;          // pairs stored, or CCAM rows given an ICR and a flag
    int ecartees = 0;          // rows naming an act the classification lacks
    int sansLigne = 0;         // phases: rows of a known act whose activity and phase it lacks
    int tireesDesNotes = 0;    // incompatibilities: pairs read from the usage notes
    bool tousLesActes = false; // the source describes every act of the classification

    bool aUneBase() const { return !base.isEmpty(); }
    // "base CCAM de la CNAM version 34 du 12/02/2014"
    QString nomBase() const;
    // One line for the import report and the about box.
    QString description() const;
};

// The value of Sources_Regles.Regle for a kind of rule.
QString codeGenreRegle(GenreRegle genre);
// The base's date of the CNAM bases whose date their rule files do not carry.
QString dateBaseCnam(const QString& version);

// The source recorded for a kind of rule in the database in use; nothing
// when the database records none (a file written before sources were
// recorded, or a new empty one): its tables are then taken as they are.
// Shows nothing: a database without the table is no fault.
std::optional<SourceRegles> sourceRegles(GenreRegle genre);
// Whether the recorded source knows the act (always, for a source that
// describes every act).
bool sourceConnaitActe(const SourceRegles& source, const QString& code);
// The recorded sources of the database in use, one line each (empty when
// none is recorded).
QStringList descriptionSourcesRegles();
