// The label index and the vocabulary: the indexed keyword search gives the
// rows of the plain scan, an older file without the index is searched and
// left as it was, every load rebuilds both, and the spelling suggestion.

#include "BaseDeTest.h"
#include "ClassificationCcam.h"
#include "Data.h"
#include "FichiersDeTest.h"
#include "ImportCcam.h"
#include "IndexLibelles.h"
#include "Messages.h"
#include "RechercheMotCle.h"
#include "Suggestion.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sqlite3.h>

using namespace RechercheMotCle;

namespace {

QString donnees(const QString& nom) {
    return QDir(QStringLiteral(TARVENOR_TESTS_DIR "/data")).filePath(nom);
}

// Every row of a query, all columns, as text.
QStringList lignes(const QString& sql) {
    RecordsetPtr rs = Data().CreeRecordset(sql);
    QStringList r;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        QStringList champs;
        for (int i = 0; i < rs->FieldCount(); ++i)
            champs << (rs->Fields(i).isNull() ? QStringLiteral("<NULL>")
                                              : rs->Fields(i).toString());
        r << champs.join(u'|');
    }
    return r;
}

enum class Comparaison { Differentes, Balayage, Index };

// Index and scan compared on one typed text.
Comparaison comparer(const QString& saisie) {
    const QStringList mots = motsCles(saisie);
    const QString balayage = sqlRecherche(mots, false);
    const QString indexee = sqlRechercheIndexee(mots, false);
    if (indexee == balayage)
        return Comparaison::Balayage;
    const QStringList attendu = lignes(balayage);
    const QStringList obtenu = lignes(indexee);
    if (obtenu != attendu) {
        qWarning().noquote() << "recherche" << saisie << ":" << obtenu.size() << "lignes au lieu de"
                             << attendu.size();
        return Comparaison::Differentes;
    }
    return Comparaison::Index;
}

// The index rebuilt as a load does, on the database in use.
void reconstruireIndex() {
    ConnexionPtr c = Data().CreeConnexion();
    Transaction t(*c);
    IndexLibelles::reconstruire(*c);
    t.valider();
}

void ajouterActe(const BaseDeTest& base, const QString& code, const QString& libelle) {
    base.executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Court, "
                                 "Libelle_Complet, Libelle_sans_accent, Libelle_simplifie) VALUES "
                                 "('%1', '1', '0', '%2', '%2', '%3', '%4')")
                      .arg(code, doublerQuotes(libelle), doublerQuotes(libelleSansAccent(libelle)),
                           doublerQuotes(libelleSimplifie(libelle))));
}

// Rows of CCAM the index lacks, plus rows of the index CCAM lacks.
long long ecartIndex(const BaseDeTest& base) {
    const QString ccam =
        QStringLiteral("SELECT DISTINCT AMCODE, coalesce(Libelle_sans_accent, '') || char(10) || "
                       "coalesce(Libelle_simplifie, '') FROM CCAM");
    const QString index = QStringLiteral("SELECT AMCODE, Libelles FROM CCAM_Recherche");
    return base.compter(QStringLiteral("SELECT count(*) FROM (%1 EXCEPT %2)").arg(ccam, index)) +
           base.compter(QStringLiteral("SELECT count(*) FROM (%2 EXCEPT %1)").arg(ccam, index));
}

} // namespace

class tst_indexLibelles : public QObject {
    Q_OBJECT
private slots:
    void requete_data();
    void requete();
    void memesLignesQueLeBalayage();
    void nouvelleBaseIndexee();
    void ancienneBaseSansIndex();
    void indexSuitChaqueChargement();
    void indexPerimeSansChargement();
    void vocabulaire();
    void distance_data();
    void distance();
    void suggestion_data();
    void suggestion();
};

