#include "DR_dossier.h"

#include "AccesDonnees.h"
#include "Data.h"
#include "FenetresModales.h"
#include "Globals.h"
#include "Imprimantes.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "Messages.h"
#include "Progression.h"
#include "QtApercuRapport.h"
#include "QtRapport.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QTime>
#include <QVBoxLayout>

namespace {
struct Colonne {
    int gauche;
    const char* titre;
    const char* controle;
    const char* champ;
};
// Left edges in twips, headings, detail controls and bound fields.
constexpr Colonne colonnes[] = {
    {369, "Code", "t_code", "Code"},
    {1389, "Activité", "t_activite", "Activite"},
    {2353, "Phase", "t_phase", "Phase"},
    {3203, "Ext Doc", "t_extDoc", "ExtDoc"},
    {4167, "M1", "T_m1", "M1"},
    {4905, "M2", "t_m2", "M2"},
    {5726, "M3", "t_m3", "M3"},
    {6491, "M4", "t_m4", "M4"},
    {7257, "Association", "t_assoc", "Association"},
    {8674, "classant", "t_classant", "Classant"},
    {9666, "Prix", "t_prix", "Prix"},
};
constexpr int nbColonnes = sizeof(colonnes) / sizeof(colonnes[0]);
// Right edge of the rules; the last column runs to the printable area's edge.
constexpr int droiteTraits = 397 + 10000;

int largeurColonne(int i) {
    const int droite = i + 1 < nbColonnes ? colonnes[i + 1].gauche : QtRapport::largeurUtile;
    return droite - colonnes[i].gauche - 40;
}
} // namespace

DR_dossier& DR_dossier::instance() {
    static DR_dossier rapport;
    return rapport;
}

QString DR_dossier::titre(const Dossier& a_dossier) {
    return QStringLiteral("Dossier du patient: ") + a_dossier.NOM + QLatin1Char(' ') +
           a_dossier.PRENOM;
}

