#include "DetailsActe.h"

#include "Data.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "SourcesRegles.h"
#include "adCCAM.h"

#include <QLocale>
#include <cmath>
#include <utility>

namespace {
const QString TAB = QStringLiteral("\t");
const QString CRLF = QStringLiteral("\r\n");

// A field value as text, as it is: a number in its standard conversion (no
// thousands separator, the locale's decimal separator), NULL as nothing.
QString texte(const QVariant& valeur) {
    if (valeur.isNull())
        return {};
    switch (valeur.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(valeur.toLongLong());
    case QMetaType::Double:
    case QMetaType::QDate:
        return valeurTexte(valeur);
    default:
        return valeur.toString();
    }
}

QString nombre(double valeur) {
    return valeurTexte(QVariant(valeur));
}

QString champ(const RecordsetPtr& rs, const char* nom) {
    return texte(rs->Fields(QString::fromLatin1(nom)));
}

// The row's act as a list item: code, " - ", full label.
QString acteDeLaLigne(const RecordsetPtr& rs) {
    return codeEtLibelle(champ(rs, "AMCODE"), champ(rs, "Libelle_Complet"));
}

bool aDesLignes(const RecordsetPtr& rs) {
    return rs && rs->RecordCount() > 0;
}

QString honoraires(const QString& code, const QString& activite, const QVariant& tarif,
                   const QVariant& icr) {
    const double tarifActe = tarif.toDouble();
    // The national spreadsheet gives no ICR: without one, nothing is said of it.
    QString t = QStringLiteral("Tarif: ") + TAB + TAB +
                (tarif.isNull() ? QStringLiteral("€") : formaterMontant(tarifActe)) +
                (icr.isNull() ? QString() : QStringLiteral(" - ICR ") + texte(icr)) + CRLF + CRLF;
    t += QStringLiteral("Liste des modificateurs:") + CRLF;
    RecordsetPtr mods = accesCCAM.getListeModificateurs(code, activite);
    if (!aDesLignes(mods))
        return t + TAB + QStringLiteral("Aucun modificateur");
    for (mods->MoveFirst(); !mods->isEOF(); mods->MoveNext()) {
        const QVariant pourcentage = mods->Fields(QStringLiteral("Pourcentage"));
        const QVariant montant = mods->Fields(QStringLiteral("Tarif"));
        const QString debut =
            TAB + codeEtLibelle(champ(mods, "code"), champ(mods, "libelle")) + TAB + TAB;
        const QString prix = prixModificateur(pourcentage, montant, tarifActe);
        if (!prix.isEmpty())
            t += debut + prix + CRLF;
    }
    return t;
}

QString activitesAssociees(const QString& code, const QString& activite) {
    RecordsetPtr rs = accesCCAM.getActesComplementaires(code, activite);
    if (!aDesLignes(rs))
        return QStringLiteral("Cet acte n'a pas d'activité associée");
    QString t =
        QStringLiteral("Activités associées de l'acte ") + code + QStringLiteral(" :") + CRLF;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        t += TAB + acteDeLaLigne(rs) + CRLF;
    return t;
}

QString notes(const QString& code, const QString& positionH) {
    QString t;
    RecordsetPtr rs = accesCCAM.getListeNotesUtilisation(code);
    if (aDesLignes(rs)) {
        t = QStringLiteral("Notes d'utilisation pour l'acte: ") + code + CRLF;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            t += QStringLiteral("* ") + formaterNote(champ(rs, "Note_Utilisation")) + CRLF;
    } else {
        t = QStringLiteral("Il n'existe aucune note pour l'acte ") + code + CRLF;
    }
    for (const QString& niveau : niveauxHierarchie(positionH)) {
        RecordsetPtr nh = accesCCAM.getNotesUtilisationHier(niveau);
        if (!aDesLignes(nh))
            continue;
        t += QString(53, u'-') + CRLF + niveau + CRLF;
        for (nh->MoveFirst(); !nh->isEOF(); nh->MoveNext())
            t += QStringLiteral("* ") + formaterNote(champ(nh, "Note_Hierarchie")) + CRLF;
    }
    return t;
}

QString hierarchie(const QString& positionH) {
    if (positionH.isEmpty())
        return {};
    const QStringList niveaux = niveauxHierarchie(positionH);
    QString t = QStringLiteral("Hiérarchie complète de cet acte :") + CRLF + CRLF;
    for (int i = 0; i < niveaux.size(); ++i) {
        if (i > 0)
            t += CRLF;
        // The fourth level has a longer code: one tab is enough.
        t += niveaux[i] + (i < 3 ? TAB + TAB : TAB) + accesCCAM.getLibellePosition(niveaux[i]);
    }
    return t;
}

QString listeNumerotee(const RecordsetPtr& rs, const QString& numero) {
    QString t;
    int n = 0;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        t += TAB + QStringLiteral("** ") + numero + QString::number(++n) + QStringLiteral(" **") +
             CRLF + acteDeLaLigne(rs) + CRLF;
    return t;
}

// Why an empty list of a kind of rule does not mean "none" for this act:
// the loaded CCAM carries no such list, or the base it came from does not
// know the act. Empty when the list can be trusted (the source knows the
// act, or the database records no source and is taken as it is).
QString raisonSiInconnu(GenreRegle genre, const QString& code) {
    const auto source = sourceRegles(genre);
    if (!source || sourceConnaitActe(*source, code))
        return {};
    const bool incompatibilites = genre == GenreRegle::Incompatibilites;
    if (!source->aUneBase())
        return incompatibilites
                   ? QStringLiteral(
                         "la CCAM chargée ne comporte pas de liste d'actes incompatibles.")
                   : QStringLiteral("la CCAM chargée ne comporte pas de liste de procédures.");
    return QStringLiteral("la ") + source->nomBase() +
           (incompatibilites ? QStringLiteral(", d'où viennent les incompatibilités chargées,")
                             : QStringLiteral(", d'où viennent les procédures chargées,")) +
           QStringLiteral(" ne connaît pas cet acte.");
}

QString associations(const QString& code) {
    QString t;
    RecordsetPtr composants = accesCCAM.getCodesProcedure(code);
    if (aDesLignes(composants))
        t = QStringLiteral("Décomposition de cette procédure :") + CRLF +
            listeNumerotee(composants, QStringLiteral("Code N°"));
    else
        t = QStringLiteral("Cet acte n'est pas une procédure");
    t += CRLF + CRLF;
    RecordsetPtr procedures = accesCCAM.getProceduresParActe(code);
    if (!aDesLignes(composants) && !aDesLignes(procedures)) {
        const QString raison = raisonSiInconnu(GenreRegle::Procedures, code);
        if (!raison.isEmpty())
            return QStringLiteral("On ne sait pas si cet acte est une procédure ni à quelles "
                                  "procédures il appartient : ") +
                   raison;
    }
    if (aDesLignes(procedures))
        t += QStringLiteral("Procédures qui contiennent cet acte :") + CRLF +
             listeNumerotee(procedures, QStringLiteral("Procédure N°"));
    else
        t += QStringLiteral("Cet acte n'appartient à aucune procédure");
    return t;
}

QString incompatibilites(const QString& code) {
    const QString raison = raisonSiInconnu(GenreRegle::Incompatibilites, code);
    const int nombre = accesCCAM.compterIncompatibilites(code);
    if (nombre <= 0)
        return raison.isEmpty() ? QStringLiteral("Cet acte n'a pas d'acte incompatible")
                                : QStringLiteral("Les actes incompatibles avec l'acte ") + code +
                                      QStringLiteral(" ne sont pas connus : ") + raison;
    QString t;
    if (nombre > maxIncompatibilitesListees) {
        t = QStringLiteral("Il existe ") + QString::number(nombre) +
            QStringLiteral(" actes incompatible avec l'acte ") + code;
    } else {
        RecordsetPtr rs = accesCCAM.getIncompatibilites(code);
        if (!aDesLignes(rs))
            return {};
        t = QStringLiteral("Actes incompatibles avec l'acte ") + code + QStringLiteral(" :") + CRLF;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            t += acteDeLaLigne(rs) + CRLF;
    }
    // Pairs read from the usage notes only: the list may be incomplete.
    if (!raison.isEmpty())
        t += CRLF + QStringLiteral("Cette liste ne vient que des notes d'utilisation : ") + raison;
    return t;
}
} // namespace

