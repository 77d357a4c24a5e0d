#include "ctr_motCle.h"

#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "QtDialogues.h"
#include "RechercheMotCle.h"
#include "Suggestion.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString lienCorrection = QStringLiteral("correction");
const QString lienLibelles = QStringLiteral("libelles");

qsizetype lettresEtChiffres(const QString& texte) {
    return std::count_if(texte.cbegin(), texte.cend(),
                         [](QChar c) { return c.isLetterOrNumber(); });
}

} // namespace

ctr_motCle::ctr_motCle(QWidget* parent)
    : ctr_ListeActes(QStringLiteral("Sélectionner cet acte"),
                     QStringLiteral("Ajouter au thesaurus"), parent),
      m_correction(RechercheMotCle::saisieCorrigee) {
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

    l_etatListe = new QLabel(LV_Actes->viewport());
    l_etatListe->setObjectName(QStringLiteral("l_etatListe"));
    l_etatListe->setWordWrap(true);
    l_etatListe->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l_etatListe->setTextFormat(Qt::RichText);
    l_etatListe->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                         Qt::LinksAccessibleByKeyboard);
    l_etatListe->hide();
    LV_Actes->viewport()->installEventFilter(this);

    m_minuterie = new QTimer(this);
    m_minuterie->setSingleShot(true);
    m_minuterie->setInterval(delaiFrappeMs);

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
    connect(t_motCle, &QLineEdit::textEdited, this, &ctr_motCle::saisieModifiee);
    connect(groupe, &QButtonGroup::idToggled, this, [this](int, bool coche) {
        if (coche)
            saisieModifiee();
    });
    connect(m_minuterie, &QTimer::timeout, this, &ctr_motCle::suivreSaisie);
    connect(l_etatListe, &QLabel::linkActivated, this, [this](const QString& lien) {
        if (lien == lienLibelles)
            chercherDansLesLibelles();
        else
            appliquerCorrection();
    });
    // In the search dialog, Enter searches; it never adds the ticked acts.
    entreeSansBoutonParDefaut(t_motCle);
}

void ctr_motCle::premiereApparition() {
    ctr_ListeActes::premiereApparition();
    t_motCle->setFocus();
}

void ctr_motCle::setFonctionCorrection(FonctionCorrection correction) {
    m_correction = std::move(correction);
}

void ctr_motCle::rechercher() {
    // The pending search of the typed text gives way to this one.
    m_minuterie->stop();
    m_saisieAffichee.clear();
    direDansLaListe(QString());
    viderListe();
    const QStringList mots = RechercheMotCle::motsCles(t_motCle->text());
    if (mots.isEmpty()) {
        afficherMessage(QStringLiteral("Vous devez saisir un mot clé"), QStringLiteral("Erreur"),
                        Icone::Exclamation, Boutons::Ok);
        t_motCle->setFocus();
        return;
    }
    const bool parCode = O_recherche[0]->isChecked();
    RecordsetPtr actes = RechercheMotCle::rechercher(mots, parCode);
    if (!actes)
        return; // the repository has already reported the failure
    if (actes->RecordCount() > 0) {
        remplirListe(actes);
        selectionnerPremiereLigne();
    } else {
        afficherMessage(QStringLiteral("aucun résultat pour cette recherche"),
                        QStringLiteral("Résultat"), Icone::Exclamation, Boutons::Ok);
        t_motCle->setFocus();
        direAucunResultat(t_motCle->text(), parCode);
    }
    m_saisieAffichee = t_motCle->text();
    m_parCodeAffiche = parCode;
}

void ctr_motCle::saisieModifiee() {
    // Each keystroke pushes the search back: only the text in the box when
    // the typing pauses is searched.
    m_minuterie->start(delaiFrappeMs);
}

