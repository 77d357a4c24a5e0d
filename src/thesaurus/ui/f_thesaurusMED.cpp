#include "f_thesaurusMED.h"

#include "ChoixFichier.h"
#include "EchangeThesaurus.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "Progression.h"
#include "QtArbreThesaurus.h"
#include "QtOngletsRecherche.h"
#include "ctr_Details.h"
#include "ctr_Hier.h"
#include "ctr_ThesMED.h"
#include "ctr_motCle.h"
#include "ctr_site.h"
#include "d_actesARemplacer.h"
#include "d_ajoutPanier.h"
#include "d_selectCat.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

namespace {
template <typename T> T* panneau(const char* nom, QWidget* parent) {
    auto* p = new T(parent);
    p->setObjectName(QString::fromLatin1(nom));
    return p;
}

} // namespace

f_thesaurusMED::f_thesaurusMED(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_thesaurusMED"));
    setWindowTitle(QStringLiteral("Thésaurus"));
    setAttribute(Qt::WA_DeleteOnClose);

    // Short captions, so that the four tabs show in full beside the details.
    OngletsRecherche o =
        creerOngletsRecherche(this,
                              {QStringLiteral("Mots clés"), QStringLiteral("Site anatomique"),
                               QStringLiteral("Hiérarchie"), QStringLiteral("Thésaurus")},
                              QStringLiteral("TS_Thes"), QStringLiteral("f_thes"));
    QWidget* gauche = o.cote;
    TS_Thes = o.onglets;
    for (int i = 0; i < 4; ++i)
        f_thes[i] = o.cadres.at(i);
    ctr_motCle1 = o.motCle;
    ctr_site1 = o.site;
    ctr_Hier1 = o.hier;
    ctr_ThesMED1 = panneau<ctr_ThesMED>("ctr_ThesMED1", f_thes[3]);
    auto* l = new QVBoxLayout(f_thes[3]);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(ctr_ThesMED1);

    ctr_Details1 = panneau<ctr_Details>("ctr_Details1", this);

    // What the panels announce.
    relierPanneau(ctr_motCle1, 0);
    relierPanneau(ctr_site1, 1);
    relierPanneau(ctr_Hier1, 2);
    connect(ctr_ThesMED1, &ctr_ThesMED::acteChoisi, this,
            [this](const QString& code) { afficherDetailsDe(ongletThesaurus, code); });
    connect(ctr_ThesMED1, &ctr_ThesMED::ajoutPanierDemande, this, &f_thesaurusMED::ajouterAuPanier);
    connect(ctr_ThesMED1, &ctr_ThesMED::ajoutThUMPossible, this,
            &f_thesaurusMED::ajoutThUMPossible);

    QSplitter* separation =
        creerSeparation(this, gauche, ctr_Details1, Parametres::SeparationMedecin);
    auto* principal = new QHBoxLayout(this);
    principal->setContentsMargins(2, 2, 2, 2);
    principal->addWidget(separation);

    // Loading: the doctor's thesaurus in the fourth tab, which is shown first.
    ctr_ThesMED1->afficher(medecinCourant);
    if (medecinCourant)
        TS_Thes->setTabText(ongletThesaurus, "Thésaurus du " + medecinCourant->libelle);
    TS_Thes->setCurrentIndex(ongletThesaurus);
    ongletChoisi(ongletThesaurus);
    // The tab strip never scrolls: the search side is at least as wide as it.
    TS_Thes->setUsesScrollButtons(false);
    TS_Thes->setMinimumWidth(TS_Thes->sizeHint().width());
    connect(TS_Thes, &QTabBar::tabBarClicked, this, [this](int i) { ongletChoisi(i); });
    connect(TS_Thes, &QTabBar::currentChanged, this, [this](int i) { ongletChoisi(i); });
}

void f_thesaurusMED::relierPanneau(ctr_ListeActes* panneau, int onglet) {
    connect(panneau, &ctr_ListeActes::acteChoisi, this,
            [this, onglet](const QString& code) { afficherDetailsDe(onglet, code); });
    connect(panneau, &ctr_ListeActes::ajoutPanierDemande, this, &f_thesaurusMED::ajouterAuPanier);
    connect(panneau, &ctr_ListeActes::ajoutThesaurusDemande, this,
            &f_thesaurusMED::ajouterAuThesaurus);
}

void f_thesaurusMED::ongletChoisi(int index) {
    if (index < 0 || index == m_ongletCourant)
        return;
    montrerCadre({f_thes[0], f_thes[1], f_thes[2], f_thes[3]}, index);
    m_ongletCourant = index;
    // The act of the tab left behind is no longer the current one: the tab
    // now in front makes its own selection current and shows it (or nothing).
    ctr_ListeActes* const recherches[] = {ctr_motCle1, ctr_site1, ctr_Hier1};
    if (index < 3)
        recherches[index]->annoncerSelection();
    else if (index == ongletThesaurus)
        ctr_ThesMED1->annoncerSelection();
    else {
        oublierActeCourant();
        afficherDetails(QString());
    }
}

void f_thesaurusMED::afficherDetailsDe(int onglet, const QString& a_code) {
    // A panel behind another tab does not speak for the details.
    if (onglet == m_ongletCourant)
        afficherDetails(a_code);
}

void f_thesaurusMED::afficherDetails(const QString& a_code) {
    ctr_Details1->majDetails(a_code);
}

void f_thesaurusMED::ajouterAuPanier() {
    d_ajoutPanier::demander(this);
}

void f_thesaurusMED::ajouterAuThesaurus(const QString& a_code) {
    d_selectCat choix(this);
    connect(&choix, &d_selectCat::acteAjoute, this, [this](long categorie) {
        ctr_ThesMED1->rafraichirApresActe(categorie);
        afficherThesaurus();
    });
    choix.afficher(a_code);
}

bool f_thesaurusMED::ajoutThUMActif() const {
    return ctr_ThesMED1->Command4->isEnabled();
}

void f_thesaurusMED::afficherThesaurus() {
    TS_Thes->setCurrentIndex(ongletThesaurus);
}

void f_thesaurusMED::ExporterThesaurusMED() {
    if (!medecinCourant)
        return;
    const QString fichier = choisirFichierExportThesaurus();
    if (fichier.isEmpty())
        return;
    InterfaceVerrouillee verrou;
    exporterThesaurusMED(*medecinCourant, fichier);
}

void f_thesaurusMED::ajouterThesaurusUM() {
    ctr_ThesMED1->ajoutThUM();
}

void f_thesaurusMED::importerThesaurus() {
    afficherThesaurus();
    ctr_ThesMED1->importerTH();
}

void f_thesaurusMED::exporterThesaurus() {
    ExporterThesaurusMED();
}

void f_thesaurusMED::afficherActesARemplacer() {
    if (!medecinCourant)
        return;
    const QList<d_actesARemplacer::Portee> portee{
        {2, medecinCourant->code,
         QStringLiteral("Médecin : ") +
             codeEtLibelle(medecinCourant->code, medecinCourant->libelle)}};
    d_actesARemplacer dialogue(portee, this);
    connect(&dialogue, &d_actesARemplacer::thesaurusModifie, this, [this] {
        medecinCourant->remplirThesaurusMED();
        ctr_ThesMED1->afficher(nullptr);
    });
    executerModal(&dialogue);
}
