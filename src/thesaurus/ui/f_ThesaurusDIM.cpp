#include "f_ThesaurusDIM.h"

#include "AccesDonnees.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Progression.h"
#include "QtArbreThesaurus.h"
#include "QtListes.h"
#include "QtOngletsRecherche.h"
#include "Thesaurus.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"
#include "ctr_Details.h"
#include "ctr_Hier.h"
#include "ctr_ThesMED.h"
#include "ctr_motCle.h"
#include "ctr_site.h"
#include "d_actesARemplacer.h"
#include "d_ajoutActeThe.h"
#include "d_newCategorie.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The label a category node had when drawn or last renamed.
constexpr int roleLibelleEnregistre = roleCleNoeud + 1;

template <typename T> T* panneau(const char* nom, QWidget* parent) {
    auto* p = new T(parent);
    p->setObjectName(QString::fromLatin1(nom));
    return p;
}

} // namespace

f_ThesaurusDIM::f_ThesaurusDIM(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_ThesaurusDIM"));
    setWindowTitle(QStringLiteral("Thésaurus"));
    setAttribute(Qt::WA_DeleteOnClose);

    OngletsRecherche o =
        creerOngletsRecherche(this,
                              {QStringLiteral("Mots clés"), QStringLiteral("Site anatomique"),
                               QStringLiteral("Hiérarchie"), QStringLiteral("Thésaurus UM"),
                               QStringLiteral("Thésaurus médecin")},
                              QStringLiteral("TS_Thes"), QStringLiteral("f_thes"));
    QWidget* gauche = o.cote;
    TS_Thes = o.onglets;
    for (int i = 0; i < 5; ++i)
        f_thes[i] = o.cadres.at(i);
    ctr_motCle1 = o.motCle;
    ctr_site1 = o.site;
    ctr_Hier1 = o.hier;

    // Unit tab.
    for (int i = 0; i < 2; ++i) {
        C_UM[i] = new QComboBox(f_thes[3 + i]);
        C_UM[i]->setObjectName(QStringLiteral("C_UM_%1").arg(i));
    }
    TV_ThesUM = new QTreeWidget(f_thes[3]);
    TV_ThesUM->setObjectName(QStringLiteral("TV_ThesUM"));
    TV_ThesUM->setHeaderHidden(true);
    TV_ThesUM->setColumnCount(1);
    TV_ThesUM->setIconSize(QSize(16, 16));
    TV_ThesUM->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TV_ThesUM->header()->setStretchLastSection(false);
    TV_ThesUM->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TV_ThesUM->setContextMenuPolicy(Qt::PreventContextMenu);
    TV_ThesUM->viewport()->installEventFilter(this);
    TV_ThesUM->installEventFilter(this);
    Command1 = new QPushButton(QStringLiteral("Importer le thésaurus"), f_thes[3]);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command3 = new QPushButton(QStringLiteral("Ajouter des catégories"), f_thes[3]);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command2 = new QPushButton(QStringLiteral("Ajouter des actes"), f_thes[3]);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setEnabled(false);
    b_actesARemplacer = new QPushButton(QStringLiteral("Actes à &remplacer…"), f_thes[3]);
    b_actesARemplacer->setObjectName(QStringLiteral("b_actesARemplacer"));
    b_actesARemplacer->setToolTip(QStringLiteral("Les actes des thésaurus que la CCAM chargée "
                                                 "n'a plus, et les actes proposés à leur place"));
    auto* grilleUM = new QGridLayout(f_thes[3]);
    auto* l_UM = new QLabel(QStringLiteral("&Unité médicale :"), f_thes[3]);
    l_UM->setBuddy(C_UM[0]);
    grilleUM->addWidget(l_UM, 0, 0);
    grilleUM->addWidget(C_UM[0], 0, 1, 1, 2);
    grilleUM->addWidget(b_actesARemplacer, 0, 3);
    grilleUM->addWidget(Command1, 1, 0);
    grilleUM->addWidget(Command3, 1, 1);
    grilleUM->addWidget(Command2, 1, 2, 1, 2);
    grilleUM->addWidget(TV_ThesUM, 2, 0, 1, 4);
    grilleUM->setRowStretch(2, 1);

    // Doctor tab.
    C_listemedecins = new QComboBox(f_thes[4]);
    C_listemedecins->setObjectName(QStringLiteral("C_listemedecins"));
    ctr_ThesMED1 = panneau<ctr_ThesMED>("ctr_ThesMED1", f_thes[4]);
    auto* grilleMED = new QGridLayout(f_thes[4]);
    auto* l_UMMedecin = new QLabel(QStringLiteral("&Unité médicale :"), f_thes[4]);
    l_UMMedecin->setBuddy(C_UM[1]);
    grilleMED->addWidget(l_UMMedecin, 0, 0);
    grilleMED->addWidget(C_UM[1], 0, 1);
    auto* l_medecin = new QLabel(QStringLiteral("&Médecin :"), f_thes[4]);
    l_medecin->setBuddy(C_listemedecins);
    grilleMED->addWidget(l_medecin, 1, 0);
    grilleMED->addWidget(C_listemedecins, 1, 1);
    grilleMED->addWidget(ctr_ThesMED1, 2, 0, 1, 2);
    grilleMED->setRowStretch(2, 1);
    grilleMED->setColumnStretch(1, 1);

    ctr_Details1 = panneau<ctr_Details>("ctr_Details1", this);

    relierPanneau(ctr_motCle1, 0);
    relierPanneau(ctr_site1, 1);
    relierPanneau(ctr_Hier1, 2);
    connect(ctr_ThesMED1, &ctr_ThesMED::acteChoisi, this,
            [this](const QString& code) { afficherDetailsDe(ongletMedecin, code); });
    connect(Command1, &QPushButton::clicked, this, [this] { importerThesaurusUM(); });
    connect(Command2, &QPushButton::clicked, this, [this] { afficheFenetreAjoutActe(); });
    connect(Command3, &QPushButton::clicked, this, [this] { afficheFenetreAjoutCat(); });
    connect(b_actesARemplacer, &QPushButton::clicked, this, [this] { afficherActesARemplacer(); });
    for (int i = 0; i < 2; ++i)
        connect(C_UM[i], &QComboBox::currentIndexChanged, this, [this, i] { umChoisieDans(i); });
    connect(C_listemedecins, &QComboBox::currentIndexChanged, this,
            [this] { medecinChoisiDansListe(); });
    // The details follow the unit tree's selection, whatever moved it.
    connect(TV_ThesUM, &QTreeWidget::itemSelectionChanged, this,
            [this] { choisirNoeud(TV_ThesUM->currentItem()); });
    connect(TV_ThesUM, &QTreeWidget::itemPressed, this,
            [this](QTreeWidgetItem* n) { cliquerNoeud(n); });
    connect(TV_ThesUM, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* n) { libelleModifie(n); });

    QSplitter* separation = creerSeparation(this, gauche, ctr_Details1, Parametres::SeparationDIM);
    auto* principal = new QHBoxLayout(this);
    principal->setContentsMargins(2, 2, 2, 2);
    principal->addWidget(separation);
    TS_Thes->setUsesScrollButtons(false);
    TS_Thes->setMinimumWidth(TS_Thes->sizeHint().width());

    // Loading: the tab of the mode the window opens in (the doctor tab after
    // a login), its combo filled.
    const int premier = contexteCourant == ModeEcran::ThesaurusUM        ? ongletUM
                        : contexteCourant == ModeEcran::AutresOngletsDIM ? 0
                                                                         : ongletMedecin;
    // No doctor is chosen yet: none of an earlier session stays current.
    montrerMedecin(nullptr);
    TS_Thes->setCurrentIndex(premier);
    ongletChoisi(premier);
    connect(TS_Thes, &QTabBar::currentChanged, this, [this](int i) { ongletChoisi(i); });
}