QString formaterNote(const QString& a_note) {
    QString t = a_note;
    return t.replace(u'¶', QStringLiteral("\r\n\t"));
}

namespace {
// The value rounded to the cent, half away from zero on its decimal writing
// (so that 2.675 gives 2.68 as a person expects): the integer part without
// leading zeros and the two decimals.
std::pair<QString, QString> arrondiAuCentime(double valeur) {
    const QString ecrit = QString::number(std::fabs(valeur), 'f', 10);
    const qsizetype point = ecrit.indexOf(u'.');
    QString chiffres = ecrit.left(point) + ecrit.mid(point + 1, 2);
    if (ecrit.at(point + 3) >= u'5') {
        qsizetype i = chiffres.size() - 1;
        while (i >= 0 && chiffres.at(i) == u'9')
            chiffres[i--] = u'0';
        if (i >= 0)
            chiffres[i] = QChar(chiffres.at(i).unicode() + 1);
        else
            chiffres.prepend(u'1');
    }
    QString entier = chiffres.left(chiffres.size() - 2);
    while (entier.startsWith(u'0'))
        entier.remove(0, 1);
    return {entier, chiffres.right(2)};
}

const QChar insecable(0x00A0);
} // namespace

QString formaterDiese(double valeur) {
    auto [entier, decimales] = arrondiAuCentime(valeur);
    while (decimales.endsWith(u'0'))
        decimales.chop(1);
    const bool nul = entier.isEmpty() && decimales.isEmpty();
    return (valeur < 0 && !nul ? QStringLiteral("-") : QString()) + entier +
           QLocale().decimalPoint() + decimales;
}

