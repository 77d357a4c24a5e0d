#pragma once
// What the user completes for one activity of an act before it goes to the
// basket: up to four modifiers (in the order they were ticked), a
// documentary extension and the associated acts to add with it. The
// activity properties panel shows it; the rules live here.

#include "Acte.h"
#include "Recordset.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// At most four modifiers on one act.
constexpr int maxModificateurs = 4;
inline const QString messageMaxModificateurs =
    QStringLiteral("Vous devez sélectionner au maximum quatre modificateurs");

class ProprietesActivite {
public:
    struct Modificateur {
        QString code;
        QString libelle;
        QString prix; // "20% (12,50 €)", "5,50 €" or empty
    };
    struct Ligne {
        QString code;
        QString libelle;
        QString activite; // of an associated act: the activity the association gives
    };

    // Reads the modifiers, associated acts and documentary extensions of the
    // act of a_acte (its current row, or its first) for the activity. Every
    // choice made before is forgotten. No act: everything stays empty.
    void charger(const QString& a_activite, const RecordsetPtr& a_acte, const QString& a_phase);

    const QVector<Modificateur>& modificateurs() const { return m_modificateurs; }
    const QVector<Ligne>& actesAssocies() const { return m_associes; }
    const QVector<Ligne>& extensions() const { return m_extensions; }
    const QString& activite() const { return m_activite; }
    const QString& phase() const { return m_phase; }

    // Ticks a modifier: false (and nothing changes) when four are ticked.
    bool cocherModificateur(const QString& code);
    // Unticks the first ticked modifier with that code.
    void decocherModificateur(const QString& code);
    // The ticked modifiers, in the order they were ticked.
    const QStringList& modificateursCoches() const { return m_coches; }

    // The acts to add: the main act (with the modifiers and the extension of
    // index extension in extensions(), -1 for none) first, then each
    // associated act whose index is in associesCoches, in list order, priced
    // with its own row for the activity. An associated act that has no row
    // for the activity takes the activity the association gives it.
    QList<Acte> getListActes(int extension, const QVector<bool>& associesCoches) const;

private:
    RecordsetPtr m_acte;
    QString m_activite;
    QString m_phase;
    QVector<Modificateur> m_modificateurs;
    QVector<Ligne> m_associes;
    QVector<Ligne> m_extensions;
    QStringList m_coches;
};

// The value of a field of the current row as text (numbers in the standard
// conversion, NULL as nothing); empty without a row or a field of that name.
QString texteChampCourant(const RecordsetPtr& rs, const QString& champ);
// The act of a row of the CCAM table: code, label, activity, phase,
// classifying flag and tariff; the other fields empty.
Acte acteDeLaRangee(const RecordsetPtr& rs, const QString& activite, const QString& phase);
