// The doctor's workspace driven offscreen: the thesaurus tree of CMARTIN (the
// demonstration database), its pop-up menu, renaming, deleting, copying the
// unit thesaurus, importing and exporting, the tab rules, and the three
// category and act dialogs. Message boxes, file choosers and modal dialogs go
// through the scripted hooks.

#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "BaseDeTest.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Parametres.h"
#include "Progression.h"
#include "Utilisateur.h"
#include "ctr_Details.h"
#include "ctr_ThesMED.h"
#include "ctr_motCle.h"
#include "d_ajoutActeThe.h"
#include "d_ajoutPanier.h"
#include "d_newCategorie.h"
#include "d_rechercheActe.h"
#include "d_selectCat.h"
#include "f_principale.h"
#include "f_thesaurusMED.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

// One doctor's window on a fresh demonstration database, with scripted hooks.
struct Poste {
    Poste(const QString& medecin = QStringLiteral("CMARTIN"),
          const std::function<void(const BaseDeTest&)>& preparer = {}) {
        if (preparer)
            preparer(base);
        auto m = std::make_shared<Medecin>();
        m->code = medecin;
        m->remplirDonnees();
        m->remplirThesaurusMED();
        medecinCourant = m;
        changerContexte(ModeEcran(3));
        fenetre = new f_thesaurusMED;
        fenetre->resize(1000, 650);
        fenetre->show();
        panneau = fenetre->ctr_ThesMED1;
        arbre = panneau->TV_ThesMED;
    }
    ~Poste() {
        delete fenetre;
        installerExecuteurModal(precedent);
        reinitialiserEtatGlobal();
    }

    // A dialog opened modally runs `pilote` instead of its own event loop.
    void piloterDialogues(std::function<void(QDialog*)> pilote) {
        installerExecuteurModal([this, pilote](QObject* o) {
            ++dialoguesOuverts;
            pilote(qobject_cast<QDialog*>(o));
            return 0;
        });
    }

    void cliquer(QTreeWidgetItem* n, Qt::MouseButton bouton = Qt::LeftButton) {
        QVERIFY(n);
        arbre->scrollToItem(n);
        QTest::mouseClick(arbre->viewport(), bouton, {}, arbre->visualItemRect(n).center());
    }

    QStringList cles() const {
        QStringList l;
        for (QTreeWidgetItem* n : panneau->noeuds())
            l << ctr_ThesMED::cleNoeud(n);
        return l;
    }
    // A file of the test's folder with that content; its path.
    QString fichier(const QString& nom, const QByteArray& contenu) const {
        const QString chemin = base.dossier() + "/" + nom;
        QFile f(chemin);
        if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size())
            qFatal("cannot write %s", qPrintable(chemin));
        return chemin;
    }
    QString cleCourante() const { return ctr_ThesMED::cleNoeud(arbre->currentItem()); }
    long long compter(const QString& sql) const { return base.compter(sql); }
    long long actesDuMedecin() const {
        return compter("SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus ON "
                       "AT_CAT = CT_CODE WHERE CT_LIEN = '" +
                       medecinCourant->code + "' AND CT_TYPE = 2");
    }
    long long categoriesDuMedecin() const {
        return compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = '" +
                       medecinCourant->code + "' AND CT_TYPE = 2");
    }

    BaseDeTest base{true};
    MessagesScriptes messages;
    ChoixFichierScripte choix;
    ExecuteurModal precedent = installerExecuteurModal({});
    QPointer<f_thesaurusMED> fenetre;
    ctr_ThesMED* panneau = nullptr;
    QTreeWidget* arbre = nullptr;
    int dialoguesOuverts = 0;
};

// Records what long work reports to the wait window.
struct ProgressionEnregistree : IProgression {
    ProgressionEnregistree() { installerProgression(this); }
    ~ProgressionEnregistree() override { installerProgression(nullptr); }
    void debut(const QString&, int maximum) override {
        journal << QStringLiteral("debut %1").arg(maximum);
        if (alOuverture)
            alOuverture();
    }
    void avancer(int pas) override { journal << QStringLiteral("+%1").arg(pas); }
    void fin() override { journal << QStringLiteral("fin"); }
    QStringList journal;
    std::function<void()> alOuverture; // run as the wait window opens
};

QStringList actionsVisibles(const QMenu* menu) {
    QStringList l;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            l << a->objectName();
    return l;
}

} // namespace

class TstThesaurusMedecin : public QObject {
    Q_OBJECT
private slots:
    void init() { reinitialiserEtatGlobal(); }

    void arbre_clesTextesEtSelection();
    void arbre_cleEnDoubleNonAjoutee();
    void arbre_medecinSansCategorie();
    void clic_acteEtCategorie();
    void menu_data();
    void menu();
    void selectionnerActe();
    void clavier_data();
    void clavier();
    void renommer_data();
    void renommer();
    void renommer_niRacineNiActe();
    void supprimerActe_nonPuisOui();
    void supprimerActe_deuxActivites();
    void supprimer_dernierNoeudSelectionneLePremier();
    void supprimerCategorie();
    void copieThesaurusUM();
    void copieThesaurusUM_toutOuRien();
    void import_laisseLeThesaurusEntier_data();
    void import_laisseLeThesaurusEntier();
    void import_remplace();
    void import_thesaurusVideSansConfirmation();
    void import_grosFichiers();
    void export_fichier();
    void onglets();
    void detailsSuiventLaSelection_data();
    void detailsSuiventLaSelection();
    void newCategorie_ajouterPuisOK();
    void newCategorie_texteVide_data();
    void newCategorie_texteVide();
    void ajoutActe_codeSaisi();
    void ajoutActe_refus_data();
    void ajoutActe_refus();
    void ajoutActe_sansCategorieChoisie();
    void ajoutActe_ajouterPuisOK();
    void ajoutActe_boutonRecherche();
    void ajoutActe_selectionDansSaCategorie();
    void fenetrePrincipale_commandes();
    void selectCat_sansCategorie();
    void selectCat_ajoute();
};

