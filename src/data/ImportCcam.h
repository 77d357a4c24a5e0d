#pragma once
// Loads the national CCAM spreadsheet (the health insurance's CCAM workbook
// saved as CSV UTF-8) and, when given, the folder of reference tables
// (systems, organs, documentary extensions, exoneration and grouping codes)
// into the classification tables of a Tarvenor database.
//
// Three pieces: LectureCcam reads and checks every input file into a
// ClassificationCcam in memory; EcritureCcam stores it in one transaction
// (a new database is built beside the target and renamed into place);
// RapportImport phrases what was done. Users, doctors, units and thesauri
// are never touched.

#include "ClassificationCcam.h"
#include "LecteurCsv.h"
#include "RapportImport.h"

#include <QSet>

class ImportCcam {
public:
    explicit ImportCcam(QString fichierCsv, QString dossierReferences = {});

    // Reads and checks the spreadsheet and the reference tables into memory.
    // Throws ErreurImport (file and line named) on a file that is not the
    // expected one. Touches no database.
    void analyser();
    // Replaces the classification of the database at cheminBase with what was
    // read (analyser() first when not done yet). Throws ErreurImport; the
    // database is then exactly as before (or still absent if it did not exist).
    const RapportImport& charger(const QString& cheminBase);

    const RapportImport& rapport() const { return m_rapport; }
    const ClassificationCcam& classification() const { return m_classification; }

    // Reads the bytes of a spreadsheet named nomFichier (in messages), without
    // reference tables and without any file or database: the report of what
    // a load would write. Throws ErreurImport like analyser().
    static RapportImport analyserTableur(const QByteArray& octets, const QString& nomFichier);

    // Search forms of a label (see libelleSansAccent, libelleSimplifie).
    static QString replierAccents(const QString& texte) { return libelleSansAccent(texte); }
    static QString simplifierLibelle(const QString& texte) { return libelleSimplifie(texte); }

    // The modifiers given to the anaesthesia activity (4) only, and those
    // given to every activity of an act; every other modifier goes to the
    // act's activities other than 4.
    static const QSet<QString>& modificateursAnesthesie();
    static const QSet<QString>& modificateursToutesActivites();

private:
    QString m_fichier;
    QString m_dossierReferences;
    bool m_analyse = false;
    ClassificationCcam m_classification;
    RapportImport m_rapport;
};
