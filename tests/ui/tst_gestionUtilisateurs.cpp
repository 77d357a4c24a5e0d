// The administration window driven offscreen on the demonstration database:
// the two lists, every check of the user dialog, the flows of creating,
// modifying and deleting users and units, sorting, and one administrator's
// day from the login to the new doctor's first login. Message boxes and
// modal dialogs go through the scripted hooks.

#include "AccesDonnees.h"
#include "Administration.h"
#include "BaseDeTest.h"
#include "EmpreinteMotDePasse.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Parametres.h"
#include "PiloteConnexion.h"
#include "Utilisateur.h"
#include "ctr_ListeActes.h"
#include "ctr_ThesMED.h"
#include "d_UM.h"
#include "d_utilisateur.h"
#include "f_ThesaurusDIM.h"
#include "f_principale.h"
#include "f_thesaurusMED.h"
#include "f_utilisateurs.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <map>
#include <optional>

namespace {

// What is typed into the user dialog; a value left out is not touched.
struct Saisie {
    std::optional<QString> login, motDePasse, confirmation, email;
    std::optional<QString> groupe;
    std::optional<QString> code, nom;
    std::optional<QString> UM;   // unit code; "" for no unit
    std::optional<int> activite; // 0, 1; -1 for none
};

void saisir(d_utilisateur* d, const Saisie& s) {
    const std::optional<QString>* textes[] = {&s.login, &s.motDePasse, &s.confirmation, &s.email};
    for (int i = 0; i < 4; ++i)
        if (textes[i]->has_value())
            d->t_utilisateur[i]->setText(**textes[i]);
    if (s.groupe)
        d->C_utilisateur->setCurrentIndex(d->C_utilisateur->findText(*s.groupe));
    if (s.code)
        d->t_utilisateur[4]->setText(*s.code);
    if (s.nom)
        d->t_utilisateur[5]->setText(*s.nom);
    if (s.UM)
        d->C_UM->setCurrentIndex(
            s.UM->isEmpty() ? -1 : d->C_UM->findText(*s.UM + " - ", Qt::MatchStartsWith));
    if (s.activite) {
        if (*s.activite < 0) {
            for (QRadioButton* o : d->o_utilisateur) {
                o->setAutoExclusive(false);
                o->setChecked(false);
            }
        } else {
            d->o_utilisateur[*s.activite]->setChecked(true);
        }
    }
}

// The administration window of the logged-in ADMIN on a fresh
// demonstration database.
struct Poste {
    Poste() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        utilisateurCourant.p_code = 1;
        utilisateurCourant.p_LOGIN = QStringLiteral("ADMIN");
        utilisateurCourant.p_GROUP = QStringLiteral("ADMIN");
        changerContexte(ModeEcran::Administration);
        fenetre = new f_utilisateurs;
        fenetre->resize(1100, 600);
        fenetre->show();
        installerExecuteurModal([this](QObject* o) {
            auto* d = qobject_cast<QDialog*>(o);
            d->show();
            d->activateWindow();
            (void)QTest::qWaitForWindowActive(d, attenteMaxMs);
            ++dialoguesOuverts;
            titre = d->windowTitle();
            if (pilote)
                pilote(d);
            QWidget* f = d->focusWidget();
            focus = f ? f->objectName() : QString();
            resteOuvert = d->isVisible();
            if (resteOuvert)
                d->done(QDialog::Rejected);
            return d->result();
        });
    }
    ~Poste() {
        delete fenetre;
        installerExecuteurModal(precedent);
        reinitialiserEtatGlobal();
        QLocale::setDefault(QLocale::c());
    }

    // The next user dialog gets `s` typed, then OK.
    void piloterUtilisateur(const Saisie& s, std::function<void(d_utilisateur*)> avantOK = {}) {
        pilote = [s, avantOK](QDialog* d) {
            auto* u = qobject_cast<d_utilisateur*>(d);
            QVERIFY(u);
            saisir(u, s);
            if (avantOK)
                avantOK(u);
            QTest::mouseClick(u->OKButton, Qt::LeftButton);
        };
    }
    void piloterUM(const QString& code, const QString& libelle) {
        pilote = [code, libelle](QDialog* d) {
            auto* u = qobject_cast<d_UM*>(d);
            QVERIFY(u);
            if (!u->t_UM[0]->isReadOnly())
                u->t_UM[0]->setText(code);
            u->t_UM[1]->setText(libelle);
            QTest::mouseClick(u->OKButton, Qt::LeftButton);
        };
    }

