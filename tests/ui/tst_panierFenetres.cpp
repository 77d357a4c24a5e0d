// The basket dialogs driven offscreen on the demonstration database: the
// activity properties panel, "Sélection de l'acte", "Actes sélectionnés",
// "Saisie des associations" and "Dossier". Messages and modal dialogs go
// through the scripted hooks.

#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "BaseDeTest.h"
#include "DR_dossier.h"
#include "Data.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "Panier.h"
#include "PiloteDialogues.h"
#include "QtListeColonnes.h"
#include "QtPanier.h"
#include "QtPlateforme.h"
#include "adCCAM.h"
#include "ctr_proprietesActivite.h"
#include "d_aide.h"
#include "d_ajoutPanier.h"
#include "d_associations.h"
#include "d_dossier.h"
#include "d_panier.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimeEdit>
#include <memory>

namespace {
const QString messageLimite = QStringLiteral("Vous devez sélectionner au maximum quatre "
                                             "modificateurs");

// Ticks or unticks a row as a user click on its box does.
void cocher(QTreeWidget* liste, int ligne, bool coche = true) {
    QTreeWidgetItem* item = liste->topLevelItem(ligne);
    QVERIFY(item);
    item->setCheckState(0, coche ? Qt::Checked : Qt::Unchecked);
}

QStringList colonne(const QTreeWidget* liste, int c) {
    QStringList l;
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        l << liste->topLevelItem(i)->text(c);
    return l;
}

QStringList onglets(const QTabWidget* t) {
    QStringList l;
    for (int i = 0; i < t->count(); ++i)
        l << t->tabText(i);
    return l;
}

QStringList cles(const Panier& p) {
    QStringList l;
    for (const ActePtr& a : p.getListeActes())
        l << a->cle();
    return l;
}

Acte acte(const QString& code, const QString& activite, double tarif = 0,
          const QString& libelle = QString()) {
    Acte a;
    a.code = code;
    a.activite = activite;
    a.Tarif = tarif;
    a.libelle = libelle.isEmpty() ? QStringLiteral("Libellé de ") + code : libelle;
    return a;
}

void choisir(QComboBox* c, int index) {
    c->setCurrentIndex(index);
    emit c->activated(index);
}
} // namespace

class TestPanierFenetres : public QObject {
    Q_OBJECT
    std::unique_ptr<BaseDeTest> m_base;
    std::unique_ptr<MessagesScriptes> m_messages;

private slots:
    void initTestCase() {
        installerFrancais();
        m_base = std::make_unique<BaseDeTest>(true);
    }
    void cleanupTestCase() { m_base.reset(); }
    void init() {
        const QString chemin = cheminBase;
        reinitialiserEtatGlobal();
        cheminBase = chemin;
        m_messages = std::make_unique<MessagesScriptes>();
    }
    void cleanup() { m_messages.reset(); }

    void panneauModificateurs();
    void panneauListesVides();
    void ajoutTroisActivites();
    void ajoutSeptActivites();
    void ajoutActiviteDuMedecin_data();
    void ajoutActiviteDuMedecin();
    void ajoutDrapeauEtDoublons();
    void ajoutChangementDePhase();
    void ajoutCreerDossier_data();
    void ajoutCreerDossier();
    void ouvertureDepuisLesCommandes();

    void panierModificateurs();
    void panierChangementDActivite();
    void panierExtensionGardee_data();
    void panierExtensionGardee();
    void panierSuppressions();
    void panierVider();

    void associationsAnnuler();
    void associationsValider();
    void associationsAide();

    void dossierSaisie();
    void dossierDateEtHeureTapees_data();
    void dossierDateEtHeureTapees();
    void dossierFermer_data();
    void dossierFermer();
};

void TestPanierFenetres::panneauModificateurs() {
    ctr_proprietesActivite panneau;
    panneau.show();
    panneau.afficher("1", accesCCAM.getActe("XHMA001", "1"));
    QTreeWidget* lv = panneau.lv_modificateurs;
    QCOMPARE(colonne(lv, 0), QStringList({"C", "I", "1", "2", "0", "X"}));
    QCOMPARE(colonne(lv, 2),
             QStringList({"20%\u00A0(92,56\u00A0€)", "40,00\u00A0€", "22,50\u00A0€",
                          "11,5%\u00A0(53,22\u00A0€)", "50%\u00A0(231,40\u00A0€)", ""}));
    // The fourth row ticked first, then three more: the fifth is refused.
    for (int ligne : {3, 0, 5, 1})
        cocher(lv, ligne);
    QVERIFY(m_messages->journal().empty());
    cocher(lv, 2);
    QCOMPARE(m_messages->textes(), QStringList{messageLimite});
    QCOMPARE(m_messages->journal().front().titre, QString("ERREUR"));
    QCOMPARE(lv->topLevelItem(2)->checkState(0), Qt::Unchecked);
    Acte a = panneau.getListActes().front();
    QCOMPARE(QStringList({a.modificateur1, a.Modificateur2, a.modificateur3, a.modificateur4}),
             QStringList({"2", "C", "X", "I"}));
    // Unticking one of the four allows another, which takes the last place.
    cocher(lv, 0, false);
    cocher(lv, 2);
    QCOMPARE(m_messages->journal().size(), size_t(1));
    a = panneau.getListActes().front();
    QCOMPARE(QStringList({a.modificateur1, a.Modificateur2, a.modificateur3, a.modificateur4}),
             QStringList({"2", "X", "I", "1"}));

    // Extension: an empty first entry; associated acts with their tick boxes.
    QCOMPARE(panneau.c_extDoc->count(), 2);
    QVERIFY(panneau.c_extDoc->itemText(0).isEmpty());
    panneau.c_extDoc->setCurrentIndex(1);
    cocher(panneau.lv_activiteAssocies, 1);
    const QList<Acte> actes = panneau.getListActes();
    QCOMPARE(actes.size(), 2);
    QCOMPARE(actes[0].extDoc, QString("D"));
    QCOMPARE(actes[1].code + " " + actes[1].actePrincipale, QString("YSNA001 XHMA001"));
}