void TstThesaurusMedecin::arbre_clesTextesEtSelection() {
    Poste p;
    QCOMPARE(p.arbre->topLevelItemCount(), 1);
    QTreeWidgetItem* racine = p.arbre->topLevelItem(0);
    QCOMPARE(ctr_ThesMED::cleNoeud(racine), QStringLiteral("NCMARTIN"));
    QCOMPARE(racine->text(0), QStringLiteral("Thésaurus du médecin : CMARTIN - MARTIN CLAIRE"));
    // Categories 8 "Prothèses", 9 "Arthroscopies", 10 "À classer" (no act).
    QTreeWidgetItem* protheses = p.panneau->noeud(QStringLiteral("C8"));
    QVERIFY(protheses);
    QCOMPARE(protheses->text(0), QStringLiteral("Prothèses"));
    QCOMPARE(protheses->parent(), racine);
    QCOMPARE(protheses->childCount(), 3);
    QVERIFY(p.panneau->noeud(QStringLiteral("C10")));
    QCOMPARE(p.panneau->noeud(QStringLiteral("C10"))->childCount(), 0);
    QTreeWidgetItem* acte = p.panneau->noeud(QStringLiteral("A8 - XHMA001 - "));
    QVERIFY(acte);
    QCOMPARE(acte->parent(), protheses);
    QCOMPARE(acte->text(0),
             QStringLiteral("XHMA001  -  Remplacement de l'articulation "
                            "coxofémorale par prothèse totale, par abord postérieur"));
    QCOMPARE(p.cles().size(), 1 + 3 + 3 + 3);
    // The first category is selected; the unit copy is closed to a doctor who
    // has categories; import and copy buttons belong to the DIM window only.
    QCOMPARE(p.arbre->currentItem(), p.panneau->noeuds().at(1));
    QVERIFY(!p.panneau->Command4->isEnabled());
    QVERIFY(p.panneau->Command1->isHidden());
    QVERIFY(p.panneau->Command4->isHidden());
    QVERIFY(p.panneau->Command2->isEnabled());
    QCOMPARE(p.fenetre->TS_Thes->tabText(3), QStringLiteral("Thésaurus du MARTIN CLAIRE"));
    QCOMPARE(p.fenetre->TS_Thes->currentIndex(), 3);
    // Captions of the buttons and of the pop-up menu, in its order.
    QStringList legendes;
    for (const QPushButton* b :
         {p.panneau->Command1, p.panneau->Command2, p.panneau->Command3, p.panneau->Command4})
        legendes << b->text();
    for (const QAction* a : p.panneau->m_TheMED->actions())
        legendes << a->objectName() + "=" + a->text();
    QCOMPARE(legendes,
             (QStringList{"Importer le thésaurus", "Ajouter des actes", "Ajouter des catégories",
                          "Ajouter le thésaurus de l'UM", "m_ajoutPanier=Sélectionner cet acte",
                          "m_ajoutActe=Ajouter un acte", "m_suppActe=Supprimer l'acte",
                          "m_ajoutCat=Ajouter une catégorie", "m_suppCat=Supprimer la catégorie",
                          "m_modifCat=Renommer la catégorie"}));
    // In the doctor tab of the DIM window they show.
    changerContexte(ModeEcran(2));
    p.panneau->afficher(nullptr);
    QVERIFY(!p.panneau->Command1->isHidden());
    QVERIFY(!p.panneau->Command4->isHidden());
    QCOMPARE(medecinCourant->code, QStringLiteral("CMARTIN"));
}

void TstThesaurusMedecin::arbre_cleEnDoubleNonAjoutee() {
    // The same act and activity twice in one category: one node. Two
    // activities: two nodes.
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XGQC001', 9, '', 'bis')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 9, '1', '')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 9, '4', '')");
    });
    QTreeWidgetItem* arthro = p.panneau->noeud(QStringLiteral("C9"));
    QCOMPARE(arthro->childCount(), 5);
    QVERIFY(p.panneau->noeud(QStringLiteral("A9 - XHMA003 - 1")));
    QVERIFY(p.panneau->noeud(QStringLiteral("A9 - XHMA003 - 4")));
}

void TstThesaurusMedecin::arbre_medecinSansCategorie() {
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("DELETE FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
    });
    QCOMPARE(p.cles(), QStringList{QStringLiteral("NCMARTIN")});
    QCOMPARE(p.cleCourante(), QStringLiteral("NCMARTIN"));
    QVERIFY(p.panneau->Command4->isEnabled());
    QVERIFY(!p.panneau->Command2->isEnabled());
    p.piloterDialogues([](QDialog* d) {
        auto* dlg = qobject_cast<d_newCategorie*>(d);
        QVERIFY(dlg);
        QTest::keyClicks(dlg->Text1, QStringLiteral("Rachis"));
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    });
    QTest::mouseClick(p.panneau->Command3, Qt::LeftButton);
    QCOMPARE(p.dialoguesOuverts, 1);
    QCOMPARE(p.arbre->currentItem()->text(0), QStringLiteral("Rachis"));
    QVERIFY(!p.panneau->Command4->isEnabled());
}

void TstThesaurusMedecin::clic_acteEtCategorie() {
    Poste p;
    p.cliquer(p.panneau->noeud(QStringLiteral("A9 - XGQC001 - ")));
    QVERIFY(!acteCourant.estVide());
    QCOMPARE(acteCourant.code, QStringLiteral("XGQC001"));
    QCOMPARE(p.panneau->acteSelectionne(), acteCourant);
    QCOMPARE(acteCourant.activite, QString());
    // The details panel of the window shows it.
    QVERIFY(!p.fenetre->ctr_Details1->t_details->toPlainText().isEmpty());
    QVERIFY(p.panneau->Command2->isEnabled());
    p.cliquer(p.panneau->noeud(QStringLiteral("C9")));
    QVERIFY(acteCourant.estVide());
    QVERIFY(p.panneau->acteSelectionne().estVide());
    QVERIFY(p.fenetre->ctr_Details1->t_details->toPlainText().isEmpty());
    p.cliquer(p.arbre->topLevelItem(0));
    QVERIFY(!p.panneau->Command2->isEnabled());
}

void TstThesaurusMedecin::menu_data() {
    QTest::addColumn<int>("contexte");
    QTest::addColumn<QString>("cle");
    QTest::addColumn<QStringList>("visibles");
    QTest::newRow("racine") << 3 << "NCMARTIN" << QStringList{"m_ajoutCat"};
    QTest::newRow("catégorie") << 3 << "C9"
                               << QStringList{"m_ajoutActe", "m_ajoutCat", "m_suppCat",
                                              "m_modifCat"};
    QTest::newRow("acte") << 3 << "A9 - XGQC001 - "
                          << QStringList{"m_ajoutPanier", "m_ajoutActe", "m_suppActe",
                                         "m_ajoutCat"};
    QTest::newRow("acte, fenêtre DIM")
        << 2 << "A9 - XGQC001 - " << QStringList{"m_ajoutActe", "m_suppActe", "m_ajoutCat"};
}

void TstThesaurusMedecin::menu() {
    QFETCH(int, contexte);
    QFETCH(QString, cle);
    QFETCH(QStringList, visibles);
    Poste p;
    changerContexte(ModeEcran(contexte));
    p.cliquer(p.panneau->noeud(cle), Qt::RightButton);
    QTRY_VERIFY_WITH_TIMEOUT(p.panneau->m_TheMED->isVisible(), attenteMaxMs);
    QCOMPARE(actionsVisibles(p.panneau->m_TheMED), visibles);
    p.panneau->m_TheMED->hide();
    // A left click shows no menu.
    p.cliquer(p.panneau->noeud(cle));
    QVERIFY(!p.panneau->m_TheMED->isVisible());
}

void TstThesaurusMedecin::selectionnerActe() {
    // "Sélectionner cet acte" runs the basket admission on the act clicked.
    Poste p;
    QStringList ouverts;
    const ExecuteurModal avant = installerExecuteurModal([&](QObject* o) {
        if (qobject_cast<d_ajoutPanier*>(o))
            ouverts << acteCourant.code;
        return 0;
    });
    p.cliquer(p.panneau->noeud(QStringLiteral("A8 - XGMA001 - ")), Qt::RightButton);
    p.panneau->m_TheMED->hide();
    p.panneau->m_ajoutPanier->trigger();
    installerExecuteurModal(avant);
    QCOMPARE(ouverts, QStringList{QStringLiteral("XGMA001")});
}

// A result row or a thesaurus node by keyboard or double click: on an act,
// Enter and a double click run "Sélectionner cet acte"; the Menu key and
// Shift+F10 open the pop-up; nothing where the pop-up is not offered.
void TstThesaurusMedecin::clavier_data() {
    QTest::addColumn<int>("contexte");
    QTest::addColumn<QString>("cle"); // a node of the tree, empty for the keyword list
    QTest::addColumn<QString>("geste");
    QTest::addColumn<QString>("effet"); // "panier", "menu" or nothing
    const QString liste, acte("A8 - XGMA001 - "), cat("C9"), rien, panier("panier"), menu("menu");
    QTest::newRow("liste, Entrée") << 3 << liste << QString("Entrée") << panier;
    QTest::newRow("liste, double clic") << 3 << liste << QString("double clic") << panier;
    QTest::newRow("liste, touche Menu") << 3 << liste << QString("touche Menu") << menu;
    QTest::newRow("liste, F10 seul") << 3 << liste << QString("F10") << rien;
    QTest::newRow("liste, DIM") << 2 << liste << QString("Entrée") << rien;
    QTest::newRow("acte, Entrée") << 3 << acte << QString("Entrée") << panier;
    QTest::newRow("acte, double clic") << 3 << acte << QString("double clic") << panier;
    QTest::newRow("catégorie, Maj+F10") << 3 << cat << QString("Maj+F10") << menu;
    QTest::newRow("catégorie, Entrée") << 3 << cat << QString("Entrée") << rien;
    QTest::newRow("acte, fenêtre DIM") << 2 << acte << QString("Entrée") << rien;
}

