// The three search panels, their shared result list, the details panel and
// the chapter notes dialog, driven offscreen on the demonstration database
// completed with rows of their own (codes and words no real act uses).

#include "AccesDonnees.h"
#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Panier.h"
#include "Utilisateur.h"
#include "ctr_Details.h"
#include "ctr_Hier.h"
#include "ctr_motCle.h"
#include "ctr_site.h"
#include "d_ajoutPanier.h"
#include "d_notesUtilisation.h"
#include "d_rechercheActe.h"
#include "d_selectCat.h"
#include "f_thesaurusMED.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <sqlite3.h>

namespace {

const QString erreurMotCle = QStringLiteral("Vous devez saisir un mot clé");
const QString aucunResultat = QStringLiteral("aucun résultat pour cette recherche");

// Acts, chapters, systems and notes used by the tests.
void ajouterDonnees(const BaseDeTest& base) {
    const char* actes[][6] = {
        // code, activity, phase, label, position, classifying
        {"QQZA001", "1", "0", "Tarvenorite bilatérale, par voie basse", "98010100", "Y"},
        {"QQZA002", "1", "0", "Zythologie tarvenorique unilatérale", "98010100", "N"},
        {"QQZA002", "4", "0", "Zythologie tarvenorique unilatérale", "98010100", "N"},
        {"QQYB001", "1", "1", "Brachylogie tarvenorique en deux temps", "98020000", "Y"},
        {"QQYB001", "1", "2", "Brachylogie tarvenorique en deux temps", "98020000", "Y"},
        {"QQXC001", "1", "0", "Acte sans autre précision", "98010201", "N"},
    };
    for (const auto& a : actes) {
        const QString libelle = QString::fromUtf8(a[3]);
        QString sansAccent = libelle.toLower();
        sansAccent.replace(QChar(0x00E9), u'e').replace(QChar(0x00E8), u'e');
        base.executer(
            QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Libelle_Activite, Phase, "
                           "Libelle_Phase, Tarif, ICR, Libelle_Court, Libelle_Complet, "
                           "Libelle_sans_accent, Libelle_simplifie, PositionH, "
                           "Caractere_classant) VALUES ('%1', '%2', 'Activité %2', '%3', %4, "
                           "12.5, 0, '%5', '%5', '%6', '%6', '%7', '%8')")
                .arg(QString::fromUtf8(a[0]), QString::fromUtf8(a[1]), QString::fromUtf8(a[2]),
                     QString::fromUtf8(a[2]) == u"0"
                         ? QStringLiteral("NULL")
                         : QStringLiteral("'Phase ") + QString::fromUtf8(a[2]) + u'\'',
                     doublerQuotes(libelle), doublerQuotes(sansAccent), QString::fromUtf8(a[4]),
                     QString::fromUtf8(a[5])));
    }
    base.executer("INSERT INTO Hierarchie1 VALUES ('98', 'CHAPITRE DE TEST')");
    base.executer("INSERT INTO Hierarchie2 VALUES ('98.01', 'Sous-chapitre avec paragraphes')");
    base.executer("INSERT INTO Hierarchie2 VALUES ('98.02', 'Sous-chapitre sans paragraphe')");
    base.executer("INSERT INTO Hierarchie3 VALUES ('98.01.01', 'Paragraphe sans division')");
    base.executer("INSERT INTO Hierarchie3 VALUES ('98.01.02', 'Paragraphe divisé')");
    base.executer("INSERT INTO Hierarchie4 VALUES ('98.01.02.01', 'Sous-paragraphe')");
    base.executer(QString::fromUtf8("INSERT INTO Notes_Hierarchie VALUES ('98.01', "
                                    "'Première note¶suite de la note')"));
    base.executer("INSERT INTO Actes_Incompatibles VALUES ('QQZA001', 'QQXC001')");
    base.executer("INSERT INTO Modificateurs VALUES ('Q9', 'Modificateur de test', 3.5, NULL)");
    base.executer("INSERT INTO Acte_Modificateur VALUES ('QQZA002', '4', 'Q9')");
    base.executer("INSERT INTO \"Systèmes\" VALUES ('QS', 'Système de test')");
    base.executer("INSERT INTO \"Systèmes\" VALUES ('QV', 'Système vide')");
    base.executer("INSERT INTO ORGANES VALUES ('QQ', 'Organe de test', 'QS')");
    base.executer("INSERT INTO ORGANES VALUES ('QP', 'Organe sans acte', 'QS')");
}

QStringList codesListe(const QTreeWidget* liste) {
    QStringList codes;
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        codes << liste->topLevelItem(i)->text(0);
    return codes;
}

// "code label" for every row.
QStringList lignesListe(const QTreeWidget* liste) {
    QStringList lignes;
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        lignes << liste->topLevelItem(i)->text(0) + u' ' + liste->topLevelItem(i)->text(1);
    return lignes;
}

// 300 acts QRZA001 to QRZA300 whose labels, "Tarvenase NNN" then a tail of
// up to 59 characters, are in another order than their codes: more rows
// than a few screenfuls.
void ajouterActesNombreux(const BaseDeTest& base) {
    base.executer(QStringLiteral(
        "INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Court, Libelle_Complet, "
        "Libelle_sans_accent, Libelle_simplifie, PositionH) "
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300), "
        "l(i, t) AS (SELECT i, printf('Tarvenase %03d %s', i * 7 % 300, substr('du segment "
        "proximal et distal par voie ouverte avec reconstruction', 1, i % 60)) FROM n) "
        "SELECT printf('QRZA%03d', i), '1', '0', t, t, lower(t), lower(t), '99000000' FROM l"));
}

QPoint centreLigne(QTreeWidget* liste, int ligne) {
    return liste->visualItemRect(liste->topLevelItem(ligne)).center();
}

// Chooses a row of one level of chapters as the user does in its drop-down list.
void choisirChapitre(ctr_Hier& panneau, int niveau, int ligne) {
    QComboBox* combo = panneau.c_hier[niveau];
    combo->setCurrentIndex(ligne);
    emit combo->activated(ligne);
}

// Types the text as the user does, then lets the pause after the last
// keystroke end and the list follow.
void taper(ctr_motCle& panneau, const QString& texte) {
    QTest::keyClicks(panneau.t_motCle, texte);
    QTRY_VERIFY_WITH_TIMEOUT(!panneau.minuterieFrappe()->isActive(), attenteMaxMs);
}

void effacerEtTaper(ctr_motCle& panneau, const QString& texte) {
    panneau.t_motCle->selectAll();
    QTest::keyClick(panneau.t_motCle, Qt::Key_Delete);
    taper(panneau, texte);
}

QString etatListe(const ctr_motCle& panneau) {
    return panneau.l_etatListe->isVisible() ? panneau.l_etatListe->text() : QString();
}

void chercher(ctr_motCle& panneau, const QString& texte, bool parCode) {
    panneau.O_recherche[parCode ? 0 : 1]->setChecked(true);
    panneau.t_motCle->setText(texte);
    QTest::mouseClick(panneau.b_recherche, Qt::LeftButton);
}

} // namespace

class tst_recherche : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void legendes();
    void motCle_data();
    void motCle();
    void motCleSaisiesDifficiles_data();
    void motCleSaisiesDifficiles();
    void frappe_data();
    void frappe();
    void frappeUneRechercheParPause();
    void frappeGardeLaSelection();
    void correctionProposee();
    void motsTapesEnModeCode_data();
    void motsTapesEnModeCode();
    void frappeBaseOccupee();
    void frappeListeLongue_data();
    void frappeListeLongue();
    void frappeListeLongueChoix();
    void choixParClicEtFleche();
    void detailsDansLaFenetreHote();
    void triParColonne();
    void triEnOrdreFrancais();
    void detailsDeLOngletMontre();
    void casesACocherDansLaRecherche();
    void menuContextuel_data();
    void menuContextuel();
    void menuPanier();
    void menuThesaurus();
    void site();
    void siteMotPlusLargeQueSaColonne();
    void hierarchie();
    void notesDeChapitre();
    void details();
    void detailsHierarchieAlignee();

