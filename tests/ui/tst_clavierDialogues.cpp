// The keyboard in every dialog, driven offscreen on the demonstration
// database: each dialog opens with the focus on the field the user fills
// first, Escape cancels it, Enter is its OK, and Enter in a search box runs
// the search without pressing the dialog's default button. Enter on a
// question whose "Oui" destroys data answers "Non".

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Panier.h"
#include "Parametres.h"
#include "PiloteDialogues.h"
#include "QtArbreThesaurus.h"
#include "QtMessages.h"
#include "Recordset.h"
#include "Utilisateur.h"
#include "ctr_motCle.h"
#include "d_UM.h"
#include "d_ajoutActeThe.h"
#include "d_ajoutPanier.h"
#include "d_apropos.h"
#include "d_associations.h"
#include "d_connexion.h"
#include "d_dossier.h"
#include "d_newCategorie.h"
#include "d_notesUtilisation.h"
#include "d_panier.h"
#include "d_rechercheActe.h"
#include "d_selectCat.h"
#include "d_utilisateur.h"
#include "f_utilisateurs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {
Acte acte(const QString& code, const QString& activite) {
    Acte a;
    a.code = code;
    a.activite = activite;
    a.libelle = QStringLiteral("Libellé de ") + code;
    return a;
}

// The widget that has the keyboard once the dialog is shown and active.
QWidget* focusALOuverture(QDialog* d) {
    d->activateWindow();
    (void)QTest::qWaitForWindowActive(d, attenteMaxMs);
    QWidget* f = QApplication::focusWidget();
    return f && d->isAncestorOf(f) ? f : d->focusWidget();
}

QString nom(const QWidget* w) {
    return w ? w->objectName() : QStringLiteral("(aucun)");
}
} // namespace

// How each dialog is opened, as the program opens it.
using Ouverture = std::function<void(Panier&)>;
Q_DECLARE_METATYPE(Ouverture)
// A command that asks a question before destroying data, run on a basket of
// two acts; true when the data is still there afterwards.
using CommandeDestructrice = std::function<bool(Panier&)>;
Q_DECLARE_METATYPE(CommandeDestructrice)

class TestClavierDialogues : public QObject {
    Q_OBJECT
    std::unique_ptr<BaseDeTest> m_base;
    std::unique_ptr<QTemporaryDir> m_reglages;
    std::unique_ptr<MessagesScriptes> m_messages;

private slots:
    void initTestCase() {
        m_reglages = std::make_unique<QTemporaryDir>();
        Parametres::redirigerVers(m_reglages->filePath(QStringLiteral("t.ini")));
        m_base = std::make_unique<BaseDeTest>(true);
    }
    void cleanupTestCase() {
        m_base.reset();
        Parametres::redirigerVers(QString());
    }
    void init() {
        reinitialiserEtatGlobal();
        cheminBase = m_base->chemin();
        auto m = std::make_shared<Medecin>();
        m->code = QStringLiteral("CMARTIN");
        m->remplirDonnees();
        m->remplirThesaurusMED();
        medecinCourant = m;
        changerContexte(ModeEcran::EspaceMedecin);
        m_messages = std::make_unique<MessagesScriptes>();
        Parametres::ecrire(Parametres::NomUtilisateur, QString());
    }
    void cleanup() {
        m_messages.reset();
        reinitialiserEtatGlobal();
    }

    void focusEtEchap_data();
    void focusEtEchap();
    void entreeValide_data();
    void entreeValide();
    void entreeDansLaRecherche();
    void questionsDestructricesNonParDefaut_data();
    void questionsDestructricesNonParDefaut();
    void ordreTabulation();
};

