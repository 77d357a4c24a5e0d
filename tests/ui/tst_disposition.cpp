// How the windows share their room, offscreen on the demonstration database:
// the search side and the details keep the share the user left them (per
// window, nonsense settings giving the default), and the site lists show
// every label on two lines at most.

#include "BaseDeTest.h"
#include "Data.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Parametres.h"
#include "QtOngletsRecherche.h"
#include "ctr_site.h"
#include "d_rechercheActe.h"
#include "f_ThesaurusDIM.h"
#include "f_thesaurusMED.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {
// The share of the search side, in thousandths of the two sides' width.
int part(const QSplitter* s) {
    const QList<int> t = s->sizes();
    return qRound(1000.0 * t.value(0) / qMax(1, t.value(0) + t.value(1)));
}

// Drags the handle between the two sides by dx pixels, as the mouse does.
void glisser(QSplitter* s, int dx) {
    QSplitterHandle* poignee = s->handle(1);
    const QPoint depart = poignee->rect().center();
    const QPoint arrivee = depart + QPoint(dx, 0);
    const auto envoyer = [&](QEvent::Type type, QPoint p, Qt::MouseButton bouton,
                             Qt::MouseButtons boutons) {
        QMouseEvent e(type, p, poignee->mapToGlobal(p), bouton, boutons, Qt::NoModifier);
        QApplication::sendEvent(poignee, &e);
    };
    envoyer(QEvent::MouseButtonPress, depart, Qt::LeftButton, Qt::LeftButton);
    envoyer(QEvent::MouseMove, arrivee, Qt::NoButton, Qt::LeftButton);
    envoyer(QEvent::MouseButtonRelease, arrivee, Qt::LeftButton, Qt::NoButton);
}
} // namespace

// A window holding the search side and the details, shown at a common size.
using Fenetre = std::function<std::unique_ptr<QWidget>()>;
Q_DECLARE_METATYPE(Fenetre)
Q_DECLARE_METATYPE(Parametres::Cle)

class TestDisposition : public QObject {
    Q_OBJECT
    std::unique_ptr<BaseDeTest> m_base;
    std::unique_ptr<QTemporaryDir> m_reglages;
    std::unique_ptr<MessagesScriptes> m_messages;

private slots:
    void initTestCase() { m_base = std::make_unique<BaseDeTest>(true); }
    void cleanupTestCase() { m_base.reset(); }
    void init() {
        reinitialiserEtatGlobal();
        cheminBase = m_base->chemin();
        m_reglages = std::make_unique<QTemporaryDir>();
        Parametres::redirigerVers(m_reglages->filePath(QStringLiteral("t.ini")));
        auto m = std::make_shared<Medecin>();
        m->code = QStringLiteral("CMARTIN");
        m->remplirDonnees();
        m->remplirThesaurusMED();
        medecinCourant = m;
        m_messages = std::make_unique<MessagesScriptes>();
    }
    void cleanup() {
        m_messages.reset();
        Parametres::redirigerVers(QString());
        m_reglages.reset();
        reinitialiserEtatGlobal();
    }

    void separationRetenue_data();
    void separationRetenue();
    void separationLue_data();
    void separationLue();
    void siteDeuxLignesAuPlus();
};

void TestDisposition::separationRetenue_data() {
    QTest::addColumn<Fenetre>("fenetre");
    QTest::addColumn<Parametres::Cle>("cle");
    QTest::newRow("médecin") << Fenetre([] {
        changerContexte(ModeEcran::EspaceMedecin);
        return std::unique_ptr<QWidget>(new f_thesaurusMED);
    }) << Parametres::SeparationMedecin;
    QTest::newRow("DIM") << Fenetre([] {
        changerContexte(ModeEcran::ThesaurusMedecinDIM);
        return std::unique_ptr<QWidget>(new f_ThesaurusDIM);
    }) << Parametres::SeparationDIM;
    QTest::newRow("recherche d'acte")
        << Fenetre([] { return std::unique_ptr<QWidget>(new d_rechercheActe); })
        << Parametres::SeparationRecherche;
}