private:
    std::unique_ptr<BaseDeTest> m_base;
    std::unique_ptr<MessagesScriptes> m_messages;
};

void tst_recherche::init() {
    reinitialiserEtatGlobal();
    m_base = std::make_unique<BaseDeTest>(true);
    ajouterDonnees(*m_base);
    m_messages = std::make_unique<MessagesScriptes>();
}

void tst_recherche::cleanup() {
    m_messages.reset();
    m_base.reset();
    reinitialiserEtatGlobal();
}

// The program's own texts on the panels, as the user reads them.
void tst_recherche::legendes() {
    ctr_motCle motCle;
    QCOMPARE(motCle.Label1->text(),
             QStringLiteral("Tapez un ou plusieurs mots clés séparés par des espaces. Vous pouvez "
                            "effectuer votre recherche par code ou par libellé"));
    QCOMPARE(motCle.O_recherche[0]->text(), QStringLiteral("Code"));
    QCOMPARE(motCle.O_recherche[1]->text(), QStringLiteral("Libellé"));
    QVERIFY(motCle.O_recherche[0]->isChecked());
    QCOMPARE(motCle.b_recherche->text(), QStringLiteral("Rechercher"));
    QCOMPARE(motCle.LV_Actes->headerItem()->text(0), QStringLiteral("Code"));
    QCOMPARE(motCle.LV_Actes->headerItem()->text(1), QStringLiteral("Libelle"));
    QCOMPARE(motCle.m_ajoutPanier->text(), QStringLiteral("Sélectionner cet acte"));
    QCOMPARE(motCle.m_ajoutThesaurus->text(), QStringLiteral("Ajouter au thesaurus"));

    ctr_site site;
    QCOMPARE(site.Frame1->title(), QStringLiteral("Système"));
    QCOMPARE(site.Frame2->title(), QStringLiteral("Organe ou fonction"));

    ctr_Hier hier;
    QStringList niveaux;
    for (int i = 0; i < 4; ++i) {
        niveaux << hier.l_hier[i]->text();
        QCOMPARE(hier.b_notes[i]->toolTip(), QStringLiteral("Notes d'utilisation"));
    }
    QCOMPARE(niveaux,
             (QStringList{"Chapitre :", "Sous chapitre :", "Paragraphe :", "Sous Paragraphe :"}));

    ctr_Details details;
    QCOMPARE(details.f_phasesActivites->title(), QStringLiteral("Activité / Phase"));
    d_notesUtilisation notes;
    QCOMPARE(notes.windowTitle(), QStringLiteral("Notes d'utilisation"));
    QCOMPARE(notes.f_notes->title(), QStringLiteral("Notes d'utilisation"));
    QCOMPARE(notes.OKButton->text(), QStringLiteral("OK"));
}

void tst_recherche::motCle_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<bool>("parCode");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("deux mots séparés par deux blancs")
        << QString::fromUtf8("tarvenorique  unilatérale") << false << QStringList{"QQZA002"}
        << QStringList{};
    QTest::newRow("un mot, plusieurs actes")
        << "tarvenorique" << false << QStringList{"QQYB001", "QQZA002"} << QStringList{};
    QTest::newRow("préfixe de code")
        << "QQZ" << true << QStringList{"QQZA001", "QQZA002"} << QStringList{};
    QTest::newRow("deux préfixes différents")
        << "QQZ QQY" << true << QStringList{} << QStringList{aucunResultat};
    QTest::newRow("blancs seuls") << "    " << false << QStringList{} << QStringList{erreurMotCle};
}

void tst_recherche::motCle() {
    QFETCH(QString, saisie);
    QFETCH(bool, parCode);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, messages);
    ctr_motCle panneau;
    panneau.show();
    chercher(panneau, saisie, parCode);
    QCOMPARE(codesListe(panneau.LV_Actes), codes);
    QCOMPARE(m_messages->textes(), messages);
    if (!codes.isEmpty()) {
        // The first row is selected, and so picked: the details never show
        // another act than the one highlighted.
        QCOMPARE(panneau.LV_Actes->currentItem(), panneau.LV_Actes->topLevelItem(0));
        QCOMPARE(acteCourant.code, codes.front());
        QCOMPARE(panneau.acteSelectionne(), codes.front());
        QCOMPARE(panneau.LV_Actes->topLevelItem(0)->text(1).isEmpty(), false);
    }
    if (!messages.isEmpty()) {
        const MessageAffiche& m = m_messages->journal().front();
        QCOMPARE(m.titre, messages.front() == erreurMotCle ? QStringLiteral("Erreur")
                                                           : QStringLiteral("Résultat"));
        QCOMPARE(m.icone, Icone::Exclamation);
    }
    // Enter in the text box runs the same search.
    m_messages->vider();
    panneau.LV_Actes->clear();
    QTest::keyClick(panneau.t_motCle, Qt::Key_Return);
    QCOMPARE(codesListe(panneau.LV_Actes), codes);
    QCOMPARE(m_messages->textes(), messages);
}

void tst_recherche::motCleSaisiesDifficiles_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<bool>("parCode");
    QTest::newRow("apostrophes") << "l'os d'un 'acte'" << false;
    QTest::newRow("guillemets") << "\"tarvenorique\"" << false;
    QTest::newRow("pourcentage") << "%" << false;
    QTest::newRow("souligné") << "Q_Z" << true;
    QTest::newRow("majuscules accentuées") << QString::fromUtf8("ÉTAT À") << false;
    QTest::newRow("500 caractères") << QString(500, u'é') << false;
    QTest::newRow("point-virgule") << "x'; DROP TABLE CCAM; --" << false;
    QTest::newRow("code avec apostrophe") << "QQ'" << true;
}

void tst_recherche::motCleSaisiesDifficiles() {
    QFETCH(QString, saisie);
    QFETCH(bool, parCode);
    ctr_motCle panneau;
    panneau.show();
    chercher(panneau, saisie, parCode);
    const QStringList textes = m_messages->textes();
    QVERIFY2(panneau.LV_Actes->topLevelItemCount() > 0 || textes == QStringList{aucunResultat},
             qPrintable(textes.join(u'\n')));
    for (const MessageAffiche& m : m_messages->journal())
        QVERIFY2(m.titre != QStringLiteral("ERREUR"), qPrintable(m.texte));
    QCOMPARE(m_base->compter("SELECT count(*) FROM CCAM WHERE AMCODE = 'QQZA001'"), 1LL);
}