    QStringList colonneListe(QTreeWidget* l, int c) const {
        QStringList t;
        for (int i = 0; i < l->topLevelItemCount(); ++i)
            t << l->topLevelItem(i)->text(c);
        return t;
    }
    QStringList ligne(const QString& login) const {
        for (int i = 0; i < fenetre->LV_Users->topLevelItemCount(); ++i) {
            QTreeWidgetItem* l = fenetre->LV_Users->topLevelItem(i);
            if (l->text(1) == login) {
                QStringList t;
                for (int c = 0; c < 8; ++c)
                    t << l->text(c);
                return t;
            }
        }
        return {};
    }
    void selectionner(QTreeWidget* l, const QString& texte, int colonne) {
        const auto trouves = l->findItems(texte, Qt::MatchExactly, colonne);
        QVERIFY(!trouves.isEmpty());
        l->setCurrentItem(trouves.front());
    }
    QString courant(QTreeWidget* l, int colonne = 1) const {
        return l->currentItem() ? l->currentItem()->text(colonne) : QString();
    }
    long long compter(const QString& sql) const { return base.compter(sql); }

    BaseDeTest base{true};
    MessagesScriptes messages;
    ExecuteurModal precedent = installerExecuteurModal({});
    QPointer<f_utilisateurs> fenetre;
    std::function<void(QDialog*)> pilote;
    int dialoguesOuverts = 0;
    QString titre, focus;
    bool resteOuvert = false;
};

QString aujourdhui() {
    return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}
} // namespace

Q_DECLARE_METATYPE(Saisie)

class TestGestionUtilisateurs : public QObject {
    Q_OBJECT
private slots:
    void listes();
    void verifSaisie_data();
    void verifSaisie();
    void modificationSansChangerIdentifiant();
    void medecinDevientDim();
    void dimDevientMedecin();
    void motDePasseEnMinuscules();
    void suppressionUtilisateur();
    void suppressionRefusee();
    void unitesMedicales();
    void tri();
    void administrateurCreeUnMedecin();
    void captures();
};

void TestGestionUtilisateurs::listes() {
    Poste p;
    f_utilisateurs* f = p.fenetre;
    QCOMPARE(f->windowTitle(), QStringLiteral("Gestion de utilisateurs"));
    QCOMPARE(f->TS_admin->tabText(0), QStringLiteral("Utilisateurs"));
    QCOMPARE(f->TS_admin->tabText(1), QStringLiteral("Unités médicales"));
    // Ordered by identifier; NULL shows empty; dates in the French format.
    QCOMPARE(p.colonneListe(f->LV_Users, 1),
             (QStringList{"ADMIN", "BERNARD", "DIM", "LEROY", "MARTIN"}));
    QCOMPARE(p.ligne("MARTIN"), (QStringList{"3", "MARTIN", "MARTIN CLAIRE", "MEDECIN", "ORTH", "1",
                                             "05/01/2026", ""}));
    QCOMPARE(p.ligne("DIM"), (QStringList{"2", "DIM", "", "DIM", "", "", "05/01/2026", ""}));
    QCOMPARE(p.courant(f->LV_Users), QStringLiteral("ADMIN"));
    QCOMPARE(p.colonneListe(f->LV_UM, 0), (QStringList{"ANES", "ORTH", "VISC"}));
    QCOMPARE(p.colonneListe(f->LV_UM, 1).at(1), QStringLiteral("CHIRURGIE ORTHOPÉDIQUE"));

    // One tab shows its frame and hides the other.
    f->afficher(2);
    QVERIFY(f->f_admin[1]->isVisible() && !f->f_admin[0]->isVisible());
    QCOMPARE(f->ongletAffiche(), 2);
    f->TS_admin->setCurrentIndex(0);
    QVERIFY(f->f_admin[0]->isVisible() && !f->f_admin[1]->isVisible());

    // The right button asks for the pop-up menu; the left one does not.
    QSignalSpy menu(f, &f_utilisateurs::menuUtilisateurDemande);
    QTreeWidget* l = f->LV_Users;
    const QPoint bernard = l->visualItemRect(l->topLevelItem(1)).center();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, bernard);
    QCOMPARE(menu.count(), 0);
    QTest::mouseClick(l->viewport(), Qt::RightButton, {}, bernard);
    QCOMPARE(menu.count(), 1);
    QCOMPARE(p.courant(l), QStringLiteral("BERNARD"));

    // A double click opens the modification of that user, password not shown.
    p.pilote = [](QDialog* d) {
        auto* u = qobject_cast<d_utilisateur*>(d);
        QCOMPARE(u->t_utilisateur[0]->text(), QStringLiteral("BERNARD"));
        QCOMPARE(u->t_utilisateur[1]->text(), QString());
        QCOMPARE(u->t_utilisateur[2]->text(), QString());
        QCOMPARE(u->C_UM->currentText(), QStringLiteral("ANES - ANESTHÉSIE RÉANIMATION"));
        QVERIFY(u->o_utilisateur[1]->isChecked());
        QVERIFY(u->Frame1->isEnabled());
        QVERIFY(u->t_utilisateur[0]->isVisible());
    };
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, bernard);
    QCOMPARE(p.dialoguesOuverts, 1);
    QCOMPARE(p.titre, QStringLiteral("Modification"));
    // "Nouveau" opens an empty creation dialog.
    p.pilote = [](QDialog* d) {
        auto* u = qobject_cast<d_utilisateur*>(d);
        for (QLineEdit* t : u->t_utilisateur)
            QVERIFY(t->text().isEmpty());
        QCOMPARE(u->C_utilisateur->count(), 4);
        QCOMPARE(u->C_utilisateur->currentIndex(), 0);
        QVERIFY(!u->Frame1->isEnabled());
        QCOMPARE(u->o_utilisateur[0]->text(), QStringLiteral("Chirurgien / Médecin "));
        // Boxes are upper-cased and trimmed when they lose the focus.
        u->t_utilisateur[3]->setFocus();
        u->t_utilisateur[3]->setText(QStringLiteral("  jean@exemple.fr "));
        u->t_utilisateur[0]->setFocus();
        QCOMPARE(u->t_utilisateur[3]->text(), QStringLiteral("JEAN@EXEMPLE.FR"));
        // MEDECIN enables the doctor's frame and fills the units, none chosen.
        u->C_utilisateur->setCurrentIndex(3);
        QVERIFY(u->Frame1->isEnabled());
        QCOMPARE(u->C_UM->count(), 3);
        QVERIFY(u->C_UM->currentText().isEmpty());
    };
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    QCOMPARE(p.titre, QStringLiteral("Nouvel utilisateur"));
    QCOMPARE(p.dialoguesOuverts, 2);
    QVERIFY(p.messages.journal().empty());
}

