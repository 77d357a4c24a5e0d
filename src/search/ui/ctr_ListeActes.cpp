#include "ctr_ListeActes.h"

#include "ActeChoisi.h"
#include "Globals.h"
#include "ModeEcran.h"
#include "OrdreFrancais.h"
#include "Progression.h"
#include "QtClavierListes.h"
#include "Utilisateur.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <numeric>

// ------------------------------------------------------------ the list view

namespace {

// A row sorted by its column's text as people read it, case and accents
// ignored: the order of the database's label queries ("Échographie" before
// "Radiographie").
class LigneActeTriee : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& autre) const override {
        const int colonne = treeWidget() ? qMax(0, treeWidget()->sortColumn()) : 0;
        return avantFrancais(text(colonne), autre.text(colonne));
    }
};

// Texts are broken between words, and inside a word only when the word alone
// is wider than its column (a long label in capitals), so that nothing is cut.
QTextOption optionRetour(Qt::Alignment alignement) {
    QTextOption option(alignement);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

class DelegueRetourALaLigne : public QStyledItemDelegate {
public:
    explicit DelegueRetourALaLigne(QTreeView* liste) : QStyledItemDelegate(liste), m_liste(liste) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        // Rows of one search come back in the next one (the list follows the
        // typed text): a size measured once for a text in a column of that
        // width is kept, so that each keystroke measures only the new rows.
        const QString texte = index.data(Qt::DisplayRole).toString();
        const QString cle =
            QStringLiteral("%1|%2|").arg(index.column()).arg(m_liste->columnWidth(index.column())) +
            texte;
        if (const auto connue = m_tailles.constFind(cle); connue != m_tailles.constEnd())
            return *connue;
        if (m_tailles.size() > taillesGardeesMax)
            m_tailles.clear();
        const QSize taille = mesurer(option, index, texte);
        m_tailles.insert(cle, taille);
        return taille;
    }

    QSize mesurer(const QStyleOptionViewItem& option, const QModelIndex& index,
                  const QString& texte) const {
        if (texte.isEmpty())
            return QStyledItemDelegate::sizeHint(option, index);
        // The style's height for one line (and the tick box), without laying
        // the text out: the text is measured below, wrapped, which never
        // gives fewer lines than the style's own measure.
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget* vue = opt.widget;
        QStyle* style = vue ? vue->style() : QApplication::style();
        QSize taille = style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), vue);
        // The text is measured in the very width paint() gives it (tick box
        // and the style's text margins taken off), so that no line is cut.
        opt.rect = QRect(0, 0, m_liste->columnWidth(index.column()), taille.height());
        const int largeur = zoneTexte(opt).width();
        if (largeur <= 0)
            return taille;
        QTextLayout mise(texte, option.font);
        mise.setTextOption(optionRetour(Qt::AlignLeft));
        qreal hauteur = 0;
        mise.beginLayout();
        for (QTextLine ligne = mise.createLine(); ligne.isValid(); ligne = mise.createLine()) {
            ligne.setLineWidth(largeur);
            hauteur += ligne.height();
        }
        mise.endLayout();
        taille.setHeight(qMax(taille.height(), qCeil(hauteur) + 2));
        return taille;
    }

    void paint(QPainter* peintre, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* vue = opt.widget;
        QStyle* style = vue ? vue->style() : QApplication::style();
        const QString texte = opt.text;
        // Background, selection, focus and tick box as usual; the text here,
        // in the place the style gives it (which does not depend on the text).
        opt.text.clear();
        const QRect zone = zoneTexte(opt);
        style->drawControl(QStyle::CE_ItemViewItem, &opt, peintre, vue);
        if (texte.isEmpty())
            return;
        const QPalette::ColorGroup groupe =
            !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                 : QPalette::Inactive;
        peintre->save();
        peintre->setFont(opt.font);
        peintre->setPen(opt.palette.color(groupe, (opt.state & QStyle::State_Selected)
                                                      ? QPalette::HighlightedText
                                                      : QPalette::Text));
        peintre->drawText(QRectF(zone), texte, optionRetour(opt.displayAlignment));
        peintre->restore();
    }

