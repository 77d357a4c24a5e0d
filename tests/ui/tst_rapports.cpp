// The two reports and their engine: the pages of each case are compared with
// a plain description kept under tests/rapports/ (page, band, control,
// position in twips, text). To write the references again after a deliberate
// change of layout, run this test with TARVENOR_REGENERER_RAPPORTS=1 and
// review the difference before committing it.
//
// Also: texts stay inside their columns, the PDF holds the same pages as
// the description (read back with pdftotext), printing without a printer,
// without a default printer and on the default printer, saving as PDF from
// the preview, and the thesaurus report as a workspace window.

#include "BaseDeTest.h"
#include "ChoixFichier.h"
#include "DR_dossier.h"
#include "DR_thesaurus.h"
#include "FenetresModales.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "Imprimantes.h"
#include "Medecin.h"
#include "Messages.h"
#include "QtApercuRapport.h"
#include "QtPlateforme.h"
#include "QtRapport.h"
#include "ThesaurusDeTest.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QPointer>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <map>

namespace {

const QDate dateImpression(2024, 3, 6);

Acte acte(const QString& code, bool classant = false, double tarif = 28.8) {
    Acte a;
    a.code = code;
    a.activite = QStringLiteral("1");
    a.Phase = QStringLiteral("0");
    a.acteClassant = classant;
    a.Tarif = tarif;
    return a;
}

Dossier dossier(int nbActes) {
    Dossier d;
    d.NOM = QStringLiteral("DURAND");
    d.PRENOM = QStringLiteral("MARIE");
    d.numHosp = QStringLiteral("24001");
    d.p_Date = QStringLiteral("2024-03-05");
    d.Heure = QStringLiteral("9:07");
    for (int i = 0; i < nbActes; ++i)
        d.ajouterActe(
            acte(QStringLiteral("ABCD%1").arg(i + 1, 3, 10, QLatin1Char('0')), i % 2 == 0));
    return d;
}

std::shared_ptr<QtRapport> rapportDossier(const Dossier& d) {
    return DR_dossier::construireRapport(d, QStringLiteral("MARTIN CLAIRE"),
                                         QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE"),
                                         dateImpression);
}

// A thesaurus with two categories; an act with its phases and (for a doctor)
// a complementary act.
Thesaurus thesaurus(bool medecin) {
    Thesaurus t;
    t.Medecin =
        medecin ? QStringLiteral("MARTIN CLAIRE") : QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE");
    t.UM = medecin ? QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE") : QString();
    QList<LigneCategorieThesaurus> cats;
    for (int c = 1; c <= 2; ++c) {
        LigneCategorieThesaurus cat;
        cat.numCat = c;
        cat.Categorie = QStringLiteral("Catégorie %1").arg(c);
        LigneActeThesaurus a;
        a.codeActe = QStringLiteral("NFKA00%1").arg(c);
        a.numCat = c;
        a.idActe = QString::number(c) + a.codeActe;
        a.LibActe = QStringLiteral("Remplacement de l'articulation du genou par prothèse");
        a.Phases = {{QStringLiteral("Phase unique"), a.idActe}};
        if (medecin)
            a.Phases.push_back({QStringLiteral("YYYY001 - Acte complémentaire"), a.idActe});
        cat.Actes = {a};
        cats.push_back(cat);
    }
    t.setThesaurus(cats);
    return t;
}

// Names, labels and numbers that must print intact.
const QString texteDifficile =
    QStringLiteral("L'« acte » \"cité\" & <b>gras</b> — Ærø, ÇA, Ελληνικά, Кириллица ") +
    QString(440, QLatin1Char('x'));

using Fabrique = std::function<std::shared_ptr<QtRapport>()>;

std::map<QString, Fabrique> cas() {
    std::map<QString, Fabrique> c;
    c[QStringLiteral("dossier_sans_acte")] = [] { return rapportDossier(dossier(0)); };
    c[QStringLiteral("dossier_60_actes")] = [] { return rapportDossier(dossier(60)); };
    c[QStringLiteral("dossier_classant_date")] = [] { return rapportDossier(dossier(2)); };
    c[QStringLiteral("thesaurus_unite")] = [] {
        return DR_thesaurus::construireRapport(thesaurus(false), dateImpression);
    };
    c[QStringLiteral("thesaurus_medecin")] = [] {
        return DR_thesaurus::construireRapport(thesaurus(true), dateImpression);
    };
    c[QStringLiteral("thesaurus_vide")] = [] {
        Thesaurus t;
        t.Medecin = QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE");
        return DR_thesaurus::construireRapport(t, dateImpression);
    };
    c[QStringLiteral("libelles_longs")] = [] {
        Thesaurus t = thesaurus(true);
        QList<LigneCategorieThesaurus> cats = t.getThesaurus();
        cats[0].Actes[0].LibActe = QString(250, QLatin1Char('m')) + QStringLiteral(" fin");
        cats[0].Actes[0].Phases[0].Phase = texteDifficile;
        cats[1].Categorie = texteDifficile;
        t.setThesaurus(cats);
        return DR_thesaurus::construireRapport(t, dateImpression);
    };
    c[QStringLiteral("libelle_plus_long_qu_une_page")] = [] {
        Thesaurus t = thesaurus(false);
        QList<LigneCategorieThesaurus> cats = t.getThesaurus();
        QString libelle;
        for (int i = 1; i <= 400; ++i)
            libelle += QStringLiteral("mot%1 de plusieurs lignes ").arg(i);
        cats[0].Actes[0].LibActe = libelle.trimmed();
        t.setThesaurus(cats);
        return DR_thesaurus::construireRapport(t, dateImpression);
    };
    c[QStringLiteral("dossier_noms_difficiles")] = [] {
        Dossier d = dossier(1);
        d.NOM = QStringLiteral("D'ARC & <FILS> \"LE BON\"");
        d.PRENOM = QStringLiteral("ÉLOÏSE-ΑΝΝΑ");
        d.numHosp = QString(500, QLatin1Char('9'));
        Acte a = acte(QStringLiteral("ZZ<&>'\"Z"));
        a.extDoc = QStringLiteral("é");
        d.ajouterActe(a);
        return rapportDossier(d);
    };
    return c;
}

QString cheminReference(const QString& nom) {
    return QStringLiteral(TARVENOR_TESTS_DIR "/rapports/") + nom + QStringLiteral(".txt");
}

QStringList texteDesPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QString texte = QString::fromUtf8(p.readAllStandardOutput());
    if (texte.endsWith(QLatin1Char('\f')))
        texte.chop(1);
    return texte.split(QLatin1Char('\f'));
}