// The list follows the typed text without any message box: the rows found,
// or what the list says instead. Each row is typed in one go: one search at
// most.
void tst_recherche::frappe_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<bool>("parCode");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("etat");
    QTest::addColumn<int>("recherches");
    const QString aucun = QStringLiteral("Aucun résultat pour cette recherche.");
    const QString pasDeLettre = QStringLiteral(
        "Tapez au moins trois lettres ou chiffres, ou appuyez sur Entrée pour rechercher.");
    const QString tropLong = QStringLiteral("Ce texte est trop long pour être recherché pendant "
                                            "la frappe : appuyez sur Entrée pour le rechercher.");
    QTest::newRow("deux mots du libellé") << QStringLiteral("tarvenorique unilaterale") << false
                                          << QStringList{"QQZA002"} << QString() << 1;
    QTest::newRow("préfixe de code")
        << "qqz" << true << QStringList{"QQZA001", "QQZA002"} << QString() << 1;
    QTest::newRow("aucun résultat") << "zzqq" << false << QStringList{} << aucun << 1;
    QTest::newRow("apostrophes") << "l'os d'un 'acte'" << false << QStringList{} << aucun << 1;
    QTest::newRow("blancs seuls") << "     " << false << QStringList{} << QString() << 0;
    QTest::newRow("deux lettres") << "qq" << true << QStringList{} << pasDeLettre << 0;
    QTest::newRow("pourcentage seul") << "%" << false << QStringList{} << pasDeLettre << 0;
    QTest::newRow("pourcentages et blancs")
        << "% _ %%" << true << QStringList{} << pasDeLettre << 0;
    QTest::newRow("pourcentage et lettres")
        << "tarv%que" << false << QStringList{"QQYB001", "QQZA002"} << QString() << 1;
    QTest::newRow("500 caractères")
        << QString(500, u'é') << false << QStringList{} << tropLong << 0;
    QString paragraphe;
    for (int i = 0; i < 8; ++i)
        paragraphe += QString::fromUtf8("Le patient présente une tarvenorite bilatérale, opérée "
                                        "par voie basse ; suites simples. ");
    QTest::newRow("paragraphe collé") << paragraphe << false << QStringList{} << tropLong << 0;
    QTest::newRow("treize mots") << QStringLiteral("a b c d e f g h i j k l m") << false
                                 << QStringList{} << tropLong << 0;
}

void tst_recherche::frappe() {
    QFETCH(QString, saisie);
    QFETCH(bool, parCode);
    QFETCH(QStringList, codes);
    QFETCH(QString, etat);
    QFETCH(int, recherches);
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    panneau.O_recherche[parCode ? 0 : 1]->setChecked(true);
    if (saisie.size() > 100) {
        // Pasted at once.
        panneau.t_motCle->insert(saisie);
        emit panneau.t_motCle->textEdited(panneau.t_motCle->text());
        QTRY_VERIFY_WITH_TIMEOUT(!panneau.minuterieFrappe()->isActive(), attenteMaxMs);
    } else {
        taper(panneau, saisie);
    }
    QCOMPARE(codesListe(panneau.LV_Actes), codes);
    QCOMPARE(etatListe(panneau), etat);
    QCOMPARE(m_messages->textes(), QStringList());
    QCOMPARE(panneau.recherchesSuivies(), recherches);
    if (!codes.isEmpty()) {
        // As after "Rechercher": the first row highlighted and picked, so
        // that the details show the act the list selects.
        QCOMPARE(panneau.LV_Actes->currentItem(), panneau.LV_Actes->topLevelItem(0));
        QCOMPARE(acteCourant.code, codes.constFirst());
    }
    // Enter keeps its own behaviour and messages, whatever the list showed.
    QTest::keyClick(panneau.t_motCle, Qt::Key_Return);
    for (const MessageAffiche& m : m_messages->journal())
        QVERIFY2(m.titre != QStringLiteral("ERREUR"), qPrintable(m.texte));
    QVERIFY(!panneau.minuterieFrappe()->isActive());
}

// Keystrokes closer together than the pause give one search, of the text in
// the box when the typing pauses; a keystroke undone within the pause none;
// Enter before the pause runs its own search only, with its message.
void tst_recherche::frappeUneRechercheParPause() {
    ctr_motCle panneau;
    panneau.show();
    panneau.O_recherche[1]->setChecked(true);
    taper(panneau, QStringLiteral("tarvenorique"));
    QCOMPARE(panneau.recherchesSuivies(), 1);
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQYB001", "QQZA002"}));

    QTest::keyClick(panneau.t_motCle, Qt::Key_X);
    QTest::keyClick(panneau.t_motCle, Qt::Key_Backspace);
    QTRY_VERIFY_WITH_TIMEOUT(!panneau.minuterieFrappe()->isActive(), attenteMaxMs);
    QCOMPARE(panneau.recherchesSuivies(), 1);

    QTest::keyClicks(panneau.t_motCle, QStringLiteral(" zz"));
    QTest::keyClick(panneau.t_motCle, Qt::Key_Return);
    QCOMPARE(m_messages->textes(), QStringList{aucunResultat});
    QCOMPARE(m_messages->journal().front().titre, QStringLiteral("Résultat"));
    // Once the typing timer has run out (however late on a loaded machine),
    // no search followed the Enter key's.
    QTRY_VERIFY_WITH_TIMEOUT(!panneau.minuterieFrappe()->isActive(), attenteMaxMs);
    QCOMPARE(panneau.recherchesSuivies(), 1);
    QCOMPARE(m_messages->textes(), QStringList{aucunResultat});

    // Changing the option searches the text again.
    m_messages->vider();
    effacerEtTaper(panneau, QStringLiteral("QQY"));
    QCOMPARE(codesListe(panneau.LV_Actes), QStringList());
    QTest::mouseClick(panneau.O_recherche[0], Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(codesListe(panneau.LV_Actes), QStringList{"QQYB001"}, attenteMaxMs);
    QCOMPARE(m_messages->textes(), QStringList());
}

// The act picked in the list stays highlighted while the new results hold
// it, without being picked again; results without it pick their first row,
// which the details then show.
void tst_recherche::frappeGardeLaSelection() {
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    panneau.O_recherche[1]->setChecked(true);
    QStringList annonces;
    connect(&panneau, &ctr_ListeActes::acteChoisi, &panneau,
            [&](const QString& code) { annonces << code; });
    taper(panneau, QStringLiteral("tarvenori"));
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQYB001", "QQZA001", "QQZA002"}));
    QTest::mouseClick(panneau.LV_Actes->viewport(), Qt::LeftButton, {},
                      centreLigne(panneau.LV_Actes, 2));
    QCOMPARE(annonces, (QStringList{"QQYB001", "QQZA002"}));

    taper(panneau, QStringLiteral("q"));
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQYB001", "QQZA002"}));
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QQZA002"));

    QTest::keyClick(panneau.t_motCle, Qt::Key_Backspace);
    QTRY_COMPARE_WITH_TIMEOUT(panneau.LV_Actes->topLevelItemCount(), 3, attenteMaxMs);
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QQZA002"));

    QTest::keyClick(panneau.t_motCle, Qt::Key_T);
    QTRY_COMPARE_WITH_TIMEOUT(codesListe(panneau.LV_Actes), QStringList{"QQZA001"}, attenteMaxMs);
    QCOMPARE(panneau.LV_Actes->currentItem(), panneau.LV_Actes->topLevelItem(0));
    QCOMPARE(acteCourant.code, QStringLiteral("QQZA001"));
    QCOMPARE(annonces, (QStringList{"QQYB001", "QQZA002", "QQZA001"}));
    QCOMPARE(m_messages->textes(), QStringList());
}

// A label search that finds nothing offers the correction in the list; one
// click on it puts it in the box and lists its acts, without a message box.
void tst_recherche::correctionProposee() {
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    QStringList demandees;
    panneau.setFonctionCorrection([&](const QString& saisie) {
        demandees << saisie;
        return saisie == QStringLiteral("tarvenoriqe unilaterale")
                   ? QStringLiteral("tarvenorique unilaterale")
                   : QString();
    });
    panneau.O_recherche[1]->setChecked(true);
    taper(panneau, QStringLiteral("tarvenoriqe unilaterale"));
    QCOMPARE(codesListe(panneau.LV_Actes), QStringList());
    QVERIFY(panneau.l_etatListe->isVisible());
    QTextDocument lu;
    lu.setHtml(panneau.l_etatListe->text());
    QCOMPARE(lu.toPlainText(),
             QStringLiteral("Aucun résultat pour cette recherche.\nVouliez-vous dire : "
                            "tarvenorique unilaterale ?"));
    // One click on the corrected words (the second line, centred).
    const QFontMetrics mesure(panneau.l_etatListe->font());
    const QString ligne = QStringLiteral("Vouliez-vous dire : tarvenorique unilaterale ?");
    const int debutLigne =
        (panneau.l_etatListe->contentsRect().width() - mesure.horizontalAdvance(ligne)) / 2;
    const QPoint surLeLien(debutLigne +
                               mesure.horizontalAdvance(QStringLiteral("Vouliez-vous dire : ")) +
                               mesure.horizontalAdvance(QStringLiteral("tarvenorique")),
                           mesure.lineSpacing() * 3 / 2);
    QTest::mouseClick(panneau.l_etatListe, Qt::LeftButton, {}, surLeLien);
    QCOMPARE(panneau.t_motCle->text(), QStringLiteral("tarvenorique unilaterale"));
    QCOMPARE(codesListe(panneau.LV_Actes), QStringList{"QQZA002"});
    QVERIFY(!panneau.l_etatListe->isVisible());
    QCOMPARE(m_messages->textes(), QStringList());

    // No correction known: the list says there is no result, with no link.
    effacerEtTaper(panneau, QStringLiteral("zzqq"));
    QCOMPARE(etatListe(panneau), QStringLiteral("Aucun résultat pour cette recherche."));
    // After Enter, its message, then the same in the list.
    effacerEtTaper(panneau, QStringLiteral("tarvenoriqe"));
    QCOMPARE(panneau.recherchesSuivies(), 4);
    panneau.t_motCle->setText(QStringLiteral("tarvenoriqe unilaterale"));
    QTest::keyClick(panneau.t_motCle, Qt::Key_Return);
    QCOMPARE(m_messages->textes(), QStringList{aucunResultat});
    QVERIFY(etatListe(panneau).contains(QStringLiteral("Vouliez-vous dire")));
    // Codes are not corrected; words that begin no code get the label search.
    demandees.clear();
    panneau.O_recherche[0]->setChecked(true);
    QTRY_VERIFY_WITH_TIMEOUT(!panneau.minuterieFrappe()->isActive(), attenteMaxMs);
    lu.setHtml(etatListe(panneau));
    QCOMPARE(lu.toPlainText(),
             QStringLiteral("Aucun résultat pour cette recherche.\nRechercher « tarvenoriqe "
                            "unilaterale » dans les libellés"));
    QCOMPARE(demandees, QStringList());
}

// Words typed while "Code" is set: when no code can begin with them (a word
// longer than a code, a letter where a code has a digit), the empty list
// offers the label search; its link sets "Libellé" and searches.
void tst_recherche::motsTapesEnModeCode_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<QString>("lien"); // the link's text, empty for none
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("deux mots") << "tarvenorique unilaterale"
                               << "Rechercher « tarvenorique unilaterale » dans les libellés"
                               << QStringList{"QQZA002"} << QStringList{};
    QTest::newRow("lettre pour un chiffre")
        << "qq9z"
        << "Rechercher « qq9z » dans les libellés" << QStringList{} << QStringList{};
    QTest::newRow("début de code possible") << "QQZB"
                                            << "" << QStringList{} << QStringList{};
    QTest::newRow("trop court pour la frappe, par Entrée")
        << "z1"
        << "Rechercher « z1 » dans les libellés" << QStringList{}
        << QStringList{aucunResultat, aucunResultat};
}

