// Loading the CCAM spreadsheet: a small invented spreadsheet in the national
// layout (tests/data/ccam_mini.csv and its reference tables), damaged copies
// of it, and the national file itself when the shared folder is present.

#include "BaseDeTest.h"
#include "Data.h"
#include "DetailsActe.h"
#include "EcritureCcam.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "LecteurCsv.h"
#include "SourcesRegles.h"
#include "adCCAM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <set>
#include <sqlite3.h>

namespace {

QString donnees(const QString& nom) {
    return QDir(QStringLiteral(TARVENOR_TESTS_DIR "/data")).filePath(nom);
}
QString fixture() {
    return donnees(QStringLiteral("ccam_mini.csv"));
}
QString referencesFixture() {
    return donnees(QStringLiteral("references_mini"));
}

// The reference tables of the fixture with the rule files of regles_mini
// beside them (incompatibilites_v01 and _v02, phases_v02), in dossier;
// remplacer swaps one rule file's content.
QString referencesAvecRegles(const QTemporaryDir& dossier, const QString& fichierRemplace = {},
                             const QByteArray& contenu = {}) {
    const QDir cible(dossier.filePath(QStringLiteral("references")));
    cible.mkpath(QStringLiteral("."));
    for (const QString& source : {referencesFixture(), donnees(QStringLiteral("regles_mini"))})
        for (const QFileInfo& f : QDir(source).entryInfoList(QDir::Files))
            QFile::copy(f.filePath(), cible.filePath(f.fileName()));
    if (!fichierRemplace.isEmpty())
        ecrireOctets(cible.filePath(fichierRemplace), contenu);
    return cible.path();
}

// An existing database with application data that a load must keep.
void remplirDonneesApplication(const BaseDeTest& base) {
    base.executer(QStringLiteral(
        "INSERT INTO Utilisateur (UTI_LOGIN, UTI_PWD, UTI_GROUP) VALUES ('DUPONT', 'x', "
        "'MEDECIN')"));
    base.executer(QStringLiteral("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_UM, MED_CODEUTI) "
                                 "VALUES ('M1', 'Dr Dupont', 'UM1', 1)"));
    base.executer(QStringLiteral("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('UM1', "
                                 "'Unité fictive')"));
    base.executer(QStringLiteral("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES "
                                 "(1, 'Favoris', 'M1')"));
    base.executer(QStringLiteral("INSERT INTO Acte_Thesaurus (AT_Acte, AT_CAT, AT_ACTIVITE, "
                                 "AT_LIB) VALUES ('AAQP001', 1, '1', 'a'), ('ANCI001', 1, '1', "
                                 "'b')"));
    // A previous version of the classification.
    base.executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, Tarif) VALUES "
                                 "('ANCI001', '1', '0', 10)"));
    base.executer(QStringLiteral("INSERT INTO Actes_Procedures (Acte1, Acte2) VALUES ('ANCI001', "
                                 "'AAQP001')"));
    base.executer(
        QStringLiteral("INSERT INTO Hierarchie1 (Code, Libelle) VALUES ('99', 'Ancien')"));
}

// Overwrites the page header of a table's or index's root page (from byte
// `decalage` of the page): SQLite still opens the file and reads its schema,
// but its quick check reports the page.
void endommagerTable(const QString& chemin, const QString& table, qint64 decalage = 0,
                     const QByteArray& octets = QByteArray(12, char(0x7F))) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(chemin).constData(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       QStringLiteral("SELECT rootpage, (SELECT page_size FROM pragma_page_size) "
                                      "FROM sqlite_master WHERE name = '%1'")
                           .arg(table)
                           .toUtf8()
                           .constData(),
                       -1, &st, nullptr);
    QCOMPARE(sqlite3_step(st), SQLITE_ROW);
    const qint64 page = sqlite3_column_int64(st, 0);
    const qint64 taille = sqlite3_column_int64(st, 1);
    sqlite3_finalize(st);
    sqlite3_close(db);
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek((page - 1) * taille + decalage));
    f.write(octets);
}

// SQLite's file system as it is, except that the first opening of the
// temporary file of a new database writes `contenu` at the target: a file
// that another program puts there while the load runs.
class FichierQuiApparait {
public:
    FichierQuiApparait(const QString& cible, const QByteArray& contenu) {
        s_cible = cible;
        s_contenu = contenu;
        s_dessous = sqlite3_vfs_find(nullptr);
        m_vfs = *s_dessous;
        m_vfs.zName = "fichier_qui_apparait";
        m_vfs.xOpen = &ouvrir;
        sqlite3_vfs_register(&m_vfs, 1);
    }
    ~FichierQuiApparait() { sqlite3_vfs_unregister(&m_vfs); }
    FichierQuiApparait(const FichierQuiApparait&) = delete;
    FichierQuiApparait& operator=(const FichierQuiApparait&) = delete;

private:
    static int ouvrir(sqlite3_vfs*, sqlite3_filename nom, sqlite3_file* f, int drapeaux,
                      int* sortie) {
        if (nom && (drapeaux & SQLITE_OPEN_MAIN_DB) && !QFileInfo::exists(s_cible) &&
            QString::fromUtf8(nom).contains(QStringLiteral(".import-")))
            ecrireOctets(s_cible, s_contenu);
        return s_dessous->xOpen(s_dessous, nom, f, drapeaux, sortie);
    }
    static inline sqlite3_vfs* s_dessous = nullptr;
    static inline QString s_cible;
    static inline QByteArray s_contenu;
    sqlite3_vfs m_vfs{};
};

// A second program holding the database: a write lock on a connection of its own.
class AutreProgramme {
public:
    explicit AutreProgramme(const QString& chemin) {
        sqlite3_open(QFile::encodeName(chemin).constData(), &m_db);
        m_ok = sqlite3_exec(m_db, "BEGIN EXCLUSIVE; DELETE FROM Hierarchie1;", nullptr, nullptr,
                            nullptr) == SQLITE_OK;
    }
    ~AutreProgramme() {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    AutreProgramme(const AutreProgramme&) = delete;
    AutreProgramme& operator=(const AutreProgramme&) = delete;
    bool ok() const { return m_ok; }

private:
    sqlite3* m_db = nullptr;
    bool m_ok = false;
};

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private slots:
    void init() { Data::fermerConnexions(); }