void TstThesaurusMedecin::clavier() {
    QFETCH(int, contexte);
    QFETCH(QString, cle);
    QFETCH(QString, geste);
    QFETCH(QString, effet);
    Poste p;
    changerContexte(ModeEcran(contexte));
    utilisateurCourant.p_GROUP = contexte == 2 ? "DIM" : "MEDECIN";
    QStringList paniers;
    const ExecuteurModal avant = installerExecuteurModal([&](QObject* o) {
        if (qobject_cast<d_ajoutPanier*>(o))
            paniers << acteCourant.code;
        return 0;
    });
    QAbstractItemView* vue = p.arbre;
    QMenu* menu = p.panneau->m_TheMED;
    if (cle.isEmpty()) {
        ctr_motCle* motCle = p.fenetre->ctr_motCle1;
        p.fenetre->TS_Thes->setCurrentIndex(0);
        motCle->t_motCle->setText(QStringLiteral("XGMA001"));
        QTest::mouseClick(motCle->b_recherche, Qt::LeftButton);
        vue = motCle->LV_Actes;
        menu = motCle->m_listeActes;
    } else {
        p.cliquer(p.panneau->noeud(cle));
    }
    const QPoint centre = vue->visualRect(vue->currentIndex()).center();
    vue->setFocus();
    const auto touche = geste == u"Entrée" ? Qt::Key_Return
                        : geste == u"F10"  ? Qt::Key_F10
                                           : Qt::Key_Menu;
    if (geste == u"double clic") { // a click, then the press that makes it double
        QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
    } else if (geste == u"Maj+F10")
        QTest::keyClick(vue, Qt::Key_F10, Qt::ShiftModifier);
    else
        QTest::keyClick(vue, touche);
    installerExecuteurModal(avant);
    QCOMPARE(paniers, effet == u"panier" ? QStringList{"XGMA001"} : QStringList{});
    QCOMPARE(menu->isVisible(), effet == u"menu");
    menu->hide();
}

void TstThesaurusMedecin::renommer_data() {
    QTest::addColumn<QString>("saisi");
    QTest::addColumn<QString>("attendu");
    QTest::newRow("nouveau libellé") << "Arthroscopies du genou"
                                     << "Arthroscopies du genou";
    QTest::newRow("apostrophe") << "Gestes d'arthroscopie"
                                << "Gestes d'arthroscopie";
    QTest::newRow("texte vide") << ""
                                << "Arthroscopies";
}

void TstThesaurusMedecin::renommer() {
    QFETCH(QString, saisi);
    QFETCH(QString, attendu);
    Poste p;
    QTreeWidgetItem* n = p.panneau->noeud(QStringLiteral("C9"));
    p.cliquer(n);
    p.panneau->m_modifCat->trigger();
    auto* editeur = p.arbre->findChild<QLineEdit*>();
    QVERIFY(editeur);
    editeur->selectAll();
    editeur->setText(saisi);
    QTest::keyClick(editeur, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!p.arbre->findChild<QLineEdit*>() ||
                                 !p.arbre->findChild<QLineEdit*>()->isVisible(),
                             attenteMaxMs);
    QCOMPARE(n->text(0), attendu);
    QCOMPARE(medecinCourant->getCategorie(9)->libelle, attendu);
    RecordsetPtr rs =
        Data().CreeRecordset("SELECT CT_LIB FROM CategorieThesaurus WHERE CT_CODE = 9");
    QCOMPARE(rs->Fields(0).toString(), attendu);
    QVERIFY(p.messages.journal().empty());
}

void TstThesaurusMedecin::renommer_niRacineNiActe() {
    Poste p;
    for (const QString& cle : {QStringLiteral("NCMARTIN"), QStringLiteral("A9 - XGQC001 - ")}) {
        p.cliquer(p.panneau->noeud(cle));
        QTest::keyClick(p.arbre, Qt::Key_F2);
        p.panneau->m_modifCat->trigger();
        QVERIFY(!p.arbre->findChild<QLineEdit*>());
    }
    // The same key on a category opens its label.
    p.cliquer(p.panneau->noeud(QStringLiteral("C9")));
    QTest::keyClick(p.arbre, Qt::Key_F2);
    QVERIFY(p.arbre->findChild<QLineEdit*>());
}

void TstThesaurusMedecin::supprimerActe_nonPuisOui() {
    // XHMA001 stands between XGMA001 and XHMA002 (acts in code order).
    Poste p;
    const long long avant = p.actesDuMedecin();
    QTreeWidgetItem* n = p.panneau->noeud(QStringLiteral("A8 - XHMA001 - "));
    p.cliquer(n, Qt::RightButton);
    p.panneau->m_TheMED->hide();
    p.messages.setReponseSuivante(Reponse::Non);
    p.panneau->m_suppActe->trigger();
    QCOMPARE(p.messages.textes(),
             QStringList{QStringLiteral("Voulez-vous vraiment supprimer l'acte sélectionné ?")});
    const MessageAffiche& m = p.messages.journal().front();
    QCOMPARE(m.titre, QStringLiteral("Confirmation suppression"));
    QCOMPARE(m.icone, Icone::Question);
    QCOMPARE(m.boutons, Boutons::OuiNonDefautNon);
    QCOMPARE(p.actesDuMedecin(), avant);
    QVERIFY(p.panneau->noeud(QStringLiteral("A8 - XHMA001 - ")));

    const int index = p.panneau->noeuds().indexOf(n);
    p.messages.setReponseSuivante(Reponse::Oui);
    p.panneau->m_suppActe->trigger();
    QCOMPARE(p.actesDuMedecin(), avant - 1);
    QVERIFY(!p.panneau->noeud(QStringLiteral("A8 - XHMA001 - ")));
    QCOMPARE(medecinCourant->getCategorie(8)->listeActes.size(), 2);
    // The node now at the same place is selected.
    QCOMPARE(p.panneau->noeuds().indexOf(p.arbre->currentItem()), index);
}

void TstThesaurusMedecin::supprimerActe_deuxActivites() {
    // Every row of the code in the category goes, and so do both nodes.
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 9, '1', '')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 9, '4', '')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 8, '', '')");
    });
    p.cliquer(p.panneau->noeud(QStringLiteral("A9 - XHMA003 - 4")), Qt::RightButton);
    p.panneau->m_TheMED->hide();
    p.panneau->m_suppActe->trigger();
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 9 AND AT_Acte = "
                       "'XHMA003'"),
             0LL);
    QVERIFY(!p.panneau->noeud(QStringLiteral("A9 - XHMA003 - 1")));
    QVERIFY(!p.panneau->noeud(QStringLiteral("A9 - XHMA003 - 4")));
    for (const Acte& a : medecinCourant->getCategorie(9)->listeActes)
        QVERIFY(a.code != QLatin1String("XHMA003"));
    // The same act in another category stays.
    QVERIFY(p.panneau->noeud(QStringLiteral("A8 - XHMA003 - ")));
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 8 AND AT_Acte = "
                       "'XHMA003'"),
             1LL);
}