void tst_indexLibelles::requete_data() {
    QTest::addColumn<QStringList>("mots");
    QTest::addColumn<QString>("attendue");
    QTest::newRow("un mot") << QStringList{"rein"} << "\"rein\"";
    QTest::newRow("deux mots") << QStringList{"biopsie", "foie"} << "\"biopsie\" AND \"foie\"";
    QTest::newRow("mot court") << QStringList{"os"} << "";
    QTest::newRow("court et long") << QStringList{"os", "femur"} << "\"femur\"";
    QTest::newRow("jokers") << QStringList{"ab%cde_fghi"} << "\"cde\" AND \"fghi\"";
    QTest::newRow("joker seul") << QStringList{"%"} << "";
    QTest::newRow("apostrophe") << QStringList{"l''os"} << "\"l'os\"";
    QTest::newRow("guillemet") << QStringList{"a\"bc"} << "\"a\"\"bc\"";
    QTest::newRow("ligature") << QStringList{QString::fromUtf8("cœur")} << "";
    QTest::newRow("mot répété") << QStringList{"rein", "rein"} << "\"rein\"";
}

void tst_indexLibelles::requete() {
    QFETCH(QStringList, mots);
    QFETCH(QString, attendue);
    QCOMPARE(requeteIndex(mots), attendue);
    // A code search never goes through the label index.
    QCOMPARE(sqlRechercheIndexee(mots, true), sqlRecherche(mots, true));
}

// A few hundred searches made of the words of the labels themselves (whole,
// cut, in capitals, with their accents, two by two, with wildcards), compared
// row for row; on the national classification when its files are there.
void tst_indexLibelles::memesLignesQueLeBalayage() {
    const QString national = dossierCcamNational();
    std::unique_ptr<BaseDeTest> base;
    if (national.isEmpty()) {
        base = std::make_unique<BaseDeTest>(true);
    } else {
        base = std::make_unique<BaseDeTest>();
        ImportCcam(QDir(national).filePath(QStringLiteral("ccam_v81.csv")), national)
            .charger(base->chemin());
    }
    MessagesScriptes messages;
    RecordsetPtr vocabulaire = Data().CreeRecordset(
        QStringLiteral("SELECT Mot, Forme FROM CCAM_Vocabulaire ORDER BY Frequence DESC, Mot"));
    QVERIFY(vocabulaire->RecordCount() > 20);
    QStringList saisies{QStringLiteral("appendicectomie  coelioscopie"),
                        QStringLiteral("biopsie foie"),
                        QStringLiteral("ablation rein"),
                        QString::fromUtf8("fracture fémur"),
                        QString::fromUtf8("FRACTURE FÉMUR"),
                        QString::fromUtf8("césarienne"),
                        QString::fromUtf8("œil"),
                        QString::fromUtf8("ŒIL"),
                        QString::fromUtf8("cœur"),
                        QStringLiteral("l'os"),
                        QStringLiteral("d'un"),
                        QStringLiteral("%"),
                        QStringLiteral("_"),
                        QStringLiteral("%%%"),
                        QStringLiteral("___"),
                        QStringLiteral("a"),
                        QStringLiteral("de"),
                        QStringLiteral("\""),
                        QStringLiteral("a\"b\"c"),
                        QStringLiteral("abc*"),
                        QStringLiteral("NEAR(abc def)"),
                        QStringLiteral("rein OR foie"),
                        QStringLiteral("-rein"),
                        QStringLiteral("col:onne"),
                        QStringLiteral("^rein"),
                        QString(500, u'e')};
    const int n = vocabulaire->RecordCount();
    const int pas = std::max(1, n / 40);
    int i = 0;
    for (vocabulaire->MoveFirst(); !vocabulaire->isEOF(); vocabulaire->MoveNext(), ++i) {
        if (i % pas != 0)
            continue;
        const QString mot = vocabulaire->Fields(0).toString();
        const QString forme = vocabulaire->Fields(1).toString();
        saisies << mot << forme << forme.toUpper() << mot.left(4) << mot.left(2)
                << mot.left(2) + u'%' + mot.right(3) << QString(mot).replace(1, 1, u'_')
                << mot + u' ' + saisies.at(saisies.size() - 7);
    }
    // A search the index cannot narrow runs the very text of the scan.
    int indexees = 0;
    for (const QString& s : saisies) {
        const Comparaison c = comparer(s);
        QVERIFY2(c != Comparaison::Differentes, qPrintable(s));
        indexees += c == Comparaison::Index;
    }
    QVERIFY2(saisies.size() >= 300, qPrintable(QString::number(saisies.size())));
    QVERIFY2(indexees >= saisies.size() / 2, qPrintable(QString::number(indexees)));
    // The search the panel runs gives the same rows.
    for (const QString& s :
         {QStringLiteral("biopsie foie"), QStringLiteral("de"), QStringLiteral("l'os"),
          QStringLiteral("rein%tomie"), QStringLiteral("_ein")}) {
        RecordsetPtr rs = rechercher(motsCles(s), false);
        QVERIFY(rs);
        QCOMPARE(rs->RecordCount(), lignes(sqlRecherche(motsCles(s), false)).size());
    }
    QVERIFY(messages.journal().empty());

    if (!national.isEmpty()) {
        QCOMPARE(saisieCorrigee(QStringLiteral("apendicectomie")),
                 QStringLiteral("appendicectomie"));
        QCOMPARE(saisieCorrigee(QStringLiteral("cesariene")), QString::fromUtf8("césarienne"));
        QCOMPARE(saisieCorrigee(QStringLiteral("artroscopie")), QStringLiteral("arthroscopie"));
        QCOMPARE(saisieCorrigee(QStringLiteral("biopsie foie")), QString());
    }
}

