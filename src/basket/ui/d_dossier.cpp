#include "d_dossier.h"

#include "DR_dossier.h"
#include "Messages.h"
#include "Panier.h"
#include "PreparationDossier.h"
#include "QtChampsDossier.h"
#include "QtPanier.h"

#include <QDateEdit>
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
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
    DT_date = new ChampDate(maintenant.date(), this);
    DT_date->setObjectName(QStringLiteral("DT_date"));
    DT_date->setCalendarPopup(true);
    DT_date->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    DT_heure = new ChampHeure(maintenant.time(), this);
    DT_heure->setObjectName(QStringLiteral("DT_heure"));
    DT_heure->setDisplayFormat(QStringLiteral("HH:mm"));
    b_apercu = new QPushButton(QStringLiteral("Aperçu..."), this);
    b_apercu->setObjectName(QStringLiteral("b_apercu"));
    b_imprimer = new QPushButton(QStringLiteral("Imprimer"), this);
    b_imprimer->setObjectName(QStringLiteral("b_imprimer"));
    b_fermer = new QPushButton(QStringLiteral("Fermer"), this);
    b_fermer->setObjectName(QStringLiteral("b_fermer"));

    auto* champs = new QFormLayout;
    // Each box takes at most what the report's header prints whole (a longer
    // paste is cut); the count beside it shows how much it holds.
    const auto avecCompte = [this](QLineEdit* t, int maximum) {
        t->setMaxLength(maximum);
        auto* compte = new QLabel(this);
        compte->setObjectName(t->objectName() + QStringLiteral("_compte"));
        const auto montrer = [t, compte] {
            compte->setText(QStringLiteral("%1 / %2").arg(t->text().size()).arg(t->maxLength()));
        };
        connect(t, &QLineEdit::textChanged, compte, montrer);
        montrer();
        auto* rangee = new QHBoxLayout;
        rangee->addWidget(t, 1);
        rangee->addWidget(compte);
        return rangee;
    };
    // A box beside its count: the label's access key goes to the box.
    const auto rangee = [&](const QString& libelle, QLineEdit* t, int maximum) {
        auto* l = new QLabel(libelle, this);
        l->setBuddy(t);
        champs->addRow(l, avecCompte(t, maximum));
    };
    rangee(QStringLiteral("&Nom du patient :"), t_nom, longueurMaxNom);
    rangee(QStringLiteral("&Prénom :"), t_prenom, longueurMaxNom);
    rangee(QStringLiteral("N° &Hospitalisation :"), t_hospi, longueurMaxNumero);
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
    // A date or time typed that cannot be read is never replaced by another.
    if (!DT_date->lisible() || !DT_heure->lisible()) {
        const bool date = !DT_date->lisible();
        afficherMessage(messageDateIllisible, QStringLiteral("Attention"), Icone::Exclamation,
                        Boutons::Ok);
        QAbstractSpinBox* champ = date ? static_cast<QAbstractSpinBox*>(DT_date) : DT_heure;
        champ->setFocus();
        champ->selectAll();
        return;
    }
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
                        Boutons::OuiNonDefautNon) == Reponse::Oui)
        m_panier.setListeActes({});
}