void TestPanierFenetres::panneauListesVides() {
    ctr_proprietesActivite panneau;
    panneau.afficher("1", accesCCAM.getActe("RPQP002", "1"));
    QVERIFY(!panneau.lv_modificateurs->isEnabled());
    QVERIFY(!panneau.lv_activiteAssocies->isEnabled());
    QCOMPARE(panneau.getListActes().size(), 1);
    panneau.afficher("1", accesCCAM.getActe("XHMA001", "1"));
    QVERIFY(panneau.lv_modificateurs->isEnabled());
    QVERIFY(panneau.lv_activiteAssocies->isEnabled());
}

void TestPanierFenetres::ajoutTroisActivites() {
    Panier panier;
    d_ajoutPanier d("TEFA001", panier, QString());
    d.show();
    QCOMPARE(d.windowTitle(), QString("Sélection de l'acte"));
    QCOMPARE(d.l_code->text(), QString("TEFA001"));
    QVERIFY(d.c_phase->isHidden());
    // No doctor, several activities: nothing ticked, no tab, buttons off.
    QCOMPARE(d.ts_proprietes->count(), 0);
    QVERIFY(!d.OKButton->isEnabled() && !d.c_creerDossier->isEnabled());
    for (int ligne : {0, 1, 2})
        cocher(d.lv_activites, ligne);
    QCOMPARE(onglets(d.ts_proprietes), QStringList({"Activité 1", "Activité 2", "Activité 4"}));
    QVERIFY(d.OKButton->isEnabled() && d.c_creerDossier->isEnabled());

    // Unticking the first: its tab goes, the others keep working.
    cocher(d.lv_activites, 0, false);
    QCOMPARE(onglets(d.ts_proprietes), QStringList({"Activité 2", "Activité 4"}));
    QVERIFY(!d.panneau(0));
    d.ts_proprietes->setCurrentIndex(1);
    QCOMPARE(d.lv_activites->currentItem()->text(0), QString("4"));
    QCOMPARE(d.ts_proprietes->currentWidget(), d.panneau(2));
    d.lv_activites->setCurrentItem(d.lv_activites->topLevelItem(1));
    QCOMPARE(d.ts_proprietes->currentWidget(), d.panneau(1));
    cocher(d.panneau(2)->lv_modificateurs, 2); // "0" in activity 4

    // Ticking the first again puts its tab at the end.
    cocher(d.lv_activites, 0);
    QCOMPARE(onglets(d.ts_proprietes), QStringList({"Activité 2", "Activité 4", "Activité 1"}));
    cocher(d.lv_activites, 0, false);

    QTest::mouseClick(d.OKButton, Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(cles(panier), QStringList({"TEFA0012", "TEFA0014"}));
    QCOMPARE(panier.getActeByIndice(2)->modificateur1, QString("0"));
    QCOMPARE(panier.getActeByIndice(2)->Tarif, 234.5);

    // Every activity unticked: the buttons are off again.
    d_ajoutPanier e("TEFA001", panier, "4");
    cocher(e.lv_activites, 2, false);
    QVERIFY(!e.OKButton->isEnabled() && !e.c_creerDossier->isEnabled());
}

void TestPanierFenetres::ajoutSeptActivites() {
    // More activities than the five rows the dialog once had room for.
    for (int a = 1; a <= 7; ++a)
        m_base->executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Libelle_Activite, "
                                        "Phase, Tarif, Libelle_Complet) VALUES ('QQQQ001', "
                                        "'%1', 'Activité %1', '0', %1, 'Acte de sept "
                                        "activités')")
                             .arg(a));
    Panier panier;
    d_ajoutPanier d("QQQQ001", panier, QString());
    QCOMPARE(d.lv_activites->topLevelItemCount(), 7);
    for (int ligne = 0; ligne < 7; ++ligne)
        cocher(d.lv_activites, ligne);
    QCOMPARE(d.ts_proprietes->count(), 7);
    cocher(d.lv_activites, 5, false);
    QCOMPARE(onglets(d.ts_proprietes).last(), QString("Activité 7"));
    d.ts_proprietes->setCurrentIndex(5);
    QCOMPARE(d.lv_activites->currentItem()->text(0), QString("7"));
    QTest::mouseClick(d.OKButton, Qt::LeftButton);
    m_base->executer("DELETE FROM CCAM WHERE AMCODE = 'QQQQ001'");
    QCOMPARE(cles(panier),
             QStringList({"QQQQ0011", "QQQQ0012", "QQQQ0013", "QQQQ0014", "QQQQ0015", "QQQQ0017"}));
    QCOMPARE(panier.getActeByIndice(6)->Tarif, 7.0);
}