void TstThesaurusMedecin::supprimer_dernierNoeudSelectionneLePremier() {
    // The last node is an act of the last category, then that category.
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("INSERT INTO CategorieThesaurus VALUES (100, 2, 'Urgences', 'CMARTIN')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 100, '', '')");
    });
    for (QAction* suppression : {p.panneau->m_suppActe, p.panneau->m_suppCat}) {
        QTreeWidgetItem* dernier = p.panneau->noeuds().last();
        QCOMPARE(ctr_ThesMED::cleNoeud(dernier).at(0),
                 QChar(suppression == p.panneau->m_suppActe ? 'A' : 'C'));
        p.cliquer(dernier, Qt::RightButton);
        p.panneau->m_TheMED->hide();
        suppression->trigger();
        QCOMPARE(p.arbre->currentItem(), p.arbre->topLevelItem(0));
    }
    QVERIFY(!p.panneau->noeud(QStringLiteral("C100")));
}

void TstThesaurusMedecin::supprimerCategorie() {
    Poste p;
    QCOMPARE(p.messages.journal().size(), 0u);
    p.cliquer(p.panneau->noeud(QStringLiteral("C8")), Qt::RightButton);
    p.panneau->m_TheMED->hide();
    p.messages.setReponseSuivante(Reponse::Non);
    p.panneau->m_suppCat->trigger();
    QCOMPARE(p.categoriesDuMedecin(), 3LL);
    QCOMPARE(p.messages.journal().back().texte,
             QStringLiteral("Voulez-vous vraiment supprimer cette catégorie ainsi que tous les "
                            "actes qu'elle contient?"));
    QCOMPARE(p.messages.journal().back().titre, QStringLiteral("Confirmation suppression"));

    const int index = p.panneau->noeuds().indexOf(p.panneau->noeud(QStringLiteral("C8")));
    p.panneau->m_suppCat->trigger();
    QCOMPARE(p.categoriesDuMedecin(), 2LL);
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 8"), 0LL);
    QVERIFY(!p.panneau->noeud(QStringLiteral("C8")));
    QVERIFY(!p.panneau->noeud(QStringLiteral("A8 - XHMA001 - ")));
    QVERIFY(!medecinCourant->getCategorie(8));
    QCOMPARE(p.panneau->noeuds().indexOf(p.arbre->currentItem()),
             index < p.panneau->noeuds().size() ? index : 0);
    QVERIFY(!p.panneau->Command4->isEnabled());

    // Deleting the others opens the copy of the unit thesaurus again.
    for (const QString& cle : {QStringLiteral("C9"), QStringLiteral("C10")}) {
        p.cliquer(p.panneau->noeud(cle), Qt::RightButton);
        p.panneau->m_TheMED->hide();
        p.panneau->m_suppCat->trigger();
    }
    QCOMPARE(p.cles(), QStringList{QStringLiteral("NCMARTIN")});
    QVERIFY(p.panneau->Command4->isEnabled());
}

void TstThesaurusMedecin::copieThesaurusUM() {
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("DELETE FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
    });
    ProgressionEnregistree attente;
    p.fenetre->ajouterThesaurusUM();
    QCOMPARE(attente.journal, (QStringList{"debut 4", "+1", "+1", "+1", "fin"}));
    // The three categories of ORTH, in label order, with their acts and the
    // activities they were stored with.
    QStringList libelles;
    for (const Categorie& c : medecinCourant->listeCat)
        libelles << c.libelle;
    QCOMPARE(libelles, (QStringList{"Genou", "Hanche", "Suppléments"}));
    QCOMPARE(p.categoriesDuMedecin(), 3LL);
    QCOMPARE(p.actesDuMedecin(), 13LL);
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus ON "
                       "AT_CAT = CT_CODE WHERE CT_LIEN = 'CMARTIN' AND AT_Acte = 'YSMP001' AND "
                       "AT_ACTIVITE IN ('1', '4')"),
             2LL);
    QCOMPARE(p.cles().size(), 1 + 3 + 13);
    QVERIFY(!p.panneau->Command4->isEnabled());
    QVERIFY(p.messages.journal().empty());
}

void TstThesaurusMedecin::copieThesaurusUM_toutOuRien() {
    // The last act of the last category cannot be written: nothing is kept.
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("DELETE FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
        b.executer("CREATE TRIGGER panne BEFORE INSERT ON Acte_Thesaurus WHEN NEW.AT_Acte = "
                   "'YSNA001' BEGIN SELECT RAISE(ABORT, 'disque plein'); END");
    });
    p.fenetre->ajouterThesaurusUM();
    QCOMPARE(p.categoriesDuMedecin(), 0LL);
    QCOMPARE(p.actesDuMedecin(), 0LL);
    QVERIFY(medecinCourant->listeCat.isEmpty());
    QCOMPARE(p.cles(), QStringList{QStringLiteral("NCMARTIN")});
    QCOMPARE(p.messages.journal().size(), 1u);
    QCOMPARE(p.messages.journal().front().titre, QStringLiteral("ERREUR"));
    QVERIFY(p.panneau->Command4->isEnabled());
}

void TstThesaurusMedecin::import_laisseLeThesaurusEntier_data() {
    QTest::addColumn<Reponse>("confirmation");
    QTest::addColumn<QString>("fichier"); // "" cancels the chooser
    QTest::addColumn<QByteArray>("contenu");
    QTest::addColumn<QString>("message");
    QTest::newRow("refusé") << Reponse::Non << "x.txt" << QByteArray() << "";
    QTest::newRow("choix annulé") << Reponse::Oui << "" << QByteArray() << "";
    QTest::newRow("fichier absent") << Reponse::Oui << "absent.txt" << QByteArray()
                                    << "Le fichier d'import %1 est introuvable.";
    QTest::newRow("fichier vide") << Reponse::Oui << "vide.txt" << QByteArray("")
                                  << "Le fichier est vide.";
    QTest::newRow("fichier binaire")
        << Reponse::Oui << "image.txt" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
        << "Le fichier d'import %1 n'est pas un fichier texte de thésaurus.";
}

void TstThesaurusMedecin::import_laisseLeThesaurusEntier() {
    QFETCH(Reponse, confirmation);
    QFETCH(QString, fichier);
    QFETCH(QByteArray, contenu);
    QFETCH(QString, message);
    Poste p;
    const long long categories = p.categoriesDuMedecin();
    const long long actes = p.actesDuMedecin();
    const QStringList cles = p.cles();
    QString chemin;
    if (!fichier.isEmpty())
        chemin = contenu.isNull() ? p.base.dossier() + "/" + fichier : p.fichier(fichier, contenu);
    p.choix.setFichierSuivant(chemin);
    p.messages.setReponseSuivante(confirmation);
    p.fenetre->importerThesaurus();
    QCOMPARE(p.messages.journal().front().texte,
             QStringLiteral("Attention vous allez remplacer le thésaurus existant ! Voulez-vous "
                            "continuer ?"));
    QCOMPARE(p.messages.journal().front().titre, QStringLiteral("Confirmation"));
    QCOMPARE(p.choix.appels, confirmation == Reponse::Oui ? 1 : 0);
    if (confirmation == Reponse::Oui) {
        QCOMPARE(p.choix.dernierTitre, QStringLiteral("Importer un thésaurus"));
        QCOMPARE(p.choix.dernierFiltre, QStringLiteral("Text (*.txt)|*.txt"));
        // Never the program's folder, which an installed program cannot write.
        QVERIFY(p.choix.dernierDossier != QCoreApplication::applicationDirPath());
    }
    if (!message.isEmpty())
        QCOMPARE(p.messages.textes().last(),
                 message.contains(QLatin1String("%1")) ? message.arg(chemin) : message);
    QCOMPARE(p.categoriesDuMedecin(), categories);
    QCOMPARE(p.actesDuMedecin(), actes);
    QCOMPARE(p.cles(), cles);
}