QString formaterMontant(double valeur) {
    auto [entier, decimales] = arrondiAuCentime(valeur);
    const bool nul = entier.isEmpty() && decimales == u"00";
    return (valeur < 0 && !nul ? QStringLiteral("-") : QString()) +
           (entier.isEmpty() ? QStringLiteral("0") : entier) + QLocale().decimalPoint() +
           decimales + insecable + QStringLiteral("€");
}

QString prixModificateur(const QVariant& pourcentage, const QVariant& montant, double tarifActe) {
    // Non-breaking spaces: a rate and its amount are never cut apart.
    if (!pourcentage.isNull())
        return nombre(pourcentage.toDouble() * 100) + QStringLiteral("%") + insecable +
               QStringLiteral("(") + formaterMontant(tarifActe * pourcentage.toDouble()) +
               QStringLiteral(")");
    if (!montant.isNull())
        return formaterMontant(montant.toDouble());
    return {};
}

QStringList niveauxHierarchie(const QString& positionH) {
    if (positionH.isEmpty())
        return {};
    QStringList niveaux;
    QString code = positionH.mid(0, 2);
    niveaux << code;
    code += u'.' + positionH.mid(2, 2);
    niveaux << code;
    code += u'.' + positionH.mid(4, 2);
    niveaux << code;
    if (positionH.mid(6, 2) != QLatin1String("00"))
        niveaux << code + u'.' + positionH.mid(6, 2);
    return niveaux;
}

QString texteDetailsActe(const RecordsetPtr& a_acte, qint16 a_section) {
    if (!a_acte || a_acte->RecordCount() == 0 || a_section < SectionHonoraires ||
        a_section > SectionExoneration)
        return {};
    a_acte->MoveFirst();
    const QString code = texte(a_acte->Fields(QStringLiteral("AMCODE")));
    const QString activite = texte(a_acte->Fields(QStringLiteral("activite")));
    const QString phase = texte(a_acte->Fields(QStringLiteral("Phase")));
    const QString positionH = texte(a_acte->Fields(QStringLiteral("PositionH")));
    switch (a_section) {
    case SectionHonoraires:
        return honoraires(code, activite, a_acte->Fields(QStringLiteral("Tarif")),
                          a_acte->Fields(QStringLiteral("ICR")));
    case SectionActivitesAssociees:
        return activitesAssociees(code, activite);
    case SectionNotes:
        return notes(code, positionH);
    case SectionHierarchie:
        return hierarchie(positionH);
    case SectionAssociations:
        return associations(code);
    case SectionIncompatibilites:
        return incompatibilites(code);
    default:
        return accesCCAM.getExoneration(code, activite, phase) + CRLF +
               accesCCAM.getRegroupement(code, activite, phase);
    }
}

QString texteActeClassant(const QString& a_code, const QVariant& a_caractereClassant) {
    const QString valeur = a_caractereClassant.isNull() ? QString() : texte(a_caractereClassant);
    if (valeur.trimmed().isEmpty())
        return a_code +
               QStringLiteral(" : caractère classant non précisé dans cette version de la CCAM");
    return a_code + (valeur.trimmed() == u"Y" ? QStringLiteral(" est un acte classant")
                                              : QStringLiteral(" n'est pas un acte classant"));
}