void TestClavierDialogues::focusEtEchap_data() {
    QTest::addColumn<QString>("dialogue");
    QTest::addColumn<Ouverture>("ouvrir");
    QTest::addColumn<QString>("champ");

    QTest::newRow("connexion, premier lancement") << "d_connexion" << Ouverture([](Panier&) {
        d_connexion d;
        executerModal(&d);
    }) << "t_connexion_0";
    QTest::newRow("connexion, identifiant retenu") << "d_connexion" << Ouverture([](Panier&) {
        Parametres::ecrire(Parametres::NomUtilisateur, QStringLiteral("MARTIN"));
        d_connexion d;
        executerModal(&d);
    }) << "t_connexion_1";
    QTest::newRow("à propos") << "d_apropos" << Ouverture([](Panier&) {
        d_apropos d;
        executerModal(&d);
    }) << "cmdOK";
    QTest::newRow("nouvelle unité")
        << "d_UM" << Ouverture([](Panier&) { d_UM().afficher(1); }) << "t_UM_0";
    QTest::newRow("unité modifiée") << "d_UM" << Ouverture([](Panier&) {
        RecordsetPtr rs = accesDonnees.executSQL(QStringLiteral("SELECT * FROM UniteMedicale"));
        d_UM().afficher(2, rs);
    }) << "t_UM_1";
    QTest::newRow("nouvel utilisateur")
        << "d_utilisateur" << Ouverture([](Panier&) { d_utilisateur().afficher(1); })
        << "t_utilisateur_0";
    QTest::newRow("ajout d'actes : le code") << "d_ajoutActeThe" << Ouverture([](Panier&) {
        d_ajoutActeThe().afficher(8, QStringLiteral("CMARTIN"), 2);
    }) << "Text1";
    QTest::newRow("nouvelle catégorie") << "d_newCategorie" << Ouverture([](Panier&) {
        d_newCategorie d;
        executerModal(&d);
    }) << "Text1";
    QTest::newRow("choix de la catégorie")
        << "d_selectCat" << Ouverture([](Panier&) { d_selectCat().afficher("TEFA001"); })
        << "l_listeCat";
    QTest::newRow("recherche d'acte : le mot clé") << "d_rechercheActe" << Ouverture([](Panier&) {
        d_rechercheActe().afficher(8, QStringLiteral("CMARTIN"), 2);
    }) << "t_motCle";
    QTest::newRow("sélection de l'acte, avec phases")
        << "d_ajoutPanier"
        << Ouverture([](Panier& p) { d_ajoutPanier("WCFA002", p, "1").afficher(); }) << "c_phase";
    QTest::newRow("sélection de l'acte, sans phase") << "d_ajoutPanier" << Ouverture([](Panier& p) {
        d_ajoutPanier("TEFA001", p, "1").afficher();
    }) << "lv_activites";
    QTest::newRow("actes sélectionnés") << "d_panier" << Ouverture([](Panier& p) {
        p.ajouterActe(acte("TEFA001", "1"));
        d_panier(p).afficher();
    }) << "list_actes";
    QTest::newRow("associations") << "d_associations" << Ouverture([](Panier& p) {
        p.ajouterActe(acte("TEFA001", "1"));
        p.ajouterActe(acte("TEQP001", "1"));
        d_associations(p).afficher();
    }) << "LV_Actes";
    QTest::newRow("dossier : le nom") << "d_dossier" << Ouverture([](Panier& p) {
        p.ajouterActe(acte("TEFA001", "1"));
        d_dossier(p).afficher();
    }) << "t_nom";
    QTest::newRow("notes d'utilisation") << "d_notesUtilisation" << Ouverture([](Panier&) {
        d_notesUtilisation().afficher(QStringLiteral("01"));
    }) << "t_notes";
}

void TestClavierDialogues::focusEtEchap() {
    QFETCH(QString, dialogue);
    QFETCH(Ouverture, ouvrir);
    QFETCH(QString, champ);
    PiloteDialogues pilote;
    QString vu;
    bool fermeParEchap = false;
    QStringList sansMnemonique;
    pilote.quand(dialogue, [&](QDialog* d) {
        QWidget* focus = focusALOuverture(d);
        vu = nom(focus);
        // Each label of a field has its Alt letter, none shared.
        QString lettres;
        for (const QLabel* l : d->findChildren<QLabel*>()) {
            if (!l->buddy() || !l->isVisibleTo(d))
                continue;
            const QString t = l->text();
            const qsizetype i = t.indexOf(QLatin1Char('&'));
            if (i < 0 || i + 1 >= t.size() || lettres.contains(t.at(i + 1).toLower()))
                sansMnemonique << t;
            else
                lettres += t.at(i + 1).toLower();
        }
        // Escape is Annuler: the dialog closes, refused.
        QTest::keyClick(focus ? focus : d, Qt::Key_Escape);
        fermeParEchap = !d->isVisible() && d->result() == QDialog::Rejected;
    });
    Panier panier;
    ouvrir(panier);
    QCOMPARE(pilote.dialogues.value(0), dialogue);
    QCOMPARE(vu, champ);
    QVERIFY(fermeParEchap);
    QCOMPARE(sansMnemonique, QStringList());
}