void TestPanierFenetres::ajoutActiviteDuMedecin_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("activiteMedecin");
    QTest::addColumn<QStringList>("cochees");
    QTest::newRow("seule activité") << "TEQP001"
                                    << "" << QStringList{"1"};
    QTest::newRow("anesthésiste") << "TEFA001"
                                  << "4" << QStringList{"4"};
    QTest::newRow("opérateur") << "TEFA001"
                               << "1" << QStringList{"1"};
    QTest::newRow("sans médecin") << "TEFA001"
                                  << "" << QStringList{};
}

void TestPanierFenetres::ajoutActiviteDuMedecin() {
    QFETCH(QString, code);
    QFETCH(QString, activiteMedecin);
    QFETCH(QStringList, cochees);
    Panier panier;
    d_ajoutPanier d(code, panier, activiteMedecin);
    QStringList l, tabs;
    for (int i = 0; i < d.lv_activites->topLevelItemCount(); ++i)
        if (d.lv_activites->estCochee(i))
            l << d.lv_activites->topLevelItem(i)->text(0);
    QCOMPARE(l, cochees);
    for (const QString& a : cochees)
        tabs << "Activité " + a;
    QCOMPARE(onglets(d.ts_proprietes), tabs);
    QCOMPARE(d.OKButton->isEnabled(), !cochees.isEmpty());
    if (!cochees.isEmpty())
        QCOMPARE(d.lv_activites->currentItem()->text(0), cochees.front());
}

void TestPanierFenetres::ajoutDrapeauEtDoublons() {
    Panier panier;
    {
        // Into an empty basket: the flag stays false although two acts come in.
        d_ajoutPanier d("TEFA001", panier, "1");
        cocher(d.lv_activites, 2);
        QTest::mouseClick(d.OKButton, Qt::LeftButton);
        QVERIFY(!panier.fautSaisirAss());
        QCOMPARE(cles(panier), QStringList({"TEFA0011", "TEFA0014"}));
    }
    {
        // The same acts again: nothing added, the flag taken from the size
        // before; a double click and repeated clicks add nothing more.
        d_ajoutPanier d("TEFA001", panier, "1");
        cocher(d.lv_activites, 1);
        d.show();
        QTest::mouseDClick(d.OKButton, Qt::LeftButton);
        QTest::mouseClick(d.OKButton, Qt::LeftButton);
        emit d.OKButton->clicked();
        QVERIFY(panier.fautSaisirAss());
        QCOMPARE(cles(panier), QStringList({"TEFA0011", "TEFA0014", "TEFA0012"}));
    }
    QVERIFY(m_messages->journal().empty());
}

void TestPanierFenetres::ajoutChangementDePhase() {
    Panier panier;
    d_ajoutPanier d("WCFA002", panier, "1");
    QVERIFY(!d.c_phase->isHidden());
    QCOMPARE(d.c_phase->count(), 2);
    QCOMPARE(d.c_phase->currentIndex(), 0);
    cocher(d.lv_activites, 1);
    QCOMPARE(d.panneau(0)->getListActes().front().Tarif, 486.2);
    cocher(d.panneau(0)->lv_modificateurs, 0);
    choisir(d.c_phase, 1);
    QCOMPARE(d.c_phase->toolTip(), d.c_phase->currentText());
    // Every panel shown again for the new phase, each with its own tariff;
    // the ticks made before are gone.
    const Acte operateur = d.panneau(0)->getListActes().front();
    const Acte anesthesie = d.panneau(1)->getListActes().front();
    QCOMPARE(operateur.Phase + " " + QString::number(operateur.Tarif), QString("2 241.5"));
    QCOMPARE(anesthesie.Phase + " " + QString::number(anesthesie.Tarif), QString("2 98.6"));
    QVERIFY(operateur.modificateur1.isEmpty());
    QCOMPARE(colonne(d.lv_activites, 2), QStringList({"241,5", "98,6"}));
    QTest::mouseClick(d.OKButton, Qt::LeftButton);
    QCOMPARE(cles(panier), QStringList({"WCFA00212", "WCFA00242"}));

    // A phase whose label is empty cannot be confirmed.
    d_ajoutPanier e("WCFA002", panier, "1");
    e.c_phase->setItemText(0, QString());
    e.show();
    e.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&e, attenteMaxMs));
    QTest::mouseClick(e.OKButton, Qt::LeftButton);
    QCOMPARE(m_messages->textes(), QStringList{"Vous devez choisir une phase"});
    QVERIFY(e.isVisible());
    QCOMPARE(QApplication::focusWidget(), e.c_phase);
}

