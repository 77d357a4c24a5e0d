#include "QtChampsDossier.h"

#include "PreparationDossier.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
bool caractereSaisi(const QString& t) {
    return t.size() == 1 && (t.at(0).isDigit() || QStringLiteral("/-.:hH ").contains(t.at(0)));
}

void donner(QDateEdit* champ, const QDate& date) {
    champ->setDate(date);
}
void donner(QTimeEdit* champ, const QTime& heure) {
    champ->setTime(heure);
}
} // namespace

template <typename Base, typename Valeur> bool ChampSaisieLibre<Base, Valeur>::lisible() {
    if (m_enSaisie) {
        m_enSaisie = false;
        m_nouvelle = true;
        const std::optional<Valeur> v = m_lecteur(m_texte);
        m_illisible = !v;
        if (v)
            donner(this, *v);
        montrer();
    }
    return !m_illisible;
}

template <typename Base, typename Valeur> void ChampSaisieLibre<Base, Valeur>::oublierSaisie() {
    if (!m_enSaisie && !m_illisible)
        return;
    m_enSaisie = false;
    m_illisible = false;
    montrer();
}

template <typename Base, typename Valeur> void ChampSaisieLibre<Base, Valeur>::montrer() {
    // The typed text while it is typed or when it could not be read, else
    // the value as the box writes it.
    if (m_enSaisie || m_illisible)
        this->lineEdit()->setText(m_texte);
    else
        this->lineEdit()->setText(this->textFromDateTime(this->dateTime()));
}

template <typename Base, typename Valeur>
QValidator::State ChampSaisieLibre<Base, Valeur>::validate(QString& texte, int& position) const {
    if (m_enSaisie || m_illisible)
        return QValidator::Intermediate;
    return Base::validate(texte, position);
}

template <typename Base, typename Valeur>
void ChampSaisieLibre<Base, Valeur>::keyPressEvent(QKeyEvent* e) {
    const bool sansModificateur = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (sansModificateur && caractereSaisi(e->text())) {
        if (m_nouvelle || !m_enSaisie)
            m_texte.clear();
        m_nouvelle = false;
        m_enSaisie = true;
        m_illisible = false;
        m_texte += e->text();
        montrer();
        e->accept();
        return;
    }
    if (m_enSaisie && e->key() == Qt::Key_Backspace) {
        m_texte.chop(1);
        montrer();
        e->accept();
        return;
    }
    // Any other key (Enter, Tab, the arrows) reads the typed text first.
    if (m_enSaisie)
        lisible();
    if (m_illisible && (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)) {
        m_illisible = false;
        montrer();
    }
    Base::keyPressEvent(e);
}

template <typename Base, typename Valeur>
void ChampSaisieLibre<Base, Valeur>::focusInEvent(QFocusEvent* e) {
    m_nouvelle = true;
    if (m_illisible) {
        // The box would write its value back: an unreadable text typed stays
        // shown, selected, until the user replaces it.
        QCoreApplication::sendEvent(this->lineEdit(), e);
        QWidget::focusInEvent(e);
        this->lineEdit()->selectAll();
        return;
    }
    Base::focusInEvent(e);
}

template <typename Base, typename Valeur>
void ChampSaisieLibre<Base, Valeur>::focusOutEvent(QFocusEvent* e) {
    lisible();
    if (m_illisible) {
        // Qt would put the last value back: the unreadable text stays shown.
        QWidget::focusOutEvent(e);
        return;
    }
    Base::focusOutEvent(e);
}

template class ChampSaisieLibre<QDateEdit, QDate>;
template class ChampSaisieLibre<QTimeEdit, QTime>;

ChampDate::ChampDate(const QDate& date, QWidget* parent)
    : ChampSaisieLibre<QDateEdit, QDate>(&lireDateSaisie, parent) {
    setDate(date);
    // A date picked in the calendar replaces an unreadable text.
    connect(this, &QDateEdit::dateChanged, this, [this] { oublierSaisie(); });
}

ChampHeure::ChampHeure(const QTime& heure, QWidget* parent)
    : ChampSaisieLibre<QTimeEdit, QTime>(&lireHeureSaisie, parent) {
    setTime(heure);
    connect(this, &QTimeEdit::timeChanged, this, [this] { oublierSaisie(); });
}