private:
    QRect zoneTexte(const QStyleOptionViewItem& opt) const {
        const QWidget* vue = opt.widget;
        QStyle* style = vue ? vue->style() : QApplication::style();
        return style->subElementRect(QStyle::SE_ItemViewItemText, &opt, vue)
            .adjusted(marge(), 0, -marge(), 0);
    }
    int marge() const {
        return m_liste->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_liste) + 1;
    }
    static constexpr int taillesGardeesMax = 50000;
    QTreeView* m_liste;
    mutable QHash<QString, QSize> m_tailles;
};

} // namespace

void activerRetourALaLigne(QTreeView* liste) {
    liste->setWordWrap(true);
    liste->setTextElideMode(Qt::ElideNone);
    liste->setUniformRowHeights(false);
    liste->setItemDelegate(new DelegueRetourALaLigne(liste));
    // Several width changes in a row (a splitter dragged) measure the rows once.
    QObject::connect(liste->header(), &QHeaderView::sectionResized, liste, [liste] {
        if (liste->property("mesureDemandee").toBool())
            return;
        liste->setProperty("mesureDemandee", true);
        QMetaObject::invokeMethod(
            liste,
            [liste] {
                liste->setProperty("mesureDemandee", false);
                liste->doItemsLayout();
            },
            Qt::QueuedConnection);
    });
}

void VueListeActes::mousePressEvent(QMouseEvent* event) {
    emit boutonPresse(event->button());
    QTreeWidget::mousePressEvent(event);
}

void VueListeActes::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (itemAt(event->position().toPoint()))
        emit ligneCliquee();
}

// ------------------------------------------------------------ the panel part

ctr_ListeActes::ctr_ListeActes(const QString& libellePanier, const QString& libelleThesaurus,
                               QWidget* parent)
    : QWidget(parent) {
    LV_Actes = new VueListeActes(this);
    LV_Actes->setObjectName(QStringLiteral("LV_Actes"));
    LV_Actes->setRootIsDecorated(false);
    // Labels run up to a few hundred characters: rows wrap them in full.
    activerRetourALaLigne(LV_Actes);
    LV_Actes->setAllColumnsShowFocus(true);
    LV_Actes->setSelectionMode(QAbstractItemView::SingleSelection);
    LV_Actes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LV_Actes->setColumnCount(2);
    LV_Actes->setHeaderLabels({QStringLiteral("Code"), QStringLiteral("Libelle")});
    LV_Actes->header()->setSectionsClickable(true);
    // The label column takes what the code column leaves, also when a
    // vertical scroll bar comes or goes.
    LV_Actes->header()->setStretchLastSection(true);

    m_listeActes = new QMenu(this);
    m_listeActes->setObjectName(QStringLiteral("m_listeActes"));
    m_ajoutPanier = m_listeActes->addAction(libellePanier);
    m_ajoutPanier->setObjectName(QStringLiteral("m_ajoutPanier"));
    m_ajoutThesaurus = m_listeActes->addAction(libelleThesaurus);
    m_ajoutThesaurus->setObjectName(QStringLiteral("m_ajoutThesaurus"));

    connect(LV_Actes, &VueListeActes::boutonPresse, this,
            [this](Qt::MouseButton b) { m_boutonSouris = b == Qt::RightButton ? 2 : 1; });
    // The selection, not the gesture, says which act is picked: arrows, Home,
    // End, page keys, clicks and programmatic changes all go through it.
    connect(LV_Actes, &QTreeWidget::itemSelectionChanged, this, &ctr_ListeActes::annoncerSelection);
    connect(LV_Actes, &VueListeActes::ligneCliquee, this, &ctr_ListeActes::ligneCliquee);
    // A double click runs the pop-up's first command, as Enter does.
    connect(LV_Actes, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (menuPermis())
            m_ajoutPanier->trigger();
    });
    LV_Actes->installEventFilter(this);
    connect(LV_Actes->header(), &QHeaderView::sectionClicked, this, &ctr_ListeActes::trierColonne);
    connect(LV_Actes, &QTreeWidget::itemChanged, this, &ctr_ListeActes::ligneCochee);
    connect(m_ajoutPanier, &QAction::triggered, this, &ctr_ListeActes::ajouterPanier);
    connect(m_ajoutThesaurus, &QAction::triggered, this, &ctr_ListeActes::ajouterThesaurus);

    // The rows still to come follow a batch at a time while nothing else
    // waits (a keystroke goes first), or all at once when the user reaches
    // for them: a key or a click in the list, the wheel, the scroll bar.
    m_suite = new QTimer(this);
    m_suite->setSingleShot(true);
    m_suite->setInterval(0);
    connect(m_suite, &QTimer::timeout, this, [this] {
        if (!listeComplete()) {
            ajouterLignes(lignesParLot);
        } else {
            // Then the rows of the searches before, taken out of the list
            // at once but deleted here, a batch at a time.
            const qsizetype n = std::min<qsizetype>(m_anciennesLignes.size(), lignesParLot * 4);
            qDeleteAll(m_anciennesLignes.cend() - n, m_anciennesLignes.cend());
            m_anciennesLignes.resize(m_anciennesLignes.size() - n);
        }
        relancerSuite();
    });
    LV_Actes->viewport()->installEventFilter(this);
    connect(LV_Actes->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &ctr_ListeActes::completerListe);
    connect(LV_Actes->verticalScrollBar(), &QAbstractSlider::sliderPressed, this,
            &ctr_ListeActes::completerListe);
}