// Runs the preview dialog of DR_dossier and lets a function drive it.
void piloterApercu(const std::function<void(QDialog*, QtApercuRapport*)>& pilote) {
    ExecuteurModal avant = installerExecuteurModal([&](QObject* o) {
        auto* d = qobject_cast<QDialog*>(o);
        pilote(d, d->findChild<QtApercuRapport*>());
        return 0;
    });
    DR_dossier::instance().afficher(dossier(60));
    installerExecuteurModal(avant);
}

QAction* action(QWidget* apercu, const char* nom) {
    return apercu->findChild<QAction*>(QLatin1String(nom));
}

} // namespace

class TstRapports : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pages_data();
    void pages();
    void textesDansLeurColonne();
    void enTeteTropLongAucunActePerdu_data();
    void enTeteTropLongAucunActePerdu();
    void enTeteRepeteEtPagination();
    void categorieJamaisSeuleEnBasDePage();
    void dateEtHeure_data();
    void dateEtHeure();
    void pdfLuParPdftotext();
    void pdfImpossibleAEcrire();
    void impression_data();
    void impression();
    void apercuDuDossier();
    void rapportDuThesaurusDepuisLaBase();
    void fenetreDuThesaurus();
    void touchesDeLApercu();
    void annulation();
};

void TstRapports::initTestCase() {
    installerFrancais();
    QFont f(QtRapport::police);
    QVERIFY2(QFontInfo(f).family() == QtRapport::police,
             "La police DejaVu Sans manque : lancez scripts/installer.sh.");
}

void TstRapports::pages_data() {
    QTest::addColumn<QString>("nom");
    for (const auto& [nom, fabrique] : cas())
        QTest::newRow(qPrintable(nom)) << nom;
}