f_ThesaurusDIM::~f_ThesaurusDIM() = default;

void f_ThesaurusDIM::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_chargee = true;
}

void f_ThesaurusDIM::relierPanneau(ctr_ListeActes* p, int onglet) {
    connect(p, &ctr_ListeActes::acteChoisi, this,
            [this, onglet](const QString& code) { afficherDetailsDe(onglet, code); });
}

void f_ThesaurusDIM::afficherDetailsDe(int onglet, const QString& a_code) {
    // A panel behind another tab does not speak for the details.
    if (onglet == m_ongletCourant)
        afficherDetails(a_code);
}

void f_ThesaurusDIM::ongletChoisi(int index) {
    if (index < 0 || index == m_ongletCourant)
        return;
    montrerCadre({f_thes[0], f_thes[1], f_thes[2], f_thes[3], f_thes[4]}, index);
    m_ongletCourant = index;
    // The details show what the tab now in front has selected, or nothing.
    if (index == 0)
        ctr_motCle1->annoncerSelection();
    else if (index == 1)
        ctr_site1->annoncerSelection();
    else if (index == 2)
        ctr_Hier1->annoncerSelection();
    else if (index == ongletUM)
        choisirNoeud(TV_ThesUM->currentItem());
    else if (index == ongletMedecin)
        ctr_ThesMED1->annoncerSelection();
    else
        afficherDetails(QString());
    if (index == ongletUM || index == ongletMedecin) {
        const int combo = index == ongletUM ? 0 : 1;
        changerContexte(index == ongletUM ? ModeEcran::ThesaurusUM
                                          : ModeEcran::ThesaurusMedecinDIM);
        if (C_UM[combo]->count() == 0) {
            {
                const QSignalBlocker bloque(C_UM[combo]);
                remplirListeUM(C_UM[combo]);
                C_UM[combo]->setCurrentIndex(-1);
            }
            QCoreApplication::processEvents();
            if (C_UM[combo]->count() > 0)
                C_UM[combo]->setCurrentIndex(0);
        }
    } else {
        changerContexte(ModeEcran::AutresOngletsDIM);
    }
    emit proprietaireChange(proprietaireChoisi());
}

