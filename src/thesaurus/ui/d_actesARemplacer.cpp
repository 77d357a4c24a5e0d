#include "d_actesARemplacer.h"

#include "AccesDonnees.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Messages.h"
#include "Progression.h"
#include "VersionsCcam.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

QList<d_actesARemplacer::Portee> d_actesARemplacer::porteesDIM() {
    QList<Portee> p{{0, QString(), QStringLiteral("Toutes les unités et tous les médecins")}};
    if (RecordsetPtr um = accesDonnees.getListeUM())
        for (int i = 0; i < um->RecordCount(); ++i) {
            const QString code = um->valeurLigne(i, um->indexChamp("UM_Code")).toString();
            p.push_back(
                {1, code,
                 QStringLiteral("Unité : ") +
                     codeEtLibelle(code, um->valeurLigne(i, um->indexChamp("UM_LIB")).toString())});
        }
    if (RecordsetPtr med = depotLire(QStringLiteral("SELECT MED_CODE, MED_LIB FROM Medecin "
                                                    "ORDER BY MED_CODE")))
        for (int i = 0; i < med->RecordCount(); ++i) {
            const QString code = med->valeurLigne(i, 0).toString();
            p.push_back({2, code,
                         QStringLiteral("Médecin : ") +
                             codeEtLibelle(code, med->valeurLigne(i, 1).toString())});
        }
    return p;
}

d_actesARemplacer::d_actesARemplacer(const QList<Portee>& portees, QWidget* parent)
    : QDialog(parent), m_portees(portees) {
    setObjectName(QStringLiteral("d_actesARemplacer"));
    setWindowTitle(QStringLiteral("Actes à remplacer"));

    auto* version = new QLabel(QStringLiteral("CCAM chargée : ") + versionCcamChargee(), this);
    version->setObjectName(QStringLiteral("l_version"));
    C_portee = new QComboBox(this);
    C_portee->setObjectName(QStringLiteral("C_portee"));
    for (const Portee& p : m_portees)
        C_portee->addItem(p.texte);
    C_portee->setEnabled(m_portees.size() > 1);
    auto* lPortee = new QLabel(QStringLiteral("&Thésaurus :"), this);
    lPortee->setBuddy(C_portee);

    LV_Actes = new QTreeWidget(this);
    LV_Actes->setObjectName(QStringLiteral("LV_Actes"));
    LV_Actes->setRootIsDecorated(false);
    LV_Actes->setHeaderLabels({QStringLiteral("Propriétaire"), QStringLiteral("Catégorie"),
                               QStringLiteral("Code"), QStringLiteral("Libellé"),
                               QStringLiteral("Retrait")});
    LV_Actes->header()->setSectionResizeMode(QHeaderView::Interactive);
    LV_Actes->setColumnWidth(0, 200);
    LV_Actes->setColumnWidth(1, 150);
    LV_Actes->setColumnWidth(2, 80);
    LV_Actes->setColumnWidth(3, 380);
    l_etat = new QLabel(this);
    l_etat->setObjectName(QStringLiteral("l_etat"));
    l_etat->setWordWrap(true);

    l_propositions = new QListWidget(this);
    l_propositions->setObjectName(QStringLiteral("l_propositions"));
    l_propositions->setMaximumHeight(fontMetrics().height() * 5);
    auto* lPropositions = new QLabel(QStringLiteral("&Remplacer par :"), this);
    lPropositions->setBuddy(l_propositions);

    b_remplacer = new QPushButton(QStringLiteral("Re&mplacer"), this);
    b_remplacer->setObjectName(QStringLiteral("b_remplacer"));
    b_supprimer = new QPushButton(QStringLiteral("&Supprimer l'acte"), this);
    b_supprimer->setObjectName(QStringLiteral("b_supprimer"));
    b_exporter = new QPushButton(QStringLiteral("&Exporter la liste…"), this);
    b_exporter->setObjectName(QStringLiteral("b_exporter"));
    b_fermer = new QPushButton(QStringLiteral("&Fermer"), this);
    b_fermer->setObjectName(QStringLiteral("b_fermer"));
    for (QPushButton* b : {b_remplacer, b_supprimer, b_exporter, b_fermer})
        b->setAutoDefault(false);

    auto* haut = new QHBoxLayout;
    haut->addWidget(lPortee);
    haut->addWidget(C_portee, 1);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(b_remplacer);
    boutons->addWidget(b_supprimer);
    boutons->addStretch();
    boutons->addWidget(b_exporter);
    boutons->addWidget(b_fermer);
    auto* cadre = new QVBoxLayout(this);
    cadre->addWidget(version);
    cadre->addLayout(haut);
    cadre->addWidget(LV_Actes, 1);
    cadre->addWidget(l_etat);
    cadre->addWidget(lPropositions);
    cadre->addWidget(l_propositions);
    cadre->addLayout(boutons);
    resize(980, 560);

    connect(C_portee, &QComboBox::currentIndexChanged, this, [this] { remplir(); });
    connect(LV_Actes, &QTreeWidget::itemSelectionChanged, this, [this] { acteChoisi(); });
    connect(l_propositions, &QListWidget::itemSelectionChanged, this, [this] { acteChoisi(); });
    connect(l_propositions, &QListWidget::itemDoubleClicked, this, [this] { remplacer(); });
    connect(b_remplacer, &QPushButton::clicked, this, [this] { remplacer(); });
    connect(b_supprimer, &QPushButton::clicked, this, [this] { supprimer(); });
    connect(b_exporter, &QPushButton::clicked, this, [this] { exporter(); });
    connect(b_fermer, &QPushButton::clicked, this, &QDialog::accept);
    remplir();
}

