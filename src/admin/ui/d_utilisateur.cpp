#include "d_utilisateur.h"

#include "AccesDonnees.h"
#include "Administration.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Messages.h"
#include "QtDialogues.h"
#include "QtListes.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

namespace {
const QString groupeMedecin = QStringLiteral("MEDECIN");

// A grid of labelled fields, one per row: label, then field.
QGridLayout* grilleChamps(std::initializer_list<std::pair<const char*, QWidget*>> champs,
                          QWidget* parent) {
    auto* grille = new QGridLayout;
    int rang = 0;
    for (const auto& [texte, champ] : champs) {
        auto* l = new QLabel(QString::fromUtf8(texte), parent);
        l->setBuddy(champ);
        grille->addWidget(l, rang, 0);
        grille->addWidget(champ, rang++, 1);
    }
    grille->setColumnStretch(1, 1);
    return grille;
}
} // namespace

d_utilisateur::d_utilisateur(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_utilisateur"));
    for (int i = 0; i < 6; ++i) {
        t_utilisateur[i] = new QLineEdit(this);
        t_utilisateur[i]->setObjectName(QStringLiteral("t_utilisateur_%1").arg(i));
        majusculesALaSortie(t_utilisateur[i]);
    }
    t_utilisateur[1]->setEchoMode(QLineEdit::Password);
    t_utilisateur[2]->setEchoMode(QLineEdit::Password);
    C_utilisateur = new QComboBox(this);
    C_utilisateur->setObjectName(QStringLiteral("C_utilisateur"));

    QGridLayout* grille = grilleChamps({{" &Identifiant :", t_utilisateur[0]},
                                        {"&Mot de passe :", t_utilisateur[1]},
                                        {"&Confirmez le mot de passe :", t_utilisateur[2]},
                                        {"&Email :", t_utilisateur[3]},
                                        {"&Groupe :", C_utilisateur}},
                                       this);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    t_utilisateur[4]->setParent(Frame1);
    t_utilisateur[5]->setParent(Frame1);
    C_UM = new QComboBox(Frame1);
    C_UM->setObjectName(QStringLiteral("C_UM"));
    C_UM->setMinimumContentsLength(30);
    C_UM->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    o_utilisateur[0] = new QRadioButton(QStringLiteral("Chirurgien / Médecin "), Frame1);
    o_utilisateur[1] = new QRadioButton(QStringLiteral("Anesthésiste"), Frame1);
    m_activites = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        o_utilisateur[i]->setObjectName(QStringLiteral("o_utilisateur_%1").arg(i));
        m_activites->addButton(o_utilisateur[i], i);
    }
    QGridLayout* grilleMedecin = grilleChamps({{"C&ode médecin :", t_utilisateur[4]},
                                               {"&Nom :", t_utilisateur[5]},
                                               {"&Unité médicale :", C_UM}},
                                              Frame1);
    Frame1->setLayout(grilleMedecin);
    auto* activites = new QHBoxLayout;
    activites->addWidget(o_utilisateur[0]);
    activites->addWidget(o_utilisateur[1]);
    activites->addStretch();
    grilleMedecin->addLayout(activites, 3, 1);

    QHBoxLayout* boutons = rangeeOkAnnuler(this, OKButton, CancelButton);

    auto* cadre = new QVBoxLayout(this);
    cadre->addLayout(grille);
    cadre->addWidget(Frame1);
    cadre->addSpacing(8);
    cadre->addLayout(boutons);
    setMinimumWidth(460);
    // Tab follows the screen: the doctor's fields come after the group, as
    // they are moved into their frame after the others were created.
    QWidget* ordre[] = {t_utilisateur[0], t_utilisateur[1], t_utilisateur[2], t_utilisateur[3],
                        C_utilisateur,    t_utilisateur[4], t_utilisateur[5], C_UM,
                        o_utilisateur[0], o_utilisateur[1], OKButton,         CancelButton};
    for (size_t i = 1; i < std::size(ordre); ++i)
        setTabOrder(ordre[i - 1], ordre[i]);

    connect(C_utilisateur, &QComboBox::currentIndexChanged, this, &d_utilisateur::choisirGroupe);
    connect(OKButton, &QPushButton::clicked, this, &d_utilisateur::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void d_utilisateur::viderActivite() {
    m_activites->setExclusive(false);
    for (QRadioButton* o : o_utilisateur)
        o->setChecked(false);
    m_activites->setExclusive(true);
}

void d_utilisateur::choisirGroupe() {
    const bool medecin = C_utilisateur->currentText() == groupeMedecin;
    Frame1->setEnabled(medecin);
    if (medecin) {
        remplirListeUM(C_UM);
        C_UM->setCurrentIndex(-1); // no unit chosen yet
    }
}

bool d_utilisateur::afficher(int a_type, const RecordsetPtr& a_rs) {
    {
        const QSignalBlocker bloque(C_utilisateur);
        C_utilisateur->clear();
        C_utilisateur->addItems(
            {QString(), QStringLiteral("ADMIN"), QStringLiteral("DIM"), groupeMedecin});
        C_utilisateur->setCurrentIndex(-1);
    }
    m_nouveau = a_type != 2 || !a_rs || a_rs->isEOF();
    m_ancienCode.clear();
    m_code = 0;
    for (QLineEdit* t : t_utilisateur)
        t->clear();
    viderActivite();
    if (m_nouveau) {
        setWindowTitle(QStringLiteral("Nouvel utilisateur"));
        const QSignalBlocker bloque(C_utilisateur);
        C_utilisateur->setCurrentIndex(0);
        choisirGroupe();
    } else {
        setWindowTitle(QStringLiteral("Modification"));
        const auto champ = [&](const char* nom) { return a_rs->Fields(QLatin1String(nom)); };
        m_code = long(champ("UTI_CODE").toLongLong());
        t_utilisateur[0]->setText(valeurTexte(champ("UTI_LOGIN")));
        // The stored password is never shown: both fields stay empty, and
        // left empty they keep it.
        t_utilisateur[3]->setText(valeurTexte(champ("UTI_EMAIL")));
        // Selecting the group runs the group's rule; an unknown group selects nothing.
        {
            const QSignalBlocker bloque(C_utilisateur);
            C_utilisateur->setCurrentIndex(
                C_utilisateur->findText(valeurTexte(champ("UTI_GROUP"))));
        }
        choisirGroupe();
        if (!champ("MED_CODE").isNull()) {
            m_ancienCode = valeurTexte(champ("MED_CODE"));
            t_utilisateur[4]->setText(m_ancienCode);
            t_utilisateur[5]->setText(valeurTexte(champ("MED_LIB")));
            remplirListeUM(C_UM);
            C_UM->addItem(QString());
            const QString um = valeurTexte(champ("MED_UM"));
            int index = C_UM->count() - 1;
            for (int i = 0; i < C_UM->count() - 1; ++i)
                if (extraireCode(C_UM->itemText(i)) == um) {
                    index = i;
                    break;
                }
            C_UM->setCurrentIndex(index);
            const QString activite = valeurTexte(champ("MED_ACT"));
            if (activite == QLatin1String("1"))
                o_utilisateur[0]->setChecked(true);
            else if (activite == QLatin1String("4"))
                o_utilisateur[1]->setChecked(true);
        }
    }
    centrerSurEcran(this);
    t_utilisateur[0]->setFocus();
    return executerModal(this) == QDialog::Accepted;
}

QString d_utilisateur::messageVerification(int code) {
    const QString champ = QStringLiteral("Vous devez renseigner le champ : ");
    switch (code) {
    case 1:
        return champ + QStringLiteral("Identifiant.");
    case 4:
        return champ + QStringLiteral("Groupe.");
    case 5:
        return QStringLiteral("Vérifiez l'orthographe du mot de passe");
    case 6:
        return champ + QStringLiteral("Code du médecin.");
    case 7:
        return administration::messageCodeMedecinPris;
    case 8:
        return champ + QStringLiteral("Nom du médecin.");
    case 9:
        return champ + QStringLiteral("Unité médicale.");
    case 10:
        return champ + QStringLiteral("Activité.");
    case 11:
        return administration::messageIdentifiantPris;
    default:
        return {};
    }
}

int d_utilisateur::verifSaisie() {
    const auto echec = [](int code, QWidget* focus) {
        if (focus)
            focus->setFocus();
        return code;
    };
    const QString login = t_utilisateur[0]->text();
    if (login.isEmpty())
        return echec(1, t_utilisateur[0]);
    // A failed lookup (already reported) lets the write check it again.
    if (RecordsetPtr rs = accesDonnees.getUtilisateurLogin(login); rs && !rs->isEOF()) {
        if (m_nouveau || rs->Fields(QStringLiteral("UTI_CODE")).toLongLong() != m_code)
            return echec(11, t_utilisateur[0]);
    }
    if (C_utilisateur->currentText().isEmpty())
        return echec(4, C_utilisateur);
    if (t_utilisateur[1]->text() != t_utilisateur[2]->text()) {
        t_utilisateur[2]->selectAll();
        return echec(5, t_utilisateur[2]);
    }
    if (!Frame1->isEnabled())
        return 0;
    const QString code = t_utilisateur[4]->text();
    if (code.isEmpty())
        return echec(6, t_utilisateur[4]);
    if (code != m_ancienCode) {
        RecordsetPtr rs = accesDonnees.getMedecinParCode(code);
        if (rs && !rs->isEOF())
            return echec(7, t_utilisateur[4]);
    }
    if (t_utilisateur[5]->text().isEmpty())
        return echec(8, t_utilisateur[5]);
    if (C_UM->currentText().isEmpty())
        return echec(9, C_UM);
    if (!o_utilisateur[0]->isChecked() && !o_utilisateur[1]->isChecked())
        return 10;
    return 0;
}

void d_utilisateur::OKButton_Click() {
    // OK by the Enter key leaves no box: the boxes are normalised here too.
    for (QLineEdit* t : t_utilisateur)
        t->setText(administration::saisieNormalisee(t->text()));
    const int code = verifSaisie();
    if (code != 0) {
        afficherMessage(messageVerification(code), QStringLiteral("Attention"), Icone::Exclamation);
        return;
    }
    FicheUtilisateur f;
    f.code = m_code;
    f.login = t_utilisateur[0]->text();
    f.motDePasse = t_utilisateur[1]->text();
    f.groupe = C_utilisateur->currentText();
    f.email = t_utilisateur[3]->text();
    f.ancienCodeMedecin = m_ancienCode;
    f.medecin = Frame1->isEnabled();
    if (f.medecin) {
        f.codeMedecin = t_utilisateur[4]->text();
        f.nom = t_utilisateur[5]->text();
        f.UM = extraireCode(C_UM->currentText());
        f.activite = o_utilisateur[0]->isChecked() ? QStringLiteral("1") : QStringLiteral("4");
    }
    const ResultatAdministration r =
        m_nouveau ? administration::creerUtilisateur(f) : administration::modifierUtilisateur(f);
    if (r.etat == ResultatAdministration::Etat::Refuse) {
        afficherMessage(r.message, QStringLiteral("Attention"), Icone::Exclamation);
        using Champ = ResultatAdministration::Champ;
        if (r.champ == Champ::Identifiant || r.champ == Champ::CodeMedecin) {
            QLineEdit* t = t_utilisateur[r.champ == Champ::Identifiant ? 0 : 4];
            t->selectAll();
            t->setFocus();
        } else if (r.champ == Champ::Groupe) {
            C_utilisateur->setFocus();
        }
        return;
    }
    if (r.fait())
        accept();
    // Otherwise the failure was reported and what was typed stays.
}
