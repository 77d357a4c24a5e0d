#include "d_newCategorie.h"

#include "Globals.h"
#include "Messages.h"
#include "adCCAM.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

d_newCategorie::d_newCategorie(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_newCategorie"));
    setWindowTitle(QStringLiteral("Nouvelle catégorie"));
    Label1 = new QLabel(QStringLiteral("&Libellé de la catégorie : "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(260);
    Label1->setBuddy(Text1);
    Command1 = new QPushButton(QStringLiteral("Ajouter"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // A click on a button leaves the typed text as it is (only leaving the
    // box with the keyboard trims it), so the emptiness test sees what was
    // typed.
    for (QPushButton* b : {Command1, OKButton, CancelButton})
        b->setFocusPolicy(Qt::TabFocus);
    OKButton->setDefault(true);

    auto* saisie = new QHBoxLayout;
    saisie->addWidget(Label1);
    saisie->addWidget(Text1, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Command1);
    boutons->addStretch(1);
    boutons->addWidget(OKButton);
    boutons->addWidget(CancelButton);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(saisie);
    principal->addLayout(boutons);

    connect(Text1, &QLineEdit::editingFinished, this,
            [this] { Text1->setText(Text1->text().trimmed()); });
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (creer(QStringLiteral("Vous devez saisir le nom de cette catégorie."))) {
            Text1->clear();
            Text1->setFocus();
        }
    });
    connect(OKButton, &QPushButton::clicked, this, [this] {
        if (creer(QStringLiteral("Vous devez saisir le nom de cette catégorie")))
            accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Text1->setFocus();
}

bool d_newCategorie::creer(const QString& messageVide) {
    if (Text1->text().isEmpty()) {
        afficherMessage(messageVide, QStringLiteral("Attention"), Icone::Exclamation);
        Text1->setFocus();
        return false;
    }
    const QString libelle = Text1->text().trimmed();
    accesCCAM.insererCategorie(lien, libelle, type);
    emit categorieCreee(libelle);
    return true;
}