// A file from the schema holds the (empty) index; the demonstration
// database holds one that describes its acts.
void tst_indexLibelles::nouvelleBaseIndexee() {
    {
        BaseDeTest base;
        QVERIFY(IndexLibelles::present(*Data().CreeConnexion()));
        RecordsetPtr rs = rechercher(motsCles(QStringLiteral("biopsie")), false);
        QVERIFY(rs);
        QCOMPARE(rs->RecordCount(), 0);
        QCOMPARE(saisieCorrigee(QStringLiteral("biopsie")), QString());
    }
    BaseDeTest demonstration(true);
    QVERIFY(IndexLibelles::present(*Data().CreeConnexion()));
    QCOMPARE(ecartIndex(demonstration), 0);
    QVERIFY(demonstration.compter(QStringLiteral("SELECT count(*) FROM CCAM_Recherche")) > 0);
    QCOMPARE(demonstration.compter(QStringLiteral("SELECT count(*) FROM CCAM_Vocabulaire WHERE Mot "
                                                  "= 'arthroscopie'")),
             1);
    QCOMPARE(saisieCorrigee(QStringLiteral("artroscopie")), QStringLiteral("arthroscopie"));
}

// A file made before the index: searched by the scan, suggestions empty,
// not a byte changed by opening, searching or asking for a suggestion; the
// next load gives it the index.
void tst_indexLibelles::ancienneBaseSansIndex() {
    BaseDeTest base(true);
    for (const char* objet : {"TRIGGER CCAM_Recherche_ajout", "TRIGGER CCAM_Recherche_modification",
                              "TRIGGER CCAM_Recherche_suppression", "TABLE CCAM_Recherche",
                              "TABLE CCAM_Vocabulaire", "TABLE CCAM_Recherche_Etat"})
        base.executer(QStringLiteral("DROP %1").arg(QLatin1String(objet)));
    base.executer(QStringLiteral("VACUUM"));
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());
    MessagesScriptes messages;
    QVERIFY(Data().ConnexionCorrecte());
    QVERIFY(!IndexLibelles::present(*Data().CreeConnexion()));
    const QStringList mots = motsCles(QStringLiteral("arthroscopie genou"));
    RecordsetPtr rs = rechercher(mots, false);
    QVERIFY(rs);
    QVERIFY(rs->RecordCount() > 0);
    QCOMPARE(colonne(rs), colonne(Data().CreeRecordset(sqlRecherche(mots, false))));
    QCOMPARE(saisieCorrigee(QStringLiteral("artroscopie")), QString());
    QVERIFY(libelleContient(QStringLiteral("genou")));
    QVERIFY(messages.journal().empty());
    Data::fermerConnexions();
    QCOMPARE(lireOctets(base.chemin()), avant);

    ImportCcam(donnees(QStringLiteral("ccam_mini.csv"))).charger(base.chemin());
    ConnexionPtr c = Data().CreeConnexion();
    QVERIFY(IndexLibelles::present(*c));
    QCOMPARE(ecartIndex(base), 0);
    QVERIFY(base.compter(QStringLiteral("SELECT count(*) FROM CCAM_Vocabulaire")) > 0);
}