void TestGestionUtilisateurs::verifSaisie_data() {
    QTest::addColumn<bool>("modification"); // of MARTIN (CMARTIN), else a new user
    QTest::addColumn<Saisie>("saisie");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("focus");

    const Saisie complet{"DUPONT", "A", "A", "", "MEDECIN", "JDUPONT", "DUPONT JEAN", "ORTH", 0};
    const auto avec = [&](std::function<void(Saisie&)> f) {
        Saisie s = complet;
        f(s);
        return s;
    };
    QTest::newRow("1 identifiant vide") << false << avec([](Saisie& s) {
        s.login = "  ";
        s.groupe = "";
    }) << 1 << "t_utilisateur_0";
    QTest::newRow("11 identifiant pris")
        << false << avec([](Saisie& s) { s.login = "dim"; }) << 11 << "t_utilisateur_0";
    QTest::newRow("11 identifiant d'un autre") << true << avec([](Saisie& s) {
        s.login = "LEROY";
        s.code = "CMARTIN";
    }) << 11 << "t_utilisateur_0";
    QTest::newRow("4 groupe vide") << false << avec([](Saisie& s) {
        s.groupe = "";
        s.confirmation = "B";
    }) << 4 << "C_utilisateur";
    QTest::newRow("5 confirmation") << false << avec([](Saisie& s) {
        s.confirmation = "B";
        s.code = "";
    }) << 5 << "t_utilisateur_2";
    QTest::newRow("6 code vide") << false << avec([](Saisie& s) {
        s.code = " ";
        s.nom = "";
    }) << 6 << "t_utilisateur_4";
    QTest::newRow("7 code pris") << false << avec([](Saisie& s) { s.code = "pbernard"; }) << 7
                                 << "t_utilisateur_4";
    QTest::newRow("7 code changé pour un autre") << true << avec([](Saisie& s) {
        s.login = "MARTIN";
        s.code = "ALEROY";
    }) << 7 << "t_utilisateur_4";
    QTest::newRow("8 nom vide") << false << avec([](Saisie& s) {
        s.nom = "";
        s.UM = "";
    }) << 8 << "t_utilisateur_5";
    QTest::newRow("9 unité") << false << avec([](Saisie& s) {
        s.UM = "";
        s.activite = -1;
    }) << 9 << "C_UM";
    QTest::newRow("10 activité") << false << avec([](Saisie& s) { s.activite = -1; }) << 10 << "";
    QTest::newRow("0 mot de passe vide") << false << avec([](Saisie& s) {
        s.motDePasse = "";
        s.confirmation = "";
    }) << 0 << "";
    QTest::newRow("0 sans médecin, champs du médecin ignorés") << false << avec([](Saisie& s) {
        s.groupe = "DIM";
        s.code = "";
        s.UM = "";
    }) << 0 << "";
    QTest::newRow("0 identifiant et code inchangés") << true << avec([](Saisie& s) {
        s.login = "MARTIN";
        s.code = "CMARTIN";
    }) << 0 << "";
}

