#include "d_panier.h"

#include "Data.h"
#include "DetailsActe.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Messages.h"
#include "ProprietesActivite.h"
#include "QtListeColonnes.h"
#include "QtPanier.h"
#include "adCCAM.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
d_panier* g_instance = nullptr;

QString champ(const RecordsetPtr& rs, int ligne, const QString& nom) {
    const int i = rs ? rs->indexChamp(nom) : -1;
    return i < 0 ? QString() : valeurTexte(rs->valeurLigne(ligne, i));
}

// One line of the list: the list item (code, " - ", label) first, then, on a
// second line, what tells two activities or phases of one act apart: the
// activity, the phase and the tariff.
QString ligneDuPanier(const Acte& acte) {
    QString activite = QStringLiteral("Activité ") + acte.activite;
    for (const ActiviteCode& a : activitesDuCode(acte.code))
        if (a.code == acte.activite && !a.libelle.trimmed().isEmpty())
            activite = a.libelle.trimmed();
    if (!activite.startsWith(QStringLiteral("Activité")))
        activite = QStringLiteral("Activité ") + acte.activite + QStringLiteral(" : ") + activite;
    QString phase;
    if (!acte.Phase.isEmpty() && acte.Phase != QLatin1String("0"))
        phase = QStringLiteral(", phase ") + acte.Phase;
    return codeEtLibelle(acte.code, acte.libelle) + u'\n' + activite + phase +
           QStringLiteral(" — ") + formaterMontant(acte.Tarif);
}

QString nombreActes(qsizetype n) {
    if (n == 0)
        return QStringLiteral("Aucun acte dans le panier");
    return QString::number(n) + (n == 1 ? QStringLiteral(" acte dans le panier")
                                        : QStringLiteral(" actes dans le panier"));
}
} // namespace

