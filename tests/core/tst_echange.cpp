// Thesaurus text files: both export layouts byte for byte, the export's
// encoding, the import with its edge cases and encodings, the files it
// refuses, and the replacement of a thesaurus by a file that never loses the
// old thesaurus on failure.

#include "BaseDeTest.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "Parametres.h"
#include "Thesaurus.h"
#include "ThesaurusDeTest.h"

#include <QtTest>

namespace {
QByteArray lire(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illisible>");
}

void ecrire(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(octets);
}

QByteArray aujourdhui() {
    return QDate::currentDate().toString("dd/MM/yyyy").toLatin1();
}

Medecin medecin(const QString& code) {
    Medecin m;
    m.code = code;
    m.remplirDonnees();
    m.remplirThesaurusMED();
    return m;
}

// The thesaurus of an owner as stored: one line per category (label order,
// then code), its acts as "code/activity".
QStringList stocke(const QString& lien, int type) {
    QStringList l;
    RecordsetPtr cats = Data().CreeRecordset(
        QString("SELECT CT_CODE, CT_LIB FROM CategorieThesaurus WHERE CT_LIEN = '%1' AND "
                "CT_TYPE = %2 ORDER BY CT_LIB, CT_CODE")
            .arg(lien)
            .arg(type));
    for (; !cats->isEOF(); cats->MoveNext()) {
        QString s = "[" + cats->Fields("CT_LIB").toString() + "]";
        RecordsetPtr actes =
            Data().CreeRecordset("SELECT AT_Acte, AT_ACTIVITE FROM Acte_Thesaurus WHERE AT_CAT = " +
                                 QString::number(cats->Fields("CT_CODE").toLongLong()) +
                                 " ORDER BY " + ordreDInsertion());
        for (; !actes->isEOF(); actes->MoveNext())
            s += " " + actes->Fields(0).toString() + "/" + actes->Fields(1).toString();
        l << s;
    }
    return l;
}

const QByteArray enteteUnite = "\tUM1 - Cardiologie\r\n";
const QByteArray enteteMedecin = "\tMED1 - Dr Martin\tUM1 - Cardiologie\r\n";
} // namespace

class TestEchange : public QObject {
    Q_OBJECT

private slots:
    void init() { reinitialiserEtatGlobal(); }

    void exportUnite_data();
    void exportUnite();
    void exportMedecin_data();
    void exportMedecin();
    void exportImpossible();
    void exportDansLeDernierDossierEtAnnonce();
    void exportHorsWindows1252_data();
    void exportHorsWindows1252();

    void allerRetourUniteVersMedecin();
    void importCasLimites();
    void importEnteteSeule();
    void importEncodages_data();
    void importEncodages();
    void importProgression();
    void importAnnule_data();
    void importAnnule();
    void importGrosFichiers();
    void importTexteDansLeSql();
    void lecture_data();
    void lecture();

    void fichiersRefuses_data();
    void fichiersRefuses();

    void remplacementRefuse_data();
    void remplacementRefuse();
    void remplacementEchecBase();
    void remplacementReussi();
};

void TestEchange::exportUnite_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("corps");
    // Acts of a category in code order.
    const QByteArray echange = "Urgences\tACTE001\tACTE002\r\nVide\r\n";
    const QByteArray liste = "Urgences\r\n"
                             "ACTE001\tActe un, premier temps\r\n"
                             "\tPremi\xE8re phase\r\n"
                             "\tDeuxi\xE8me phase\r\n"
                             "ACTE002\tActe deux\r\n"
                             "Vide\r\n";
    QTest::newRow("txt") << "theso.txt" << echange;
    QTest::newRow("point dans le dossier") << "v1.2/theso.txt" << echange;
    QTest::newRow("doc") << "theso.doc" << liste;
    QTest::newRow("xls") << "theso.xls" << liste;
    QTest::newRow("TXT en capitales") << "theso.TXT" << liste;
    QTest::newRow("sans point") << "theso" << liste;
    QTest::newRow("txt puis autre") << "theso.txt.bak" << liste;
}

