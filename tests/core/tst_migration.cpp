// Migration of a unit's database into another database: what is copied, the
// numbers the target gives and the references that follow them, the clashes
// that stop it with nothing written, and the classification kept when the
// target has one.

#include "BaseDeTest.h"
#include "Data.h"
#include "FichiersDeTest.h"
#include "Messages.h"
#include "MigrationBase.h"
#include "ThesaurusDeTest.h"

#include <QtTest>

namespace {

QStringList lire(const QString& chemin, const QString& sql) {
    QStringList l;
    const RecordsetPtr rs = Data(chemin).CreeRecordset(sql);
    for (int i = 0; i < rs->RecordCount(); ++i) {
        QStringList champs;
        for (int c = 0; c < rs->FieldCount(); ++c) {
            const QVariant& v = rs->valeurLigne(i, c);
            champs << (v.isNull() ? QStringLiteral("<NULL>") : v.toString());
        }
        l << champs.join(QLatin1Char('|'));
    }
    l.sort();
    return l;
}

long long compter(const QString& chemin, const QString& table) {
    return lire(chemin, QStringLiteral("SELECT count(*) FROM ") + table).value(0).toLongLong();
}

// A thesaurus as its owner sees it: each category label with its acts and
// their activity, whatever the category numbers.
QStringList thesaurus(const QString& chemin, int type, const QString& lien) {
    return lire(chemin, QStringLiteral("SELECT CT_LIB, AT_Acte, AT_ACTIVITE FROM "
                                       "CategorieThesaurus LEFT JOIN Acte_Thesaurus ON AT_CAT = "
                                       "CT_CODE WHERE CT_TYPE = %1 AND CT_LIEN = '%2'")
                            .arg(type)
                            .arg(doublerQuotes(lien)));
}

// A target that already has people and thesauri, so that the numbers the
// source used are taken.
void remplirCible(const BaseDeTest& cible) {
    cible.executer(QStringLiteral("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('CARD', "
                                  "'CARDIOLOGIE')"));
    for (int i = 0; i < 7; ++i)
        cible.ajouterUtilisateur(QStringLiteral("AUTRE%1").arg(i), QStringLiteral("X"),
                                 QStringLiteral("MEDECIN"));
    cible.executer(QStringLiteral("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_UM, MED_ACT, "
                                  "MED_CODEUTI) VALUES ('DCARD', 'CARDIO', 'CARD', '1', 1)"));
    for (int i = 0; i < 40; ++i)
        cible.executer(QStringLiteral("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) "
                                      "VALUES (2, 'Cat %1', 'DCARD')")
                           .arg(i));
    cible.executer(
        QStringLiteral("INSERT INTO Acte_Thesaurus (AT_Acte, AT_CAT, AT_ACTIVITE, AT_LIB) VALUES "
                       "('DEQP003', 1, '', '')"));
}

} // namespace

class TestMigration : public QObject {
    Q_OBJECT
private slots:
    void migrationComplete();
    void conflits_data();
    void conflits();
    void classificationConservee();
    void lignesOrphelines();
    void basesInvalides_data();
    void basesInvalides();
    void memeBase();
};