void TestPanierFenetres::ajoutCreerDossier_data() {
    QTest::addColumn<bool>("panierVide");
    QTest::addColumn<QString>("suite");
    QTest::newRow("premier acte") << true << "d_dossier";
    QTest::newRow("deuxième acte") << false << "d_associations";
}

void TestPanierFenetres::ajoutCreerDossier() {
    QFETCH(bool, panierVide);
    Panier panier;
    if (!panierVide)
        panier.ajouterActe(acte("XHMA001", "1"));
    PiloteDialogues pilote;
    pilote.quand("d_ajoutPanier", [](QDialog* d) {
        QTest::mouseClick(static_cast<d_ajoutPanier*>(d)->c_creerDossier, Qt::LeftButton);
    });
    d_ajoutPanier d("TEQP001", panier, QString());
    d.afficher();
    QFETCH(QString, suite);
    QCOMPARE(pilote.dialogues, QStringList({"d_ajoutPanier", suite}));
    QVERIFY(panier.acteExiste("TEQP001"));
}

void TestPanierFenetres::ouvertureDepuisLesCommandes() {
    PiloteDialogues pilote;
    // An act of a thesaurus that the loaded classification lacks.
    choisirActeCourant(ActeChoisi{QStringLiteral("WBFA099"), {}, {}});
    d_ajoutPanier::demander(nullptr);
    QVERIFY(pilote.dialogues.isEmpty());
    QCOMPARE(m_messages->journal().size(), size_t(1));
    QVERIFY(m_messages->journal().front().texte.contains("WBFA099"));
    QCOMPARE(m_messages->journal().front().titre, QString("Attention"));

    // An admitted act: the dialog opens on it, with the doctor's activity.
    auto m = std::make_shared<Medecin>();
    m->activite = "4";
    medecinCourant = m;
    QString code, cochee;
    pilote.quand("d_ajoutPanier", [&](QDialog* d) {
        auto* a = static_cast<d_ajoutPanier*>(d);
        code = a->l_code->text();
        cochee = a->lv_activites->currentItem()->text(0);
        QTest::mouseClick(a->OKButton, Qt::LeftButton);
    });
    choisirActeCourant(ActeChoisi{QStringLiteral("XHMA001"), {}, {}});
    d_ajoutPanier::demander(nullptr);
    QCOMPARE(code + " " + cochee, QString("XHMA001 4"));
    QCOMPARE(cles(panier()), QStringList{"XHMA0014"});

    // A refusal of the admission shows its message, and no dialog.
    m_messages->vider();
    choisirActeCourant(ActeChoisi{QStringLiteral("XHMA002"), {}, {}});
    d_ajoutPanier::demander(nullptr);
    QCOMPARE(pilote.dialogues, QStringList{"d_ajoutPanier"});
    QCOMPARE(m_messages->textes(),
             QStringList{"Cet acte ne peut être ajouté au panier ! Il est incompatible avec un "
                         "autre acte du panier\nActe du panier en cause : XHMA001 - "
                         "Remplacement de l'articulation coxofémorale par prothèse totale, par "
                         "abord postérieur"});
}

void TestPanierFenetres::panierModificateurs() {
    Panier panier;
    Acte a = acte("XHMA001", "1", 462.8);
    a.modificateur1 = "I";
    panier.ajouterActe(a);
    d_panier d(panier);
    d.show();
    // The list item first, then what tells the act's activities apart.
    QCOMPARE(d.list_actes->item(0)->text(),
             QString("XHMA001 - Libellé de XHMA001\nActivité 1 : Réalisation de l'acte — "
                     "462,80\u00A0€"));
    QCOMPARE(d.l_nombreActes->text(), QString("1 acte dans le panier"));
    QTreeWidget* lv = d.lv_modificateurs;
    QCOMPARE(colonne(lv, 0), QStringList({"C", "I", "1", "2", "0", "X"}));
    QCOMPARE(lv->topLevelItem(1)->checkState(0), Qt::Checked);
    QCOMPARE(lv->topLevelItem(0)->text(2), QString("20%\u00A0(92,56\u00A0€)"));
    const ActePtr p = panier.getActeByIndice(1);
    for (int ligne : {0, 2, 3})
        cocher(lv, ligne);
    QCOMPARE(modificateursActe(*p), QStringList({"I", "C", "1", "2"}));
    cocher(lv, 4); // a fifth
    QCOMPARE(m_messages->textes(), QStringList{messageLimite});
    QCOMPARE(lv->topLevelItem(4)->checkState(0), Qt::Unchecked);
    QCOMPARE(modificateursActe(*p), QStringList({"I", "C", "1", "2"}));
    // Unticking the first: the later ones move down, the last slot frees.
    cocher(lv, 1, false);
    QCOMPARE(QStringList({p->modificateur1, p->Modificateur2, p->modificateur3, p->modificateur4}),
             QStringList({"C", "1", "2", ""}));
    // The extension is applied at once too; no phase for this act.
    QCOMPARE(d.c_extDoc->count(), 2);
    choisir(d.c_extDoc, 1);
    QCOMPARE(p->extDoc, QString("D"));
    choisir(d.c_extDoc, 0);
    QVERIFY(p->extDoc.isEmpty());
    QCOMPARE(d.c_phase->count(), 0);
}

