#include "d_connexion.h"

#include "ChoixFichier.h"
#include "Globals.h"
#include "Messages.h"
#include "Parametres.h"
#include "Session.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

const QString d_connexion::filtreBase = QStringLiteral("Base de données access (*.mdb)|*.mdb");

d_connexion::d_connexion(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_connexion"));
    setWindowTitle(QStringLiteral("Connexion"));

    const char* libelles[] = {"&Identifiant :", "&Mot de passe :", "Ouvrir la &base de données :"};
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

    // The CCAM version of the remembered database, as the last login found
    // it: read from the settings, so that nothing opens the file before OK.
    l_version = new QLabel(this);
    l_version->setObjectName(QStringLiteral("l_version"));
    l_version->setWordWrap(true);

    auto* cadre = new QVBoxLayout(this);
    cadre->addLayout(grille);
    cadre->addWidget(l_version);
    cadre->addSpacing(8);
    cadre->addLayout(boutons);

    connect(OKButton, &QPushButton::clicked, this, &d_connexion::OKButton_Click);
    connect(Command1, &QPushButton::clicked, this, &d_connexion::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &d_connexion::Command2_Click);

    // Loading: remembered identifier and path, empty password, centred.
    t_connexion[0]->setText(Parametres::lire(Parametres::NomUtilisateur));
    t_connexion[2]->setText(Parametres::lire(Parametres::CheminBase, cheminDefaut));
    const auto majVersion = [this] {
        const QString version = Parametres::lire(Parametres::VersionCcam);
        const bool memeBase = t_connexion[2]->text().trimmed() ==
                              Parametres::lire(Parametres::CheminBase, cheminDefaut);
        l_version->setText(memeBase && !version.isEmpty()
                               ? QStringLiteral("CCAM chargée dans cette base à la dernière "
                                                "connexion : ") +
                                     version
                               : QString());
        l_version->setVisible(!l_version->text().isEmpty());
    };
    majVersion();
    connect(t_connexion[2], &QLineEdit::textChanged, this, majVersion);
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
        emit connexionAbandonnee();
    }
    QDialog::reject();
}

void d_connexion::signalerChampIncorrect(const QString& message, int index) {
    afficherMessage(message, QStringLiteral("Attention"), Icone::Exclamation);
    t_connexion[index]->selectAll();
    t_connexion[index]->setFocus();
}

void d_connexion::OKButton_Click() {
    // Every box trimmed, identifier and password upper-cased: passwords are
    // case-insensitive.
    for (int i = 0; i < 3; ++i)
        normaliser(i);
    const ResultatSession r =
        ouvrirSession(t_connexion[0]->text(), t_connexion[1]->text(), t_connexion[2]->text());
    if (!r.resultat.estFait()) {
        if (r.champ >= 0 && r.selectionner) {
            signalerChampIncorrect(r.resultat.message, r.champ);
        } else {
            if (r.champ >= 0)
                t_connexion[r.champ]->setFocus();
            signaler(r.resultat);
        }
        return;
    }
    m_termine = true;
    accept();
    emit sessionOuverte(r.mode);
}
