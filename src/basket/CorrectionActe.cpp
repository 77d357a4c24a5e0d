#include "CorrectionActe.h"

#include "Data.h"
#include "Globals.h"
#include "ProprietesActivite.h"
#include "adCCAM.h"

#include <algorithm>

namespace {
QString* emplacements(Acte& a, int i) {
    QString* e[] = {&a.modificateur1, &a.Modificateur2, &a.modificateur3, &a.modificateur4};
    return e[i];
}

// Codes of one column of every row of a query.
QStringList codes(const RecordsetPtr& rs, const QString& champ) {
    QStringList l;
    const int i = rs ? rs->indexChamp(champ) : -1;
    for (int ligne = 0; i >= 0 && ligne < rs->RecordCount(); ++ligne)
        l << valeurTexte(rs->valeurLigne(ligne, i));
    return l;
}

// Tariff and classifying flag of the act's row for its activity and phase.
void relireTarif(Acte& acte) {
    RecordsetPtr rs = accesCCAM.getActe(acte.code, acte.activite, acte.Phase);
    if (!rs || rs->RecordCount() == 0)
        return;
    const Acte rangee = acteDeLaRangee(rs, acte.activite, acte.Phase);
    acte.Tarif = rangee.Tarif;
    acte.acteClassant = rangee.acteClassant;
    acte.classantConnu = rangee.classantConnu;
}
} // namespace

QStringList modificateursActe(const Acte& acte) {
    QStringList l;
    for (const QString* m :
         {&acte.modificateur1, &acte.Modificateur2, &acte.modificateur3, &acte.modificateur4})
        if (!m->isEmpty())
            l << *m;
    return l;
}

void setModificateursActe(Acte& acte, const QStringList& codes) {
    for (int i = 0; i < 4; ++i)
        *emplacements(acte, i) = codes.value(i);
}

bool ajouterModificateur(Acte& acte, const QString& code) {
    for (int i = 0; i < 4; ++i)
        if (emplacements(acte, i)->isEmpty()) {
            *emplacements(acte, i) = code;
            return true;
        }
    return false;
}

void retirerModificateur(Acte& acte, const QString& code) {
    QStringList l = modificateursActe(acte);
    l.removeOne(code);
    setModificateursActe(acte, l);
}

QVector<ActiviteCode> activitesDuCode(const QString& code) {
    QVector<ActiviteCode> resultat;
    RecordsetPtr rs = accesCCAM.getActivites(code);
    const int act = rs ? rs->indexChamp(QStringLiteral("activite")) : -1;
    const int lib = rs ? rs->indexChamp(QStringLiteral("Libelle_activite")) : -1;
    for (int i = 0; act >= 0 && i < rs->RecordCount(); ++i) {
        const QString c = valeurTexte(rs->valeurLigne(i, act));
        const bool dejaLa = std::any_of(resultat.begin(), resultat.end(),
                                        [&](const ActiviteCode& a) { return a.code == c; });
        if (!dejaLa && !c.isEmpty())
            resultat.push_back({c, lib < 0 ? QString() : valeurTexte(rs->valeurLigne(i, lib))});
    }
    return resultat;
}

void changerActivite(Acte& acte, const QString& activite) {
    acte.activite = activite;
    relireTarif(acte);
    const QStringList offerts =
        codes(accesCCAM.getListeModificateurs(acte.code, activite), QStringLiteral("Code"));
    QStringList gardes = modificateursActe(acte);
    gardes.removeIf([&](const QString& m) { return !offerts.contains(m); });
    setModificateursActe(acte, gardes);
    if (!acte.extDoc.isEmpty() &&
        !codes(accesCCAM.getExtDoc(acte.code, activite), QStringLiteral("Code"))
             .contains(acte.extDoc))
        acte.extDoc.clear();
}

void changerPhase(Acte& acte, const QString& phase) {
    acte.Phase = phase;
    relireTarif(acte);
}