void TstRapports::pages() {
    QFETCH(QString, nom);
    const QString obtenu = cas().at(nom)()->description();
    const QString chemin = cheminReference(nom);
    if (qEnvironmentVariableIsSet("TARVENOR_REGENERER_RAPPORTS")) {
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(obtenu.toUtf8());
        return;
    }
    const QString attendu = QString::fromUtf8(lireOctets(chemin));
    QVERIFY2(!attendu.isEmpty(), qPrintable(QStringLiteral("Référence absente : ") + chemin));
    if (obtenu != attendu) {
        const QStringList o = obtenu.split(QLatin1Char('\n')), a = attendu.split(QLatin1Char('\n'));
        for (int i = 0; i < std::max(o.size(), a.size()); ++i)
            QCOMPARE(o.value(i), a.value(i));
    }
}

void TstRapports::enTeteTropLongAucunActePerdu_data() {
    QTest::addColumn<int>("champ"); // 0 patient's name, 1 stay number, 2 doctor's name
    QTest::newRow("nom du patient") << 0;
    QTest::newRow("numéro d'hospitalisation") << 1;
    QTest::newRow("nom du médecin") << 2;
}

void TstRapports::enTeteTropLongAucunActePerdu() {
    // A 10,000-character header text: the header is cut, every act of the
    // file is printed inside the pages, and the pages are counted.
    QFETCH(int, champ);
    const QString long10000 = QStringLiteral("NOM TRES LONG ").repeated(715).left(10000);
    Dossier d = dossier(60);
    if (champ == 0)
        d.NOM = long10000;
    else if (champ == 1)
        d.numHosp = long10000;
    const std::shared_ptr<QtRapport> r = DR_dossier::construireRapport(
        d, champ == 2 ? long10000 : QStringLiteral("MARTIN CLAIRE"),
        QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE"), dateImpression);
    QStringList codes;
    int hautPied = QtRapport::hauteurUtile;
    for (const PageRapport& p : r->pages())
        for (const ElementPlace& e : p.elements)
            if (e.bande == QLatin1String("pied"))
                hautPied = std::min(hautPied, e.haut);
    for (int n = 0; n < r->nombrePages(); ++n)
        for (const ElementPlace& e : r->pages().at(n).elements) {
            QVERIFY2(e.gauche + e.largeur <= QtRapport::largeurUtile, qPrintable(e.nom));
            if (e.genre == ElementRapport::Genre::Texte) {
                QVERIFY2(largeurTexte(e.texte, e.points, e.gras) <= e.largeur, qPrintable(e.nom));
                if (e.bande != QLatin1String("pied"))
                    QVERIFY2(
                        e.haut + hauteurLigne(e.points, e.gras) <= hautPied,
                        qPrintable(
                            QStringLiteral("%1 en %2, page %3").arg(e.nom).arg(e.haut).arg(n + 1)));
            }
            if (e.nom == QLatin1String("t_code"))
                codes << e.texte;
            if (e.nom == QLatin1String("l_page"))
                QCOMPARE(e.texte, QStringLiteral("Page %1 / %2").arg(n + 1).arg(r->nombrePages()));
        }
    QCOMPARE(codes.size(), 60);
    QCOMPARE(codes.first(), QStringLiteral("ABCD001"));
    QCOMPARE(codes.last(), QStringLiteral("ABCD060"));
    QVERIFY(r->nombrePages() >= 2);
}

void TstRapports::textesDansLeurColonne() {
    for (const auto& [nom, fabrique] : cas()) {
        const std::shared_ptr<QtRapport> r = fabrique();
        for (const PageRapport& p : r->pages())
            for (const ElementPlace& e : p.elements) {
                QVERIFY2(e.gauche + e.largeur <= QtRapport::largeurUtile, qPrintable(nom));
                QVERIFY2(e.haut >= 0 && e.haut < QtRapport::hauteurUtile, qPrintable(nom));
                if (e.genre == ElementRapport::Genre::Texte)
                    QVERIFY2(largeurTexte(e.texte, e.points, e.gras) <= e.largeur,
                             qPrintable(nom + QStringLiteral(" : ") + e.nom + QStringLiteral(" ") +
                                        e.texte));
            }
        // No two texts of a page cover each other, nor the footer.
        for (const PageRapport& p : r->pages()) {
            int hautPied = QtRapport::hauteurUtile;
            for (const ElementPlace& e : p.elements)
                if (e.bande == QLatin1String("pied"))
                    hautPied = std::min(hautPied, e.haut);
            for (const ElementPlace& e : p.elements)
                if (e.bande != QLatin1String("pied") && e.genre == ElementRapport::Genre::Texte)
                    QVERIFY2(e.haut + hauteurLigne(e.points, e.gras) <= hautPied,
                             qPrintable(nom + QStringLiteral(" : ") + e.texte));
            QList<QRect> cadres;
            for (const ElementPlace& e : p.elements)
                if (e.genre == ElementRapport::Genre::Texte)
                    cadres << QRect(e.gauche, e.haut, e.largeur, hauteurLigne(e.points, e.gras));
            for (int i = 0; i < cadres.size(); ++i)
                for (int j = i + 1; j < cadres.size(); ++j)
                    QVERIFY2(!cadres.at(i).intersects(cadres.at(j)),
                             qPrintable(QStringLiteral("%1 : textes l'un sur l'autre en (%2, %3)")
                                            .arg(nom)
                                            .arg(cadres.at(j).x())
                                            .arg(cadres.at(j).y())));
        }
        // Nothing of a text is lost in the wrapping.
        QString tout;
        for (const PageRapport& p : r->pages())
            for (const ElementPlace& e : p.elements)
                tout += e.texte;
        tout.remove(QLatin1Char(' '));
        if (nom == QLatin1String("libelles_longs"))
            QVERIFY(tout.contains(QString(texteDifficile).remove(QLatin1Char(' '))));
        if (nom == QLatin1String("libelle_plus_long_qu_une_page")) {
            QVERIFY(r->nombrePages() >= 2);
            QVERIFY(
                tout.contains(QStringLiteral("mot399deplusieurslignesmot400deplusieurslignes")));
        }
    }
}

void TstRapports::enTeteRepeteEtPagination() {
    const std::shared_ptr<QtRapport> r = rapportDossier(dossier(60));
    QCOMPARE(r->nombrePages(), 2);
    QStringList codes;
    for (int n = 0; n < 2; ++n) {
        QStringList noms;
        for (const ElementPlace& e : r->pages().at(n).elements) {
            noms << e.nom;
            if (e.nom == QLatin1String("t_code"))
                codes << e.texte;
            if (e.nom == QLatin1String("l_page"))
                QCOMPARE(e.texte, QStringLiteral("Page %1 / 2").arg(n + 1));
        }
        for (const char* tete : {"l_nomMed", "l_UM", "l_nom", "l_prenom", "l_code", "l_prix"})
            QVERIFY2(noms.contains(QLatin1String(tete)), tete);
    }
    QCOMPARE(codes.size(), 60);
    QCOMPARE(codes.first(), QStringLiteral("ABCD001"));
    QCOMPARE(codes.last(), QStringLiteral("ABCD060"));
    // The column headings stand at the lefts of their fields.
    std::map<QString, int> gauches;
    for (const ElementPlace& e : r->pages().at(0).elements)
        gauches.emplace(e.nom, e.gauche);
    QCOMPARE(gauches.at(QStringLiteral("l_classant")), 8674);
    QCOMPARE(gauches.at(QStringLiteral("t_classant")), 8674);
    QCOMPARE(gauches.at(QStringLiteral("l_m1")), 4167);
    QCOMPARE(gauches.at(QStringLiteral("T_m1")), 4167);
}

void TstRapports::categorieJamaisSeuleEnBasDePage() {
    // A first category of 1 to 80 acts: at some count the second heading
    // falls at the foot of a page, and goes to the next with its first act.
    for (int nombre = 1; nombre <= 80; ++nombre) {
        Thesaurus t = thesaurus(false);
        QList<LigneCategorieThesaurus> cats = t.getThesaurus();
        LigneActeThesaurus a = cats[0].Actes[0];
        a.Phases.clear();
        cats[0].Actes = QList<LigneActeThesaurus>(nombre, a);
        t.setThesaurus(cats);
        const auto r = DR_thesaurus::construireRapport(t, dateImpression);
        for (int n = 0; n < r->nombrePages(); ++n) {
            // The lowest line of the page's details.
            const ElementPlace* dernier = nullptr;
            for (const ElementPlace& e : r->pages().at(n).elements)
                if ((e.nom == QLatin1String("t_cat") || e.nom == QLatin1String("t_code")) &&
                    (!dernier || e.haut >= dernier->haut))
                    dernier = &e;
            QVERIFY2(dernier && dernier->nom == QLatin1String("t_code"),
                     qPrintable(QStringLiteral("%1 actes, page %2").arg(nombre).arg(n + 1)));
        }
    }
}

void TstRapports::dateEtHeure_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("dateImprimee");
    QTest::addColumn<QString>("heure");
    QTest::addColumn<QString>("heureImprimee");
    QTest::newRow("ISO") << "2024-03-05"
                         << "05/03/2024"
                         << "9:07"
                         << "09:07";
    QTest::newRow("française") << "05/03/2024"
                               << "05/03/2024"
                               << "09:07:00"
                               << "09:07";
    QTest::newRow("courte") << "5/3/24"
                            << "05/03/2024"
                            << "21:30"
                            << "21:30";
    QTest::newRow("pas une date") << "demain"
                                  << "demain"
                                  << "midi"
                                  << "midi";
    QTest::newRow("vide") << ""
                          << ""
                          << ""
                          << "";
}

