// The Qt implementations of the platform hooks: message boxes in French,
// file filters, wait window, busy pointer, modal executor.

#include "BaseDeTest.h"
#include "FenetresModales.h"
#include "Messages.h"
#include "Progression.h"
#include "QtChoixFichier.h"
#include "QtCurseur.h"
#include "QtMessages.h"
#include "QtPlateforme.h"
#include "f_Wait.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

class TestPlateformeQt : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void filtres_data();
    void filtres();
    void choixFichier_data();
    void choixFichier();
    void choixFichierEnFrancais();
    void messages_data();
    void messages();
    void fenetreAttente();
    void curseur();
    void curseurPendantAttente();
    void executeurModal();
};

void TestPlateformeQt::initTestCase() {
    installerPlateformeQt();
    QVERIFY2(installerFrancais(), "qtbase_fr absent (paquet qt6-translations-l10n)");
    QCOMPARE(QLocale().language(), QLocale::French);
}

void TestPlateformeQt::filtres_data() {
    QTest::addColumn<QString>("ancien");
    QTest::addColumn<QString>("qt");
    QTest::newRow("base") << "Base de données access (*.mdb)|*.mdb"
                          << "Base de données access (*.mdb)";
    QTest::newRow("deux filtres sans motif affiché")
        << "Fichier texte|*.txt|Tous les fichiers|*.*"
        << "Fichier texte (*.txt);;Tous les fichiers (*.*)";
    QTest::newRow("plusieurs motifs") << "Textes (*.txt;*.csv)|*.txt;*.csv"
                                      << "Textes (*.txt *.csv)";
    QTest::newRow("motif seul") << "|*.txt"
                                << "(*.txt)";
    QTest::newRow("libellé seul") << "Tout"
                                  << "Tout";
    QTest::newRow("vide") << ""
                          << "";
}

void TestPlateformeQt::filtres() {
    QFETCH(QString, ancien);
    QFETCH(QString, qt);
    QCOMPARE(filtreQt(ancien), qt);
}

void TestPlateformeQt::choixFichier_data() {
    QTest::addColumn<bool>("enregistrer");
    QTest::addColumn<bool>("annuler");
    QTest::newRow("ouvrir") << false << false;
    QTest::newRow("enregistrer") << true << false;
    QTest::newRow("ouvrir annulé") << false << true;
    QTest::newRow("enregistrer annulé") << true << true;
}