void tst_recherche::motsTapesEnModeCode() {
    QFETCH(QString, saisie);
    QFETCH(QString, lien);
    QFETCH(QStringList, codes);
    QFETCH(QStringList, messages);
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    taper(panneau, saisie);
    if (saisie.size() < 3)
        QTest::keyClick(panneau.t_motCle, Qt::Key_Return);
    QTextDocument lu;
    lu.setHtml(etatListe(panneau));
    QCOMPARE(lu.toPlainText(), QString("Aucun résultat pour cette recherche.\n" + lien).trimmed());
    if (lien.isEmpty())
        return;
    emit panneau.l_etatListe->linkActivated(QStringLiteral("libelles"));
    QVERIFY(panneau.O_recherche[1]->isChecked());
    QCOMPARE(codesListe(panneau.LV_Actes), codes);
    QCOMPARE(m_messages->textes(), messages);
}

// Another program importing into the file: while it has only written its
// journal, the list shows the acts as they were; once it holds the file to
// write it, typing never waits nor opens a message box, the list says the
// file is busy, and fills once the file is free, with every act the other
// program added.
// A keystroke that finds more acts than a few screenfuls shows the first
// ones at once; the others follow, and the list is then the one Enter gives,
// row for row, in the order of the column sorted by, if any.
void tst_recherche::frappeListeLongue_data() {
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<bool>("parCode");
    QTest::addColumn<int>("colonneTriee");
    QTest::addColumn<QString>("premiere");
    QTest::addColumn<QString>("derniere");
    QTest::newRow("libellé") << "tarvenase" << false << -1 << "QRZA001 Tarvenase 007 d"
                             << "QRZA300 Tarvenase 000 ";
    QTest::newRow("code") << "qrza" << true << -1 << "QRZA001 Tarvenase 007 d"
                          << "QRZA300 Tarvenase 000 ";
    QTest::newRow("trié par libellé") << "tarvenase" << false << 1 << "QRZA300 Tarvenase 000 "
                                      << "QRZA257 Tarvenase 299 du segment proxim";
    QTest::newRow("trié par code") << "tarvenase" << false << 0 << "QRZA001 Tarvenase 007 d"
                                   << "QRZA300 Tarvenase 000 ";
}

void tst_recherche::frappeListeLongue() {
    QFETCH(QString, saisie);
    QFETCH(bool, parCode);
    QFETCH(int, colonneTriee);
    QFETCH(QString, premiere);
    QFETCH(QString, derniere);
    ajouterActesNombreux(*m_base);
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    if (colonneTriee >= 0) {
        chercher(panneau, QStringLiteral("qrza"), true);
        QHeaderView* entete = panneau.LV_Actes->header();
        QTest::mouseClick(
            entete->viewport(), Qt::LeftButton, {},
            QPoint(entete->sectionViewportPosition(colonneTriee) + 5, entete->height() / 2));
    }
    panneau.O_recherche[parCode ? 0 : 1]->setChecked(true);
    panneau.t_motCle->setText(saisie);
    panneau.suivreSaisie();
    const QStringList debut = lignesListe(panneau.LV_Actes);
    QVERIFY(debut.size() < 300);
    QTRY_VERIFY(panneau.listeComplete());
    const QStringList lignes = lignesListe(panneau.LV_Actes);
    QCOMPARE(lignes.size(), 300);
    QCOMPARE(lignes.mid(0, debut.size()), debut);
    QCOMPARE(lignes.constFirst(), premiere);
    QCOMPARE(lignes.constLast(), derniere);
    // The first act, picked by the first search, whatever its row.
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QRZA001"));

    QTest::keyClick(panneau.t_motCle, Qt::Key_Return);
    QVERIFY(panneau.listeComplete());
    QCOMPARE(lignesListe(panneau.LV_Actes), lignes);
    QCOMPARE(m_messages->textes(), QStringList());
}