void TestMigration::migrationComplete() {
    BaseDeTest source(true);
    BaseDeTest cible;
    remplirCible(cible);
    Data::fermerConnexions();
    const QByteArray octetsSource = lireOctets(source.chemin());
    const QStringList tables{QStringLiteral("UniteMedicale"),
                             QStringLiteral("Utilisateur"),
                             QStringLiteral("Medecin"),
                             QStringLiteral("CategorieThesaurus"),
                             QStringLiteral("Acte_Thesaurus"),
                             QStringLiteral("CCAM"),
                             QStringLiteral("Actes_Associes"),
                             QStringLiteral("Hierarchie4"),
                             QStringLiteral("Notes_Utilisation_Actes")};
    QMap<QString, long long> avant;
    for (const QString& t : tables)
        avant[t] = compter(cible.chemin(), t);

    ProgressionEnregistree progression;
    MessagesScriptes messages;
    const ResultatMigration r = migrerBase(source.chemin(), cible.chemin());
    QVERIFY2(r.resultat.estFait(), qPrintable(r.resultat.message));
    QVERIFY(messages.journal().empty());
    QVERIFY(r.classificationCopiee);
    QVERIFY(!r.classificationConservee);

    // Every row counted and written.
    for (const QString& t : tables) {
        const long long n = compter(source.chemin(), t);
        QVERIFY2(n > 0, qPrintable(t));
        QCOMPARE(r.compte(t), int(n));
        QCOMPARE(compter(cible.chemin(), t), avant[t] + n);
    }
    QVERIFY(r.texte().contains(QStringLiteral("Classification : copiée")));

    // Each doctor keeps his account: the login found through MED_CODEUTI.
    const QString comptes = QStringLiteral("SELECT MED_CODE, UTI_LOGIN, UTI_PWD, UTI_GROUP FROM "
                                           "Medecin INNER JOIN Utilisateur ON MED_CODEUTI = "
                                           "UTI_CODE WHERE MED_CODE <> 'DCARD'");
    QCOMPARE(lire(cible.chemin(), comptes), lire(source.chemin(), comptes));
    // New numbers were given: the source's were taken.
    QVERIFY(lire(cible.chemin(), QStringLiteral("SELECT UTI_CODE FROM Utilisateur WHERE "
                                                "UTI_LOGIN = 'ADMIN'")) !=
            lire(source.chemin(), QStringLiteral("SELECT UTI_CODE FROM Utilisateur WHERE "
                                                 "UTI_LOGIN = 'ADMIN'")));
    // Every thesaurus is the same, category by category, act by act.
    for (const QString& ligne : lire(source.chemin(), QStringLiteral("SELECT DISTINCT CT_TYPE, "
                                                                     "CT_LIEN FROM "
                                                                     "CategorieThesaurus"))) {
        const int type = ligne.section(u'|', 0, 0).toInt();
        const QString lien = ligne.section(u'|', 1);
        const QStringList attendu = thesaurus(source.chemin(), type, lien);
        QVERIFY(!attendu.isEmpty());
        QCOMPARE(thesaurus(cible.chemin(), type, lien), attendu);
    }
    // The target's own thesaurus untouched.
    QCOMPARE(compter(cible.chemin(), QStringLiteral("CategorieThesaurus WHERE CT_LIEN = 'DCARD'")),
             40);
    QCOMPARE(lire(cible.chemin(), QStringLiteral("SELECT AT_Acte FROM Acte_Thesaurus WHERE "
                                                 "AT_CAT = 1")),
             QStringList{QStringLiteral("DEQP003")});

    // Progress from empty to full, then closed.
    QVERIFY(progression.journal.value(0).startsWith(QStringLiteral("debut Migration de la base")));
    QCOMPARE(progression.journal.last(), QStringLiteral("fin"));
    long long pas = 0;
    for (const QString& l : progression.journal)
        if (l.startsWith(QStringLiteral("avancer ")))
            pas += l.mid(8).toLongLong();
    QCOMPARE(QString::number(pas), progression.journal.value(0).section(u' ', -1));

    // The source was only read.
    QCOMPARE(lireOctets(source.chemin()), octetsSource);
}

