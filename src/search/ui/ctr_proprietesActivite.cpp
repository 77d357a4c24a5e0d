#include "ctr_proprietesActivite.h"

#include "Messages.h"
#include "QtListeColonnes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ctr_proprietesActivite::ctr_proprietesActivite(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctr_proprietesActivite"));
    f_modificateurs = new QGroupBox(QStringLiteral("Modificateurs"), this);
    f_modificateurs->setObjectName(QStringLiteral("f_modificateurs"));
    lv_modificateurs = new ListeColonnes(
        {QStringLiteral("Code"), QStringLiteral("Libelle"), QStringLiteral("Tarif")}, {2, 6.5, 1.4},
        true, f_modificateurs);
    lv_modificateurs->setObjectName(QStringLiteral("lv_modificateurs"));
    (new QVBoxLayout(f_modificateurs))->addWidget(lv_modificateurs);

    f_activitesAssocies = new QGroupBox(QStringLiteral("Activités associées"), this);
    f_activitesAssocies->setObjectName(QStringLiteral("f_activitesAssocies"));
    lv_activiteAssocies = new ListeColonnes({QStringLiteral("Code"), QStringLiteral("Libelle")},
                                            {2, 7.9}, true, f_activitesAssocies);
    lv_activiteAssocies->setObjectName(QStringLiteral("lv_activiteAssocies"));
    (new QVBoxLayout(f_activitesAssocies))->addWidget(lv_activiteAssocies);

    Label2 = new QLabel(QStringLiteral("E&xt Documentaire :"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    c_extDoc = new QComboBox(this);
    c_extDoc->setObjectName(QStringLiteral("c_extDoc"));
    c_extDoc->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c_extDoc->setMinimumContentsLength(24);
    c_extDoc->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Label2->setBuddy(c_extDoc);

    auto* extension = new QHBoxLayout;
    extension->addWidget(Label2);
    extension->addWidget(c_extDoc, 1);
    auto* principal = new QVBoxLayout(this);
    // The window grows for the modifiers: their list takes what is left.
    principal->addWidget(f_modificateurs, 1);
    principal->addWidget(f_activitesAssocies, 0);
    principal->addLayout(extension);

    connect(lv_modificateurs, &ListeColonnes::coche, this,
            &ctr_proprietesActivite::modificateurCoche);
}

void ctr_proprietesActivite::afficher(const QString& a_activite, const RecordsetPtr& a_acte,
                                      const QString& a_phase) {
    if (!a_acte)
        return;
    m_modele.charger(a_activite, a_acte, a_phase);

    lv_activiteAssocies->clear();
    for (const ProprietesActivite::Ligne& l : m_modele.actesAssocies())
        lv_activiteAssocies->ajouterLigne({l.code, l.libelle});
    lv_activiteAssocies->setEnabled(!m_modele.actesAssocies().isEmpty());

    lv_modificateurs->clear();
    for (const ProprietesActivite::Modificateur& m : m_modele.modificateurs())
        lv_modificateurs->ajouterLigne({m.code, m.libelle, m.prix});
    lv_modificateurs->setEnabled(!m_modele.modificateurs().isEmpty());

    c_extDoc->clear();
    c_extDoc->addItem(QString());
    for (const ProprietesActivite::Ligne& e : m_modele.extensions())
        c_extDoc->addItem(e.libelle);
    c_extDoc->setCurrentIndex(-1);
}

int ctr_proprietesActivite::hauteurManquante() const {
    return lv_modificateurs->hauteurLignes() - lv_modificateurs->height();
}

void ctr_proprietesActivite::modificateurCoche(int ligne, bool coche) {
    if (ligne < 0 || ligne >= m_modele.modificateurs().size())
        return;
    const QString code = m_modele.modificateurs().at(ligne).code;
    if (!coche) {
        m_modele.decocherModificateur(code);
        return;
    }
    if (!m_modele.cocherModificateur(code)) {
        afficherMessage(messageMaxModificateurs, QStringLiteral("ERREUR"), Icone::Aucune,
                        Boutons::Ok);
        lv_modificateurs->setCochee(ligne, false);
    }
}

QList<Acte> ctr_proprietesActivite::getListActes() const {
    QVector<bool> associes;
    for (int i = 0; i < lv_activiteAssocies->topLevelItemCount(); ++i)
        associes << lv_activiteAssocies->estCochee(i);
    return m_modele.getListActes(c_extDoc->currentIndex() - 1, associes);
}