ctr_ListeActes::~ctr_ListeActes() {
    qDeleteAll(m_anciennesLignes);
}

void ctr_ListeActes::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_montre) {
        m_montre = true;
        premiereApparition();
    }
}

void ctr_ListeActes::premiereApparition() {
    if (contexteCourant == ModeEcran::RechercheActe && !m_selection)
        m_selection = std::make_unique<QList<LigneActe>>();
    dimensionnerColonnes();
}

void ctr_ListeActes::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    dimensionnerColonnes();
}

void ctr_ListeActes::dimensionnerColonnes() {
    // The code column as wide as a code (and its tick box); the label column
    // stretches over the rest of the list, its labels wrapped: every label is
    // read whole without a horizontal scroll bar.
    if (LV_Actes->viewport()->width() <= 0)
        return;
    const QFontMetrics mesure(LV_Actes->font());
    int code = qMax(mesure.horizontalAdvance(QStringLiteral("WWWW000")),
                    LV_Actes->header()->sectionSizeHint(0)) +
               4 * LV_Actes->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, LV_Actes);
    if (m_selection)
        code += LV_Actes->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, LV_Actes) +
                LV_Actes->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, LV_Actes);
    LV_Actes->setColumnWidth(0, code);
}

void ctr_ListeActes::viderListe() {
    m_aVenir = {};
    LV_Actes->clear();
    LV_Actes->setToolTip(QString());
    // The rows are gone, and the act picked in them with them.
    if (!m_acteSelectionne.isEmpty())
        annoncerSelection();
}

QTreeWidgetItem* ctr_ListeActes::creerLigne(const QString& code, const QString& libelle) const {
    auto* ligne = new LigneActeTriee({code, libelle});
    ligne->setToolTip(1, libelle);
    ligne->setTextAlignment(0, Qt::AlignLeft | Qt::AlignTop);
    if (m_selection) {
        // An act ticked before the list was filled again is shown ticked:
        // unticking it then removes it, ticking it again cannot add it twice.
        const bool coche = std::any_of(m_selection->cbegin(), m_selection->cend(),
                                       [&](const LigneActe& l) { return l.code == code; });
        ligne->setFlags(ligne->flags() | Qt::ItemIsUserCheckable);
        ligne->setCheckState(0, coche ? Qt::Checked : Qt::Unchecked);
        ligne->setData(0, Qt::UserRole, coche);
    }
    return ligne;
}