// A load replaces the index with the classification, in the same
// transaction: a word gone from the labels is found neither by the index nor
// by the vocabulary.
void tst_indexLibelles::indexSuitChaqueChargement() {
    BaseDeTest base;
    MessagesScriptes messages;
    ImportCcam(donnees(QStringLiteral("ccam_mini.csv"))).charger(base.chemin());
    QCOMPARE(ecartIndex(base), 0);
    QCOMPARE(comparer(QStringLiteral("craniotomie")), Comparaison::Index);
    QCOMPARE(rechercher(motsCles(QStringLiteral("craniotomie")), false)->RecordCount(), 1);

    QFile source(donnees(QStringLiteral("ccam_mini.csv")));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray texte = source.readAll();
    texte.replace("craniotomie", "trepanation");
    const QString modifie = QDir(base.dossier()).filePath(QStringLiteral("ccam_modifiee.csv"));
    QFile cible(modifie);
    QVERIFY(cible.open(QIODevice::WriteOnly));
    cible.write(texte);
    cible.close();
    ImportCcam(modifie).charger(base.chemin());

    QCOMPARE(ecartIndex(base), 0);
    QCOMPARE(rechercher(motsCles(QStringLiteral("craniotomie")), false)->RecordCount(), 0);
    QCOMPARE(rechercher(motsCles(QStringLiteral("trepanation")), false)->RecordCount(), 1);
    QCOMPARE(comparer(QStringLiteral("trepanation")), Comparaison::Index);
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM CCAM_Vocabulaire WHERE Mot = "
                                         "'craniotomie'")),
             0);
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM CCAM_Vocabulaire WHERE Mot = "
                                         "'trepanation'")),
             1);
    // The vocabulary kept in memory follows the load too.
    QCOMPARE(saisieCorrigee(QStringLiteral("trepanatoin")), QStringLiteral("trepanation"));
    QVERIFY(messages.journal().empty());
}

