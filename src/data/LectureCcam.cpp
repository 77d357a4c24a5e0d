#include "LectureCcam.h"

#include <QHash>
#include <QRegularExpression>
#include <set>

namespace {

using Paire = ClassificationCcam::Paire;
using LigneCcam = ClassificationCcam::LigneCcam;
using Modificateur = ClassificationCcam::Modificateur;

// Columns of the spreadsheet.
enum Colonne {
    ColCode = 0,
    ColTexte = 2,
    ColActivite = 3,
    ColPhase = 4,
    ColTarif = 5,
    ColExoTm = 9,
    ColRegroupement = 10,
    NombreColonnes = 11
};

const QRegularExpression& motifActe() {
    static const QRegularExpression r(QStringLiteral("^[A-Z]{4}[0-9]{3}$"));
    return r;
}
const QRegularExpression& motifChapitre() {
    static const QRegularExpression r(QStringLiteral("^[0-9]{1,2}(\\.[0-9]{2}){0,3}$"));
    return r;
}
const QRegularExpression& motifCodeDansTexte() {
    static const QRegularExpression r(QStringLiteral("\\b[A-Z]{4}[0-9]{3}\\b"));
    return r;
}

QString champ(const EnregistrementCsv& e, int i) {
    return i < e.champs.size() ? e.champs.at(i) : QString();
}

// Labels: line breaks become blanks, ends trimmed.
QString libelleSurUneLigne(const QString& texte) {
    QString t = texte;
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.trimmed();
}

// Notes keep their line breaks as "¶", the program's line-break mark.
QString texteNote(const QString& texte) {
    QString t = texte;
    while (!t.isEmpty() && (t.back().isSpace()))
        t.chop(1);
    t.replace(QLatin1Char('\n'), QChar(0x00B6));
    return t;
}

QString majusculeInitiale(const QString& texte) {
    if (texte.isEmpty())
        return texte;
    return texte.left(1).toUpper() + texte.mid(1);
}

QString positionDepuisCode(const QString& code) {
    QString p = code;
    p.remove(QLatin1Char('.'));
    return p.leftJustified(8, QLatin1Char('0'));
}

// A rate or an amount of the modifier table: "+49%", "21,5%", "+6,50%" are
// rates (fractions), "80.00" an amount. Returns false when unreadable.
bool lireValeurModificateur(QString texte, bool& taux, double& valeur) {
    texte = texte.trimmed();
    texte.remove(QLatin1Char(' '));
    taux = texte.endsWith(QLatin1Char('%'));
    if (taux)
        texte.chop(1);
    if (texte.startsWith(QLatin1Char('+')))
        texte.remove(0, 1);
    texte.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    valeur = texte.toDouble(&ok);
    if (ok && taux)
        valeur /= 100.0;
    return ok;
}

QStringList trie(const QSet<QString>& ensemble) {
    QStringList l(ensemble.begin(), ensemble.end());
    l.sort();
    return l;
}

// Reads the spreadsheet's records one after the other: chapter headers,
// acts with their activity lines, modifier lists, complementary gestures and
// notes, then the modifier table that closes the file.
class LecteurTableur {
public:
    LecteurTableur(const QString& nom, ClassificationCcam& c, ConstatsLecture& constats)
        : m_nom(nom), m_c(c), m_constats(constats) {}

    void lire(const std::vector<EnregistrementCsv>& enr);

private:
    struct ListeGestes {
        QStringList gestes;
        QStringList activites; // empty: every activity of the act
    };
    struct ActeEnCours {
        QString code, libelle, positionH;
        int ligne = 0;
        int lignesCcam = 0;
        QStringList activites; // distinct, in order of appearance
        QStringList groupe;    // activities since the last gesture list
        QStringList modificateurs;
        std::vector<ListeGestes> gestes;
        QHash<QString, QString> libellesPhases;
    };

