// The password cipher, the Windows-1252 code page under it, and the helpers
// that join and split list items, tree keys and imported lines.

#include "Chiffrement.h"
#include "ListeHelpers.h"
#include "Windows1252.h"

#include <QtTest>

class TestChiffrementListes : public QObject {
    Q_OBJECT

private slots:
    // ---- Windows-1252
    void codePage_data();
    void codePage();
    void codePageTousLesOctets();
    void codePageCaractereAbsent();

    // ---- cipher
    void cleDuProgramme();
    void valeursConnues_data();
    void valeursConnues();
    void cleVide();
    void appariementCle();
    void allerRetourTousLesOctets();
    void allerRetourTexte_data();
    void allerRetourTexte();

    // ---- list helpers
    void extraire_data();
    void extraire();
    void champSuivant_data();
    void champSuivant();
    void lectureLigneComplete();
    void extraireExtension_data();
    void extraireExtension();
};

// ------------------------------------------------------------------ code page

void TestChiffrementListes::codePage_data() {
    QTest::addColumn<int>("octet");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("ASCII") << 0x41 << 0x41;
    QTest::newRow("zéro") << 0x00 << 0x00;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("0x81 indéfini") << 0x81 << 0x0081;
    QTest::newRow("0x8D indéfini") << 0x8D << 0x008D;
    QTest::newRow("0x8F indéfini") << 0x8F << 0x008F;
    QTest::newRow("0x90 indéfini") << 0x90 << 0x0090;
    QTest::newRow("0x9D indéfini") << 0x9D << 0x009D;
    QTest::newRow("OE") << 0x8C << 0x0152;
    QTest::newRow("oe") << 0x9C << 0x0153;
    QTest::newRow("apostrophe typographique") << 0x92 << 0x2019;
    QTest::newRow("Y tréma") << 0x9F << 0x0178;
    QTest::newRow("espace insécable") << 0xA0 << 0x00A0;
    QTest::newRow("e accent aigu") << 0xE9 << 0x00E9;
    QTest::newRow("y tréma") << 0xFF << 0x00FF;
}

void TestChiffrementListes::codePage() {
    QFETCH(int, octet);
    QFETCH(int, codePoint);
    const QByteArray b(1, static_cast<char>(octet));
    const QString s = depuisWindows1252(b);
    QCOMPARE(s.size(), 1);
    QCOMPARE(int(s.at(0).unicode()), codePoint);
    QCOMPARE(versWindows1252(s), b);
}

void TestChiffrementListes::codePageTousLesOctets() {
    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        tous.append(static_cast<char>(i));
    const QString texte = depuisWindows1252(tous);
    QCOMPARE(texte.size(), 256);
    QCOMPARE(versWindows1252(texte), tous);
    QVERIFY(representableEnWindows1252(texte));
    // Each byte gives a different character.
    QSet<QChar> distincts(texte.begin(), texte.end());
    QCOMPARE(distincts.size(), 256);
}

void TestChiffrementListes::codePageCaractereAbsent() {
    const QString texte = QStringLiteral("a\u0416b\u4E2D"); // Cyrillic Zhe, a CJK ideograph
    QVERIFY(!representableEnWindows1252(texte));
    QCOMPARE(versWindows1252(texte), QByteArray("a?b?"));
    // A character outside the basic plane is two UTF-16 units, two '?'.
    QCOMPARE(versWindows1252(QStringLiteral("\U0001F600")), QByteArray("??"));
}

// ------------------------------------------------------------------ cipher

void TestChiffrementListes::cleDuProgramme() {
    QCOMPARE(cleChiffrement, QStringLiteral("voici une autre phrase test"));
    QCOMPARE(cleChiffrement.size(), 27);
}

void TestChiffrementListes::valeursConnues_data() {
    QTest::addColumn<QString>("clair");
    QTest::addColumn<QString>("chiffre");
    // Position 1 pairs with 'o' (111), 2 with 'i' (105), 3 with 'c' (99).
    QTest::newRow("ABC") << QStringLiteral("ABC") << QStringLiteral("\u00B0\u00AB\u00A6");
    // 'é' (233) + 111 = 344, wraps to 88 'X'.
    QTest::newRow("dépassement") << QStringLiteral("\u00E9") << QStringLiteral("X");
    // 17 + 111 = 128: the euro sign of the code page.
    QTest::newRow("vers l'euro") << QStringLiteral("\u0011") << QStringLiteral("\u20AC");
    // 32 + 111 = 143 = 0x8F, undefined byte kept as U+008F.
    QTest::newRow("vers 0x8F") << QStringLiteral(" ") << QStringLiteral("\u008F");
    // '€' (0x80 = 128) + 111 = 239 'ï'.
    QTest::newRow("depuis l'euro") << QStringLiteral("\u20AC") << QStringLiteral("\u00EF");
    QTest::newRow("vide") << QString() << QString();
    // A typical upper-case password.
    QTest::newRow("SECRET") << QStringLiteral("SECRET")
                            << depuisWindows1252(QByteArray("\xC2\xAE\xA6\xBB"
                                                            "e\xC9"));
}