    void formesDuLibelle_data();
    void formesDuLibelle();
    void lecteurCsv();
    void finsDeLigne_data();
    void finsDeLigne();
    void chargementDuJeuDEssai();
    void modificateursParActivite_data();
    void modificateursParActivite();
    void remplacementDUneVersion();
    void echecPendantLEcriture();
    void textesRelusTelsQuels_data();
    void textesRelusTelsQuels();
    void lignesEnBloc_data();
    void lignesEnBloc();
    void ajoutEnBlocAbandonne();
    void entreeInvalide_data();
    void entreeInvalide();
    void baseImpossibleAEcrire_data();
    void baseImpossibleAEcrire();
    void baseOccupee();
    void baseNouvelleInterrompue();
    void fichierApparuPendantLeChargement();
    void reglesDeLaBaseCnam();
    void reglesInvalides_data();
    void reglesInvalides();
    void tableurNational();
};

void TestImport::formesDuLibelle_data() {
    QTest::addColumn<QString>("libelle");
    QTest::addColumn<QString>("sansAccent");
    QTest::addColumn<QString>("simplifie");
    QTest::newRow("accents") << QStringLiteral("Électromyographie à l'aiguille, pâte")
                             << QStringLiteral("Electromyographie a l'aiguille, pate")
                             << QStringLiteral("electromyographie a l aiguille pate");
    QTest::newRow("ligatures et cédille") << QStringLiteral("Cœur et œsophage : façade")
                                          << QStringLiteral("Cœur et œsophage : facade")
                                          << QStringLiteral("coeur et oesophage facade");
    QTest::newRow("blancs et crochets") << QStringLiteral("  Exérèse  [partielle] -- du  côlon ")
                                        << QStringLiteral("  Exerese  [partielle] -- du  colon ")
                                        << QStringLiteral("exerese partielle du colon");
    QTest::newRow("ascii") << QStringLiteral("ZZLP025 niveau 1")
                           << QStringLiteral("ZZLP025 niveau 1")
                           << QStringLiteral("zzlp025 niveau 1");
}

void TestImport::formesDuLibelle() {
    QFETCH(QString, libelle);
    QFETCH(QString, sansAccent);
    QFETCH(QString, simplifie);
    QCOMPARE(ImportCcam::replierAccents(libelle), sansAccent);
    QCOMPARE(ImportCcam::simplifierLibelle(libelle), simplifie);
}

void TestImport::lecteurCsv() {
    // Quoted separators, doubled quotes, CRLF and line breaks inside a field;
    // each record knows its first physical line.
    const QByteArray csv = "a,\"b,c\",\"d \"\"e\"\"\"\r\n\"f\r\ng\",h,\r\n\nlast";
    const auto e = LecteurCsv::analyser(csv, ',', QStringLiteral("essai.csv"));
    QCOMPARE(e.size(), size_t(4));
    QCOMPARE(e[0].champs, QStringList({"a", "b,c", "d \"e\""}));
    QCOMPARE(e[1].champs, QStringList({"f\ng", "h", ""}));
    QCOMPARE(e[1].ligne, 2);
    QCOMPARE(e[2].champs, QStringList({""}));
    QCOMPARE(e[3].ligne, 5);
    QCOMPARE(e[3].champs, QStringList({"last"}));
}

void TestImport::finsDeLigne_data() {
    QTest::addColumn<QByteArray>("fin");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("CR seul") << QByteArray("\r");
}

void TestImport::finsDeLigne() {
    // The same spreadsheet saved with each kind of line end, line breaks
    // inside quoted fields included: the same rows, and errors name the same
    // lines.
    QFETCH(QByteArray, fin);
    QByteArray lf = lireOctets(fixture());
    QVERIFY(!lf.contains('\r'));
    const auto avecFin = [&](QByteArray octets) { return octets.replace("\n", fin); };
    const RapportImport attendu = ImportCcam::analyserTableur(lf, QStringLiteral("t.csv"));
    const RapportImport r = ImportCcam::analyserTableur(avecFin(lf), QStringLiteral("t.csv"));
    QCOMPARE(r.texte(), attendu.texte());

    QTemporaryDir dossier;
    const QString csv = QDir(dossier.path()).filePath(QStringLiteral("tableur.csv"));
    ecrireOctets(csv, avecFin(lf));
    ImportCcam import(csv);
    import.analyser();
    const ClassificationCcam& c = import.classification();
    QStringList textes;
    for (const auto& n : c.notesHierarchie)
        textes << n.second;
    for (const auto& n : c.notesActes)
        textes << n.second;
    for (const auto& l : c.ccam)
        textes << l.libelle << l.libelleActivite << l.libellePhase.toString();
    QCOMPARE(textes.filter(QStringLiteral("\r")), QStringList());
    QVERIFY(textes.contains(QStringLiteral("Note du chapitre 1¶sur deux lignes")));
    QCOMPARE(c.ccam.size(), size_t(7));

    QByteArray altere = lf;
    altere.replace("AAQP002,,Électrographie fictive avec vidéo,1,0,",
                   "AAQP002,,Électrographie fictive avec vidéo,1,");
    try {
        ImportCcam::analyserTableur(avecFin(altere), QStringLiteral("t.csv"));
        QFAIL("le tableur altéré aurait dû être refusé");
    } catch (const ErreurImport& e) {
        QVERIFY2(e.message().contains(QStringLiteral("ligne 17, 10 colonnes")),
                 qPrintable(e.message()));
    }
}

