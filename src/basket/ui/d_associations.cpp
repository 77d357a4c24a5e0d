#include "d_associations.h"

#include "Associations.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Messages.h"
#include "QtClavierListes.h"
#include "QtListeColonnes.h"
#include "QtPanier.h"
#include "d_aide.h"
#include "d_dossier.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

static void initialiserRessourcesAide() {
    Q_INIT_RESOURCE(aide);
}

QString pageAideAssociations(const QString& chemin) {
    initialiserRessourcesAide();
    QFile f(chemin.isEmpty() ? QStringLiteral(":/aide/associations.html") : chemin);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

d_associations::d_associations(Panier& a_panier, QWidget* parent)
    : QDialog(parent), m_panier(a_panier), m_copie(a_panier.copie()) {
    setObjectName(QStringLiteral("d_associations"));
    setWindowTitle(QStringLiteral("Saisie des associations"));
    l_titre = new QLabel(QStringLiteral("Vous avez associé deux actes ou plus ! vous devez donc "
                                        "renseigner, pour chaque acte, un code association"),
                         this);
    l_titre->setObjectName(QStringLiteral("l_titre"));
    l_titre->setWordWrap(true);
    l_info =
        new QLabel(QStringLiteral("Pour plus d'informations cliquez sur le bouton Aide"), this);
    l_info->setObjectName(QStringLiteral("l_info"));
    LV_Actes = new ListeColonnes({QStringLiteral("Code"), QStringLiteral("Activité"),
                                  QStringLiteral("Prix"), QStringLiteral("Code association"),
                                  QStringLiteral("Taux")},
                                 {3, 1.5, 1.5, 2.4, 1.5}, false, this);
    LV_Actes->setObjectName(QStringLiteral("LV_Actes"));
    m_associations = new QMenu(this);
    m_associations->setObjectName(QStringLiteral("m_associations"));
    for (size_t i = 0; i < m_assoc.size(); ++i) {
        m_assoc[i] = m_associations->addAction(codesAssociation()[i].legende);
        m_assoc[i]->setObjectName(QStringLiteral("m_assoc_%1").arg(i));
        connect(m_assoc[i], &QAction::triggered, this, [this, i] { choisirCode(int(i)); });
    }
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    b_aide = new QPushButton(QStringLiteral("Aide"), this);
    b_aide->setObjectName(QStringLiteral("b_aide"));

    auto* boutons = new QHBoxLayout;
    boutons->addWidget(b_aide);
    boutons->addStretch(1);
    boutons->addWidget(OKButton);
    boutons->addWidget(CancelButton);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(l_titre);
    principal->addWidget(l_info);
    principal->addWidget(LV_Actes, 1);
    principal->addLayout(boutons);
    resize(640, 380);

    for (const ActePtr& a : m_copie->getListeActes())
        LV_Actes->ajouterLigne({a->code, a->activite, valeurTexte(QVariant(a->Tarif)),
                                tauxAssociation(a->codeAss).isEmpty() ? QString() : a->codeAss,
                                tauxAssociation(a->codeAss)});
    // A row selected from the start: the keys 0 to 5 work at once.
    if (LV_Actes->topLevelItemCount() > 0)
        LV_Actes->setCurrentItem(LV_Actes->topLevelItem(0));

    // Tab follows the screen: the list, then "Aide" on the left, "OK", "Annuler".
    setTabOrder(LV_Actes, b_aide);
    setTabOrder(b_aide, OKButton);
    setTabOrder(OKButton, CancelButton);
    connect(LV_Actes, &QTreeWidget::itemClicked, this, &d_associations::ligneCliquee);
    LV_Actes->installEventFilter(this);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        m_panier.setListeActes(m_copie->getListeActes());
        m_valide = true;
        accept();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(b_aide, &QPushButton::clicked, this, &d_associations::afficherAide);
}

d_associations::~d_associations() = default;

void d_associations::afficher() {
    LV_Actes->setFocus();
    executerAuCentre(*this);
    if (m_valide) {
        d_dossier dossier(m_panier, parentWidget());
        dossier.afficher();
    }
}

void d_associations::ligneCliquee(QTreeWidgetItem* item) {
    if (!item || LV_Actes->topLevelItemCount() == 0)
        return;
    LV_Actes->setCurrentItem(item);
    m_associations->popup(QCursor::pos());
}

bool d_associations::eventFilter(QObject* objet, QEvent* event) {
    // On the list: the keys 0 to 5 give the selected act that code (0 is
    // "Rien"); Enter, the Menu key and Shift+F10 open the codes' menu at the
    // row. Enter is "OK" only elsewhere in the dialog.
    if (objet == LV_Actes && event->type() == QEvent::KeyPress && LV_Actes->currentItem()) {
        const auto* touche = static_cast<QKeyEvent*>(event);
        const int chiffre = touche->key() - Qt::Key_0;
        const Qt::KeyboardModifiers modificateurs = touche->modifiers() & ~Qt::KeypadModifier;
        if (chiffre >= 0 && chiffre < int(m_assoc.size()) && modificateurs == Qt::NoModifier) {
            choisirCode(chiffre);
            return true;
        }
        if (toucheLigne(touche) != ToucheLigne::Aucune) {
            m_associations->popup(positionMenuLigne(LV_Actes, LV_Actes->currentIndex()));
            return true;
        }
    }
    return QDialog::eventFilter(objet, event);
}

void d_associations::choisirCode(int entree) {
    const int ligne = LV_Actes->indexOfTopLevelItem(LV_Actes->currentItem());
    const ActePtr acte = m_copie->getActeByIndice(qint16(ligne + 1));
    if (!acte)
        return;
    appliquerCodeAssociation(*acte, entree);
    QTreeWidgetItem* item = LV_Actes->topLevelItem(ligne);
    item->setText(3, acte->codeAss);
    item->setText(4, tauxAssociation(acte->codeAss));
}

void d_associations::afficherAide() {
    const QString page = pageAideAssociations(m_cheminAide);
    if (page.isEmpty()) {
        afficherMessage(QStringLiteral("Impossible d'afficher le sommaire de l'Aide. Aucune Aide "
                                       "n'est associée à cette partie."),
                        windowTitle(), Icone::Information, Boutons::Ok);
        return;
    }
    d_aide aide(QStringLiteral("Aide - Codes association"), page, this);
    executerModal(&aide);
    // Back to the codes being entered.
    LV_Actes->setFocus();
}