void TestMigration::conflits_data() {
    QTest::addColumn<QString>("instruction");
    QTest::addColumn<QStringList>("attendus");
    QTest::newRow("identifiant")
        << QStringLiteral("INSERT INTO Utilisateur (UTI_LOGIN, UTI_GROUP) VALUES ('MARTIN', 'DIM')")
        << QStringList{QStringLiteral("identifiant « MARTIN »")};
    QTest::newRow("code médecin")
        << QStringLiteral("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_CODEUTI) VALUES "
                          "('PBERNARD', 'AUTRE', 99)")
        << QStringList{QStringLiteral("code médecin « PBERNARD »")};
    QTest::newRow("code d'unité")
        << QStringLiteral("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('ORTH', 'X')")
        << QStringList{QStringLiteral("code d'unité « ORTH »")};
    // A thesaurus left by a unit or doctor since removed still has an owner.
    QTest::newRow("thésaurus d'une unité")
        << QStringLiteral("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) VALUES (1, "
                          "'Ancienne', 'VISC')")
        << QStringList{QStringLiteral("code d'unité « VISC »")};
    QTest::newRow("plusieurs")
        << QStringLiteral(
               "INSERT INTO Utilisateur (UTI_LOGIN) VALUES ('DIM'); INSERT INTO Utilisateur "
               "(UTI_LOGIN) VALUES ('ADMIN'); INSERT INTO Medecin (MED_CODE) VALUES ('ALEROY')")
        << QStringList{QStringLiteral("code médecin « ALEROY »"),
                       QStringLiteral("identifiant « ADMIN »"),
                       QStringLiteral("identifiant « DIM »")};
    // Another case of a code is another code, as every look-up compares.
    QTest::newRow("autre casse") << QStringLiteral(
                                        "INSERT INTO Utilisateur (UTI_LOGIN) VALUES ('martin')")
                                 << QStringList();
}

void TestMigration::conflits() {
    QFETCH(QString, instruction);
    QFETCH(QStringList, attendus);
    BaseDeTest source(true);
    BaseDeTest cible;
    cible.executer(instruction);
    Data::fermerConnexions();
    const QByteArray octets = lireOctets(cible.chemin());

    const ResultatMigration r = migrerBase(source.chemin(), cible.chemin());
    QCOMPARE(r.conflits, attendus);
    if (attendus.isEmpty()) {
        QVERIFY(r.resultat.estFait());
        return;
    }
    QVERIFY(r.resultat.estRefus());
    for (const QString& a : attendus)
        QVERIFY2(r.resultat.message.contains(QStringLiteral("- ") + a),
                 qPrintable(r.resultat.message));
    QVERIFY(r.resultat.message.contains(QStringLiteral("Rien n'a été écrit dans la base cible.")));
    QCOMPARE(lireOctets(cible.chemin()), octets);
}

void TestMigration::classificationConservee() {
    BaseDeTest source(true);
    BaseDeTest cible;
    cible.executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Complet) "
                                  "VALUES ('ZZZZ001', '1', '0', 'Version de la cible')"));
    const ResultatMigration r = migrerBase(source.chemin(), cible.chemin());
    QVERIFY2(r.resultat.estFait(), qPrintable(r.resultat.message));
    QVERIFY(r.classificationConservee);
    QVERIFY(!r.classificationCopiee);
    QCOMPARE(r.compte(QStringLiteral("CCAM")), 0);
    QCOMPARE(lire(cible.chemin(), QStringLiteral("SELECT AMCODE FROM CCAM")),
             QStringList{QStringLiteral("ZZZZ001")});
    QCOMPARE(compter(cible.chemin(), QStringLiteral("Hierarchie1")), 0);
    QVERIFY(r.texte().contains(QStringLiteral("la base cible a déjà la sienne, elle est "
                                              "conservée")));
    // The thesaurus acts that version lacks are named, once each.
    const QStringList actesSource = lire(source.chemin(), QStringLiteral("SELECT DISTINCT "
                                                                         "AT_Acte FROM "
                                                                         "Acte_Thesaurus"));
    QVERIFY2(r.texte().contains(QStringLiteral("%1 code(s) d'acte des thésaurus absent(s) de la "
                                               "classification de la base cible")
                                    .arg(actesSource.size())),
             qPrintable(r.texte()));
    // The people and thesauri were still copied.
    QCOMPARE(compter(cible.chemin(), QStringLiteral("Utilisateur")),
             compter(source.chemin(), QStringLiteral("Utilisateur")));
}