void ctr_motCle::suivreSaisie() {
    m_minuterie->stop();
    const QString saisie = t_motCle->text();
    const bool parCode = O_recherche[0]->isChecked();
    if (saisie == m_saisieAffichee && parCode == m_parCodeAffiche)
        return;
    auto sansRecherche = [&](const QString& etat) {
        viderListe();
        direDansLaListe(etat);
        m_saisieAffichee = saisie;
        m_parCodeAffiche = parCode;
    };
    const QStringList mots = RechercheMotCle::motsCles(saisie);
    if (mots.isEmpty())
        return sansRecherche(QString());
    // One or two letters, or "%" alone, would list thousands of acts at each
    // keystroke, slower to fill than to type: Enter still lists them.
    if (lettresEtChiffres(saisie) < lettresMinFrappe)
        return sansRecherche(QStringLiteral("Tapez au moins trois lettres ou chiffres, ou "
                                            "appuyez sur Entrée pour rechercher."));
    if (mots.size() > motsMaxFrappe || saisie.size() > longueurMaxFrappe)
        return sansRecherche(QStringLiteral("Ce texte est trop long pour être recherché pendant "
                                            "la frappe : appuyez sur Entrée pour le rechercher."));

    ++m_recherchesSuivies;
    EtatLecture etat = EtatLecture::Echec;
    QString description;
    const RecordsetPtr actes = depotLireSansAttente(
        [&](Connexion& c) { return RechercheMotCle::sqlRechercheSur(c, mots, parCode); }, &etat,
        &description);
    if (etat == EtatLecture::BaseOccupee) {
        // Another program is writing the file (an import): the typing goes
        // on, and the search is tried again a moment later.
        viderListe();
        direDansLaListe(QStringLiteral("La base de données est utilisée par un autre programme : "
                                       "la liste sera mise à jour dès qu'elle sera libre."));
        m_saisieAffichee.clear();
        m_minuterie->start(delaiNouvelEssaiMs);
        return;
    }
    if (etat == EtatLecture::Echec || !actes)
        return sansRecherche(QStringLiteral("La recherche a échoué : ") +
                             description.toHtmlEscaped());

    direDansLaListe(QString());
    m_saisieAffichee = saisie;
    m_parCodeAffiche = parCode;
    if (actes->RecordCount() == 0) {
        viderListe();
        direAucunResultat(saisie, parCode);
        return;
    }
    // The act last picked (the one the details show) stays picked while the
    // results still hold it; otherwise the first result is picked and shown.
    remplacerLignes(actes);
}

void ctr_motCle::direDansLaListe(const QString& texte) {
    if (texte.isEmpty()) {
        m_saisieCorrigee.clear();
        l_etatListe->hide();
        l_etatListe->clear();
        return;
    }
    l_etatListe->setText(texte);
    placerEtat();
    l_etatListe->show();
}

void ctr_motCle::direAucunResultat(const QString& saisie, bool parCode) {
    QString correction;
    if (!parCode && m_correction) {
        // A busy file gives no suggestion rather than a wait: the
        // suggestion reads the database while the user types.
        const LectureSansAttente sansAttente(*Data().CreeConnexion());
        correction = m_correction(saisie);
    }
    QString texte = QStringLiteral("Aucun résultat pour cette recherche.");
    if (!correction.isEmpty())
        texte += QStringLiteral("<br>Vouliez-vous dire : <a href=\"%1\">%2</a> ?")
                     .arg(lienCorrection, correction.toHtmlEscaped());
    // Words typed while "Code" is set (the panel opens so): the label search
    // is one click away.
    const QStringList mots = RechercheMotCle::motsCles(saisie);
    if (parCode && !std::all_of(mots.cbegin(), mots.cend(), RechercheMotCle::peutCommencerUnCode))
        texte += QStringLiteral("<br><a href=\"%1\">Rechercher « %2 » dans les libellés</a>")
                     .arg(lienLibelles, saisie.trimmed().toHtmlEscaped());
    direDansLaListe(texte);
    m_saisieCorrigee = correction;
}

void ctr_motCle::appliquerCorrection() {
    if (m_saisieCorrigee.isEmpty())
        return;
    const QString correction = m_saisieCorrigee;
    t_motCle->setText(correction);
    t_motCle->setFocus();
    suivreSaisie();
}

void ctr_motCle::chercherDansLesLibelles() {
    {
        // One search, run here, not a second one when the typing pause ends.
        const QSignalBlocker bloque(O_recherche[1]->group());
        O_recherche[1]->setChecked(true);
    }
    t_motCle->setFocus();
    // A text too short or too long to follow while typing is searched as
    // Enter does.
    const QString saisie = t_motCle->text();
    if (lettresEtChiffres(saisie) < lettresMinFrappe || saisie.size() > longueurMaxFrappe ||
        RechercheMotCle::motsCles(saisie).size() > motsMaxFrappe)
        rechercher();
    else
        suivreSaisie();
}

void ctr_motCle::placerEtat() {
    const QRect zone = LV_Actes->viewport()->rect().adjusted(8, 8, -8, -8);
    if (zone.width() <= 0)
        return;
    l_etatListe->setGeometry(zone.x(), zone.y(), zone.width(),
                             qMin(zone.height(), l_etatListe->heightForWidth(zone.width())));
}

bool ctr_motCle::eventFilter(QObject* objet, QEvent* event) {
    if (objet == LV_Actes->viewport() && event->type() == QEvent::Resize &&
        l_etatListe->isVisible())
        placerEtat();
    return ctr_ListeActes::eventFilter(objet, event);
}