bool f_ThesaurusDIM::proprietaireChoisi() const {
    if (m_ongletCourant == ongletUM)
        return !umChoisie().isEmpty();
    if (m_ongletCourant == ongletMedecin)
        return !medecinChoisi().isEmpty();
    return false;
}

void f_ThesaurusDIM::afficherDetails(const QString& a_code) {
    ctr_Details1->majDetails(a_code);
}

QString f_ThesaurusDIM::umChoisie() const {
    return C_UM[0]->currentIndex() < 0 ? QString() : extraireCode(C_UM[0]->currentText());
}

QString f_ThesaurusDIM::medecinChoisi() const {
    return C_listemedecins->currentIndex() < 0 ? QString()
                                               : extraireCode(C_listemedecins->currentText());
}

// ------------------------------------------------------------------ combos

void f_ThesaurusDIM::umChoisieDans(int combo) {
    const QString texte = C_UM[combo]->currentText();
    const QString um = extraireCode(texte);
    if (um.isEmpty())
        return;
    // Both combos follow the unit chosen, so that the unit tab's commands
    // always write to the unit its tree shows.
    const int autre = 1 - combo;
    if (C_UM[autre]->count() == 0) {
        const QSignalBlocker bloque(C_UM[autre]);
        remplirListeUM(C_UM[autre]);
    }
    {
        const QSignalBlocker bloque(C_UM[autre]);
        C_UM[autre]->setCurrentIndex(C_UM[autre]->findText(texte));
    }
    {
        const QSignalBlocker bloque(C_listemedecins);
        C_listemedecins->clear();
        RecordsetPtr medecins = accesDonnees.getListeMedecins(um);
        for (; medecins && !medecins->isEOF(); medecins->MoveNext())
            C_listemedecins->addItem(
                codeEtLibelle(valeurTexte(medecins->Fields(QStringLiteral("MED_CODE"))).trimmed(),
                              valeurTexte(medecins->Fields(QStringLiteral("MED_LIB"))).trimmed()));
        C_listemedecins->setCurrentIndex(-1);
    }
    // The doctor combo is empty again: so are the tab's tree and commands.
    montrerMedecin(nullptr);
    dessinerUM(um);
    emit proprietaireChange(proprietaireChoisi());
}

