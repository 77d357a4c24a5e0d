// The DIM workspace driven offscreen on the demonstration database: the tab
// and mode rules, the unit tree and its commands, the doctor tab, printing
// through the main window, and the act search dialog. Message boxes, file
// choosers and modal dialogs go through the scripted hooks.

#include "AccesDonnees.h"
#include "ActeChoisi.h"
#include "BaseDeTest.h"
#include "ChoixFichier.h"
#include "DR_thesaurus.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Parametres.h"
#include "PiloteConnexion.h"
#include "Thesaurus.h"
#include "ThesaurusUM.h"
#include "Utilisateur.h"
#include "adCCAM.h"
#include "ctr_Details.h"
#include "ctr_Hier.h"
#include "ctr_ThesMED.h"
#include "ctr_motCle.h"
#include "ctr_site.h"
#include "d_actesARemplacer.h"
#include "d_ajoutActeThe.h"
#include "d_rechercheActe.h"
#include "f_ThesaurusDIM.h"
#include "f_principale.h"
#include "f_thesaurusMED.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

// A DIM window on a fresh demonstration database, with scripted hooks.
struct PosteDIM {
    explicit PosteDIM(ModeEcran mode = ModeEcran::ThesaurusMedecinDIM,
                      const std::function<void(const BaseDeTest&)>& preparer = {}) {
        if (preparer)
            preparer(base);
        changerContexte(mode);
        fenetre = new f_ThesaurusDIM;
        fenetre->resize(1100, 650);
        fenetre->show();
        arbre = fenetre->TV_ThesUM;
    }
    ~PosteDIM() {
        delete fenetre;
        installerExecuteurModal(precedent);
        reinitialiserEtatGlobal();
    }
    void piloterDialogues(std::function<void(QDialog*)> pilote) {
        installerExecuteurModal([pilote](QObject* o) {
            pilote(qobject_cast<QDialog*>(o));
            return 0;
        });
    }
    void choisirUM(int combo, const QString& code) {
        QComboBox* c = fenetre->C_UM[combo];
        for (int i = 0; i < c->count(); ++i)
            if (c->itemText(i).startsWith(code + " - "))
                c->setCurrentIndex(i);
    }
    QStringList cles() const {
        QStringList l;
        for (QTreeWidgetItem* n : fenetre->noeudsUM())
            l << ctr_ThesMED::cleNoeud(n);
        return l;
    }
    QTreeWidgetItem* noeud(const QString& cle) const {
        for (QTreeWidgetItem* n : fenetre->noeudsUM())
            if (ctr_ThesMED::cleNoeud(n) == cle)
                return n;
        return nullptr;
    }
    void cliquer(QTreeWidgetItem* n, Qt::MouseButton bouton = Qt::LeftButton) {
        QVERIFY(n);
        arbre->scrollToItem(n);
        QTest::mouseClick(arbre->viewport(), bouton, {}, arbre->visualItemRect(n).center());
    }
    QString cleCourante() const { return ctr_ThesMED::cleNoeud(arbre->currentItem()); }
    long long compter(const QString& sql) const { return base.compter(sql); }
    QString fichier(const QString& nom, const QByteArray& contenu) const {
        const QString chemin = base.dossier() + "/" + nom;
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size())
            qFatal("cannot write %s", qPrintable(chemin));
        return chemin;
    }

    BaseDeTest base{true};
    MessagesScriptes messages;
    ChoixFichierScripte choix;
    ExecuteurModal precedent = installerExecuteurModal({});
    QPointer<f_ThesaurusDIM> fenetre;
    QTreeWidget* arbre = nullptr;
};

// Every modal dialog runs `pilote` instead of its own event loop.
void piloter(std::function<void(QObject*)> pilote) {
    installerExecuteurModal([pilote](QObject* o) {
        pilote(o);
        return 0;
    });
}

// Ticks the first row of a panel's list whose code is not in `sauf`.
QString cocherPremier(ctr_ListeActes* panneau, const QStringList& sauf = {}) {
    for (int i = 0; i < panneau->LV_Actes->topLevelItemCount(); ++i) {
        QTreeWidgetItem* ligne = panneau->LV_Actes->topLevelItem(i);
        if (sauf.contains(ligne->text(0)))
            continue;
        ligne->setCheckState(0, Qt::Checked);
        return ligne->text(0);
    }
    return QString();
}

void chercherCode(ctr_motCle* panneau, const QString& texte) {
    panneau->O_recherche[0]->setChecked(true);
    panneau->t_motCle->setText(texte);
    QTest::mouseClick(panneau->b_recherche, Qt::LeftButton);
}

// "Ajouter des actes" answered by the search button; the search dialog,
// open on `categorie`, adds the first act whose code starts with XH, which
// goes to `ajoute`.
void piloterRecherche(const QString& categorie, QString& ajoute) {
    piloter([categorie, &ajoute](QObject* o) {
        if (auto* a = qobject_cast<d_ajoutActeThe*>(o)) {
            QTest::mouseClick(a->Command1, Qt::LeftButton);
        } else if (auto* d = qobject_cast<d_rechercheActe*>(o)) {
            d->show();
            QCOMPARE(d->Combo1->currentText(), categorie);
            chercherCode(d->ctr_motCle1, QStringLiteral("XH"));
            ajoute = cocherPremier(d->ctr_motCle1);
            QTest::mouseClick(d->Command1, Qt::LeftButton);
        }
    });
}