// What the user reads for each failed check of verifSaisie.
const std::map<int, QString> textesVerification{
    {1, "Vous devez renseigner le champ : Identifiant."},
    {4, "Vous devez renseigner le champ : Groupe."},
    {5, "Vérifiez l'orthographe du mot de passe"},
    {6, "Vous devez renseigner le champ : Code du médecin."},
    {7, "Ce code du médecin existe déjà."},
    {8, "Vous devez renseigner le champ : Nom du médecin."},
    {9, "Vous devez renseigner le champ : Unité médicale."},
    {10, "Vous devez renseigner le champ : Activité."},
    {11, "Cet utilisateur est déjà utilisé. Saisissez un autre identifiant."},
};

void TestGestionUtilisateurs::verifSaisie() {
    QFETCH(bool, modification);
    QFETCH(Saisie, saisie);
    QFETCH(int, code);
    QFETCH(QString, focus);
    Poste p;
    int obtenu = -1;
    p.piloterUtilisateur(saisie);
    // verifSaisie is read again after the click, from the boxes as OK left them.
    auto pilote = p.pilote;
    p.pilote = [&, pilote](QDialog* d) {
        pilote(d);
        obtenu = d->isVisible() ? qobject_cast<d_utilisateur*>(d)->verifSaisie() : 0;
    };
    if (modification) {
        p.selectionner(p.fenetre->LV_Users, QStringLiteral("MARTIN"), 1);
        p.fenetre->afficheFenetreModifUti();
    } else {
        p.fenetre->afficheFenetreAjoutUti();
    }
    QCOMPARE(obtenu, code);
    if (code == 0) {
        QVERIFY(!p.resteOuvert);
        QVERIFY(p.messages.journal().empty());
        return;
    }
    QVERIFY(p.resteOuvert);
    QCOMPARE(int(p.messages.journal().size()), 1);
    const MessageAffiche& m = p.messages.journal().front();
    QCOMPARE(m.texte, textesVerification.at(code));
    QCOMPARE(m.titre, QStringLiteral("Attention"));
    QCOMPARE(m.icone, Icone::Exclamation);
    if (!focus.isEmpty())
        QCOMPARE(p.focus, focus);
    // Nothing was written.
    QCOMPARE(p.compter("SELECT count(*) FROM Utilisateur WHERE UTI_LOGIN = 'DUPONT'"), 0LL);
    QCOMPARE(p.compter("SELECT count(*) FROM Utilisateur WHERE UTI_UPDATE IS NOT NULL"), 0LL);
}

void TestGestionUtilisateurs::modificationSansChangerIdentifiant() {
    Poste p;
    p.selectionner(p.fenetre->LV_Users, QStringLiteral("MARTIN"), 1);
    Saisie s;
    s.email = QStringLiteral("claire.martin@tarvenor.example");
    s.nom = QStringLiteral("MARTIN CLAIRE-ANNE");
    s.UM = QStringLiteral("VISC");
    const QString motDePasse =
        accesDonnees.getUtilisateur(3)->Fields(QStringLiteral("UTI_PWD")).toString();
    // The stored password is not shown: both fields are empty.
    QStringList champsMotDePasse;
    p.piloterUtilisateur(s, [&](d_utilisateur* d) {
        champsMotDePasse << d->t_utilisateur[1]->text() << d->t_utilisateur[2]->text();
    });
    p.fenetre->afficheFenetreModifUti();
    QVERIFY(!p.resteOuvert);
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(champsMotDePasse, (QStringList{QString(), QString()}));
    QCOMPARE(p.ligne("MARTIN"), (QStringList{"3", "MARTIN", "MARTIN CLAIRE-ANNE", "MEDECIN", "VISC",
                                             "1", "05/01/2026", aujourdhui()}));
    RecordsetPtr rs = accesDonnees.getUtilisateur(3);
    QCOMPARE(rs->Fields(QStringLiteral("UTI_EMAIL")).toString(),
             QStringLiteral("CLAIRE.MARTIN@TARVENOR.EXAMPLE"));
    // Left empty, the fields keep the stored password.
    QCOMPARE(rs->Fields(QStringLiteral("UTI_PWD")).toString(), motDePasse);
    QCOMPARE(p.compter("SELECT count(*) FROM Medecin WHERE MED_CODEUTI = 3"), 1LL);
    // After the refill the first row is selected.
    QCOMPARE(p.courant(p.fenetre->LV_Users), QStringLiteral("ADMIN"));
}