// The rows still to come are there as soon as the user reaches for them,
// and the act picked stays picked while they arrive.
void tst_recherche::frappeListeLongueChoix() {
    utilisateurCourant.p_GROUP = QStringLiteral("MEDECIN");
    ajouterActesNombreux(*m_base);
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    QStringList annonces;
    connect(&panneau, &ctr_ListeActes::acteChoisi, &panneau,
            [&](const QString& code) { annonces << code; });
    int selectionnes = 0;
    connect(&panneau, &ctr_ListeActes::ajoutPanierDemande, &panneau, [&] { ++selectionnes; });
    panneau.O_recherche[1]->setChecked(true);
    auto suivre = [&](const char* texte) {
        panneau.t_motCle->setText(QString::fromUtf8(texte));
        panneau.suivreSaisie();
    };

    suivre("tarvenase");
    QVERIFY(!panneau.listeComplete());
    QTRY_VERIFY(panneau.listeComplete());
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QRZA001"));
    QCOMPARE(annonces, QStringList{"QRZA001"});

    // End before the rest arrived: the last act of the search.
    suivre("tarvenas");
    QVERIFY(!panneau.listeComplete());
    QTest::keyClick(panneau.LV_Actes, Qt::Key_End);
    QCOMPARE(acteCourant.code, QStringLiteral("QRZA300"));
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QRZA300"));

    // Kept picked by the next keystroke, though past its first screenfuls,
    // and not announced again; Enter selects it.
    suivre("tarvenase");
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QRZA300"));
    QTRY_VERIFY(panneau.listeComplete());
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), QStringLiteral("QRZA300"));
    QCOMPARE(annonces, (QStringList{"QRZA001", "QRZA300"}));
    QTest::keyClick(panneau.LV_Actes, Qt::Key_Return);
    QCOMPARE(selectionnes, 1);
    QCOMPARE(acteCourant.code, QStringLiteral("QRZA300"));

    // A click on a row before the rest arrived picks that row; the rest is
    // there at once.
    suivre("tarvenase 1");
    QVERIFY(!panneau.listeComplete());
    const QString deuxieme = panneau.LV_Actes->topLevelItem(1)->text(0);
    QTest::mouseClick(panneau.LV_Actes->viewport(), Qt::LeftButton, {},
                      centreLigne(panneau.LV_Actes, 1));
    QVERIFY(panneau.listeComplete());
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 138); // every label with a "1"
    QCOMPARE(acteCourant.code, deuxieme);
    QCOMPARE(panneau.LV_Actes->currentItem()->text(0), deuxieme);
}

void tst_recherche::frappeBaseOccupee() {
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    panneau.O_recherche[1]->setChecked(true);
    sqlite3* autre = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(m_base->chemin()).constData(), &autre), SQLITE_OK);
    const auto ajouterActe = [&](const char* debut, const char* code) {
        const QByteArray sql = QByteArray(debut) +
                               "INSERT INTO CCAM (AMCODE, Libelle_Court, Libelle_Complet, "
                               "Libelle_sans_accent, Libelle_simplifie) VALUES ('" +
                               code +
                               "', 'Nouvel acte', 'Tarvenorique nouvel acte', 'tarvenorique "
                               "nouvel acte', 'tarvenorique nouvel acte')";
        return sqlite3_exec(autre, sql.constData(), nullptr, nullptr, nullptr);
    };
    QCOMPARE(ajouterActe("BEGIN IMMEDIATE;", "QQZA009"), SQLITE_OK);
    taper(panneau, QStringLiteral("tarvenoriq"));
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQYB001", "QQZA002"}));
    QVERIFY(!panneau.l_etatListe->isVisible());
    QCOMPARE(sqlite3_exec(autre, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);

    QCOMPARE(ajouterActe("BEGIN EXCLUSIVE;", "QQZA010"), SQLITE_OK);
    QElapsedTimer chrono;
    chrono.start();
    const int avant = panneau.recherchesSuivies();
    QTest::keyClicks(panneau.t_motCle, QStringLiteral("ue"));
    QTRY_VERIFY_WITH_TIMEOUT(panneau.recherchesSuivies() > avant, attenteMaxMs);
    QVERIFY2(chrono.elapsed() < 1000, qPrintable(QString::number(chrono.elapsed())));
    QVERIFY(etatListe(panneau).startsWith(
        QStringLiteral("La base de données est utilisée par un autre programme")));
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 0);
    // It is tried again while the file stays busy, still without waiting.
    QTRY_VERIFY_WITH_TIMEOUT(panneau.recherchesSuivies() > avant + 1, attenteMaxMs);
    QVERIFY2(chrono.elapsed() < 2000, qPrintable(QString::number(chrono.elapsed())));
    QCOMPARE(m_messages->textes(), QStringList());

    QCOMPARE(sqlite3_exec(autre, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(autre);
    QTRY_COMPARE_WITH_TIMEOUT(codesListe(panneau.LV_Actes),
                              (QStringList{"QQYB001", "QQZA002", "QQZA009", "QQZA010"}),
                              attenteMaxMs);
    QVERIFY(!panneau.l_etatListe->isVisible());
    QCOMPARE(m_messages->textes(), QStringList());
}

void tst_recherche::choixParClicEtFleche() {
    utilisateurCourant.p_GROUP = QStringLiteral("MEDECIN");
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    chercher(panneau, "QQ", true);
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 4);

    QTest::mouseClick(panneau.LV_Actes->viewport(), Qt::LeftButton, {},
                      centreLigne(panneau.LV_Actes, 1));
    QVERIFY(!acteCourant.estVide());
    QCOMPARE(acteCourant.code, QStringLiteral("QQYB001"));
    QVERIFY(acteCourant.activite.isEmpty()); // every activity of the act
    QCOMPARE(panneau.acteSelectionne(), acteCourant.code);
    QCOMPARE(panneau.LV_Actes->toolTip(), QStringLiteral("Brachylogie tarvenorique en deux temps"));
    QVERIFY(!panneau.m_listeActes->isVisible());

    QTest::keyClick(panneau.LV_Actes, Qt::Key_Down);
    QCOMPARE(acteCourant.code, QStringLiteral("QQZA001"));
    QTest::keyClick(panneau.LV_Actes, Qt::Key_Up);
    QCOMPARE(acteCourant.code, QStringLiteral("QQYB001"));
    // Every key that moves the selection picks the act it lands on, and
    // none opens the pop-up menu.
    QTest::keyClick(panneau.LV_Actes, Qt::Key_End);
    QCOMPARE(acteCourant.code, panneau.LV_Actes->topLevelItem(3)->text(0));
    QTest::keyClick(panneau.LV_Actes, Qt::Key_Home);
    QCOMPARE(acteCourant.code, panneau.LV_Actes->topLevelItem(0)->text(0));
    QVERIFY(!panneau.m_listeActes->isVisible());
}

// The act picked in the doctor's window goes to that window's details panel,
// whatever the screen mode: the panel announces, its window shows.
void tst_recherche::detailsDansLaFenetreHote() {
    auto medecin = std::make_shared<Medecin>();
    medecin->code = QStringLiteral("CMARTIN");
    medecin->remplirDonnees();
    medecin->remplirThesaurusMED();
    medecinCourant = medecin;
    changerContexte(ModeEcran(3));
    auto fenetre = std::make_unique<f_thesaurusMED>();
    fenetre->resize(1000, 650);
    fenetre->show();
    fenetre->TS_Thes->setCurrentIndex(0);
    ctr_motCle& panneau = *fenetre->ctr_motCle1;
    QVERIFY(panneau.isVisible());
    chercher(panneau, "QQYB", true);
    QTest::mouseClick(panneau.LV_Actes->viewport(), Qt::LeftButton, {},
                      centreLigne(panneau.LV_Actes, 0));
    QCOMPARE(fenetre->ctr_Details1->l_acteClassant->text(),
             QStringLiteral("QQYB001 est un acte classant"));
    QVERIFY(!fenetre->ctr_Details1->c_phases->isHidden());

    changerContexte(ModeEcran::RechercheActe); // another mode: the same window shows it
    chercher(panneau, "QQZA", true);
    QTest::mouseClick(panneau.LV_Actes->viewport(), Qt::LeftButton, {},
                      centreLigne(panneau.LV_Actes, 0));
    QCOMPARE(acteCourant.code, QStringLiteral("QQZA001"));
    QCOMPARE(fenetre->ctr_Details1->l_acteClassant->text(),
             QStringLiteral("QQZA001 est un acte classant"));
    QVERIFY(fenetre->ctr_Details1->c_phases->isHidden());
}