// Fills the site panel's list with the acts of the first system and organ
// that have any.
void remplirSite(ctr_site* site) {
    for (int s = 0; s < site->ListBox1->topLevelItemCount(); ++s) {
        site->ListBox1->setCurrentItem(site->ListBox1->topLevelItem(s));
        site->systemeChoisi();
        for (int o = 0; o < site->ListBox2->topLevelItemCount(); ++o) {
            site->ListBox2->setCurrentItem(site->ListBox2->topLevelItem(o));
            site->organeChoisi();
            if (site->LV_Actes->topLevelItemCount() > 0)
                return;
        }
    }
}

QStringList actesDeCategorie(const BaseDeTest& base, long cat) {
    QStringList l;
    for (const auto& rs = accesCCAM.getActesCatTheserus(cat); rs && !rs->isEOF(); rs->MoveNext())
        l << valeurTexte(rs->Fields(QStringLiteral("AMCODE")));
    Q_UNUSED(base);
    return l;
}

} // namespace

class TstThesaurusDIM : public QObject {
    Q_OBJECT
private slots:
    void init() { reinitialiserEtatGlobal(); }

    void ongletsEtModes();
    void arbreUM();
    void arbreUM_vide();
    void clic_acteSansChangerActeCourant();
    void menu_data();
    void menu();
    void renommer_categoriesSeulement();
    void supprimer();
    void import_remplaceLUMSeulement();
    void ongletMedecin();
    void sansUniteNiMedecin();
    void ongletMedecin_sansMedecinChoisi();
    void recherche_seulLOngletCourant();
    void recherche_acteDejaPresentEtSansCategorie();
    void recherche_modeRestaure_data();
    void recherche_modeRestaure();
    void recherche_depuisLesArbresDesMedecins_data();
    void recherche_depuisLesArbresDesMedecins();
    void import_fichierRefuse_data();
    void import_fichierRefuse();
    void parcoursDIM();
    void actesARemplacerApresUneNouvelleVersion();
};

void TstThesaurusDIM::ongletsEtModes() {
    // Opened after a login (mode 2): the doctor tab, its unit combo filled
    // and its first unit chosen; the unit tab follows that unit.
    PosteDIM p;
    QCOMPARE(p.fenetre->TS_Thes->currentIndex(), f_ThesaurusDIM::ongletMedecin);
    QCOMPARE(int(contexteCourant), 2);
    QVERIFY(p.fenetre->f_thes[4]->isVisible());
    QVERIFY(!p.fenetre->f_thes[3]->isVisible());
    QCOMPARE(p.fenetre->C_UM[1]->currentText(), QStringLiteral("ANES - ANESTHÉSIE RÉANIMATION"));
    QCOMPARE(p.fenetre->umChoisie(), QStringLiteral("ANES"));
    QCOMPARE(p.cles().value(0), QStringLiteral("NANES"));

    const QList<std::pair<int, int>> regles = {{0, 6}, {1, 6}, {2, 6}, {3, 1}, {4, 2}, {3, 1}};
    for (const auto& [onglet, mode] : regles) {
        p.fenetre->TS_Thes->setCurrentIndex(onglet);
        QCOMPARE(int(contexteCourant), mode);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(p.fenetre->f_thes[i]->isVisible(), i == onglet);
    }
}

void TstThesaurusDIM::arbreUM() {
    PosteDIM p(ModeEcran::ThesaurusUM);
    QCOMPARE(p.fenetre->TS_Thes->currentIndex(), f_ThesaurusDIM::ongletUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    const QStringList cles = p.cles();
    QCOMPARE(cles.value(0), QStringLiteral("NORTH"));
    QCOMPARE(p.arbre->topLevelItem(0)->text(0), QStringLiteral("Thésaurus de l'UM : ORTH"));
    // Categories in label order, acts of each in code order.
    QCOMPARE(cles.value(1), QStringLiteral("C2"));
    QCOMPARE(p.arbre->topLevelItem(0)->child(0)->text(0), QStringLiteral("Genou"));
    QCOMPARE(p.arbre->topLevelItem(0)->child(1)->text(0), QStringLiteral("Hanche"));
    QVERIFY(cles.contains(QStringLiteral("A3 - YSMP001 - 1")));
    QVERIFY(cles.contains(QStringLiteral("A3 - YSMP001 - 4")));
    QTreeWidgetItem* acte = p.noeud(QStringLiteral("A2 - XGMA001 - "));
    QVERIFY(acte);
    QVERIFY(acte->text(0).startsWith(QLatin1String("XGMA001  -  ")));
    // The second node is selected: the first category.
    QCOMPARE(p.cleCourante(), QStringLiteral("C2"));
    QVERIFY(p.fenetre->Command2->isEnabled());
}

void TstThesaurusDIM::arbreUM_vide() {
    // A unit whose code holds an apostrophe and an accent, with no category.
    PosteDIM p(ModeEcran::ThesaurusUM, [](const BaseDeTest& b) {
        b.executer("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('A''É', 'VIDE')");
    });
    p.choisirUM(0, QStringLiteral("A'É"));
    QCOMPARE(p.cles(), QStringList{QStringLiteral("NA'É")});
    QCOMPARE(p.arbre->topLevelItem(0)->text(0), QStringLiteral("Thésaurus de l'UM : A'É"));
    QCOMPARE(p.cleCourante(), QStringLiteral("NA'É"));
    QVERIFY(!p.fenetre->Command2->isEnabled());
    // Nothing to confirm: an empty thesaurus is imported straight away.
    p.choix.setFichierSuivant(p.fichier("u.txt", "entete\r\nMains\tXHMA001\r\n"));
    p.fenetre->importerThesaurusUM();
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'A''É' AND "
                       "CT_TYPE = 1"),
             1LL);
    QCOMPARE(p.cles().size(), 3);
}