void TestPanierFenetres::panierChangementDActivite() {
    Panier panier;
    Acte a = acte("XHMA001", "1", 462.8);
    setModificateursActe(a, {"0", "C"});
    a.extDoc = "D";
    panier.ajouterActe(a);
    Acte b = acte("WCFA002", "1", 486.2);
    b.Phase = "1";
    panier.ajouterActe(b);
    d_panier d(panier);
    QCOMPARE(d.c_activite->count(), 2);
    QCOMPARE(d.c_activite->currentIndex(), 0);
    choisir(d.c_activite, 1); // Anesthésie
    const ActePtr p = panier.getActeByIndice(1);
    QCOMPARE(p->activite, QString("4"));
    QCOMPARE(p->Tarif, 170.25);
    QCOMPARE(d.list_actes->item(0)->text(),
             QString("XHMA001 - Libellé de XHMA001\nActivité 4 : Anesthésie — 170,25\u00A0€"));
    QCOMPARE(modificateursActe(*p), QStringList{"C"});
    QVERIFY(p->extDoc.isEmpty());
    QCOMPARE(colonne(d.lv_modificateurs, 0), QStringList({"C", "I", "1", "2"}));
    QCOMPARE(d.lv_modificateurs->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(d.c_extDoc->count(), 1);

    // Phase of the second act.
    d.list_actes->setCurrentRow(1);
    QCOMPARE(d.c_phase->count(), 2);
    QCOMPARE(d.c_phase->currentIndex(), 0);
    choisir(d.c_phase, 1);
    QCOMPARE(panier.getActeByIndice(2)->Phase, QString("2"));
    QCOMPARE(panier.getActeByIndice(2)->Tarif, 241.5);
    QVERIFY(d.list_actes->item(1)->text().endsWith(", phase 2 — 241,50\u00A0€"));
    QVERIFY(m_messages->journal().empty());
}

void TestPanierFenetres::panierExtensionGardee_data() {
    QTest::addColumn<int>("entree"); // of c_activite
    QTest::addColumn<QString>("activite");
    QTest::addColumn<double>("tarif");
    // The activity shown picked again: nothing changes, not even the tariff
    // the act was added with.
    QTest::newRow("même activité") << 0 << "1" << 400.0;
    QTest::newRow("activité qui l'offre aussi") << 1 << "4" << 170.25;
}

void TestPanierFenetres::panierExtensionGardee() {
    QFETCH(int, entree);
    m_base->executer("INSERT INTO Actes_extension_documentaire (Id_extension, AMCODE, Activite) "
                     "VALUES (4, 'XHMA001', '4')");
    const auto retirer = qScopeGuard([&] {
        m_base->executer("DELETE FROM Actes_extension_documentaire WHERE AMCODE = 'XHMA001' AND "
                         "Activite = '4'");
    });
    Panier panier;
    Acte a = acte("XHMA001", "1", 400);
    a.extDoc = "D";
    panier.ajouterActe(a);
    d_panier d(panier);
    choisir(d.c_activite, entree);
    const ActePtr p = panier.getActeByIndice(1);
    QTEST(p->activite, "activite");
    QTEST(p->Tarif, "tarif");
    QCOMPARE(p->extDoc, QString("D"));
    QCOMPARE(d.c_extDoc->currentText(), QString("Avec navigation assistée par ordinateur"));
}

void TestPanierFenetres::panierSuppressions() {
    Panier panier;
    for (const char* c : {"TEQP001", "TEQP003", "VCQM001"})
        panier.ajouterActe(acte(c, "1"));
    d_panier d(panier);
    d.list_actes->setCurrentRow(2);
    m_messages->setReponseSuivante(Reponse::Non);
    QTest::mouseClick(d.c_supprimerActe, Qt::LeftButton);
    QCOMPARE(panier.getListeActes().size(), 3);
    QTest::mouseClick(d.c_supprimerActe, Qt::LeftButton);
    const MessageAffiche& m = m_messages->journal().back();
    QCOMPARE(m.texte, QString("Voulez-vous vraiment supprimer l'acte sélectionné ?"));
    QCOMPARE(m.titre, QString("Confirmation suppression"));
    QCOMPARE(m.boutons, Boutons::OuiNonDefautNon);
    QCOMPARE(m.icone, Icone::Question);
    // The last of three deleted: the first line is selected.
    QCOMPARE(cles(panier), QStringList({"TEQP0011", "TEQP0031"}));
    QCOMPARE(d.list_actes->count(), 2);
    QCOMPARE(d.l_nombreActes->text(), QString("2 actes dans le panier"));
    QCOMPARE(d.list_actes->currentRow(), 0);
    QCOMPARE(d.acteSelectionne(), panier.getActeByIndice(1));
    // The first deleted: the new first line.
    QTest::mouseClick(d.c_supprimerActe, Qt::LeftButton);
    QCOMPARE(d.list_actes->currentItem()->text(),
             QString("TEQP003 - Libellé de TEQP003\nActivité 1 : Réalisation de l'acte — "
                     "0,00\u00A0€"));
    QCOMPARE(d.l_nombreActes->text(), QString("1 acte dans le panier"));
    QCOMPARE(d.acteSelectionne()->code, QString("TEQP003"));
    // The only one deleted: nothing left in the window.
    QTest::mouseClick(d.c_supprimerActe, Qt::LeftButton);
    QVERIFY(panier.getListeActes().isEmpty());
    QCOMPARE(d.list_actes->count(), 0);
    QCOMPARE(d.l_nombreActes->text(), QString("Aucun acte dans le panier"));
    QCOMPARE(d.c_activite->count() + d.c_phase->count() + d.c_extDoc->count(), 0);
    QVERIFY(!d.acteSelectionne());
}

void TestPanierFenetres::panierVider() {
    Panier panier;
    for (const char* c : {"TEQP001", "TEQP003"})
        panier.ajouterActe(acte(c, "1"));
    panier.setAssociationASaisir(true);
    PiloteDialogues pilote;
    pilote.quand("d_panier", [&](QDialog* d) {
        auto* p = static_cast<d_panier*>(d);
        m_messages->setReponseSuivante(Reponse::Non);
        QTest::mouseClick(p->c_vider, Qt::LeftButton);
        QVERIFY(p->isVisible());
        QTest::mouseClick(p->c_vider, Qt::LeftButton);
        QVERIFY(!p->isVisible());
    });
    d_panier d(panier);
    d.afficher();
    QCOMPARE(m_messages->textes(), QStringList({"Voulez-vous vraiment vider le panier ?",
                                                "Voulez-vous vraiment vider le panier ?"}));
    QVERIFY(panier.getListeActes().isEmpty());
    QVERIFY(panier.fautSaisirAss()); // the flag is left as it was
    QCOMPARE(pilote.dialogues, QStringList{"d_panier"});
}

void TestPanierFenetres::associationsAnnuler() {
    Panier panier;
    panier.ajouterActe(acte("TEQP001", "1", 56.4));
    Acte b = acte("VCQM001", "1", 95.65);
    b.codeAss = "2";
    panier.ajouterActe(b);
    PiloteDialogues pilote;
    pilote.quand("d_associations", [](QDialog* d) {
        auto* a = static_cast<d_associations*>(d);
        QCOMPARE(colonne(a->LV_Actes, 2), QStringList({"56,4", "95,65"}));
        QCOMPARE(colonne(a->LV_Actes, 3), QStringList({"", "2"}));
        QCOMPARE(colonne(a->LV_Actes, 4), QStringList({"", "50%"}));
        // The heading and the menu's captions, which are the legend the user reads.
        QCOMPARE(a->l_titre->text(), QString("Vous avez associé deux actes ou plus ! vous devez "
                                             "donc renseigner, pour chaque acte, un code "
                                             "association"));
        QCOMPARE(a->l_info->text(), QString("Pour plus d'informations cliquez sur le bouton Aide"));
        QStringList legendes;
        for (QAction* act : a->m_associations->actions())
            legendes << act->text();
        QCOMPARE(legendes,
                 (QStringList{"Rien", "1 : acte de tarif le plus élevé non réduit -->100%",
                              "2 : acte réduit --> 50%", "3 : acte réduit --> 75%",
                              "4 : actes spécifiques non réduits -->100%",
                              "5 : actes non réduits car réalisés au cours d\u2019une même "
                              "journée, dans certains cas -->100%"}));
        QTest::mouseClick(a->LV_Actes->viewport(), Qt::LeftButton, {},
                          a->LV_Actes->visualItemRect(a->LV_Actes->topLevelItem(0)).center());
        QVERIFY(a->m_associations->isVisible());
        a->m_assoc[4]->trigger();
        a->m_associations->hide();
        // By keyboard: the next row gets "0" (Rien); Enter on the list opens
        // the menu and is not OK.
        for (Qt::Key touche : {Qt::Key_Down, Qt::Key_0, Qt::Key_Return})
            QTest::keyClick(a->LV_Actes, touche);
        QVERIFY(a->m_associations->isVisible() && a->isVisible());
        a->m_associations->hide();
        QCOMPARE(colonne(a->LV_Actes, 3), QStringList({"4", ""}));
        QCOMPARE(colonne(a->LV_Actes, 4), QStringList({"100%", ""}));
        QTest::mouseClick(a->CancelButton, Qt::LeftButton);
    });
    d_associations d(panier);
    d.afficher();
    QCOMPARE(pilote.dialogues, QStringList{"d_associations"});
    QVERIFY(panier.getActeByIndice(1)->codeAss.isEmpty());
    QCOMPARE(panier.getActeByIndice(2)->codeAss, QString("2"));
}

void TestPanierFenetres::associationsValider() {
    Panier panier;
    panier.ajouterActe(acte("TEQP001", "1", 56.4));
    panier.ajouterActe(acte("VCQM001", "1", 95.65));
    PiloteDialogues pilote;
    pilote.quand("d_associations", [](QDialog* d) {
        auto* a = static_cast<d_associations*>(d);
        a->LV_Actes->setCurrentItem(a->LV_Actes->topLevelItem(0));
        a->choisirCode(1);
        QTest::mouseClick(a->OKButton, Qt::LeftButton);
    });
    d_associations d(panier);
    d.afficher();
    // The copy replaced the basket, and the patient file opened, although
    // the second act has no code.
    QCOMPARE(pilote.dialogues, QStringList({"d_associations", "d_dossier"}));
    QCOMPARE(panier.getActeByIndice(1)->codeAss, QString("1"));
    QVERIFY(panier.getActeByIndice(2)->codeAss.isEmpty());
    // Opened again, it shows the codes given.
    d_associations e(panier);
    QCOMPARE(colonne(e.LV_Actes, 3), QStringList({"1", ""}));
}

void TestPanierFenetres::associationsAide() {
    Panier panier;
    PiloteDialogues pilote;
    QString page;
    pilote.quand("d_aide",
                 [&](QDialog* d) { page = static_cast<d_aide*>(d)->t_aide->toPlainText(); });
    d_associations d(panier);
    d.show();
    QTest::mouseClick(d.b_aide, Qt::LeftButton);
    QCOMPARE(pilote.dialogues, QStringList{"d_aide"});
    QCOMPARE(d.focusWidget(), d.LV_Actes); // back to the list after the help
    QVERIFY(m_messages->journal().empty());
    for (const char* texte : {"Les codes association", "50 %", "75 %"})
        QVERIFY2(page.contains(QString::fromUtf8(texte)), texte);

    // A help page that cannot be read: the message, under the dialog's title.
    d.setCheminAide(m_base->dossier() + "/absente.html");
    QTest::mouseClick(d.b_aide, Qt::LeftButton);
    QCOMPARE(pilote.dialogues, QStringList{"d_aide"});
    QCOMPARE(m_messages->textes(),
             QStringList{"Impossible d'afficher le sommaire de l'Aide. Aucune Aide n'est "
                         "associée à cette partie."});
    QCOMPARE(m_messages->journal().front().titre, QString("Saisie des associations"));
    QCOMPARE(m_messages->journal().front().icone, Icone::Information);
}

void TestPanierFenetres::dossierSaisie() {
    const auto avant = empreinte(m_base->dossier());
    Panier panier;
    panier.ajouterActe(acte("TEQP001", "1", 56.4));
    PiloteDialogues pilote;
    d_dossier d(panier);
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d, attenteMaxMs));
    QCOMPARE(d.DT_date->date(), QDate::currentDate());
    QVERIFY(qAbs(d.DT_heure->time().secsTo(QTime::currentTime())) < 120);

    // No name: the message and the focus, no report.
    QTest::mouseClick(d.b_apercu, Qt::LeftButton);
    QCOMPARE(m_messages->textes(), QStringList{"Vous devez saisir le nom du patient"});
    QCOMPARE(m_messages->journal().back().titre, QString("Attention"));
    QCOMPARE(m_messages->journal().back().icone, Icone::Exclamation);
    QCOMPARE(QApplication::focusWidget(), d.t_nom);
    // Names typed with blanks, in lower case, with apostrophes, hyphens,
    // accents, and 200 characters: capitals when the box loses the focus.
    d.t_nom->setText(QString::fromUtf8("  d'arçon-lefèvre "));
    d.t_prenom->setFocus();
    QCOMPARE(d.t_nom->text(), QString::fromUtf8("D'ARÇON-LEFÈVRE"));
    QTest::mouseClick(d.b_imprimer, Qt::LeftButton);
    QCOMPARE(m_messages->textes().last(), QString("Vous devez saisir le prénom du patient"));
    QCOMPARE(QApplication::focusWidget(), d.t_prenom);
    const QString long200 = QString::fromUtf8("é").repeated(200);
    d.t_prenom->setText(long200);
    d.t_hospi->setFocus();
    QCOMPARE(d.t_prenom->text(), QString::fromUtf8("É").repeated(200));
    d.DT_date->setDate(QDate(2024, 3, 5));
    d.DT_heure->setTime(QTime(9, 7));
    QTest::mouseClick(d.b_apercu, Qt::LeftButton);
    QCOMPARE(pilote.dialogues, QStringList{"DR_dossier"});
    const Dossier& dossier = DR_dossier::instance().dossier();
    QCOMPARE(dossier.NOM, QString::fromUtf8("D'ARÇON-LEFÈVRE"));
    QCOMPARE(dossier.PRENOM.size(), 200);
    QVERIFY(dossier.numHosp.isEmpty());
    QCOMPARE(DR_dossier::formaterDate(dossier.p_Date), QString("05/03/2024"));
    QCOMPARE(DR_dossier::formaterHeure(dossier.Heure), QString("09:07"));
    QCOMPARE(Dossier(dossier).listeActes()->RecordCount(), 1);
    QCOMPARE(panier.getListeActes().size(), 1); // the preview leaves the basket alone
    // Nothing written to the database.
    QVERIFY(empreinte(m_base->dossier()) == avant);
    // A paste longer than the report prints is cut, and the count shows it.
    QGuiApplication::clipboard()->setText(QString(10000, QLatin1Char('N')));
    d.t_nom->selectAll();
    d.t_nom->paste();
    d.t_hospi->setText(QString(10000, QLatin1Char('9')));
    QCOMPARE(d.t_nom->text().size(), 200);
    QCOMPARE(d.t_hospi->text().size(), 50);
    QCOMPARE(d.findChild<QLabel*>("t_nom_compte")->text(), QStringLiteral("200 / 200"));
    QCOMPARE(d.findChild<QLabel*>("t_prenom_compte")->text(), QStringLiteral("200 / 200"));
    QCOMPARE(d.findChild<QLabel*>("t_hospi_compte")->text(), QStringLiteral("50 / 50"));
}

