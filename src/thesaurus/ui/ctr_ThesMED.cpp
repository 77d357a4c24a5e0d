#include "ctr_ThesMED.h"

#include "AccesDonnees.h"
#include "ChoixFichier.h"
#include "CopieThesaurusUM.h"
#include "EchangeThesaurus.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Progression.h"
#include "QtArbreThesaurus.h"
#include "QtClavierListes.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"
#include "d_ajoutActeThe.h"
#include "d_newCategorie.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <cmath>

namespace {

constexpr int kRoleCle = roleCleNoeud;
// Images of the tree, as numbered in the image list.
constexpr int kImageMedecin = 1;
constexpr int kImageCategorie = 2;
constexpr int kImageActe = 3;

} // namespace

ctr_ThesMED::ctr_ThesMED(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctr_ThesMED"));
    TV_ThesMED = new QTreeWidget(this);
    TV_ThesMED->setObjectName(QStringLiteral("TV_ThesMED"));
    TV_ThesMED->setHeaderHidden(true);
    TV_ThesMED->setColumnCount(1);
    TV_ThesMED->setIconSize(QSize(16, 16));
    // Long act labels are shown whole: the tree scrolls sideways.
    TV_ThesMED->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TV_ThesMED->header()->setStretchLastSection(false);
    TV_ThesMED->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TV_ThesMED->setContextMenuPolicy(Qt::PreventContextMenu);
    TV_ThesMED->viewport()->installEventFilter(this);
    TV_ThesMED->installEventFilter(this);

    Command1 = new QPushButton(QStringLiteral("Importer le thésaurus"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Ajouter des actes"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command3 = new QPushButton(QStringLiteral("Ajouter des catégories"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command4 = new QPushButton(QStringLiteral("Ajouter le thésaurus de l'UM"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command2->setEnabled(false);

    m_TheMED = new QMenu(this);
    m_TheMED->setObjectName(QStringLiteral("m_TheMED"));
    auto action = [this](const char* nom, const QString& texte) {
        QAction* a = m_TheMED->addAction(texte);
        a->setObjectName(QString::fromLatin1(nom));
        return a;
    };
    m_ajoutPanier = action("m_ajoutPanier", QStringLiteral("Sélectionner cet acte"));
    m_ajoutActe = action("m_ajoutActe", QStringLiteral("Ajouter un acte"));
    m_suppActe = action("m_suppActe", QStringLiteral("Supprimer l'acte"));
    m_ajoutCat = action("m_ajoutCat", QStringLiteral("Ajouter une catégorie"));
    m_suppCat = action("m_suppCat", QStringLiteral("Supprimer la catégorie"));
    m_modifCat = action("m_modifCat", QStringLiteral("Renommer la catégorie"));

    auto* grille = new QGridLayout(this);
    grille->setContentsMargins(0, 0, 0, 0);
    // The buttons stand above the tree, so that a workspace shorter than the
    // window never hides them.
    grille->addWidget(Command3, 0, 0);
    grille->addWidget(Command2, 0, 1);
    grille->addWidget(Command1, 1, 0);
    grille->addWidget(Command4, 1, 1);
    grille->addWidget(TV_ThesMED, 2, 0, 1, 2);
    grille->setRowStretch(2, 1);

    connect(Command1, &QPushButton::clicked, this, [this] { importerTH(); });
    connect(Command4, &QPushButton::clicked, this, [this] { ajoutThUM(); });
    connect(Command2, &QPushButton::clicked, this, [this] { ajouterActes(); });
    connect(m_ajoutActe, &QAction::triggered, this, [this] { ajouterActes(); });
    connect(Command3, &QPushButton::clicked, this, [this] { ajouterCategorie(); });
    connect(m_ajoutCat, &QAction::triggered, this, [this] { ajouterCategorie(); });
    connect(m_ajoutPanier, &QAction::triggered, this, &ctr_ThesMED::ajoutPanierDemande);
    connect(m_modifCat, &QAction::triggered, this, [this] { renommer(); });
    connect(m_suppActe, &QAction::triggered, this, [this] { supprimerActe(); });
    connect(m_suppCat, &QAction::triggered, this, [this] { supprimerCategorie(); });
    // The selected node is the picked one, whatever selected it (mouse, any
    // moving key, a redraw, a deletion): the details follow the selection.
    connect(TV_ThesMED, &QTreeWidget::itemSelectionChanged, this,
            [this] { choisirNoeud(TV_ThesMED->currentItem()); });
    connect(TV_ThesMED, &QTreeWidget::itemPressed, this,
            [this](QTreeWidgetItem* n) { cliquerNoeud(n); });
    // A double click on an act runs "Sélectionner cet acte", as Enter does.
    connect(TV_ThesMED, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* n) {
        if (panierPermis(n))
            m_ajoutPanier->trigger();
    });
    connect(TV_ThesMED, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* n) { libelleModifie(n); });
}