void tst_recherche::triParColonne() {
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    chercher(panneau, "QQ", true);
    QCOMPARE(codesListe(panneau.LV_Actes),
             (QStringList{"QQXC001", "QQYB001", "QQZA001", "QQZA002"}));
    QHeaderView* entete = panneau.LV_Actes->header();
    QTest::mouseClick(entete->viewport(), Qt::LeftButton, {},
                      QPoint(entete->sectionViewportPosition(1) + 5, entete->height() / 2));
    QCOMPARE(codesListe(panneau.LV_Actes),
             (QStringList{"QQXC001", "QQYB001", "QQZA001", "QQZA002"}));
    QCOMPARE(panneau.LV_Actes->topLevelItem(0)->text(1),
             QStringLiteral("Acte sans autre précision"));
    QCOMPARE(panneau.LV_Actes->topLevelItem(2)->text(1),
             QString::fromUtf8("Tarvenorite bilatérale, par voie basse"));
    // Sorting stays on for the next search.
    chercher(panneau, "tarvenor", false);
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQYB001", "QQZA001", "QQZA002"}));
    QTest::mouseClick(entete->viewport(), Qt::LeftButton, {},
                      QPoint(entete->sectionViewportPosition(0) + 5, entete->height() / 2));
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQYB001", "QQZA001", "QQZA002"}));
}

void tst_recherche::triEnOrdreFrancais() {
    // Sorting by a column orders its text as people read it, case and
    // accents ignored: "biopsie", "Échographie", "Radiographie".
    const char* actes[][2] = {{"QQWD001", "Radiographie du pied"},
                              {"QQWD002", "Échographie du pied"},
                              {"QQWD003", "biopsie du pied"}};
    for (const auto& a : actes)
        m_base->executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, "
                                        "Libelle_Complet, Libelle_Court) VALUES ('%1', '1', '0', "
                                        "'%2', '%2')")
                             .arg(QString::fromUtf8(a[0]), QString::fromUtf8(a[1])));
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    chercher(panneau, "QQWD", true);
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQWD001", "QQWD002", "QQWD003"}));
    QHeaderView* entete = panneau.LV_Actes->header();
    QTest::mouseClick(entete->viewport(), Qt::LeftButton, {},
                      QPoint(entete->sectionViewportPosition(1) + 5, entete->height() / 2));
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQWD003", "QQWD002", "QQWD001"}));
    QTest::mouseClick(entete->viewport(), Qt::LeftButton, {},
                      QPoint(entete->sectionViewportPosition(0) + 5, entete->height() / 2));
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQWD001", "QQWD002", "QQWD003"}));
}

// The search dialog's details follow the tab in front: its selected act, or
// nothing for a tab whose list selects none.
void tst_recherche::detailsDeLOngletMontre() {
    d_rechercheActe dialogue;
    dialogue.show();
    const ctr_Details* details = dialogue.ctr_Details1;
    chercher(*dialogue.ctr_motCle1, "QQ", true);
    QTreeWidget* liste = dialogue.ctr_motCle1->LV_Actes;
    QCOMPARE(details->acteAffiche(), liste->topLevelItem(0)->text(0));
    liste->setFocus();
    QTest::keyClick(liste, Qt::Key_End);
    QCOMPARE(details->acteAffiche(), liste->topLevelItem(3)->text(0));
    dialogue.TabStrip1->setCurrentIndex(1);
    QCOMPARE(details->acteAffiche(), QString());
    QVERIFY(details->t_details->toPlainText().isEmpty());
    QVERIFY(acteCourant.estVide());
    dialogue.TabStrip1->setCurrentIndex(0);
    QCOMPARE(details->acteAffiche(), liste->topLevelItem(3)->text(0));
    QCOMPARE(acteCourant.code, details->acteAffiche());
}

void tst_recherche::casesACocherDansLaRecherche() {
    {
        ctr_motCle horsRecherche;
        horsRecherche.show();
        QVERIFY(!horsRecherche.getListeActesSelectionnees());
    }
    changerContexte(ModeEcran(4));
    utilisateurCourant.p_GROUP = QStringLiteral("MEDECIN");
    ctr_motCle panneau;
    panneau.resize(600, 400);
    panneau.show();
    QList<LigneActe>* selection = panneau.getListeActesSelectionnees();
    QVERIFY(selection);
    QVERIFY(selection->isEmpty());
    chercher(panneau, "QQ", true);
    QTreeWidget* liste = panneau.LV_Actes;
    for (int i : {2, 0, 3})
        liste->topLevelItem(i)->setCheckState(0, Qt::Checked);
    QCOMPARE(selection->size(), 3);
    QCOMPARE(selection->at(0).code, QStringLiteral("QQZA001"));
    QCOMPARE(selection->at(1).code, QStringLiteral("QQXC001"));
    QCOMPARE(selection->at(2).libelle, QStringLiteral("Zythologie tarvenorique unilatérale"));
    liste->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    QCOMPARE(selection->size(), 2);
    QCOMPARE(selection->at(0).code, QStringLiteral("QQZA001"));
    // A change of the row's text is no tick.
    liste->topLevelItem(1)->setText(1, QStringLiteral("autre"));
    QCOMPARE(selection->size(), 2);
    // The ticks taken survive a new search, and their rows come back ticked:
    // unticking one removes it, ticking it again adds it once.
    chercher(panneau, "tarvenor", false);
    QCOMPARE(selection->size(), 2);
    QCOMPARE(selection->at(1).code, QStringLiteral("QQZA002"));
    QCOMPARE(codesListe(liste), (QStringList{"QQYB001", "QQZA001", "QQZA002"}));
    QCOMPARE(liste->topLevelItem(2)->checkState(0), Qt::Checked);
    QCOMPARE(liste->topLevelItem(0)->checkState(0), Qt::Unchecked);
    liste->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
    QCOMPARE(selection->size(), 1);
    liste->topLevelItem(2)->setCheckState(0, Qt::Checked);
    QCOMPARE(selection->size(), 2);
    // No pop-up menu with tick boxes, even for a doctor.
    QTest::mouseClick(liste->viewport(), Qt::RightButton, {}, centreLigne(liste, 0));
    QVERIFY(!acteCourant.estVide());
    QVERIFY(!panneau.m_listeActes->isVisible());
}

void tst_recherche::menuContextuel_data() {
    QTest::addColumn<QString>("groupe");
    QTest::addColumn<Qt::MouseButton>("bouton");
    QTest::addColumn<bool>("menu");
    QTest::newRow("médecin, clic droit") << "MEDECIN" << Qt::RightButton << true;
    QTest::newRow("médecin, clic gauche") << "MEDECIN" << Qt::LeftButton << false;
    QTest::newRow("DIM, clic droit") << "DIM" << Qt::RightButton << false;
    QTest::newRow("ADMIN, clic droit") << "ADMIN" << Qt::RightButton << false;
}