void TstThesaurusMedecin::import_remplace() {
    Poste p;
    const QString chemin =
        p.fichier("import.txt",
                  "01/02/2026\tCMARTIN - MARTIN CLAIRE\r\nMains\tXHMA001\tXGMA001\r\nDivers\r\n");
    p.choix.setFichierSuivant(chemin);
    p.fenetre->TS_Thes->setCurrentIndex(0);
    p.fenetre->importerThesaurus();
    QCOMPARE(p.fenetre->TS_Thes->currentIndex(), 3);
    QCOMPARE(p.categoriesDuMedecin(), 2LL);
    QCOMPARE(p.actesDuMedecin(), 2LL);
    QStringList textes;
    for (QTreeWidgetItem* n : p.panneau->noeuds())
        textes << n->text(0).left(7);
    // Acts in code order.
    QCOMPARE(textes, (QStringList{"Thésaur", "Divers", "Mains", "XGMA001", "XHMA001"}));
}

void TstThesaurusMedecin::import_thesaurusVideSansConfirmation() {
    // Nothing to replace: no confirmation, straight to the file chooser.
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("DELETE FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
    });
    const QString chemin =
        p.fichier("import.txt", "01/02/2026\tCMARTIN - MARTIN CLAIRE\r\nMains\tXHMA001\r\n");
    p.choix.setFichierSuivant(chemin);
    p.fenetre->importerThesaurus();
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(p.choix.appels, 1);
    QCOMPARE(p.cles(),
             (QStringList{
                 "NCMARTIN", "C" + QString::number(medecinCourant->listeCat.front().code),
                 QStringLiteral("A%1 - XHMA001 - ").arg(medecinCourant->listeCat.front().code)}));
}

void TstThesaurusMedecin::import_grosFichiers() {
    // 10 MB of 10,000-character lines: imported, the wait window advancing
    // line by line up to its end.
    Poste p;
    QByteArray contenu("01/02/2026\tCMARTIN - MARTIN CLAIRE\r\n");
    for (int i = 0; i < 1000; ++i)
        contenu += QByteArray(9992, char('A' + i % 26)) + "\tXHMA003\r\n";
    QVERIFY(contenu.size() > 10'000'000);
    const QString chemin = p.fichier("gros.txt", contenu);
    {
        ProgressionEnregistree attente;
        p.choix.setFichierSuivant(chemin);
        p.fenetre->importerThesaurus();
        QCOMPARE(attente.journal.first(), QStringLiteral("debut %1").arg(contenu.size() + 1));
        QCOMPARE(attente.journal.last(), QStringLiteral("fin"));
        int avance = 0;
        for (const QString& pas : attente.journal.mid(1, attente.journal.size() - 2))
            avance += pas.mid(1).toInt();
        QCOMPARE(attente.journal.size(), 1000 + 2);
        QCOMPARE(avance, 1000 * 10000); // every character of every line read
    }
    QCOMPARE(p.messages.journal().size(), 1u); // the confirmation only
    QCOMPARE(p.categoriesDuMedecin(), 1000LL);
    QCOMPARE(p.actesDuMedecin(), 1000LL);
    QCOMPARE(p.panneau->noeuds().size(), 1 + 2000);
    QCOMPARE(p.panneau->noeuds().at(1)->text(0).size(), 9992);

    // A file too large to be a thesaurus is refused before anything changes
    // and before any wait window.
    const QStringList cles = p.cles();
    const QString enorme = p.base.dossier() + "/enorme.txt";
    QFile e(enorme);
    QVERIFY(e.open(QIODevice::WriteOnly));
    QVERIFY(e.resize(tailleMaxImport + 1));
    e.close();
    ProgressionEnregistree attente;
    p.messages.vider();
    p.choix.setFichierSuivant(enorme);
    p.fenetre->importerThesaurus();
    QCOMPARE(p.messages.textes().size(), 2);
    QVERIFY(p.messages.textes().last().contains(QStringLiteral("trop volumineux")));
    QVERIFY(attente.journal.isEmpty());
    QCOMPARE(p.categoriesDuMedecin(), 1000LL);
    QCOMPARE(p.cles(), cles);
}

void TstThesaurusMedecin::export_fichier() {
    Poste p;
    p.fenetre->ExporterThesaurusMED(); // cancelled: nothing written
    QCOMPARE(p.choix.dernierTitre, QStringLiteral("Export"));
    QCOMPARE(p.choix.dernierFiltre,
             QStringLiteral("Text (*.txt)|*.txt|Word (*.doc)|*.doc|Excel (*.xls)|*.xls"));
    const QString chemin = p.base.dossier() + "/export.txt";
    p.choix.setFichierSuivant(chemin);
    p.fenetre->exporterThesaurus();
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lignes = f.readAll().split('\n');
    QVERIFY(lignes.at(0).contains("CMARTIN - MARTIN CLAIRE"));
    // Exchange layout: one line per category, its acts after TABs.
    QByteArray arthroscopies;
    for (const QByteArray& l : lignes)
        if (l.startsWith("Arthroscopies\t"))
            arthroscopies = l;
    QCOMPARE(arthroscopies.count('\t'), 3);
    QVERIFY(arthroscopies.endsWith('\r'));
    QVERIFY(p.messages.journal().empty());
}

void TstThesaurusMedecin::onglets() {
    Poste p;
    p.cliquer(p.panneau->noeud(QStringLiteral("A9 - XGQC001 - ")));
    QVERIFY(!acteCourant.estVide());
    QTabBar* onglets = p.fenetre->TS_Thes;
    QTest::mouseClick(onglets, Qt::LeftButton, {}, onglets->tabRect(0).center());
    QCOMPARE(onglets->currentIndex(), 0);
    QVERIFY(acteCourant.estVide());
    QVERIFY(p.fenetre->ctr_Details1->t_details->toPlainText().isEmpty());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(p.fenetre->f_thes[i]->isVisible(), i == 0);
    // A click on the tab already shown changes nothing.
    p.fenetre->afficherThesaurus();
    p.cliquer(p.panneau->noeud(QStringLiteral("A9 - XGQC001 - ")));
    QTest::mouseClick(onglets, Qt::LeftButton, {}, onglets->tabRect(3).center());
    QVERIFY(!acteCourant.estVide());
    QVERIFY(p.fenetre->f_thes[3]->isVisible());
}

// Whatever the gesture, the details panel shows the act selected in the tab
// shown, or nothing: never an act picked before, nor one just deleted.
void TstThesaurusMedecin::detailsSuiventLaSelection_data() {
    QTest::addColumn<QString>("geste");
    QTest::addColumn<QString>("attendu"); // "?": whatever the selection is
    QTest::addColumn<QString>("interdit");

    // After a search by code "X": ten acts, XGFC001 first, XHMA003 last.
    QTest::newRow("recherche") << "recherche"
                               << "XGFC001"
                               << "";
    QTest::newRow("Fin") << "Fin"
                         << "XHMA003"
                         << "XGFC001";
    QTest::newRow("Début") << "Début"
                           << "XGFC001"
                           << "XHMA003";
    QTest::newRow("page suivante") << "PageSuivante"
                                   << "?"
                                   << "XGFC001";
    QTest::newRow("flèche") << "Flèche"
                            << "XGFC002"
                            << "XGFC001";
    QTest::newRow("clic") << "Clic"
                          << "XGQC001"
                          << "XGFC001";
    QTest::newRow("recherche sans résultat") << "RechercheVide"
                                             << ""
                                             << "XGFC001";
    // The tree's act XGQC001 picked, then the search tab and back.
    QTest::newRow("onglet de la recherche") << "OngletRecherche"
                                            << "XGFC001"
                                            << "XGQC001";
    QTest::newRow("retour à l'onglet du thésaurus") << "OngletThesaurus"
                                                    << "XGQC001"
                                                    << "";
    QTest::newRow("acte supprimé") << "SupprimerActe"
                                   << "?"
                                   << "XHMA001";
    QTest::newRow("catégorie supprimée") << "SupprimerCategorie"
                                         << "?"
                                         << "XGQC001";
    QTest::newRow("acte ajouté") << "AjouterActe"
                                 << "?"
                                 << "XHMA001";
}