void TestImport::chargementDuJeuDEssai() {
    QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("nouvelle.mdb"));
    ImportCcam import(fixture(), referencesFixture());
    const RapportImport& r = import.charger(chemin);
    QVERIFY(r.baseCreee);
    QCOMPARE(r.codesActes, 4);
    QCOMPARE(r.lignesCcam, 7);
    QCOMPARE(r.chapitres, (std::array<int, 4>{2, 2, 4, 1}));
    QCOMPARE(r.modificateurs, 10);
    QCOMPARE(r.pairesGestes, 2);
    QCOMPARE(r.lignesActesAssocies, 4);
    QCOMPARE(r.incompatibilites, 1);
    QCOMPARE(r.actesExtensions, 3);
    QVERIFY(r.nonRepris.join('\n').contains(QStringLiteral("ZZZZ999")));
    QVERIFY(r.nonRepris.join('\n').contains(QStringLiteral("ZZZZ998")));
    QVERIFY(r.nonRepris.join('\n').contains(QStringLiteral("Non pris en charge")));
    QVERIFY(r.texte().contains(QStringLiteral("Chapitres par niveau : 2 / 2 / 4 / 1")));

    const auto lire = [&](const QString& sql) {
        RecordsetPtr rs = Data(chemin).CreeRecordset(sql);
        return rs->isEOF() ? QStringLiteral("<aucune ligne>") : valeurTexte(rs->Fields(0));
    };
    const auto compter = [&](const QString& sql) {
        return Data(chemin).CreeRecordset(sql)->Fields(0).toLongLong();
    };
    // Rows, tariffs and positions
    QCOMPARE(compter("SELECT count(*) FROM CCAM"), 7);
    QCOMPARE(compter("SELECT count(DISTINCT AMCODE) FROM CCAM"), 4);
    QCOMPARE(Data(chemin)
                 .CreeRecordset("SELECT Tarif FROM CCAM WHERE AMCODE='AAFA001' AND "
                                "Activite='4'")
                 ->Fields(0)
                 .toDouble(),
             150.5);
    QVERIFY(Data(chemin)
                .CreeRecordset("SELECT Tarif FROM CCAM WHERE AMCODE='AAQP002'")
                ->Fields(0)
                .isNull());
    QCOMPARE(lire("SELECT PositionH FROM CCAM WHERE AMCODE='AAQP001'"), QStringLiteral("01010101"));
    QCOMPARE(lire("SELECT PositionH FROM CCAM WHERE AMCODE='AAFA001'"), QStringLiteral("01010200"));
    QCOMPARE(lire("SELECT Libelle_sans_accent FROM CCAM WHERE AMCODE='AAQP001'"),
             QStringLiteral("Electrographie fictive de l'œil, sans video"));
    QCOMPARE(lire("SELECT Libelle_simplifie FROM CCAM WHERE AMCODE='AAQP001'"),
             QStringLiteral("electrographie fictive de l oeil sans video"));
    QCOMPARE(lire("SELECT Libelle_Activite FROM CCAM WHERE AMCODE='AAFA001' AND Activite='4'"),
             QStringLiteral("Anesthésie"));
    // Phases: labelled, the same label on every activity of the phase; phase 0 unlabelled
    QCOMPARE(colonne(Data(chemin).CreeRecordset(
                 "SELECT DISTINCT Libelle_Phase FROM CCAM WHERE AMCODE='AAFA002' AND "
                 "Phase='1'")),
             QStringList{QStringLiteral("Phase 1 : pose du dispositif")});
    QCOMPARE(compter("SELECT count(*) FROM CCAM WHERE Phase='0' AND Libelle_Phase IS NOT NULL"), 0);
    QCOMPARE(lire("SELECT Exo_TM FROM CCAM WHERE AMCODE='AAFA002' AND Phase='2'"),
             QStringLiteral("5-7"));
    QCOMPARE(lire("SELECT Libelle FROM Exo_TM WHERE Code='5-7'"),
             QStringLiteral("Exonération fictive cinq ; Exonération fictive sept"));
    // Hierarchy and notes with their line breaks
    QCOMPARE(colonne(Data(chemin).CreeRecordset("SELECT Code FROM Hierarchie1 ORDER BY Code")),
             QStringList({"01", "02"}));
    QCOMPARE(lire("SELECT Note_Hierarchie FROM Notes_Hierarchie WHERE Code='01'"),
             QStringLiteral("Note du chapitre 1¶sur deux lignes"));
    QCOMPARE(lire("SELECT Note_Hierarchie FROM Notes_Hierarchie WHERE Code='02.01.01'"),
             QStringLiteral("Note avant le premier modificateur"));
    QCOMPARE(compter("SELECT count(*) FROM Notes_Hierarchie"), 2);
    QCOMPARE(lire("SELECT Note_Utilisation FROM Notes_Utilisation_Actes WHERE AMCODE='AAFA001'"),
             QStringLiteral("Facturation : non associable à AAQP001¶Avec ou sans : geste fictif"));
    QCOMPARE(compter("SELECT count(*) FROM Notes_Utilisation_Actes"), 2);
    // Modifiers: amount or rate, the other NULL; variants and their notes left out
    QCOMPARE(lire("SELECT Tarif FROM Modificateurs WHERE Code='O'"), QLocale().toString(80.0));
    QVERIFY(Data(chemin)
                .CreeRecordset("SELECT Pourcentage FROM Modificateurs WHERE Code='O'")
                ->Fields(0)
                .isNull());
    QCOMPARE(Data(chemin)
                 .CreeRecordset("SELECT Pourcentage FROM Modificateurs WHERE Code='J'")
                 ->Fields(0)
                 .toDouble(),
             0.065);
    // Complementary gestures for every activity listed before the list
    QCOMPARE(colonne(Data(chemin).CreeRecordset(
                 "SELECT activite1 || '>' || Acte2 || '/' || Activite2 FROM "
                 "Actes_Associes WHERE Acte1='AAFA001' ORDER BY 1")),
             QStringList({"1>AAQP002/1", "4>AAQP002/1"}));
    QCOMPARE(colonne(Data(chemin).CreeRecordset(
                 "SELECT acte1 || '-' || acte2 FROM Actes_Incompatibles")),
             QStringList{QStringLiteral("AAFA001-AAQP001")});
    QCOMPARE(compter("SELECT count(*) FROM Actes_Procedures"), 0);
    // Reference tables
    QCOMPARE(lire("SELECT ORLIBELLE FROM ORGANES WHERE ORCODE='AB'"),
             QStringLiteral("Organe; second"));
    QCOMPARE(colonne(Data(chemin).CreeRecordset(
                 "SELECT AMCODE || '/' || Activite FROM Actes_extension_documentaire "
                 "ORDER BY 1")),
             QStringList({"AAFA001/4", "AAFA002/4", "AAQP001/1"}));
    Data::fermerConnexions();
}

void TestImport::modificateursParActivite_data() {
    QTest::addColumn<QString>("acte");
    QTest::addColumn<QString>("activite");
    QTest::addColumn<QStringList>("modificateurs");
    // Anaesthesia modifiers to activity 4, emergency ones to every activity,
    // the others to the activities other than 4.
    QTest::newRow("chirurgie") << "AAFA001"
                               << "1" << QStringList({"J", "K", "O"});
    QTest::newRow("anesthésie") << "AAFA001"
                                << "4" << QStringList({"3", "7", "A", "O"});
    QTest::newRow("sans anesthésie") << "AAQP001"
                                     << "1" << QStringList({"F", "P", "S", "U"});
    QTest::newRow("phases, activité 1") << "AAFA002"
                                        << "1" << QStringList({"J"});
    QTest::newRow("phases, activité 4") << "AAFA002"
                                        << "4" << QStringList({"3"});
    QTest::newRow("aucun") << "AAQP002"
                           << "1" << QStringList();
}