    ErreurImport altere(const EnregistrementCsv& e, const QString& detail) const;
    void lireEntete(const std::vector<EnregistrementCsv>& enr);
    void traiterEnregistrement(const EnregistrementCsv& e);
    void ligneChapitre(const EnregistrementCsv& e, const QString& code, const QString& texte);
    bool ligneTableModificateurs(const EnregistrementCsv& e, const QString& code,
                                 const QString& texte, bool ligneModificateur);
    void nouveauModificateur(const EnregistrementCsv& e, const QString& code, const QString& texte);
    void debutActe(const EnregistrementCsv& e, const QString& code, const QString& texte);
    void ligneDansActe(const EnregistrementCsv& e, const QString& code, const QString& texte);
    bool listeGestes(const EnregistrementCsv& e, const QString& texte);
    void noteActe(const QString& texte);
    void noteChapitre(const EnregistrementCsv& e, const QString& code, const QString& texte);
    void ligneActivite(const EnregistrementCsv& e);
    void lireTarif(const EnregistrementCsv& e, LigneCcam& l);
    void terminerActe();
    void finaliser();
    void dedoublonnerGestes(const QHash<QString, QString>& premiereActivite);
    void garderModificateursConnus();
    void compterActesCachesEtDoublons();

    const QString& m_nom;
    ClassificationCcam& m_c;
    ConstatsLecture& m_constats;
    std::array<QString, 4> m_chapitre;
    bool m_dansActe = false;
    bool m_tableModificateurs = false;
    bool m_modificateurVu = false; // in the modifier table, since the last chapter
    ActeEnCours m_acte;
    QSet<QString> m_actesNonPrisEnCharge;
};

ErreurImport LecteurTableur::altere(const EnregistrementCsv& e, const QString& detail) const {
    return ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, %3")
                            .arg(m_nom)
                            .arg(e.ligne)
                            .arg(detail));
}

void LecteurTableur::lire(const std::vector<EnregistrementCsv>& enr) {
    lireEntete(enr);
    for (size_t i = 2; i < enr.size(); ++i) {
        const EnregistrementCsv& e = enr[i];
        if (e.champs.size() == 1 && e.champs[0].trimmed().isEmpty())
            continue; // blank line
        if (e.champs.size() != NombreColonnes)
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est tronqué ou altéré : ligne %2, "
                                              "%3 colonnes au lieu de %4.")
                                   .arg(m_nom)
                                   .arg(e.ligne)
                                   .arg(e.champs.size())
                                   .arg(NombreColonnes));
        traiterEnregistrement(e);
    }
    terminerActe();
    if (m_constats.codesActes == 0)
        throw ErreurImport(QStringLiteral("Le fichier « %1 » ne contient aucun acte.").arg(m_nom));
    if (m_c.modificateurs.empty())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est incomplet : la table des "
                                          "modificateurs (chapitre « MODIFICATEURS »), qui le "
                                          "termine, est absente (fichier tronqué ?).")
                               .arg(m_nom));
    finaliser();
}

