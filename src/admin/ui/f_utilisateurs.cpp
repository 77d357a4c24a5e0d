#include "f_utilisateurs.h"

#include "AccesDonnees.h"
#include "Administration.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "OrdreFrancais.h"
#include "Utilisateur.h"
#include "ctr_ListeActes.h"
#include "d_UM.h"
#include "d_utilisateur.h"

#include <QCursor>
#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

namespace {
f_utilisateurs* g_instance = nullptr;

// Columns of LV_Users sorted by a key of their own rather than by text.
constexpr int colonneCode = 0;
constexpr int colonneCree = 6;
constexpr int colonneModifie = 7;
// Widest a column grows to fit its texts; the tooltip shows a longer one.
constexpr int largeurColonneMax = 320;
constexpr int margeColonne = 14;

// A row sorted as people read it: a column with a key (Qt::UserRole: a
// number, or the day of a date) by that key, empty first; any other column
// in French order.
class LigneTriee : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& autre) const override {
        const int c = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(c, Qt::UserRole);
        const QVariant b = autre.data(c, Qt::UserRole);
        if (a.isValid() || b.isValid()) {
            if (!a.isValid() || !b.isValid())
                return !a.isValid() && b.isValid();
            return a.toLongLong() < b.toLongLong();
        }
        return avantFrancais(text(c), autre.text(c));
    }
};

void cleDeTri(QTreeWidgetItem* ligne, int colonne, const QVariant& valeur) {
    if (valeur.typeId() == QMetaType::QDate)
        ligne->setData(colonne, Qt::UserRole, valeur.toDate().toJulianDay());
    else if (!valeur.isNull())
        ligne->setData(colonne, Qt::UserRole, valeur.toLongLong());
}

VueListeActes* creerListe(const char* nom, const QStringList& colonnes, QWidget* parent) {
    auto* liste = new VueListeActes(parent);
    liste->setObjectName(QLatin1String(nom));
    liste->setRootIsDecorated(false);
    liste->setAllColumnsShowFocus(true);
    liste->setUniformRowHeights(true);
    liste->setSelectionMode(QAbstractItemView::SingleSelection);
    liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    liste->setHeaderLabels(colonnes);
    liste->header()->setSectionsClickable(true);
    liste->header()->setSortIndicatorShown(false);
    return liste;
}

QPushButton* boutonNouveau(const char* nom, QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("Nouveau"), parent);
    b->setObjectName(QLatin1String(nom));
    return b;
}

int positionCourante(const QTreeWidget* liste) {
    QTreeWidgetItem* ligne = liste->currentItem();
    return ligne ? liste->indexOfTopLevelItem(ligne) : -1;
}
} // namespace

f_utilisateurs::f_utilisateurs(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("f_utilisateurs"));
    setWindowTitle(QStringLiteral("Gestion de utilisateurs"));
    setAttribute(Qt::WA_DeleteOnClose);
    g_instance = this;

    TS_admin = new QTabBar(this);
    TS_admin->setObjectName(QStringLiteral("TS_admin"));
    TS_admin->setExpanding(false);
    TS_admin->addTab(QStringLiteral("Utilisateurs"));
    TS_admin->addTab(QStringLiteral("Unités médicales"));

    LV_Users = creerListe("LV_Users",
                          {QStringLiteral("Code"), QStringLiteral("Identifiant"),
                           QStringLiteral("Nom"), QStringLiteral("Groupe"),
                           QStringLiteral("Unité médicale"), QStringLiteral("Activité"),
                           QStringLiteral("Créé le"), QStringLiteral("Modifié le")},
                          this);
    LV_UM = creerListe("LV_UM", {QStringLiteral("Code"), QStringLiteral("Libellé")}, this);
    Command1 = boutonNouveau("Command1", this);
    Command2 = boutonNouveau("Command2", this);

    auto* cadre = new QVBoxLayout(this);
    cadre->addWidget(TS_admin);
    const std::array<VueListeActes*, 2> listes{LV_Users, LV_UM};
    const std::array<QPushButton*, 2> boutons{Command1, Command2};
    for (int i = 0; i < 2; ++i) {
        f_admin[i] = new QFrame(this);
        f_admin[i]->setObjectName(QStringLiteral("f_admin_%1").arg(i));
        f_admin[i]->setFrameShape(QFrame::StyledPanel);
        auto* l = new QVBoxLayout(f_admin[i]);
        listes[i]->setParent(f_admin[i]);
        boutons[i]->setParent(f_admin[i]);
        l->addWidget(listes[i], 1);
        auto* ligne = new QHBoxLayout;
        ligne->addWidget(boutons[i]);
        ligne->addStretch();
        l->addLayout(ligne);
        cadre->addWidget(f_admin[i], 1);

        VueListeActes* liste = listes[i];
        connect(liste, &VueListeActes::boutonPresse, this,
                [this](Qt::MouseButton b) { m_boutonDroit = b == Qt::RightButton; });
        connect(liste, &VueListeActes::ligneCliquee, this, [this, liste] { ligneCliquee(liste); });
        connect(liste->header(), &QHeaderView::sectionClicked, this,
                [this, liste](int colonne) { trier(liste, colonne); });
    }
    connect(LV_Users, &QTreeWidget::itemDoubleClicked, this,
            &f_utilisateurs::afficheFenetreModifUti);
    connect(LV_UM, &QTreeWidget::itemDoubleClicked, this, &f_utilisateurs::afficheFenetreModifUM);
    connect(Command1, &QPushButton::clicked, this, &f_utilisateurs::afficheFenetreAjoutUti);
    connect(Command2, &QPushButton::clicked, this, &f_utilisateurs::afficheFenetreAjoutUM);
    connect(TS_admin, &QTabBar::currentChanged, this, &f_utilisateurs::choisirOnglet);

    remplirUtilisateurs();
    remplirUM();
    choisirOnglet(TS_admin->currentIndex());
}