bool ctr_ListeActes::preparerLignes(const RecordsetPtr& actes) {
    m_aVenir = {};
    if (!actes)
        return false;
    const int iCode = actes->indexChamp(QStringLiteral("AMCODE"));
    const int iLibelle = actes->indexChamp(QStringLiteral("Libelle_Complet"));
    if (iCode < 0 || iLibelle < 0)
        return false;
    m_aVenir = {actes, iCode, iLibelle, std::vector<int>(static_cast<size_t>(actes->RecordCount())),
                0};
    std::iota(m_aVenir.ordre.begin(), m_aVenir.ordre.end(), 0);
    if (m_tri) {
        // The order the list's own sort gives (a stable sort of the column's
        // texts, LigneActeTriee), taken before the rows exist.
        const int champ = m_colonneTri == 0 ? iCode : iLibelle;
        std::vector<QString> textes(m_aVenir.ordre.size());
        for (size_t i = 0; i < textes.size(); ++i)
            textes[i] = actes->valeurLigne(static_cast<int>(i), champ).toString();
        std::stable_sort(m_aVenir.ordre.begin(), m_aVenir.ordre.end(), [&](int a, int b) {
            return avantFrancais(textes[static_cast<size_t>(a)], textes[static_cast<size_t>(b)]);
        });
    }
    return true;
}

void ctr_ListeActes::ajouterLignes(size_t n) {
    const size_t fin = std::min(m_aVenir.ordre.size(), m_aVenir.suivante + n);
    if (fin <= m_aVenir.suivante)
        return;
    QList<QTreeWidgetItem*> lignes;
    lignes.reserve(static_cast<qsizetype>(fin - m_aVenir.suivante));
    for (size_t i = m_aVenir.suivante; i < fin; ++i) {
        const int r = m_aVenir.ordre[i];
        lignes << creerLigne(m_aVenir.actes->valeurLigne(r, m_aVenir.iCode).toString(),
                             m_aVenir.actes->valeurLigne(r, m_aVenir.iLibelle).toString());
    }
    m_aVenir.suivante = fin;
    if (listeComplete())
        m_aVenir = {};
    const QSignalBlocker bloque(LV_Actes);
    LV_Actes->addTopLevelItems(lignes);
}

void ctr_ListeActes::completerListe() {
    ajouterLignes(m_aVenir.ordre.size());
    relancerSuite();
}

void ctr_ListeActes::relancerSuite() {
    if (!listeComplete() || !m_anciennesLignes.isEmpty())
        m_suite->start();
    else
        m_suite->stop();
}

size_t ctr_ListeActes::premieresLignes() const {
    // Two screenfuls of rows of one line (the shortest rows).
    const int hauteurLigne = qMax(1, QFontMetrics(LV_Actes->font()).height());
    return static_cast<size_t>(
        qMax(premieresLignesMin, 2 * (LV_Actes->viewport()->height() / hauteurLigne + 1)));
}

int ctr_ListeActes::remplirListe(const RecordsetPtr& actes) {
    if (!preparerLignes(actes))
        return 0;
    completerListe();
    return actes->RecordCount();
}

void ctr_ListeActes::selectionnerPremiereLigne() {
    if (LV_Actes->topLevelItemCount() == 0)
        return;
    LV_Actes->setCurrentItem(LV_Actes->topLevelItem(0));
}

void ctr_ListeActes::remplacerLignes(const RecordsetPtr& actes) {
    const QString garde = m_acteSelectionne;
    {
        // Emptied without announcing: the act picked may be among the new
        // rows. The old rows are deleted later (thousands take milliseconds).
        const QSignalBlocker bloque(LV_Actes);
        m_anciennesLignes += LV_Actes->invisibleRootItem()->takeChildren();
    }
    size_t lignes = 0;
    if (preparerLignes(actes)) {
        lignes = premieresLignes();
        if (!garde.isEmpty()) {
            // Down to the act kept picked, which the list then shows.
            for (size_t i = lignes; i < m_aVenir.ordre.size(); ++i)
                if (actes->valeurLigne(m_aVenir.ordre[i], m_aVenir.iCode).toString() == garde) {
                    lignes = i + 1;
                    break;
                }
        }
    }
    ajouterLignes(lignes);
    relancerSuite();
    if (!garde.isEmpty() && selectionnerLigne(garde))
        return;
    if (LV_Actes->topLevelItemCount() > 0)
        selectionnerPremiereLigne();
    else
        annoncerSelection();
}

