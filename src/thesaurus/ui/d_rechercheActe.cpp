#include "d_rechercheActe.h"

#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "QtDialogues.h"
#include "QtOngletsRecherche.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"
#include "ctr_Details.h"
#include "ctr_Hier.h"
#include "ctr_motCle.h"
#include "ctr_site.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>
#include <array>

namespace {
template <typename T> T* panneau(const char* nom, QWidget* parent) {
    auto* p = new T(parent);
    p->setObjectName(QString::fromLatin1(nom));
    return p;
}
} // namespace

d_rechercheActe::d_rechercheActe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_rechercheActe"));
    setWindowTitle(QStringLiteral("Recherche d'acte"));

    OngletsRecherche o = creerOngletsRecherche(
        this,
        {QStringLiteral("Recherche par mot clé"), QStringLiteral("Recherche par site anatomique"),
         QStringLiteral("Recherche hiérarchique")},
        QStringLiteral("TabStrip1"), QStringLiteral("fr_CCAM"));
    QWidget* gauche = o.cote;
    TabStrip1 = o.onglets;
    for (int i = 0; i < 3; ++i)
        fr_CCAM[i] = o.cadres.at(i);
    ctr_motCle1 = o.motCle;
    ctr_site1 = o.site;
    ctr_Hier1 = o.hier;
    ctr_Details1 = panneau<ctr_Details>("ctr_Details1", this);

    Label3 = new QLabel(QStringLiteral("&Catégorie :"), this);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Label3->setBuddy(Combo1);
    Command1 = new QPushButton(QStringLiteral("Ajouter les actes"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Fermer"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    const std::array<ctr_ListeActes*, 3> recherches{ctr_motCle1, ctr_site1, ctr_Hier1};
    for (int onglet = 0; onglet < 3; ++onglet)
        connect(recherches[onglet], &ctr_ListeActes::acteChoisi, this,
                [this, onglet](const QString& code) {
                    // A panel behind another tab does not speak for the details.
                    if (onglet == m_ongletCourant)
                        afficherDetails(code);
                });
    connect(Command1, &QPushButton::clicked, this, [this] { ajouterActes(); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    QSplitter* separation =
        creerSeparation(this, gauche, ctr_Details1, Parametres::SeparationRecherche);
    auto* bas = new QHBoxLayout;
    bas->addWidget(Label3);
    bas->addWidget(Combo1, 1);
    bas->addWidget(Command1);
    bas->addWidget(Command2);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(separation, 1);
    principal->addLayout(bas);
    // The three long captions show in full: the strip never scrolls.
    TabStrip1->setUsesScrollButtons(false);
    TabStrip1->setMinimumWidth(TabStrip1->sizeHint().width());
    tailleDansEcran(this, QSize(1100, 650));

    TabStrip1->setCurrentIndex(0);
    ongletChoisi(0);
    connect(TabStrip1, &QTabBar::currentChanged, this, [this](int i) { ongletChoisi(i); });
}

d_rechercheActe::~d_rechercheActe() {
    restaurerMode();
}

void d_rechercheActe::afficher(long a_categorie, const QString& a_Lien, int a_type) {
    // Mode 4 before the panels first show: they come up with tick boxes.
    if (!m_modeTenu) {
        m_modePrecedent = contexteCourant;
        m_modeTenu = true;
        changerContexte(ModeEcran::RechercheActe);
    }
    Combo1->clear();
    m_categories.clear();
    int choisie = -1;
    RecordsetPtr categories = accesCCAM.getCategoriesThesaurus(a_Lien, a_type);
    for (; categories && !categories->isEOF(); categories->MoveNext()) {
        const long code = categories->Fields(QStringLiteral("CT_CODE")).toLongLong();
        if (code == a_categorie)
            choisie = Combo1->count();
        Combo1->addItem(valeurTexte(categories->Fields(QStringLiteral("CT_LIB"))));
        m_categories << code;
    }
    Combo1->setCurrentIndex(choisie);
    // The user types a keyword first.
    ctr_motCle1->t_motCle->setFocus();
    executerModal(this);
    restaurerMode();
}

void d_rechercheActe::done(int resultat) {
    restaurerMode();
    QDialog::done(resultat);
}

void d_rechercheActe::restaurerMode() {
    if (!m_modeTenu)
        return;
    m_modeTenu = false;
    changerContexte(m_modePrecedent);
}

void d_rechercheActe::ongletChoisi(int index) {
    if (index < 0 || index == m_ongletCourant)
        return;
    montrerCadre({fr_CCAM[0], fr_CCAM[1], fr_CCAM[2]}, index);
    m_ongletCourant = index;
    // The details show what the tab now in front has selected, or nothing.
    ctr_ListeActes* const recherches[] = {ctr_motCle1, ctr_site1, ctr_Hier1};
    if (index < 3)
        recherches[index]->annoncerSelection();
    else
        afficherDetails(QString());
}

void d_rechercheActe::afficherDetails(const QString& a_code) {
    ctr_Details1->majDetails(a_code);
}

void d_rechercheActe::ajouterActes() {
    ctr_ListeActes* panneaux[] = {ctr_motCle1, ctr_site1, ctr_Hier1};
    if (m_ongletCourant < 0 || m_ongletCourant > 2)
        return;
    // Only the ticks of the tab shown count.
    const QList<LigneActe>* selection = panneaux[m_ongletCourant]->getListeActesSelectionnees();
    if (!selection || selection->isEmpty())
        return;
    QStringList codes;
    for (const LigneActe& l : *selection)
        codes << l.code;
    const int index = Combo1->currentIndex();
    const long categorie = index >= 0 && index < m_categories.size() ? m_categories.at(index) : -1;
    if (!signaler(ajouterActesCategorie(codes, categorie, Combo1->currentText())))
        return;
    emit actesAjoutes(categorie);
    accept();
}