void TestChiffrementListes::valeursConnues() {
    QFETCH(QString, clair);
    QFETCH(QString, chiffre);
    QCOMPARE(crypter(clair, cleChiffrement), chiffre);
    QCOMPARE(decrypter(chiffre, cleChiffrement), clair);
}

void TestChiffrementListes::cleVide() {
    const QString t = QStringLiteral("Mot de passe é€");
    QCOMPARE(crypter(t, QString()), t);
    QCOMPARE(decrypter(t, QString()), t);
}

void TestChiffrementListes::appariementCle() {
    // A text of zero bytes shows the key character used at each position.
    const QString zeros(60, QChar(0));
    const QByteArray r = versWindows1252(crypter(zeros, cleChiffrement));
    const QByteArray cle = versWindows1252(cleChiffrement);
    QCOMPARE(r.size(), 60);
    for (int i = 1; i <= 60; ++i) {
        const int positionCle = (i % 27) + 1; // 1-based
        QCOMPARE(r.at(i - 1), cle.at(positionCle - 1));
    }
    QCOMPARE(r.at(0), 'o');  // position 1 -> key position 2
    QCOMPARE(r.at(25), 't'); // position 26 -> key position 27
    QCOMPARE(r.at(26), 'v'); // position 27 -> key position 1
    QCOMPARE(r.at(27), 'o'); // position 28 -> key position 2
    QCOMPARE(r.at(53), 'v'); // position 54 -> key position 1
    // Decrypting: 0 - 'o' (111) wraps to 145.
    QCOMPARE(versWindows1252(decrypter(QString(1, QChar(0)), cleChiffrement)),
             QByteArray(1, static_cast<char>(145)));
}

void TestChiffrementListes::allerRetourTousLesOctets() {
    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        tous.append(static_cast<char>(i));
    // Shifted starts so that every byte meets every key position.
    for (int decalage = 0; decalage < 27; ++decalage) {
        const QString texte = depuisWindows1252(tous.mid(decalage) + tous.left(decalage));
        const QString c = crypter(texte, cleChiffrement);
        QCOMPARE(c.size(), texte.size());
        QVERIFY(representableEnWindows1252(c));
        QCOMPARE(decrypter(c, cleChiffrement), texte);
    }
    // With a key holding characters of the upper half.
    const QString cle = QStringLiteral("clé€ÿ");
    const QString texte = depuisWindows1252(tous);
    QCOMPARE(decrypter(crypter(texte, cle), cle), texte);
}

void TestChiffrementListes::allerRetourTexte_data() {
    QTest::addColumn<QString>("texte");
    QTest::newRow("majuscules") << QStringLiteral("ADMIN");
    QTest::newRow("accents") << QStringLiteral("ÉLÈVE ÇA");
    QTest::newRow("apostrophe") << QStringLiteral("L'HÔPITAL");
    QTest::newRow("long") << QString(100, QLatin1Char('Z'));
}

void TestChiffrementListes::allerRetourTexte() {
    QFETCH(QString, texte);
    const QString c = crypter(texte, cleChiffrement);
    QCOMPARE(c.size(), texte.size());
    QVERIFY(c != texte);
    QCOMPARE(decrypter(c, cleChiffrement), texte);
}

// ------------------------------------------------------------------ list helpers