// Title line, then the column headers.
void LecteurTableur::lireEntete(const std::vector<EnregistrementCsv>& enr) {
    if (enr.empty() || (enr.size() == 1 && enr[0].champs.join(QString()).trimmed().isEmpty()))
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est vide.").arg(m_nom));
    const auto pasLeTableur = [&](const EnregistrementCsv& e, const QString& attendu) {
        return ErreurImport(QStringLiteral("Le fichier « %1 » n'est pas le tableur CCAM de "
                                           "l'Assurance Maladie enregistré en CSV : ligne %2, "
                                           "%3.")
                                .arg(m_nom)
                                .arg(e.ligne)
                                .arg(attendu));
    };
    const QString titre = champ(enr[0], ColCode).trimmed();
    if (!titre.contains(QStringLiteral("CCAM")))
        throw pasLeTableur(enr[0], QStringLiteral("titre « CNAM - CCAM version … » attendu"));
    if (enr.size() < 2)
        throw pasLeTableur(enr[0], QStringLiteral("en-tête des colonnes absent"));
    const EnregistrementCsv& entete = enr[1];
    if (entete.champs.size() != NombreColonnes || champ(entete, ColCode).trimmed() != "Code" ||
        champ(entete, ColTexte).trimmed() != "Texte" ||
        champ(entete, ColActivite).trimmed() != QStringLiteral("Activité") ||
        champ(entete, ColPhase).trimmed() != "Phase" ||
        !champ(entete, ColTarif).trimmed().startsWith(QStringLiteral("Tarif")) ||
        champ(entete, ColRegroupement).trimmed() != "Regroupement")
        throw pasLeTableur(entete, QStringLiteral("en-tête « Code,,Texte,Activité,Phase,Tarif…,"
                                                  "Regroupement » (11 colonnes) attendu"));
    m_c.version = titre;
}

void LecteurTableur::traiterEnregistrement(const EnregistrementCsv& e) {
    const QString code = champ(e, ColCode).trimmed();
    const QString texte = champ(e, ColTexte);
    // In the modifier table, a one-character code with a value is a modifier
    // (some are digits, like level-1 chapter codes).
    const bool ligneModificateur =
        m_tableModificateurs && code.size() == 1 && !champ(e, ColTarif).trimmed().isEmpty();
    if (!ligneModificateur && motifChapitre().match(code).hasMatch() &&
        !texte.trimmed().isEmpty()) {
        ligneChapitre(e, code, texte);
        return;
    }
    if (m_tableModificateurs && ligneTableModificateurs(e, code, texte, ligneModificateur))
        return;
    if (motifActe().match(code).hasMatch())
        debutActe(e, code, texte);
    else if (m_dansActe)
        ligneDansActe(e, code, texte);
    else
        noteChapitre(e, code, texte);
}

void LecteurTableur::ligneChapitre(const EnregistrementCsv& e, const QString& code,
                                   const QString& texte) {
    terminerActe();
    const int niveau = static_cast<int>(code.count(QLatin1Char('.'))) + 1;
    QString c = code;
    if (niveau == 1)
        c = code.rightJustified(2, QLatin1Char('0'));
    if (niveau > 1 && m_chapitre[niveau - 2].isEmpty())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, le chapitre %3 "
                                          "n'a pas de chapitre parent.")
                               .arg(m_nom)
                               .arg(e.ligne)
                               .arg(code));
    // The modifier table is the chapter titled "MODIFICATEURS" and its
    // sub-chapters.
    if (niveau <= 2)
        m_tableModificateurs = false;
    m_chapitre[niveau - 1] = c;
    for (int n = niveau; n < 4; ++n)
        m_chapitre[n].clear();
    m_c.hierarchie[niveau - 1].emplace_back(c, libelleSurUneLigne(texte));
    if (libelleSurUneLigne(texte).toUpper() == QStringLiteral("MODIFICATEURS"))
        m_tableModificateurs = true;
    m_modificateurVu = false;
}

// A line of the modifier table. Returns false for a note of a sub-chapter
// before its first modifier, which is read as a chapter note.
bool LecteurTableur::ligneTableModificateurs(const EnregistrementCsv& e, const QString& code,
                                             const QString& texte, bool ligneModificateur) {
    const QString tarif = champ(e, ColTarif).trimmed();
    if (ligneModificateur && code.at(0).isLetterOrNumber()) {
        m_modificateurVu = true;
        nouveauModificateur(e, code, texte);
        return true;
    }
    if (code.isEmpty() && !tarif.isEmpty()) {
        ++m_constats.variantesModificateurs;
        return true;
    }
    if (!code.isEmpty())
        throw altere(e, QStringLiteral("« %1 » n'est pas un code de modificateur.").arg(code));
    if (texte.trimmed().isEmpty())
        return true;
    if (m_modificateurVu) {
        ++m_constats.notesModificateurs;
        return true;
    }
    return false;
}