void TestEchange::exportUnite() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    QFETCH(QString, nom);
    QFETCH(QByteArray, corps);
    const QString chemin = base.dossier() + "/" + nom;
    QDir().mkpath(QFileInfo(chemin).path());
    ProgressionEnregistree progression;
    QVERIFY(Thesaurus().exporterUM("UM1 - Cardiologie", chemin));
    QCOMPARE(lire(chemin), aujourdhui() + enteteUnite + corps);
    QCOMPARE(progression.journal,
             QStringList({"debut Chargement en cours... 3", "avancer 1", "avancer 1", "fin"}));
}

void TestEchange::exportMedecin_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("corps");
    QTest::newRow("txt") << "med.txt"
                         << QByteArray("Autres\r\n"
                                       "Bilan\tACTE001\tACTE001\tACTE002\r\n"
                                       "Z\xE8"
                                       "bre\tACTE001\tFANT001\r\n");
    // Every block of a doctor's listing starts with an empty line.
    QTest::newRow("doc") << "med.doc"
                         << QByteArray("\r\nAutres\r\n"
                                       "\r\nBilan\r\n"
                                       "ACTE001\tActe un, premier temps\r\n"
                                       "\tPremi\xE8re phase\r\n\tDeuxi\xE8me phase\r\n"
                                       "ACTE001\tActe un, premier temps\r\n"
                                       "\tPremi\xE8re phase\r\n\tDeuxi\xE8me phase\r\n"
                                       "ACTE002\tActe deux\r\n"
                                       "\r\nZ\xE8"
                                       "bre\r\n"
                                       "ACTE001\tActe un, premier temps\r\n"
                                       "\tPremi\xE8re phase\r\n\tDeuxi\xE8me phase\r\n"
                                       "FANT001\t\r\n");
}

void TestEchange::exportMedecin() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    QFETCH(QString, nom);
    QFETCH(QByteArray, corps);
    const QString chemin = base.dossier() + "/" + nom;
    QVERIFY(Thesaurus().exporterMED(medecin("MED1"), chemin));
    QCOMPARE(lire(chemin), aujourdhui() + enteteMedecin + corps);
}

namespace {
QStringList g_annonces;
}

// The export chooser starts in the folder of the last file chosen (the
// user's documents before any), and what was written is told in the status
// bar.
void TestEchange::exportDansLeDernierDossierEtAnnonce() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    QTemporaryDir reglages;
    Parametres::redirigerVers(reglages.filePath("tarvenor.ini"));
    installerBarreEtat([](const QString& texte) { g_annonces << texte; });
    ChoixFichierScripte choix;
    const QString chemin = base.dossier() + "/um.txt";
    choix.setFichierSuivant(chemin);
    QCOMPARE(choisirFichierDocumentEnregistrer("Export", QString(), "Text (*.txt)|*.txt"), chemin);
    QVERIFY(choix.dernierDossier != QCoreApplication::applicationDirPath());
    QVERIFY(Thesaurus().exporterUM("UM1 - Cardiologie", chemin));
    QCOMPARE(g_annonces, QStringList{"Fichier écrit : " + QDir::toNativeSeparators(chemin)});
    choisirFichierDocumentOuvrir("Importer un thésaurus", "Text (*.txt)|*.txt");
    QCOMPARE(choix.dernierDossier, base.dossier());
    installerBarreEtat(nullptr);
    Parametres::redirigerVers(QString());
}

void TestEchange::exportImpossible() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    MessagesScriptes messages;
    const QString chemin = base.dossier() + "/absent/theso.txt";
    QVERIFY(!Thesaurus().exporterUM("UM1 - Cardiologie", chemin));
    QVERIFY(!Thesaurus().exporterMED(medecin("MED1"), chemin));
    QCOMPARE(messages.journal().size(), size_t(2));
    const MessageAffiche& m = messages.journal().front();
    QCOMPARE(m.titre, QString("Erreur"));
    QCOMPARE(m.icone, Icone::Critique);
    QCOMPARE(m.texte, "Le fichier d'export " + chemin +
                          " ne peut pas être écrit. Vérifiez le dossier choisi et vos droits "
                          "d'écriture.");
    QVERIFY(!QFile::exists(chemin));
}

void TestEchange::exportHorsWindows1252_data() {
    QTest::addColumn<QString>("nom");
    QTest::newRow("txt") << "genou.txt";
    QTest::newRow("doc") << "genou.doc";
}

