#include "SelectionActe.h"

#include "Data.h"
#include "Globals.h"
#include "Panier.h"
#include "ProprietesActivite.h"
#include "VersionsCcam.h"
#include "adCCAM.h"

SelectionActe::SelectionActe(const QString& a_code) : m_code(a_code) {
    if (RecordsetPtr rs = accesCCAM.getActivites(m_code); rs && rs->RecordCount() > 0) {
        m_existe = true;
        if (RecordsetPtr acte = accesCCAM.getActe(m_code, valeurTexte(rs->valeurLigne(0, 0))))
            m_libelle = texteChampCourant(acte, QStringLiteral("Libelle_Complet"));
    }
    if (RecordsetPtr rs = accesCCAM.getPhases(m_code)) {
        const int phase = rs->indexChamp(QStringLiteral("Phase"));
        const int libelle = rs->indexChamp(QStringLiteral("Libelle_Phase"));
        for (int i = 0; phase >= 0 && libelle >= 0 && i < rs->RecordCount(); ++i) {
            const QString code = valeurTexte(rs->valeurLigne(i, phase));
            if (code != QLatin1String("0"))
                m_phases.push_back({code, valeurTexte(rs->valeurLigne(i, libelle))});
        }
    }
    if (m_phases.isEmpty())
        lireActivites();
    else
        choisirPhase(0);
}

void SelectionActe::choisirPhase(int index) {
    if (index < 0 || index >= m_phases.size())
        return;
    m_phase = m_phases.at(index).code;
    lireActivites();
}

void SelectionActe::lireActivites() {
    m_activites.clear();
    RecordsetPtr rs = accesCCAM.getActivites(m_code, m_phase);
    if (!rs)
        return;
    const int code = rs->indexChamp(QStringLiteral("activite"));
    const int libelle = rs->indexChamp(QStringLiteral("Libelle_activite"));
    const int tarif = rs->indexChamp(QStringLiteral("Tarif"));
    for (int i = 0; code >= 0 && i < rs->RecordCount(); ++i)
        m_activites.push_back({valeurTexte(rs->valeurLigne(i, code)),
                               libelle < 0 ? QString() : valeurTexte(rs->valeurLigne(i, libelle)),
                               tarif < 0 ? QString() : valeurTexte(rs->valeurLigne(i, tarif))});
}

RecordsetPtr SelectionActe::acte(const QString& activite) const {
    return accesCCAM.getActe(m_code, activite, m_phase);
}

int SelectionActe::activiteACocher(const QString& activiteMedecin) const {
    if (m_activites.size() == 1)
        return 0;
    if (activiteMedecin.isEmpty())
        return -1;
    for (int i = 0; i < m_activites.size(); ++i)
        if (m_activites.at(i).code == activiteMedecin)
            return i;
    return -1;
}

int ajouterSelection(Panier& panier, const QList<QList<Acte>>& listes) {
    panier.setAssociationASaisir(!panier.getListeActes().isEmpty());
    const qsizetype avant = panier.getListeActes().size();
    for (const QList<Acte>& liste : listes)
        for (const Acte& a : liste)
            panier.ajouterActe(a);
    return int(panier.getListeActes().size() - avant);
}

QString messageActeAbsent(const QString& code) {
    QString texte = QStringLiteral("L'acte ") + code +
                    QStringLiteral(" n'existe pas dans la version de la CCAM chargée : il ne peut "
                                   "pas être ajouté au panier.");
    if (const auto retire = acteRetire(code))
        texte += QStringLiteral(" Il a été ") + texteRetrait(retire->version) +
                 QStringLiteral(" («\u00a0") + retire->libelle + QStringLiteral("\u00a0»).");
    return texte;
}
