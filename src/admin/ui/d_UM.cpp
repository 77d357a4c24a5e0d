#include "d_UM.h"

#include "AccesDonnees.h"
#include "Administration.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Messages.h"
#include "QtDialogues.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

d_UM::d_UM(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_UM"));
    auto* formulaire = new QFormLayout;
    const char* libelles[] = {"&Code : ", "&Libellé : "};
    for (int i = 0; i < 2; ++i) {
        t_UM[i] = new QLineEdit(this);
        t_UM[i]->setObjectName(QStringLiteral("t_UM_%1").arg(i));
        majusculesALaSortie(t_UM[i]);
        formulaire->addRow(QString::fromUtf8(libelles[i]), t_UM[i]);
    }
    t_UM[1]->setMinimumWidth(320);

    QHBoxLayout* boutons = rangeeOkAnnuler(this, OKButton, CancelButton);

    auto* cadre = new QVBoxLayout(this);
    cadre->addLayout(formulaire);
    cadre->addSpacing(8);
    cadre->addLayout(boutons);

    connect(OKButton, &QPushButton::clicked, this, &d_UM::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool d_UM::afficher(int a_type, const RecordsetPtr& a_rs) {
    m_nouveau = a_type != 2;
    if (m_nouveau) {
        setWindowTitle(QStringLiteral("Nouvelle unité médicale"));
        t_UM[0]->clear();
        t_UM[1]->clear();
        t_UM[0]->setFocus();
    } else {
        setWindowTitle(QStringLiteral("Modification unité médicale"));
        if (a_rs && !a_rs->isEOF()) {
            t_UM[0]->setText(valeurTexte(a_rs->Fields(QStringLiteral("UM_Code"))));
            t_UM[1]->setText(valeurTexte(a_rs->Fields(QStringLiteral("UM_LIB"))));
        }
        // The code is the unit's key: it is shown, not edited.
        t_UM[0]->setReadOnly(true);
        QPalette p = t_UM[0]->palette();
        p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
        p.setColor(QPalette::Text, p.color(QPalette::ToolTipText));
        t_UM[0]->setPalette(p);
        t_UM[1]->setFocus();
    }
    centrerSurEcran(this);
    return executerModal(this) == QDialog::Accepted;
}

void d_UM::signaler(const QString& message, QLineEdit* boite, bool selectionner) {
    afficherMessage(message, QStringLiteral("Attention"), Icone::Exclamation);
    if (selectionner)
        boite->selectAll();
    boite->setFocus();
}

void d_UM::OKButton_Click() {
    // OK by the Enter key leaves no box: the boxes are normalised here too.
    for (QLineEdit* t : t_UM)
        t->setText(t->text().trimmed().toUpper());
    const QString code = t_UM[0]->text();
    const QString libelle = t_UM[1]->text();
    if (code.isEmpty())
        return signaler(QStringLiteral("Vous devez saisir le code de l'unité médicale."), t_UM[0]);
    if (libelle.isEmpty())
        return signaler(QStringLiteral("Vous devez saisir le libellé de l'unité médicale."),
                        t_UM[1]);
    if (m_nouveau) {
        RecordsetPtr rs = accesDonnees.getUM(code);
        if (rs && !rs->isEOF())
            return signaler(administration::messageUMExistante, t_UM[0], true);
        // Checked again while writing: another administrator may be creating it.
        const ResultatAdministration r = administration::creerUM(code, libelle);
        if (r.etat == ResultatAdministration::Etat::Refuse)
            return signaler(r.message, t_UM[0], true);
        if (!r.fait())
            return; // reported; what was typed stays
    } else if (!accesDonnees.modifierUM(code, libelle)) {
        return;
    }
    accept();
}