// A character without a Windows-1252 byte ("≥", "μ", "−" stand in the
// national classification) makes the export UTF-8 with a byte-order mark,
// which the import reads back exactly.
void TestEchange::exportHorsWindows1252() {
    BaseDeTest base;
    const ThesaurusDeTest t = remplirThesaurusDeTest(base);
    const QString genou = QString::fromUtf8("Genou ≥ 2 ans");
    base.executer("UPDATE CategorieThesaurus SET CT_LIB = '" + genou +
                  "' WHERE CT_CODE = " + QString::number(t.urgences));
    QFETCH(QString, nom);
    const QString chemin = base.dossier() + "/" + nom;
    QVERIFY(Thesaurus().exporterUM("UM1 - Cardiologie", chemin));
    const QByteArray octets = lire(chemin);
    QVERIFY(octets.startsWith("\xEF\xBB\xBF"));
    QVERIFY(octets.contains(genou.toUtf8() + (nom.endsWith("txt") ? "\tACTE001" : "\r\nACTE001")));
    if (nom.endsWith("doc"))
        QVERIFY(octets.contains(QString::fromUtf8("\tPremière phase\r\n").toUtf8()));
    if (nom.endsWith("txt")) {
        MessagesScriptes messages;
        QVERIFY(importerThesaurus(chemin, "MED2", 2));
        QVERIFY(messages.journal().empty());
        QCOMPARE(stocke("MED2", 2), QStringList({"[" + genou + "] ACTE001/ ACTE002/", "[Vide]"}));
    }
}

void TestEchange::allerRetourUniteVersMedecin() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    base.executer("INSERT INTO Medecin VALUES ('MED2', 'Dr Vide', '', 'UM1', '4', 8)");
    const QString chemin = base.dossier() + "/unite.txt";
    QVERIFY(Thesaurus().exporterUM("UM1 - Cardiologie", chemin));
    MessagesScriptes messages;
    QVERIFY(importerThesaurus(chemin, "MED2", 2));
    QVERIFY(messages.journal().empty());
    // Same categories in label order, every act, no activity.
    QCOMPARE(stocke("MED2", 2), QStringList({"[Urgences] ACTE001/ ACTE002/", "[Vide]"}));
    QStringList vu;
    for (const Categorie& c : medecin("MED2").listeCat) {
        vu << c.libelle;
        for (const Acte& a : c.listeActes)
            vu << a.code + "/" + a.activite;
    }
    QCOMPARE(vu, QStringList({"Urgences", "ACTE001/", "ACTE002/", "Vide"}));
    QCOMPARE(stocke("UM1", 1).size(), 2); // the source is untouched
}

void TestEchange::importCasLimites() {
    BaseDeTest base;
    const QString chemin = base.dossier() + "/limites.txt";
    // Blank lines (empty, or the TABs and blanks a spreadsheet pads rows
    // with) and empty act codes are never shown, so they are skipped; codes
    // are trimmed and upper-cased, as the classification writes them; a
    // label alone gives an empty category; the last line has no line end.
    ecrire(chemin, "01/01/2020\tUM1 - Cardiologie\r\n"
                   "Cat A\tACTE001\r\n"
                   "\r\n"
                   "\t\t \t\r\n"
                   "   \r\n"
                   "Cat B\t\tACTE002\t\t\r\n"
                   "Minuscules\txhma003\t acte004 \r\n"
                   "Seule\r\n"
                   "Fin\tACTE003\tACTE003");
    QVERIFY(importerThesaurus(chemin, "MED3", 2));
    QCOMPARE(stocke("MED3", 2),
             QStringList({"[Cat A] ACTE001/", "[Cat B] ACTE002/", "[Fin] ACTE003/ ACTE003/",
                          "[Minuscules] XHMA003/ ACTE004/", "[Seule]"}));
}