void TstThesaurusMedecin::detailsSuiventLaSelection() {
    QFETCH(QString, geste);
    QFETCH(QString, attendu);
    QFETCH(QString, interdit);
    Poste p;
    ctr_motCle* recherche = p.fenetre->ctr_motCle1;
    QTreeWidget* liste = recherche->LV_Actes;
    QTabBar* onglets = p.fenetre->TS_Thes;
    const ctr_Details* details = p.fenetre->ctr_Details1;
    auto chercher = [&](const QString& texte) {
        recherche->O_recherche[0]->setChecked(true);
        recherche->t_motCle->setText(texte);
        QTest::mouseClick(recherche->b_recherche, Qt::LeftButton);
    };
    auto onglet = [&](int i) {
        QTest::mouseClick(onglets, Qt::LeftButton, {}, onglets->tabRect(i).center());
        QCOMPARE(onglets->currentIndex(), i);
    };
    auto cliquerActeDuThesaurus = [&](const QString& cle) {
        p.cliquer(p.panneau->noeud(cle));
        QCOMPARE(details->acteAffiche(), cle.section(QStringLiteral(" - "), 1, 1));
    };

    if (geste.startsWith(QLatin1String("Supprimer")) || geste == u"AjouterActe" ||
        geste.startsWith(QLatin1String("Onglet"))) {
        cliquerActeDuThesaurus(geste == u"SupprimerActe" || geste == u"AjouterActe"
                                   ? QStringLiteral("A8 - XHMA001 - ")
                                   : QStringLiteral("A9 - XGQC001 - "));
    }
    if (!geste.startsWith(QLatin1String("Supprimer")) && geste != u"AjouterActe" &&
        geste != u"OngletThesaurus") {
        onglet(0);
        chercher(QStringLiteral("X"));
        QCOMPARE(liste->topLevelItemCount(), 10);
        liste->setFocus();
    }

    if (geste == u"Fin") {
        QTest::keyClick(liste, Qt::Key_End);
    } else if (geste == u"Début") {
        QTest::keyClick(liste, Qt::Key_End);
        QCOMPARE(details->acteAffiche(), QStringLiteral("XHMA003"));
        QTest::keyClick(liste, Qt::Key_Home);
    } else if (geste == u"PageSuivante") {
        QTest::keyClick(liste, Qt::Key_PageDown);
    } else if (geste == u"Flèche") {
        QTest::keyClick(liste, Qt::Key_Down);
    } else if (geste == u"Clic") {
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {},
                          liste->visualItemRect(liste->topLevelItem(5)).center());
    } else if (geste == u"RechercheVide") {
        chercher(QStringLiteral("QQQQ"));
        QCOMPARE(liste->topLevelItemCount(), 0);
    } else if (geste == u"OngletThesaurus") {
        onglet(0);
        QCOMPARE(details->acteAffiche(), QString());
        onglet(3);
    } else if (geste == u"SupprimerActe") {
        p.messages.setReponseSuivante(Reponse::Oui);
        p.panneau->m_suppActe->trigger();
        QVERIFY(!p.panneau->noeud(QStringLiteral("A8 - XHMA001 - ")));
    } else if (geste == u"SupprimerCategorie") {
        p.cliquer(p.panneau->noeud(QStringLiteral("C9")));
        p.messages.setReponseSuivante(Reponse::Oui);
        p.panneau->m_suppCat->trigger();
        QVERIFY(!p.panneau->noeud(QStringLiteral("C9")));
    } else if (geste == u"AjouterActe") {
        p.piloterDialogues([](QDialog* d) {
            auto* dlg = qobject_cast<d_ajoutActeThe*>(d);
            QVERIFY(dlg);
            QTest::keyClicks(dlg->Text1, QStringLiteral("XHMA003"));
            QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        });
        p.panneau->Command2->click();
        QVERIFY(p.panneau->noeud(QStringLiteral("A8 - XHMA003 - ")));
    }

    // What the tab in front has selected, read from its own widgets.
    QString selectionne;
    if (onglets->currentIndex() == 0) {
        const QList<QTreeWidgetItem*> lignes = liste->selectedItems();
        if (!lignes.isEmpty())
            selectionne = lignes.front()->text(0);
    } else {
        QCOMPARE(onglets->currentIndex(), int(f_thesaurusMED::ongletThesaurus));
        const QString cle = p.cleCourante();
        if (cle.startsWith(u'A'))
            selectionne = cle.section(QStringLiteral(" - "), 1, 1);
    }
    if (attendu != u"?")
        QCOMPARE(selectionne, attendu);
    QCOMPARE(details->acteAffiche(), selectionne);
    QCOMPARE(acteCourant.code, selectionne);
    if (!interdit.isEmpty())
        QVERIFY(details->acteAffiche() != interdit);
    if (selectionne.isEmpty()) {
        QVERIFY(details->l_acteClassant->text().isEmpty());
        QVERIFY(details->t_details->toPlainText().isEmpty());
    } else {
        QVERIFY2(details->l_acteClassant->text().startsWith(selectionne + u' '),
                 qPrintable(details->l_acteClassant->text()));
        QVERIFY(!details->t_details->toPlainText().isEmpty());
    }
}

void TstThesaurusMedecin::newCategorie_ajouterPuisOK() {
    Poste p;
    p.piloterDialogues([](QDialog* d) {
        auto* dlg = qobject_cast<d_newCategorie*>(d);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Nouvelle catégorie"));
        QCOMPARE(dlg->Label1->text(), QStringLiteral("&Libellé de la catégorie : "));
        QCOMPARE(dlg->Command1->text() + "|" + dlg->OKButton->text() + "|" +
                     dlg->CancelButton->text(),
                 QStringLiteral("Ajouter|OK|Annuler"));
        dlg->Text1->insert(QStringLiteral("  Épaule "));
        QTest::mouseClick(dlg->Command1, Qt::LeftButton);
        QVERIFY(dlg->Text1->text().isEmpty());
        QVERIFY(dlg->result() != QDialog::Accepted);
        dlg->Text1->insert(QStringLiteral("Pied d'athlète"));
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
    });
    p.cliquer(p.arbre->topLevelItem(0), Qt::RightButton);
    p.panneau->m_TheMED->hide();
    p.panneau->m_ajoutCat->trigger();
    QCOMPARE(p.dialoguesOuverts, 1);
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN' AND "
                       "CT_TYPE = 2 AND CT_LIB IN ('Épaule', 'Pied d''athlète')"),
             2LL);
    QCOMPARE(medecinCourant->listeCat.size(), 5);
    QCOMPARE(p.arbre->currentItem()->text(0), QStringLiteral("Pied d'athlète"));
}

void TstThesaurusMedecin::newCategorie_texteVide_data() {
    QTest::addColumn<QString>("bouton");
    QTest::addColumn<QString>("saisi");
    QTest::addColumn<QString>("message");
    QTest::addColumn<long long>("crees");
    QTest::newRow("Ajouter, vide") << "Command1"
                                   << ""
                                   << "Vous devez saisir le nom de cette catégorie." << 0LL;
    QTest::newRow("OK, vide") << "OKButton"
                              << ""
                              << "Vous devez saisir le nom de cette catégorie" << 0LL;
    QTest::newRow("Ajouter, blancs") << "Command1"
                                     << "   "
                                     << "" << 1LL;
}

