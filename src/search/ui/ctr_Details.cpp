#include "ctr_Details.h"

#include "Globals.h"
#include "Progression.h"
#include "adCCAM.h"

#include "DetailsActe.h"
#include "VersionsCcam.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The text of one tab, with line ends as the text box wants them.
QString texteOnglet(const RecordsetPtr& acte, qint16 onglet) {
    return texteDetailsActe(acte, onglet).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The fees text as the box shows it: the tariff and every modifier's amount
// (what follows the two tabs of the line) start at one tab stop, placed so
// that the widest of them ends at the box's right edge; a modifier whose
// label, wrapped, ends past that stop gets its amount on a line of its own,
// at the same stop. Sets the box's tab stops for that text.
QString alignerMontants(QPlainTextEdit* zone, const QString& texte) {
    QTextOption option = zone->document()->defaultTextOption();
    const qreal largeur = zone->viewport()->width() - 2 * zone->document()->documentMargin() - 1;
    const QFontMetricsF mesure(zone->font());
    const QStringList lignes = texte.split(u'\n');
    qreal largeurMontant = 0;
    for (const QString& ligne : lignes)
        if (const qsizetype i = ligne.lastIndexOf(QStringLiteral("\t\t")); i > 0)
            largeurMontant = qMax(largeurMontant, mesure.horizontalAdvance(ligne.mid(i + 2)));
    qreal retrait = zone->tabStopDistance();
    qreal colonne = largeur - largeurMontant;
    // Too narrow for a column beside the labels: every amount goes on a line
    // of its own, under the start of its label, which is indented less.
    const bool etroit = colonne - 1 <= retrait + mesure.horizontalAdvance(u' ');
    if (etroit)
        colonne = retrait = mesure.horizontalAdvance(QStringLiteral("000"));
    // Two stops a pixel apart: the first tab of a line reaches the first,
    // the second tab the column.
    if (etroit)
        option.setTabs({{retrait - 1, QTextOption::LeftTab}, {retrait, QTextOption::LeftTab}});
    else
        option.setTabs({{retrait, QTextOption::LeftTab},
                        {colonne - 1, QTextOption::LeftTab},
                        {colonne, QTextOption::LeftTab}});
    zone->document()->setDefaultTextOption(option);
    if (largeur <= 0)
        return texte;

    QStringList affichees;
    for (const QString& ligne : lignes) {
        const qsizetype i = ligne.lastIndexOf(QStringLiteral("\t\t"));
        if (i <= 0) {
            affichees << ligne;
            continue;
        }
        QTextLayout mise(ligne.left(i), zone->font());
        mise.setTextOption(option);
        qreal fin = 0;
        mise.beginLayout();
        for (QTextLine l = mise.createLine(); l.isValid(); l = mise.createLine()) {
            l.setLineWidth(largeur);
            fin = l.naturalTextWidth();
        }
        mise.endLayout();
        if (!etroit && fin + mesure.horizontalAdvance(u' ') < colonne - 1)
            affichees << ligne;
        else
            affichees << ligne.left(i)
                      << (etroit ? QStringLiteral("\t\t") : QStringLiteral("\t\t\t")) +
                             ligne.mid(i + 2);
    }
    return affichees.join(u'\n');
}

// A field of the current row; null without a recordset, a row or such a field.
QVariant valeurChamp(const RecordsetPtr& rs, const QString& champ) {
    const int i = rs ? rs->indexChamp(champ) : -1;
    return i < 0 || rs->isEOF() ? QVariant() : rs->Fields(i);
}

} // namespace

// ------------------------------------------------------------ tab strip

OngletsMultiLignes::OngletsMultiLignes(QWidget* parent)
    : QWidget(parent), m_groupe(new QButtonGroup(this)) {
    m_groupe->setExclusive(true);
    // The chosen topic stands out as a tab would.
    setStyleSheet(QStringLiteral("QToolButton { padding: 3px 6px; border: 1px solid palette(mid); "
                                 "background: palette(button); }"
                                 "QToolButton:checked { background: palette(highlight); "
                                 "color: palette(highlighted-text); }"));
    QSizePolicy politique(QSizePolicy::Preferred, QSizePolicy::Fixed);
    politique.setHeightForWidth(true);
    setSizePolicy(politique);
    connect(m_groupe, &QButtonGroup::idToggled, this, [this](int id, bool coche) {
        if (coche)
            emit currentChanged(id);
    });
}

void OngletsMultiLignes::addTab(const QString& texte) {
    auto* onglet = new QToolButton(this);
    onglet->setText(texte);
    onglet->setCheckable(true);
    onglet->setAutoRaise(false);
    onglet->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_groupe->addButton(onglet, m_onglets.size());
    m_onglets << onglet;
    updateGeometry();
}

int OngletsMultiLignes::count() const {
    return m_onglets.size();
}

