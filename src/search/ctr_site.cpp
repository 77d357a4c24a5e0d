#include "ctr_site.h"

#include "Globals.h"
#include "adCCAM.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
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
}

} // namespace

ctr_site::ctr_site(QWidget* parent)
    : ctr_ListeActes(QStringLiteral("Ajouter l'acte au panier"),
                     QStringLiteral("Ajouter au thésaurus"), parent) {
    setObjectName(QStringLiteral("ctr_site"));
    m_listeActes->setTitle(QStringLiteral("Sélectionner cet acte"));
    Frame1 = new QGroupBox(QStringLiteral("Système"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ListBox1 = listeDeuxColonnes(QStringLiteral("ListBox1"), 60, Frame1);
    (new QVBoxLayout(Frame1))->addWidget(ListBox1);
    Frame2 = new QGroupBox(QStringLiteral("Organe ou fonction"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ListBox2 = listeDeuxColonnes(QStringLiteral("ListBox2"), 60, Frame2);
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