// Act rows changed by anything but a load (another program, an earlier
// version loading a classification, a SQLite tool): the index is no longer
// used until the next load, and the search still finds what the rows hold.
void tst_indexLibelles::indexPerimeSansChargement() {
    BaseDeTest base;
    MessagesScriptes messages;
    ImportCcam(donnees(QStringLiteral("ccam_mini.csv"))).charger(base.chemin());
    QVERIFY(IndexLibelles::present(*Data().CreeConnexion()));
    QCOMPARE(saisieCorrigee(QStringLiteral("craniotomei")), QStringLiteral("craniotomie"));
    QCOMPARE(rechercher(motsCles(QStringLiteral("trepanation")), false)->RecordCount(), 0);

    sqlite3* autre = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(base.chemin()).constData(), &autre), SQLITE_OK);
    QCOMPARE(sqlite3_exec(autre,
                          "UPDATE CCAM SET Libelle_sans_accent = 'Trepanation fictive', "
                          "Libelle_simplifie = 'trepanation fictive' WHERE AMCODE = 'AAFA001'",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    // The search that follows, asked before anything else reads the file,
    // already sees that the index no longer describes the rows.
    QCOMPARE(rechercher(motsCles(QStringLiteral("trepanation")), false)->RecordCount(), 1);
    QVERIFY(!IndexLibelles::present(*Data().CreeConnexion()));
    QCOMPARE(rechercher(motsCles(QStringLiteral("trepanation")), false)->RecordCount(), 1);
    QCOMPARE(saisieCorrigee(QStringLiteral("craniotomei")), QString());

    ImportCcam(donnees(QStringLiteral("ccam_mini.csv"))).charger(base.chemin());
    QVERIFY(IndexLibelles::present(*Data().CreeConnexion()));
    QCOMPARE(ecartIndex(base), 0);
    // A load that knows nothing of the index: every row deleted, then added.
    QCOMPARE(sqlite3_exec(autre,
                          "BEGIN; CREATE TEMP TABLE copie AS SELECT * FROM CCAM; DELETE FROM CCAM; "
                          "INSERT INTO CCAM SELECT * FROM copie; COMMIT",
                          nullptr, nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(autre);
    QVERIFY(!IndexLibelles::present(*Data().CreeConnexion()));
    QCOMPARE(rechercher(motsCles(QStringLiteral("craniotomie")), false)->RecordCount(), 1);
    QVERIFY(messages.journal().empty());
}

void tst_indexLibelles::vocabulaire() {
    QCOMPARE(
        IndexLibelles::motsDuLibelle(
            QString::fromUtf8("Appendicectomie, par cœlioscopie (l'os) 3D ; T12 ECG")),
        (QStringList{"Appendicectomie", "par", QString::fromUtf8("cœlioscopie"), "T12", "ECG"}));
    BaseDeTest base;
    ajouterActe(base, "HHFA016", QString::fromUtf8("Appendicectomie, par cœlioscopie"));
    ajouterActe(base, "HHFA011", QString::fromUtf8("Appendicectomie, par laparotomie"));
    ajouterActe(base, "JQGA002", QString::fromUtf8("Accouchement par césarienne programmée"));
    ajouterActe(base, "DEQP003", QString::fromUtf8("Électrocardiographie [ECG]"));
    reconstruireIndex();
    auto forme = [&](const char* mot) {
        RecordsetPtr rs = Data().CreeRecordset(
            QStringLiteral("SELECT Forme, Frequence FROM CCAM_Vocabulaire WHERE Mot = '%1'")
                .arg(QString::fromUtf8(mot)));
        return rs->isEOF() ? QString() : rs->Fields(0).toString() + u' ' + rs->Fields(1).toString();
    };
    QCOMPARE(forme("appendicectomie"), QStringLiteral("appendicectomie 2"));
    QCOMPARE(forme("cesarienne"), QString::fromUtf8("césarienne 1"));
    QCOMPARE(forme("coelioscopie"), QString::fromUtf8("cœlioscopie 1"));
    QCOMPARE(forme("electrocardiographie"), QString::fromUtf8("électrocardiographie 1"));
    QCOMPARE(forme("ecg"), QStringLiteral("ECG 1"));
    QCOMPARE(forme("par"), QStringLiteral("par 3"));
}

void tst_indexLibelles::distance_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("plafond");
    QTest::addColumn<int>("attendue");
    QTest::newRow("égaux") << "rein"
                           << "rein" << 2 << 0;
    QTest::newRow("une lettre de moins") << "apendicectomie"
                                         << "appendicectomie" << 2 << 1;
    QTest::newRow("deux changements") << "cesariene"
                                      << "cesarienne" << 2 << 1;
    QTest::newRow("lettres échangées") << "biospie"
                                       << "biopsie" << 2 << 1;
    QTest::newRow("deux échanges") << "biospei"
                                   << "biopsie" << 2 << 2;
    QTest::newRow("au-delà du plafond") << "kitten"
                                        << "sitting" << 2 << 3;
    QTest::newRow("dans le plafond") << "kitten"
                                     << "sitting" << 3 << 3;
    QTest::newRow("longueurs trop différentes") << "rein"
                                                << "reinxyz" << 2 << 3;
    QTest::newRow("vide") << ""
                          << "ab" << 2 << 2;
    QTest::newRow("tout différent") << "abcdef"
                                    << "uvwxyz" << 2 << 3;
}

void tst_indexLibelles::distance() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, plafond);
    QFETCH(int, attendue);
    QCOMPARE(distanceEdition(a, b, plafond), attendue);
    QCOMPARE(distanceEdition(b, a, plafond), attendue);
}

