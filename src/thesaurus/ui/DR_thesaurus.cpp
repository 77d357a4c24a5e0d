#include "DR_thesaurus.h"

#include "Imprimantes.h"
#include "Messages.h"
#include "Progression.h"
#include "QtApercuRapport.h"
#include "QtRapport.h"

#include <QAction>
#include <QVBoxLayout>

namespace {
constexpr int droite = 397 + 10000;
DR_thesaurus* g_instance = nullptr;
} // namespace

DR_thesaurus::DR_thesaurus(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DR_thesaurus"));
    setAttribute(Qt::WA_DeleteOnClose);
    g_instance = this;
    m_apercu = new QtApercuRapport(this);
    auto* disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->addWidget(m_apercu);
    connect(m_apercu, &QtApercuRapport::imprimerDemande, this, &DR_thesaurus::imprimer);
    // In the main window, Ctrl+P is its "Imprimer…" command, which prints
    // the report shown: the preview's own key would make it ambiguous.
    if (auto* imprimer = m_apercu->findChild<QAction*>(QStringLiteral("b_imprimer")))
        imprimer->setShortcut(QKeySequence());
    connect(m_apercu, &QtApercuRapport::fermerDemande, this, &DR_thesaurus::retourDemande);
}

DR_thesaurus::~DR_thesaurus() {
    if (g_instance == this)
        g_instance = nullptr;
    if (m_thesaurus)
        m_thesaurus->detruireThesaurus();
}

DR_thesaurus* DR_thesaurus::instance() {
    return g_instance;
}

bool DR_thesaurus::afficher(std::unique_ptr<Thesaurus> a_thesaurus) {
    if (m_thesaurus)
        m_thesaurus->detruireThesaurus();
    m_thesaurus = std::move(a_thesaurus);
    if (!m_thesaurus)
        m_thesaurus = std::make_unique<Thesaurus>();
    m_rapport = construireRapport(*m_thesaurus, QDate::currentDate());
    if (!m_rapport->mettreEnPage()) {
        m_rapport.reset();
        return false;
    }
    setWindowTitle(m_thesaurus->Medecin);
    CurseurOccupe sablier;
    m_apercu->setRapport(m_rapport);
    show();
    return true;
}

qint16 DR_thesaurus::modeEcran() const {
    return m_thesaurus && !m_thesaurus->UM.isEmpty() ? 9 : 8;
}

void DR_thesaurus::imprimer() {
    if (!m_rapport)
        return;
    ResultatImpression r;
    {
        CurseurOccupe sablier;
        r = imprimerRapport(*m_rapport);
    }
    if (!r.imprime) {
        afficherMessage(messageErreurImpression(), QStringLiteral("Tarvenor"), Icone::Aucune);
        return;
    }
    afficherMessage(QString::number(r.pages) + QStringLiteral(" pages imprimées."),
                    QStringLiteral("Impression"), Icone::Information);
}

std::shared_ptr<QtRapport> DR_thesaurus::construireRapport(const Thesaurus& a_thesaurus,
                                                           const QDate& dateImpression) {
    auto r = std::make_shared<QtRapport>();
    r->titre = a_thesaurus.Medecin;

    BandeRapport& tete = r->enTete;
    tete.nom = QStringLiteral("s_global");
    tete.texte(QStringLiteral("l_nomMedecin"), 340, 200, droite - 340, a_thesaurus.Medecin, true,
               13);
    int basTete = 800;
    if (!a_thesaurus.UM.isEmpty()) {
        tete.texte(QStringLiteral("l_LabelUM"), 340, 800, 2000, QStringLiteral("Unité médicale :"));
        tete.texte(QStringLiteral("l_UM"), 2438, 800, droite - 2438, a_thesaurus.UM);
        basTete = 1300;
    }
    tete.trait(397, basTete, 10000);
    tete.hauteur = basTete + 120;

    for (const LigneCategorieThesaurus& cat : a_thesaurus.getThesaurus()) {
        BandeRapport c;
        c.nom = QStringLiteral("s_categories");
        c.hauteur = 480;
        c.garderAvecSuivante = true;
        c.texte(QStringLiteral("t_cat"), 340, 160, droite - 340, cat.Categorie, true, 10.5);
        r->details.push_back(std::move(c));
        for (const LigneActeThesaurus& acte : cat.Actes) {
            BandeRapport a;
            a.nom = QStringLiteral("s_actes");
            a.hauteur = 280;
            a.texte(QStringLiteral("t_code"), 567, 50, 1300, acte.codeActe, true);
            a.texte(QStringLiteral("t_lib"), 1984, 50, droite - 1984, acte.LibActe);
            r->details.push_back(std::move(a));
            for (const LignePhaseThesaurus& ligne : acte.Phases) {
                BandeRapport p;
                p.nom = QStringLiteral("s_phases");
                p.hauteur = 240;
                p.texte(QStringLiteral("t_phase"), 2268, 20, droite - 2268, ligne.Phase, false, 8);
                r->details.push_back(std::move(p));
            }
        }
    }

    r->piedPage = QtRapport::piedDateEtPage(dateImpression);
    return r;
}
