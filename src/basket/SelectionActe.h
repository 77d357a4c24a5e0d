#pragma once
// The choices of the add-to-basket dialog that are not presentation: the
// phases offered, the activities of the chosen phase, which activity comes
// ticked, the phase check and the addition to the basket.

#include "Acte.h"
#include "Recordset.h"

#include <QList>
#include <QString>
#include <QVector>

class Panier;

inline const QString messagePhaseManquante = QStringLiteral("Vous devez choisir une phase");

class SelectionActe {
public:
    struct Phase {
        QString code;
        QString libelle;
    };
    struct Activite {
        QString code;
        QString libelle;
        QString tarif; // the tariff in its standard text form
    };

    // Reads the act's label, its phases (every one but "0") and the
    // activities of the first phase (of every phase when there is none).
    explicit SelectionActe(const QString& a_code);

    // False when the loaded classification has no row of this code (an act
    // of a thesaurus made with an older version).
    bool existe() const { return m_existe; }
    const QString& code() const { return m_code; }
    const QString& libelle() const { return m_libelle; }
    const QVector<Phase>& phases() const { return m_phases; }
    const QVector<Activite>& activites() const { return m_activites; }
    // The current phase code; empty when the act has no phase.
    const QString& phase() const { return m_phase; }

    // Makes the phase at that index current and reads its activities.
    void choisirPhase(int index);
    // The classification row of the act for an activity and the current phase.
    RecordsetPtr acte(const QString& activite) const;

    // The index of the activity that comes ticked: the only one, or the
    // doctor's activity among several; -1 for none (no doctor logged in, or
    // an activity the act does not have).
    int activiteACocher(const QString& activiteMedecin) const;

private:
    void lireActivites();

    QString m_code;
    QString m_libelle;
    bool m_existe = false;
    QVector<Phase> m_phases;
    QVector<Activite> m_activites;
    QString m_phase;
};

// "OK" of the add-to-basket dialog: the association flag becomes true when
// the basket holds an act before anything is added; then every act of every
// list is added in order (an act already in the basket is dropped
// silently). Returns the number of acts added.
int ajouterSelection(Panier& panier, const QList<QList<Acte>>& listes);

// The refusal of an act missing from the loaded classification.
QString messageActeAbsent(const QString& code);