void TestClavierDialogues::entreeValide_data() {
    QTest::addColumn<QString>("dialogue");
    QTest::addColumn<Ouverture>("ouvrir");
    QTest::addColumn<QString>("saisie");
    QTest::addColumn<QString>("verification"); // SQL counting what OK wrote

    QTest::newRow("nouvelle catégorie")
        << "d_newCategorie" << Ouverture([](Panier&) {
               d_newCategorie d;
               d.lien = QStringLiteral("CMARTIN");
               d.type = 2;
               executerModal(&d);
           })
        << "Genoux"
        << "SELECT COUNT(*) FROM CategorieThesaurus WHERE CT_LIB = 'Genoux'";
    QTest::newRow("ajout d'actes")
        << "d_ajoutActeThe"
        << Ouverture([](Panier&) { d_ajoutActeThe().afficher(8, QStringLiteral("CMARTIN"), 2); })
        << "TEFA001"
        << "SELECT COUNT(*) FROM Acte_Thesaurus WHERE AT_CAT = 8 AND AT_Acte = 'TEFA001'";
}

void TestClavierDialogues::entreeValide() {
    QFETCH(QString, dialogue);
    QFETCH(Ouverture, ouvrir);
    QFETCH(QString, saisie);
    QFETCH(QString, verification);
    PiloteDialogues pilote;
    bool accepte = false;
    pilote.quand(dialogue, [&](QDialog* d) {
        QWidget* focus = focusALOuverture(d);
        QVERIFY(focus);
        QTest::keyClicks(focus, saisie);
        QTest::keyClick(focus, Qt::Key_Return);
        accepte = !d->isVisible() && d->result() == QDialog::Accepted;
    });
    const long long avant = m_base->compter(verification);
    Panier panier;
    ouvrir(panier);
    QVERIFY(accepte);
    QCOMPARE(m_base->compter(verification), avant + 1);
    QVERIFY(m_messages->journal().empty());
}

void TestClavierDialogues::entreeDansLaRecherche() {
    // In the search dialog, Enter in the keyword box fills the list; the
    // dialog stays open and nothing is added to the category.
    PiloteDialogues pilote;
    int lignes = -1;
    bool resteOuvert = false;
    const QString compte = QStringLiteral("SELECT COUNT(*) FROM Acte_Thesaurus WHERE AT_CAT = 8");
    const long long avant = m_base->compter(compte);
    pilote.quand(QStringLiteral("d_rechercheActe"), [&](QDialog* d) {
        auto* motCle = d->findChild<ctr_motCle*>();
        QVERIFY(motCle);
        QTest::keyClicks(motCle->t_motCle, QStringLiteral("TE"));
        QTest::keyClick(motCle->t_motCle, Qt::Key_Return);
        lignes = motCle->LV_Actes->topLevelItemCount();
        // Ticked or not, Enter again searches again and adds nothing.
        if (lignes > 0)
            motCle->LV_Actes->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QTest::keyClick(motCle->t_motCle, Qt::Key_Enter);
        resteOuvert = d->isVisible();
        // A search without result says so once: Enter is not also the
        // "Rechercher" button the dialog would make its default.
        motCle->t_motCle->setText(QStringLiteral("ZZZZ"));
        QTest::keyClick(motCle->t_motCle, Qt::Key_Return);
    });
    d_rechercheActe().afficher(8, QStringLiteral("CMARTIN"), 2);
    QVERIFY(lignes > 0);
    QVERIFY(resteOuvert);
    QCOMPARE(m_base->compter(compte), avant);
    QCOMPARE(int(m_messages->journal().size()), 1);
    QCOMPARE(m_messages->journal().front().texte,
             QStringLiteral("aucun résultat pour cette recherche"));
}