void tst_recherche::menuContextuel() {
    QFETCH(QString, groupe);
    QFETCH(Qt::MouseButton, bouton);
    QFETCH(bool, menu);
    utilisateurCourant.p_GROUP = groupe;
    changerContexte(ModeEcran(3));
    ctr_Hier panneau;
    panneau.resize(600, 400);
    panneau.show();
    QCOMPARE(panneau.m_ajoutPanier->text(), QStringLiteral("Sélectionner cet acte"));
    QCOMPARE(panneau.m_ajoutThesaurus->text(), QStringLiteral("Ajouter au thésaurus"));
    const int i = panneau.c_hier[0]->findText("CHAPITRE DE TEST");
    choisirChapitre(panneau, 0, i);
    choisirChapitre(panneau, 1, 1);
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 1);
    QTest::mouseClick(panneau.LV_Actes->viewport(), bouton, {}, centreLigne(panneau.LV_Actes, 0));
    QVERIFY(!acteCourant.estVide()); // details in every case
    QCOMPARE(panneau.m_listeActes->isVisible(), menu);
    panneau.m_listeActes->hide();
}

// "Sélectionner cet acte" runs the basket admission on the act picked.
void tst_recherche::menuPanier() {
    utilisateurCourant.p_GROUP = QStringLiteral("MEDECIN");
    changerContexte(ModeEcran(3));
    int dialogues = 0;
    const ExecuteurModal avant = installerExecuteurModal([&](QObject* o) {
        dialogues += qobject_cast<d_ajoutPanier*>(o) != nullptr;
        return 0;
    });
    Acte dansLePanier;
    dansLePanier.code = QStringLiteral("QQXC001");
    dansLePanier.activite = QStringLiteral("1");
    panier().ajouterActe(dansLePanier);

    ctr_motCle panneau;
    // What the window holding the panel does with the command.
    connect(&panneau, &ctr_ListeActes::ajoutPanierDemande, &panneau,
            [&] { d_ajoutPanier::demander(&panneau); });
    panneau.resize(600, 400);
    panneau.show();
    chercher(panneau, "QQZA", true);
    QTreeWidget* liste = panneau.LV_Actes;
    QTest::mouseClick(liste->viewport(), Qt::RightButton, {}, centreLigne(liste, 0));
    QVERIFY(panneau.m_listeActes->isVisible());
    panneau.m_ajoutPanier->trigger();
    QCOMPARE(m_messages->textes(),
             QStringList{"Cet acte ne peut être ajouté au panier ! Il est incompatible avec un "
                         "autre acte du panier\nActe du panier en cause : QQXC001"});
    QCOMPARE(dialogues, 0);

    QTest::mouseClick(liste->viewport(), Qt::RightButton, {}, centreLigne(liste, 1));
    panneau.m_ajoutPanier->trigger();
    QCOMPARE(acteCourant.code, QStringLiteral("QQZA002"));
    QCOMPARE(dialogues, 1);
    QCOMPARE(m_messages->journal().size(), size_t(1));
    installerExecuteurModal(avant);
}

// "Ajouter au thésaurus" hands the picked act's code to the category chooser.
void tst_recherche::menuThesaurus() {
    utilisateurCourant.p_GROUP = QStringLiteral("MEDECIN");
    changerContexte(ModeEcran(3));
    medecinCourant = std::make_shared<Medecin>();
    QStringList titres;
    const ExecuteurModal avant = installerExecuteurModal([&](QObject* o) {
        auto* d = qobject_cast<d_selectCat*>(o);
        titres << (d ? d->l_titre->text() + " / " + QString::number(d->l_listeCat->count())
                     : QString());
        return 0;
    });
    ctr_site panneau;
    // What the doctor's window does with the command.
    connect(&panneau, &ctr_ListeActes::ajoutThesaurusDemande, &panneau, [&](const QString& code) {
        d_selectCat choix(&panneau);
        choix.afficher(code);
    });
    panneau.resize(600, 400);
    panneau.show();
    QCOMPARE(panneau.m_ajoutThesaurus->text(), QStringLiteral("Ajouter au thésaurus"));
    panneau.ListBox1->setCurrentItem(
        panneau.ListBox1->findItems("QS", Qt::MatchExactly, 0).front());
    panneau.ListBox2->setCurrentItem(
        panneau.ListBox2->findItems("QQ", Qt::MatchExactly, 0).front());
    QTreeWidget* liste = panneau.LV_Actes;
    QTest::mouseClick(liste->viewport(), Qt::RightButton, {}, centreLigne(liste, 2));
    QVERIFY(panneau.m_listeActes->isVisible());
    panneau.m_ajoutThesaurus->trigger();
    QCOMPARE(m_messages->textes(),
             QStringList{"Vous devez créer une catégorie avant d'ajouter l'acte"});
    QVERIFY(titres.isEmpty());

    medecinCourant->listeCat.append(Categorie{7, QStringLiteral("Favoris"), {}});
    panneau.m_ajoutThesaurus->trigger();
    QCOMPARE(titres, QStringList{QString::fromUtf8("Sélectionnez la catégorie à laquelle vous "
                                                   "voulez ajouter l'acte :QQZA001 / 1")});
    installerExecuteurModal(avant);
}

void tst_recherche::site() {
    ctr_site panneau;
    panneau.resize(700, 500);
    panneau.show();
    QCOMPARE(panneau.m_listeActes->title(), QStringLiteral("Sélectionner cet acte"));
    QCOMPARE(panneau.m_ajoutPanier->text(), QStringLiteral("Ajouter l'acte au panier"));
    const auto systemes = panneau.ListBox1->findItems("QS", Qt::MatchExactly, 0);
    QCOMPARE(systemes.size(), 1);
    QCOMPARE(systemes.front()->text(1), QStringLiteral("Système de test"));

    panneau.ListBox1->setCurrentItem(systemes.front());
    QCOMPARE(codesListe(panneau.ListBox2), (QStringList{"QP", "QQ"}));
    panneau.ListBox2->setCurrentItem(panneau.ListBox2->topLevelItem(1));
    QCOMPARE(codesListe(panneau.LV_Actes),
             (QStringList{"QQXC001", "QQYB001", "QQZA001", "QQZA002"}));
    QVERIFY(!panneau.LV_Actes->currentItem()); // no row selected after an organ
    // An organ without act: an empty list and no message.
    panneau.ListBox2->setCurrentItem(panneau.ListBox2->topLevelItem(0));
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 0);
    QVERIFY(m_messages->journal().empty());
    // Another system empties the organs and the acts.
    panneau.ListBox2->setCurrentItem(panneau.ListBox2->topLevelItem(1));
    QVERIFY(panneau.LV_Actes->topLevelItemCount() > 0);
    panneau.ListBox1->setCurrentItem(
        panneau.ListBox1->findItems("QV", Qt::MatchExactly, 0).front());
    QCOMPARE(panneau.ListBox2->topLevelItemCount(), 0);
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 0);
}

// A label made of one word wider than its column is broken inside the word:
// its row grows instead of cutting the word.
void tst_recherche::siteMotPlusLargeQueSaColonne() {
    const QString mot = QString::fromUtf8("RÉTICULOENDOTHÉLIAL").repeated(3);
    m_base->executer("INSERT INTO \"Systèmes\" VALUES ('QW', '" + mot + "')");
    ctr_site panneau;
    panneau.resize(500, 500);
    panneau.show();
    QTreeWidget* liste = panneau.ListBox1;
    QTreeWidgetItem* ligne = liste->findItems("QW", Qt::MatchExactly, 0).front();
    const QFontMetrics mesure(liste->font());
    QVERIFY(mesure.horizontalAdvance(mot) > liste->columnWidth(1));
    QTRY_VERIFY_WITH_TIMEOUT(liste->visualItemRect(ligne).height() >= 2 * mesure.height(),
                             attenteMaxMs);
}