void TestEchange::importEnteteSeule() {
    BaseDeTest base;
    const ThesaurusDeTest t = remplirThesaurusDeTest(base);
    Q_UNUSED(t);
    const QString chemin = base.dossier() + "/entete.txt";
    ecrire(chemin, "01/01/2020\tUM1 - Cardiologie\r\n");
    QVERIFY(importerThesaurus(chemin, "UM1", 1));
    QCOMPARE(stocke("UM1", 1).size(), 2);
    // Replacing by a file without category leaves an empty thesaurus.
    QVERIFY(remplacerThesaurusParFichier(chemin, "UM1", 1));
    QVERIFY(stocke("UM1", 1).isEmpty());
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT IN (SELECT CT_CODE "
                          "FROM CategorieThesaurus WHERE CT_LIEN = 'MED1')"),
             5LL);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), 5LL);
}

void TestEchange::importEncodages_data() {
    QTest::addColumn<QByteArray>("octets");
    const QString texte = QString::fromUtf8("entête\r\nÉchographie du cœur\tACTE001\r\n");
    QByteArray utf16(texte.size() * 2 + 2, '\0');
    utf16[0] = '\xFF';
    utf16[1] = '\xFE';
    memcpy(utf16.data() + 2, texte.utf16(), texte.size() * 2);
    QTest::newRow("Windows-1252") << QByteArray("ent\xEAte\r\n\xC9"
                                                "chographie du c\x9C"
                                                "ur\tACTE001\r\n");
    QTest::newRow("UTF-8") << texte.toUtf8();
    QTest::newRow("UTF-8 avec BOM") << "\xEF\xBB\xBF" + texte.toUtf8();
    QTest::newRow("UTF-16 avec BOM") << utf16;
    QTest::newRow("fins de ligne LF") << QByteArray("ent\xEAte\n\xC9"
                                                    "chographie du c\x9C"
                                                    "ur\tACTE001\n");
    QTest::newRow("fins de ligne CR") << texte.toUtf8().replace("\r\n", "\r");
}

void TestEchange::importEncodages() {
    BaseDeTest base;
    QFETCH(QByteArray, octets);
    const QString chemin = base.dossier() + "/encodage.txt";
    ecrire(chemin, octets);
    QVERIFY(importerThesaurus(chemin, "MED1", 2));
    QCOMPARE(stocke("MED1", 2), QStringList({QString::fromUtf8("[Échographie du cœur] ACTE001/")}));
}

void TestEchange::importProgression() {
    BaseDeTest base;
    const QString chemin = base.dossier() + "/progression.txt";
    ecrire(chemin, "entete\r\nAB\tACTE001\r\nC\r\n");
    ProgressionEnregistree progression;
    QVERIFY(importerThesaurus(chemin, "MED1", 2));
    // The maximum is the file length plus 1; each line advances by its length.
    QCOMPARE(progression.journal,
             QStringList({"debut Chargement en cours... 24", "avancer 10", "avancer 1", "fin"}));
}

void TestEchange::importAnnule_data() {
    QTest::addColumn<bool>("remplacer");
    QTest::newRow("ajout") << false;
    QTest::newRow("remplacement") << true;
}

void TestEchange::importAnnule() {
    // "Annuler" pressed in the wait window after the first category: the
    // thesaurus stays exactly as it was, and nothing is said.
    QFETCH(bool, remplacer);
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    const QStringList avant = stocke("MED1", 2);
    const QString chemin = base.dossier() + "/annule.txt";
    ecrire(chemin, "entete\r\nA\tACTE001\r\nB\tACTE002\r\nC\tACTE001\r\n");
    ProgressionEnregistree progression;
    progression.annulerApres = 1;
    MessagesScriptes messages;
    QVERIFY(!(remplacer ? remplacerThesaurusParFichier(chemin, "MED1", 2)
                        : importerThesaurus(chemin, "MED1", 2)));
    QCOMPARE(stocke("MED1", 2), avant);
    QVERIFY(messages.journal().empty());
    QCOMPARE(progression.journal.last(), QStringLiteral("fin"));
}