void TestClavierDialogues::questionsDestructricesNonParDefaut_data() {
    QTest::addColumn<CommandeDestructrice>("commande");
    QTest::addColumn<QString>("question");
    const auto nombre = [](const char* sql) { return accesDonnees.executSQL(sql)->RecordCount(); };

    QTest::newRow("vider le panier") << CommandeDestructrice([](Panier& p) {
        d_panier d(p);
        d.show();
        QTest::mouseClick(d.c_vider, Qt::LeftButton);
        return p.getListeActes().size() == 2;
    }) << "Voulez-vous vraiment vider le panier ?";
    QTest::newRow("supprimer un acte du panier") << CommandeDestructrice([](Panier& p) {
        d_panier d(p);
        d.show();
        d.list_actes->setCurrentRow(0);
        QTest::mouseClick(d.c_supprimerActe, Qt::LeftButton);
        return p.getListeActes().size() == 2;
    }) << "Voulez-vous vraiment supprimer l'acte sélectionné ?";
    QTest::newRow("quitter le dossier du patient") << CommandeDestructrice([](Panier& p) {
        d_dossier d(p);
        d.show();
        d.reject(); // Escape, "Annuler" or the close box
        return p.getListeActes().size() == 2;
    }) << "Voulez-vous supprimer les actes sélectionnés ?";
    QTest::newRow("supprimer un acte du thésaurus")
        << CommandeDestructrice([](Panier&) { return !confirmerSuppressionActe(); })
        << "Voulez-vous vraiment supprimer l'acte sélectionné ?";
    QTest::newRow("supprimer une catégorie")
        << CommandeDestructrice([](Panier&) { return !confirmerSuppressionCategorie(); })
        << "Voulez-vous vraiment supprimer cette catégorie ainsi que tous les actes qu'elle "
           "contient?";
    QTest::newRow("remplacer un thésaurus")
        << CommandeDestructrice([](Panier&) { return !confirmerRemplacementThesaurus(true); })
        << "Attention vous allez remplacer le thésaurus existant ! Voulez-vous continuer ?";
    QTest::newRow("supprimer un utilisateur") << CommandeDestructrice([nombre](Panier&) {
        utilisateurCourant.p_code = 1;
        f_utilisateurs f;
        f.show();
        f.afficher(1);
        f.LV_Users->setCurrentItem(
            f.LV_Users->findItems(QStringLiteral("BERNARD"), Qt::MatchExactly, 1).value(0));
        f.suppUti();
        return nombre("SELECT * FROM Utilisateur") == 5;
    }) << "Voulez-vous vraiment supprimer l'utilisateur sélectionné ?";
    QTest::newRow("supprimer une unité médicale")
        << CommandeDestructrice([nombre](Panier&) {
               f_utilisateurs f;
               f.show();
               f.afficher(2);
               f.LV_UM->setCurrentItem(
                   f.LV_UM->findItems(QStringLiteral("ANES"), Qt::MatchExactly, 0).value(0));
               f.suppUM();
               return nombre("SELECT * FROM UniteMedicale") == 3;
           })
        << "Voulez-vous vraiment supprimer l'unité médicale sélectionnée ? 1 médecin y est "
           "rattaché.";
}

void TestClavierDialogues::questionsDestructricesNonParDefaut() {
    // The real message box, answered by one press of Enter.
    QFETCH(CommandeDestructrice, commande);
    QFETCH(QString, question);
    BaseDeTest base(true);
    cheminBase = base.chemin();
    QtMessages boites;
    installerMessages(&boites);
    QStringList vues;
    QTimer entree;
    entree.setInterval(10);
    connect(&entree, &QTimer::timeout, [&] {
        if (auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            vues << boite->text();
            QTest::keyClick(boite, Qt::Key_Return);
        }
    });
    entree.start();
    Panier panier;
    panier.ajouterActe(acte("TEFA001", "1"));
    panier.ajouterActe(acte("TEQP001", "1"));
    const bool garde = commande(panier);
    entree.stop();
    installerMessages(m_messages.get());
    cheminBase = m_base->chemin();
    QCOMPARE(vues, QStringList{question});
    QVERIFY(garde);
}

// Tab in "Nouvel utilisateur" follows the screen: the doctor's fields come
// after the group once MEDECIN is chosen.
void TestClavierDialogues::ordreTabulation() {
    PiloteDialogues pilote;
    QStringList vus;
    pilote.quand(QStringLiteral("d_utilisateur"), [&](QDialog* d) {
        QWidget* focus = focusALOuverture(d);
        static_cast<d_utilisateur*>(d)->C_utilisateur->setCurrentText(QStringLiteral("MEDECIN"));
        for (focus->setFocus(); vus.size() < 8;
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            vus << nom(QApplication::focusWidget());
        d->reject();
    });
    d_utilisateur().afficher(1);
    QCOMPARE(vus, (QStringList{"t_utilisateur_0", "t_utilisateur_1", "t_utilisateur_2",
                               "t_utilisateur_3", "C_utilisateur", "t_utilisateur_4",
                               "t_utilisateur_5", "C_UM"}));
}

QTEST_MAIN(TestClavierDialogues)
#include "tst_clavierDialogues.moc"
