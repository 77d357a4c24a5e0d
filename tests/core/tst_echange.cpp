// Thesaurus text files: both export layouts byte for byte, the import with its
// edge cases and encodings, and the replacement of a thesaurus by a file that
// never loses the old thesaurus on failure.

#include "BaseDeTest.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
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
        RecordsetPtr actes = Data().CreeRecordset(
            "SELECT AT_Acte, AT_ACTIVITE FROM Acte_Thesaurus WHERE AT_CAT = " +
            QString::number(cats->Fields("CT_CODE").toLongLong()) + " ORDER BY rowid");
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

    void allerRetourUniteVersMedecin();
    void importCasLimites();
    void importEnteteSeule();
    void importEncodages_data();
    void importEncodages();
    void importProgression();
    void importGrosFichiers();

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
                                       "bre\tACTE001\r\n");
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
                                       "\tPremi\xE8re phase\r\n\tDeuxi\xE8me phase\r\n");
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
    // An empty line gives a category with an empty label; two TABs give an act
    // with an empty code; a label alone gives an empty category; the last line
    // has no line end.
    ecrire(chemin, "01/01/2020\tUM1 - Cardiologie\r\n"
                   "Cat A\tACTE001\r\n"
                   "\r\n"
                   "Cat B\t\tACTE002\r\n"
                   "Seule\r\n"
                   "Fin\tACTE003\tACTE003");
    QVERIFY(importerThesaurus(chemin, "MED3", 2));
    QCOMPARE(stocke("MED3", 2), QStringList({"[]", "[Cat A] ACTE001/", "[Cat B] / ACTE002/",
                                             "[Fin] ACTE003/ ACTE003/", "[Seule]"}));
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
    base.executer("CREATE TRIGGER refus BEFORE INSERT ON Acte_Thesaurus WHEN NEW.AT_Acte = "
                  "'BOUM' BEGIN SELECT RAISE(ABORT, 'refusé'); END");
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