void TstThesaurusMedecin::newCategorie_texteVide() {
    QFETCH(QString, bouton);
    QFETCH(QString, saisi);
    QFETCH(QString, message);
    QFETCH(long long, crees);
    Poste p;
    p.piloterDialogues([&](QDialog* d) {
        QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("Text1")), saisi);
        QTest::mouseClick(d->findChild<QPushButton*>(bouton), Qt::LeftButton);
        QVERIFY(d->result() != QDialog::Accepted);
    });
    d_newCategorie dialogue;
    dialogue.lien = QStringLiteral("CMARTIN");
    dialogue.type = 2;
    executerModal(&dialogue);
    QCOMPARE(p.messages.textes(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(p.messages.journal().front().titre, QStringLiteral("Attention"));
        QCOMPARE(p.messages.journal().front().icone, Icone::Exclamation);
    }
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN' AND "
                       "CT_LIB = ''"),
             crees);
}

void TstThesaurusMedecin::ajoutActe_codeSaisi() {
    Poste p;
    d_ajoutActeThe d;
    QTest::keyClicks(d.Text1, QStringLiteral(" xhma003 "));
    QCOMPARE(d.Text1->text(), QStringLiteral("XHMA003"));
    QCOMPARE(d.Text1->cursorPosition(), 7);
    QVERIFY(d.acteAAjouter());
    // An apostrophe is looked up like any other character.
    d.Text1->clear();
    QTest::keyClicks(d.Text1, QStringLiteral("x'a"));
    QCOMPARE(d.Text1->text(), QStringLiteral("X'A"));
    QVERIFY(!d.acteAAjouter());
    QVERIFY(p.messages.journal().empty());
    d.ajouterActe(QStringLiteral("wbfa001"));
    QCOMPARE(d.Text1->text(), QStringLiteral("WBFA001"));
    QVERIFY(d.acteAAjouter());
}

void TstThesaurusMedecin::ajoutActe_refus_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("bouton");
    QTest::addColumn<QString>("message");
    QTest::newRow("inconnu, OK") << "ZZZZ999"
                                 << "OKButton"
                                 << "Acte incorrect.";
    QTest::newRow("inconnu, Ajouter") << "ZZZZ999"
                                      << "Command2"
                                      << "Acte incorrect.";
    QTest::newRow("apostrophe") << "XH'MA"
                                << "OKButton"
                                << "Acte incorrect.";
    QTest::newRow("déjà là, OK") << "XGQC001"
                                 << "OKButton"
                                 << "Cet acte existe déja dans cette catégorie.";
    QTest::newRow("déjà là, Ajouter") << "XGQC001"
                                      << "Command2"
                                      << "Cet acte existe déja dans cette catégorie.";
}

void TstThesaurusMedecin::ajoutActe_refus() {
    QFETCH(QString, code);
    QFETCH(QString, bouton);
    QFETCH(QString, message);
    Poste p;
    const long long avant = p.actesDuMedecin();
    p.piloterDialogues([&](QDialog* d) {
        auto* dlg = qobject_cast<d_ajoutActeThe*>(d);
        QVERIFY(dlg);
        QCOMPARE(dlg->Combo1->currentText(), QStringLiteral("Arthroscopies"));
        QTest::keyClicks(dlg->Text1, code);
        QTest::mouseClick(d->findChild<QPushButton*>(bouton), Qt::LeftButton);
        QVERIFY(d->result() != QDialog::Accepted);
        QCOMPARE(dlg->Text1->text(), code);
    });
    p.cliquer(p.panneau->noeud(QStringLiteral("A9 - XGFC001 - ")));
    QTest::mouseClick(p.panneau->Command2, Qt::LeftButton);
    QCOMPARE(p.dialoguesOuverts, 1);
    QCOMPARE(p.messages.textes(), QStringList{message});
    QCOMPARE(p.messages.journal().front().titre, QStringLiteral("Erreur"));
    QCOMPARE(p.messages.journal().front().icone, Icone::Information);
    QCOMPARE(p.actesDuMedecin(), avant);
}

void TstThesaurusMedecin::ajoutActe_sansCategorieChoisie() {
    // A category that no longer exists: none is chosen, the act goes nowhere.
    Poste p;
    const long long avant = p.actesDuMedecin();
    p.piloterDialogues([](QDialog* d) {
        auto* dlg = qobject_cast<d_ajoutActeThe*>(d);
        QCOMPARE(dlg->Combo1->currentIndex(), -1);
        QTest::keyClicks(dlg->Text1, QStringLiteral("XHMA003"));
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        QVERIFY(dlg->result() != QDialog::Accepted);
    });
    d_ajoutActeThe d;
    d.afficher(999, QStringLiteral("CMARTIN"), 2);
    QCOMPARE(p.messages.textes(), QStringList{QStringLiteral("Vous devez choisir une catégorie.")});
    QCOMPARE(p.messages.journal().front().titre, QStringLiteral("Attention"));
    QCOMPARE(p.actesDuMedecin(), avant);
}

void TstThesaurusMedecin::ajoutActe_ajouterPuisOK() {
    Poste p;
    const long long avant = p.actesDuMedecin();
    p.piloterDialogues([](QDialog* d) {
        auto* dlg = qobject_cast<d_ajoutActeThe*>(d);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Ajout d'actes"));
        QCOMPARE(dlg->Label1->text() + "|" + dlg->Label2->text(),
                 QStringLiteral("&Catégorie :|Code de l'&acte :"));
        QCOMPARE(dlg->Command2->text() + "|" + dlg->OKButton->text() + "|" +
                     dlg->CancelButton->text(),
                 QStringLiteral("Ajouter|OK|Annuler"));
        QCOMPARE(dlg->Combo1->currentText(), QStringLiteral("Prothèses"));
        // Another category chosen in the combo.
        dlg->Combo1->setCurrentIndex(dlg->Combo1->findText(QStringLiteral("Arthroscopies")));
        QTest::keyClicks(dlg->Text1, QStringLiteral("xgma002"));
        QTest::mouseClick(dlg->Command2, Qt::LeftButton);
        QVERIFY(dlg->Text1->text().isEmpty());
        QTest::keyClicks(dlg->Text1, QStringLiteral("XHMA003"));
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
    });
    p.cliquer(p.panneau->noeud(QStringLiteral("C8")), Qt::RightButton);
    p.panneau->m_TheMED->hide();
    p.panneau->m_ajoutActe->trigger();
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(p.actesDuMedecin(), avant + 2);
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 9 AND AT_ACTIVITE = "
                       "'' AND AT_Acte IN ('XGMA002', 'XHMA003')"),
             2LL);
    QVERIFY(p.panneau->noeud(QStringLiteral("A9 - XGMA002 - ")));
    QVERIFY(p.panneau->noeud(QStringLiteral("A9 - XHMA003 - ")));
    QVERIFY(p.cleCourante().startsWith(QLatin1String("A9 - ")));
}