void tst_recherche::hierarchie() {
    ctr_Hier panneau;
    panneau.resize(700, 500);
    panneau.show();
    QComboBox** c = panneau.c_hier;
    const int chapitre = c[0]->findText("CHAPITRE DE TEST");
    QVERIFY(chapitre >= 0);
    QCOMPARE(c[0]->currentIndex(), -1);
    choisirChapitre(panneau, 0, chapitre);
    QCOMPARE(c[1]->count(), 2);
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 0); // level 1 never lists acts

    // A level-2 chapter without level 3: its acts at once, position + "0000".
    choisirChapitre(panneau, 1, 1);
    QCOMPARE(c[2]->count(), 0);
    QCOMPARE(codesListe(panneau.LV_Actes), QStringList{"QQYB001"});
    QCOMPARE(panneau.LV_Actes->currentItem(), panneau.LV_Actes->topLevelItem(0));
    QCOMPARE(acteCourant.code, QStringLiteral("QQYB001"));

    // A level-3 chapter without level 4: position + "00".
    choisirChapitre(panneau, 1, 0);
    QCOMPARE(c[2]->count(), 2);
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 0);
    choisirChapitre(panneau, 2, 0);
    QCOMPARE(codesListe(panneau.LV_Actes), (QStringList{"QQZA001", "QQZA002"}));

    // Level 4: the full eight digits.
    choisirChapitre(panneau, 2, 1);
    QCOMPARE(c[3]->count(), 1);
    choisirChapitre(panneau, 3, 0);
    QCOMPARE(codesListe(panneau.LV_Actes), QStringList{"QQXC001"});
    QCOMPARE(c[3]->currentText(), QStringLiteral("Sous-paragraphe"));

    // A new level-1 choice empties every deeper level and the acts.
    choisirChapitre(panneau, 0, chapitre);
    QCOMPARE(c[2]->count(), 0);
    QCOMPARE(c[3]->count(), 0);
    QCOMPARE(panneau.LV_Actes->topLevelItemCount(), 0);
    QCOMPARE(c[1]->currentIndex(), -1);
}

void tst_recherche::notesDeChapitre() {
    QCOMPARE(d_notesUtilisation::texteNotes("98.01"),
             QString::fromUtf8("* Première note\r\n\tsuite de la note\r\n"));
    QCOMPARE(d_notesUtilisation::texteNotes("98"), QStringLiteral("Aucune note d'utilisation"));

    QStringList affiches;
    const ExecuteurModal avant = installerExecuteurModal([&](QObject* o) {
        auto* d = qobject_cast<d_notesUtilisation*>(o);
        affiches << (d ? d->t_notes->toPlainText() : QString());
        return 0;
    });
    ctr_Hier panneau;
    panneau.show();
    QTest::mouseClick(panneau.b_notes[1], Qt::LeftButton); // empty combo: nothing
    QVERIFY(affiches.isEmpty());
    choisirChapitre(panneau, 0, panneau.c_hier[0]->findText("CHAPITRE DE TEST"));
    choisirChapitre(panneau, 1, 0);
    QTest::mouseClick(panneau.b_notes[1], Qt::LeftButton);
    QCOMPARE(affiches.size(), 1);
    QVERIFY(affiches.front().contains(QStringLiteral("Première note")));
    installerExecuteurModal(avant);
}

void tst_recherche::details() {
    ctr_Details details;
    details.show();
    QCOMPARE(details.ongletCourant(), qint16(0));
    QStringList onglets;
    for (int i = 0; i < details.TS_details->count(); ++i)
        onglets << details.TS_details->tabText(i);
    QCOMPARE(onglets,
             (QStringList{"Honoraires", "Activités associées", "Notes d'utilisation", "Hiérarchie",
                          "Associations", "Incompatibilités", "Exonération"}));

    // Two activities, no phase.
    details.majDetails("QQZA002");
    QCOMPARE(details.ongletCourant(), qint16(1));
    QCOMPARE(details.c_activites->count(), 2);
    QCOMPARE(details.c_activites->currentIndex(), 0);
    QCOMPARE(details.activiteCourante(), QStringLiteral("1"));
    QVERIFY(details.c_phases->isHidden());
    QVERIFY(details.phaseCourante().isEmpty());
    QCOMPARE(details.l_acteClassant->text(), QStringLiteral("QQZA002 n'est pas un acte classant"));
    QVERIFY(details.t_details->toPlainText().startsWith("Tarif: \t\t"));
    QVERIFY(details.t_details->toPlainText().endsWith("\tAucun modificateur"));
    // Another activity re-reads the act: its own modifiers.
    details.c_activites->setCurrentIndex(1);
    details.activiteChoisie(1);
    QCOMPARE(details.activiteCourante(), QStringLiteral("4"));
    QCOMPARE(details.c_activites->toolTip(), QStringLiteral("Activité 4"));
    QVERIFY(details.t_details->toPlainText().contains("\tQ9 - Modificateur de test\t\t3"));
    // Each tab shows its own text, built from the database.
    details.TS_details->setCurrentIndex(2);
    QCOMPARE(details.ongletCourant(), qint16(3));
    QVERIFY(details.t_details->toPlainText().startsWith(
        "Il n'existe aucune note pour l'acte QQZA002\n"));
    QVERIFY(details.t_details->toPlainText().contains(QString::fromUtf8("Première note\n\tsuite")));
    QCOMPARE(details.activiteCourante(), QStringLiteral("4"));

    // Phases shown when the act has some; the tab is kept from act to act.
    details.TS_details->setCurrentIndex(3);
    QCOMPARE(details.ongletCourant(), qint16(4));
    QVERIFY(details.t_details->toPlainText().startsWith(
        QString::fromUtf8("Hiérarchie complète de cet acte :\n\n98\t\tCHAPITRE DE TEST\n98.01")));
    details.majDetails("QQYB001");
    QCOMPARE(details.ongletCourant(), qint16(4));
    QVERIFY(!details.c_phases->isHidden());
    QCOMPARE(details.c_phases->count(), 2);
    QCOMPARE(details.phaseCourante(), QStringLiteral("1"));
    QCOMPARE(details.c_activites->count(), 1);
    QCOMPARE(details.l_acteClassant->text(), QStringLiteral("QQYB001 est un acte classant"));
    details.c_phases->setCurrentIndex(1);
    details.phaseChoisie(1);
    QCOMPARE(details.phaseCourante(), QStringLiteral("2"));

    // No act, or an empty one, clears the panel.
    details.majDetails("ZZZZ999");
    QVERIFY(details.l_acteClassant->text().isEmpty());
    QVERIFY(details.t_details->toPlainText().isEmpty());
    QCOMPARE(details.c_activites->count(), 0);
    QVERIFY(details.c_phases->isHidden());
    details.majDetails(QString());
    QVERIFY(details.l_acteClassant->text().isEmpty());
}

// The chapter labels of the hierarchy tab stand one under the other, whatever
// the length of their code (four levels, the last one followed by one tab).
void tst_recherche::detailsHierarchieAlignee() {
    ctr_Details details;
    details.resize(900, 400);
    details.show();
    details.majDetails("QQXC001");
    details.TS_details->setCurrentIndex(3);
    QTextDocument* document = details.t_details->document();
    QList<int> colonnes;
    for (QTextBlock ligne = document->begin(); ligne.isValid(); ligne = ligne.next()) {
        const int tab = ligne.text().lastIndexOf(u'\t');
        if (tab < 0)
            continue;
        QTextCursor curseur(document);
        curseur.setPosition(ligne.position() + tab + 1);
        colonnes << details.t_details->cursorRect(curseur).left();
    }
    QCOMPARE(colonnes.size(), 4);
    for (int x : colonnes)
        QCOMPARE(x, colonnes.front());
}

QTEST_MAIN(tst_recherche)
#include "tst_recherche.moc"