void LecteurTableur::nouveauModificateur(const EnregistrementCsv& e, const QString& code,
                                         const QString& texte) {
    for (const Modificateur& m : m_c.modificateurs)
        if (m.code == code) {
            ++m_constats.variantesModificateurs;
            return;
        }
    const QString tarif = champ(e, ColTarif).trimmed();
    Modificateur m{code, libelleSurUneLigne(texte), {}, {}};
    bool taux = false;
    double valeur = 0;
    if (!lireValeurModificateur(tarif, taux, valeur))
        throw altere(
            e, QStringLiteral("valeur « %1 » du modificateur %2 illisible.").arg(tarif, code));
    // A bare number below 1 beside a rate in the other sector's column is a
    // rate written without its "%".
    const QString autre = champ(e, ColTarif + 1).trimmed();
    if (!taux && valeur < 1 && autre.endsWith(QLatin1Char('%'))) {
        taux = true;
        m_constats.remarques << QStringLiteral("Modificateur %1 (ligne %2) : valeur secteur 1 "
                                               "« %3 » sans « % », lue comme le taux %4 %, comme "
                                               "la colonne hors secteur 1 (« %5 »).")
                                    .arg(code)
                                    .arg(e.ligne)
                                    .arg(tarif)
                                    .arg(valeur * 100)
                                    .arg(autre);
    }
    if (taux)
        m.pourcentage = valeur;
    else
        m.tarif = valeur;
    m_c.modificateurs.push_back(m);
}

void LecteurTableur::debutActe(const EnregistrementCsv& e, const QString& code,
                               const QString& texte) {
    terminerActe();
    if (m_chapitre[1].isEmpty())
        throw altere(e, QStringLiteral("l'acte %1 n'est rangé dans aucun chapitre.").arg(code));
    m_dansActe = true;
    m_acte = ActeEnCours{};
    m_acte.code = code;
    m_acte.libelle = libelleSurUneLigne(texte);
    m_acte.ligne = e.ligne;
    if (!m_chapitre[3].isEmpty()) {
        m_acte.positionH = positionDepuisCode(m_chapitre[3]);
    } else {
        const QString parent = !m_chapitre[2].isEmpty() ? m_chapitre[2] : m_chapitre[1];
        m_acte.positionH = positionDepuisCode(parent);
        ++m_constats.actesNiveau3;
    }
    ++m_constats.codesActes;
    if (!champ(e, ColActivite).trimmed().isEmpty())
        ligneActivite(e);
}

// Below an act: its modifier list "[A, B]", an activity line, a list of
// complementary gestures "(CODE, …)" or a usage note.
void LecteurTableur::ligneDansActe(const EnregistrementCsv& e, const QString& code,
                                   const QString& texte) {
    if (code.startsWith(QLatin1Char('[')) && code.endsWith(QLatin1Char(']'))) {
        for (const QString& m : code.mid(1, code.size() - 2).split(QLatin1Char(',')))
            if (!m.trimmed().isEmpty() && !m_acte.modificateurs.contains(m.trimmed()))
                m_acte.modificateurs << m.trimmed();
    } else if (!code.isEmpty()) {
        m_constats.remarques << QStringLiteral("Ligne %1 : première colonne « %2 » inattendue "
                                               "sous l'acte %3, ignorée.")
                                    .arg(e.ligne)
                                    .arg(code, m_acte.code);
    }
    if (!champ(e, ColActivite).trimmed().isEmpty()) {
        ligneActivite(e);
        return;
    }
    if (listeGestes(e, texte.trimmed()))
        return;
    if (!texte.trimmed().isEmpty())
        noteActe(texte);
}