void TestImport::modificateursParActivite() {
    QFETCH(QString, acte);
    QFETCH(QString, activite);
    QFETCH(QStringList, modificateurs);
    static QTemporaryDir dossier;
    const QString chemin = QDir(dossier.path()).filePath(QStringLiteral("m.mdb"));
    if (!QFileInfo::exists(chemin))
        ImportCcam(fixture()).charger(chemin);
    QCOMPARE(colonne(Data(chemin).CreeRecordset(
                 QStringLiteral("SELECT Modificateur FROM Acte_Modificateur WHERE "
                                "AMCODE='%1' AND Activite='%2' ORDER BY 1")
                     .arg(acte, activite))),
             modificateurs);
}

void TestImport::remplacementDUneVersion() {
    BaseDeTest base;
    remplirDonneesApplication(base);
    ImportCcam import(fixture());
    const RapportImport& r = import.charger(base.chemin());
    QVERIFY(!r.baseCreee);
    QCOMPARE(r.actesThesaurusAbsents, QStringList{QStringLiteral("ANCI001")});
    QVERIFY(r.texte().contains(QStringLiteral("ANCI001")));
    // Application tables untouched, thesaurus acts kept even when absent
    QCOMPARE(base.compter("SELECT count(*) FROM Utilisateur WHERE UTI_LOGIN='DUPONT'"), 1);
    QCOMPARE(base.compter("SELECT count(*) FROM Medecin"), 1);
    QCOMPARE(base.compter("SELECT count(*) FROM UniteMedicale"), 1);
    QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus"), 1);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), 2);
    // The old classification is gone
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM WHERE AMCODE='ANCI001'"), 0);
    QCOMPARE(base.compter("SELECT count(*) FROM Actes_Procedures"), 0);
    QCOMPARE(base.compter("SELECT count(*) FROM Hierarchie1"), 2);
    // Loading the same version again gives the same tables, not twice the rows
    ImportCcam(fixture()).charger(base.chemin());
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM"), 7);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Modificateur"), 13);
    QCOMPARE(base.compter("SELECT count(*) FROM Actes_Associes"), 4);
}

void TestImport::echecPendantLEcriture() {
    // The database refuses a row once the old tables are emptied and most new
    // rows written: the whole load is taken back.
    BaseDeTest base;
    remplirDonneesApplication(base);
    base.refuser(QStringLiteral("refus"), QStringLiteral("INSERT"),
                 QStringLiteral("Actes_Incompatibles"), QStringLiteral("écriture refusée"));
    Data::fermerConnexions();
    const QByteArray avant = testsSurServeur() ? QByteArray() : lireOctets(base.chemin());
    try {
        ImportCcam(fixture()).charger(base.chemin());
        QFAIL("le chargement aurait dû échouer");
    } catch (const ErreurImport& e) {
        QVERIFY2(e.message().contains(QStringLiteral("écriture refusée")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("n'a pas été modifiée")),
                 qPrintable(e.message()));
    }
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM WHERE AMCODE='ANCI001'"), 1);
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM"), 1);
    QCOMPARE(base.compter("SELECT count(*) FROM Actes_Procedures"), 1);
    QCOMPARE(colonne(Data(base.chemin())
                         .CreeRecordset(QStringLiteral("SELECT Code FROM "
                                                       "Hierarchie1"))),
             QStringList{QStringLiteral("99")});
    QCOMPARE(base.compter("SELECT count(*) FROM Modificateurs"), 0);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), 2);
    Data::fermerConnexions();
    if (!testsSurServeur())
        QCOMPARE(lireOctets(base.chemin()), avant);
    else // the label search's indexes, dropped by the load, are still there
        QCOMPARE(base.compter("SELECT count(*) FROM pg_indexes WHERE indexname LIKE '%_trgm'"), 2);
}

void TestImport::textesRelusTelsQuels_data() {
    QTest::addColumn<QString>("texte");
    QTest::newRow("tabulation") << QStringLiteral("Pose\td'un drain");
    QTest::newRow("barre oblique inverse") << QStringLiteral("C:\\dossier\\acte");
    QTest::newRow("barre oblique inverse finale") << QStringLiteral("fin\\");
    QTest::newRow("saut de ligne") << QStringLiteral("Première ligne\nseconde ligne");
    QTest::newRow("retour chariot") << QStringLiteral("a\r\nb\rc");
    QTest::newRow("marque de NULL écrite") << QStringLiteral("\\N");
    QTest::newRow("marque de fin de données") << QStringLiteral("\\.");
    QTest::newRow("tout à la fois") << QStringLiteral("\t\\\n\\N\r\\.\t");
    QTest::newRow("texte vide") << QString(QLatin1String(""));
}

void TestImport::textesRelusTelsQuels() {
    // A label, a note and a hierarchy title holding what separates fields
    // and rows in a bulk load come back as they were written.
    QFETCH(QString, texte);
    ImportCcam import(fixture());
    import.analyser();
    ClassificationCcam k = import.classification();
    QVERIFY(!k.ccam.empty() && !k.notesActes.empty() && !k.hierarchie[0].empty());
    const QString code = k.ccam.front().code;
    for (auto& l : k.ccam)
        if (l.code == code) {
            l.libelle = texte;
            l.exoTm.clear();
        }
    k.notesActes.front().second = texte;
    k.hierarchie[0].front().second = texte;
    BaseDeTest base;
    EcritureCcam::enregistrer(k, base.chemin());
    Data::fermerConnexions();
    const auto relire = [&](const QString& sql) {
        RecordsetPtr rs = Data(base.chemin()).CreeRecordset(sql);
        QVERIFY2(!rs->isEOF(), qPrintable(sql));
        QVERIFY2(!rs->Fields(0).isNull(), qPrintable(sql));
        QCOMPARE(rs->Fields(0).toString(), texte);
    };
    relire(QStringLiteral("SELECT Libelle_Complet FROM CCAM WHERE AMCODE = '%1'").arg(code));
    relire(QStringLiteral("SELECT Note_Utilisation FROM Notes_Utilisation_Actes WHERE AMCODE = "
                          "'%1'")
               .arg(k.notesActes.front().first));
    relire(QStringLiteral("SELECT Libelle FROM Hierarchie1 WHERE Code = '%1'")
               .arg(k.hierarchie[0].front().first));
    // An absent value stays NULL, never the text of the marker.
    const QString deLActe = QStringLiteral(" FROM CCAM WHERE AMCODE = '%1'").arg(code);
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*)") + deLActe +
                          QStringLiteral(" AND Exo_TM IS NULL")),
             base.compter(QStringLiteral("SELECT count(*)") + deLActe));
}