void f_ThesaurusDIM::medecinChoisiDansListe() {
    const QString code = medecinChoisi();
    if (code.isEmpty()) {
        montrerMedecin(nullptr);
        emit proprietaireChange(proprietaireChoisi());
        return;
    }
    auto medecin = std::make_shared<Medecin>();
    medecin->code = code;
    medecin->remplirDonnees();
    medecin->remplirThesaurusMED();
    montrerMedecin(medecin);
    emit proprietaireChange(proprietaireChoisi());
}

void f_ThesaurusDIM::montrerMedecin(std::shared_ptr<Medecin> medecin) {
    changerMedecinCourant(medecin);
    ctr_ThesMED1->afficher(medecin);
}

// ------------------------------------------------------------------ unit tree

QList<QTreeWidgetItem*> f_ThesaurusDIM::noeudsUM() const {
    return noeudsArbre(TV_ThesUM);
}

void f_ThesaurusDIM::dessinerUM(const QString& a_UM) {
    const QSignalBlocker bloque(TV_ThesUM);
    TV_ThesUM->clear();
    m_acte.reset();
    m_umAffichee = a_UM;
    QTreeWidgetItem* parents[2] = {nullptr, nullptr};
    for (const NoeudThesaurusUM& n : noeudsThesaurusUM(a_UM)) {
        QTreeWidgetItem* item = n.niveau == 0 ? new QTreeWidgetItem(TV_ThesUM)
                                              : new QTreeWidgetItem(parents[n.niveau - 1]);
        item->setData(0, roleCleNoeud, n.cle);
        item->setText(0, n.texte);
        item->setToolTip(0, n.texte);
        item->setIcon(0, iconeNoeudThesaurus(n.niveau + 1));
        item->setData(0, roleLibelleEnregistre, n.texte);
        if (n.retire)
            marquerActeRetire(item);
        if (n.niveau == 1)
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (n.niveau < 2) {
            parents[n.niveau] = item;
            item->setExpanded(true);
        }
    }
    const QList<QTreeWidgetItem*> tous = noeudsUM();
    selectionner(tous.size() >= 2 ? tous.at(1) : tous.value(0));
}

void f_ThesaurusDIM::selectionner(QTreeWidgetItem* noeud) {
    {
        const QSignalBlocker bloque(TV_ThesUM);
        TV_ThesUM->setCurrentItem(noeud);
    }
    choisirNoeud(TV_ThesUM->currentItem());
}

void f_ThesaurusDIM::ajoutCategorie(const QString& a_lib) {
    dessinerUM(umChoisie());
    for (QTreeWidgetItem* n : noeudsUM())
        if (n->text(0) == a_lib) {
            selectionner(n);
            break;
        }
}

void f_ThesaurusDIM::ajoutActe(long a_cat) {
    dessinerUM(umChoisie());
    const QString debut = "A" + QString::number(a_cat) + " - ";
    for (QTreeWidgetItem* n : noeudsUM())
        if (ctr_ThesMED::cleNoeud(n).startsWith(debut)) {
            selectionner(n);
            break;
        }
}

void f_ThesaurusDIM::majCommande2(const QTreeWidgetItem* noeud) {
    const QChar g = genreNoeud(noeud);
    Command2->setEnabled(g == 'C' || g == 'A');
}

bool f_ThesaurusDIM::eventFilter(QObject* objet, QEvent* evenement) {
    lireGesteArbre(TV_ThesUM, objet, evenement, m_bouton, m_positionClic);
    return QWidget::eventFilter(objet, evenement);
}

