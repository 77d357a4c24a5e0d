#include "ctr_site.h"

#include "Globals.h"
#include "adCCAM.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QTreeWidget* listeDeuxColonnes(const QString& nom, int largeurCode, QWidget* parent) {
    auto* liste = new QTreeWidget(parent);
    liste->setObjectName(nom);
    liste->setColumnCount(2);
    liste->setHeaderHidden(true);
    liste->setRootIsDecorated(false);
    activerRetourALaLigne(liste);
    liste->setAllColumnsShowFocus(true);
    liste->setColumnWidth(0, largeurCode);
    liste->header()->setStretchLastSection(true);
    return liste;
}

// The narrowest width in which a label holds on two lines at most: the
// wider half of its best cut between two words; a label without a blank is
// broken anywhere, so half of it.
int largeurDeuxLignes(const QString& texte, const QFontMetrics& mesure) {
    const int entier = mesure.horizontalAdvance(texte);
    if (!texte.contains(QLatin1Char(' ')))
        return entier / 2 + mesure.maxWidth();
    int meilleure = entier;
    for (qsizetype i = texte.indexOf(QLatin1Char(' ')); i >= 0;
         i = texte.indexOf(QLatin1Char(' '), i + 1))
        meilleure = qMin(meilleure, qMax(mesure.horizontalAdvance(texte.left(i)),
                                         mesure.horizontalAdvance(texte.mid(i + 1))));
    return meilleure;
}

// The list is made wide enough for every label it holds to wrap on two lines
// at most; it never narrows again, so that choosing another system does not
// make the panel jump.
void elargirPourDeuxLignes(QTreeWidget* liste) {
    const QFontMetrics mesure(liste->font());
    const QStyle* style = liste->style();
    // Text margins of the style and of the wrapping delegate, and a blank's
    // worth of rounding.
    const int marges = 4 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, liste) + 1) +
                       mesure.horizontalAdvance(QLatin1Char(' '));
    // The code column as wide as the widest code.
    int code = 0;
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        code = qMax(code, mesure.horizontalAdvance(liste->topLevelItem(i)->text(0)));
    if (code + marges > liste->columnWidth(0))
        liste->setColumnWidth(0, code + marges);
    int libelle = 0;
    for (int i = 0; i < liste->topLevelItemCount(); ++i)
        libelle = qMax(libelle, largeurDeuxLignes(liste->topLevelItem(i)->text(1), mesure));
    if (libelle == 0)
        return;
    // A freak label (hundreds of letters) wraps on more lines rather than
    // widen the panel beyond reason.
    libelle = qMin(libelle, 60 * mesure.averageCharWidth());
    const int voulue = liste->columnWidth(0) + libelle + marges +
                       style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, liste) +
                       2 * liste->frameWidth();
    if (voulue > liste->minimumWidth())
        liste->setMinimumWidth(voulue);
}

// Adds one row per record: column 0 from the first field, column 1 from the second.
void remplirDeuxColonnes(QTreeWidget* liste, const RecordsetPtr& rs) {
    if (!rs || rs->FieldCount() < 2)
        return;
    const QSignalBlocker bloque(liste);
    for (int i = 0; i < rs->RecordCount(); ++i) {
        const QString code = rs->valeurLigne(i, 0).toString();
        const QString libelle = rs->valeurLigne(i, 1).toString();
        auto* ligne = new QTreeWidgetItem({code, libelle});
        ligne->setToolTip(1, libelle);
        ligne->setTextAlignment(0, Qt::AlignLeft | Qt::AlignTop);
        liste->addTopLevelItem(ligne);
    }
    elargirPourDeuxLignes(liste);
}

} // namespace

ctr_site::ctr_site(QWidget* parent)
    : ctr_ListeActes(QStringLiteral("Ajouter l'acte au panier"),
                     QStringLiteral("Ajouter au thésaurus"), parent) {
    setObjectName(QStringLiteral("ctr_site"));
    m_listeActes->setTitle(QStringLiteral("Sélectionner cet acte"));
    Frame1 = new QGroupBox(QStringLiteral("Système"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ListBox1 = listeDeuxColonnes(QStringLiteral("ListBox1"), 20, Frame1);
    (new QVBoxLayout(Frame1))->addWidget(ListBox1);
    Frame2 = new QGroupBox(QStringLiteral("Organe ou fonction"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ListBox2 = listeDeuxColonnes(QStringLiteral("ListBox2"), 20, Frame2);
    (new QVBoxLayout(Frame2))->addWidget(ListBox2);

    auto* haut = new QHBoxLayout;
    haut->addWidget(Frame1, 1);
    haut->addWidget(Frame2, 1);
    auto* disposition = new QVBoxLayout(this);
    disposition->addLayout(haut, 2);
    disposition->addWidget(LV_Actes, 3);

    connect(ListBox1, &QTreeWidget::currentItemChanged, this, &ctr_site::systemeChoisi);
    connect(ListBox2, &QTreeWidget::currentItemChanged, this, &ctr_site::organeChoisi);
}

void ctr_site::premiereApparition() {
    ctr_ListeActes::premiereApparition();
    ListBox1->clear();
    remplirDeuxColonnes(ListBox1, accesCCAM.getListSystemes());
}

void ctr_site::systemeChoisi() {
    {
        const QSignalBlocker bloque(ListBox2);
        ListBox2->clear();
    }
    viderListe();
    QTreeWidgetItem* systeme = ListBox1->currentItem();
    if (!systeme)
        return;
    remplirDeuxColonnes(ListBox2, accesCCAM.getListOrganes(systeme->text(0)));
}

void ctr_site::organeChoisi() {
    viderListe();
    QTreeWidgetItem* organe = ListBox2->currentItem();
    if (!organe)
        return;
    remplirListe(accesCCAM.getListActes_ParOrgane(organe->text(0)));
}