void TstThesaurusDIM::clic_acteSansChangerActeCourant() {
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    choisirActeCourant(ActeChoisi{QStringLiteral("XHMA002"), QString(), {}});
    p.cliquer(p.noeud(QStringLiteral("A2 - XGMA001 - ")));
    QCOMPARE(acteCourant.code, QStringLiteral("XHMA002"));
    QVERIFY(p.fenetre->Command2->isEnabled());
    p.cliquer(p.noeud(QStringLiteral("NORTH")));
    QVERIFY(!p.fenetre->Command2->isEnabled());
    p.cliquer(p.noeud(QStringLiteral("C1")));
    QVERIFY(p.fenetre->Command2->isEnabled());
    QCOMPARE(acteCourant.code, QStringLiteral("XHMA002"));
    // The arrow keys pick nodes as clicks do.
    p.cliquer(p.noeud(QStringLiteral("NORTH")));
    QTest::keyClick(p.arbre, Qt::Key_Down);
    QCOMPARE(p.cleCourante(), QStringLiteral("C2"));
    QVERIFY(p.fenetre->Command2->isEnabled());
    QTest::keyClick(p.arbre, Qt::Key_Up);
    QVERIFY(!p.fenetre->Command2->isEnabled());
    // End and Home too, and the details follow: the last act, then nothing.
    QTest::keyClick(p.arbre, Qt::Key_End);
    QVERIFY(p.cleCourante().startsWith(u'A'));
    QCOMPARE(p.fenetre->ctr_Details1->acteAffiche(),
             p.cleCourante().section(QStringLiteral(" - "), 1, 1));
    QTest::keyClick(p.arbre, Qt::Key_Home);
    QCOMPARE(p.cleCourante(), QStringLiteral("NORTH"));
    QCOMPARE(p.fenetre->ctr_Details1->acteAffiche(), QString());
}

void TstThesaurusDIM::menu_data() {
    QTest::addColumn<QString>("cle");
    QTest::addColumn<QStringList>("entrees");
    QTest::newRow("racine") << "NORTH" << QStringList{};
    QTest::newRow("catégorie") << "C2" << QStringList{"m_ajoutActe", "m_suppCat", "m_modifCat"};
    QTest::newRow("acte") << "A2 - XGMA001 - " << QStringList{"m_ajoutActe", "m_suppActe"};
}

void TstThesaurusDIM::menu() {
    QFETCH(QString, cle);
    QFETCH(QStringList, entrees);
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    QSignalSpy menu(p.fenetre.data(), &f_ThesaurusDIM::menuDemande);
    p.cliquer(p.noeud(cle));
    QCOMPARE(menu.size(), 0); // left button: no menu
    p.cliquer(p.noeud(cle), Qt::RightButton);
    QCOMPARE(menu.size(), 1);
    QCOMPARE(menu.at(0).at(0).toStringList(), entrees);
    // Any other kind of key: no menu.
    QStringList autres;
    QVERIFY(!entreesMenuTheUM(QChar('X'), autres));
}

void TstThesaurusDIM::renommer_categoriesSeulement() {
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    QVERIFY(!(p.noeud(QStringLiteral("NORTH"))->flags() & Qt::ItemIsEditable));
    QVERIFY(!(p.noeud(QStringLiteral("A2 - XGMA001 - "))->flags() & Qt::ItemIsEditable));
    QTreeWidgetItem* genou = p.noeud(QStringLiteral("C2"));
    QVERIFY(genou->flags() & Qt::ItemIsEditable);
    genou->setText(0, QStringLiteral("Genou d'adulte"));
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_CODE = 2 AND CT_LIB = "
                       "'Genou d''adulte'"),
             1LL);
    // An empty label changes nothing.
    p.noeud(QStringLiteral("C2"))->setText(0, QString());
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_CODE = 2 AND CT_LIB = "
                       "'Genou d''adulte'"),
             1LL);
    QCOMPARE(p.noeud(QStringLiteral("C2"))->text(0), QStringLiteral("Genou d'adulte"));
}

void TstThesaurusDIM::supprimer() {
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    // The act: No keeps it, Yes deletes every row of its code.
    p.cliquer(p.noeud(QStringLiteral("A3 - YSMP001 - 1")));
    p.messages.setReponseSuivante(Reponse::Non);
    p.fenetre->suppActe();
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 3"), 3LL);
    QCOMPARE(p.fenetre->ctr_Details1->acteAffiche(), QStringLiteral("YSMP001"));
    p.messages.setReponseSuivante(Reponse::Oui);
    p.fenetre->suppActe();
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 3"), 1LL);
    QVERIFY(!p.noeud(QStringLiteral("A3 - YSMP001 - 4")));
    // The details show the node selected in its place, never the deleted act.
    const QString cle = p.cleCourante();
    QCOMPARE(p.fenetre->ctr_Details1->acteAffiche(),
             cle.startsWith(u'A') ? cle.section(QStringLiteral(" - "), 1, 1) : QString());
    QVERIFY(p.fenetre->ctr_Details1->acteAffiche() != QStringLiteral("YSMP001"));
    QCOMPARE(p.messages.textes().value(0),
             QStringLiteral("Voulez-vous vraiment supprimer l'acte sélectionné ?"));
    // The category shown, with its acts.
    p.cliquer(p.noeud(QStringLiteral("C2")));
    p.messages.setReponseSuivante(Reponse::Oui);
    p.fenetre->suppCat();
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_CODE = 2"), 0LL);
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 2"), 0LL);
    QVERIFY(!p.noeud(QStringLiteral("C2")));
    QVERIFY(p.arbre->currentItem());
    // The root is never deleted.
    p.cliquer(p.noeud(QStringLiteral("NORTH")));
    p.fenetre->suppCat();
    p.fenetre->suppActe();
    QCOMPARE(p.messages.journal().size(), size_t(3));
}