void TstThesaurusMedecin::ajoutActe_boutonRecherche() {
    // The search button hands over to the search dialog and closes this one.
    Poste p;
    QStringList ouverts;
    p.piloterDialogues([&](QDialog* d) {
        ouverts << d->objectName();
        if (auto* dlg = qobject_cast<d_ajoutActeThe*>(d)) {
            QTest::mouseClick(dlg->Command1, Qt::LeftButton);
            QCOMPARE(dlg->result(), int(QDialog::Rejected));
            QCOMPARE(dlg->categorieRecherche(), 9L);
        } else {
            QVERIFY(qobject_cast<d_rechercheActe*>(d));
        }
    });
    p.cliquer(p.panneau->noeud(QStringLiteral("C9")));
    QTest::mouseClick(p.panneau->Command2, Qt::LeftButton);
    QCOMPARE(ouverts.size(), 2);
    QCOMPARE(ouverts.at(0), QStringLiteral("d_ajoutActeThe"));
}

void TstThesaurusMedecin::ajoutActe_selectionDansSaCategorie() {
    // Category 100 is drawn before category 10 "À classer" (label order) and
    // its key "A100 - ..." begins with "A10": the act selected is one of
    // category 10.
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("INSERT INTO CategorieThesaurus VALUES (100, 2, 'À ajouter', 'CMARTIN')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XHMA003', 100, '', '')");
        b.executer("INSERT INTO Acte_Thesaurus VALUES ('XGQC001', 10, '', '')");
    });
    QVERIFY(p.cles().indexOf(QStringLiteral("A100 - XHMA003 - ")) <
            p.cles().indexOf(QStringLiteral("A10 - XGQC001 - ")));
    p.panneau->ajoutActe(10);
    QCOMPARE(p.cleCourante(), QStringLiteral("A10 - XGQC001 - "));
}

void TstThesaurusMedecin::fenetrePrincipale_commandes() {
    // The doctor's window inside the main window: the m_thesaurus commands
    // reach it, and the unit copy follows the state of the thesaurus.
    QTemporaryDir reglages;
    Parametres::redirigerVers(reglages.filePath(QStringLiteral("tarvenor.ini")));
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("DELETE FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
    });
    delete p.fenetre;
    f_principale principale;
    principale.show();
    principale.updateToolBar();
    p.fenetre = principale.ouvrirFenetre<f_thesaurusMED>();
    p.panneau = p.fenetre->ctr_ThesMED1;
    p.arbre = p.panneau->TV_ThesMED;
    // The toolbar and the menus are off while each long operation runs, on
    // again after: no import can start inside the copy.
    auto barreActive = [&] {
        bool active =
            !principale.Toolbar1->actions().isEmpty() && principale.menuBar()->isEnabled();
        // "Sélectionner cet acte" follows the current act, not the lock.
        for (QAction* a : principale.Toolbar1->actions())
            if (a->objectName() != QLatin1String("b_selectionner"))
                active = active && a->isEnabled();
        return active;
    };
    QList<bool> barrePendant;
    ProgressionEnregistree attente;
    attente.alOuverture = [&] { barrePendant << barreActive(); };

    QVERIFY(principale.m_ajoutThUM->isEnabled());
    principale.m_ajoutThUM->trigger();
    QCOMPARE(p.categoriesDuMedecin(), 3LL);
    QVERIFY(!principale.m_ajoutThUM->isEnabled());
    QCOMPARE(barrePendant, QList<bool>{false});
    QVERIFY(barreActive());

    p.fenetre->TS_Thes->setCurrentIndex(1);
    p.messages.setReponseSuivante(Reponse::Non);
    principale.m_import->trigger();
    QCOMPARE(p.fenetre->TS_Thes->currentIndex(), 3);
    QCOMPARE(p.messages.journal().size(), 1u);
    p.choix.setFichierSuivant(p.fichier("import.txt", "entete\r\nMains\tXHMA001\r\n"));
    principale.m_import->trigger();
    QCOMPARE(p.categoriesDuMedecin(), 1LL);
    QCOMPARE(barrePendant, (QList<bool>{false, false}));
    QVERIFY(barreActive());

    p.choix.setFichierSuivant(p.base.dossier() + "/export.txt");
    principale.m_export->trigger();
    QCOMPARE(p.choix.appels, 2);
    QCOMPARE(p.choix.dernierTitre, QStringLiteral("Export"));
    QVERIFY(QFile::exists(p.base.dossier() + "/export.txt"));
    QCOMPARE(barrePendant, (QList<bool>{false, false, false}));
    QVERIFY(barreActive());

    // Deleting every category opens the copy again.
    while (p.panneau->noeuds().size() > 1) {
        p.arbre->setCurrentItem(p.panneau->noeuds().at(1));
        p.cliquer(p.panneau->noeuds().at(1), Qt::RightButton);
        p.panneau->m_TheMED->hide();
        p.panneau->m_suppCat->trigger();
    }
    QVERIFY(principale.m_ajoutThUM->isEnabled());
}

void TstThesaurusMedecin::selectCat_sansCategorie() {
    Poste p(QStringLiteral("CMARTIN"), [](const BaseDeTest& b) {
        b.executer("DELETE FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'");
    });
    p.piloterDialogues([](QDialog*) {});
    d_selectCat d;
    d.afficher(QStringLiteral("XHMA003"));
    QCOMPARE(p.dialoguesOuverts, 0);
    QCOMPARE(p.messages.textes(),
             QStringList{QStringLiteral("Vous devez créer une catégorie avant d'ajouter l'acte")});
    QCOMPARE(p.messages.journal().front().icone, Icone::Information);
}

void TstThesaurusMedecin::selectCat_ajoute() {
    Poste p;
    p.fenetre->TS_Thes->setCurrentIndex(0);
    int categorie9 = -1;
    for (int i = 0; i < medecinCourant->listeCat.size(); ++i)
        if (medecinCourant->listeCat.at(i).code == 9)
            categorie9 = i;
    p.piloterDialogues([&](QDialog* d) {
        auto* dlg = qobject_cast<d_selectCat*>(d);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Sélectionnez la catégorie"));
        QCOMPARE(dlg->l_titre->text(),
                 QStringLiteral("Sélectionnez la catégorie à laquelle vous voulez ajouter "
                                "l'acte :XGFC001"));
        QCOMPARE(dlg->l_listeCat->count(), 3);
        QVERIFY(!dlg->OKButton->isEnabled());
        // The list taking the focus marks a row without choosing it.
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(dlg->l_listeCat, &focus);
        QCOMPARE(dlg->l_listeCat->currentRow(), 0);
        QVERIFY(!dlg->OKButton->isEnabled());
        dlg->l_listeCat->setCurrentRow(categorie9);
        QVERIFY(dlg->OKButton->isEnabled());
        // Already in "Arthroscopies": refused, the dialog stays.
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        QVERIFY(dlg->result() != QDialog::Accepted);
    });
    {
        d_selectCat d;
        d.afficher(QStringLiteral("XGFC001"));
    }
    QCOMPARE(p.messages.textes(),
             QStringList{QStringLiteral("Cet acte existe déja dans cette catégorie.")});

    p.messages.vider();
    p.piloterDialogues([&](QDialog* d) {
        auto* dlg = qobject_cast<d_selectCat*>(d);
        QCOMPARE(dlg->l_listeCat->item(categorie9)->text(), QStringLiteral("Arthroscopies"));
        dlg->l_listeCat->setCurrentRow(categorie9);
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
    });
    // Through the window, as its search panels ask: its thesaurus follows.
    p.fenetre->ajouterAuThesaurus(QStringLiteral("XHMA003"));
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(p.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT = 9 AND AT_Acte = "
                       "'XHMA003' AND AT_ACTIVITE = ''"),
             1LL);
    QVERIFY(p.panneau->noeud(QStringLiteral("A9 - XHMA003 - ")));
    QVERIFY(p.cleCourante().startsWith(QLatin1String("A9 - ")));
    QCOMPARE(p.fenetre->TS_Thes->currentIndex(), 3);
}

QTEST_MAIN(TstThesaurusMedecin)
#include "tst_thesaurus_medecin.moc"