void TestPlateformeQt::choixFichier() {
    QFETCH(bool, enregistrer);
    QFETCH(bool, annuler);
    QTemporaryDir dossier;
    // Opening takes an existing file; saving, a new one (an existing one
    // would bring the overwrite question).
    QFile f(dossier.filePath(QStringLiteral("theso.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString nom =
        enregistrer ? dossier.filePath(QStringLiteral("nouveau.txt")) : f.fileName();
    QString titre, filtres;
    bool colonnesEntieres = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        titre = d->windowTitle();
        filtres = d->nameFilters().join(QStringLiteral(";;"));
        auto* liste = d->findChild<QTreeView*>(QStringLiteral("treeView"));
        colonnesEntieres =
            liste && liste->header()->sectionResizeMode(3) == QHeaderView::ResizeToContents;
        if (annuler) {
            d->reject();
            return;
        }
        d->selectFile(nom);
        static_cast<QDialog*>(d)->accept(); // the file dialog checks the name
    });
    QtChoixFichier choix;
    const QString filtre = QStringLiteral("Text (*.txt)|*.txt|Word (*.doc)|*.doc");
    const QString choisi = enregistrer
                               ? choix.enregistrer(QStringLiteral("Export"), dossier.path(), filtre)
                               : choix.ouvrir(QStringLiteral("Export"), dossier.path(), filtre);
    QCOMPARE(choisi, annuler ? QString() : nom);
    QCOMPARE(titre, QStringLiteral("Export"));
    QCOMPARE(filtres, QStringLiteral("Text (*.txt);;Word (*.doc)"));
    QVERIFY(colonnesEntieres);
}

// Qt's own chooser speaks French: column titles, the kind of each entry and
// sizes with French units and decimal comma. Any English word of the table
// below is a word Qt's translation left out.
void TestPlateformeQt::choixFichierEnFrancais() {
    QTemporaryDir dossier;
    QVERIFY(QDir(dossier.path()).mkdir(QStringLiteral("Sous-dossier")));
    QFile f(dossier.filePath(QStringLiteral("thesaurus.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.write(QByteArray(52582, 'x')) == 52582); // 51,35 Kio
    f.close();
    QStringList textes;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        auto* liste = d->findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(liste);
        QAbstractItemModel* modele = liste->model();
        // The folder is read in the background: wait for both entries.
        QTRY_COMPARE_WITH_TIMEOUT(modele->rowCount(liste->rootIndex()), 2, attenteMaxMs);
        for (int c = 0; c < modele->columnCount(liste->rootIndex()); ++c)
            textes << modele->headerData(c, Qt::Horizontal).toString();
        // Rows taken by name: the model sorts them in the background too,
        // after they have come in.
        for (const QString& nom : {QStringLiteral("Sous-dossier"), QStringLiteral("thesaurus.txt")})
            for (int r = 0; r < 2; ++r)
                if (modele->index(r, 0, liste->rootIndex()).data().toString() == nom)
                    for (int c = 1; c < 4; ++c)
                        textes << modele->index(r, c, liste->rootIndex()).data().toString();
        d->reject();
    });
    QtChoixFichier choix;
    choix.ouvrir(QStringLiteral("Import"), dossier.path(), QStringLiteral("Tous (*.*)|*.*"));
    QCOMPARE(textes.size(), 10);
    QCOMPARE(textes.mid(0, 4),
             (QStringList{QStringLiteral("Nom"), QStringLiteral("Taille"), QStringLiteral("Type"),
                          QStringLiteral("Dernière modification")}));
    // "Type" is French as well; the others are not.
    for (const char* anglais :
         {"Folder", "Name", "Size", "Date Modified", "KiB", "bytes", "File", "AM", "PM"})
        for (const QString& t : textes)
            QVERIFY2(!t.contains(QLatin1String(anglais)), qPrintable(t));
    // The folder, then the file: size, kind, date and time.
    const QString tous = textes.join(u'|');
    QCOMPARE(textes.at(4), QString());
    QCOMPARE(textes.at(5), QStringLiteral("Dossier"));
    QCOMPARE(textes.at(7), QStringLiteral("51,35 Kio"));
    const QRegularExpression dateFrancaise(QStringLiteral("^\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d$"));
    QVERIFY2(dateFrancaise.match(textes.at(6)).hasMatch(), qPrintable(tous));
    QVERIFY2(dateFrancaise.match(textes.at(9)).hasMatch(), qPrintable(tous));
}

void TestPlateformeQt::messages_data() {
    QTest::addColumn<int>("boutons");
    QTest::addColumn<int>("icone");
    QTest::addColumn<QString>("clic");
    QTest::addColumn<QStringList>("textes");
    QTest::addColumn<int>("iconeQt");
    QTest::addColumn<int>("reponse");
    QTest::newRow("question Non") << int(Boutons::OuiNon) << int(Icone::Question) << "&Non"
                                  << QStringList{"&Oui", "&Non"} << int(QMessageBox::Question)
                                  << int(Reponse::Non);
    QTest::newRow("question Oui") << int(Boutons::OuiNon) << int(Icone::Question) << "&Oui"
                                  << QStringList{"&Oui", "&Non"} << int(QMessageBox::Question)
                                  << int(Reponse::Oui);
    QTest::newRow("attention") << int(Boutons::Ok) << int(Icone::Exclamation) << "OK"
                               << QStringList{"OK"} << int(QMessageBox::Warning)
                               << int(Reponse::Ok);
    QTest::newRow("annuler") << int(Boutons::OkAnnuler) << int(Icone::Information) << "Annuler"
                             << QStringList{"OK", "Annuler"} << int(QMessageBox::Information)
                             << int(Reponse::Annuler);
    QTest::newRow("sans icône") << int(Boutons::Ok) << int(Icone::Aucune) << "OK"
                                << QStringList{"OK"} << int(QMessageBox::NoIcon)
                                << int(Reponse::Ok);
}

void TestPlateformeQt::messages() {
    QFETCH(int, boutons);
    QFETCH(int, icone);
    QFETCH(QString, clic);
    QFETCH(QStringList, textes);
    QFETCH(int, iconeQt);
    QFETCH(int, reponse);

    QStringList vus;
    QString titre, texte;
    int iconeVue = -1;
    QTimer::singleShot(0, [&] {
        auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!boite)
            return;
        titre = boite->windowTitle();
        texte = boite->text();
        iconeVue = boite->icon();
        QAbstractButton* cible = nullptr;
        for (QAbstractButton* b : boite->buttons()) {
            vus << b->text();
            if (b->text() == clic)
                cible = b;
        }
        if (cible)
            cible->click();
        else
            boite->reject();
    });
    QtMessages m;
    const Reponse r = m.afficher(QStringLiteral("Voulez vous vraiment quitter ?"),
                                 QStringLiteral("Confirmation"), Icone(icone), Boutons(boutons));
    vus.sort();
    textes.sort();
    QCOMPARE(vus, textes);
    QCOMPARE(titre, QStringLiteral("Confirmation"));
    QCOMPARE(texte, QStringLiteral("Voulez vous vraiment quitter ?"));
    QCOMPARE(iconeVue, iconeQt);
    QCOMPARE(int(r), reponse);
}

void TestPlateformeQt::fenetreAttente() {
    f_Wait* w = f_Wait::instance();
    QCOMPARE(&progression(), static_cast<IProgression*>(w));
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!w->isVisible());
    {
        ProgressionPortee p(QStringLiteral("Chargement en cours..."), 4);
        QVERIFY(w->isVisible());
        QCOMPARE(w->lblWaitTitle->text(), QStringLiteral("Chargement en cours..."));
        QCOMPARE(w->ProgressBar1->maximum(), 4);
        QCOMPARE(w->ProgressBar1->value(), 0);
        QCOMPARE(w->l_valeur->text(), QStringLiteral("0 % "));
        p.avancer(1);
        QCOMPARE(w->l_valeur->text(), QStringLiteral("25 % "));
        p.avancer(1); // steps add up
        QCOMPARE(w->ProgressBar1->value(), 2);
        QCOMPARE(w->l_valeur->text(), QStringLiteral("50 % "));
        p.avancer(9); // beyond the maximum: full, never more
        QCOMPARE(w->ProgressBar1->value(), 4);
        QCOMPARE(w->l_valeur->text(), QStringLiteral("100 % "));
    }
    QVERIFY(!w->isVisible());
    {
        // A new progress starts from an empty bar.
        ProgressionPortee p(QStringLiteral("Chargement en cours..."), 3);
        QCOMPARE(w->ProgressBar1->value(), 0);
        p.avancer(1);
        QCOMPARE(w->l_valeur->text(), QStringLiteral("33 % "));
        p.avancer(1); // 66.7 rounds up
        QCOMPARE(w->l_valeur->text(), QStringLiteral("67 % "));
    }
    {
        // The byte count of a large import file.
        ProgressionPortee p(QStringLiteral("Import"), 60'000'001);
        p.avancer(45'000'000);
        QCOMPARE(w->l_valeur->text(), QStringLiteral("75 % "));
    }
    QVERIFY(!w->isVisible());
    // A zero maximum never divides by zero.
    progression().debut(QString(), 0);
    progression().avancer(0);
    QCOMPARE(w->l_valeur->text(), QStringLiteral("0 % "));
    progression().fin();
    QVERIFY(!w->b_annuler->isVisible()); // work that cannot stop offers no "Annuler"
    {
        // Work that may stop: "Annuler" is offered, and a click is seen by
        // the work at its next step; the next work starts afresh.
        ProgressionPortee p(QStringLiteral("Mise en page du rapport..."), 10,
                            ProgressionPortee::Annulation::Permise);
        QVERIFY(w->b_annuler->isVisible());
        QCOMPARE(w->b_annuler->text(), QStringLiteral("Annuler"));
        QVERIFY(!p.annulee());
        QTest::mouseClick(w->b_annuler, Qt::LeftButton);
        p.avancer(1);
        QVERIFY(p.annulee());
    }
    QVERIFY(!w->isVisible());
    ProgressionPortee p(QStringLiteral("Chargement en cours..."), 2);
    QVERIFY(!p.annulee() && !w->b_annuler->isVisible());
}