void TstThesaurusDIM::import_remplaceLUMSeulement() {
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    const long long medecins =
        p.compter("SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus ON AT_CAT "
                  "= CT_CODE WHERE CT_TYPE = 2");
    // No: nothing changes, no file asked.
    p.messages.setReponseSuivante(Reponse::Non);
    p.fenetre->importerThesaurusUM();
    QCOMPARE(p.choix.appels, 0);
    // Yes: the unit's three categories give way to the file's.
    p.messages.setReponseSuivante(Reponse::Oui);
    p.choix.setFichierSuivant(
        p.fichier("orth.txt", "entete\r\nMains\tXHMA001\tXHMA002\r\nPieds d'adulte\tXGMA001\r\n"));
    p.fenetre->importerThesaurusUM();
    QCOMPARE(p.messages.textes().value(0),
             QStringLiteral("Attention vous allez remplacer le thésaurus existant ! Voulez-vous "
                            "continuer ?"));
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'ORTH'"), 2LL);
    QCOMPARE(p.arbre->topLevelItem(0)->childCount(), 2);
    QCOMPARE(p.arbre->topLevelItem(0)->child(0)->text(0), QStringLiteral("Mains"));
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus ON "
                       "AT_CAT = CT_CODE WHERE CT_TYPE = 2"),
             medecins);
}

void TstThesaurusDIM::ongletMedecin() {
    PosteDIM p;
    // A unit chosen on the doctor tab: its doctors, none chosen, and the
    // unit tab shows that unit, combo included.
    p.choisirUM(1, QStringLiteral("VISC"));
    QCOMPARE(p.fenetre->C_listemedecins->count(), 1);
    QCOMPARE(p.fenetre->C_listemedecins->itemText(0), QStringLiteral("ALEROY - LEROY ANNE"));
    QCOMPARE(p.fenetre->medecinChoisi(), QString());
    QCOMPARE(p.cles().value(0), QStringLiteral("NVISC"));
    QCOMPARE(p.fenetre->umChoisie(), QStringLiteral("VISC"));
    // A doctor chosen: he becomes the current doctor, shown in the panel.
    p.fenetre->C_listemedecins->setCurrentIndex(0);
    QVERIFY(medecinCourant);
    QCOMPARE(medecinCourant->code, QStringLiteral("ALEROY"));
    QCOMPARE(ctr_ThesMED::cleNoeud(p.fenetre->ctr_ThesMED1->TV_ThesMED->topLevelItem(0)),
             QStringLiteral("NALEROY"));
    QVERIFY(p.fenetre->ctr_ThesMED1->Command1->isVisibleTo(p.fenetre->ctr_ThesMED1));
    // The doctor's report is his.
    std::unique_ptr<Thesaurus> t = p.fenetre->imprimerThesaurusMED();
    QVERIFY(t);
    QCOMPARE(t->Medecin, QStringLiteral("LEROY ANNE"));
    // Export of the doctor.
    const QString chemin = p.base.dossier() + "/aleroy.txt";
    p.choix.setFichierSuivant(chemin);
    p.fenetre->ExporterThesaurusMED();
    QVERIFY(QFile::exists(chemin));
}

void TstThesaurusDIM::sansUniteNiMedecin() {
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.fenetre->C_UM[0]->setCurrentIndex(-1);
    int dialogues = 0;
    p.piloterDialogues([&](QDialog*) { ++dialogues; });
    p.fenetre->afficheFenetreAjoutCat();
    p.fenetre->ExporterThesaurusUM();
    p.fenetre->ExporterThesaurusMED();
    QVERIFY(!p.fenetre->imprimerThesaurusUM());
    QVERIFY(!p.fenetre->imprimerThesaurusMED());
    QCOMPARE(dialogues, 0);
    QCOMPARE(p.choix.appels, 0);
}

