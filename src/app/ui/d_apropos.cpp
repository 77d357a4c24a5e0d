#include "d_apropos.h"

#include "Messages.h"
#include "SourcesRegles.h"
#include "VersionsCcam.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <sqlite3.h>

namespace {
const QString titreApplication = QStringLiteral("Tarvenor");
}

d_apropos::d_apropos(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_apropos"));
    setWindowTitle(QStringLiteral("À propos de ") + titreApplication);

    auto* image = new QLabel(this);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    image->setAlignment(Qt::AlignTop);

    lblTitle = new QLabel(titreApplication, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    lblTitle->setFont(f);
    lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3")
                                .arg(versionMajeure)
                                .arg(versionMineure)
                                .arg(versionRevision),
                            this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(
        QStringLiteral("Codage des actes médicaux dans la Classification commune des actes "
                       "médicaux (CCAM)."),
        this);
    description->setWordWrap(true);
    // The libraries the program runs with, as loaded (not as built).
    l_bibliotheques =
        new QLabel(QStringLiteral("Qt %1, SQLite %2")
                       .arg(QLatin1String(qVersion()), QLatin1String(sqlite3_libversion())),
                   this);
    l_bibliotheques->setObjectName(QStringLiteral("l_bibliotheques"));
    // The version of the classification loaded in the database.
    const QString version = versionCcamChargee();
    l_ccam = new QLabel(QStringLiteral("CCAM chargée : ") +
                            (version.isEmpty() ? QStringLiteral("version non enregistrée") : version),
                        this);
    l_ccam->setObjectName(QStringLiteral("l_ccam"));
    l_ccam->setWordWrap(true);
    // Where the rules of the loaded classification come from, as recorded by
    // its load: the user knows how far to trust a missing incompatibility.
    const QStringList sources = descriptionSourcesRegles();
    auto* regles = new QLabel(sources.isEmpty()
                                  ? QString()
                                  : QStringLiteral("Origine des règles de la CCAM chargée :\n- ") +
                                        sources.join(QStringLiteral("\n- ")),
                              this);
    regles->setObjectName(QStringLiteral("l_regles"));
    regles->setWordWrap(true);
    regles->setTextInteractionFlags(Qt::TextSelectableByMouse);
    regles->setVisible(!sources.isEmpty());
    l_licence = new QLabel(
        QStringLiteral("Logiciel libre sous licence GNU GPL, version 3 ou ultérieure, fourni sans "
                       "aucune garantie. Le texte de la licence est dans "
                       "/usr/share/common-licenses/GPL-3."),
        this);
    l_licence->setObjectName(QStringLiteral("l_licence"));
    l_licence->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&Infos système..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &d_apropos::afficherInfosSysteme);

    auto* textes = new QVBoxLayout;
    textes->addWidget(lblTitle);
    textes->addWidget(lblVersion);
    textes->addSpacing(8);
    textes->addWidget(description);
    textes->addWidget(l_bibliotheques);
    textes->addWidget(l_ccam);
    textes->addWidget(regles);
    textes->addSpacing(8);
    textes->addWidget(l_licence);
    textes->addStretch();
    auto* haut = new QHBoxLayout;
    haut->addWidget(image);
    haut->addSpacing(12);
    haut->addLayout(textes, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(cmdOK);
    boutons->addWidget(cmdSysInfo);
    auto* cadre = new QVBoxLayout(this);
    cadre->addLayout(haut);
    cadre->addSpacing(12);
    cadre->addLayout(boutons);
    setMinimumWidth(560);
}

void d_apropos::afficherInfosSysteme() {
    // This platform has no system information tool.
    afficherMessage(QStringLiteral("Les informations système ne sont pas disponibles actuellement"),
                    titreApplication, Icone::Aucune, Boutons::Ok);
}