ctr_ThesMED::~ctr_ThesMED() = default;

QString ctr_ThesMED::cleNoeud(const QTreeWidgetItem* noeud) {
    return cleNoeudArbre(noeud);
}

QList<QTreeWidgetItem*> ctr_ThesMED::noeuds() const {
    return noeudsArbre(TV_ThesMED);
}

// ------------------------------------------------------------------ drawing

void ctr_ThesMED::afficher(const std::shared_ptr<Medecin>& a_medecin) {
    if (a_medecin)
        changerMedecinCourant(a_medecin);
    // The import and unit-copy buttons belong to the DIM window's doctor tab.
    const bool ongletMedecinDIM = fenetreDuMode(contexteCourant) == FenetreMode::ThesaurusDIM;
    Command1->setVisible(ongletMedecinDIM);
    Command4->setVisible(ongletMedecinDIM);
    dessiner();
}

QTreeWidgetItem* ctr_ThesMED::ajouterNoeud(QTreeWidgetItem* parent, const QString& cle,
                                           const QString& texte, int image) {
    if (m_noeuds.contains(cle))
        return nullptr;
    auto* n = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TV_ThesMED);
    n->setData(0, kRoleCle, cle);
    n->setText(0, texte);
    n->setToolTip(0, texte);
    n->setIcon(0, iconeNoeudThesaurus(image));
    // Only category labels can be edited.
    if (image == kImageCategorie)
        n->setFlags(n->flags() | Qt::ItemIsEditable);
    m_noeuds.insert(cle, n);
    return n;
}

void ctr_ThesMED::dessiner() {
    const QSignalBlocker bloque(TV_ThesMED);
    TV_ThesMED->clear();
    m_noeuds.clear();
    // Without a doctor, no command has anyone to act on.
    Command1->setEnabled(bool(medecinCourant));
    Command3->setEnabled(bool(medecinCourant));
    if (!medecinCourant) {
        activerAjoutThUM(false);
        choisirNoeud(nullptr);
        return;
    }
    const Medecin& med = *medecinCourant;
    QTreeWidgetItem* racine =
        ajouterNoeud(nullptr, "N" + med.code,
                     "Thésaurus du médecin : " + med.code + " - " + med.libelle, kImageMedecin);
    for (const Categorie& cat : med.listeCat) {
        const QString codeCat = QString::number(cat.code);
        QTreeWidgetItem* noeudCat =
            ajouterNoeud(racine, "C" + codeCat, cat.libelle, kImageCategorie);
        if (!noeudCat)
            continue;
        for (const Acte& acte : cat.listeActes) {
            QTreeWidgetItem* n =
                ajouterNoeud(noeudCat, "A" + codeCat + " - " + acte.code + " - " + acte.activite,
                             texteNoeudActe(acte), kImageActe);
            if (acte.retire)
                marquerActeRetire(n);
        }
        noeudCat->setExpanded(true);
    }
    racine->setExpanded(true);
    // A doctor can copy his unit's thesaurus only into an empty thesaurus.
    activerAjoutThUM(med.listeCat.isEmpty());
    const QList<QTreeWidgetItem*> tous = noeuds();
    selectionner(tous.size() >= 2 ? tous.at(1) : tous.value(0));
}

void ctr_ThesMED::selectionner(QTreeWidgetItem* noeud) {
    {
        const QSignalBlocker bloque(TV_ThesMED);
        TV_ThesMED->setCurrentItem(noeud);
    }
    choisirNoeud(TV_ThesMED->currentItem());
}

void ctr_ThesMED::annoncerSelection() {
    choisirNoeud(TV_ThesMED->currentItem());
}

void ctr_ThesMED::ajoutCategorie(const QString& a_lib) {
    dessiner();
    for (QTreeWidgetItem* n : noeuds())
        if (n->text(0) == a_lib) {
            selectionner(n);
            break;
        }
}

void ctr_ThesMED::ajoutActe(long a_cat) {
    dessiner();
    // The whole category code and its separator: "A1" alone would also match
    // an act of category 12, or an act code holding "A1" ("HHFA1...").
    const QString debut = "A" + QString::number(a_cat) + " - ";
    for (QTreeWidgetItem* n : noeuds())
        if (cleNoeud(n).startsWith(debut)) {
            selectionner(n);
            break;
        }
}

void ctr_ThesMED::activerAjoutThUM(bool actif) {
    Command4->setEnabled(actif);
    emit ajoutThUMPossible(actif);
}

