#include "d_ajoutActeThe.h"

#include "AccesDonnees.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Messages.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"
#include "d_rechercheActe.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
// A magnifying glass for the search button.
QIcon iconeLoupe() {
    QPixmap p(20, 20);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(40, 40, 40), 2.2));
    g.setBrush(QColor(200, 225, 255));
    g.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    g.setPen(QPen(QColor(90, 60, 20), 3.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(12.5, 12.5), QPointF(17.5, 17.5));
    return QIcon(p);
}
} // namespace

d_ajoutActeThe::d_ajoutActeThe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_ajoutActeThe"));
    setWindowTitle(QStringLiteral("Ajout d'actes"));
    Label1 = new QLabel(QStringLiteral("&Catégorie :"), this);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(260);
    Label2 = new QLabel(QStringLiteral("Code de l'&acte :"), this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Command1 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setIcon(iconeLoupe());
    Command1->setToolTip(QStringLiteral("Rechercher des actes"));
    Command2 = new QPushButton(QStringLiteral("Ajouter"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    Label1->setBuddy(Combo1);
    Label2->setBuddy(Text1);

    auto* grille = new QGridLayout;
    grille->addWidget(Label1, 0, 0);
    grille->addWidget(Combo1, 0, 1, 1, 2);
    grille->addWidget(Label2, 1, 0);
    grille->addWidget(Text1, 1, 1);
    grille->addWidget(Command1, 1, 2);
    grille->setColumnStretch(1, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(Command2);
    boutons->addStretch(1);
    boutons->addWidget(OKButton);
    boutons->addWidget(CancelButton);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(grille);
    principal->addLayout(boutons);

    connect(Text1, &QLineEdit::textChanged, this, [this] { codeModifie(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int i) { categorieChoisie(i); });
    connect(OKButton, &QPushButton::clicked, this, [this] {
        if (ajouter())
            accept();
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (ajouter()) {
            Text1->clear();
            Text1->setFocus();
        }
    });
    connect(Command1, &QPushButton::clicked, this, [this] { rechercher(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void d_ajoutActeThe::afficher(long a_categorie, const QString& a_Lien, int a_type) {
    m_lien = a_Lien;
    m_type = a_type;
    Combo1->clear();
    m_categories = accesCCAM.getCategoriesThesaurus(a_Lien, a_type);
    int choisie = -1;
    if (m_categories) {
        for (int i = 0; i < m_categories->RecordCount(); ++i) {
            Combo1->addItem(valeurTexte(
                m_categories->valeurLigne(i, m_categories->indexChamp(QStringLiteral("CT_LIB")))));
            if (m_categories->valeurLigne(i, m_categories->indexChamp(QStringLiteral("CT_CODE")))
                        .toLongLong() == a_categorie &&
                choisie < 0)
                choisie = i;
        }
    }
    Combo1->setCurrentIndex(choisie);
    categorieChoisie(choisie);
    // The user types a code first; the category is usually the one given.
    Text1->setFocus();
    executerModal(this);
}

void d_ajoutActeThe::ajouterActe(const QString& a_code) {
    Text1->setText(a_code);
}

void d_ajoutActeThe::categorieChoisie(int index) {
    m_indexCategorie =
        (m_categories && index >= 0 && index < m_categories->RecordCount()) ? index : -1;
}

long d_ajoutActeThe::categorieCourante() const {
    if (m_indexCategorie < 0)
        return -1;
    return m_categories
        ->valeurLigne(m_indexCategorie, m_categories->indexChamp(QStringLiteral("CT_CODE")))
        .toLongLong();
}

void d_ajoutActeThe::codeModifie() {
    const QString code = Text1->text().toUpper().trimmed();
    if (code != Text1->text()) {
        const QSignalBlocker bloque(Text1);
        Text1->setText(code);
    }
    Text1->setCursorPosition(code.size());
    m_acte.reset();
    if (code.isEmpty())
        return;
    // The code goes into the SQL text quote-doubled: an apostrophe typed here
    // is looked up like any other character.
    RecordsetPtr rs = accesDonnees.getActe(code);
    if (rs && rs->RecordCount() > 0)
        m_acte = rs;
}

bool d_ajoutActeThe::ajouter() {
    if (!m_acte) {
        afficherMessage(QStringLiteral("Acte incorrect."), QStringLiteral("Erreur"),
                        Icone::Information);
        return false;
    }
    const long categorie = categorieCourante();
    if (categorie < 0) {
        afficherMessage(QStringLiteral("Vous devez choisir une catégorie."),
                        QStringLiteral("Attention"), Icone::Exclamation);
        return false;
    }
    if (!insererSiAbsent(Text1->text(), categorie, Combo1->currentText()))
        return false;
    emit acteAjoute(categorie);
    return true;
}

bool d_ajoutActeThe::insererSiAbsent(const QString& a_code, long a_categorie,
                                     const QString& a_libelle) {
    // Checked and written in one transaction: the category may have been
    // deleted by another copy of the program since the dialog opened.
    return signaler(ajouterActeCategorie(a_code, a_categorie, a_libelle));
}

void d_ajoutActeThe::rechercher() {
    // The search dialog takes over: the acts picked there go into the chosen
    // category of the same owner.
    m_rechercheCategorie = categorieCourante();
    reject();
    d_rechercheActe recherche(parentWidget());
    connect(&recherche, &d_rechercheActe::actesAjoutes, this, &d_ajoutActeThe::acteAjoute);
    recherche.afficher(m_rechercheCategorie, m_lien, m_type);
}