void tst_indexLibelles::suggestion_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<QString>("attendue");
    QTest::newRow("lettre oubliée") << "apendicectomie"
                                    << "appendicectomie";
    QTest::newRow("accent rendu") << "cesariene" << QString::fromUtf8("césarienne");
    QTest::newRow("capitale") << "Cesariene" << QString::fromUtf8("césarienne");
    QTest::newRow("h oublié") << "artroscopie"
                              << "arthroscopie";
    QTest::newRow("le mot juste gardé tel quel")
        << QString::fromUtf8("artroscopie GENOU") << "arthroscopie GENOU";
    QTest::newRow("deux mots corrigés")
        << "apendicectomie  celioscopie" << QString::fromUtf8("appendicectomie cœlioscopie");
    QTest::newRow("à égalité, le plus fréquent") << "rain"
                                                 << "rein";
    QTest::newRow("rien à corriger") << "biopsie foie"
                                     << "";
    QTest::newRow("mot coupé trouvé tel quel") << "arthro"
                                               << "";
    QTest::newRow("rien d'assez proche") << "zzyzzyq"
                                         << "";
    QTest::newRow("un mot sans voisin") << "apendicectomie zzyzzyq"
                                        << "";
    QTest::newRow("mot court") << "xq"
                               << "";
    QTest::newRow("mot court trouvé gardé") << "apendicectomie du"
                                            << "appendicectomie du";
    QTest::newRow("mot court introuvable") << "apendicectomie xq" << QString();
    QTest::newRow("joker trouvé gardé") << "artroscopie gen%"
                                        << "arthroscopie gen%";
    QTest::newRow("joker") << "apendi%"
                           << "";
    QTest::newRow("pour cent seul") << "%"
                                    << "";
    QTest::newRow("blancs seuls") << "      "
                                  << "";
    QTest::newRow("vide") << ""
                          << "";
    QTest::newRow("500 caractères") << QString(500, u'a') << "";
    QTest::newRow("500 caractères en mots") << QStringLiteral("artroscopie ").repeated(42) << "";
    QTest::newRow("apostrophe") << "l'artroscopie"
                                << "";
}

void tst_indexLibelles::suggestion() {
    QFETCH(QString, saisie);
    QFETCH(QString, attendue);
    // The vocabulary read from its one text, then from the rows of an index
    // whose mark row has no text (built before it, or by an earlier version
    // of the program); each the first suggestion of the file, then a second
    // one from the vocabulary kept in memory.
    for (const bool indexSansTexte : {false, true}) {
        BaseDeTest base;
        MessagesScriptes messages;
        ajouterActe(base, "HHFA016", QString::fromUtf8("Appendicectomie, par cœlioscopie"));
        ajouterActe(base, "HHFA011", QString::fromUtf8("Appendicectomie, par laparotomie"));
        ajouterActe(base, "JQGA002", QString::fromUtf8("Accouchement par césarienne programmée"));
        ajouterActe(base, "JQGA004", QString::fromUtf8("Césarienne en urgence"));
        ajouterActe(base, "NFFC004", QString::fromUtf8("Arthroscopie du genou"));
        ajouterActe(base, "HLHJ003", QString::fromUtf8("Biopsie du foie"));
        ajouterActe(base, "JAFA002", QString::fromUtf8("Ablation du rein"));
        ajouterActe(base, "JAFA003", QString::fromUtf8("Biopsie du rein"));
        ajouterActe(base, "ZZZZ001", QString::fromUtf8("Acte de la main"));
        reconstruireIndex();
        if (indexSansTexte)
            for (const char* sql : {"DROP TABLE CCAM_Recherche_Etat",
                                    "CREATE TABLE CCAM_Recherche_Etat (Valide INTEGER)",
                                    "INSERT INTO CCAM_Recherche_Etat VALUES (1)"})
                base.executer(QString::fromLatin1(sql));
        QCOMPARE(saisieCorrigee(saisie), attendue);
        QCOMPARE(saisieCorrigee(saisie), attendue);
        QVERIFY(messages.journal().empty());
    }
}

QTEST_GUILESS_MAIN(tst_indexLibelles)
#include "tst_indexLibelles.moc"
