#include "ctr_motCle.h"

#include "AccesDonnees.h"
#include "Globals.h"
#include "Messages.h"
#include "QtDialogues.h"
#include "RechercheMotCle.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ctr_motCle::ctr_motCle(QWidget* parent)
    : ctr_ListeActes(QStringLiteral("Sélectionner cet acte"),
                     QStringLiteral("Ajouter au thesaurus"), parent) {
    setObjectName(QStringLiteral("ctr_motCle"));
    Label1 = new QLabel(QStringLiteral("Tapez un ou plusieurs mots clés séparés par des espaces. "
                                       "Vous pouvez effectuer votre recherche par code ou par "
                                       "libellé"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    t_motCle = new QLineEdit(this);
    t_motCle->setObjectName(QStringLiteral("t_motCle"));
    auto* groupe = new QButtonGroup(this);
    O_recherche[0] = new QRadioButton(QStringLiteral("Code"), this);
    O_recherche[0]->setObjectName(QStringLiteral("O_recherche_0"));
    O_recherche[1] = new QRadioButton(QStringLiteral("Libellé"), this);
    O_recherche[1]->setObjectName(QStringLiteral("O_recherche_1"));
    groupe->addButton(O_recherche[0], 0);
    groupe->addButton(O_recherche[1], 1);
    O_recherche[0]->setChecked(true);
    b_recherche = new QPushButton(QStringLiteral("Rechercher"), this);
    b_recherche->setObjectName(QStringLiteral("b_recherche"));

    auto* ligneSaisie = new QHBoxLayout;
    ligneSaisie->addWidget(t_motCle, 1);
    ligneSaisie->addWidget(O_recherche[0]);
    ligneSaisie->addWidget(O_recherche[1]);
    ligneSaisie->addWidget(b_recherche);
    auto* disposition = new QVBoxLayout(this);
    disposition->addWidget(Label1);
    disposition->addLayout(ligneSaisie);
    disposition->addWidget(LV_Actes, 1);

    connect(b_recherche, &QPushButton::clicked, this, &ctr_motCle::rechercher);
    connect(t_motCle, &QLineEdit::returnPressed, this, &ctr_motCle::rechercher);
    // In the search dialog, Enter searches; it never adds the ticked acts.
    entreeSansBoutonParDefaut(t_motCle);
}

void ctr_motCle::premiereApparition() {
    ctr_ListeActes::premiereApparition();
    t_motCle->setFocus();
}

void ctr_motCle::rechercher() {
    viderListe();
    const QStringList mots = RechercheMotCle::motsCles(t_motCle->text());
    if (mots.isEmpty()) {
        afficherMessage(QStringLiteral("Vous devez saisir un mot clé"), QStringLiteral("Erreur"),
                        Icone::Exclamation, Boutons::Ok);
        t_motCle->setFocus();
        return;
    }
    const QString sql = RechercheMotCle::sqlRecherche(mots, O_recherche[0]->isChecked());
    RecordsetPtr actes = accesDonnees.executSQL(sql);
    if (!actes)
        return; // the repository has already reported the failure
    if (actes->RecordCount() > 0) {
        remplirListe(actes);
        selectionnerPremiereLigne();
    } else {
        afficherMessage(QStringLiteral("aucun résultat pour cette recherche"),
                        QStringLiteral("Résultat"), Icone::Exclamation, Boutons::Ok);
        t_motCle->setFocus();
    }
}