f_utilisateurs::~f_utilisateurs() {
    if (g_instance == this)
        g_instance = nullptr;
}

f_utilisateurs* f_utilisateurs::instance() {
    return g_instance;
}

int f_utilisateurs::ongletAffiche() const {
    return TS_admin->currentIndex() + 1;
}

void f_utilisateurs::afficher(int a_type) {
    TS_admin->setCurrentIndex(a_type == 2 ? 1 : 0);
    choisirOnglet(TS_admin->currentIndex());
    show();
}

void f_utilisateurs::choisirOnglet(int index) {
    f_admin[0]->setVisible(index == 0);
    f_admin[1]->setVisible(index == 1);
}

void f_utilisateurs::ajusterColonnes(QTreeWidget* liste) {
    for (int c = 0; c < liste->columnCount(); ++c) {
        liste->resizeColumnToContents(c);
        // A little air between columns, within the maximum.
        liste->setColumnWidth(c, qMin(liste->columnWidth(c) + margeColonne, largeurColonneMax));
    }
}

void f_utilisateurs::remplirUtilisateurs() {
    LV_Users->clear();
    RecordsetPtr rs = accesDonnees.getListeUtilisateurs();
    if (rs) {
        const char* champs[] = {"UTI_CODE", "UTI_LOGIN", "MED_LIB",    "UTI_GROUP",
                                "MED_UM",   "MED_ACT",   "UTI_CREATE", "UTI_UPDATE"};
        QList<QTreeWidgetItem*> lignes;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            auto* ligne = new LigneTriee;
            // The code is an integer: its text is written out here (valeurTexte
            // gives no text for integers).
            const QVariant code = rs->Fields(QLatin1String(champs[0]));
            ligne->setText(colonneCode, code.isNull() ? QString() : code.toString());
            cleDeTri(ligne, colonneCode, code);
            for (int c = 1; c < 8; ++c) {
                const QVariant v = rs->Fields(QLatin1String(champs[c]));
                ligne->setText(c, valeurTexte(v));
                ligne->setToolTip(c, ligne->text(c));
                if (c == colonneCree || c == colonneModifie)
                    cleDeTri(ligne, c, v);
            }
            lignes << ligne;
        }
        LV_Users->addTopLevelItems(lignes);
    }
    if (const QVariant c = LV_Users->property("colonneTri"); c.isValid())
        LV_Users->sortItems(c.toInt(), Qt::AscendingOrder);
    ajusterColonnes(LV_Users);
    if (LV_Users->topLevelItemCount() > 0)
        LV_Users->setCurrentItem(LV_Users->topLevelItem(0));
}

void f_utilisateurs::remplirUM() {
    LV_UM->clear();
    RecordsetPtr rs = accesDonnees.getListeUM();
    if (rs) {
        QList<QTreeWidgetItem*> lignes;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            auto* ligne = new LigneTriee;
            ligne->setText(0, valeurTexte(rs->Fields(QStringLiteral("UM_Code"))));
            ligne->setText(1, valeurTexte(rs->Fields(QStringLiteral("UM_LIB"))));
            ligne->setToolTip(1, ligne->text(1));
            lignes << ligne;
        }
        LV_UM->addTopLevelItems(lignes);
    }
    if (const QVariant c = LV_UM->property("colonneTri"); c.isValid())
        LV_UM->sortItems(c.toInt(), Qt::AscendingOrder);
    ajusterColonnes(LV_UM);
}

void f_utilisateurs::trier(QTreeWidget* liste, int colonne) {
    // Always ascending, as the list was first sorted; kept for the refills.
    liste->setProperty("colonneTri", colonne);
    liste->header()->setSortIndicatorShown(true);
    liste->sortItems(colonne, Qt::AscendingOrder);
}

