#include "d_dossier.h"

#include "DR_dossier.h"
#include "Messages.h"
#include "Panier.h"
#include "PreparationDossier.h"
#include "QtPanier.h"

#include <QDateEdit>
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

d_dossier::d_dossier(Panier& a_panier, QWidget* parent) : QDialog(parent), m_panier(a_panier) {
    setObjectName(QStringLiteral("d_dossier"));
    setWindowTitle(QStringLiteral("Dossier"));
    auto creerTexte = [this](const char* nom) {
        auto* t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(nom));
        return t;
    };
    t_nom = creerTexte("t_nom");
    t_prenom = creerTexte("t_prenom");
    t_hospi = creerTexte("t_hospi");
    const QDateTime maintenant = QDateTime::currentDateTime();
    DT_date = new QDateEdit(maintenant.date(), this);
    DT_date->setObjectName(QStringLiteral("DT_date"));
    DT_date->setCalendarPopup(true);
    DT_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    DT_heure = new QTimeEdit(maintenant.time(), this);
    DT_heure->setObjectName(QStringLiteral("DT_heure"));
    DT_heure->setDisplayFormat(QStringLiteral("HH:mm"));
    b_apercu = new QPushButton(QStringLiteral("Aperçu..."), this);
    b_apercu->setObjectName(QStringLiteral("b_apercu"));
    b_imprimer = new QPushButton(QStringLiteral("Imprimer"), this);
    b_imprimer->setObjectName(QStringLiteral("b_imprimer"));
    b_fermer = new QPushButton(QStringLiteral("Fermer"), this);
    b_fermer->setObjectName(QStringLiteral("b_fermer"));

    auto* champs = new QFormLayout;
    champs->addRow(QStringLiteral("&Nom du patient :"), t_nom);
    champs->addRow(QStringLiteral("&Prénom :"), t_prenom);
    champs->addRow(QStringLiteral("N° &Hospitalisation :"), t_hospi);
    champs->addRow(QStringLiteral("&Date :"), DT_date);
    champs->addRow(QStringLiteral("H&eure :"), DT_heure);
    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(b_apercu);
    boutons->addWidget(b_imprimer);
    boutons->addWidget(b_fermer);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(champs);
    principal->addLayout(boutons);
    resize(420, sizeHint().height());

    for (QLineEdit* t : {t_nom, t_prenom})
        connect(t, &QLineEdit::editingFinished, this,
                [t] { t->setText(normaliserNom(t->text())); });
    connect(b_apercu, &QPushButton::clicked, this, [this] { apercuOuImpression(false); });
    connect(b_imprimer, &QPushButton::clicked, this, [this] { apercuOuImpression(true); });
    connect(b_fermer, &QPushButton::clicked, this, &d_dossier::reject);
}

void d_dossier::afficher() {
    t_nom->setFocus();
    executerAuCentre(*this);
}

qint16 d_dossier::preparerDossier() {
    const QLocale locale;
    return ::preparerDossier({t_nom->text(), t_prenom->text(), t_hospi->text(),
                              locale.toString(DT_date->date(), QLocale::ShortFormat),
                              locale.toString(DT_heure->time(), QLocale::ShortFormat)},
                             m_panier, m_dossier);
}

void d_dossier::apercuOuImpression(bool imprimer) {
    switch (preparerDossier()) {
    case DossierSansNom:
        afficherMessage(QStringLiteral("Vous devez saisir le nom du patient"),
                        QStringLiteral("Attention"), Icone::Exclamation, Boutons::Ok);
        t_nom->setFocus();
        return;
    case DossierSansPrenom:
        afficherMessage(QStringLiteral("Vous devez saisir le prénom du patient"),
                        QStringLiteral("Attention"), Icone::Exclamation, Boutons::Ok);
        t_prenom->setFocus();
        return;
    default:
        break;
    }
    if (imprimer)
        DR_dossier::instance().imprimer(m_dossier);
    else
        DR_dossier::instance().afficher(m_dossier);
}

void d_dossier::reject() {
    QDialog::reject();
    if (afficherMessage(QStringLiteral("Voulez-vous supprimer les actes sélectionnés ?"),
                        QStringLiteral("Vider le panier"), Icone::Question,
                        Boutons::OuiNon) == Reponse::Oui)
        m_panier.setListeActes({});
}