void TestPanierFenetres::dossierDateEtHeureTapees_data() {
    // Typed in the box: the digits, with or without separators, give that
    // date or time; what cannot be read keeps the dialog open with a message
    // (attendu empty).
    QTest::addColumn<bool>("date");
    QTest::addColumn<QString>("frappe");
    QTest::addColumn<QString>("attendu");
    for (const char* frappe : {"05/03/2024", "05032024", "5/3/2024", "05-03-2024", "05.03.2024",
                               "5 3 2024", "05/03/24", "050324"})
        QTest::addRow("date %s", frappe) << true << frappe << "05/03/2024";
    QTest::newRow("date 1/12/2024") << true << "1/12/2024"
                                    << "01/12/2024";
    QTest::newRow("date 31/02/2024") << true << "31/02/2024"
                                     << "";
    QTest::newRow("date 12/13/2024") << true << "12/13/2024"
                                     << "";
    QTest::newRow("date 5032024") << true << "5032024"
                                  << "";
    for (const char* frappe : {"14:30", "1430", "14h30", "14 30"})
        QTest::addRow("heure %s", frappe) << false << frappe << "14:30";
    for (const char* frappe : {"9:05", "9h5", "905", "09.05"})
        QTest::addRow("heure %s", frappe) << false << frappe << "09:05";
    QTest::newRow("heure 25:00") << false << "25:00"
                                 << "";
    QTest::newRow("heure 14:75") << false << "14:75"
                                 << "";
}