bool LecteurTableur::listeGestes(const EnregistrementCsv& e, const QString& t) {
    if (!t.startsWith(QLatin1Char('(')) || !t.endsWith(QLatin1Char(')')))
        return false;
    ListeGestes liste;
    QStringList illisibles;
    for (const QString& j : t.mid(1, t.size() - 2).split(QLatin1Char(','))) {
        const QString g = j.trimmed();
        if (motifActe().match(g).hasMatch())
            liste.gestes << g;
        else
            illisibles << g;
    }
    if (liste.gestes.isEmpty())
        return false;
    if (!illisibles.isEmpty())
        m_constats.remarques << QStringLiteral("Ligne %1 : geste complémentaire « %2 » de "
                                               "l'acte %3 illisible, ignoré.")
                                    .arg(e.ligne)
                                    .arg(illisibles.join(QStringLiteral(", ")), m_acte.code);
    liste.activites = m_acte.groupe;
    m_acte.groupe.clear();
    m_acte.gestes.push_back(liste);
    return true;
}

void LecteurTableur::noteActe(const QString& texte) {
    m_c.notesActes.emplace_back(m_acte.code, texteNote(texte.trimmed()));
    // Billing notes that forbid billing with named acts.
    static const QRegularExpression interdit(
        QStringLiteral("[Nn]on (?:associable|cumulable)\\s*(?:avec|à)?\\s*:?\\s*"
                       "((?:[A-Z]{4}[0-9]{3}(?:\\s*(?:,|et|ou)\\s*)?)+)"));
    auto it = interdit.globalMatch(texte);
    while (it.hasNext()) {
        auto codes = motifCodeDansTexte().globalMatch(it.next().captured(1));
        while (codes.hasNext()) {
            const QString autre = codes.next().captured(0);
            if (autre != m_acte.code)
                m_c.incompatibles.emplace_back(m_acte.code, autre);
        }
    }
}

// Outside any act: chapter notes, blank lines.
void LecteurTableur::noteChapitre(const EnregistrementCsv& e, const QString& code,
                                  const QString& texte) {
    if (!code.isEmpty())
        throw altere(e, QStringLiteral("« %1 » n'est ni un chapitre ni un acte.").arg(code));
    if (texte.trimmed().isEmpty())
        return;
    QString profond;
    for (const QString& c : m_chapitre)
        if (!c.isEmpty())
            profond = c;
    if (profond.isEmpty())
        throw altere(e, QStringLiteral("texte avant le premier chapitre."));
    m_c.notesHierarchie.emplace_back(profond, texteNote(texte.trimmed()));
}

void LecteurTableur::ligneActivite(const EnregistrementCsv& e) {
    LigneCcam l;
    l.code = m_acte.code;
    l.libelle = m_acte.libelle;
    l.positionH = m_acte.positionH;
    l.activite = champ(e, ColActivite).trimmed();
    l.phase = champ(e, ColPhase).trimmed();
    if (l.phase.isEmpty())
        l.phase = QStringLiteral("0");
    const bool ligneActe = motifActe().match(champ(e, ColCode).trimmed()).hasMatch();
    const QString texte = ligneActe ? QString() : libelleSurUneLigne(champ(e, ColTexte));

    static const QRegularExpression phase(QStringLiteral("^Phase\\s*[0-9]+\\s*:"));
    const bool textePhase = phase.match(texte).hasMatch();
    if (l.phase != QLatin1String("0")) {
        if (textePhase)
            m_acte.libellesPhases.insert(l.phase, texte);
        l.libellePhase = m_acte.libellesPhases.value(l.phase, QStringLiteral("Phase ") + l.phase);
    }
    if (texte.isEmpty() || textePhase)
        l.libelleActivite = QStringLiteral("Activité ") + l.activite;
    else
        l.libelleActivite = majusculeInitiale(texte);
    lireTarif(e, l);
    l.exoTm = champ(e, ColExoTm).trimmed();
    l.exoTm.remove(QLatin1Char(' '));
    l.regroupement = champ(e, ColRegroupement).trimmed();

    if (!m_acte.activites.contains(l.activite))
        m_acte.activites << l.activite;
    if (!m_acte.groupe.contains(l.activite))
        m_acte.groupe << l.activite;
    ++m_acte.lignesCcam;
    m_c.ccam.push_back(std::move(l));
}