QString OngletsMultiLignes::tabText(int index) const {
    return index >= 0 && index < m_onglets.size() ? m_onglets[index]->text() : QString();
}

int OngletsMultiLignes::currentIndex() const {
    return m_groupe->checkedId();
}

void OngletsMultiLignes::setCurrentIndex(int index) {
    if (index >= 0 && index < m_onglets.size())
        m_onglets[index]->setChecked(true);
}

int OngletsMultiLignes::disposer(int largeur, bool placer) const {
    int x = 0;
    int y = 0;
    int hauteurLigne = 0;
    for (QToolButton* onglet : m_onglets) {
        const QSize taille = onglet->sizeHint();
        if (x > 0 && x + taille.width() > largeur) {
            x = 0;
            y += hauteurLigne;
            hauteurLigne = 0;
        }
        if (placer)
            const_cast<QToolButton*>(onglet)->setGeometry(x, y, taille.width(), taille.height());
        x += taille.width();
        hauteurLigne = qMax(hauteurLigne, taille.height());
    }
    return y + hauteurLigne;
}

int OngletsMultiLignes::heightForWidth(int largeur) const {
    return disposer(largeur, false);
}

QSize OngletsMultiLignes::sizeHint() const {
    int largeur = 0;
    for (QToolButton* onglet : m_onglets)
        largeur += onglet->sizeHint().width();
    return {largeur, disposer(largeur, false)};
}

QSize OngletsMultiLignes::minimumSizeHint() const {
    int largeur = 0;
    for (QToolButton* onglet : m_onglets)
        largeur = qMax(largeur, onglet->sizeHint().width());
    return {largeur, disposer(largeur, false)};
}

void OngletsMultiLignes::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    disposer(width(), true);
}

// ------------------------------------------------------------ panel

ctr_Details::ctr_Details(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctr_Details"));
    f_phasesActivites = new QGroupBox(QStringLiteral("Activité / Phase"), this);
    f_phasesActivites->setObjectName(QStringLiteral("f_phasesActivites"));
    c_activites = new QComboBox(f_phasesActivites);
    c_activites->setObjectName(QStringLiteral("c_activites"));
    c_phases = new QComboBox(f_phasesActivites);
    c_phases->setObjectName(QStringLiteral("c_phases"));
    c_phases->hide();
    for (QComboBox* c : {c_activites, c_phases}) {
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(12);
        c->installEventFilter(this);
    }
    auto* combos = new QHBoxLayout(f_phasesActivites);
    combos->addWidget(c_activites, 1);
    combos->addWidget(c_phases, 1);

    l_acteClassant = new QLabel(this);
    l_acteClassant->setObjectName(QStringLiteral("l_acteClassant"));
    // The line saying that the flag is not given is longer than a narrow
    // panel: it goes on two lines rather than being cut.
    l_acteClassant->setWordWrap(true);

    TS_details = new OngletsMultiLignes(this);
    TS_details->setObjectName(QStringLiteral("TS_details"));
    for (const char* titre : {"Honoraires", "Activités associées", "Notes d'utilisation",
                              "Hiérarchie", "Associations", "Incompatibilités", "Exonération"})
        TS_details->addTab(QString::fromUtf8(titre));
    t_details = new QPlainTextEdit(this);
    t_details->setObjectName(QStringLiteral("t_details"));
    t_details->setReadOnly(true);
    // In the hierarchy text, codes of up to three levels are followed by two
    // tabs and four-level codes by one: a stop a little wider than a
    // three-level code brings every chapter label to the second stop, one
    // under the other.
    const QFontMetrics mesure = t_details->fontMetrics();
    t_details->setTabStopDistance(mesure.horizontalAdvance(QStringLiteral("00.00.00")) +
                                  mesure.horizontalAdvance(u' ') * 2);
    // The fees' amounts follow the box's width.
    t_details->viewport()->installEventFilter(this);

    auto* disposition = new QVBoxLayout(this);
    disposition->addWidget(f_phasesActivites);
    disposition->addWidget(l_acteClassant);
    disposition->addWidget(TS_details);
    disposition->addWidget(t_details, 1);

    connect(c_activites, &QComboBox::activated, this,
            qOverload<int>(&ctr_Details::activiteChoisie));
    connect(c_phases, &QComboBox::activated, this, qOverload<int>(&ctr_Details::phaseChoisie));
    connect(TS_details, &OngletsMultiLignes::currentChanged, this, &ctr_Details::ongletChoisi);
}

bool ctr_Details::eventFilter(QObject* objet, QEvent* event) {
    if (objet == t_details->viewport() && event->type() == QEvent::Resize &&
        m_onglet == SectionHonoraires && !m_texte.isEmpty() &&
        t_details->viewport()->width() != m_largeurAlignee) {
        // Once the resizing is over (a splitter dragged gives many).
        QMetaObject::invokeMethod(this, &ctr_Details::montrerTexte, Qt::QueuedConnection);
    }
    if (event->type() == QEvent::FocusIn) {
        if (auto* combo = qobject_cast<QComboBox*>(objet))
            combo->setToolTip(combo->currentText());
    }
    return QWidget::eventFilter(objet, event);
}