void TstRapports::dateEtHeure() {
    QFETCH(QString, date);
    QFETCH(QString, heure);
    QTEST(DR_dossier::formaterDate(date), "dateImprimee");
    QTEST(DR_dossier::formaterHeure(heure), "heureImprimee");
}

void TstRapports::pdfLuParPdftotext() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext manque : lancez scripts/installer.sh tests (poppler-utils).");
    QTemporaryDir dossierPdf;
    const QString chemin = dossierPdf.filePath(QStringLiteral("dossier.pdf"));
    const std::shared_ptr<QtRapport> r = rapportDossier(dossier(60));
    QString erreur;
    QVERIFY2(r->enregistrerPdf(chemin, &erreur), qPrintable(erreur));
    const QStringList pages = texteDesPages(chemin);
    QCOMPARE(pages.size(), 2);
    for (const QString& p : pages) {
        QVERIFY(p.contains(QStringLiteral("Unité médicale :")));
        QVERIFY(p.contains(QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE")));
        QVERIFY(p.contains(QStringLiteral("N° Hospitalisation :")));
        QVERIFY(p.contains(QStringLiteral("Prénom :")));
        QVERIFY(p.contains(QStringLiteral("05/03/2024")));
        QVERIFY(p.contains(QStringLiteral("09:07")));
        QVERIFY(p.contains(QStringLiteral("Activité")));
    }
    QVERIFY(pages.at(0).contains(QStringLiteral("ABCD001")));
    QVERIFY(pages.at(1).contains(QStringLiteral("ABCD060")));
    QVERIFY(pages.at(1).contains(QStringLiteral("Page 2 / 2")));
    // A line of the PDF is a line of the description: code, classant and price.
    QVERIFY(pages.at(0).contains(
        QRegularExpression(QStringLiteral("ABCD001\\s+1\\s+0\\s+Oui\\s+28[.,]8"))));
}

void TstRapports::pdfImpossibleAEcrire() {
    QTemporaryDir dossierPdf;
    const std::shared_ptr<QtRapport> r = rapportDossier(dossier(3));
    QString erreur;
    // A missing folder.
    QVERIFY(!r->enregistrerPdf(dossierPdf.filePath(QStringLiteral("absent/x.pdf")), &erreur));
    QVERIFY2(erreur.startsWith(QStringLiteral("Le fichier PDF « ")), qPrintable(erreur));
    QVERIFY2(erreur.contains(QStringLiteral("n'existe pas")), qPrintable(erreur));
    // A folder where nothing can be written: nothing is left there.
    const QString protege = dossierPdf.filePath(QStringLiteral("protege"));
    QVERIFY(QDir().mkdir(protege));
    {
        FichierLectureSeule verrou(protege);
        if (!verrou.ok())
            QSKIP("Impossible de protéger un dossier en écriture ici.");
        QVERIFY(!r->enregistrerPdf(protege + QStringLiteral("/x.pdf"), &erreur));
        QVERIFY2(erreur.contains(QStringLiteral("refusée")), qPrintable(erreur));
    }
    QVERIFY(
        QDir(protege).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    // A path naming a folder.
    QVERIFY(!r->enregistrerPdf(protege, &erreur));
    QVERIFY(QFileInfo(protege).isDir());
}

void TstRapports::impression_data() {
    QTest::addColumn<QStringList>("imprimantes");
    QTest::addColumn<QString>("parDefaut");
    QTest::addColumn<bool>("thesaurus");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("titre");
    QTest::addColumn<int>("icone");
    QTest::addColumn<QString>("imprimante");

    const QString erreur = QStringLiteral(
        "Erreur d'impression. Vérifiez qu'une imprimante est installée sur votre ordinateur.");
    const int aucune = int(Icone::Aucune), information = int(Icone::Information);
    QTest::newRow("dossier, aucune imprimante")
        << QStringList() << "" << false << erreur << "Tarvenor" << aucune << "";
    QTest::newRow("dossier, imprimante par défaut")
        << QStringList{"Bureau", "Étage 2"} << "Étage 2" << false << "L'impression est lancée."
        << "Impression" << information << "Étage 2";
    QTest::newRow("dossier, pas d'imprimante par défaut")
        << QStringList{"Bureau <RDC> & \"A\"", "Étage 2"} << "" << false
        << "L'impression est lancée sur « Bureau <RDC> & \"A\" »."
        << "Impression" << information << "Bureau <RDC> & \"A\"";
    QTest::newRow("dossier, défaut disparu")
        << QStringList{"Bureau"} << "Ancienne" << false << "L'impression est lancée sur « Bureau »."
        << "Impression" << information << "Bureau";
    QTest::newRow("thésaurus, aucune imprimante")
        << QStringList() << "" << true << erreur << "Tarvenor" << aucune << "";
    QTest::newRow("thésaurus, imprimante par défaut")
        << QStringList{"Bureau"} << "Bureau" << true << "1 pages imprimées."
        << "Impression" << information << "Bureau";
}

void TstRapports::impression() {
    QFETCH(QStringList, imprimantes);
    QFETCH(QString, parDefaut);
    QFETCH(bool, thesaurus);
    QFETCH(QString, imprimante);
    ImprimantesScriptees scripte(imprimantes, parDefaut);
    MessagesScriptes messages;
    if (thesaurus) {
        DR_thesaurus fenetre;
        fenetre.afficher(std::make_unique<Thesaurus>(::thesaurus(true)));
        QTest::qWait(0);
        fenetre.imprimer();
    } else {
        DR_dossier::instance().imprimer(dossier(2));
        QCOMPARE(DR_dossier::instance().dossier().NOM, QStringLiteral("DURAND"));
    }
    QCOMPARE(messages.journal().size(), size_t(1));
    QTEST(messages.journal().at(0).texte, "message");
    QTEST(messages.journal().at(0).titre, "titre");
    QTEST(int(messages.journal().at(0).icone), "icone");
    QCOMPARE(messages.journal().at(0).boutons, Boutons::Ok);
    if (imprimante.isEmpty()) {
        QVERIFY(scripte.travaux().empty());
        return;
    }
    QCOMPARE(scripte.travaux().size(), size_t(1));
    const auto& travail = scripte.travaux().front();
    QCOMPARE(travail.imprimante, imprimante);
    QCOMPARE(travail.pages, 1);
    QCOMPARE(travail.document, thesaurus ? QStringLiteral("MARTIN CLAIRE")
                                         : QStringLiteral("Dossier du patient: DURAND MARIE"));
    QVERIFY(QFileInfo(travail.fichier).size() > 0);
}

void TstRapports::apercuDuDossier() {
    QTemporaryDir dossierPdf;
    ImprimantesScriptees scripte({QStringLiteral("Bureau")}, QStringLiteral("Bureau"));
    scripte.dossierSortie = dossierPdf.path();
    MessagesScriptes messages;
    ChoixFichierScripte choix;
    const QString pdf = dossierPdf.filePath(QStringLiteral("patient"));
    choix.setFichierSuivant(pdf);
    choix.setFichierSuivant(dossierPdf.filePath(QStringLiteral("absent/patient.pdf")));
    bool pilote = false;
    piloterApercu([&](QDialog* d, QtApercuRapport* apercu) {
        pilote = true;
        QVERIFY(apercu);
        QCOMPARE(d->windowTitle(), QStringLiteral("Dossier du patient: DURAND MARIE"));
        QCOMPARE(apercu->nombrePages(), 2);
        action(apercu, "b_pageSuivante")->trigger();
        QCOMPARE(apercu->pageCourante(), 2);
        action(apercu, "b_zoomPlus")->trigger();
        // "Enregistrer en PDF…": the extension is added; a bad folder is refused.
        action(apercu, "b_pdf")->trigger();
        QCOMPARE(texteDesPages(pdf + QStringLiteral(".pdf")).size(), 2);
        QVERIFY(messages.journal().empty());
        action(apercu, "b_pdf")->trigger();
        QCOMPARE(messages.journal().size(), size_t(1));
        QCOMPARE(messages.journal().at(0).titre, QStringLiteral("Erreur"));
        QVERIFY(!QFileInfo::exists(dossierPdf.filePath(QStringLiteral("absent"))));
        // "Imprimer" prints every page and keeps the preview open.
        action(apercu, "b_imprimer")->trigger();
        QCOMPARE(messages.journal().back().texte, QStringLiteral("L'impression est lancée."));
        QCOMPARE(scripte.travaux().size(), size_t(1));
        QCOMPARE(scripte.travaux().front().pages, 2);
        QSignalSpy fin(d, &QDialog::rejected);
        action(apercu, "b_fermer")->trigger();
        QCOMPARE(fin.count(), 1);
    });
    QVERIFY(pilote);
    QCOMPARE(choix.dernierFiltre, QStringLiteral("Documents PDF (*.pdf)|*.pdf"));
    QCOMPARE(choix.dernierTitre, QStringLiteral("Enregistrer en PDF"));
    QCOMPARE(QFileInfo(choix.dernierDossier).fileName(),
             QStringLiteral("Dossier du patient DURAND MARIE.pdf"));
}

void TstRapports::rapportDuThesaurusDepuisLaBase() {
    BaseDeTest base;
    const ThesaurusDeTest ids = remplirThesaurusDeTest(base);
    Q_UNUSED(ids);
    Medecin m;
    m.code = QStringLiteral("MED1");
    m.remplirDonnees();
    m.remplirThesaurusMED();
    Thesaurus medecin;
    medecin.remplirThesaurus(m);
    Thesaurus unite;
    unite.remplirThesaurusUM(QStringLiteral("UM1 - Cardiologie"));
    auto textes = [](const Thesaurus& t) {
        QStringList l;
        // The report is kept alive while its elements are read.
        const auto rapport = DR_thesaurus::construireRapport(t, dateImpression);
        for (const ElementPlace& e : rapport->pages().at(0).elements)
            if (e.genre == ElementRapport::Genre::Texte)
                l << e.nom + QLatin1Char('=') + e.texte;
        return l;
    };
    const QStringList lm = textes(medecin), lu = textes(unite);
    QVERIFY(lm.contains(QStringLiteral("l_LabelUM=Unité médicale :")));
    QVERIFY(lm.contains(QStringLiteral("l_UM=UM1 - Cardiologie")));
    QVERIFY(lm.contains(QStringLiteral("t_cat=Bilan")));
    QVERIFY(!lm.contains(QStringLiteral("t_cat=Autres"))); // no act: not printed
    QVERIFY(lm.contains(QStringLiteral("t_phase=Première phase")));
    QVERIFY(lm.filter(QStringLiteral("t_phase=COMP001 - ")).size() > 0);
    QVERIFY(lm.filter(QStringLiteral("COMP002")).isEmpty());
    QVERIFY(lu.filter(QStringLiteral("l_LabelUM")).isEmpty());
    QVERIFY(lu.contains(QStringLiteral("l_nomMedecin=UM1 - Cardiologie")));
    QVERIFY(lu.contains(QStringLiteral("t_cat=Urgences")));
    QVERIFY(lu.filter(QStringLiteral("COMP00")).isEmpty());
}

void TstRapports::fenetreDuThesaurus() {
    QPointer<DR_thesaurus> fenetre = new DR_thesaurus;
    auto t = std::make_unique<Thesaurus>(thesaurus(false));
    const Thesaurus* garde = t.get();
    fenetre->afficher(std::move(t));
    QCOMPARE(DR_thesaurus::instance(), fenetre.data());
    QCOMPARE(fenetre->thesaurus(), garde);
    QCOMPARE(fenetre->modeEcran(), qint16(8));
    QCOMPARE(fenetre->windowTitle(), QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE"));
    QCOMPARE(fenetre->apercu()->nombrePages(), 1);
    QSignalSpy retour(fenetre.data(), &DR_thesaurus::retourDemande);
    action(fenetre->apercu(), "b_fermer")->trigger();
    QCOMPARE(retour.count(), 1);
    // Opened again on a doctor's thesaurus: the new one replaces the first.
    fenetre->afficher(std::make_unique<Thesaurus>(thesaurus(true)));
    QCOMPARE(fenetre->modeEcran(), qint16(9));
    QVERIFY(fenetre->thesaurus() != nullptr);
    QCOMPARE(fenetre->thesaurus()->Medecin, QStringLiteral("MARTIN CLAIRE"));
    // Closing releases the window and its thesaurus.
    fenetre->close();
    QTRY_VERIFY_WITH_TIMEOUT(fenetre.isNull(), attenteMaxMs);
    QCOMPARE(DR_thesaurus::instance(), nullptr);
}

void TstRapports::touchesDeLApercu() {
    // The page keys work with the focus on the pages, not only in the
    // preview's toolbar.
    QtApercuRapport apercu;
    apercu.resize(900, 1000);
    apercu.show();
    apercu.setRapport(rapportDossier(dossier(60)));
    apercu.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&apercu, attenteMaxMs));
    QWidget* pages = apercu.vue()->findChild<QAbstractScrollArea*>()->viewport();
    pages->setFocus();
    QCOMPARE(apercu.pageCourante(), 1);
    QTest::keyClick(pages, Qt::Key_PageDown);
    QCOMPARE(apercu.pageCourante(), 2);
    QTest::keyClick(pages, Qt::Key_PageUp);
    QCOMPARE(apercu.pageCourante(), 1);
    QSignalSpy impression(&apercu, &QtApercuRapport::imprimerDemande);
    QTest::keyClick(pages, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(impression.count(), 1);
}

void TstRapports::annulation() {
    // "Annuler" during the layout keeps nothing (the next layout starts
    // again); during the PDF, the file is left as it was, or not made.
    const std::shared_ptr<QtRapport> r = rapportDossier(dossier(300));
    ProgressionEnregistree progression;
    progression.annulerApres = 0;
    QVERIFY(!r->mettreEnPage());
    progression.annulerApres = -1;
    QVERIFY(r->mettreEnPage());
    QVERIFY(r->nombrePages() > 2);

    QTemporaryDir dossierPdf;
    const QString ancien = dossierPdf.filePath(QStringLiteral("ancien.pdf"));
    const QString nouveau = dossierPdf.filePath(QStringLiteral("nouveau.pdf"));
    ecrireOctets(ancien, "ancien");
    progression.annulerApres = 1;
    for (const QString& chemin : {ancien, nouveau}) {
        QString erreur = QStringLiteral("?");
        QVERIFY(!r->enregistrerPdf(chemin, &erreur, true));
        QCOMPARE(erreur, QString());
    }
    QCOMPARE(QDir(dossierPdf.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("ancien.pdf")});
    QCOMPARE(lireOctets(ancien), QByteArray("ancien"));
    progression.annulerApres = -1;
    QString erreur;
    QVERIFY2(r->enregistrerPdf(nouveau, &erreur, true), qPrintable(erreur));
    QCOMPARE(texteDesPages(nouveau).size(), r->nombrePages());
}

QTEST_MAIN(TstRapports)
#include "tst_rapports.moc"