void TestGestionUtilisateurs::medecinDevientDim() {
    Poste p;
    p.selectionner(p.fenetre->LV_Users, QStringLiteral("MARTIN"), 1);
    Saisie s;
    s.groupe = QStringLiteral("DIM");
    p.piloterUtilisateur(s, [](d_utilisateur* d) { QVERIFY(!d->Frame1->isEnabled()); });
    p.fenetre->afficheFenetreModifUti();
    QVERIFY(!p.resteOuvert);
    QCOMPARE(p.compter("SELECT count(*) FROM Medecin WHERE MED_CODE = 'CMARTIN'"), 0LL);
    QCOMPARE(p.ligne("MARTIN"),
             (QStringList{"3", "MARTIN", "", "DIM", "", "", "05/01/2026", aujourdhui()}));
    // His thesaurus is left as it was.
    QCOMPARE(p.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'CMARTIN'"), 3LL);
}

void TestGestionUtilisateurs::dimDevientMedecin() {
    Poste p;
    p.selectionner(p.fenetre->LV_Users, QStringLiteral("DIM"), 1);
    p.piloterUtilisateur({{}, {}, {}, {}, "MEDECIN", "rdim", "Robert Dim", "ANES", 1});
    p.fenetre->afficheFenetreModifUti();
    QVERIFY(!p.resteOuvert);
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(colonne(accesDonnees.getMedecin(2), QStringLiteral("MED_CODE")), QStringList{"RDIM"});
    QCOMPARE(p.ligne("DIM"), (QStringList{"2", "DIM", "ROBERT DIM", "MEDECIN", "ANES", "4",
                                          "05/01/2026", aujourdhui()}));
}

void TestGestionUtilisateurs::motDePasseEnMinuscules() {
    Poste p;
    p.piloterUtilisateur({"dupont", "secret", "secret", "", "DIM", {}, {}, {}, {}});
    p.fenetre->afficheFenetreAjoutUti();
    QVERIFY(!p.resteOuvert);
    QCOMPARE(verifierMotDePasse(QStringLiteral("SECRET"),
                                colonne(accesDonnees.getUtilisateurLogin(QStringLiteral("DUPONT")),
                                        QStringLiteral("UTI_PWD"))
                                    .value(0)),
             VerificationMotDePasse::Accepte);
    QCOMPARE(p.ligne("DUPONT"), (QStringList{p.ligne("DUPONT").value(0), "DUPONT", "", "DIM", "",
                                             "", aujourdhui(), ""}));
    // The login accepts it in either case.
    QTemporaryDir dossier;
    Parametres::redirigerVers(dossier.filePath(QStringLiteral("t.ini")));
    for (const QString& mdp : {QStringLiteral("secret"), QStringLiteral("SeCrEt")}) {
        PiloteConnexion pilote;
        pilote.connecter(QStringLiteral("dupont"), mdp, p.base.chemin());
        d_connexion d;
        executerModal(&d);
        QCOMPARE(int(pilote.etats.size()), 1);
        QVERIFY(!pilote.etats.front().resteOuverte);
        QCOMPARE(utilisateurCourant.p_LOGIN, QStringLiteral("DUPONT"));
    }
    Parametres::redirigerVers(QString());
}

void TestGestionUtilisateurs::suppressionUtilisateur() {
    Poste p;
    QTreeWidget* l = p.fenetre->LV_Users;
    // No: nothing changes.
    p.selectionner(l, QStringLiteral("BERNARD"), 1);
    p.messages.setReponseSuivante(Reponse::Non);
    p.fenetre->suppUti();
    QCOMPARE(l->topLevelItemCount(), 5);
    const MessageAffiche& q = p.messages.journal().front();
    QCOMPARE(q.texte, QStringLiteral("Voulez-vous vraiment supprimer l'utilisateur sélectionné ?"));
    QCOMPARE(q.titre, QStringLiteral("Confirmation suppression"));
    QCOMPARE(q.icone, Icone::Question);
    QCOMPARE(q.boutons, Boutons::OuiNonDefautNon);
    // Yes: the row goes with the doctor; the next row takes the selection.
    p.fenetre->suppUti();
    QCOMPARE(p.colonneListe(l, 1), (QStringList{"ADMIN", "DIM", "LEROY", "MARTIN"}));
    QCOMPARE(p.courant(l), QStringLiteral("DIM"));
    QCOMPARE(p.compter("SELECT count(*) FROM Medecin WHERE MED_CODE = 'PBERNARD'"), 0LL);
    // The last row of the list: the first remaining row is selected.
    p.selectionner(l, QStringLiteral("MARTIN"), 1);
    p.fenetre->suppUti();
    QCOMPARE(p.colonneListe(l, 1), (QStringList{"ADMIN", "DIM", "LEROY"}));
    QCOMPARE(p.courant(l), QStringLiteral("ADMIN"));
}

void TestGestionUtilisateurs::suppressionRefusee() {
    Poste p;
    QTreeWidget* l = p.fenetre->LV_Users;
    // His own account, before any question.
    p.selectionner(l, QStringLiteral("ADMIN"), 1);
    p.fenetre->suppUti();
    QCOMPARE(p.messages.textes(), QStringList{"Vous ne pouvez pas supprimer votre propre compte : "
                                              "il est utilisé par la session en cours."});
    QCOMPARE(p.messages.journal().front().titre, QStringLiteral("Attention"));
    // The last administrator, whoever asks.
    utilisateurCourant.p_code = 2;
    p.messages.vider();
    p.fenetre->suppUti();
    QCOMPARE(p.messages.textes(),
             QStringList{"Ce compte est le dernier du groupe ADMIN : il ne peut pas être supprimé, "
                         "sans quoi plus personne ne pourrait administrer le programme."});
    QCOMPARE(l->topLevelItemCount(), 5);
    // Nor can he be moved to another group.
    Saisie s;
    s.groupe = QStringLiteral("DIM");
    p.piloterUtilisateur(s);
    p.messages.vider();
    p.fenetre->afficheFenetreModifUti();
    QVERIFY(p.resteOuvert);
    QCOMPARE(p.messages.textes(),
             QStringList{"Ce compte est le dernier du groupe ADMIN : il doit rester dans ce "
                         "groupe, sans quoi plus personne ne pourrait administrer le programme."});
    QCOMPARE(p.focus, QStringLiteral("C_utilisateur"));
    QCOMPARE(p.compter("SELECT count(*) FROM Utilisateur WHERE UTI_GROUP = 'ADMIN'"), 1LL);
}

void TestGestionUtilisateurs::unitesMedicales() {
    Poste p;
    QTreeWidget* l = p.fenetre->LV_UM;
    // A code that exists is refused on creation, code selected.
    p.pilote = [](QDialog* d) {
        auto* u = qobject_cast<d_UM*>(d);
        u->t_UM[0]->setText(QStringLiteral(" orth"));
        u->t_UM[1]->setText(QStringLiteral("Autre"));
        QTest::mouseClick(u->OKButton, Qt::LeftButton);
        QCOMPARE(u->t_UM[0]->selectedText(), QStringLiteral("ORTH"));
    };
    p.fenetre->afficheFenetreAjoutUM();
    QCOMPARE(p.titre, QStringLiteral("Nouvelle unité médicale"));
    QVERIFY(p.resteOuvert);
    QCOMPARE(p.focus, QStringLiteral("t_UM_0"));
    QCOMPARE(p.messages.textes(), QStringList{"Cette unité médicale existe déjà."});
    // The three messages in their order.
    const std::pair<QString, QString> cas[] = {{"", ""}, {"X", " "}};
    const QString attendus[] = {"Vous devez saisir le code de l'unité médicale.",
                                "Vous devez saisir le libellé de l'unité médicale."};
    for (int i = 0; i < 2; ++i) {
        p.messages.vider();
        p.piloterUM(cas[i].first, cas[i].second);
        p.fenetre->afficheFenetreAjoutUM();
        QCOMPARE(p.messages.textes(), QStringList{attendus[i]});
        QCOMPARE(p.focus, QStringLiteral("t_UM_%1").arg(i));
    }
    // Created upper-case and trimmed.
    p.messages.vider();
    p.piloterUM(QStringLiteral(" neuro "), QStringLiteral("neurologie d'urgence"));
    p.fenetre->afficheFenetreAjoutUM();
    QVERIFY(!p.resteOuvert);
    QCOMPARE(p.colonneListe(l, 0), (QStringList{"ANES", "NEURO", "ORTH", "VISC"}));
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("NEURO")),
             QStringLiteral("NEUROLOGIE D'URGENCE"));
    // Modified: the code is locked, the label changes.
    p.fenetre->afficher(2);
    QCoreApplication::processEvents(); // the frame shown is laid out
    p.selectionner(l, QStringLiteral("ORTH"), 0);
    p.pilote = [](QDialog* d) {
        auto* u = qobject_cast<d_UM*>(d);
        QVERIFY(u->t_UM[0]->isReadOnly());
        QCOMPARE(u->t_UM[0]->text(), QStringLiteral("ORTH"));
        u->t_UM[1]->setText(QStringLiteral("Orthopédie"));
        QTest::mouseClick(u->OKButton, Qt::LeftButton);
    };
    const QPoint orth = l->visualItemRect(l->currentItem()).center();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, orth);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, orth);
    QCOMPARE(p.titre, QStringLiteral("Modification unité médicale"));
    QVERIFY(!p.resteOuvert);
    QVERIFY(p.messages.journal().empty());
    QCOMPARE(accesDonnees.getLibelleUniteMedicale(QStringLiteral("ORTH")),
             QStringLiteral("ORTHOPÉDIE"));
    // Deleted: the question counts its doctors, who keep it.
    p.selectionner(l, QStringLiteral("ORTH"), 0);
    p.fenetre->suppUM();
    QCOMPARE(p.messages.textes(),
             QStringList{"Voulez-vous vraiment supprimer l'unité médicale sélectionnée ? 1 "
                         "médecin y est rattaché."});
    QCOMPARE(p.colonneListe(l, 0), (QStringList{"ANES", "NEURO", "VISC"}));
    QCOMPARE(p.courant(l, 0), QStringLiteral("VISC"));
    QCOMPARE(p.compter("SELECT count(*) FROM Medecin WHERE MED_UM = 'ORTH'"), 1LL);
}