void TestPanierFenetres::dossierDateEtHeureTapees() {
    QFETCH(bool, date);
    QFETCH(QString, frappe);
    QFETCH(QString, attendu);
    Panier panier;
    panier.ajouterActe(acte("TEQP001", "1", 56.4));
    PiloteDialogues pilote;
    d_dossier d(panier);
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d, attenteMaxMs));
    d.t_nom->setText(QStringLiteral("DUPONT"));
    d.t_prenom->setText(QStringLiteral("JEAN"));
    auto* champ = d.findChild<QAbstractSpinBox*>(date ? "DT_date" : "DT_heure");
    QVERIFY(champ);
    champ->setFocus();
    champ->selectAll();
    QTest::keyClicks(champ, frappe);
    QTest::mouseClick(d.b_apercu, Qt::LeftButton);
    if (attendu.isEmpty()) {
        QCOMPARE(m_messages->textes(),
                 QStringList{"La date ou l'heure saisie ne peut pas être lue : tapez la date sous "
                             "la forme jj/mm/aaaa et l'heure sous la forme hh:mm."});
        QVERIFY(pilote.dialogues.isEmpty());
        QVERIFY(d.isVisible());
        QVERIFY(champ->hasFocus());
        QCOMPARE(champ->text(), frappe);
        return;
    }
    QVERIFY2(m_messages->journal().empty(), qPrintable(m_messages->textes().join(u'|')));
    QCOMPARE(pilote.dialogues, QStringList{"DR_dossier"});
    const Dossier& dossier = DR_dossier::instance().dossier();
    QCOMPARE(date ? DR_dossier::formaterDate(dossier.p_Date)
                  : DR_dossier::formaterHeure(dossier.Heure),
             attendu);
}

