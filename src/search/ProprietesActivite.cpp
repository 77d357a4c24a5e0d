#include "ProprietesActivite.h"

#include "Data.h"
#include "DetailsActe.h"
#include "Globals.h"
#include "adCCAM.h"

namespace {
bool positionner(const RecordsetPtr& rs) {
    if (!rs || rs->RecordCount() == 0)
        return false;
    if (rs->isEOF() || rs->isBOF())
        rs->MoveFirst();
    return true;
}

QVariant valeur(const RecordsetPtr& rs, int ligne, const QString& champ) {
    const int i = rs->indexChamp(champ);
    return i < 0 ? QVariant() : rs->valeurLigne(ligne, i);
}

QString texte(const RecordsetPtr& rs, int ligne, const QString& champ) {
    return valeurTexte(valeur(rs, ligne, champ));
}
} // namespace

QString texteChampCourant(const RecordsetPtr& rs, const QString& champ) {
    if (!positionner(rs))
        return {};
    return texte(rs, rs->AbsolutePosition() - 1, champ);
}

Acte acteDeLaRangee(const RecordsetPtr& rs, const QString& activite, const QString& phase) {
    Acte a;
    if (!positionner(rs))
        return a;
    const int ligne = rs->AbsolutePosition() - 1;
    a.code = texte(rs, ligne, QStringLiteral("AMCODE"));
    a.libelle = texte(rs, ligne, QStringLiteral("Libelle_Complet"));
    a.activite = activite;
    a.Phase = phase;
    const QString classant = texte(rs, ligne, QStringLiteral("Caractere_classant")).trimmed();
    a.acteClassant = classant == QLatin1String("Y");
    a.classantConnu = !classant.isEmpty();
    a.Tarif = valeur(rs, ligne, QStringLiteral("Tarif")).toDouble();
    return a;
}

void ProprietesActivite::charger(const QString& a_activite, const RecordsetPtr& a_acte,
                                 const QString& a_phase) {
    m_acte = a_acte;
    m_activite = a_activite;
    m_phase = a_phase;
    m_modificateurs.clear();
    m_associes.clear();
    m_extensions.clear();
    m_coches.clear();
    if (!positionner(a_acte))
        return;
    const QString code = texteChampCourant(a_acte, QStringLiteral("AMCODE"));
    const double tarifActe =
        valeur(a_acte, a_acte->AbsolutePosition() - 1, QStringLiteral("Tarif")).toDouble();

    if (RecordsetPtr rs = accesCCAM.getActesComplementaires(code, a_activite))
        for (int i = 0; i < rs->RecordCount(); ++i)
            m_associes.push_back({texte(rs, i, QStringLiteral("AMCODE")),
                                  texte(rs, i, QStringLiteral("Libelle_Complet")),
                                  texte(rs, i, QStringLiteral("Activite2"))});

    if (RecordsetPtr rs = accesCCAM.getListeModificateurs(code, a_activite))
        for (int i = 0; i < rs->RecordCount(); ++i)
            m_modificateurs.push_back(
                {texte(rs, i, QStringLiteral("code")), texte(rs, i, QStringLiteral("libelle")),
                 prixModificateur(valeur(rs, i, QStringLiteral("Pourcentage")),
                                  valeur(rs, i, QStringLiteral("Tarif")), tarifActe)});

    if (RecordsetPtr rs = accesCCAM.getExtDoc(code, a_activite))
        for (int i = 0; i < rs->RecordCount(); ++i)
            m_extensions.push_back({texte(rs, i, QStringLiteral("code")),
                                    texte(rs, i, QStringLiteral("libelle")), QString()});
}

bool ProprietesActivite::cocherModificateur(const QString& code) {
    if (m_coches.size() >= maxModificateurs)
        return false;
    m_coches << code;
    return true;
}

void ProprietesActivite::decocherModificateur(const QString& code) {
    m_coches.removeOne(code);
}

QList<Acte> ProprietesActivite::getListActes(int extension,
                                             const QVector<bool>& associesCoches) const {
    QList<Acte> resultat;
    if (!positionner(m_acte))
        return resultat;
    Acte principal = acteDeLaRangee(m_acte, m_activite, m_phase);
    if (extension >= 0 && extension < m_extensions.size())
        principal.extDoc = m_extensions.at(extension).code;
    QString* emplacements[] = {&principal.modificateur1, &principal.Modificateur2,
                               &principal.modificateur3, &principal.modificateur4};
    for (int i = 0; i < m_coches.size() && i < maxModificateurs; ++i)
        *emplacements[i] = m_coches.at(i);
    resultat << principal;
    for (int i = 0; i < m_associes.size() && i < associesCoches.size(); ++i) {
        if (!associesCoches.at(i))
            continue;
        const Ligne& ligne = m_associes.at(i);
        QString activite = m_activite;
        RecordsetPtr rs = accesCCAM.getActe(ligne.code, activite);
        if ((!rs || rs->RecordCount() == 0) && !ligne.activite.isEmpty()) {
            // The national tables associate, say, an act of the anaesthesia
            // with a supplement coded in activity 1 only.
            activite = ligne.activite;
            rs = accesCCAM.getActe(ligne.code, activite);
        }
        if (!rs || rs->RecordCount() == 0)
            continue;
        Acte associe = acteDeLaRangee(rs, activite, QString());
        associe.actePrincipale = principal.code;
        resultat << associe;
    }
    return resultat;
}