void TestImport::lignesEnBloc_data() {
    QTest::addColumn<int>("lignes");
    for (int n : {0, 1, 249, 250, 251, 600})
        QTest::addRow("%d lignes", n) << n;
}

void TestImport::lignesEnBloc() {
    // Every row arrives once, a value left unbound is NULL rather than the
    // previous row's, whatever the number of rows against the batches.
    QFETCH(int, lignes);
    BaseDeTest base;
    {
        ConnexionPtr c = Data(base.chemin()).CreeConnexion();
        Transaction t(*c);
        AjoutEnBloc ajout(*c, QStringLiteral("Hierarchie2"),
                          {QStringLiteral("Code"), QStringLiteral("Libelle")});
        for (int i = 0; i < lignes; ++i) {
            ajout.lier(1, QString::number(i));
            if (i % 2 == 0)
                ajout.lier(2, QStringLiteral("pair"));
            ajout.ajouter();
        }
        ajout.terminer();
        t.valider();
    }
    QCOMPARE(base.compter("SELECT count(DISTINCT Code) FROM Hierarchie2"), lignes);
    QCOMPARE(base.compter("SELECT count(*) FROM Hierarchie2 WHERE Libelle IS NULL"), lignes / 2);
    QCOMPARE(base.compter("SELECT count(*) FROM Hierarchie2 WHERE Libelle = 'pair'"),
             (lignes + 1) / 2);
}

void TestImport::ajoutEnBlocAbandonne() {
    // Rows given up before the end (a failure while preparing them) are not
    // kept, and the connection goes on working.
    BaseDeTest base;
    ConnexionPtr c = Data(base.chemin()).CreeConnexion();
    {
        Transaction t(*c);
        AjoutEnBloc ajout(*c, QStringLiteral("Hierarchie2"), {QStringLiteral("Code")});
        for (int i = 0; i < 300; ++i) {
            ajout.lier(1, QString::number(i));
            ajout.ajouter();
        }
    }
    QCOMPARE(base.compter("SELECT count(*) FROM Hierarchie2"), 0);
    c->Execute(QStringLiteral("INSERT INTO Hierarchie2 (Code) VALUES ('1')"));
    QCOMPARE(base.compter("SELECT count(*) FROM Hierarchie2"), 1);
}

void TestImport::entreeInvalide_data() {
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("attendu"); // pattern of the message

    const QByteArray bon = lireOctets(fixture());
    QVERIFY(!bon.isEmpty());
    const auto couperAvant = [&](const QByteArray& repere) {
        const qsizetype i = bon.indexOf(repere);
        return bon.left(i);
    };
    const QByteArray latin1 = QString::fromUtf8(bon).toLatin1();
    QByteArray entete = bon;
    entete.replace("Code,,Texte,", "Code,,Libellé,");
    QByteArray colonnes = bon;
    colonnes.replace("AAQP002,,Électrographie fictive avec vidéo,1,0,",
                     "AAQP002,,Électrographie fictive avec vidéo,1,");

    QTest::newRow("vide") << QByteArray() << "est vide";
    QTest::newRow("binaire") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                             << "n'est pas un fichier texte.*ligne 3";
    QTest::newRow("Latin-1") << latin1 << "n'est pas encodé en UTF-8 \\(ligne 1,";
    const QString texte = QString::fromUtf8(bon);
    QByteArray utf16le("\xFF\xFE");
    utf16le.append(reinterpret_cast<const char*>(texte.utf16()), texte.size() * 2);
    QByteArray utf16be;
    for (QChar c : texte)
        utf16be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    QTest::newRow("UTF-16 avec BOM") << utf16le << "UTF-16.*enregistrez-le en « CSV UTF-8 »";
    QTest::newRow("UTF-16 sans BOM") << utf16be << "UTF-16.*enregistrez-le en « CSV UTF-8 »";
    QTest::newRow("autre en-tête") << entete << "n'est pas le tableur CCAM.*ligne 2";
    QTest::newRow("colonne manquante") << colonnes << "ligne 17, 10 colonnes au lieu de 11";
    QTest::newRow("coupé dans une note")
        << couperAvant("Avec ou sans") << "guillemets ouvert ligne 20 n'est jamais fermé";
    QTest::newRow("coupé après un acte")
        << couperAvant("\"[J, 3]\"") << "l'acte AAFA002 \\(ligne 24\\) n'a aucune ligne d'activité";
    QTest::newRow("sans table des modificateurs")
        << couperAvant("2,,SYSTÈME SECOND") << "table des modificateurs.*absente";
    QTest::newRow("acte hors chapitre")
        << bon.left(bon.indexOf("1,,SYSTÈME IMAGINAIRE")) + "AAQP001,,x,1,0,1.00,1.00,,,,\n"
        << "ligne 8, l'acte AAQP001 n'est rangé dans aucun chapitre";
}

void TestImport::entreeInvalide() {
    QFETCH(QByteArray, contenu);
    QFETCH(QString, attendu);
    QTemporaryDir dossier;
    const QString csv = QDir(dossier.path()).filePath(QStringLiteral("tableur.csv"));
    ecrireOctets(csv, contenu);

    // An existing database, and a path where none exists yet.
    BaseDeTest base;
    remplirDonneesApplication(base);
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());
    const QString nouvelle = QDir(dossier.path()).filePath(QStringLiteral("nouvelle.mdb"));

    for (const QString& cible : {base.chemin(), nouvelle}) {
        try {
            ImportCcam(csv).charger(cible);
            QFAIL("le chargement aurait dû échouer");
        } catch (const ErreurImport& e) {
            QVERIFY2(e.message().contains(QStringLiteral("tableur.csv")), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QRegularExpression(attendu)), qPrintable(e.message()));
        }
    }
    QCOMPARE(lireOctets(base.chemin()), avant);
    QVERIFY(!QFileInfo::exists(base.chemin() + "-wal"));
    QVERIFY(!QFileInfo::exists(nouvelle));
}