void TestPanierFenetres::dossierFermer_data() {
    QTest::addColumn<bool>("oui");
    QTest::newRow("Oui") << true;
    QTest::newRow("Non") << false;
}

void TestPanierFenetres::dossierFermer() {
    QFETCH(bool, oui);
    Panier panier;
    panier.ajouterActe(acte("TEQP001", "1"));
    PiloteDialogues pilote;
    pilote.quand("d_dossier", [&](QDialog* d) {
        m_messages->setReponseSuivante(oui ? Reponse::Oui : Reponse::Non);
        QTest::mouseClick(static_cast<d_dossier*>(d)->b_fermer, Qt::LeftButton);
        QVERIFY(!d->isVisible());
    });
    d_dossier d(panier);
    d.afficher();
    QCOMPARE(m_messages->journal().size(), size_t(1));
    const MessageAffiche& m = m_messages->journal().front();
    QCOMPARE(m.texte, QString("Voulez-vous supprimer les actes sélectionnés ?"));
    QCOMPARE(m.titre, QString("Vider le panier"));
    QCOMPARE(m.icone, Icone::Question);
    QCOMPARE(panier.getListeActes().isEmpty(), oui);
}

QTEST_MAIN(TestPanierFenetres)
#include "tst_panierFenetres.moc"