void TestGestionUtilisateurs::tri() {
    Poste p;
    const char* noms[][3] = {{"ZOE", "ZOÉ", "2025-12-31"},
                             {"ELODIE", "ÉLODIE", "2026-02-01"},
                             {"EMMA", "emma", "2024-06-15"},
                             {"AA", "DAVID", "2026-01-10"}};
    for (auto& n : noms) {
        p.base.executer(QStringLiteral("INSERT INTO Utilisateur (UTI_LOGIN, UTI_GROUP, "
                                       "UTI_CREATE) VALUES ('%1', 'MEDECIN', '%2')")
                            .arg(QLatin1String(n[0]), QLatin1String(n[2])));
        p.base.executer(QStringLiteral("INSERT INTO Medecin (MED_CODE, MED_LIB, MED_CODEUTI) "
                                       "SELECT '%1', '%2', UTI_CODE FROM Utilisateur WHERE "
                                       "UTI_LOGIN = '%1'")
                            .arg(QLatin1String(n[0]), QString::fromUtf8(n[1])));
    }
    for (int i = 0; i < 5; ++i) // codes up to 14
        p.base.ajouterUtilisateur(QStringLiteral("U%1").arg(i), QStringLiteral("X"),
                                  QStringLiteral("DIM"));
    p.fenetre->remplirUtilisateurs();
    QTreeWidget* l = p.fenetre->LV_Users;
    QHeaderView* entete = l->header();
    const auto cliquer = [&](int c) {
        QTest::mouseClick(entete->viewport(), Qt::LeftButton, {},
                          QPoint(entete->sectionViewportPosition(c) + 5, entete->height() / 2));
    };
    cliquer(2); // names, French order, empty first
    QCOMPARE(p.colonneListe(l, 2).mid(l->topLevelItemCount() - 7),
             (QStringList{"BERNARD PAUL", "DAVID", "ÉLODIE", "emma", "LEROY ANNE", "MARTIN CLAIRE",
                          "ZOÉ"}));
    cliquer(0); // codes as numbers
    QStringList codes = p.colonneListe(l, 0);
    QCOMPARE(codes.first(), QStringLiteral("1"));
    QCOMPARE(codes.last(), QStringLiteral("14"));
    QCOMPARE(codes.indexOf("2") + 1, codes.indexOf("3"));
    cliquer(0); // a second click keeps the order
    QCOMPARE(p.colonneListe(l, 0), codes);
    cliquer(6); // dates as dates, before the demonstration accounts' day, then after
    QStringList dates = p.colonneListe(l, 6);
    QCOMPARE(dates.mid(0, 5), QStringList(5, QString())); // no date first
    dates = dates.mid(5);
    QCOMPARE(dates.first(), QStringLiteral("15/06/2024"));
    QCOMPARE(dates.mid(1, 1), QStringList{"31/12/2025"});
    QCOMPARE(dates.last(), QStringLiteral("01/02/2026"));
    // A refill keeps the order chosen, and selects the first row.
    p.fenetre->remplirUtilisateurs();
    QCOMPARE(p.colonneListe(l, 6).last(), QStringLiteral("01/02/2026"));
    QCOMPARE(l->currentItem(), l->topLevelItem(0));
}