void TestEchange::importGrosFichiers() {
    BaseDeTest base;
    const QString chemin = base.dossier() + "/gros.txt";
    // 10 MB: a thousand categories of 10,000-character labels, then one line
    // of 20,000 act codes.
    QByteArray octets = "entete\r\n";
    const QByteArray libelle(10000, 'x');
    for (int i = 0; i < 1000; ++i)
        octets += libelle + "\r\n";
    octets += "Beaucoup";
    for (int i = 0; i < 20000; ++i)
        octets += "\tACTE001";
    octets += "\r\n";
    ecrire(chemin, octets);
    ProgressionEnregistree progression;
    MessagesScriptes messages;
    QVERIFY(importerThesaurus(chemin, "MED1", 2));
    QVERIFY(messages.journal().empty());
    QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus"), 1001LL);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), 20000LL);
    QCOMPARE(base.compter("SELECT max(length(CT_LIB)) FROM CategorieThesaurus"), 10000LL);
    QCOMPARE(progression.journal.size(), 1023);
    QCOMPARE(progression.journal.at(1001), QString("avancer 8000"));
    QCOMPARE(progression.journal.at(1021), QString("avancer 8"));
}

// Labels and codes go into the statements quote-doubled: whatever they hold
// (apostrophes, statement ends, the Jet idioms the translator rewrites) is
// stored as it was written.
void TestEchange::importTexteDansLeSql() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    const QStringList libelles = {
        "L'acte d'urgence",
        "x'); DELETE FROM Acte_Thesaurus; --",
        "a <> null AND DELETE * FROM CCAM",
        "#01/02/2020# @@IDENTITY \"guillemets\" \\ ; ''",
        QString::fromUtf8("Œdème — ≤ 3 μg"),
    };
    QString texte = "entete\r\n";
    for (const QString& l : libelles)
        texte += l + "\tA'B\tC;D\r\n";
    const QString chemin = base.dossier() + "/sql.txt";
    ecrire(chemin, texte.toUtf8());
    const long long actes = base.compter("SELECT count(*) FROM Acte_Thesaurus");
    MessagesScriptes messages;
    QVERIFY(importerThesaurus(chemin, "MED'3", 2));
    QVERIFY(messages.journal().empty());
    QStringList attendu;
    for (const QString& l : libelles)
        attendu << "[" + l + "] A'B/ C;D/";
    std::sort(attendu.begin(), attendu.end());
    QStringList vu = stocke("MED''3", 2);
    std::sort(vu.begin(), vu.end());
    QCOMPARE(vu, attendu);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), actes + 10);
}

// The boundaries of the reader, without a database: what makes a blank line,
// a listing line, and what a code keeps.
void TestEchange::lecture_data() {
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QStringList>("attendu"); // "label: codes", or the error's end
    QTest::newRow("espace insécable seule")
        << QByteArray("e\n\xC2\xA0\nA\n") << QStringList({"A:"});
    QTest::newRow("blanc final d'un code")
        << QByteArray("e\nCat\tACTE001 \n") << QStringList({"Cat:ACTE001"});
    QTest::newRow("code à blanc parmi d'autres")
        << QByteArray("e\nCat\tA B\tc\n") << QStringList({"Cat:A B,C"});
    QTest::newRow("libellé blanc avec acte") << QByteArray("e\r \tx\r") << QStringList({" :X"});
    QTest::newRow("en-tête seul") << QByteArray("01/01/2020\tUM1\r\n\r\n") << QStringList();
    QTest::newRow("acte et libellé")
        << QByteArray("e\nCat\nX\tLibell\xE9 de l'acte\n") << QStringList({"ligne 3"});
    QTest::newRow("200 000 lignes, pas une de plus")
        << QByteArray("e\nC") + QByteArray("\tA").repeated(199999)
        << QStringList({"C:" + QStringList(199999, "A").join(',')});
}

void TestEchange::lecture() {
    QFETCH(QByteArray, octets);
    QFETCH(QStringList, attendu);
    const LectureThesaurus lu = lireTexteThesaurus(octets, "f.txt");
    QStringList vu;
    for (const CategorieImportee& c : lu.categories)
        vu << c.libelle + ":" + c.actes.join(',');
    if (!lu.erreur.isEmpty()) {
        QVERIFY2(lu.erreur.contains(attendu.value(0)), qPrintable(lu.erreur));
        QVERIFY(vu.isEmpty());
    } else {
        QCOMPARE(vu, attendu);
    }
}

