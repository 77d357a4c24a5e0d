// Where the main window opens, from its saved placement and the screens there
// are now: always fully on one screen, whatever the settings hold.

#include "PlacementFenetre.h"

#include <QtTest>

Q_DECLARE_METATYPE(PlacementSauve)

namespace {
const QRect ecran1920(0, 0, 1920, 1040); // 1920 × 1080 less a panel
const QRect ecran1366(0, 0, 1366, 740);
const QRect ecran1024(0, 0, 1024, 740);
const QRect ecran800(0, 0, 800, 570);    // smaller than 1024 × 768
const QRect droite(1920, 0, 1280, 1024); // a second monitor on the right

bool dansUnEcran(const QRect& r, const QList<QRect>& ecrans) {
    for (const QRect& e : ecrans)
        if (e.contains(r))
            return true;
    return ecrans.isEmpty() && QRect(0, 0, 1024, 768).contains(r);
}

// Twips text of a pixel value.
QString tw(int pixels) {
    return QString::number(pixels * twipsParPixel);
}
} // namespace

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void placement_data();
    void placement();
    void valeursLues_data();
    void valeursLues();
};

void TestPlacement::placement_data() {
    QTest::addColumn<PlacementSauve>("sauve");
    QTest::addColumn<QList<QRect>>("ecrans");
    QTest::addColumn<QSize>("minimum");
    // What must come out: the screen it lands on, maximised or not, and the
    // exact rectangle when the saved one fits as it is (empty: only "on screen").
    QTest::addColumn<QRect>("ecranAttendu");
    QTest::addColumn<bool>("maximisee");
    QTest::addColumn<QRect>("exact");

    const QSize min(800, 533);
    const PlacementSauve rien;
    QTest::newRow("premier lancement, grand écran")
        << rien << QList<QRect>{ecran1920} << min << ecran1920 << false << QRect();
    QTest::newRow("premier lancement, 1366 px : maximisée")
        << rien << QList<QRect>{ecran1366} << min << ecran1366 << true << QRect();
    QTest::newRow("premier lancement, 1024 px : maximisée")
        << rien << QList<QRect>{ecran1024} << min << ecran1024 << true << QRect();
    QTest::newRow("premier lancement, écran plus petit que le minimum")
        << rien << QList<QRect>{ecran800} << QSize(800, 533).boundedTo(ecran800.size()) << ecran800
        << true << QRect();
    QTest::newRow("premier lancement, aucun écran connu")
        << rien << QList<QRect>{} << min << QRect(0, 0, 1024, 768) << true << QRect();

    QTest::newRow("placement qui tient, gardé tel quel")
        << PlacementSauve{tw(100), tw(50), tw(1200), tw(800)} << QList<QRect>{ecran1920} << min
        << ecran1920 << false << QRect(100, 50, 1200, 800);
    QTest::newRow("virgule décimale")
        << PlacementSauve{"1500,0", "750,5", "18000,0", "12000"} << QList<QRect>{ecran1920} << min
        << ecran1920 << false << QRect(100, 50, 1200, 800);
    QTest::newRow("sans coin : centrée")
        << PlacementSauve{"", "", tw(1200), tw(800)} << QList<QRect>{ecran1920} << min << ecran1920
        << false << QRect(360, 120, 1200, 800);
    QTest::newRow("écran plus grand avant : taille réduite à l'écran")
        << PlacementSauve{tw(0), tw(0), tw(1900), tw(1040)} << QList<QRect>{ecran1024} << min
        << ecran1024 << false << QRect();
    QTest::newRow("coin hors de l'écran à gauche et en haut")
        << PlacementSauve{"-90000", "-90000", tw(900), tw(600)} << QList<QRect>{ecran1366} << min
        << ecran1366 << false << QRect(0, 0, 900, 600);
    QTest::newRow("coin très loin à droite et en bas")
        << PlacementSauve{"900000", "900000", tw(900), tw(600)} << QList<QRect>{ecran1366} << min
        << ecran1366 << false << QRect(466, 140, 900, 600);
    QTest::newRow("déborde du bas")
        << PlacementSauve{tw(200), tw(500), tw(900), tw(600)} << QList<QRect>{ecran1366} << min
        << ecran1366 << false << QRect(200, 140, 900, 600);
    QTest::newRow("second écran présent : reste dessus")
        << PlacementSauve{tw(2000), tw(100), tw(1000), tw(700)} << QList<QRect>{ecran1920, droite}
        << min << droite << false << QRect(2000, 100, 1000, 700);
    QTest::newRow("à cheval : va sur l'écran qu'elle couvre le plus")
        << PlacementSauve{tw(1700), tw(100), tw(1000), tw(700)} << QList<QRect>{ecran1920, droite}
        << min << droite << false << QRect(1920, 100, 1000, 700);
    QTest::newRow("second écran débranché : revient sur le principal")
        << PlacementSauve{tw(2000), tw(100), tw(1000), tw(700)} << QList<QRect>{ecran1920} << min
        << ecran1920 << false << QRect(920, 100, 1000, 700);
    QTest::newRow("écran principal à gauche de l'origine")
        << PlacementSauve{tw(-1500), tw(0), tw(900), tw(600)}
        << QList<QRect>{QRect(-1280, 200, 1280, 1024), ecran1920} << min
        << QRect(-1280, 200, 1280, 1024) << false << QRect(-1280, 200, 900, 600);
    QTest::newRow("plus petite que le minimum : agrandie")
        << PlacementSauve{tw(10), tw(10), tw(100), tw(80)} << QList<QRect>{ecran1920} << min
        << ecran1920 << false << QRect(10, 10, 800, 533);

    // Nonsense settings: the first-run placement.
    for (const auto& [nom, largeur] :
         {std::pair{"largeur non numérique", "grand"}, std::pair{"largeur nulle", "0"},
          std::pair{"largeur négative", "-15000"}, std::pair{"largeur infinie", "inf"},
          std::pair{"largeur NaN", "nan"}, std::pair{"largeur démesurée", "1e300"},
          std::pair{"largeur vide", ""}})
        QTest::newRow(nom) << PlacementSauve{tw(10), tw(10), QString::fromLatin1(largeur), tw(600)}
                           << QList<QRect>{ecran1920} << min << ecran1920 << false << QRect();
    QTest::newRow("coin non numérique : centrée")
        << PlacementSauve{"gauche", "1e400", tw(1200), tw(800)} << QList<QRect>{ecran1920} << min
        << ecran1920 << false << QRect(360, 120, 1200, 800);
}