void TestChiffrementListes::extraire_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("milieu");
    QTest::addColumn<QString>("fin");
    QTest::newRow("unité") << "UM01 - Chirurgie"
                           << "UM01"
                           << ""
                           << "Chirurgie";
    QTest::newRow("clé d'acte") << "A - HBED001 - 1"
                                << "A"
                                << "HBED001"
                                << "1";
    QTest::newRow("sans séparateur") << "UM01"
                                     << ""
                                     << ""
                                     << "";
    QTest::newRow("vide") << ""
                          << ""
                          << ""
                          << "";
    QTest::newRow("tiret collé") << "A-B - C"
                                 << "A-B"
                                 << ""
                                 << "C";
    QTest::newRow("quatre parties") << "A - B - C - D"
                                    << "A"
                                    << "B"
                                    << "D";
    QTest::newRow("libellé vide") << "X - "
                                  << "X"
                                  << ""
                                  << "";
    QTest::newRow("code vide") << " - libellé"
                               << ""
                               << ""
                               << "libellé";
    QTest::newRow("activité vide") << "A - HBED001 - "
                                   << "A"
                                   << "HBED001"
                                   << "";
    QTest::newRow("séparateurs accolés") << "A -  - B"
                                         << "A"
                                         << ""
                                         << "B";
    QTest::newRow("blancs gardés") << " UM01  - Lib "
                                   << " UM01 "
                                   << ""
                                   << "Lib ";
}

void TestChiffrementListes::extraire() {
    QFETCH(QString, texte);
    QFETCH(QString, code);
    QFETCH(QString, milieu);
    QFETCH(QString, fin);
    QCOMPARE(extraireCode(texte), code);
    QCOMPARE(extraireMilieu(texte), milieu);
    QCOMPARE(extraireFin(texte), fin);
}

void TestChiffrementListes::champSuivant_data() {
    QTest::addColumn<QString>("ligne");
    QTest::addColumn<int>("debut");
    QTest::addColumn<QString>("separateur");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("premier champ") << "C\tCardio\t1" << 1 << "\t"
                                   << "C";
    QTest::newRow("champ du milieu") << "C\tCardio\t1" << 3 << "\t"
                                     << "Cardio";
    QTest::newRow("dernier champ") << "C\tCardio\t1" << 10 << "\t"
                                   << "1";
    QTest::newRow("champ vide") << "C\t\t1" << 3 << "\t"
                                << "";
    QTest::newRow("au-delà de la fin") << "C\tX" << 10 << "\t"
                                       << "";
    QTest::newRow("juste après la fin") << "C\tX" << 4 << "\t"
                                        << "";
    QTest::newRow("ligne vide") << "" << 1 << "\t"
                                << "";
    QTest::newRow("séparateur long") << "ab - cd - ef" << 6 << " - "
                                     << "cd";
    QTest::newRow("position zéro") << "ab\tcd" << 0 << "\t"
                                   << "ab";
    QTest::newRow("position négative") << "ab\tcd" << -5 << "\t"
                                       << "ab";
    QTest::newRow("séparateur vide") << "abc" << 2 << ""
                                     << "bc";
}

void TestChiffrementListes::champSuivant() {
    QFETCH(QString, ligne);
    QFETCH(int, debut);
    QFETCH(QString, separateur);
    QFETCH(QString, attendu);
    QCOMPARE(::champSuivant(ligne, static_cast<qint16>(debut), separateur), attendu);
}

void TestChiffrementListes::lectureLigneComplete() {
    // The caller advances past each field and its separator.
    const QString ligne = QStringLiteral("A\tHBED001\t\tLibellé d'acte");
    QStringList champs;
    qint16 p = 1;
    while (p <= ligne.size()) {
        const QString c = ::champSuivant(ligne, p, QStringLiteral("\t"));
        champs << c;
        p = static_cast<qint16>(p + c.size() + 1);
    }
    QCOMPARE(champs, QStringList({"A", "HBED001", "", "Libellé d'acte"}));
}

void TestChiffrementListes::extraireExtension_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("reste");
    QTest::newRow("txt") << "C:/export/theso.txt"
                         << "txt"
                         << "C:/export/theso.";
    QTest::newRow("deux points") << "theso.v2.doc"
                                 << "doc"
                                 << "theso.v2.";
    QTest::newRow("sans point") << "theso"
                                << ""
                                << "theso";
    QTest::newRow("point final") << "theso."
                                 << ""
                                 << "theso.";
    QTest::newRow("vide") << ""
                          << ""
                          << "";
    QTest::newRow("dossier pointé") << "/tmp/a.b/theso"
                                    << "b/theso"
                                    << "/tmp/a.";
    QTest::newRow("majuscules") << "THESO.TXT"
                                << "TXT"
                                << "THESO.";
}

void TestChiffrementListes::extraireExtension() {
    QFETCH(QString, nom);
    QFETCH(QString, extension);
    QFETCH(QString, reste);
    QString n = nom;
    QCOMPARE(::extraireExtension(n), extension);
    QCOMPARE(n, reste);
}

QTEST_GUILESS_MAIN(TestChiffrementListes)
#include "tst_chiffrement_listes.moc"
