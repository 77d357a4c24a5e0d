#include "d_connexion.h"

#include "Chiffrement.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "Parametres.h"
#include "f_ThesaurusDIM.h"
#include "f_principale.h"
#include "f_thesaurusMED.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

const QString d_connexion::filtreBase = QStringLiteral("Base de données access (*.mdb)|*.mdb");

namespace {
const QString titreAttention = QStringLiteral("Attention");
const QString debutChampsManquants = QStringLiteral(" Vous devez remplir le champ :");
} // namespace

d_connexion::d_connexion(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_connexion"));
    setWindowTitle(QStringLiteral("Connexion"));

    const char* libelles[] = {"Identifiant :", "Mot de passe :", "Ouvrir la base de données :"};
    auto* grille = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("t_connexion_%1").arg(i));
        e->installEventFilter(this);
        t_connexion[i] = e;
        auto* l = new QLabel(QString::fromUtf8(libelles[i]), this);
        l->setBuddy(e);
        grille->addWidget(l, i, 0);
    }
    t_connexion[1]->setEchoMode(QLineEdit::Password);
    t_connexion[2]->setMinimumWidth(300);

    Command2 = new QPushButton(QStringLiteral("..."), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Command2->setFixedWidth(Command2->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    grille->addWidget(t_connexion[0], 0, 1, 1, 2);
    grille->addWidget(t_connexion[1], 1, 1, 1, 2);
    grille->addWidget(t_connexion[2], 2, 1);
    grille->addWidget(Command2, 2, 2);
    grille->setColumnStretch(1, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Annuler"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(OKButton);
    boutons->addWidget(Command1);

    auto* cadre = new QVBoxLayout(this);
    cadre->addLayout(grille);
    cadre->addSpacing(8);
    cadre->addLayout(boutons);

    connect(OKButton, &QPushButton::clicked, this, &d_connexion::OKButton_Click);
    connect(Command1, &QPushButton::clicked, this, &d_connexion::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &d_connexion::Command2_Click);

    // Loading: remembered identifier and path, empty password, centred.
    t_connexion[0]->setText(Parametres::lire(Parametres::NomUtilisateur));
    t_connexion[2]->setText(Parametres::lire(Parametres::CheminBase, cheminDefaut));
    adjustSize();
    if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
        const QRect r = ecran->geometry();
        move(r.x() + (r.width() - width()) / 2, r.y() + (r.height() - height()) / 2);
    }
    // The password is what the user types first when an identifier is known.
    (t_connexion[0]->text().isEmpty() ? t_connexion[0] : t_connexion[1])->setFocus();
}

bool d_connexion::eventFilter(QObject* objet, QEvent* evenement) {
    if (evenement->type() == QEvent::FocusOut) {
        for (int i = 0; i < 3; ++i)
            if (objet == t_connexion[i])
                normaliser(i);
    }
    return QDialog::eventFilter(objet, evenement);
}

void d_connexion::normaliser(int index) {
    QLineEdit* e = t_connexion[index];
    // File names are case-sensitive here: the path is trimmed but keeps its
    // case, or a database in a folder with lower-case letters could never be
    // opened.
    e->setText(index == 2 ? e->text().trimmed() : e->text().trimmed().toUpper());
}

void d_connexion::Command2_Click() {
    const QString fichier =
        choisirFichierOuvrir(QStringLiteral("Ouvrir"), cheminDefaut, filtreBase);
    if (!fichier.isEmpty())
        t_connexion[2]->setText(fichier);
}

void d_connexion::Command1_Click() {
    reject();
}

void d_connexion::reject() {
    if (!m_termine) {
        m_termine = true;
        if (f_principale* f = f_principale::instance()) {
            f->m_f_connexion->setEnabled(true);
            f->desactiverToolBar();
        }
    }
    QDialog::reject();
}

void d_connexion::signalerChampIncorrect(const QString& message, int index) {
    afficherMessage(message, titreAttention, Icone::Exclamation);
    t_connexion[index]->selectAll();
    t_connexion[index]->setFocus();
}

void d_connexion::OKButton_Click() {
    // 1. Every box trimmed, identifier and password upper-cased: passwords
    // are case-insensitive.
    for (int i = 0; i < 3; ++i)
        normaliser(i);

    // 2. Mandatory fields (the password may be empty).
    QString message = debutChampsManquants;
    if (t_connexion[0]->text().isEmpty()) {
        message += QStringLiteral(" Identifiant");
        t_connexion[0]->setFocus();
    } else if (t_connexion[2]->text().isEmpty()) {
        message += QStringLiteral(" Base de données");
        t_connexion[2]->setFocus();
    }
    if (message.size() > debutChampsManquants.size()) {
        afficherMessage(message, titreAttention, Icone::Exclamation);
        return;
    }

    // 3, 4. The database.
    cheminBase = t_connexion[2]->text();
    if (!Data().ConnexionCorrecte()) {
        afficherMessage(QStringLiteral("la connexion à la base de données a échoué."),
                        titreAttention, Icone::Exclamation);
        return;
    }

    // 5. The user; a failed lookup (already reported) counts as unknown.
    RecordsetPtr rs = accesDonnees.getUtilisateurLogin(t_connexion[0]->text());
    if (!rs || rs->isEOF()) {
        signalerChampIncorrect(QStringLiteral("Identifiant incorrect"), 0);
        return;
    }

    // 6. Copy of the user's row.
    utilisateurCourant.p_code = long(rs->Fields(QStringLiteral("UTI_CODE")).toLongLong());
    utilisateurCourant.p_LOGIN = rs->Fields(QStringLiteral("UTI_LOGIN")).toString();
    utilisateurCourant.p_PWD = rs->Fields(QStringLiteral("UTI_PWD")).toString();
    utilisateurCourant.p_EMAIL = valeurTexte(rs->Fields(QStringLiteral("UTI_EMAIL")));
    utilisateurCourant.p_GROUP = valeurTexte(rs->Fields(QStringLiteral("UTI_GROUP")));

    // 7. The password, enciphered, compared exactly.
    if (crypter(t_connexion[1]->text(), cleChiffrement) != utilisateurCourant.p_PWD) {
        signalerChampIncorrect(QStringLiteral("Mot de passe incorrect"), 1);
        return;
    }

    // 8. Remembered only now, so that a failed login never replaces them.
    Parametres::ecrire(Parametres::CheminBase, cheminBase);
    Parametres::ecrire(Parametres::NomUtilisateur, utilisateurCourant.p_LOGIN);

    // 9.
    m_termine = true;
    accept();
    f_principale* principale = f_principale::instance();
    if (principale) {
        principale->m_f_connexion->setEnabled(false);
        principale->activerToolBar();
    }

    // 10. The doctor of a "MEDECIN" user, with his thesaurus.
    const QString& groupe = utilisateurCourant.p_GROUP;
    if (groupe == QLatin1String("MEDECIN"))
        chargerMedecin();

    // 11. The workspace of the group.
    if (groupe == QLatin1String("ADMIN")) {
        if (principale)
            principale->m_admin->menuAction()->setVisible(true);
        ouvrirEspaceDIM();
    } else if (groupe == QLatin1String("DIM")) {
        ouvrirEspaceDIM();
    } else if (groupe == QLatin1String("MEDECIN") && medecinCourant) {
        ouvrirEspaceMedecin();
    }
}

void d_connexion::chargerMedecin() {
    RecordsetPtr rs = accesDonnees.getMedecin(utilisateurCourant.p_code);
    medecinCourant = std::make_shared<Medecin>();
    // A user without a doctor row gets a doctor with empty fields.
    if (rs && !rs->isEOF()) {
        medecinCourant->code = valeurTexte(rs->Fields(QStringLiteral("MED_CODE")));
        medecinCourant->libelle = valeurTexte(rs->Fields(QStringLiteral("MED_LIB")));
        medecinCourant->CN = valeurTexte(rs->Fields(QStringLiteral("MED_CODEN")));
        medecinCourant->UM = valeurTexte(rs->Fields(QStringLiteral("MED_UM")));
        medecinCourant->activite = valeurTexte(rs->Fields(QStringLiteral("MED_ACT")));
    }
    medecinCourant->UTI = utilisateurCourant.p_code;
    medecinCourant->remplirThesaurusMED();
}

void d_connexion::ouvrirEspaceDIM() {
    contexteCourant = 2;
    f_principale* principale = f_principale::instance();
    if (!principale)
        return;
    principale->updateToolBar();
    hide();
    principale->ouvrirFenetre<f_ThesaurusDIM>();
    principale->redimentionner();
}

void d_connexion::ouvrirEspaceMedecin() {
    contexteCourant = 3;
    f_principale* principale = f_principale::instance();
    if (!principale)
        return;
    principale->updateToolBar();
    principale->m_thesaurus->menuAction()->setVisible(true);
    principale->ouvrirFenetre<f_thesaurusMED>();
    principale->redimentionner();
    hide();
}