void TestPlateformeQt::curseur() {
    QVERIFY(!QGuiApplication::overrideCursor());
    {
        CurseurOccupe a;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        { CurseurOccupe b; }
        QVERIFY(QGuiApplication::overrideCursor());
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestPlateformeQt::curseurPendantAttente() {
    // Long work shows the hourglass; a window that then waits for the user
    // shows the normal pointer, and the hourglass comes back after it.
    CurseurOccupe travail;
    QList<bool> sablierPendant;
    const auto fermerPlusTard = [&](auto fermer) {
        QTimer::singleShot(0, [&sablierPendant, fermer] {
            sablierPendant << (QGuiApplication::overrideCursor() != nullptr);
            fermer(QApplication::activeModalWidget());
        });
    };
    fermerPlusTard([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    afficherMessage(QStringLiteral("Question"), QStringLiteral("Confirmation"), Icone::Question,
                    Boutons::OuiNon);
    QDialog d;
    fermerPlusTard([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    executerModal(&d);
    fermerPlusTard([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QtChoixFichier().ouvrir(QStringLiteral("Export"), QDir::tempPath(), QString());
    QCOMPARE(sablierPendant, (QList<bool>{false, false, false}));
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

void TestPlateformeQt::executeurModal() {
    QDialog d;
    QTimer::singleShot(0, &d, [&d] {
        QVERIFY(d.isVisible());
        QCOMPARE(QApplication::activeModalWidget(), &d);
        d.accept();
    });
    QCOMPARE(executerModal(&d), int(QDialog::Accepted));
    QObject pasUnDialogue;
    QCOMPARE(executerModal(&pasUnDialogue), 0);
}

QTEST_MAIN(TestPlateformeQt)
#include "tst_plateformeQt.moc"