// Files that are not thesaurus files of the exchange layout are refused
// with a message naming the problem, before anything is written: the old
// thesaurus stays whole and the database file keeps every byte.
void TestEchange::fichiersRefuses_data() {
    QTest::addColumn<QString>("exporte");   // a listing exported by the program
    QTest::addColumn<QByteArray>("octets"); // otherwise, the file
    QTest::addColumn<QString>("message");
    const QString liste = "Le fichier d'import %1 est la liste lisible d'un thésaurus (ligne %2 : "
                          "un acte suivi de son libellé, ou une phase), que l'import ne lit pas. "
                          "Exportez le thésaurus au format « Text (*.txt) » et importez ce "
                          "fichier-là.";
    const QString controle = "Le fichier d'import %1 contient un caractère de contrôle (U+%2) à la "
                             "ligne %3 : ce n'est pas un fichier texte de thésaurus.";
    const QString blancs = "Le fichier d'import %1 ne contient que des tabulations et des blancs : "
                           "ce n'est pas un fichier de thésaurus.";
    const QString trop = "Le fichier d'import %1 compte plus de 200 000 catégories et actes : ce "
                         "n'est pas un fichier de thésaurus.";
    QTest::newRow("liste d'unité .doc") << "unite.doc" << QByteArray() << liste.arg("%1", "3");
    QTest::newRow("liste de médecin .TXT") << "medecin.TXT" << QByteArray() << liste.arg("%1", "6");
    QTest::newRow("liste de médecin .xls") << "medecin.xls" << QByteArray() << liste.arg("%1", "6");
    QTest::newRow("phase seule") << QString()
                                 << QByteArray("entete\r\nCat\tACTE001\r\n\tPhase unique\r\n")
                                 << liste.arg("%1", "3");
    QTest::newRow("NUL") << QString() << QByteArray("entete\r\nCat\tAC\0TE001\r\n", 22)
                         << controle.arg("%1", "0000", "2");
    QTest::newRow("échappement") << QString() << QByteArray("entete\nA\nB\x1B[2J\n")
                                 << controle.arg("%1", "001B", "3");
    QTest::newRow("saut de page") << QString() << QByteArray("entete\r\nA\fB\r\n")
                                  << controle.arg("%1", "000C", "2");
    QTest::newRow("NUL en UTF-16") << QString()
                                   << QByteArray("\xFF\xFE"
                                                 "e\0\n\0A\0\0\0",
                                                 10)
                                   << controle.arg("%1", "0000", "2");
    QTest::newRow("C1 en UTF-8") << QString() << QByteArray("entete\nA\xC2\x85\xC3\xA9\n")
                                 << controle.arg("%1", "0085", "2");
    QTest::newRow("5 Mo de TAB après l'en-tête")
        << QString() << QByteArray("entete\r\n") + QByteArray(5 << 20, '\t') << blancs;
    QTest::newRow("5 Mo de TAB") << QString() << QByteArray(5 << 20, '\t') << blancs;
    QTest::newRow("5 Mo de lignes de TAB")
        << QString() << QByteArray("entete") + QByteArray("\r\n\t\t").repeated(5 << 18) << blancs;
    QTest::newRow("blancs seuls") << QString() << QByteArray(" \r\n \r\n") << blancs;
    QTest::newRow("200 001 actes")
        << QString() << QByteArray("entete\r\nCat") + QByteArray("\tA").repeated(200000) << trop;
    QTest::newRow("200 001 catégories")
        << QString() << QByteArray("entete") + QByteArray("\nC").repeated(200001) << trop;
}

void TestEchange::fichiersRefuses() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    QFETCH(QString, exporte);
    QFETCH(QByteArray, octets);
    QFETCH(QString, message);
    QString chemin = base.dossier() + "/" + (exporte.isEmpty() ? "mauvais.txt" : exporte);
    if (exporte.startsWith("unite"))
        QVERIFY(Thesaurus().exporterUM("UM1 - Cardiologie", chemin));
    else if (!exporte.isEmpty())
        QVERIFY(Thesaurus().exporterMED(medecin("MED1"), chemin));
    else
        ecrire(chemin, octets);
    const QStringList avant = stocke("MED1", 2);
    Data::fermerConnexions();
    const QByteArray fichierAvant = lireOctets(base.chemin());
    for (bool remplacer : {true, false}) {
        MessagesScriptes messages;
        QVERIFY(!(remplacer ? remplacerThesaurusParFichier(chemin, "MED1", 2)
                            : importerThesaurus(chemin, "MED1", 2)));
        QCOMPARE(messages.journal().size(), size_t(1));
        const MessageAffiche& m = messages.journal().front();
        QCOMPARE(m.texte, message.arg(chemin));
        QCOMPARE(m.titre, QString("Erreur"));
        QCOMPARE(m.icone, Icone::Critique);
    }
    Data::fermerConnexions();
    QVERIFY(lireOctets(base.chemin()) == fichierAvant);
    QCOMPARE(stocke("MED1", 2), avant);
}