void ctr_ThesMED::majCommande2(const QTreeWidgetItem* noeud) {
    const QChar g = genreNoeud(noeud);
    Command2->setEnabled(g == 'C' || g == 'A');
}

// ------------------------------------------------------------------ clicks

bool ctr_ThesMED::eventFilter(QObject* objet, QEvent* evenement) {
    lireGesteArbre(TV_ThesMED, objet, evenement, m_bouton, m_positionClic);
    if (objet == TV_ThesMED && evenement->type() == QEvent::KeyPress && medecinCourant) {
        // Enter on an act runs "Sélectionner cet acte"; the Menu key and
        // Shift+F10 open the node's pop-up at the node.
        QTreeWidgetItem* noeud = TV_ThesMED->currentItem();
        switch (toucheLigne(static_cast<QKeyEvent*>(evenement))) {
        case ToucheLigne::Valider:
            if (!panierPermis(noeud))
                break;
            m_ajoutPanier->trigger();
            return true;
        case ToucheLigne::Menu:
            if (noeud)
                montrerMenu(noeud, positionMenuLigne(TV_ThesMED, TV_ThesMED->currentIndex()));
            return true;
        case ToucheLigne::Aucune:
            break;
        }
    }
    return QWidget::eventFilter(objet, evenement);
}

bool ctr_ThesMED::panierPermis(const QTreeWidgetItem* noeud) const {
    return genreNoeud(noeud) == 'A' && contexteCourant == ModeEcran::EspaceMedecin &&
           !m_acte.estVide() && TV_ThesMED->currentItem() == noeud;
}

void ctr_ThesMED::choisirNoeud(QTreeWidgetItem* noeud) {
    const QChar g = genreNoeud(noeud);
    CurseurOccupe sablier;
    m_acte = ActeChoisi{};
    if (medecinCourant && g == 'A' && noeud->childCount() == 0) {
        // An act the loaded version lacks is picked too: the details pane
        // says why it shows nothing, and the basket refuses it with its
        // message.
        const QString cle = cleNoeud(noeud);
        m_acte = ActeChoisi{extraireMilieu(cle), extraireFin(cle), {}};
    }
    if (m_acte.estVide())
        oublierActeCourant();
    else
        choisirActeCourant(m_acte);
    majCommande2(noeud);
    emit acteChoisi(m_acte.code);
}

void ctr_ThesMED::cliquerNoeud(QTreeWidgetItem* noeud) {
    if (!noeud || !medecinCourant)
        return;
    // The press has selected the node, which picked it; a press on the node
    // already selected picks it again.
    if (TV_ThesMED->currentItem() != noeud)
        selectionner(noeud);
    if (m_bouton == 2)
        montrerMenu(noeud, m_positionClic);
}

void ctr_ThesMED::montrerMenu(QTreeWidgetItem* noeud, const QPoint& position) {
    const QChar g = genreNoeud(noeud);
    for (QAction* a : {m_suppActe, m_suppCat, m_modifCat, m_ajoutActe, m_ajoutPanier})
        a->setVisible(false);
    if (g == 'A') {
        m_suppActe->setVisible(true);
        m_ajoutActe->setVisible(true);
        m_ajoutPanier->setVisible(contexteCourant == ModeEcran::EspaceMedecin);
    } else if (g == 'C') {
        m_suppCat->setVisible(true);
        m_modifCat->setVisible(true);
        m_ajoutActe->setVisible(true);
    } else if (g != 'N') {
        return;
    }
    if (TV_ThesMED->topLevelItemCount() > 0)
        m_TheMED->popup(position);
}

// ------------------------------------------------------------------ commands

void ctr_ThesMED::ajouterCategorie() {
    if (!medecinCourant)
        return;
    d_newCategorie dialogue(this);
    dialogue.lien = medecinCourant->code;
    dialogue.type = 2;
    connect(&dialogue, &d_newCategorie::categorieCreee, this,
            &ctr_ThesMED::rafraichirApresCategorie);
    executerModal(&dialogue);
}

void ctr_ThesMED::ajouterActes() {
    if (!medecinCourant)
        return;
    QTreeWidgetItem* n = TV_ThesMED->currentItem();
    if (genreNoeud(n) == 'A')
        n = n->parent();
    else if (genreNoeud(n) != 'C')
        return;
    long categorie = 0;
    if (!codeCategorieNoeud(n, categorie))
        return;
    d_ajoutActeThe dialogue(this);
    connect(&dialogue, &d_ajoutActeThe::acteAjoute, this, &ctr_ThesMED::rafraichirApresActe);
    dialogue.afficher(categorie, medecinCourant->code, 2);
}