void TestDisposition::separationRetenue() {
    QFETCH(Fenetre, fenetre);
    QFETCH(Parametres::Cle, cle);
    const auto ouvrir = [&] {
        std::unique_ptr<QWidget> f = fenetre();
        f->resize(1400, 700);
        f->show();
        QCoreApplication::processEvents();
        return f;
    };
    // At first, the default share, and nothing written.
    std::unique_ptr<QWidget> f = ouvrir();
    auto* separation = f->findChild<QSplitter*>(QStringLiteral("separation"));
    QVERIFY(separation);
    QVERIFY(qAbs(part(separation) - partRechercheDefaut) <= 10);
    QCOMPARE(Parametres::lire(cle), QString());

    // The user widens the search side: the share is written...
    glisser(separation, 150);
    const int voulue = part(separation);
    QVERIFY(voulue > partRechercheDefaut + 50);
    QCOMPARE(Parametres::lire(cle).toInt(), voulue);

    // ...and the next window of that kind opens with it, the others not.
    f.reset();
    f = ouvrir();
    separation = f->findChild<QSplitter*>(QStringLiteral("separation"));
    QVERIFY(qAbs(part(separation) - voulue) <= 10);
    for (const Parametres::Cle autre : {Parametres::SeparationMedecin, Parametres::SeparationDIM,
                                        Parametres::SeparationRecherche})
        if (QLatin1String(autre.nom) != QLatin1String(cle.nom))
            QCOMPARE(Parametres::lire(autre), QString());
}

void TestDisposition::separationLue_data() {
    QTest::addColumn<QString>("texte");
    QTest::addColumn<int>("part");
    QTest::newRow("absent") << "" << partRechercheDefaut;
    QTest::newRow("lu") << "700" << 700;
    QTest::newRow("blancs") << " 400 " << 400;
    QTest::newRow("bornes") << "100" << 100;
    QTest::newRow("trop petit") << "99" << partRechercheDefaut;
    QTest::newRow("trop grand") << "901" << partRechercheDefaut;
    QTest::newRow("négatif") << "-500" << partRechercheDefaut;
    QTest::newRow("mot") << "moitié" << partRechercheDefaut;
    QTest::newRow("décimal") << "0.5" << partRechercheDefaut;
    QTest::newRow("démesuré") << "99999999999999999999" << partRechercheDefaut;
}

void TestDisposition::separationLue() {
    QFETCH(QString, texte);
    QFETCH(int, part);
    QCOMPARE(lirePartRecherche(texte), part);
}

void TestDisposition::siteDeuxLignesAuPlus() {
    // Long labels of several words, in capitals as the systems are written.
    m_base->executer(QString::fromUtf8(
        "INSERT INTO \"Systèmes\" VALUES ('QX', 'TISSUS, ARTICULATIONS ET PARTIES MOLLES : "
        "SITE NON PRÉCISÉ'), ('QY', 'APPAREIL CIRCULATOIRE ET RÉTICULOENDOTHÉLIAL, "
        "HÉMATOPOÏÈSE')"));
    ctr_site panneau;
    panneau.resize(300, 500); // narrower than the lists need: they widen
    panneau.show();
    QTreeWidget* liste = panneau.ListBox1;
    const QFontMetrics mesure(liste->font());
    QVERIFY(liste->topLevelItemCount() > 2);
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* ligne = liste->topLevelItem(i);
        liste->scrollToItem(ligne);
        QTRY_VERIFY_WITH_TIMEOUT(liste->visualItemRect(ligne).height() > 0, attenteMaxMs);
        QVERIFY2(liste->visualItemRect(ligne).height() <= 2 * mesure.lineSpacing() + 4,
                 qPrintable(ligne->text(1)));
    }
}

QTEST_MAIN(TestDisposition)
#include "tst_disposition.moc"