void TestEchange::remplacementRefuse_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("titre");
    QTest::addColumn<int>("icone");
    QTest::newRow("introuvable") << "absent.txt" << QByteArray()
                                 << "Le fichier d'import %1 est introuvable."
                                 << "Erreur" << int(Icone::Critique);
    QTest::newRow("dossier") << "." << QByteArray() << "Le fichier d'import %1 est introuvable."
                             << "Erreur" << int(Icone::Critique);
    QTest::newRow("vide") << "vide.txt" << QByteArray("") << "Le fichier est vide."
                          << "Import" << int(Icone::Aucune);
    QByteArray binaire;
    for (int i = 0; i < 4096; ++i)
        binaire += char((i * 37) & 0xFF);
    QTest::newRow("binaire") << "image.txt" << binaire
                             << "Le fichier d'import %1 n'est pas un fichier texte de thésaurus."
                             << "Erreur" << int(Icone::Critique);
}

void TestEchange::remplacementRefuse() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    QFETCH(QString, nom);
    QFETCH(QByteArray, octets);
    const QString chemin = base.dossier() + "/" + nom;
    if (!octets.isNull())
        ecrire(chemin, octets);
    const QStringList avant = stocke("MED1", 2);
    MessagesScriptes messages;
    QVERIFY(!remplacerThesaurusParFichier(chemin, "MED1", 2));
    QCOMPARE(stocke("MED1", 2), avant);
    QCOMPARE(messages.journal().size(), size_t(1));
    const MessageAffiche& m = messages.journal().front();
    QFETCH(QString, texte);
    QCOMPARE(m.texte, texte.contains("%1") ? texte.arg(chemin) : texte);
    QTEST(m.titre, "titre");
    QTEST(int(m.icone), "icone");
    QCOMPARE(m.boutons, Boutons::Ok);
}

void TestEchange::remplacementEchecBase() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    // The database refuses one act of the file, after the old categories were
    // deleted and some new ones inserted.
    base.refuser(QStringLiteral("refus"), QStringLiteral("INSERT"),
                 QStringLiteral("Acte_Thesaurus"), QStringLiteral("refusé"),
                 QStringLiteral("NEW.AT_Acte = 'BOUM'"));
    const QString chemin = base.dossier() + "/boum.txt";
    ecrire(chemin, "entete\r\nNouvelle\tACTE001\r\nCassee\tACTE002\tBOUM\r\n");
    const QStringList avant = stocke("MED1", 2);
    const long long categories = base.compter("SELECT count(*) FROM CategorieThesaurus");
    MessagesScriptes messages;
    QVERIFY(!remplacerThesaurusParFichier(chemin, "MED1", 2));
    QCOMPARE(stocke("MED1", 2), avant);
    QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus"), categories);
    QCOMPARE(messages.journal().size(), size_t(1));
    QCOMPARE(messages.journal().front().titre, QString("ERREUR"));
    // The plain import is all or nothing as well.
    QVERIFY(!importerThesaurus(chemin, "MED1", 2));
    QCOMPARE(stocke("MED1", 2), avant);
}

void TestEchange::remplacementReussi() {
    BaseDeTest base;
    remplirThesaurusDeTest(base);
    const QString chemin = base.dossier() + "/nouveau.txt";
    ecrire(chemin, "entete\r\nNouvelle\tACTE002\r\n");
    QVERIFY(remplacerThesaurusParFichier(chemin, "MED1", 2));
    QCOMPARE(stocke("MED1", 2), QStringList({"[Nouvelle] ACTE002/"}));
    // Old acts went with their categories; the unit thesaurus is untouched.
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), 3LL);
    QCOMPARE(stocke("UM1", 1).size(), 2);
}

QTEST_GUILESS_MAIN(TestEchange)
#include "tst_echange.moc"