void ctr_ThesMED::renommer() {
    QTreeWidgetItem* n = TV_ThesMED->currentItem();
    if (genreNoeud(n) == 'C')
        TV_ThesMED->editItem(n);
}

void ctr_ThesMED::libelleModifie(QTreeWidgetItem* noeud) {
    long code = 0;
    if (genreNoeud(noeud) != 'C' || !codeCategorieNoeud(noeud, code) || !medecinCourant)
        return;
    Categorie* cat = medecinCourant->getCategorie(code);
    const QString texte = noeud->text(0);
    if (texte.isEmpty()) {
        // An empty label changes nothing: the old one comes back.
        const QSignalBlocker bloque(TV_ThesMED);
        noeud->setText(0, cat ? cat->libelle : QString());
        return;
    }
    accesCCAM.modifLibelleCategorie(code, texte);
    if (cat)
        cat->libelle = texte;
}

void ctr_ThesMED::retirerNoeud(QTreeWidgetItem* noeud) {
    for (int i = 0; i < noeud->childCount(); ++i)
        m_noeuds.remove(cleNoeud(noeud->child(i)));
    m_noeuds.remove(cleNoeud(noeud));
    // The node picks nothing while it goes: the next selection is made and
    // announced once it is gone.
    const QSignalBlocker bloque(TV_ThesMED);
    delete noeud;
}

void ctr_ThesMED::selectionnerApresSuppression(int index) {
    const QList<QTreeWidgetItem*> tous = noeuds();
    selectionner(index >= 0 && index < tous.size() ? tous.at(index) : tous.value(0));
}

void ctr_ThesMED::supprimerActe() {
    QTreeWidgetItem* n = TV_ThesMED->currentItem();
    if (genreNoeud(n) != 'A' || m_acte.estVide() || !medecinCourant)
        return;
    if (!confirmerSuppressionActe())
        return;
    const int index = noeuds().indexOf(n);
    QTreeWidgetItem* parent = n->parent();
    long categorie = 0;
    if (!codeCategorieNoeud(parent, categorie))
        return;
    const QString code = extraireMilieu(cleNoeud(n));
    accesCCAM.suppActeTheserus(categorie, code, extraireFin(cleNoeud(n)));
    // Every row of that code in the category is gone from the table, whatever
    // its activity: the same goes for memory and the tree, so that nothing
    // shows an act that is no longer there.
    for (int i = parent->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* frere = parent->child(i);
        if (extraireMilieu(cleNoeud(frere)) != code)
            continue;
        medecinCourant->supprimerActe(categorie, code, extraireFin(cleNoeud(frere)));
        retirerNoeud(frere);
    }
    selectionnerApresSuppression(index);
}

void ctr_ThesMED::supprimerCategorie() {
    QTreeWidgetItem* n = TV_ThesMED->currentItem();
    long code = 0;
    if (genreNoeud(n) != 'C' || !codeCategorieNoeud(n, code) || !medecinCourant)
        return;
    if (!confirmerSuppressionCategorie())
        return;
    const int index = noeuds().indexOf(n);
    accesCCAM.suppCatTheserus(code);
    medecinCourant->supprimerCat(code);
    activerAjoutThUM(medecinCourant->listeCat.isEmpty());
    retirerNoeud(n);
    selectionnerApresSuppression(index);
}

void ctr_ThesMED::ajoutThUM() {
    if (!medecinCourant)
        return;
    // The window keeps repainting during the copy, but takes no command.
    InterfaceVerrouillee verrou;
    setEnabled(false);
    const Resultat resultat = copierThesaurusUM(*medecinCourant);
    setEnabled(true);
    signaler(resultat);
    dessiner();
}

void ctr_ThesMED::importerTH() {
    if (!medecinCourant)
        return;
    if (!confirmerRemplacementThesaurus(noeuds().size() > 1))
        return;
    const QString fichier = choisirFichierImportThesaurus();
    if (fichier.isEmpty())
        return;
    {
        InterfaceVerrouillee verrou;
        setEnabled(false);
        // The file is checked before the old thesaurus is deleted, and the
        // replacement is all or nothing.
        remplacerThesaurusParFichier(fichier, medecinCourant->code, 2);
        setEnabled(true);
    }
    medecinCourant->remplirThesaurusMED();
    dessiner();
}

// ------------------------------------------------------------------ refresh

void ctr_ThesMED::rafraichirApresCategorie(const QString& a_lib) {
    if (medecinCourant)
        medecinCourant->remplirThesaurusMED();
    ajoutCategorie(a_lib);
}

void ctr_ThesMED::rafraichirApresActe(long a_cat) {
    if (medecinCourant)
        medecinCourant->remplirThesaurusMED();
    ajoutActe(a_cat);
}
