#pragma once
// Loads the national CCAM spreadsheet (the health insurance's CCAM workbook
// saved as CSV UTF-8) and, when given, the folder of reference tables
// (systems, organs, documentary extensions, exoneration and grouping codes)
// into the classification tables of a Tarvenor database.
//
// Every input file is read and checked in memory first; only then is the
// database opened, and every classification table is replaced in one
// transaction. Users, doctors, units and thesauri are never touched. A
// missing database is created from the schema, and removed again when the
// load fails.

#include "LecteurCsv.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <tuple>
#include <vector>

// What a load did, for the tool's report and for the tests.
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

    QStringList nonRepris;             // what could not be mapped, and how it was handled
    QStringList regles;                // rules applied, with their limits
    QStringList actesThesaurusAbsents; // thesaurus act codes missing from the loaded version

    // The whole report in French, one item per line.
    QString texte() const;
};

class ImportCcam {
public:
    explicit ImportCcam(QString fichierCsv, QString dossierReferences = {});

    // Reads and checks the spreadsheet and the reference tables into memory.
    // Throws ErreurImport (file and line named) on a file that is not the
    // expected one. Touches no database.
    void analyser();
    // Replaces the classification of the database at cheminBase with what was
    // read (analyser() first when not done yet). Throws ErreurImport; the
    // database is then exactly as before (or absent again if it was created).
    const RapportImport& charger(const QString& cheminBase);

    const RapportImport& rapport() const { return m_rapport; }

    // Search forms of a label. Sans accent: every diacritic removed (É -> E,
    // ç -> c), ligatures, case and punctuation kept. Simplifié: lower case,
    // no diacritics, ligatures written out (œ -> oe, æ -> ae), every character
    // other than a letter or a digit turned into a blank, runs of blanks
    // reduced to one, no blank at either end.
    static QString replierAccents(const QString& texte);
    static QString simplifierLibelle(const QString& texte);

    // The modifiers given to the anaesthesia activity (4) only, and those
    // given to every activity of an act; every other modifier goes to the
    // act's activities other than 4.
    static const QSet<QString>& modificateursAnesthesie();
    static const QSet<QString>& modificateursToutesActivites();

private:
    struct LigneCcam {
        QString code, activite, libelleActivite, phase;
        QVariant libellePhase, tarif;
        QString libelle, positionH, exoTm, regroupement;
    };
    struct ListeGestes {
        QStringList gestes;
        QStringList activites; // empty: every activity of the act
    };
    struct ActeEnCours {
        QString code, libelle, positionH;
        int ligne = 0;
        int lignesCcam = 0;
        QStringList activites; // distinct, in order of appearance
        QStringList groupe;    // activities since the last gesture list
        QStringList modificateurs;
        std::vector<ListeGestes> gestes;
        QHash<QString, QString> libellesPhases;
    };
    using Paire = std::pair<QString, QString>;

    void analyserTableur();
    void analyserReferences();
    void traiterEnregistrement(const EnregistrementCsv& e);
    void ligneActivite(const EnregistrementCsv& e);
    void terminerActe();
    void finaliser();
    void ecrire(class Connexion& c);

    QString m_fichier;
    QString m_nomFichier; // named in messages
    QString m_dossierReferences;
    bool m_analyse = false;
    RapportImport m_rapport;

    // Reading state
    std::array<QString, 4> m_chapitre;
    bool m_dansActe = false;
    bool m_tableModificateurs = false;
    bool m_modificateurVu = false; // in the modifier table, since the last chapter
    ActeEnCours m_acte;
    int m_variantesModificateurs = 0;
    int m_notesModificateurs = 0;
    int m_tarifsNonPrisEnCharge = 0;
    QSet<QString> m_actesNonPrisEnCharge;
    int m_tarifsAbsents = 0;
    int m_modificateursAnesthesieSans4 = 0;
    int m_modificateursSansAutreActivite = 0;
    int m_gestesInconnus = 0;
    QSet<QString> m_modificateursInconnus;

    // Tables, in memory until written
    std::vector<LigneCcam> m_ccam;
    std::array<std::vector<Paire>, 4> m_hierarchie;
    std::vector<Paire> m_notesHierarchie;
    std::vector<Paire> m_notesActes;
    struct Modificateur {
        QString code, libelle;
        QVariant tarif, pourcentage;
    };
    std::vector<Modificateur> m_modificateurs;
    std::vector<std::array<QString, 3>> m_acteModificateur;
    std::vector<std::array<QString, 4>> m_actesAssocies;
    std::vector<Paire> m_incompatibles;
    QSet<QString> m_exoUtilises;
    std::vector<Paire> m_systemes;
    std::vector<std::array<QString, 3>> m_organes;
    struct Extension {
        int id;
        QString code, libelle;
    };
    std::vector<Extension> m_extensions;
    std::vector<std::tuple<int, QString, QString>> m_actesExtensions;
    std::vector<Paire> m_exoTm;
    std::vector<Paire> m_regroupements;
};