QString DR_dossier::formaterDate(const QString& texte) {
    const QString t = texte.trimmed();
    const QLocale fr(QLocale::French, QLocale::France);
    for (const QString& format :
         {QStringLiteral("yyyy-MM-dd"), QStringLiteral("d/M/yyyy"), QStringLiteral("d/M/yy"),
          QStringLiteral("d.M.yyyy"), QStringLiteral("d-M-yyyy")}) {
        QDate d = QDate::fromString(t, format);
        if (format == QLatin1String("d/M/yy") && d.isValid())
            d = d.addYears(100); // two-digit years are of this century
        if (d.isValid())
            return d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    for (QLocale::FormatType f : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDate d = fr.toDate(t, f);
        if (d.isValid())
            return d.toString(QStringLiteral("dd/MM/yyyy"));
    }
    const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (dt.isValid())
        return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
    return texte;
}

QString DR_dossier::formaterHeure(const QString& texte) {
    const QString t = texte.trimmed();
    for (const QString& format : {QStringLiteral("H:mm:ss"), QStringLiteral("H:mm"),
                                  QStringLiteral("H'h'mm"), QStringLiteral("H:mm:ss.zzz")}) {
        const QTime h = QTime::fromString(t, format);
        if (h.isValid())
            return h.toString(QStringLiteral("hh:mm"));
    }
    const QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (dt.isValid())
        return dt.time().toString(QStringLiteral("hh:mm"));
    return texte;
}

QString DR_dossier::medecinConnecte() {
    return medecinCourant ? medecinCourant->libelle : QString();
}

QString DR_dossier::uniteMedicaleConnectee() {
    if (!medecinCourant || medecinCourant->UM.isEmpty())
        return {};
    return codeEtLibelle(medecinCourant->UM,
                         accesDonnees.getLibelleUniteMedicale(medecinCourant->UM));
}

std::shared_ptr<QtRapport> DR_dossier::construireRapport(Dossier a_dossier, const QString& medecin,
                                                         const QString& uniteMedicale,
                                                         const QDate& dateImpression) {
    auto r = std::make_shared<QtRapport>();
    r->titre = titre(a_dossier);

    BandeRapport& tete = r->enTete;
    tete.nom = QStringLiteral("s_global");
    tete.hauteur = 4967;
    tete.texte(QStringLiteral("l_nomMed"), 340, 300, 10000, medecin, true, 12);
    tete.texte(QStringLiteral("l_labelUM"), 426, 907, 1980, QStringLiteral("Unité médicale :"));
    tete.texte(QStringLiteral("l_UM"), 2438, 907, droiteTraits - 2438, uniteMedicale);
    tete.trait(397, 1389, 10000);
    tete.texte(QStringLiteral("l_labelNom"), 340, 1983, 2029, QStringLiteral("Nom du patient :"));
    tete.texte(QStringLiteral("l_nom"), 2409, 1983, 5385 - 2409 - 60, a_dossier.NOM, true);
    tete.texte(QStringLiteral("l_labelNumHosp"), 5385, 1983, 2000,
               QStringLiteral("N° Hospitalisation :"));
    tete.texte(QStringLiteral("l_numHosp"), 7440, 1983, droiteTraits - 7440, a_dossier.numHosp,
               true);
    tete.texte(QStringLiteral("l_labelPrenom"), 340, 2352, 2029, QStringLiteral("Prénom :"));
    tete.texte(QStringLiteral("l_prenom"), 2409, 2352, droiteTraits - 2409, a_dossier.PRENOM, true);
    tete.texte(QStringLiteral("l_labelDate"), 340, 2805, 2029, QStringLiteral("Date :"));
    tete.texte(QStringLiteral("l_date"), 2409, 2805, 5385 - 2409 - 60,
               formaterDate(a_dossier.p_Date), true);
    tete.texte(QStringLiteral("l_labelHeure"), 5385, 2805, 2000, QStringLiteral("Heure :"));
    tete.texte(QStringLiteral("l_heure"), 7440, 2805, droiteTraits - 7440,
               formaterHeure(a_dossier.Heure), true);
    tete.trait(397, 3373, 10000);
    tete.texte(QStringLiteral("l_listeActes"), 340, 3883, 10000,
               QStringLiteral("Liste des actes :"), true, 10);
    for (int i = 0; i < nbColonnes; ++i)
        tete.texte(QStringLiteral("l_") + QLatin1String(colonnes[i].controle).mid(2),
                   colonnes[i].gauche, 4422, largeurColonne(i),
                   QString::fromUtf8(colonnes[i].titre), true, 8.5);
    tete.trait(397, 4847, 10000);

    RecordsetPtr lignes = a_dossier.listeActes();
    int index[nbColonnes];
    for (int i = 0; i < nbColonnes; ++i)
        index[i] = lignes->indexChamp(QLatin1String(colonnes[i].champ));
    for (int n = 0; n < lignes->RecordCount(); ++n) {
        BandeRapport b;
        b.nom = QStringLiteral("s_actes");
        b.hauteur = 300;
        for (int i = 0; i < nbColonnes; ++i)
            b.texte(QLatin1String(colonnes[i].controle), colonnes[i].gauche, 60, largeurColonne(i),
                    index[i] < 0 ? QString() : valeurTexte(lignes->valeurLigne(n, index[i])));
        r->details.push_back(std::move(b));
    }

    r->piedPage = QtRapport::piedDateEtPage(dateImpression);
    return r;
}

std::shared_ptr<QtRapport> DR_dossier::rapportCourant() {
    return construireRapport(m_dossier, medecinConnecte(), uniteMedicaleConnectee(),
                             QDate::currentDate());
}

void DR_dossier::imprimerRapport(const QtRapport& rapport) {
    ResultatImpression r;
    {
        CurseurOccupe sablier;
        r = ::imprimerRapport(rapport);
    }
    if (!r.imprime) {
        afficherMessage(messageErreurImpression(), QStringLiteral("Tarvenor"), Icone::Aucune);
        return;
    }
    afficherMessage(r.parDefaut
                        ? QStringLiteral("L'impression est lancée.")
                        : QStringLiteral("L'impression est lancée sur « %1 ».").arg(r.imprimante),
                    QStringLiteral("Impression"), Icone::Information);
}

void DR_dossier::imprimer(const Dossier& a_dossier) {
    m_dossier = a_dossier;
    imprimerRapport(*rapportCourant());
}

void DR_dossier::afficher(const Dossier& a_dossier) {
    m_dossier = a_dossier;
    const std::shared_ptr<QtRapport> rapport = rapportCourant();
    QDialog fenetre(QApplication::activeWindow());
    fenetre.setObjectName(QStringLiteral("DR_dossier"));
    fenetre.setWindowTitle(rapport->titre);
    auto* apercu = new QtApercuRapport(&fenetre);
    auto* disposition = new QVBoxLayout(&fenetre);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->addWidget(apercu);
    QObject::connect(apercu, &QtApercuRapport::fermerDemande, &fenetre, &QDialog::reject);
    QObject::connect(apercu, &QtApercuRapport::imprimerDemande, &fenetre,
                     [rapport] { imprimerRapport(*rapport); });
    // Centred on the screen, as large as a page seen whole allows.
    if (QScreen* ecran = QGuiApplication::primaryScreen()) {
        const QRect zone = ecran->availableGeometry();
        fenetre.resize(std::min(zone.width(), 900), std::min(zone.height(), 1000));
        fenetre.move(zone.center() - fenetre.rect().center());
    }
    apercu->setRapport(rapport);
    executerModal(&fenetre);
}
