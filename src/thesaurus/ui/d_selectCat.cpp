#include "d_selectCat.h"

#include "FenetresModales.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "d_ajoutActeThe.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

d_selectCat::d_selectCat(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_selectCat"));
    setWindowTitle(QStringLiteral("Sélectionnez la catégorie"));
    l_titre = new QLabel(
        QStringLiteral("Sélectionnez la catégorie à laquelle vous voulez ajouter l'acte :"), this);
    l_titre->setObjectName(QStringLiteral("l_titre"));
    l_listeCat = new QListWidget(this);
    l_listeCat->setObjectName(QStringLiteral("l_listeCat"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setEnabled(false);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(OKButton);
    boutons->addWidget(CancelButton);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(l_titre);
    principal->addWidget(l_listeCat, 1);
    principal->addLayout(boutons);
    resize(440, 300);

    // Only a category the user chose enables "OK": the list marks its first
    // row as current when it takes the focus, without choosing it.
    connect(l_listeCat, &QListWidget::itemSelectionChanged, this,
            [this] { OKButton->setEnabled(!l_listeCat->selectedItems().isEmpty()); });
    connect(l_listeCat, &QListWidget::itemDoubleClicked, this, [this] { valider(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { valider(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void d_selectCat::afficher(const QString& a_acte) {
    m_acte = a_acte;
    l_titre->setText(l_titre->text() + a_acte);
    if (!medecinCourant || medecinCourant->listeCat.isEmpty()) {
        afficherMessage(QStringLiteral("Vous devez créer une catégorie avant d'ajouter l'acte"),
                        QStringLiteral("Tarvenor"), Icone::Information);
        return;
    }
    l_listeCat->clear();
    for (const auto& categorie : medecinCourant->listeCat)
        l_listeCat->addItem(categorie.libelle);
    l_listeCat->setFocus();
    executerModal(this);
}

void d_selectCat::valider() {
    const QList<QListWidgetItem*> choisies = l_listeCat->selectedItems();
    const int ligne = choisies.isEmpty() ? -1 : l_listeCat->row(choisies.front());
    if (!medecinCourant || ligne < 0 || ligne >= medecinCourant->listeCat.size())
        return;
    const long categorie = medecinCourant->listeCat.at(ligne).code;
    if (!d_ajoutActeThe::insererSiAbsent(m_acte, categorie,
                                         medecinCourant->listeCat.at(ligne).libelle))
        return;
    accept();
    emit acteAjoute(categorie);
}