d_panier::d_panier(Panier& a_panier, QWidget* parent) : QDialog(parent), m_panier(a_panier) {
    setObjectName(QStringLiteral("d_panier"));
    setWindowTitle(QStringLiteral("Actes sélectionnés"));
    g_instance = this;

    list_actes = new QListWidget(this);
    list_actes->setObjectName(QStringLiteral("list_actes"));
    list_actes->setWordWrap(true);
    list_actes->setSpacing(2);
    l_nombreActes = new QLabel(this);
    l_nombreActes->setObjectName(QStringLiteral("l_nombreActes"));

    F_acte = new QGroupBox(QStringLiteral("Détails de l'acte"), this);
    F_acte->setObjectName(QStringLiteral("F_acte"));
    auto creerCombo = [this](const char* nom) {
        auto* c = new QComboBox(F_acte);
        c->setObjectName(QString::fromLatin1(nom));
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(20);
        return c;
    };
    auto creerLabel = [this](const QString& texte, const char* nom) {
        auto* l = new QLabel(texte, F_acte);
        l->setObjectName(QString::fromLatin1(nom));
        return l;
    };
    L_activite = creerLabel(QStringLiteral("Activité :"), "L_activite");
    c_activite = creerCombo("c_activite");
    l_phase = creerLabel(QStringLiteral("Phase :"), "l_phase");
    c_phase = creerCombo("c_phase");
    l_extDoc = creerLabel(QStringLiteral("Ext Documentaire :"), "l_extDoc");
    c_extDoc = creerCombo("c_extDoc");
    l_modificateurs = creerLabel(QStringLiteral("Modificateurs :"), "l_modificateurs");
    lv_modificateurs = new ListeColonnes(
        {QStringLiteral("Code"), QStringLiteral("Libelle"), QStringLiteral("Tarif")}, {2, 6.5, 1.5},
        true, F_acte);
    lv_modificateurs->setObjectName(QStringLiteral("lv_modificateurs"));
    auto* details = new QFormLayout(F_acte);
    details->addRow(L_activite, c_activite);
    details->addRow(l_phase, c_phase);
    details->addRow(l_extDoc, c_extDoc);
    details->addRow(l_modificateurs);
    details->addRow(lv_modificateurs);

    b_dossier = new QPushButton(QStringLiteral("Créer un dossier"), this);
    b_dossier->setObjectName(QStringLiteral("b_dossier"));
    c_supprimerActe = new QPushButton(QStringLiteral("Supprimer l'acte sélectionné"), this);
    c_supprimerActe->setObjectName(QStringLiteral("c_supprimerActe"));
    c_vider = new QPushButton(QStringLiteral("Vider le panier"), this);
    c_vider->setObjectName(QStringLiteral("c_vider"));
    CancelButton = new QPushButton(QStringLiteral("Fermer"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* gauche = new QVBoxLayout;
    gauche->addWidget(l_nombreActes);
    gauche->addWidget(list_actes, 1);
    auto* haut = new QHBoxLayout;
    haut->addLayout(gauche, 2);
    haut->addWidget(F_acte, 3);
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(b_dossier);
    boutons->addWidget(c_supprimerActe);
    boutons->addWidget(c_vider);
    boutons->addStretch(1);
    boutons->addWidget(CancelButton);
    auto* principal = new QVBoxLayout(this);
    principal->addLayout(haut, 1);
    principal->addLayout(boutons);
    resize(900, 460);

    connect(list_actes, &QListWidget::currentRowChanged, this, &d_panier::ligneChoisie);
    // A real change of activity only: the entry already shown picked again
    // leaves the act as it is.
    connect(c_activite, &QComboBox::currentIndexChanged, this, &d_panier::activiteChoisie);
    connect(c_phase, &QComboBox::activated, this, &d_panier::phaseChoisie);
    connect(c_extDoc, &QComboBox::activated, this, &d_panier::extensionChoisie);
    connect(lv_modificateurs, &ListeColonnes::coche, this, &d_panier::modificateurCoche);
    connect(c_supprimerActe, &QPushButton::clicked, this, &d_panier::supprimerActe);
    connect(c_vider, &QPushButton::clicked, this, &d_panier::viderPanier);
    connect(b_dossier, &QPushButton::clicked, this, [this] {
        m_creerDossier = true;
        accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    for (const ActePtr& a : m_panier.getListeActes())
        list_actes->addItem(ligneDuPanier(*a));
    l_nombreActes->setText(nombreActes(list_actes->count()));
    if (list_actes->count() > 0)
        list_actes->setCurrentRow(0);
}

d_panier::~d_panier() {
    if (g_instance == this)
        g_instance = nullptr;
}

d_panier* d_panier::instance() {
    return g_instance;
}

void d_panier::afficher() {
    list_actes->setFocus();
    executerAuCentre(*this);
    m_acte.reset();
    if (m_creerDossier)
        continuerVersDossier(m_panier, parentWidget());
}

void d_panier::viderDetails() {
    c_activite->clear();
    c_phase->clear();
    c_extDoc->clear();
    lv_modificateurs->clear();
    m_activites.clear();
    m_phases.clear();
    m_extensions.clear();
    m_modificateurs.clear();
}

void d_panier::ligneChoisie(int ligne) {
    m_acte = m_panier.getActeByIndice(qint16(ligne + 1));
    viderDetails();
    if (!m_acte)
        return;
    m_activites = activitesDuCode(m_acte->code);
    {
        // Showing the act's activity is no change of it.
        const QSignalBlocker silence(c_activite);
        for (const ActiviteCode& a : m_activites)
            c_activite->addItem(a.libelle);
        for (int i = 0; i < m_activites.size(); ++i)
            if (m_activites.at(i).code == m_acte->activite)
                c_activite->setCurrentIndex(i);
        if (m_activites.size() == 1)
            c_activite->setCurrentIndex(0);
    }

    RecordsetPtr phases = accesCCAM.getPhases(m_acte->code);
    for (int i = 0; phases && i < phases->RecordCount(); ++i) {
        const QString code = champ(phases, i, QStringLiteral("Phase"));
        if (code == QLatin1String("0"))
            continue;
        m_phases << code;
        c_phase->addItem(champ(phases, i, QStringLiteral("Libelle_Phase")));
    }
    c_phase->setCurrentIndex(int(m_phases.indexOf(m_acte->Phase)));
    c_phase->setEnabled(c_phase->count() > 0);
    remplirModificateurs();
    remplirExtDoc();
}

void d_panier::activiteChoisie(int index) {
    if (!m_acte || index < 0 || index >= m_activites.size() ||
        m_activites.at(index).code == m_acte->activite)
        return;
    changerActivite(*m_acte, m_activites.at(index).code);
    majLigne();
    remplirModificateurs();
    remplirExtDoc();
}

void d_panier::phaseChoisie(int index) {
    if (!m_acte || index < 0 || index >= m_phases.size())
        return;
    changerPhase(*m_acte, m_phases.at(index));
    majLigne();
    // The rates of the modifiers apply to the tariff of the new phase.
    remplirModificateurs();
}

void d_panier::majLigne() {
    if (QListWidgetItem* ligne = list_actes->currentItem(); ligne && m_acte)
        ligne->setText(ligneDuPanier(*m_acte));
}

void d_panier::extensionChoisie(int index) {
    if (m_acte)
        m_acte->extDoc = index >= 1 ? m_extensions.value(index - 1) : QString();
}

void d_panier::remplirModificateurs() {
    lv_modificateurs->clear();
    m_modificateurs.clear();
    if (!m_acte)
        return;
    const QStringList choisis = modificateursActe(*m_acte);
    RecordsetPtr rs = accesCCAM.getListeModificateurs(m_acte->code, m_acte->activite);
    const int pourcentage = rs ? rs->indexChamp(QStringLiteral("Pourcentage")) : -1;
    const int tarif = rs ? rs->indexChamp(QStringLiteral("Tarif")) : -1;
    for (int i = 0; rs && i < rs->RecordCount(); ++i) {
        const QString code = champ(rs, i, QStringLiteral("Code"));
        m_modificateurs << code;
        lv_modificateurs->ajouterLigne(
            {code, champ(rs, i, QStringLiteral("Libelle")),
             prixModificateur(pourcentage < 0 ? QVariant() : rs->valeurLigne(i, pourcentage),
                              tarif < 0 ? QVariant() : rs->valeurLigne(i, tarif), m_acte->Tarif)},
            choisis.contains(code));
    }
}

void d_panier::remplirExtDoc() {
    c_extDoc->clear();
    m_extensions.clear();
    if (!m_acte)
        return;
    c_extDoc->addItem(QString());
    RecordsetPtr rs = accesCCAM.getExtDoc(m_acte->code, m_acte->activite);
    for (int i = 0; rs && i < rs->RecordCount(); ++i) {
        m_extensions << champ(rs, i, QStringLiteral("Code"));
        c_extDoc->addItem(champ(rs, i, QStringLiteral("Libelle")));
    }
    c_extDoc->setCurrentIndex(int(m_extensions.indexOf(m_acte->extDoc)) + 1);
    c_extDoc->setEnabled(!m_extensions.isEmpty());
}

void d_panier::modificateurCoche(int ligne, bool coche) {
    if (!m_acte || ligne < 0 || ligne >= m_modificateurs.size())
        return;
    const QString code = m_modificateurs.at(ligne);
    if (!coche) {
        retirerModificateur(*m_acte, code);
        return;
    }
    if (!ajouterModificateur(*m_acte, code)) {
        afficherMessage(messageMaxModificateurs, QStringLiteral("ERREUR"), Icone::Aucune,
                        Boutons::Ok);
        lv_modificateurs->setCochee(ligne, false);
    }
}

void d_panier::supprimerActe() {
    const int ligne = list_actes->currentRow();
    if (ligne < 0)
        return;
    if (afficherMessage(QStringLiteral("Voulez-vous vraiment supprimer l'acte sélectionné ?"),
                        QStringLiteral("Confirmation suppression"), Icone::Question,
                        Boutons::OuiNonDefautNon) != Reponse::Oui)
        return;
    m_panier.supprimerActe(qint16(ligne + 1));
    {
        const QSignalBlocker bloque(list_actes);
        delete list_actes->takeItem(ligne);
    }
    l_nombreActes->setText(nombreActes(list_actes->count()));
    viderDetails();
    m_acte.reset();
    if (list_actes->count() == 0)
        return;
    const int suivante = ligne < list_actes->count() ? ligne : 0;
    {
        const QSignalBlocker bloque(list_actes);
        list_actes->setCurrentRow(suivante);
    }
    ligneChoisie(suivante);
}

void d_panier::viderPanier() {
    if (afficherMessage(QStringLiteral("Voulez-vous vraiment vider le panier ?"),
                        QStringLiteral("Confirmation suppression"), Icone::Question,
                        Boutons::OuiNonDefautNon) != Reponse::Oui)
        return;
    m_panier.setListeActes({});
    m_acte.reset();
    {
        const QSignalBlocker bloque(list_actes);
        list_actes->clear();
    }
    l_nombreActes->setText(nombreActes(0));
    viderDetails();
    reject();
}