void TstThesaurusDIM::ongletMedecin_sansMedecinChoisi() {
    // The doctor tab acts only on the doctor chosen in its combo. MARTIN logs
    // in, then "Changer d'utilisateur" and DIM: no doctor is current, the
    // tree is empty and its commands are off, and pressing them touches
    // nobody's thesaurus. The same after a doctor was chosen, then another
    // unit.
    QTemporaryDir dossier;
    Parametres::redirigerVers(dossier.filePath(QStringLiteral("tarvenor.ini")));
    BaseDeTest base{true};
    MessagesScriptes messages;
    ChoixFichierScripte choix;
    const QString thesaurusMartin =
        QStringLiteral("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
    const long long categoriesMartin = base.compter(thesaurusMartin);
    {
        f_principale principale;
        principale.show();
        PiloteConnexion pilote;
        pilote.connecter(QStringLiteral("MARTIN"), QStringLiteral("MARTIN"), base.chemin());
        principale.afficherConnexion();
        QVERIFY(medecinCourant);
        pilote.connecter(QStringLiteral("DIM"), QStringLiteral("DIM"), base.chemin());
        principale.m_chgUser->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* dim = principale.fenetreOuverte<f_ThesaurusDIM>();
        QVERIFY(dim);
        QCOMPARE(utilisateurCourant.p_LOGIN, QStringLiteral("DIM"));
        ctr_ThesMED* panneau = dim->ctr_ThesMED1;
        const auto sansMedecin = [&] {
            QVERIFY(!medecinCourant);
            QCOMPARE(dim->medecinChoisi(), QString());
            QCOMPARE(panneau->TV_ThesMED->topLevelItemCount(), 0);
            for (QPushButton* b :
                 {panneau->Command1, panneau->Command2, panneau->Command3, panneau->Command4})
                QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
            // Pressed anyway (a shortcut, a click queued before): nothing.
            int dialogues = 0;
            installerExecuteurModal([&](QObject*) {
                ++dialogues;
                return 0;
            });
            messages.setReponseSuivante(Reponse::Oui);
            panneau->importerTH();
            panneau->ajoutThUM();
            QMetaObject::invokeMethod(panneau->Command3, "click");
            QCOMPARE(dialogues, 0);
            QCOMPARE(choix.appels, 0);
            QCOMPARE(base.compter(thesaurusMartin), categoriesMartin);
        };
        QCOMPARE(dim->TS_Thes->currentIndex(), int(f_ThesaurusDIM::ongletMedecin));
        sansMedecin();

        // A doctor chosen, then another unit: the combo empties, and so do
        // the tree and the commands.
        for (int i = 0; i < dim->C_UM[1]->count(); ++i)
            if (dim->C_UM[1]->itemText(i).startsWith(QLatin1String("ORTH - ")))
                dim->C_UM[1]->setCurrentIndex(i);
        dim->C_listemedecins->setCurrentIndex(0);
        QVERIFY(medecinCourant);
        QCOMPARE(medecinCourant->code, QStringLiteral("CMARTIN"));
        QVERIFY(panneau->Command3->isEnabled());
        for (int i = 0; i < dim->C_UM[1]->count(); ++i)
            if (dim->C_UM[1]->itemText(i).startsWith(QLatin1String("VISC - ")))
                dim->C_UM[1]->setCurrentIndex(i);
        sansMedecin();
        installerExecuteurModal({});
    }
    Parametres::redirigerVers(QString());
    reinitialiserEtatGlobal();
}

void TstThesaurusDIM::recherche_seulLOngletCourant() {
    BaseDeTest base{true};
    MessagesScriptes messages;
    const ExecuteurModal precedent = installerExecuteurModal({});
    changerContexte(ModeEcran::ThesaurusUM);
    QStringList site;
    piloter([&](QObject* o) {
        auto* d = qobject_cast<d_rechercheActe*>(o);
        d->show();
        QCOMPARE(int(contexteCourant), 4);
        QCOMPARE(d->Combo1->currentText(), QStringLiteral("Hanche"));
        chercherCode(d->ctr_motCle1, QStringLiteral("XG"));
        QVERIFY(!cocherPremier(d->ctr_motCle1).isEmpty());
        d->TabStrip1->setCurrentIndex(1);
        remplirSite(d->ctr_site1);
        const QStringList deja = actesDeCategorie(base, 1);
        // Two acts ticked, the first unticked and ticked again: it comes last.
        const QString a = cocherPremier(d->ctr_site1, deja);
        const QString b = cocherPremier(d->ctr_site1, deja + QStringList{a});
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        QTreeWidgetItem* ligneA = d->ctr_site1->LV_Actes->findItems(a, Qt::MatchExactly).value(0);
        ligneA->setCheckState(0, Qt::Unchecked);
        ligneA->setCheckState(0, Qt::Checked);
        site = {b, a};
        QTest::mouseClick(d->Command1, Qt::LeftButton);
    });
    {
        d_rechercheActe d;
        QSignalSpy ajoutes(&d, &d_rechercheActe::actesAjoutes);
        d.afficher(1, QStringLiteral("ORTH"), 1);
        QCOMPARE(ajoutes.size(), 1);
        QCOMPARE(ajoutes.at(0).at(0).toLongLong(), 1LL);
    }
    // The keyword tick (an XG act) is not added; the site ticks are, in the
    // order ticked.
    const QStringList actes = colonne(Data().CreeRecordset(
        "SELECT AT_Acte FROM Acte_Thesaurus WHERE AT_CAT = 1 ORDER BY " + ordreDInsertion()));
    QCOMPARE(actes.size(), 4 + site.size());
    QCOMPARE(actes.mid(4), site);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 1 AND AT_Acte "
                          "LIKE 'XG%'"),
             0LL);
    QCOMPARE(int(contexteCourant), 1);
    installerExecuteurModal(precedent);
    reinitialiserEtatGlobal();
}

