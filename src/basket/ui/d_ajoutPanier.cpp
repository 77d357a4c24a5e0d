#include "d_ajoutPanier.h"

#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "Globals.h"
#include "Messages.h"
#include "Panier.h"
#include "Progression.h"
#include "QtDialogues.h"
#include "QtListeColonnes.h"
#include "QtPanier.h"
#include "ctr_proprietesActivite.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

d_ajoutPanier::d_ajoutPanier(const QString& a_code, Panier& a_panier,
                             const QString& a_activiteMedecin, QWidget* parent)
    : QDialog(parent), m_panier(a_panier), m_activiteMedecin(a_activiteMedecin),
      m_selection(a_code) {
    setObjectName(QStringLiteral("d_ajoutPanier"));
    setWindowTitle(QStringLiteral("Sélection de l'acte"));

    l_code = new QLabel(m_selection.code(), this);
    l_code->setObjectName(QStringLiteral("l_code"));
    QFont gras = l_code->font();
    gras.setBold(true);
    l_code->setFont(gras);
    l_libelle = new QLabel(m_selection.libelle(), this);
    l_libelle->setObjectName(QStringLiteral("l_libelle"));
    l_libelle->setWordWrap(true);
    l_phase = new QLabel(QStringLiteral("&Phase :"), this);
    l_phase->setObjectName(QStringLiteral("l_phase"));
    c_phase = new QComboBox(this);
    c_phase->setObjectName(QStringLiteral("c_phase"));
    c_phase->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    l_phase->setBuddy(c_phase);

    f_activites = new QGroupBox(QStringLiteral("Activités"), this);
    f_activites->setObjectName(QStringLiteral("f_activites"));
    lv_activites = new ListeColonnes(
        {QStringLiteral("Code"), QStringLiteral("Libelle"), QStringLiteral("Tarif")}, {2, 6.5, 1.4},
        true, f_activites);
    lv_activites->setObjectName(QStringLiteral("lv_activites"));
    lv_activites->setMaximumHeight(100);
    (new QVBoxLayout(f_activites))->addWidget(lv_activites);

    ts_proprietes = new QTabWidget(this);
    ts_proprietes->setObjectName(QStringLiteral("ts_proprietes"));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    c_creerDossier = new QPushButton(QStringLiteral("Créer un dossier"), this);
    c_creerDossier->setObjectName(QStringLiteral("c_creerDossier"));

    auto* entete = new QHBoxLayout;
    entete->addWidget(l_code);
    entete->addWidget(l_libelle, 1);
    auto* phase = new QHBoxLayout;
    phase->addWidget(l_phase);
    phase->addWidget(c_phase, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(c_creerDossier);
    boutons->addStretch(1);
    boutons->addWidget(OKButton);
    boutons->addWidget(CancelButton);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(entete);
    principal->addLayout(phase);
    principal->addWidget(f_activites);
    principal->addWidget(ts_proprietes, 1);
    principal->addLayout(boutons);
    tailleDansEcran(this, QSize(660, 680));

    connect(lv_activites, &ListeColonnes::coche, this, &d_ajoutPanier::activiteCochee);
    connect(lv_activites, &QTreeWidget::itemSelectionChanged, this, &d_ajoutPanier::ligneChoisie);
    connect(ts_proprietes, &QTabWidget::currentChanged, this, &d_ajoutPanier::ongletChoisi);
    connect(c_phase, &QComboBox::activated, this, &d_ajoutPanier::phaseChoisie);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        if (confirmer())
            accept();
    });
    connect(c_creerDossier, &QPushButton::clicked, this, [this] {
        if (confirmer()) {
            m_creerDossier = true;
            accept();
        }
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    const bool phases = !m_selection.phases().isEmpty();
    l_phase->setVisible(phases);
    c_phase->setVisible(phases);
    for (const SelectionActe::Phase& p : m_selection.phases())
        c_phase->addItem(p.libelle);
    if (phases) {
        c_phase->setCurrentIndex(0);
        c_phase->setToolTip(c_phase->currentText());
    }
    remplirActivites();
    majBoutons();
}

void d_ajoutPanier::afficher() {
    // The phase first when the act has phases, otherwise the activities.
    if (c_phase->isVisibleTo(this))
        c_phase->setFocus();
    else
        lv_activites->setFocus();
    executerAuCentre(*this);
    if (m_creerDossier)
        continuerVersDossier(m_panier, parentWidget());
}

ctr_proprietesActivite* d_ajoutPanier::panneau(int ligne) const {
    return ligne >= 0 && size_t(ligne) < m_panneaux.size() ? m_panneaux[size_t(ligne)] : nullptr;
}

void d_ajoutPanier::remplirActivites() {
    lv_activites->clear();
    m_panneaux.assign(size_t(m_selection.activites().size()), nullptr);
    for (const SelectionActe::Activite& a : m_selection.activites())
        lv_activites->ajouterLigne({a.code, a.libelle, a.tarif});
    const int aCocher = m_selection.activiteACocher(m_activiteMedecin);
    if (aCocher >= 0) {
        lv_activites->setCochee(aCocher, true);
        activiteCochee(aCocher, true);
    }
}

void d_ajoutPanier::activiteCochee(int ligne, bool coche) {
    if (ligne < 0 || size_t(ligne) >= m_panneaux.size())
        return;
    const QString activite = lv_activites->topLevelItem(ligne)->text(0);
    ctr_proprietesActivite*& p = m_panneaux[size_t(ligne)];
    if (coche && !p) {
        CurseurOccupe sablier;
        p = new ctr_proprietesActivite;
        p->setObjectName(QStringLiteral("ctr_proprietesActivite1_%1").arg(ligne + 1));
        p->afficher(activite, m_selection.acte(activite), m_selection.phase());
        ts_proprietes->setCurrentIndex(
            ts_proprietes->addTab(p, QStringLiteral("Activité ") + activite));
        ordreTabulation();
        // Once the new tab is laid out, at the widths of its columns.
        QTimer::singleShot(0, this, &d_ajoutPanier::ajusterHauteur);
        lv_activites->setCurrentItem(lv_activites->topLevelItem(ligne));
    } else if (!coche && p) {
        ts_proprietes->removeTab(ts_proprietes->indexOf(p));
        delete p;
        p = nullptr;
    }
    majBoutons();
}

void d_ajoutPanier::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &d_ajoutPanier::ajusterHauteur);
}

