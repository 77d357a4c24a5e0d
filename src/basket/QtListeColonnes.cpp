#include "QtListeColonnes.h"

#include <QHeaderView>
#include <QScrollBar>

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
        item->setTextAlignment(i, Qt::AlignLeft | Qt::AlignVCenter);
        item->setToolTip(i, textes.at(i));
    }
    if (m_cases) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, cochee ? Qt::Checked : Qt::Unchecked);
    }
    addTopLevelItem(item);
    m_silence = false;
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

void ListeColonnes::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    dimensionner();
}

void ListeColonnes::dimensionner() {
    const int largeur = viewport()->width();
    if (largeur <= 0)
        return;
    for (int i = 0; i + 1 < m_parts.size() && i < columnCount(); ++i)
        setColumnWidth(i, int(largeur * m_parts.at(i) / 10.0));
    // Row heights follow the new widths of the wrapped texts.
    doItemsLayout();
}