void f_ThesaurusDIM::choisirNoeud(QTreeWidgetItem* noeud) {
    CurseurOccupe sablier;
    m_acte.reset();
    QString code;
    // The current act stays as it is: the unit tree only shows details.
    if (genreNoeud(noeud) == 'A' && noeud->childCount() == 0) {
        const QString cle = ctr_ThesMED::cleNoeud(noeud);
        RecordsetPtr rs = accesDonnees.getActe(extraireMilieu(cle), extraireFin(cle));
        if (rs && rs->RecordCount() > 0)
            m_acte = rs;
        // An act the loaded version lacks: the details pane says why.
        code = extraireMilieu(cle);
    }
    majCommande2(noeud);
    afficherDetailsDe(ongletUM, code);
}

void f_ThesaurusDIM::cliquerNoeud(QTreeWidgetItem* noeud) {
    if (!noeud)
        return;
    // The press has selected the node, which picked it; a press on the node
    // already selected picks it again.
    if (TV_ThesUM->currentItem() != noeud)
        selectionner(noeud);
    const QChar g = genreNoeud(noeud);
    if (m_bouton != 2)
        return;
    QStringList entrees;
    if (entreesMenuTheUM(g, entrees))
        emit menuDemande(entrees, m_positionClic);
}

void f_ThesaurusDIM::modifierCategorie() {
    QTreeWidgetItem* n = TV_ThesUM->currentItem();
    if (genreNoeud(n) == 'C')
        TV_ThesUM->editItem(n);
}

void f_ThesaurusDIM::libelleModifie(QTreeWidgetItem* noeud) {
    long code = 0;
    if (genreNoeud(noeud) != 'C' || !codeCategorieNoeud(noeud, code))
        return;
    const QString texte = noeud->text(0);
    const QSignalBlocker bloque(TV_ThesUM);
    if (texte.isEmpty()) {
        // An empty label changes nothing: the stored one comes back.
        noeud->setText(0, noeud->data(0, roleLibelleEnregistre).toString());
        return;
    }
    accesCCAM.modifLibelleCategorie(code, texte);
    noeud->setData(0, roleLibelleEnregistre, texte);
}

void f_ThesaurusDIM::selectionnerApresSuppression(int index) {
    const QList<QTreeWidgetItem*> tous = noeudsUM();
    selectionner(index >= 0 && index < tous.size() ? tous.at(index) : tous.value(0));
}

void f_ThesaurusDIM::suppActe() {
    QTreeWidgetItem* n = TV_ThesUM->currentItem();
    if (genreNoeud(n) != 'A' || !m_acte)
        return;
    if (!confirmerSuppressionActe())
        return;
    const int index = noeudsUM().indexOf(n);
    QTreeWidgetItem* parent = n->parent();
    long categorie = 0;
    if (!codeCategorieNoeud(parent, categorie))
        return;
    const QString code = extraireMilieu(ctr_ThesMED::cleNoeud(n));
    accesCCAM.suppActeTheserus(categorie, code, extraireFin(ctr_ThesMED::cleNoeud(n)));
    // Every row of that code in the category is gone: so are its nodes.
    {
        // The nodes pick nothing while they go: the next selection is made
        // and announced once they are gone.
        const QSignalBlocker bloque(TV_ThesUM);
        for (int i = parent->childCount() - 1; i >= 0; --i)
            if (extraireMilieu(ctr_ThesMED::cleNoeud(parent->child(i))) == code)
                delete parent->child(i);
    }
    selectionnerApresSuppression(index);
}

void f_ThesaurusDIM::suppCat() {
    QTreeWidgetItem* n = TV_ThesUM->currentItem();
    long code = 0;
    if (genreNoeud(n) != 'C' || !codeCategorieNoeud(n, code))
        return;
    if (!confirmerSuppressionCategorie())
        return;
    const int index = noeudsUM().indexOf(n);
    accesCCAM.suppCatTheserus(code);
    {
        const QSignalBlocker bloque(TV_ThesUM);
        delete n;
    }
    selectionnerApresSuppression(index);
}

// ------------------------------------------------------------------ commands