bool ctr_ListeActes::selectionnerLigne(const QString& code) {
    for (int i = 0; i < LV_Actes->topLevelItemCount(); ++i) {
        QTreeWidgetItem* ligne = LV_Actes->topLevelItem(i);
        if (ligne->text(0) == code) {
            const QSignalBlocker bloque(LV_Actes);
            LV_Actes->setCurrentItem(ligne);
            LV_Actes->setToolTip(ligne->text(1));
            return true;
        }
    }
    return false;
}

void ctr_ListeActes::annoncerSelection() {
    const QList<QTreeWidgetItem*> lignes = LV_Actes->selectedItems();
    QTreeWidgetItem* ligne = lignes.isEmpty() ? nullptr : lignes.constFirst();
    LV_Actes->setToolTip(ligne ? ligne->text(1) : QString());
    m_acteSelectionne = ligne ? ligne->text(0) : QString();
    if (m_acteSelectionne.isEmpty())
        oublierActeCourant();
    else
        choisirActeCourant({m_acteSelectionne, {}, {}});
    CurseurOccupe occupe;
    emit acteChoisi(m_acteSelectionne);
}

bool ctr_ListeActes::menuPermis() const {
    return utilisateurCourant.p_GROUP == QLatin1String("MEDECIN") && !m_selection &&
           !m_acteSelectionne.isEmpty();
}

void ctr_ListeActes::ligneCliquee() {
    // The press already selected the row and picked its act.
    if (m_boutonSouris == 2 && menuPermis())
        m_listeActes->popup(QCursor::pos());
}

bool ctr_ListeActes::eventFilter(QObject* objet, QEvent* event) {
    // The user reaches for the rows: the ones still to come are put in first,
    // so that End, the page keys, the wheel and the pop-up see them all.
    if (!listeComplete() &&
        ((objet == LV_Actes && event->type() == QEvent::KeyPress) ||
         (objet == LV_Actes->viewport() &&
          (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel))))
        completerListe();
    // Without the pop-up (the search dialog, a DIM user), Enter goes on to
    // the window (its default button).
    if (objet == LV_Actes && event->type() == QEvent::KeyPress && menuPermis()) {
        switch (toucheLigne(static_cast<QKeyEvent*>(event))) {
        case ToucheLigne::Valider:
            m_ajoutPanier->trigger();
            return true;
        case ToucheLigne::Menu:
            m_listeActes->popup(positionMenuLigne(LV_Actes, LV_Actes->currentIndex()));
            return true;
        case ToucheLigne::Aucune:
            break;
        }
    }
    return QWidget::eventFilter(objet, event);
}

void ctr_ListeActes::ligneCochee(QTreeWidgetItem* ligne, int colonne) {
    if (!m_selection || !ligne || colonne != 0)
        return;
    // itemChanged also reports other changes of the row: compare with the
    // state recorded at the last tick.
    const bool coche = ligne->checkState(0) == Qt::Checked;
    const bool avant = ligne->data(0, Qt::UserRole).toBool();
    if (coche == avant)
        return;
    {
        const QSignalBlocker bloque(LV_Actes);
        ligne->setData(0, Qt::UserRole, coche);
    }
    if (coche) {
        m_selection->append({ligne->text(0), ligne->text(1)});
    } else {
        const QString code = ligne->text(0);
        for (qsizetype i = 0; i < m_selection->size(); ++i)
            if (m_selection->at(i).code == code) {
                m_selection->removeAt(i);
                break;
            }
    }
}

void ctr_ListeActes::trierColonne(int colonne) {
    completerListe();
    m_tri = true;
    m_colonneTri = colonne;
    LV_Actes->header()->setSortIndicatorShown(true);
    LV_Actes->header()->setSortIndicator(colonne, Qt::AscendingOrder);
    LV_Actes->sortItems(colonne, Qt::AscendingOrder);
}

void ctr_ListeActes::ajouterPanier() {
    // The basket admission works on the current act, set when the row was picked.
    emit ajoutPanierDemande();
}

void ctr_ListeActes::ajouterThesaurus() {
    if (!m_acteSelectionne.isEmpty())
        emit ajoutThesaurusDemande(m_acteSelectionne);
}
