#pragma once
// The date and time boxes of the patient file. What the user types is read
// whole (lireDateSaisie, lireHeureSaisie: digits with or without separators)
// instead of section by section: Qt's sections took the slashes of
// "05/03/2024" as moves to the next section ("05/12/0000"), clamped 31/02 to
// 28/02, then fell back to the last value without a word. Typing replaces
// the whole value; the arrow keys and the calendar still work as before.
// Text that cannot be read stays shown, and lisible() says so.

#include <QDateEdit>
#include <QTimeEdit>
#include <optional>

class QKeyEvent;

template <typename Base, typename Valeur> class ChampSaisieLibre : public Base {
public:
    using Lecteur = std::optional<Valeur> (*)(const QString&);
    ChampSaisieLibre(Lecteur lecteur, QWidget* parent) : Base(parent), m_lecteur(lecteur) {}

    // Reads what is being typed, if anything; false when it cannot be read
    // (the box then keeps the typed text).
    bool lisible();
    // A value given otherwise (the calendar, the program): no typed text is
    // pending or shown any more.
    void oublierSaisie();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    QValidator::State validate(QString& texte, int& position) const override;

private:
    void montrer();
    Lecteur m_lecteur;
    bool m_enSaisie = false;  // text typed and not yet read
    bool m_nouvelle = true;   // the next character typed starts a new value
    bool m_illisible = false; // the last text typed could not be read
    QString m_texte;
};

// Made once, in QtChampsDossier.cpp.
extern template class ChampSaisieLibre<QDateEdit, QDate>;
extern template class ChampSaisieLibre<QTimeEdit, QTime>;

class ChampDate : public ChampSaisieLibre<QDateEdit, QDate> {
public:
    ChampDate(const QDate& date, QWidget* parent = nullptr);
};

class ChampHeure : public ChampSaisieLibre<QTimeEdit, QTime> {
public:
    ChampHeure(const QTime& heure, QWidget* parent = nullptr);
};