void d_ajoutPanier::ajusterHauteur() {
    // The window grows until the modifiers of the activity shown are all in
    // sight, up to the screen's height; it never shrinks under the user.
    const auto* p = qobject_cast<const ctr_proprietesActivite*>(ts_proprietes->currentWidget());
    if (!p || !isVisible() || p->hauteurManquante() <= 0)
        return;
    const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!ecran)
        return;
    const QRect zone = ecran->availableGeometry();
    const int cadre = frameGeometry().height() - height();
    const int hauteur = qMin(height() + p->hauteurManquante(), zone.height() - cadre);
    if (hauteur <= height())
        return;
    resize(width(), hauteur);
    // Whole on the screen: moved up as much as it grew past its bottom.
    const int depasse = frameGeometry().bottom() - zone.bottom();
    if (depasse > 0)
        move(x(), qMax(zone.top(), y() - depasse));
}

void d_ajoutPanier::ordreTabulation() {
    // Tab follows the screen: the activities, the tabs, the lists of each
    // activity's panel (a hidden one is skipped), then the buttons. Panels
    // created after the dialog would otherwise come after the buttons.
    QWidget* precedent = ts_proprietes->tabBar();
    setTabOrder(lv_activites, precedent);
    for (ctr_proprietesActivite* p : m_panneaux)
        if (p)
            for (QWidget* w : {static_cast<QWidget*>(p->lv_modificateurs),
                               static_cast<QWidget*>(p->lv_activiteAssocies),
                               static_cast<QWidget*>(p->c_extDoc)}) {
                setTabOrder(precedent, w);
                precedent = w;
            }
    setTabOrder(precedent, c_creerDossier);
    setTabOrder(c_creerDossier, OKButton);
    setTabOrder(OKButton, CancelButton);
}

void d_ajoutPanier::majBoutons() {
    const bool onglets = ts_proprietes->count() > 0;
    OKButton->setEnabled(onglets);
    c_creerDossier->setEnabled(onglets);
}

void d_ajoutPanier::ligneChoisie() {
    const int ligne = lv_activites->indexOfTopLevelItem(lv_activites->currentItem());
    if (ctr_proprietesActivite* p = panneau(ligne))
        ts_proprietes->setCurrentWidget(p);
}

void d_ajoutPanier::ongletChoisi(int index) {
    QTimer::singleShot(0, this, &d_ajoutPanier::ajusterHauteur);
    QWidget* page = ts_proprietes->widget(index);
    for (size_t i = 0; page && i < m_panneaux.size(); ++i)
        if (m_panneaux[i] == page &&
            lv_activites->currentItem() != lv_activites->topLevelItem(int(i)))
            lv_activites->setCurrentItem(lv_activites->topLevelItem(int(i)));
}

void d_ajoutPanier::phaseChoisie(int index) {
    CurseurOccupe sablier;
    m_selection.choisirPhase(index);
    c_phase->setToolTip(c_phase->currentText());
    // Each ticked activity's panel is shown again with the act's row for its
    // own activity in the new phase, so that every tariff is the right one.
    for (ctr_proprietesActivite* p : m_panneaux)
        if (p)
            p->afficher(p->activite(), m_selection.acte(p->activite()), m_selection.phase());
    // The tariffs of the activity list follow the phase.
    for (int i = 0; i < lv_activites->topLevelItemCount(); ++i)
        for (const SelectionActe::Activite& a : m_selection.activites())
            if (a.code == lv_activites->topLevelItem(i)->text(0))
                lv_activites->topLevelItem(i)->setText(2, a.tarif);
}

bool d_ajoutPanier::confirmer() {
    // A second click (double click, repeated clicks) never adds again.
    if (m_confirme)
        return false;
    if (c_phase->count() > 0 && c_phase->currentText().isEmpty()) {
        afficherMessage(messagePhaseManquante, QStringLiteral("Attention"), Icone::Exclamation,
                        Boutons::Ok);
        c_phase->setFocus();
        return false;
    }
    m_confirme = true;
    CurseurOccupe sablier;
    QList<QList<Acte>> listes;
    for (ctr_proprietesActivite* p : m_panneaux)
        if (p)
            listes << p->getListActes();
    ajouterSelection(m_panier, listes);
    return true;
}

void d_ajoutPanier::demander(QWidget* parent) {
    if (!signaler(ajouterAuPanier()))
        return;
    ouvrirAjoutPanier(acteCourant.code, panier(), parent);
}
