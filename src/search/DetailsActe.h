#pragma once
// The texts of the act details panel, one per tab, built from the
// classification. Nothing is cached: each call reads the database again.

#include "Recordset.h"

#include <QString>

// Tabs of the details panel, in their order.
enum SectionDetails : qint16 {
    SectionHonoraires = 1,
    SectionActivitesAssociees = 2,
    SectionNotes = 3,
    SectionHierarchie = 4,
    SectionAssociations = 5,
    SectionIncompatibilites = 6,
    SectionExoneration = 7,
};

// The text of one tab (1 to 7) for the act of the recordset, which is moved to
// its first row. Empty for another section, no recordset or no row.
QString texteDetailsActe(const RecordsetPtr& a_acte, qint16 a_section);

// The classifying line of the details panel for an act's Caractere_classant:
// "Y" makes it a classifying act, any other value not one; a NULL or blank
// value (the national spreadsheet does not give it) says that this version
// of the classification does not tell.
QString texteActeClassant(const QString& a_code, const QVariant& a_caractereClassant);

// A usage note as shown: every "¶" becomes CR, LF, TAB.
QString formaterNote(const QString& a_note);

// A number with the pattern "###.##": at most two decimals, trailing zeros
// and a leading zero dropped, the decimal separator kept even when no decimal
// follows (12 gives "12.", 0.5 gives ".5"), the locale's decimal separator.
QString formaterDiese(double valeur);

// An amount in euros as French readers expect it: two decimals, the locale's
// decimal separator, a non-breaking space before "€" ("171,40 €").
QString formaterMontant(double valeur);

// The price of a modifier as the lists show it: a rate (a fraction) gives
// "20% (12,50 €)" with the amount on the act's tariff, a fixed amount gives
// "5,50 €", neither gives nothing. Non-breaking spaces keep it on one line.
QString prixModificateur(const QVariant& pourcentage, const QVariant& montant, double tarifActe);

// The hierarchy codes of an act position (eight digits): "01", "01.02",
// "01.02.03" and, unless its last two digits are "00", "01.02.03.04".
QStringList niveauxHierarchie(const QString& positionH);

// Most incompatible acts listed one by one; above, only their number.
constexpr int maxIncompatibilitesListees = 100;
