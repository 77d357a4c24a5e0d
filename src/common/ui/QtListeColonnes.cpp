#include "QtListeColonnes.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {
// Long texts wrap at word boundaries inside their column and the row grows
// to hold them, so that nothing is cut.
class DelegueRetour : public QStyledItemDelegate {
public:
    explicit DelegueRetour(QTreeView* liste) : QStyledItemDelegate(liste), m_liste(liste) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize taille = QStyledItemDelegate::sizeHint(option, index);
        const QString texte = index.data(Qt::DisplayRole).toString();
        int largeur = m_liste->columnWidth(index.column()) - 8;
        if (index.column() == 0 && index.flags().testFlag(Qt::ItemIsUserCheckable))
            largeur -= 24;
        if (largeur <= 0 || texte.isEmpty())
            return taille;
        const QRect r =
            option.fontMetrics.boundingRect(QRect(0, 0, largeur, 100000), Qt::TextWordWrap, texte);
        taille.setHeight(qMax(taille.height(), r.height() + 4));
        return taille;
    }

    // A tick box stays beside the code, on the row's first line, however
    // many lines the label takes: the tick column is drawn (and its box
    // clicked) in a first-line-high band at the top of the row.
    void paint(QPainter* peintre, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!index.flags().testFlag(Qt::ItemIsUserCheckable))
            return QStyledItemDelegate::paint(peintre, option, index);
        QStyleOptionViewItem fond = option;
        initStyleOption(&fond, index);
        fond.text.clear();
        fond.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        const QWidget* vue = option.widget;
        QStyle* style = vue ? vue->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &fond, peintre, vue);
        QStyleOptionViewItem haut = option;
        haut.rect = premiereLigne(option, index);
        haut.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(peintre, haut, index);
    }

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override {
        if (!index.flags().testFlag(Qt::ItemIsUserCheckable))
            return QStyledItemDelegate::editorEvent(event, model, option, index);
        QStyleOptionViewItem haut = option;
        haut.rect = premiereLigne(option, index);
        return QStyledItemDelegate::editorEvent(event, model, haut, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features |= QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideNone;
    }

private:
    QRect premiereLigne(const QStyleOptionViewItem& option, const QModelIndex& index) const {
        QRect r = option.rect;
        r.setHeight(qMin(r.height(), QStyledItemDelegate::sizeHint(option, index).height()));
        return r;
    }

    QTreeView* m_liste;
};
} // namespace

ListeColonnes::ListeColonnes(const QStringList& titres, const QVector<double>& parts, bool cases,
                             QWidget* parent)
    : QTreeWidget(parent), m_parts(parts), m_cases(cases) {
    setColumnCount(int(titres.size()));
    setHeaderLabels(titres);
    setRootIsDecorated(false);
    setUniformRowHeights(false);
    setWordWrap(true);
    setTextElideMode(Qt::ElideNone);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    setItemDelegate(new DelegueRetour(this));
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int colonne) {
        if (m_silence || !m_cases || colonne != 0)
            return;
        emit coche(indexOfTopLevelItem(item), item->checkState(0) == Qt::Checked);
    });
}

QTreeWidgetItem* ListeColonnes::ajouterLigne(const QStringList& textes, bool cochee) {
    m_silence = true;
    auto* item = new QTreeWidgetItem(textes);
    for (int i = 0; i < textes.size(); ++i) {
        // A row of several lines reads from its top line, code and price too.
        item->setTextAlignment(i, Qt::AlignLeft | Qt::AlignTop);
        item->setToolTip(i, textes.at(i));
    }
    if (m_cases) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, cochee ? Qt::Checked : Qt::Unchecked);
    }
    addTopLevelItem(item);
    m_silence = false;
    // The widths follow the widest code and price once the rows are in.
    if (!m_dimensionnementPrevu) {
        m_dimensionnementPrevu = true;
        QMetaObject::invokeMethod(
            this, [this] { dimensionner(); }, Qt::QueuedConnection);
    }
    return item;
}

bool ListeColonnes::estCochee(int ligne) const {
    const QTreeWidgetItem* item = topLevelItem(ligne);
    return item && item->checkState(0) == Qt::Checked;
}

void ListeColonnes::setCochee(int ligne, bool cochee) {
    if (QTreeWidgetItem* item = topLevelItem(ligne)) {
        m_silence = true;
        item->setCheckState(0, cochee ? Qt::Checked : Qt::Unchecked);
        m_silence = false;
    }
}

QSize ListeColonnes::sizeHint() const {
    return {360, 120};
}

int ListeColonnes::hauteurLignes() const {
    int hauteur = 2 * frameWidth() + (header()->isHidden() ? 0 : header()->sizeHint().height());
    for (int i = 0; i < topLevelItemCount(); ++i)
        hauteur += qMax(0, sizeHintForRow(i));
    return hauteur;
}

void ListeColonnes::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    dimensionner();
}

void ListeColonnes::dimensionner() {
    m_dimensionnementPrevu = false;
    const int largeur = viewport()->width();
    if (largeur <= 0)
        return;
    // Each column takes its share of the width, but never less than its
    // widest text (a code, a price); the column of the largest share (the
    // label) gives up the difference and wraps its texts.
    const int n = int(qMin<qsizetype>(m_parts.size(), columnCount()));
    int principale = 0;
    for (int i = 1; i < n; ++i)
        if (m_parts.at(i) > m_parts.at(principale))
            principale = i;
    QVector<int> largeurs(n);
    int autres = 0;
    for (int i = 0; i < n; ++i) {
        if (i == principale)
            continue;
        largeurs[i] = qMax(int(largeur * m_parts.at(i) / 10.0),
                           qMax(sizeHintForColumn(i), header()->sectionSizeHint(i)));
        autres += largeurs[i];
    }
    largeurs[principale] = qMax(largeur / 4, largeur - autres);
    for (int i = 0; i + 1 < n; ++i)
        setColumnWidth(i, largeurs[i]);
    // Row heights follow the new widths of the wrapped texts.
    doItemsLayout();
}