void TestImport::baseImpossibleAEcrire_data() {
    QTest::addColumn<QString>("cas");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("dossier absent") << "dossier absent"
                                    << "le dossier .* n'existe pas";
    QTest::newRow("pas une base") << "texte"
                                  << "n'est pas une base de données";
    QTest::newRow("base Tarvenor incomplète") << "autre base"
                                              << "n'est pas une base Tarvenor";
    QTest::newRow("base SQLite étrangère") << "étrangère"
                                           << "n'est pas une base Tarvenor";
    QTest::newRow("lecture seule") << "lecture seule"
                                   << "ne peut pas être modifiée";
    QTest::newRow("dossier en lecture seule") << "dossier en lecture seule"
                                              << "ne peut pas être modifiée";
    QTest::newRow("base endommagée") << "endommagée"
                                     << "est endommagée \\(vérification de SQLite : .+\\) : le "
                                        "chargement est refusé";
    QTest::newRow("index endommagé") << "index endommagé" // SQLite's report runs on two lines
                                     << "(?s)est endommagée \\(vérification de SQLite : .+\\) : le "
                                        "chargement est refusé";
}

void TestImport::baseImpossibleAEcrire() {
    FICHIER_SQLITE_SEULEMENT();
    QFETCH(QString, cas);
    QFETCH(QString, attendu);
    QTemporaryDir dossier;
    QString cible = QDir(dossier.path()).filePath(QStringLiteral("cible.mdb"));
    std::unique_ptr<FichierLectureSeule> protection;
    if (cas == "dossier absent") {
        cible = QDir(dossier.path()).filePath(QStringLiteral("absent/cible.mdb"));
    } else if (cas == "texte") {
        ecrireOctets(cible, "Ceci n'est pas une base.\n");
    } else if (cas == "autre base") {
        {
            BaseDeTest autre;
            autre.executer(QStringLiteral("DROP TABLE Modificateurs"));
            Data::fermerConnexions();
            QFile::copy(autre.chemin(), cible);
        }
    } else if (cas == "étrangère") {
        // Rollback journal, not WAL: opening it for writing would change its header.
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(cible).constData(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else if (cas == "dossier en lecture seule") {
        const QString partage = QDir(dossier.path()).filePath(QStringLiteral("partage"));
        QVERIFY(QDir().mkdir(partage));
        cible = QDir(partage).filePath(QStringLiteral("cible.mdb"));
        BaseDeTest b;
        Data::fermerConnexions();
        QFile::copy(b.chemin(), cible);
        protection = std::make_unique<FichierLectureSeule>(partage);
        if (!protection->ok())
            QSKIP("Impossible de protéger un dossier en écriture ici.");
    } else if (cas == "endommagée" || cas == "index endommagé") {
        {
            BaseDeTest b;
            remplirDonneesApplication(b);
            Data::fermerConnexions();
            QFile::copy(b.chemin(), cible);
        }
        if (cas == "endommagée")
            endommagerTable(cible, QStringLiteral("Acte_Thesaurus"));
        else // an index the load never reads: only the check can see its free space miscounted
            endommagerTable(cible, QStringLiteral("idx_Utilisateur_login"), 7, QByteArray(1, 0x3F));
    } else {
        BaseDeTest b;
        Data::fermerConnexions();
        QFile::copy(b.chemin(), cible);
        protection = std::make_unique<FichierLectureSeule>(cible);
        if (!protection->ok())
            QSKIP("Impossible de protéger un fichier en écriture ici.");
    }
    const QByteArray avant = lireOctets(cible);
    try {
        ImportCcam(fixture()).charger(cible);
        QFAIL("le chargement aurait dû échouer");
    } catch (const ErreurImport& e) {
        QVERIFY2(e.message().contains(QRegularExpression(attendu)), qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("cible.mdb")), qPrintable(e.message()));
    }
    Data::fermerConnexions();
    QCOMPARE(lireOctets(cible), avant);
    QCOMPARE(QFileInfo::exists(cible), !avant.isEmpty() || cas != "dossier absent");
}

void TestImport::baseOccupee() {
    FICHIER_SQLITE_SEULEMENT();
    // Another program writes in the database longer than the wait: one clear
    // message, nothing changed.
    BaseDeTest base;
    remplirDonneesApplication(base);
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());
    {
        AutreProgramme autre(base.chemin());
        QVERIFY(autre.ok());
        try {
            ImportCcam(fixture()).charger(base.chemin());
            QFAIL("le chargement aurait dû échouer");
        } catch (const ErreurImport& e) {
            QVERIFY2(e.message().contains(QRegularExpression(
                         "La base « .*test\\.mdb » est utilisée par un autre programme \\(attendu "
                         "10 s\\).*\nLa base n'a pas été modifiée\\.$")),
                     qPrintable(e.message()));
            QVERIFY2(!e.message().contains(QStringLiteral("absente")), qPrintable(e.message()));
        }
        Data::fermerConnexions();
    }
    QCOMPARE(base.compter("SELECT count(*) FROM Hierarchie1"), 1);
    Data::fermerConnexions();
    QCOMPARE(lireOctets(base.chemin()), avant);
}

void TestImport::baseNouvelleInterrompue() {
    // A new database is written beside the target and takes its name only
    // once complete; what an interrupted import left there is cleared by the
    // next one.
    QTemporaryDir dossier;
    const QDir d(dossier.path());
    const QString cible = d.filePath(QStringLiteral("nouvelle.mdb"));
    const QString reste = d.filePath(QStringLiteral(".nouvelle.mdb.import-999999999"));
    ecrireOctets(reste, "reste d'un chargement interrompu");
    ecrireOctets(reste + "-journal", "journal");
    ImportCcam(fixture()).charger(cible);
    Data::fermerConnexions();
    QCOMPARE(d.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("nouvelle.mdb")});
    // Rollback journal, as every SQLite tool expects on a shared folder.
    QCOMPARE(lireOctets(cible).mid(18, 2), QByteArray("\x01\x01", 2));
}

void TestImport::fichierApparuPendantLeChargement() {
    // The target is free when the load starts; a file of the user's appears
    // there before the new database is complete: it is never replaced, and
    // the load says why it stopped.
    QTemporaryDir dossier;
    const QDir d(dossier.path());
    const QString cible = d.filePath(QStringLiteral("nouvelle.mdb"));
    const QByteArray contenu("le fichier d'un autre programme");
    {
        FichierQuiApparait apparition(cible, contenu);
        try {
            ImportCcam(fixture()).charger(cible);
            QFAIL("le chargement aurait dû échouer");
        } catch (const ErreurImport& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Impossible de créer la base « %1 » : un fichier de ce nom est "
                                    "apparu pendant le chargement, ou le dossier refuse le "
                                    "renommage.\nLa base créée pour ce chargement a été "
                                    "supprimée.")
                         .arg(cible));
        }
        Data::fermerConnexions();
    }
    QCOMPARE(lireOctets(cible), contenu);
    QCOMPARE(d.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("nouvelle.mdb")});
}