void TestMigration::lignesOrphelines() {
    // An act of a category the source lacks is not copied (it has no
    // category to follow); a doctor whose account is gone keeps no number.
    BaseDeTest source(true);
    source.executer(QStringLiteral("INSERT INTO Acte_Thesaurus (AT_Acte, AT_CAT, AT_ACTIVITE, "
                                   "AT_LIB) VALUES ('DEQP003', 9999, '', 'x')"));
    source.executer(QStringLiteral("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_CODEUTI) VALUES "
                                   "('SEUL', 'Sans compte', 777)"));
    source.executer(QStringLiteral("INSERT INTO Utilisateur (UTI_LOGIN, UTI_PWD, UTI_GROUP) "
                                   "VALUES ('O''BRIEN', 'p''w', 'DIM')"));
    BaseDeTest cible;
    const ResultatMigration r = migrerBase(source.chemin(), cible.chemin());
    QVERIFY2(r.resultat.estFait(), qPrintable(r.resultat.message));
    QCOMPARE(r.compte(QStringLiteral("Acte_Thesaurus")),
             int(compter(source.chemin(), QStringLiteral("Acte_Thesaurus"))) - 1);
    QCOMPARE(lire(cible.chemin(), QStringLiteral("SELECT MED_CODEUTI FROM Medecin WHERE MED_CODE "
                                                 "= 'SEUL'")),
             QStringList{QStringLiteral("<NULL>")});
    QCOMPARE(lire(cible.chemin(), QStringLiteral("SELECT UTI_PWD FROM Utilisateur WHERE "
                                                 "UTI_LOGIN = 'O''BRIEN'")),
             QStringList{QStringLiteral("p'w")});
    QCOMPARE(r.remarques.size(), 2);
    QVERIFY(r.texte().contains(QStringLiteral("1 acte(s) de thésaurus sans catégorie")));
}

void TestMigration::basesInvalides_data() {
    QTest::addColumn<QString>("quoi");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("cible sans tables")
        << QStringLiteral("cible vide") << QStringLiteral("La migration dans la base « ");
    QTest::newRow("source absente")
        << QStringLiteral("source absente") << QStringLiteral("ne peut pas être lue");
    QTest::newRow("source sans tables")
        << QStringLiteral("source vide") << QStringLiteral("ne peut pas être lue");
}

void TestMigration::basesInvalides() {
    QFETCH(QString, quoi);
    QFETCH(QString, attendu);
    BaseDeTest source(true);
    BaseDeTest cible;
    QString cheminSource = source.chemin();
    QString cheminCible = cible.chemin();
    const QString vide = source.dossier() + QStringLiteral("/vide.mdb");
    ecrireOctets(vide, QByteArray());
    if (quoi == u"cible vide")
        cheminCible = vide;
    else if (quoi == u"source vide")
        cheminSource = vide;
    else
        cheminSource = source.dossier() + QStringLiteral("/absente.mdb");
    Data::fermerConnexions();
    const QByteArray octets = lireOctets(cheminCible);
    const ResultatMigration r = migrerBase(cheminSource, cheminCible);
    QVERIFY(r.resultat.estRefus());
    QVERIFY2(r.resultat.message.contains(attendu), qPrintable(r.resultat.message));
    QVERIFY(r.resultat.message.endsWith(QStringLiteral("Rien n'a été écrit dans la base cible.")));
    QVERIFY(r.comptes.isEmpty());
    QCOMPARE(lireOctets(cheminCible), octets);
}

void TestMigration::memeBase() {
    BaseDeTest base(true);
    Data::fermerConnexions();
    const QByteArray octets = lireOctets(base.chemin());
    const QString autreChemin =
        base.dossier() + QStringLiteral("/./") + QFileInfo(base.chemin()).fileName();
    const ResultatMigration r = migrerBase(base.chemin(), autreChemin);
    QVERIFY(r.resultat.estRefus());
    QVERIFY(r.resultat.message.startsWith(QStringLiteral("La base source et la base cible sont "
                                                         "la même")));
    QCOMPARE(lireOctets(base.chemin()), octets);
}

QTEST_GUILESS_MAIN(TestMigration)
#include "tst_migration.moc"
