#include "Dossier.h"

#include "Data.h"

RecordsetPtr creerLignesDossier() {
    auto rs = std::make_shared<Recordset>();
    for (const char* nom : {"Code", "Activite", "Phase", "ExtDoc", "M1", "M2", "M3", "M4",
                            "Association", "Classant", "Prix"})
        rs->ajouterChamp(QString::fromLatin1(nom), Recordset::Genre::Texte);
    return rs;
}

Dossier::Dossier() : m_listeActes(creerLignesDossier()) {}

QString texteClassant(const Acte& a_acte) {
    if (!a_acte.classantConnu)
        return QStringLiteral("Inconnu");
    return a_acte.acteClassant ? QStringLiteral("Oui") : QStringLiteral("Non");
}

RecordsetPtr Dossier::listeActes() {
    if (!m_listeActes)
        m_listeActes = creerLignesDossier();
    return m_listeActes;
}

void Dossier::ajouterActe(const Acte& a_acte) {
    RecordsetPtr rs = listeActes();
    rs->ajouterLigne({a_acte.code, a_acte.activite, a_acte.Phase, a_acte.extDoc,
                      a_acte.modificateur1, a_acte.Modificateur2, a_acte.modificateur3,
                      a_acte.modificateur4, a_acte.codeAss, texteClassant(a_acte),
                      valeurTexte(QVariant(a_acte.Tarif))});
    rs->MoveFirst();
}