void f_ThesaurusDIM::afficheFenetreAjoutCat() {
    const QString um = umChoisie();
    if (um.isEmpty())
        return;
    d_newCategorie dialogue(this);
    dialogue.lien = um;
    dialogue.type = 1;
    connect(&dialogue, &d_newCategorie::categorieCreee, this, &f_ThesaurusDIM::ajoutCategorie);
    executerModal(&dialogue);
}

void f_ThesaurusDIM::afficheFenetreAjoutActe() {
    const QString um = umChoisie();
    QTreeWidgetItem* n = TV_ThesUM->currentItem();
    if (genreNoeud(n) == 'A')
        n = n->parent();
    else if (genreNoeud(n) != 'C')
        return;
    long categorie = 0;
    if (um.isEmpty() || !codeCategorieNoeud(n, categorie))
        return;
    d_ajoutActeThe dialogue(this);
    connect(&dialogue, &d_ajoutActeThe::acteAjoute, this, &f_ThesaurusDIM::ajoutActe);
    dialogue.afficher(categorie, um, 1);
}

void f_ThesaurusDIM::importerThesaurusUM() {
    const QString um = umChoisie();
    if (um.isEmpty())
        return;
    if (!confirmerRemplacementThesaurus(noeudsUM().size() > 1))
        return;
    const QString fichier = choisirFichierImportThesaurus();
    if (fichier.isEmpty())
        return;
    {
        InterfaceVerrouillee verrou;
        // The file is checked before the old thesaurus is deleted, and the
        // replacement is all or nothing.
        remplacerThesaurusParFichier(fichier, um, 1);
    }
    dessinerUM(um);
}

void f_ThesaurusDIM::ExporterThesaurusUM() {
    const QString um = umChoisie();
    if (um.isEmpty())
        return;
    const QString fichier = choisirFichierExportThesaurus();
    if (fichier.isEmpty())
        return;
    InterfaceVerrouillee verrou;
    // The file header names the unit as "code - label".
    exporterThesaurusUM(C_UM[0]->currentText(), fichier);
}

void f_ThesaurusDIM::ExporterThesaurusMED() {
    if (medecinChoisi().isEmpty() || !medecinCourant)
        return;
    const QString fichier = choisirFichierExportThesaurus();
    if (fichier.isEmpty())
        return;
    InterfaceVerrouillee verrou;
    exporterThesaurusMED(*medecinCourant, fichier);
}

std::unique_ptr<Thesaurus> f_ThesaurusDIM::imprimerThesaurusUM() {
    if (umChoisie().isEmpty())
        return nullptr;
    CurseurOccupe sablier;
    auto thesaurus = std::make_unique<Thesaurus>();
    thesaurus->remplirThesaurusUM(C_UM[0]->currentText());
    return thesaurus;
}

std::unique_ptr<Thesaurus> f_ThesaurusDIM::imprimerThesaurusMED() {
    const QString code = medecinChoisi();
    if (code.isEmpty())
        return nullptr;
    CurseurOccupe sablier;
    Medecin medecin;
    medecin.code = code;
    medecin.remplirDonnees();
    medecin.remplirThesaurusMED();
    auto thesaurus = std::make_unique<Thesaurus>();
    thesaurus->remplirThesaurus(medecin);
    return thesaurus;
}

void f_ThesaurusDIM::afficherActesARemplacer() {
    QList<d_actesARemplacer::Portee> portees = d_actesARemplacer::porteesDIM();
    d_actesARemplacer dialogue(portees, this);
    // The unit shown in the unit tab first, when there is one.
    for (int i = 0; i < portees.size(); ++i)
        if (portees.at(i).type == 1 && portees.at(i).code == umChoisie())
            dialogue.C_portee->setCurrentIndex(i);
    connect(&dialogue, &d_actesARemplacer::thesaurusModifie, this, [this] {
        if (!m_umAffichee.isEmpty())
            dessinerUM(m_umAffichee);
        medecinChoisiDansListe();
    });
    executerModal(&dialogue);
}