void TstThesaurusDIM::recherche_acteDejaPresentEtSansCategorie() {
    BaseDeTest base{true};
    MessagesScriptes messages;
    const ExecuteurModal precedent = installerExecuteurModal({});
    changerContexte(ModeEcran::ThesaurusUM);
    bool sansCategorie = false;
    installerExecuteurModal([&](QObject* o) {
        auto* d = qobject_cast<d_rechercheActe*>(o);
        d->show();
        chercherCode(d->ctr_motCle1, QStringLiteral("XHMA00"));
        for (int i = 0; i < d->ctr_motCle1->LV_Actes->topLevelItemCount(); ++i)
            d->ctr_motCle1->LV_Actes->topLevelItem(i)->setCheckState(0, Qt::Checked);
        if (sansCategorie)
            d->Combo1->setCurrentIndex(-1);
        QTest::mouseClick(d->Command1, Qt::LeftButton);
        return 0;
    });
    const long long avant = base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 1");
    {
        d_rechercheActe d;
        d.afficher(1, QStringLiteral("ORTH"), 1);
    }
    // XHMA001 to 003 were already in "Hanche": none is stored twice.
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 1 AND AT_Acte = "
                          "'XHMA001'"),
             1LL);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 1"), avant);
    QVERIFY(messages.journal().empty());
    const long long apres = base.compter("SELECT count(*) FROM Acte_Thesaurus");
    sansCategorie = true;
    {
        d_rechercheActe d;
        d.afficher(1, QStringLiteral("ORTH"), 1);
    }
    QCOMPARE(messages.textes(), QStringList{QStringLiteral("Vous devez choisir une catégorie.")});
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus"), apres);
    installerExecuteurModal(precedent);
    reinitialiserEtatGlobal();
}

void TstThesaurusDIM::recherche_modeRestaure_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("fermeture");
    for (int mode : {1, 2, 3})
        for (const char* f : {"Fermer", "croix", "destruction"})
            QTest::addRow("mode %d, %s", mode, f) << mode << QString::fromLatin1(f);
}

void TstThesaurusDIM::recherche_modeRestaure() {
    QFETCH(int, mode);
    QFETCH(QString, fermeture);
    BaseDeTest base{true};
    const ExecuteurModal precedent = installerExecuteurModal({});
    changerContexte(ModeEcran(mode));
    int pendant = 0;
    installerExecuteurModal([&](QObject* o) {
        auto* d = qobject_cast<d_rechercheActe*>(o);
        pendant = int(contexteCourant);
        if (fermeture == QLatin1String("Fermer"))
            QTest::mouseClick(d->Command2, Qt::LeftButton);
        else if (fermeture == QLatin1String("croix"))
            d->reject();
        return 0;
    });
    {
        d_rechercheActe d;
        d.afficher(8, QStringLiteral("CMARTIN"), 2);
        QCOMPARE(pendant, 4);
    }
    QCOMPARE(int(contexteCourant), mode);
    installerExecuteurModal(precedent);
    reinitialiserEtatGlobal();
}

void TstThesaurusDIM::import_fichierRefuse_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("octets");
    QTest::newRow("image") << "image.txt" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    // The readable listing the program prints, saved under a ".txt" name.
    QTest::newRow("liste lisible") << "liste.txt"
                                   << QByteArray("Thesaurus de l'UM : ORTH\r\n"
                                                 "Arthroscopies\r\n"
                                                 "XGQC001\tArthroscopie diagnostique du genou\r\n"
                                                 "\tPremiere phase\r\n");
}

void TstThesaurusDIM::import_fichierRefuse() {
    // A file that is no thesaurus text: the unit keeps its thesaurus whole.
    QFETCH(QString, nom);
    QFETCH(QByteArray, octets);
    PosteDIM p(ModeEcran::ThesaurusUM);
    p.choisirUM(0, QStringLiteral("ORTH"));
    const QStringList avant = p.cles();
    p.messages.setReponseSuivante(Reponse::Oui);
    p.choix.setFichierSuivant(p.fichier(nom, octets));
    p.fenetre->importerThesaurusUM();
    QCOMPARE(p.messages.journal().size(), size_t(2));
    QCOMPARE(p.cles(), avant);
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'ORTH'"), 3LL);
}

void TstThesaurusDIM::recherche_depuisLesArbresDesMedecins_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("espace du médecin") << 3;
    QTest::newRow("onglet médecin du DIM") << 2;
}

void TstThesaurusDIM::recherche_depuisLesArbresDesMedecins() {
    // "Ajouter des actes" on a doctor's category, then the search button:
    // the acts land in that category, the doctor in memory and his tree
    // show them, and the mode comes back.
    QFETCH(int, mode);
    BaseDeTest base{true};
    MessagesScriptes messages;
    const ExecuteurModal precedent = installerExecuteurModal({});
    std::unique_ptr<QWidget> fenetre;
    ctr_ThesMED* panneau = nullptr;
    if (mode == 3) {
        auto m = std::make_shared<Medecin>();
        m->code = QStringLiteral("CMARTIN");
        m->remplirDonnees();
        m->remplirThesaurusMED();
        changerMedecinCourant(m);
        changerContexte(ModeEcran::EspaceMedecin);
        auto* f = new f_thesaurusMED;
        fenetre.reset(f);
        panneau = f->ctr_ThesMED1;
    } else {
        changerContexte(ModeEcran::ThesaurusMedecinDIM);
        auto* f = new f_ThesaurusDIM;
        fenetre.reset(f);
        for (int i = 0; i < f->C_UM[1]->count(); ++i)
            if (f->C_UM[1]->itemText(i).startsWith(QLatin1String("ORTH - ")))
                f->C_UM[1]->setCurrentIndex(i);
        f->C_listemedecins->setCurrentIndex(0);
        panneau = f->ctr_ThesMED1;
    }
    fenetre->show();
    QVERIFY(medecinCourant && medecinCourant->code == QLatin1String("CMARTIN"));
    panneau->TV_ThesMED->setCurrentItem(panneau->noeud(QStringLiteral("C10")));
    QString ajoute;
    piloterRecherche(QStringLiteral("À classer"), ajoute);
    QTest::mouseClick(panneau->Command2, Qt::LeftButton);
    QVERIFY(!ajoute.isEmpty());
    QCOMPARE(int(contexteCourant), mode);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 10"), 1LL);
    QVERIFY(panneau->noeud("A10 - " + ajoute + " - "));
    QCOMPARE(ctr_ThesMED::cleNoeud(panneau->TV_ThesMED->currentItem()), "A10 - " + ajoute + " - ");
    QCOMPARE(medecinCourant->getCategorie(10)->listeActes.size(), 1);
    fenetre.reset();
    installerExecuteurModal(precedent);
    reinitialiserEtatGlobal();
}