RecordsetPtr f_utilisateurs::utilisateurSelectionne() const {
    QTreeWidgetItem* ligne = LV_Users->currentItem();
    if (!ligne)
        return nullptr;
    RecordsetPtr rs = accesDonnees.getUtilisateur(long(ligne->text(colonneCode).toLongLong()));
    return rs && !rs->isEOF() ? rs : nullptr;
}

RecordsetPtr f_utilisateurs::UMSelectionnee() const {
    QTreeWidgetItem* ligne = LV_UM->currentItem();
    if (!ligne)
        return nullptr;
    RecordsetPtr rs = accesDonnees.getUM(ligne->text(0));
    return rs && !rs->isEOF() ? rs : nullptr;
}

void f_utilisateurs::ligneCliquee(QTreeWidget* liste) {
    if (liste->topLevelItemCount() == 0 || !liste->currentItem())
        return;
    const bool utilisateurs = liste == LV_Users;
    // The record is read again: the pop-up menu works on what the database holds.
    const RecordsetPtr rs = utilisateurs ? utilisateurSelectionne() : UMSelectionnee();
    if (!rs || !m_boutonDroit)
        return;
    m_boutonDroit = false;
    if (utilisateurs)
        emit menuUtilisateurDemande(QCursor::pos());
    else
        emit menuUMDemande(QCursor::pos());
}

void f_utilisateurs::selectionnerApresSuppression(QTreeWidget* liste, int position) {
    if (position < 0)
        return;
    delete liste->takeTopLevelItem(position);
    if (QTreeWidgetItem* ligne = liste->topLevelItem(position))
        liste->setCurrentItem(ligne);
    else if (liste->topLevelItemCount() > 0)
        liste->setCurrentItem(liste->topLevelItem(0));
}

void f_utilisateurs::afficheFenetreAjoutUti() {
    d_utilisateur dialogue(this);
    if (dialogue.afficher(1))
        remplirUtilisateurs();
}

void f_utilisateurs::afficheFenetreModifUti() {
    if (!LV_Users->currentItem())
        return;
    const RecordsetPtr rs = utilisateurSelectionne();
    if (!rs) { // deleted meanwhile by another administrator
        remplirUtilisateurs();
        return;
    }
    d_utilisateur dialogue(this);
    if (dialogue.afficher(2, rs))
        remplirUtilisateurs();
}

void f_utilisateurs::suppUti() {
    QTreeWidgetItem* ligne = LV_Users->currentItem();
    if (!ligne)
        return;
    const long code = long(ligne->text(colonneCode).toLongLong());
    const QString refus =
        administration::refusSuppressionUtilisateur(code, utilisateurCourant.p_code);
    if (!refus.isEmpty()) {
        afficherMessage(refus, QStringLiteral("Attention"), Icone::Exclamation);
        return;
    }
    if (afficherMessage(QStringLiteral("Voulez-vous vraiment supprimer l'utilisateur "
                                       "sélectionné ?"),
                        QStringLiteral("Confirmation suppression"), Icone::Question,
                        Boutons::OuiNonDefautNon) != Reponse::Oui)
        return;
    const ResultatAdministration r =
        administration::supprimerUtilisateur(code, utilisateurCourant.p_code);
    if (r.etat == ResultatAdministration::Etat::Refuse)
        afficherMessage(r.message, QStringLiteral("Attention"), Icone::Exclamation);
    if (!r.fait()) {
        remplirUtilisateurs(); // the list shows what the database holds
        return;
    }
    selectionnerApresSuppression(LV_Users, positionCourante(LV_Users));
}

void f_utilisateurs::afficheFenetreAjoutUM() {
    d_UM dialogue(this);
    if (dialogue.afficher(1))
        remplirUM();
}

void f_utilisateurs::afficheFenetreModifUM() {
    if (!LV_UM->currentItem())
        return;
    const RecordsetPtr rs = UMSelectionnee();
    if (!rs) {
        remplirUM();
        return;
    }
    d_UM dialogue(this);
    if (dialogue.afficher(2, rs))
        remplirUM();
}

void f_utilisateurs::suppUM() {
    QTreeWidgetItem* ligne = LV_UM->currentItem();
    if (!ligne)
        return;
    const QString code = ligne->text(0);
    // The doctors of the unit keep it (they are not changed): the question
    // says how many they are.
    if (afficherMessage(
            administration::questionSuppressionUM(administration::nombreMedecinsUM(code)),
            QStringLiteral("Confirmation suppression"), Icone::Question,
            Boutons::OuiNonDefautNon) != Reponse::Oui)
        return;
    if (!accesDonnees.supprimerUM(code)) {
        remplirUM();
        return;
    }
    selectionnerApresSuppression(LV_UM, positionCourante(LV_UM));
}