void ctr_Details::vider() {
    {
        const QSignalBlocker b1(c_activites);
        const QSignalBlocker b2(c_phases);
        c_activites->clear();
        c_phases->clear();
    }
    m_activites.reset();
    m_phases.reset();
    m_activite.clear();
    m_phase.clear();
    c_phases->hide();
}

void ctr_Details::majDetails(const QString& a_code) {
    vider();
    m_code = a_code;
    if (!m_code.isEmpty())
        m_activites = accesCCAM.getActivites(m_code, QString());
    // An act has at least one activity row: none means no such act.
    if (!m_activites || m_activites->RecordCount() == 0) {
        m_code.clear();
        m_activites.reset();
        m_texte.clear();
        t_details->clear();
        l_acteClassant->clear();
        // A thesaurus act that a load retired: why there is nothing to show.
        if (!a_code.isEmpty() && acteRetire(a_code))
            t_details->setPlainText(texteActeAbsent(a_code));
        return;
    }
    if (m_onglet == 0) {
        m_onglet = 1;
        const QSignalBlocker bloque(TS_details);
        TS_details->setCurrentIndex(0);
    }
    m_phases = accesCCAM.getPhases(m_code);

    // The first activity and the first phase are chosen without building the
    // text for each: it is built once below.
    {
        const int iLibelle = m_activites->indexChamp(QStringLiteral("Libelle_Activite"));
        const QSignalBlocker bloque(c_activites);
        for (int i = 0; i < m_activites->RecordCount(); ++i)
            c_activites->addItem(m_activites->valeurLigne(i, iLibelle).toString());
        c_activites->setCurrentIndex(0);
        c_activites->setToolTip(c_activites->currentText());
        m_activite =
            m_activites->valeurLigne(0, m_activites->indexChamp(QStringLiteral("activite")))
                .toString();
    }
    if (m_phases && m_phases->RecordCount() > 0) {
        const int iLibelle = m_phases->indexChamp(QStringLiteral("Libelle_Phase"));
        const QSignalBlocker bloque(c_phases);
        for (int i = 0; i < m_phases->RecordCount(); ++i)
            c_phases->addItem(m_phases->valeurLigne(i, iLibelle).toString());
        c_phases->setCurrentIndex(0);
        c_phases->setToolTip(c_phases->currentText());
        c_phases->show();
        m_phase =
            m_phases->valeurLigne(0, m_phases->indexChamp(QStringLiteral("Phase"))).toString();
    }

    const RecordsetPtr ligne = rafraichirDetails();
    l_acteClassant->setText(
        texteActeClassant(m_code, valeurChamp(ligne, QStringLiteral("Caractere_classant"))));
}

void ctr_Details::activiteChoisie(int index) {
    if (!m_activites || index < 0 || index >= m_activites->RecordCount())
        return;
    m_activite =
        m_activites->valeurLigne(index, m_activites->indexChamp(QStringLiteral("activite")))
            .toString();
    c_activites->setToolTip(c_activites->currentText());
    rafraichirDetails();
}

void ctr_Details::phaseChoisie(int index) {
    if (!m_phases || index < 0 || index >= m_phases->RecordCount())
        return;
    m_phase =
        m_phases->valeurLigne(index, m_phases->indexChamp(QStringLiteral("Phase"))).toString();
    c_phases->setToolTip(c_phases->currentText());
    rafraichirDetails();
}

void ctr_Details::ongletChoisi(int index) {
    const qint16 onglet = static_cast<qint16>(index + 1);
    if (index < 0 || onglet == m_onglet)
        return;
    m_onglet = onglet;
    rafraichirDetails();
}

void ctr_Details::montrerTexte() {
    m_largeurAlignee = t_details->viewport()->width();
    if (m_onglet == SectionHonoraires) {
        t_details->setPlainText(alignerMontants(t_details, m_texte));
        return;
    }
    QTextOption option = t_details->document()->defaultTextOption();
    option.setTabs({});
    t_details->document()->setDefaultTextOption(option);
    t_details->setPlainText(m_texte);
}

RecordsetPtr ctr_Details::rafraichirDetails() {
    if (m_code.isEmpty())
        return nullptr;
    CurseurOccupe occupe;
    RecordsetPtr acte = accesCCAM.getActe(m_code, m_activite, m_phase);
    try {
        m_texte = texteOnglet(acte, m_onglet);
    } catch (const std::exception&) {
        // A text that cannot be built shows nothing rather than another act's.
        m_texte.clear();
    }
    montrerTexte();
    if (acte)
        acte->MoveFirst();
    return acte;
}