void LecteurTableur::lireTarif(const EnregistrementCsv& e, LigneCcam& l) {
    const QString tarif = champ(e, ColTarif).trimmed();
    if (tarif.isEmpty()) {
        ++m_constats.tarifsAbsents;
        return;
    }
    if (tarif.compare(QStringLiteral("Non pris en charge"), Qt::CaseInsensitive) == 0) {
        ++m_constats.tarifsNonPrisEnCharge;
        m_actesNonPrisEnCharge.insert(l.code);
        return;
    }
    QString t = tarif;
    t.remove(QLatin1Char(' '));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        throw altere(e, QStringLiteral("tarif « %1 » de l'acte %2 illisible.").arg(tarif, l.code));
    if (t != tarif)
        m_constats.remarques << QStringLiteral("Ligne %1 : tarif « %2 » de l'acte %3 lu %4.")
                                    .arg(e.ligne)
                                    .arg(tarif, l.code, t);
    l.tarif = v;
}

// The act is complete: its modifiers go to its activities, its gesture lists
// to the activities they follow.
void LecteurTableur::terminerActe() {
    if (!m_dansActe)
        return;
    m_dansActe = false;
    const ActeEnCours& a = m_acte;
    if (a.lignesCcam == 0)
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est tronqué ou altéré : l'acte %2 "
                                          "(ligne %3) n'a aucune ligne d'activité.")
                               .arg(m_nom, a.code)
                               .arg(a.ligne));
    const bool a4 = a.activites.contains(QStringLiteral("4"));
    QStringList autres = a.activites;
    autres.removeAll(QStringLiteral("4"));
    for (const QString& m : a.modificateurs) {
        QStringList cibles;
        if (LectureCcam::modificateursToutesActivites().contains(m)) {
            cibles = a.activites;
        } else if (LectureCcam::modificateursAnesthesie().contains(m)) {
            if (a4) {
                cibles << QStringLiteral("4");
            } else {
                cibles = a.activites;
                ++m_constats.modificateursAnesthesieSans4;
            }
        } else if (!autres.isEmpty()) {
            cibles = autres;
        } else {
            cibles = a.activites;
            ++m_constats.modificateursSansAutreActivite;
        }
        for (const QString& act : cibles)
            m_c.acteModificateur.push_back({a.code, act, m});
    }
    for (const ListeGestes& g : a.gestes) {
        const QStringList activites = g.activites.isEmpty() ? a.activites : g.activites;
        for (const QString& geste : g.gestes)
            for (const QString& act : activites)
                m_c.actesAssocies.push_back({a.code, act, geste, QString()});
    }
}

// Once every line is read: each link kept once and only between the acts
// and modifiers of this version; counts for the report.
void LecteurTableur::finaliser() {
    // The activity of each act code (its first), for the complementary gestures.
    QHash<QString, QString> premiereActivite;
    for (const LigneCcam& l : m_c.ccam)
        if (!premiereActivite.contains(l.code))
            premiereActivite.insert(l.code, l.activite);
    dedoublonnerGestes(premiereActivite);
    garderModificateursConnus();

    std::set<Paire> inc;
    std::vector<Paire> incompatibles;
    for (const Paire& p : m_c.incompatibles)
        if (premiereActivite.contains(p.second) && inc.insert(p).second)
            incompatibles.push_back(p);
    m_c.incompatibles = std::move(incompatibles);
    m_constats.actesNonPrisEnCharge = static_cast<int>(m_actesNonPrisEnCharge.size());
    compterActesCachesEtDoublons();
}