// The highest version of each rule file is read (v02, not v01); pairs whose
// two acts are in the spreadsheet join those of the notes, once each; ICR and
// flag go to the CCAM rows of the same act, activity and phase; where each
// kind of rule comes from, and the acts the base knows, are recorded. A load
// without the files records that too, and leaves nothing of the old rules.
void TestImport::reglesDeLaBaseCnam() {
    QTemporaryDir dossier;
    BaseDeTest base;
    ImportCcam import(fixture(), referencesAvecRegles(dossier));
    const RapportImport& r = import.charger(base.chemin());
    QCOMPARE(r.incompatibilites, 2);
    const QString texte = r.texte();
    for (const QString& ligne :
         {QStringLiteral("  Actes incompatibles : base CCAM de la CNAM version 02, fichier "
                         "incompatibilites_v02.csv : sur 4 lignes, 3 gardées (2 paires distinctes) "
                         "et 1 écartées (acte absent de cette version de la CCAM) ; 1 paires "
                         "tirées des notes d'utilisation du tableur."),
          QStringLiteral("  Procédures : aucun fichier de la base CCAM de la CNAM ; la CCAM "
                         "chargée n'en comporte pas."),
          QStringLiteral("  ICR et caractère classant : base CCAM de la CNAM version 02, fichier "
                         "phases_v02.csv : 4 lignes CCAM renseignées ; sur 6 lignes du fichier, 1 "
                         "écartées (acte absent de cette version de la CCAM) et 1 sans activité "
                         "ou phase correspondante.")})
        QVERIFY2(texte.contains(ligne + u'\n'), qPrintable(texte));

    QCOMPARE(colonne(Data(base.chemin())
                         .CreeRecordset("SELECT acte1 || '-' || acte2 FROM Actes_Incompatibles "
                                        "ORDER BY 1")),
             QStringList({"AAFA001-AAQP001", "AAFA002-AAQP001"}));
    QCOMPARE(colonne(Data(base.chemin())
                         .CreeRecordset("SELECT AMCODE || '/' || Activite || '/' || Phase || '=' "
                                        "|| coalesce(Caractere_classant, '-') FROM CCAM ORDER BY "
                                        "1")),
             QStringList({"AAFA001/1/0=Y", "AAFA001/4/0=N", "AAFA002/1/1=Y", "AAFA002/1/2=-",
                          "AAFA002/4/1=-", "AAQP001/1/0=Y", "AAQP002/1/0=-"}));
    QCOMPARE(Data(base.chemin())
                 .CreeRecordset("SELECT ICR FROM CCAM WHERE AMCODE = 'AAFA001' AND Activite = '4'")
                 ->Fields(0)
                 .toDouble(),
             100.0);
    // AAQP002 is in neither file: the base does not know it.
    QCOMPARE(colonne(Data(base.chemin())
                         .CreeRecordset("SELECT AMCODE FROM Sources_Regles_Actes WHERE Regle = "
                                        "'INCOMPATIBILITES' ORDER BY AMCODE")),
             QStringList({"AAFA001", "AAFA002", "AAQP001"}));
    QCOMPARE(base.compter("SELECT count(*) FROM Sources_Regles WHERE Regle = 'PHASES' AND "
                          "Version = '02' AND Date_Base IS NULL AND Retenues = 4"),
             1);
    QCOMPARE(descriptionSourcesRegles().size(), 3);

    ImportCcam sansRegles(fixture(), referencesFixture());
    QVERIFY(sansRegles.charger(base.chemin())
                .texte()
                .contains("  Actes incompatibles : aucun fichier de la base CCAM de la CNAM ; 1 "
                          "paires tirées des notes d'utilisation du tableur.\n"));
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM WHERE ICR IS NOT NULL OR "
                          "Caractere_classant IS NOT NULL"),
             0);
    QCOMPARE(base.compter("SELECT count(*) FROM Sources_Regles_Actes"), 0);
    QCOMPARE(base.compter("SELECT count(*) FROM Sources_Regles WHERE Base IS NULL"), 3);
    Data::fermerConnexions();
}

// A rule file that is not what it should be stops the load before anything
// is written, with one message naming the file and the line.
void TestImport::reglesInvalides_data() {
    QTest::addColumn<QString>("fichier");
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("attendu");
    const QByteArray entete = "acte;date_effet;acte_incompatible\n";
    QTest::newRow("autre disposition")
        << "phases_v02.csv" << QByteArray("acte;activite;phase;classant\nAAQP001;1;0;Y\n")
        << "Le fichier « phases_v02.csv » n'a pas la colonne « icr » (ligne 1 : en-tête "
           "« acte;activite;phase;icr;classant » attendu).";
    QTest::newRow("octet NUL")
        << "incompatibilites_v02.csv"
        << entete + QByteArray("AAFA001;2005\0"
                               "0325;AAQP001\n",
                               26)
        << "Le fichier « incompatibilites_v02.csv » n'est pas un fichier texte : il contient des "
           "octets nuls (ligne 2).";
    QTest::newRow("pas un code d'acte")
        << "incompatibilites_v02.csv"
        << entete + "AAFA001;20050325;AAQP001\nAAFA01;20050325;AAQP001\n"
        << "Le fichier « incompatibilites_v02.csv » est altéré : ligne 3, colonne « acte » : "
           "« AAFA01 » n'est pas un code d'acte de la CCAM.";
    QTest::newRow("colonne manquante")
        << "incompatibilites_v02.csv" << entete + "AAFA001;AAQP001\n"
        << "Le fichier « incompatibilites_v02.csv » est altéré : ligne 2, 2 colonnes au lieu de 3.";
    QTest::newRow("caractère classant inconnu")
        << "phases_v02.csv"
        << QByteArray("acte;activite;phase;nombre_dents;age_min;age_max;icr;classant\n"
                      "AAQP001;1;0;00;000;000;0042;X\n")
        << "Le fichier « phases_v02.csv » est altéré : ligne 2, colonne « classant » : « X » "
           "n'est pas « Y », « N » ou vide.";
}

