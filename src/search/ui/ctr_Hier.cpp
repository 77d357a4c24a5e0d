#include "ctr_Hier.h"

#include "Globals.h"
#include "adCCAM.h"
#include "d_notesUtilisation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A combo that lists two columns (code, label) and shows the chosen label.
QComboBox* comboDeuxColonnes(const QString& nom, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(nom);
    auto* modele = new QStandardItemModel(0, 2, combo);
    auto* vue = new QTreeView(combo);
    vue->setHeaderHidden(true);
    vue->setRootIsDecorated(false);
    vue->setAllColumnsShowFocus(true);
    vue->setUniformRowHeights(true);
    combo->setModel(modele);
    combo->setView(vue);
    combo->setModelColumn(1);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(20);
    return combo;
}

// Columns of the drop-down list: 100 and 500 pixels at least, wider when a
// label needs it, so that no chapter label is cut.
void dimensionnerVue(QComboBox* combo) {
    auto* vue = static_cast<QTreeView*>(combo->view());
    vue->resizeColumnToContents(0);
    vue->resizeColumnToContents(1);
    const int code = qMax(100, vue->columnWidth(0));
    const int libelle = qMax(500, vue->columnWidth(1));
    vue->setColumnWidth(0, code);
    vue->setColumnWidth(1, libelle);
    vue->setMinimumWidth(code + libelle + vue->verticalScrollBar()->sizeHint().width() +
                         2 * vue->frameWidth());
}

QString codeChoisi(QComboBox* combo) {
    const int ligne = combo->currentIndex();
    if (ligne < 0)
        return QString();
    return combo->model()->index(ligne, 0).data().toString();
}

} // namespace

ctr_Hier::ctr_Hier(QWidget* parent)
    : ctr_ListeActes(QStringLiteral("Sélectionner cet acte"),
                     QStringLiteral("Ajouter au thésaurus"), parent) {
    setObjectName(QStringLiteral("ctr_Hier"));
    static const char* const libelles[4] = {
        "Chapitre :", "Sous chapitre :", "Paragraphe :", "Sous Paragraphe :"};
    auto* grille = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        l_hier[i] = new QLabel(QString::fromUtf8(libelles[i]), this);
        c_hier[i] = comboDeuxColonnes(QStringLiteral("c_hier_%1").arg(i), this);
        b_notes[i] = new QToolButton(this);
        b_notes[i]->setObjectName(QStringLiteral("b_notes_%1").arg(i));
        b_notes[i]->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
        b_notes[i]->setToolTip(QStringLiteral("Notes d'utilisation"));
        grille->addWidget(l_hier[i], i, 0);
        grille->addWidget(c_hier[i], i, 1);
        grille->addWidget(b_notes[i], i, 2);
        connect(c_hier[i], &QComboBox::activated, this, [this, i] { chapitreChoisi(i); });
        connect(b_notes[i], &QToolButton::clicked, this, [this, i] { notesChoisies(i); });
    }
    grille->setColumnStretch(1, 1);
    auto* disposition = new QVBoxLayout(this);
    disposition->addLayout(grille);
    disposition->addWidget(LV_Actes, 1);
}

void ctr_Hier::premiereApparition() {
    ctr_ListeActes::premiereApparition();
    for (QComboBox* combo : c_hier)
        dimensionnerVue(combo);
    remplirNiveau(c_hier[0], 1, QString());
}

void ctr_Hier::viderCombo(QComboBox* combo) {
    const QSignalBlocker bloque(combo);
    static_cast<QStandardItemModel*>(combo->model())->setRowCount(0);
    combo->setCurrentIndex(-1);
}

void ctr_Hier::remplirNiveau(QComboBox* combo, qint16 niveau, const QString& parent) {
    viderListe();
    RecordsetPtr chapitres = accesCCAM.getHierar(niveau, parent);
    if (!chapitres)
        return;
    if (chapitres->RecordCount() == 0) {
        // No sub-chapter: the acts hang directly under the parent.
        afficherActesPosition(parent);
        return;
    }
    const int iCode = chapitres->indexChamp(QStringLiteral("Code"));
    const int iLibelle = chapitres->indexChamp(QStringLiteral("libelle"));
    if (iCode < 0 || iLibelle < 0)
        return;
    auto* modele = static_cast<QStandardItemModel*>(combo->model());
    const QSignalBlocker bloque(combo);
    for (int i = 0; i < chapitres->RecordCount(); ++i) {
        const QString libelle = chapitres->valeurLigne(i, iLibelle).toString();
        auto* code = new QStandardItem(chapitres->valeurLigne(i, iCode).toString());
        auto* texte = new QStandardItem(libelle);
        texte->setToolTip(libelle);
        modele->appendRow({code, texte});
    }
    combo->setCurrentIndex(-1);
    dimensionnerVue(combo);
}

void ctr_Hier::afficherActesPosition(const QString& code) {
    viderListe();
    QString position = code;
    position.remove(u'.');
    if (position.size() == 4)
        position += QStringLiteral("0000");
    else if (position.size() == 6)
        position += QStringLiteral("00");
    remplirListe(accesCCAM.getListActes_ParHierar(position));
    selectionnerPremiereLigne();
}

void ctr_Hier::chapitreChoisi(int i) {
    if (i < 0 || i > 3)
        return;
    const QString code = codeChoisi(c_hier[i]);
    if (code.isEmpty())
        return;
    c_hier[i]->setToolTip(c_hier[i]->currentText());
    // Every deeper level empties before the next one fills; the last level
    // lists its acts.
    for (int j = i + 1; j < 4; ++j)
        viderCombo(c_hier[j]);
    if (i < 3)
        remplirNiveau(c_hier[i + 1], static_cast<qint16>(i + 2), code);
    else
        afficherActesPosition(code);
}

void ctr_Hier::notesChoisies(int i) {
    if (i < 0 || i > 3)
        return;
    const QString code = codeChoisi(c_hier[i]);
    if (code.isEmpty())
        return;
    d_notesUtilisation notes(this);
    notes.afficher(code);
}