void d_actesARemplacer::remplir() {
    const int ligne = qMax(0, LV_Actes->indexOfTopLevelItem(LV_Actes->currentItem()));
    const Portee p = m_portees.value(C_portee->currentIndex());
    {
        CurseurOccupe sablier;
        m_actes = actesARemplacer(p.type, p.code);
    }
    const QSignalBlocker bloque(LV_Actes);
    LV_Actes->clear();
    for (const ActeARemplacer& a : m_actes) {
        auto* item = new QTreeWidgetItem(
            LV_Actes, {a.libelleProprietaire, a.libelleCategorie, a.code,
                       a.libelle.isEmpty() ? QStringLiteral("(libellé non enregistré)") : a.libelle,
                       texteRetrait(a.version)});
        for (int c = 0; c < item->columnCount(); ++c)
            item->setToolTip(c, item->text(c));
    }
    l_etat->setText(
        m_actes.isEmpty()
            ? QStringLiteral("Aucun acte de ce thésaurus n'est absent de la CCAM "
                             "chargée : il n'y a rien à remplacer.")
            : QStringLiteral("%1 acte(s) absent(s) de la CCAM chargée.").arg(m_actes.size()));
    if (!m_actes.isEmpty())
        LV_Actes->setCurrentItem(
            LV_Actes->topLevelItem(qMin(ligne, LV_Actes->topLevelItemCount() - 1)));
    b_exporter->setEnabled(!m_actes.isEmpty());
    acteChoisi();
}

const ActeARemplacer* d_actesARemplacer::acteCourant() const {
    const int i = LV_Actes->indexOfTopLevelItem(LV_Actes->currentItem());
    return i >= 0 && i < m_actes.size() ? &m_actes.at(i) : nullptr;
}

void d_actesARemplacer::acteChoisi() {
    const ActeARemplacer* a = acteCourant();
    if (sender() != l_propositions) {
        const QSignalBlocker bloque(l_propositions);
        l_propositions->clear();
        if (a)
            for (const PropositionRemplacement& p : a->propositions)
                l_propositions->addItem(codeEtLibelle(p.code, p.libelle));
        if (l_propositions->count() > 0)
            l_propositions->setCurrentRow(0);
    }
    b_supprimer->setEnabled(a);
    b_remplacer->setEnabled(a && l_propositions->currentRow() >= 0);
}

void d_actesARemplacer::remplacer() {
    const ActeARemplacer* a = acteCourant();
    const int choix = l_propositions->currentRow();
    if (!a || choix < 0 || choix >= a->propositions.size())
        return;
    const ActeARemplacer acte = *a;
    const PropositionRemplacement nouveau = a->propositions.at(choix);
    if (afficherMessage(questionRemplacement(acte, nouveau), QStringLiteral("Confirmation"),
                        Icone::Question, Boutons::OuiNonDefautNon) != Reponse::Oui)
        return;
    if (signaler(remplacerActeRetire(acte, nouveau.code)))
        emit thesaurusModifie();
    remplir();
}

void d_actesARemplacer::supprimer() {
    const ActeARemplacer* a = acteCourant();
    if (!a)
        return;
    const ActeARemplacer acte = *a;
    if (afficherMessage(questionRetrait(acte), QStringLiteral("Confirmation suppression"),
                        Icone::Question, Boutons::OuiNonDefautNon) != Reponse::Oui)
        return;
    if (signaler(retirerActeRetire(acte)))
        emit thesaurusModifie();
    remplir();
}

void d_actesARemplacer::exporter() {
    const QString chemin = choisirFichierDocumentEnregistrer(
        QStringLiteral("Exporter la liste des actes à remplacer"),
        QStringLiteral("actes à remplacer.txt"), QStringLiteral("Texte (*.txt)|*.txt"));
    if (chemin.isEmpty())
        return;
    CurseurOccupe sablier;
    exporterActesARemplacer(m_actes, chemin);
}