void TestImport::reglesInvalides() {
    FICHIER_SQLITE_SEULEMENT();
    QFETCH(QString, fichier);
    QFETCH(QByteArray, contenu);
    QTemporaryDir dossier;
    BaseDeTest base;
    remplirDonneesApplication(base);
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());
    try {
        ImportCcam(fixture(), referencesAvecRegles(dossier, fichier, contenu))
            .charger(base.chemin());
        QFAIL("le chargement aurait dû échouer");
    } catch (const ErreurImport& e) {
        QTEST(e.message(), "attendu");
    }
    QCOMPARE(lireOctets(base.chemin()), avant);
}

void TestImport::tableurNational() {
    const QString dossierCcam = dossierCcamNational();
    if (dossierCcam.isEmpty())
        QSKIP(
            "Dossier CCAM national absent (TARVENOR_CCAM_DIR) : comptes sur la V81 non vérifiés.");
    const QString tableur = QDir(dossierCcam).filePath(QStringLiteral("ccam_v81.csv"));
    BaseDeTest base;
    remplirDonneesApplication(base);
    ImportCcam import(tableur, dossierCcam);
    const RapportImport& r = import.charger(base.chemin());
    QCOMPARE(r.codesActes, 8257);
    QCOMPARE(r.chapitres, (std::array<int, 4>{19, 91, 564, 1048}));
    QCOMPARE(r.modificateurs, 30);
    QCOMPARE(base.compter("SELECT count(DISTINCT AMCODE) FROM CCAM"), 8257);
    QCOMPARE(base.compter("SELECT count(*) FROM Modificateurs WHERE (Tarif IS NULL) = "
                          "(Pourcentage IS NULL)"),
             0);
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM WHERE length(PositionH) <> 8"), 0);

    if (testsSurServeur())
        QSKIP("L'ordre des lignes dans la table n'est vérifié que sur le fichier SQLite.");
    // Every line with an activity is one CCAM row, in file order, with its
    // sector-1 tariff; every listed complementary gesture of a known act is kept.
    const auto enr = LecteurCsv::lireFichier(tableur, ',');
    RapportImport attendu;
    std::vector<std::tuple<QString, QString, QVariant>> lignes;
    std::set<std::pair<QString, QString>> gestes;
    const QRegularExpression code(QStringLiteral("^[A-Z]{4}[0-9]{3}$"));
    const QRegularExpression codeDansTexte(QStringLiteral("[A-Z]{4}[0-9]{3}"));
    QString acte;
    for (size_t i = 2; i < enr.size(); ++i) {
        const QStringList& c = enr[i].champs;
        if (code.match(c[0].trimmed()).hasMatch())
            acte = c[0].trimmed();
        else if (!c[0].trimmed().isEmpty() && !c[0].trimmed().startsWith('['))
            acte.clear(); // a chapter
        const QString t = c[2].trimmed();
        if (!acte.isEmpty() && t.startsWith('(') && t.endsWith(')')) {
            auto it = codeDansTexte.globalMatch(t);
            while (it.hasNext())
                gestes.emplace(acte, it.next().captured(0));
        }
        if (c[3].trimmed().isEmpty() || i < 3)
            continue;
        QString tarif = c[5].trimmed().remove(' ').replace(',', '.');
        bool ok = false;
        const double v = tarif.toDouble(&ok);
        lignes.emplace_back(c[3].trimmed(), c[4].trimmed(), ok ? QVariant(v) : QVariant());
    }
    RecordsetPtr rs =
        Data(base.chemin())
            .CreeRecordset(QStringLiteral("SELECT Activite, Phase, Tarif FROM CCAM ORDER BY ") +
                           ordreDInsertion());
    QCOMPARE(rs->RecordCount(), static_cast<long long>(lignes.size()));
    QCOMPARE(r.lignesCcam, static_cast<int>(lignes.size()));
    for (const auto& [activite, phase, tarif] : lignes) {
        QCOMPARE(rs->Fields(0).toString(), activite);
        QCOMPARE(rs->Fields(1).toString(), phase);
        QCOMPARE(rs->Fields(2).isNull(), tarif.isNull());
        if (!tarif.isNull())
            QCOMPARE(rs->Fields(2).toDouble(), tarif.toDouble());
        rs->MoveNext();
    }
    std::set<std::pair<QString, QString>> charges;
    RecordsetPtr associes =
        Data(base.chemin())
            .CreeRecordset(QStringLiteral("SELECT DISTINCT Acte1, Acte2 FROM Actes_Associes"));
    for (associes->MoveFirst(); !associes->isEOF(); associes->MoveNext())
        charges.emplace(associes->Fields(0).toString(), associes->Fields(1).toString());
    int inconnus = 0;
    for (const auto& g : gestes)
        if (!charges.count(g))
            ++inconnus; // only codes that are not acts of this version
    QVERIFY2(inconnus <= 1, qPrintable(QString::number(inconnus)));
    QCOMPARE(static_cast<int>(charges.size()), r.pairesGestes);
    QVERIFY(r.pairesGestes > 14800);

    // The rules of the CNAM base v34 beside the spreadsheet: the pairs whose
    // two acts are in V81, once each, and the ICR and flag of the rows the
    // base has. An act created since (AAMP003) has neither, and the details
    // say that the flag is not given and put no ICR after the tariff.
    QCOMPARE(r.sources.front().lignes, 85999);
    QCOMPARE(r.sources.front().retenues, 51757);
    QCOMPARE(base.compter("SELECT count(*) FROM Sources_Regles_Actes"), 7567);
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM WHERE AMCODE = 'AAFA001' AND Activite = "
                          "'1' AND ICR = 655 AND Caractere_classant = 'Y'"),
             1);
    QCOMPARE(base.compter("SELECT count(*) FROM CCAM WHERE AMCODE = 'AAMP003' AND (ICR IS NOT "
                          "NULL OR Caractere_classant IS NOT NULL)"),
             0);
    for (const QString& code : {QStringLiteral("AAMP003")}) {
        RecordsetPtr acte = accesCCAM.getActe(code, QStringLiteral("1"), QString());
        QVERIFY2(acte && acte->RecordCount() > 0, qPrintable(code));
        QCOMPARE(texteActeClassant(code, acte->Fields(QStringLiteral("Caractere_classant"))),
                 code + " : caractère classant non précisé dans cette version de la CCAM");
        const QString texte = texteDetailsActe(acte, SectionHonoraires);
        QVERIFY2(texte.startsWith("Tarif: \t\t"), qPrintable(texte));
        QVERIFY(!texte.contains(QStringLiteral("ICR")));
    }

    // Application data kept
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), 2);
    // The invented thesaurus codes are not V81 acts.
    QCOMPARE(r.actesThesaurusAbsents, QStringList({"AAQP001", "ANCI001"}));
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