void TstThesaurusDIM::parcoursDIM() {
    // A DIM user's workspace: pick a unit, add acts through the search
    // dialog, rename and delete a category, print the unit's thesaurus, come
    // back.
    QTemporaryDir dossier;
    Parametres::redirigerVers(dossier.filePath(QStringLiteral("tarvenor.ini")));
    BaseDeTest base{true};
    MessagesScriptes messages;
    ChoixFichierScripte choix;
    const ExecuteurModal precedent = installerExecuteurModal({});
    {
        f_principale principale;
        principale.show();
        utilisateurCourant.p_GROUP = QStringLiteral("DIM");
        principale.ouvrirEspace(ModeEcran::ThesaurusMedecinDIM);
        auto* dim = principale.fenetreOuverte<f_ThesaurusDIM>();
        QVERIFY(dim);
        dim->TS_Thes->setCurrentIndex(f_ThesaurusDIM::ongletUM);
        QCOMPARE(int(contexteCourant), 1);
        for (int i = 0; i < dim->C_UM[0]->count(); ++i)
            if (dim->C_UM[0]->itemText(i).startsWith(QLatin1String("VISC - ")))
                dim->C_UM[0]->setCurrentIndex(i);
        QCOMPARE(dim->umChoisie(), QStringLiteral("VISC"));

        // "Ajouter des actes" on "Endoscopies", then the search button.
        QTreeWidgetItem* endoscopies = nullptr;
        for (QTreeWidgetItem* n : dim->noeudsUM())
            if (ctr_ThesMED::cleNoeud(n) == QLatin1String("C4"))
                endoscopies = n;
        QVERIFY(endoscopies);
        dim->TV_ThesUM->setCurrentItem(endoscopies);
        QString ajoute;
        piloterRecherche(QStringLiteral("Endoscopies"), ajoute);
        QTest::mouseClick(dim->Command2, Qt::LeftButton);
        QVERIFY(!ajoute.isEmpty());
        QCOMPARE(int(contexteCourant), 1);
        // The tree is redrawn on the category's first act, the new act in it.
        QVERIFY(ctr_ThesMED::cleNoeud(dim->TV_ThesUM->currentItem()).startsWith("A4 - "));
        QStringList cles;
        for (QTreeWidgetItem* n : dim->noeudsUM())
            cles << ctr_ThesMED::cleNoeud(n);
        QVERIFY(cles.contains("A4 - " + ajoute + " - "));

        // A right click on an act: the main window's pop-up menu, with its
        // entries for an act.
        {
            QTreeWidgetItem* acte = dim->TV_ThesUM->currentItem();
            dim->TV_ThesUM->scrollToItem(acte);
            QTest::mouseClick(dim->TV_ThesUM->viewport(), Qt::RightButton, {},
                              dim->TV_ThesUM->visualItemRect(acte).center());
            QStringList visibles;
            for (QAction* a : principale.m_TheUM->actions())
                if (a->isVisible())
                    visibles << a->objectName();
            QCOMPARE(visibles, (QStringList{"m_ajoutActe", "m_suppActe", "m_ajoutCat"}));
            principale.m_TheUM->hide();
        }

        // Rename "Endoscopies" through the main window's menu, then delete
        // "Voies biliaires".
        dim->TV_ThesUM->setCurrentItem(endoscopies = dim->TV_ThesUM->topLevelItem(0)->child(0));
        principale.m_modifCat->trigger();
        endoscopies->setText(0, QStringLiteral("Endoscopies digestives"));
        QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIB = "
                              "'Endoscopies digestives'"),
                 1LL);
        dim->TV_ThesUM->setCurrentItem(dim->TV_ThesUM->topLevelItem(0)->child(1));
        messages.setReponseSuivante(Reponse::Oui);
        principale.m_suppCat->trigger();
        QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'VISC'"),
                 1LL);

        // Export through the toolbar: the unit shown.
        const QString chemin = base.dossier() + "/visc.txt";
        choix.setFichierSuivant(chemin);
        principale.boutonBarreOutils(QStringLiteral("b_export"));
        QFile exporte(chemin);
        QVERIFY(exporte.open(QIODevice::ReadOnly));
        QVERIFY(exporte.readAll().contains("Endoscopies digestives\t"));

        // Print: the report in the workspace, mode 8; "retour": mode 1.
        principale.boutonBarreOutils(QStringLiteral("b_imprimer"));
        auto* rapport = principale.fenetreOuverte<DR_thesaurus>();
        QVERIFY(rapport);
        QCOMPARE(int(contexteCourant), 8);
        QCOMPARE(principale.fenetreActive(), rapport);
        QCOMPARE(rapport->thesaurus()->getThesaurus().size(), 1);
        // The toolbar's buttons that are on: "retour" only on a report.
        const auto actifs = [&] {
            QStringList l;
            for (QAction* a : principale.Toolbar1->actions())
                if (a->isEnabled())
                    l << a->objectName();
            return l;
        };
        QCOMPARE(actifs(), QStringList{"b_retour"});
        emit rapport->retourDemande();
        QCoreApplication::processEvents();
        QCOMPARE(int(contexteCourant), 1);
        QVERIFY(!principale.fenetreOuverte<DR_thesaurus>());
        QCOMPARE(principale.fenetreActive(), dim);
        // Back on the unit's thesaurus, print and export are on, and print
        // shows the report again.
        QCOMPARE(actifs(), (QStringList{"b_imprimer", "b_export"}));
        principale.Toolbar1->actions().constFirst()->trigger();
        QVERIFY(principale.fenetreOuverte<DR_thesaurus>());
        QCOMPARE(int(contexteCourant), 8);
    }
    installerExecuteurModal(precedent);
    Parametres::redirigerVers(QString());
    reinitialiserEtatGlobal();
}