void LecteurTableur::dedoublonnerGestes(const QHash<QString, QString>& premiereActivite) {
    std::set<std::array<QString, 4>> vus;
    std::set<Paire> paires;
    std::vector<std::array<QString, 4>> associes;
    QSet<QString> inconnus;
    for (auto& a : m_c.actesAssocies) {
        auto it = premiereActivite.constFind(a[2]);
        if (it == premiereActivite.constEnd()) {
            inconnus.insert(a[2]);
            continue;
        }
        a[3] = *it;
        if (vus.insert(a).second) {
            associes.push_back(a);
            paires.emplace(a[0], a[2]);
        }
    }
    m_c.actesAssocies = std::move(associes);
    m_constats.pairesGestes = static_cast<int>(paires.size());
    m_constats.gestesInconnus = trie(inconnus);
}

// Modifiers named by acts but absent from the modifier table are left out.
void LecteurTableur::garderModificateursConnus() {
    QSet<QString> connus;
    for (const Modificateur& m : m_c.modificateurs)
        connus.insert(m.code);
    std::vector<std::array<QString, 3>> am;
    std::set<std::array<QString, 3>> vus;
    QSet<QString> inconnus;
    for (const auto& x : m_c.acteModificateur) {
        if (!connus.contains(x[2])) {
            inconnus.insert(x[2]);
            continue;
        }
        if (vus.insert(x).second)
            am.push_back(x);
    }
    m_c.acteModificateur = std::move(am);
    m_constats.modificateursInconnus = trie(inconnus);
}

void LecteurTableur::compterActesCachesEtDoublons() {
    // Acts placed in a chapter that also has sub-chapters: the hierarchy
    // browser lists the acts of a chapter only when it has no sub-chapter.
    QSet<QString> parents;
    for (int n = 1; n < 4; ++n)
        for (const Paire& h : m_c.hierarchie[n])
            parents.insert(positionDepuisCode(h.first.left(h.first.lastIndexOf('.'))));
    QSet<QString> actesCaches;
    for (const LigneCcam& l : m_c.ccam)
        if (parents.contains(l.positionH))
            actesCaches.insert(l.code);
    m_constats.actesCaches = static_cast<int>(actesCaches.size());
    // Duplicated keys (act, activity, phase) are kept, as the spreadsheet lists them.
    std::set<std::array<QString, 3>> cles;
    for (const LigneCcam& l : m_c.ccam)
        if (!cles.insert({l.code, l.activite, l.phase}).second)
            ++m_constats.doublons;
}

} // namespace

void LectureCcam::lireTableur(const std::vector<EnregistrementCsv>& enregistrements,
                              const QString& nomFichier, ClassificationCcam& classification,
                              ConstatsLecture& constats) {
    LecteurTableur(nomFichier, classification, constats).lire(enregistrements);
}

const QSet<QString>& LectureCcam::modificateursAnesthesie() {
    // The modifier table describes these as the anaesthetist's: A (anaesthesia
    // of a young or old patient), 8 (anaesthesia of an iterative operation),
    // 4 and 5 (peroperative set-up of postoperative analgesia), 7 (permanent
    // presence of the anaesthetist), 3 (anaesthesia acts of anaesthetists).
    static const QSet<QString> s{QStringLiteral("A"), QStringLiteral("3"), QStringLiteral("4"),
                                 QStringLiteral("5"), QStringLiteral("7"), QStringLiteral("8")};
    return s;
}

const QSet<QString>& LectureCcam::modificateursToutesActivites() {
    // Emergency modifiers (night, Sunday, vital emergency, urgent care): the
    // table names surgeons and anaesthetists alike.
    static const QSet<QString> s{QStringLiteral("O"), QStringLiteral("U"), QStringLiteral("P"),
                                 QStringLiteral("S"), QStringLiteral("F"), QStringLiteral("M")};
    return s;
}