void TestGestionUtilisateurs::administrateurCreeUnMedecin() {
    reinitialiserEtatGlobal();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTemporaryDir dossier;
    Parametres::redirigerVers(dossier.filePath(QStringLiteral("t.ini")));
    BaseDeTest base(true);
    MessagesScriptes messages;
    auto principale = std::make_unique<f_principale>();
    principale->show();
    PiloteConnexion pilote;
    pilote.connecter(QStringLiteral("admin"), QStringLiteral("admin"), base.chemin());
    principale->afficherConnexion();
    QVERIFY(principale->m_admin->menuAction()->isVisible());

    // Units: a new one.
    principale->m_a_UM->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* f = qobject_cast<f_utilisateurs*>(principale->fenetreActive());
    QVERIFY(f);
    QCOMPARE(int(contexteCourant), 5);
    QCOMPARE(f->ongletAffiche(), 2);
    pilote.avantSaisie = [](QDialog* d) {
        auto* u = qobject_cast<d_UM*>(d);
        QVERIFY(u);
        u->show();
        u->t_UM[0]->setText(QStringLiteral("neuro"));
        u->t_UM[1]->setText(QStringLiteral("neurologie"));
        QTest::mouseClick(u->OKButton, Qt::LeftButton);
    };
    QTest::mouseClick(f->Command2, Qt::LeftButton);
    QVERIFY(!f->LV_UM->findItems(QStringLiteral("NEURO"), Qt::MatchExactly, 0).isEmpty());

    // Users, through the main window's pop-up menu: a doctor in that unit.
    f->TS_admin->setCurrentIndex(0);
    QTreeWidget* l = f->LV_Users;
    QTest::mouseClick(l->viewport(), Qt::RightButton, {},
                      l->visualItemRect(l->topLevelItem(0)).center());
    QVERIFY(principale->m_uti->isVisible());
    principale->m_uti->hide();
    pilote.avantSaisie = [](QDialog* d) {
        auto* u = qobject_cast<d_utilisateur*>(d);
        QVERIFY(u);
        u->show();
        saisir(u, {"dupont", "secret", "secret", "j.dupont@exemple.fr", "MEDECIN", "jdupont",
                   "Dupont Jean", "NEURO", 0});
        QTest::mouseClick(u->OKButton, Qt::LeftButton);
    };
    principale->m_ajoutUti->trigger();
    const auto trouves = l->findItems(QStringLiteral("DUPONT"), Qt::MatchExactly, 1);
    QCOMPARE(trouves.size(), 1);
    QCOMPARE(trouves.front()->text(4), QStringLiteral("NEURO"));
    QVERIFY(messages.journal().empty());

    // Back to the DIM window, then the new doctor logs in.
    principale->boutonBarreOutils(QStringLiteral("b_retour"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(int(contexteCourant), 2);
    QVERIFY(principale->fenetreOuverte<f_ThesaurusDIM>());
    pilote.avantSaisie = nullptr;
    pilote.connecter(QStringLiteral("dupont"), QStringLiteral("secret"), base.chemin());
    principale->changerUtilisateur();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(int(contexteCourant), 3);
    QVERIFY(medecinCourant);
    QCOMPARE(medecinCourant->code, QStringLiteral("JDUPONT"));
    QCOMPARE(medecinCourant->UM, QStringLiteral("NEURO"));
    f_thesaurusMED* med = principale->fenetreOuverte<f_thesaurusMED>();
    QVERIFY(med);
    // His thesaurus is empty: the tree holds his own node only.
    QTreeWidget* arbre = med->ctr_ThesMED1->TV_ThesMED;
    QCOMPARE(arbre->topLevelItemCount(), 1);
    QCOMPARE(arbre->topLevelItem(0)->childCount(), 0);
    QVERIFY(messages.journal().empty());

    principale.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Parametres::redirigerVers(QString());
    reinitialiserEtatGlobal();
    QLocale::setDefault(QLocale::c());
}

// Pictures of both tabs and both dialogs, to be looked at: written only
// when TARVENOR_CAPTURES names a folder (run under xvfb-run with
// QT_QPA_PLATFORM=xcb for the real fonts).
void TestGestionUtilisateurs::captures() {
    const QString dossier = qEnvironmentVariable("TARVENOR_CAPTURES");
    if (dossier.isEmpty())
        QSKIP("TARVENOR_CAPTURES is not set");
    Poste p;
    p.fenetre->resize(1000, 560);
    p.fenetre->afficher(1);
    QTest::qWait(50);
    QVERIFY(p.fenetre->grab().save(dossier + "/utilisateurs.png"));
    p.fenetre->afficher(2);
    QTest::qWait(50);
    QVERIFY(p.fenetre->grab().save(dossier + "/unites.png"));
    p.pilote = [&](QDialog* d) {
        QTest::qWait(50);
        QVERIFY(d->grab().save(dossier + "/" + d->objectName() + ".png"));
    };
    p.selectionner(p.fenetre->LV_Users, QStringLiteral("MARTIN"), 1);
    p.fenetre->afficheFenetreModifUti();
    p.selectionner(p.fenetre->LV_UM, QStringLiteral("ORTH"), 0);
    p.fenetre->afficheFenetreModifUM();

    // The main window of ADMIN in screen mode 5, with its "retour" button.
    QTemporaryDir parametres;
    Parametres::redirigerVers(parametres.filePath(QStringLiteral("t.ini")));
    auto principale = std::make_unique<f_principale>();
    principale->show();
    {
        PiloteConnexion pilote;
        pilote.connecter(QStringLiteral("ADMIN"), QStringLiteral("ADMIN"), p.base.chemin());
        principale->afficherConnexion();
    }
    principale->m_a_uti->trigger();
    QTest::qWait(100);
    QVERIFY(principale->grab().save(dossier + "/principale.png"));
    principale.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Parametres::redirigerVers(QString());
}

QTEST_MAIN(TestGestionUtilisateurs)
#include "tst_gestionUtilisateurs.moc"