void TestPlacement::placement() {
    QFETCH(PlacementSauve, sauve);
    QFETCH(QList<QRect>, ecrans);
    QFETCH(QSize, minimum);
    QFETCH(QRect, ecranAttendu);
    QFETCH(bool, maximisee);
    QFETCH(QRect, exact);
    const Placement p = placementFenetre(sauve, ecrans, minimum);
    QVERIFY2(ecranAttendu.contains(p.geometrie), qPrintable(QStringLiteral("%1,%2 %3×%4")
                                                                .arg(p.geometrie.x())
                                                                .arg(p.geometrie.y())
                                                                .arg(p.geometrie.width())
                                                                .arg(p.geometrie.height())));
    QVERIFY(dansUnEcran(p.geometrie, ecrans));
    QVERIFY(p.geometrie.width() >= minimum.width());
    QVERIFY(p.geometrie.height() >= minimum.height());
    QCOMPARE(p.maximisee, maximisee);
    if (!exact.isNull())
        QCOMPARE(p.geometrie, exact);
}

void TestPlacement::valeursLues_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<bool>("lue");
    QTest::addColumn<double>("valeur");
    QTest::newRow("entier") << "13000" << true << 13000.0;
    QTest::newRow("point") << "13000.5" << true << 13000.5;
    QTest::newRow("virgule") << "13000,5" << true << 13000.5;
    QTest::newRow("blancs") << " 900 " << true << 900.0;
    QTest::newRow("négatif") << "-1500" << true << -1500.0;
    QTest::newRow("vide") << "" << false << 0.0;
    QTest::newRow("mot") << "large" << false << 0.0;
    QTest::newRow("infini") << "inf" << false << 0.0;
    QTest::newRow("démesuré") << "1e30" << false << 0.0;
}

void TestPlacement::valeursLues() {
    QFETCH(QString, texte);
    QFETCH(bool, lue);
    QFETCH(double, valeur);
    const std::optional<double> v = lireTwipsTexte(texte);
    QCOMPARE(v.has_value(), lue);
    if (lue)
        QCOMPARE(*v, valeur);
}

QTEST_APPLESS_MAIN(TestPlacement)
#include "tst_placement.moc"