// The national V81 loaded into the demonstration database retires its
// invented acts. The unit ANES's RPJB001 is replaced from "Actes à
// remplacer" by its first proposal, after the question naming both codes;
// the unit's report before and after. The invented acts copied from real
// ones propose those (constructed pairs: no note of V81 names a successor).
void TstThesaurusDIM::actesARemplacerApresUneNouvelleVersion() {
    const QString dossier = dossierCcamNational();
    if (dossier.isEmpty())
        QSKIP("Dossier CCAM national absent (TARVENOR_CCAM_DIR).");
    PosteDIM poste(ModeEcran::ThesaurusUM, [&](const BaseDeTest& b) {
        ImportCcam(QDir(dossier).filePath("ccam_v81.csv"), dossier).charger(b.chemin());
    });
    const QString anes = QStringLiteral("ANES - ANESTHÉSIE RÉANIMATION");
    const auto rapport = [&] {
        Thesaurus th;
        th.remplirThesaurusUM(anes);
        QStringList l;
        for (const LigneCategorieThesaurus& c : th.getThesaurus())
            for (const LigneActeThesaurus& a : c.Actes)
                l << c.Categorie + " | " + a.codeActe + " | " + a.LibActe;
        return l;
    };
    const QString urgence = QStringLiteral("Actes d'urgence | ");
    QVERIFY(rapport().contains(urgence + "RPJB001 | Ponction d'un épanchement pleural, par voie "
                                         "transcutanée (retiré de la CCAM en version 81)"));
    poste.choisirUM(0, "ANES");
    QVERIFY(poste.noeud(poste.cles().filter(" - RPJB001 - ").value(0)));

    QStringList propositionsXGFC001, propositionsXHMA001, question;
    poste.piloterDialogues([&](QDialog* d) {
        auto* dialogue = qobject_cast<d_actesARemplacer*>(d);
        QVERIFY(dialogue);
        QCOMPARE(dialogue->C_portee->currentText(), "Unité : " + anes);
        QTreeWidget* liste = dialogue->LV_Actes;
        QCOMPARE(liste->topLevelItemCount(), 7);
        QCOMPARE(liste->topLevelItem(0)->text(2), QStringLiteral("RPJB001"));
        liste->setCurrentItem(liste->topLevelItem(0));
        QCOMPARE(dialogue->l_propositions->item(0)->text(),
                 QStringLiteral("GGHB001 - Ponction d'un épanchement pleural, sans guidage"));
        poste.messages.setReponseSuivante(Reponse::Oui);
        QTest::mouseClick(dialogue->b_remplacer, Qt::LeftButton);
        question << poste.messages.textes();
        QCOMPARE(liste->topLevelItemCount(), 6);
        // Every unit and doctor: MARTIN's invented acts.
        dialogue->C_portee->setCurrentIndex(0);
        for (const ActeARemplacer& a : dialogue->actes())
            for (const PropositionRemplacement& p : a.propositions)
                (a.code == "XGFC001"   ? propositionsXGFC001
                 : a.code == "XHMA001" ? propositionsXHMA001
                                       : question)
                    << p.code;
    });
    QTest::mouseClick(poste.fenetre->b_actesARemplacer, Qt::LeftButton);
    QCOMPARE(question.value(0),
             QStringLiteral("Remplacer l'acte retiré RPJB001 par l'acte GGHB001 - Ponction d'un "
                            "épanchement pleural, sans guidage dans la catégorie « Actes "
                            "d'urgence » (ANES - ANESTHÉSIE RÉANIMATION) ?"));
    QVERIFY2(propositionsXGFC001.contains("NFFC004"), qPrintable(propositionsXGFC001.join(' ')));
    QCOMPARE(propositionsXHMA001.value(0), QStringLiteral("NEKA020"));

    // The tree drawn again, the report after.
    QVERIFY(poste.cles().filter(" - RPJB001 - ").isEmpty());
    QCOMPARE(poste.cles().filter(" - GGHB001 - ").size(), 1);
    const QStringList apres = rapport();
    QVERIFY(apres.contains(urgence + "GGHB001 | Ponction d'un épanchement pleural, sans guidage"));
    QVERIFY(apres.filter("RPJB001").isEmpty());
}

QTEST_MAIN(TstThesaurusDIM)
#include "tst_thesaurus_dim.moc"
