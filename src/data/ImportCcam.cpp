#include "ImportCcam.h"

#include "PliageAccents.h"

#include "Data.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>
#include <sqlite3.h>

namespace {

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

QString nombre(int n) {
    return QLocale(QLocale::French).toString(n);
}

} // namespace

// ---------------------------------------------------------------- label forms

QString ImportCcam::replierAccents(const QString& texte) {
    return ::replierAccents(texte);
}

QString ImportCcam::simplifierLibelle(const QString& texte) {
    QString t = replierAccents(texte).toLower();
    t.replace(QChar(0x0153), QStringLiteral("oe"));
    t.replace(QChar(0x00E6), QStringLiteral("ae"));
    QString r;
    r.reserve(t.size());
    bool blanc = true; // no blank at the start
    for (QChar c : t) {
        if (c.isLetterOrNumber()) {
            r += c;
            blanc = false;
        } else if (!blanc) {
            r += QLatin1Char(' ');
            blanc = true;
        }
    }
    if (r.endsWith(QLatin1Char(' ')))
        r.chop(1);
    return r;
}

const QSet<QString>& ImportCcam::modificateursAnesthesie() {
    // The modifier table describes these as the anaesthetist's: A (anaesthesia
    // of a young or old patient), 8 (anaesthesia of an iterative operation),
    // 4 and 5 (peroperative set-up of postoperative analgesia), 7 (permanent
    // presence of the anaesthetist), 3 (anaesthesia acts of anaesthetists).
    static const QSet<QString> s{QStringLiteral("A"), QStringLiteral("3"), QStringLiteral("4"),
                                 QStringLiteral("5"), QStringLiteral("7"), QStringLiteral("8")};
    return s;
}

const QSet<QString>& ImportCcam::modificateursToutesActivites() {
    // Emergency modifiers (night, Sunday, vital emergency, urgent care): the
    // table names surgeons and anaesthetists alike.
    static const QSet<QString> s{QStringLiteral("O"), QStringLiteral("U"), QStringLiteral("P"),
                                 QStringLiteral("S"), QStringLiteral("F"), QStringLiteral("M")};
    return s;
}

// ---------------------------------------------------------------- report

QString RapportImport::texte() const {
    QStringList l;
    l << QStringLiteral("Tableur : %1").arg(fichier);
    if (!version.isEmpty())
        l << QStringLiteral("Version : %1").arg(version);
    if (baseCreee)
        l << QStringLiteral("Base créée à partir du schéma.");
    l << QString();
    l << QStringLiteral("Codes d'actes : %1").arg(nombre(codesActes));
    l << QStringLiteral("Lignes CCAM (acte, activité, phase) : %1").arg(nombre(lignesCcam));
    l << QStringLiteral("Chapitres par niveau : %1 / %2 / %3 / %4")
             .arg(nombre(chapitres[0]), nombre(chapitres[1]), nombre(chapitres[2]),
                  nombre(chapitres[3]));
    l << QStringLiteral("Actes rangés au-dessus du niveau 4 (PositionH terminée par « 00 ») : %1")
             .arg(nombre(actesNiveau3));
    l << QStringLiteral("Notes d'utilisation des actes : %1").arg(nombre(notesActes));
    l << QStringLiteral("Notes des chapitres : %1").arg(nombre(notesChapitres));
    l << QStringLiteral("Modificateurs : %1").arg(nombre(modificateurs));
    l << QStringLiteral("Modificateurs par acte et activité : %1").arg(nombre(acteModificateurs));
    l << QStringLiteral("Gestes complémentaires : %1 paires acte → geste, %2 lignes par activité")
             .arg(nombre(pairesGestes), nombre(lignesActesAssocies));
    l << QStringLiteral("Incompatibilités tirées des notes « non associable à » / « non "
                        "cumulable avec » : %1")
             .arg(nombre(incompatibilites));
    l << QStringLiteral("Procédures : aucune (le tableur n'en décrit pas ; table vidée)");
    if (references.isEmpty()) {
        l << QStringLiteral("Tables de référence : non fournies (--references) ; Systèmes, "
                            "ORGANES, Extension_documentaire, Actes_extension_documentaire, "
                            "Exo_TM et Regroupement sont laissées telles quelles.");
    } else {
        l << QStringLiteral("Tables de référence (%1) :").arg(references);
        l << QStringLiteral("  Systèmes : %1, organes : %2").arg(nombre(systemes), nombre(organes));
        l << QStringLiteral("  Extensions documentaires : %1, rattachements acte/activité : %2")
                 .arg(nombre(extensions), nombre(actesExtensions));
        l << QStringLiteral("  Codes Exo TM : %1, regroupements : %2")
                 .arg(nombre(exoTm), nombre(regroupements));
    }
    l << QString();
    l << QStringLiteral("Règles appliquées et leurs limites :");
    for (const QString& r : regles)
        l << QStringLiteral("  - ") + r;
    l << QString();
    l << QStringLiteral("Non repris ou corrigé :");
    if (nonRepris.isEmpty())
        l << QStringLiteral("  (rien)");
    for (const QString& r : nonRepris)
        l << QStringLiteral("  - ") + r;
    l << QString();
    if (actesThesaurusAbsents.isEmpty())
        l << QStringLiteral("Actes des thésaurus absents de cette version : aucun");
    else
        l << QStringLiteral("Actes des thésaurus absents de cette version (%1, conservés dans les "
                            "thésaurus, masqués par le programme) : %2")
                 .arg(nombre(static_cast<int>(actesThesaurusAbsents.size())),
                      actesThesaurusAbsents.join(QStringLiteral(", ")));
    l << QStringLiteral("Durée : %1 s").arg(QLocale(QLocale::French).toString(secondes, 'f', 2));
    return l.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// ---------------------------------------------------------------- reading

ImportCcam::ImportCcam(QString fichierCsv, QString dossierReferences)
    : m_fichier(std::move(fichierCsv)), m_nomFichier(QFileInfo(m_fichier).fileName()),
      m_dossierReferences(std::move(dossierReferences)) {}

void ImportCcam::analyser() {
    if (m_analyse)
        return;
    *this = ImportCcam(m_fichier, m_dossierReferences); // nothing left from a failed attempt
    m_rapport.fichier = m_fichier;
    m_rapport.references = m_dossierReferences;
    analyserTableur();
    if (!m_dossierReferences.isEmpty())
        analyserReferences();
    m_analyse = true;
}

void ImportCcam::analyserTableur() {
    const QString& nom = m_nomFichier;
    const std::vector<EnregistrementCsv> enr = LecteurCsv::lireFichier(m_fichier, ',');
    if (enr.empty() || (enr.size() == 1 && enr[0].champs.join(QString()).trimmed().isEmpty()))
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est vide.").arg(nom));

    const auto pasLeTableur = [&](const EnregistrementCsv& e, const QString& attendu) {
        return ErreurImport(QStringLiteral("Le fichier « %1 » n'est pas le tableur CCAM de "
                                           "l'Assurance Maladie enregistré en CSV : ligne %2, "
                                           "%3.")
                                .arg(nom)
                                .arg(e.ligne)
                                .arg(attendu));
    };
    // Title line, then the column headers.
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
    m_rapport.version = titre;

    for (size_t i = 2; i < enr.size(); ++i) {
        const EnregistrementCsv& e = enr[i];
        if (e.champs.size() == 1 && e.champs[0].trimmed().isEmpty())
            continue; // blank line
        if (e.champs.size() != NombreColonnes)
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est tronqué ou altéré : ligne %2, "
                                              "%3 colonnes au lieu de %4.")
                                   .arg(nom)
                                   .arg(e.ligne)
                                   .arg(e.champs.size())
                                   .arg(NombreColonnes));
        traiterEnregistrement(e);
    }
    terminerActe();
    if (m_rapport.codesActes == 0)
        throw ErreurImport(QStringLiteral("Le fichier « %1 » ne contient aucun acte.").arg(nom));
    if (m_modificateurs.empty())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est incomplet : la table des "
                                          "modificateurs (chapitre « MODIFICATEURS »), qui le "
                                          "termine, est absente (fichier tronqué ?).")
                               .arg(nom));
    finaliser();
}

void ImportCcam::traiterEnregistrement(const EnregistrementCsv& e) {
    const QString code = champ(e, ColCode).trimmed();
    const QString texte = champ(e, ColTexte);
    const QString& nom = m_nomFichier;

    // In the modifier table, a one-character code with a value is a modifier
    // (some are digits, like level-1 chapter codes).
    const bool ligneModificateur =
        m_tableModificateurs && code.size() == 1 && !champ(e, ColTarif).trimmed().isEmpty();
    // Chapter header
    if (!ligneModificateur && motifChapitre().match(code).hasMatch() &&
        !texte.trimmed().isEmpty()) {
        terminerActe();
        const int niveau = static_cast<int>(code.count(QLatin1Char('.'))) + 1;
        QString c = code;
        if (niveau == 1)
            c = code.rightJustified(2, QLatin1Char('0'));
        if (niveau > 1 && m_chapitre[niveau - 2].isEmpty())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, le "
                                              "chapitre %3 n'a pas de chapitre parent.")
                                   .arg(nom)
                                   .arg(e.ligne)
                                   .arg(code));
        // The modifier table is the chapter titled "MODIFICATEURS" and its
        // sub-chapters.
        if (niveau <= 2)
            m_tableModificateurs = false;
        m_chapitre[niveau - 1] = c;
        for (int n = niveau; n < 4; ++n)
            m_chapitre[n].clear();
        m_hierarchie[niveau - 1].emplace_back(c, libelleSurUneLigne(texte));
        if (libelleSurUneLigne(texte).toUpper() == QStringLiteral("MODIFICATEURS"))
            m_tableModificateurs = true;
        m_modificateurVu = false;
        return;
    }

    if (m_tableModificateurs) {
        const QString tarif = champ(e, ColTarif).trimmed();
        if (ligneModificateur && code.at(0).isLetterOrNumber()) {
            m_modificateurVu = true;
            for (const Modificateur& m : m_modificateurs)
                if (m.code == code) {
                    ++m_variantesModificateurs;
                    return;
                }
            Modificateur m{code, libelleSurUneLigne(texte), {}, {}};
            bool taux = false;
            double valeur = 0;
            if (!lireValeurModificateur(tarif, taux, valeur))
                throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, "
                                                  "valeur « %3 » du modificateur %4 illisible.")
                                       .arg(nom)
                                       .arg(e.ligne)
                                       .arg(tarif, code));
            // A bare number below 1 beside a rate in the other sector's
            // column is a rate written without its "%".
            const QString autre = champ(e, ColTarif + 1).trimmed();
            if (!taux && valeur < 1 && autre.endsWith(QLatin1Char('%'))) {
                taux = true;
                m_rapport.nonRepris << QStringLiteral("Modificateur %1 (ligne %2) : valeur "
                                                      "secteur 1 « %3 » sans « % », lue comme "
                                                      "le taux %4 %, comme la colonne hors "
                                                      "secteur 1 (« %5 »).")
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
            m_modificateurs.push_back(m);
            return;
        }
        if (code.isEmpty() && !tarif.isEmpty()) {
            ++m_variantesModificateurs;
            return;
        }
        if (!code.isEmpty())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, « %3 » "
                                              "n'est pas un code de modificateur.")
                                   .arg(nom)
                                   .arg(e.ligne)
                                   .arg(code));
        if (texte.trimmed().isEmpty())
            return;
        if (m_modificateurVu) {
            ++m_notesModificateurs;
            return;
        }
        // A note of the sub-chapter, before its first modifier: falls through.
    }

    if (motifActe().match(code).hasMatch()) {
        terminerActe();
        if (m_chapitre[1].isEmpty())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, l'acte %3 "
                                              "n'est rangé dans aucun chapitre.")
                                   .arg(nom)
                                   .arg(e.ligne)
                                   .arg(code));
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
            ++m_rapport.actesNiveau3;
        }
        ++m_rapport.codesActes;
        if (!champ(e, ColActivite).trimmed().isEmpty())
            ligneActivite(e);
        return;
    }

    if (m_dansActe) {
        if (code.startsWith(QLatin1Char('[')) && code.endsWith(QLatin1Char(']'))) {
            for (const QString& m : code.mid(1, code.size() - 2).split(QLatin1Char(',')))
                if (!m.trimmed().isEmpty() && !m_acte.modificateurs.contains(m.trimmed()))
                    m_acte.modificateurs << m.trimmed();
        } else if (!code.isEmpty()) {
            m_rapport.nonRepris << QStringLiteral("Ligne %1 : première colonne « %2 » "
                                                  "inattendue sous l'acte %3, ignorée.")
                                       .arg(e.ligne)
                                       .arg(code, m_acte.code);
        }
        if (!champ(e, ColActivite).trimmed().isEmpty()) {
            ligneActivite(e);
            return;
        }
        const QString t = texte.trimmed();
        if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
            const QStringList jetons = t.mid(1, t.size() - 2).split(QLatin1Char(','));
            ListeGestes liste;
            QStringList illisibles;
            for (const QString& j : jetons) {
                const QString g = j.trimmed();
                if (motifActe().match(g).hasMatch())
                    liste.gestes << g;
                else
                    illisibles << g;
            }
            if (!liste.gestes.isEmpty()) {
                if (!illisibles.isEmpty())
                    m_rapport.nonRepris
                        << QStringLiteral("Ligne %1 : geste complémentaire "
                                          "« %2 » de l'acte %3 illisible, "
                                          "ignoré.")
                               .arg(e.ligne)
                               .arg(illisibles.join(QStringLiteral(", ")), m_acte.code);
                liste.activites = m_acte.groupe;
                m_acte.groupe.clear();
                m_acte.gestes.push_back(liste);
                return;
            }
        }
        if (!t.isEmpty()) {
            const QString note = texteNote(texte.trimmed());
            m_notesActes.emplace_back(m_acte.code, note);
            // Billing notes that forbid billing with named acts.
            static const QRegularExpression interdit(
                QStringLiteral("[Nn]on (?:associable|cumulable)\\s*(?:avec|à)?\\s*:?\\s*"
                               "((?:[A-Z]{4}[0-9]{3}(?:\\s*(?:,|et|ou)\\s*)?)+)"));
            auto it = interdit.globalMatch(texte);
            while (it.hasNext()) {
                const auto m = it.next();
                auto codes = motifCodeDansTexte().globalMatch(m.captured(1));
                while (codes.hasNext()) {
                    const QString autre = codes.next().captured(0);
                    if (autre != m_acte.code)
                        m_incompatibles.emplace_back(m_acte.code, autre);
                }
            }
        }
        return;
    }

    // Outside any act: chapter notes, blank lines.
    if (!code.isEmpty())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, « %3 » n'est "
                                          "ni un chapitre ni un acte.")
                               .arg(nom)
                               .arg(e.ligne)
                               .arg(code));
    if (!texte.trimmed().isEmpty()) {
        QString deepest;
        for (const QString& c : m_chapitre)
            if (!c.isEmpty())
                deepest = c;
        if (deepest.isEmpty())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, texte "
                                              "avant le premier chapitre.")
                                   .arg(nom)
                                   .arg(e.ligne));
        m_notesHierarchie.emplace_back(deepest, texteNote(texte.trimmed()));
    }
}

void ImportCcam::ligneActivite(const EnregistrementCsv& e) {
    const QString& nom = m_nomFichier;
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

    const QString tarif = champ(e, ColTarif).trimmed();
    if (tarif.isEmpty()) {
        ++m_tarifsAbsents;
    } else if (tarif.compare(QStringLiteral("Non pris en charge"), Qt::CaseInsensitive) == 0) {
        ++m_tarifsNonPrisEnCharge;
        m_actesNonPrisEnCharge.insert(l.code);
    } else {
        QString t = tarif;
        t.remove(QLatin1Char(' '));
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok)
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, tarif "
                                              "« %3 » de l'acte %4 illisible.")
                                   .arg(nom)
                                   .arg(e.ligne)
                                   .arg(tarif, l.code));
        if (t != tarif)
            m_rapport.nonRepris << QStringLiteral("Ligne %1 : tarif « %2 » de l'acte %3 lu %4.")
                                       .arg(e.ligne)
                                       .arg(tarif, l.code, t);
        l.tarif = v;
    }
    l.exoTm = champ(e, ColExoTm).trimmed();
    l.exoTm.remove(QLatin1Char(' '));
    if (!l.exoTm.isEmpty())
        m_exoUtilises.insert(l.exoTm);
    l.regroupement = champ(e, ColRegroupement).trimmed();

    if (!m_acte.activites.contains(l.activite))
        m_acte.activites << l.activite;
    if (!m_acte.groupe.contains(l.activite))
        m_acte.groupe << l.activite;
    ++m_acte.lignesCcam;
    m_ccam.push_back(std::move(l));
}

void ImportCcam::terminerActe() {
    if (!m_dansActe)
        return;
    m_dansActe = false;
    const ActeEnCours& a = m_acte;
    if (a.lignesCcam == 0)
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est tronqué ou altéré : l'acte %2 "
                                          "(ligne %3) n'a aucune ligne d'activité.")
                               .arg(m_nomFichier, a.code)
                               .arg(a.ligne));
    const bool a4 = a.activites.contains(QStringLiteral("4"));
    QStringList autres = a.activites;
    autres.removeAll(QStringLiteral("4"));
    for (const QString& m : a.modificateurs) {
        QStringList cibles;
        if (modificateursToutesActivites().contains(m)) {
            cibles = a.activites;
        } else if (modificateursAnesthesie().contains(m)) {
            if (a4) {
                cibles << QStringLiteral("4");
            } else {
                cibles = a.activites;
                ++m_modificateursAnesthesieSans4;
            }
        } else if (!autres.isEmpty()) {
            cibles = autres;
        } else {
            cibles = a.activites;
            ++m_modificateursSansAutreActivite;
        }
        for (const QString& act : cibles)
            m_acteModificateur.push_back({a.code, act, m});
    }
    for (const ListeGestes& g : a.gestes) {
        const QStringList activites = g.activites.isEmpty() ? a.activites : g.activites;
        for (const QString& geste : g.gestes)
            for (const QString& act : activites)
                m_actesAssocies.push_back({a.code, act, geste, QString()});
    }
}

void ImportCcam::finaliser() {
    // The activity of each act code (its first), for the complementary gestures.
    QHash<QString, QString> premiereActivite;
    for (const LigneCcam& l : m_ccam)
        if (!premiereActivite.contains(l.code))
            premiereActivite.insert(l.code, l.activite);

    std::set<std::array<QString, 4>> vus;
    std::set<Paire> paires;
    std::vector<std::array<QString, 4>> associes;
    QSet<QString> inconnus;
    for (auto& a : m_actesAssocies) {
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
    m_actesAssocies = std::move(associes);
    m_rapport.pairesGestes = static_cast<int>(paires.size());
    m_rapport.lignesActesAssocies = static_cast<int>(m_actesAssocies.size());
    if (!inconnus.isEmpty()) {
        QStringList l(inconnus.begin(), inconnus.end());
        l.sort();
        m_rapport.nonRepris << QStringLiteral("Gestes complémentaires dont le code n'est pas un "
                                              "acte de cette version, non repris : %1.")
                                   .arg(l.join(QStringLiteral(", ")));
    }

    // Modifiers named by acts but absent from the modifier table.
    QSet<QString> connus;
    for (const Modificateur& m : m_modificateurs)
        connus.insert(m.code);
    std::vector<std::array<QString, 3>> am;
    std::set<std::array<QString, 3>> amVus;
    for (const auto& x : m_acteModificateur) {
        if (!connus.contains(x[2])) {
            m_modificateursInconnus.insert(x[2]);
            continue;
        }
        if (amVus.insert(x).second)
            am.push_back(x);
    }
    m_acteModificateur = std::move(am);
    if (!m_modificateursInconnus.isEmpty()) {
        QStringList l(m_modificateursInconnus.begin(), m_modificateursInconnus.end());
        l.sort();
        m_rapport.nonRepris << QStringLiteral("Modificateurs cités par des actes mais absents de "
                                              "la table des modificateurs, non repris : %1.")
                                   .arg(l.join(QStringLiteral(", ")));
    }

    // Incompatibilities: only between acts of this version, each pair once.
    std::set<Paire> inc;
    std::vector<Paire> incompatibles;
    for (const Paire& p : m_incompatibles)
        if (premiereActivite.contains(p.second) && inc.insert(p).second)
            incompatibles.push_back(p);
    m_incompatibles = std::move(incompatibles);

    auto& r = m_rapport;
    r.lignesCcam = static_cast<int>(m_ccam.size());
    for (int i = 0; i < 4; ++i)
        r.chapitres[i] = static_cast<int>(m_hierarchie[i].size());
    r.notesActes = static_cast<int>(m_notesActes.size());
    r.notesChapitres = static_cast<int>(m_notesHierarchie.size());
    r.modificateurs = static_cast<int>(m_modificateurs.size());
    r.acteModificateurs = static_cast<int>(m_acteModificateur.size());
    r.incompatibilites = static_cast<int>(m_incompatibles.size());

    // Acts placed in a chapter that also has sub-chapters: the hierarchy
    // browser lists the acts of a chapter only when it has no sub-chapter.
    QSet<QString> parents;
    for (int n = 1; n < 4; ++n)
        for (const Paire& h : m_hierarchie[n])
            parents.insert(positionDepuisCode(h.first.left(h.first.lastIndexOf('.'))));
    QSet<QString> actesCaches;
    for (const LigneCcam& l : m_ccam)
        if (parents.contains(l.positionH))
            actesCaches.insert(l.code);
    if (!actesCaches.isEmpty())
        r.nonRepris << QStringLiteral("%1 actes sont rangés dans un chapitre qui a aussi des "
                                      "sous-chapitres (avant le premier d'entre eux) : leur "
                                      "PositionH est celle du chapitre, que le navigateur de la "
                                      "hiérarchie n'affiche pas ; la recherche par mot clé et par "
                                      "site les trouve.")
                           .arg(nombre(static_cast<int>(actesCaches.size())));

    // Duplicated keys (act, activity, phase) are kept, as the spreadsheet lists them.
    std::set<std::array<QString, 3>> cles;
    int doublons = 0;
    for (const LigneCcam& l : m_ccam)
        if (!cles.insert({l.code, l.activite, l.phase}).second)
            ++doublons;

    if (m_tarifsNonPrisEnCharge > 0)
        r.nonRepris << QStringLiteral("Tarif « Non pris en charge » : %1 lignes (%2 actes) "
                                      "chargées avec un tarif vide (NULL).")
                           .arg(nombre(m_tarifsNonPrisEnCharge),
                                nombre(static_cast<int>(m_actesNonPrisEnCharge.size())));
    if (m_tarifsAbsents > 0)
        r.nonRepris << QStringLiteral("Lignes d'activité sans tarif : %1, chargées avec un tarif "
                                      "vide (NULL).")
                           .arg(nombre(m_tarifsAbsents));
    if (doublons > 0)
        r.nonRepris << QStringLiteral("Lignes CCAM de même acte, activité et phase : %1 (gardées "
                                      "telles que le tableur les donne).")
                           .arg(nombre(doublons));
    if (m_variantesModificateurs > 0)
        r.nonRepris << QStringLiteral("Table des modificateurs : %1 lignes de variantes (autre "
                                      "spécialité ou secteur) non reprises ; seule la première "
                                      "valeur secteur 1 de chaque code est gardée.")
                           .arg(nombre(m_variantesModificateurs));
    if (m_notesModificateurs > 0)
        r.nonRepris << QStringLiteral("Table des modificateurs : %1 notes propres à un "
                                      "modificateur non reprises (aucune table ne les reçoit).")
                           .arg(nombre(m_notesModificateurs));
    r.nonRepris << QStringLiteral("ICR et caractère classant : absents du tableur, colonnes "
                                  "laissées vides.");
    r.nonRepris << QStringLiteral("Libellé court : le tableur n'a qu'un libellé, repris dans "
                                  "Libelle_Court et Libelle_Complet.");

    r.regles << QStringLiteral("Modificateurs par activité : A, 3, 4, 5, 7, 8 (anesthésie) vont "
                               "à l'activité 4 ; O, U, P, S, F, M (urgence) à toutes les "
                               "activités de l'acte ; les autres aux activités autres que 4.");
    r.regles << QStringLiteral("Limites : le tableur donne une seule liste par acte ; un "
                               "modificateur d'anesthésie sur un acte sans activité 4 (%1 cas) "
                               "est donné à toutes ses activités, comme un autre modificateur "
                               "sur un acte qui n'a que l'activité 4 (%2 cas) ; la règle suit "
                               "les libellés de la table des modificateurs, pas une table "
                               "officielle acte par activité.")
                    .arg(nombre(m_modificateursAnesthesieSans4),
                         nombre(m_modificateursSansAutreActivite));
    r.regles << QStringLiteral("Gestes complémentaires : une liste « (CODE, …) » vaut pour les "
                               "activités de l'acte énumérées depuis la liste précédente (en "
                               "général toutes ses activités) ; l'activité du geste est sa "
                               "première activité dans cette version. Limite : une liste commune "
                               "à l'acte ne dit pas quel geste revient à quelle activité.");
    r.regles << QStringLiteral("Phases : une ligne « Phase N : … » donne le libellé de la phase "
                               "N ; la phase 0 n'a pas de libellé (NULL).");
    r.regles << QStringLiteral("Activités : libellé « Activité N » sur la ligne de l'acte, sinon "
                               "le texte de la ligne (« Anesthésie », « Activité 2 : … »).");
    r.regles << QStringLiteral("Notes : une ligne du tableur par note ; les sauts de ligne "
                               "deviennent « ¶ ».");
    r.regles << QStringLiteral("Libelle_sans_accent : libellé sans diacritiques (É → E, ç → c), "
                               "casse et ponctuation gardées ; Libelle_simplifie : minuscules "
                               "sans diacritiques, œ → oe, æ → ae, ponctuation et apostrophes "
                               "remplacées par un blanc, blancs multiples réduits.");
    r.regles << QStringLiteral("Incompatibilités : seules les notes qui disent « non associable "
                               "à » ou « non cumulable avec » suivis de codes d'actes de cette "
                               "version sont reprises ; les autres exclusions rédigées en clair "
                               "ne le sont pas.");
    r.regles << QStringLiteral("Exo TM : la valeur du tableur est gardée sans blancs (« 5 -7 » → "
                               "« 5-7 ») ; une combinaison reçoit dans Exo_TM le libellé de ses "
                               "codes joints par « ; ».");
}

void ImportCcam::analyserReferences() {
    const QDir dossier(m_dossierReferences);
    if (!dossier.exists())
        throw ErreurImport(QStringLiteral("Le dossier des tables de référence « %1 » est "
                                          "introuvable.")
                               .arg(m_dossierReferences));
    // Reads one table; returns its rows as maps column name -> value.
    const auto lire = [&](const QString& nomFichier, const QStringList& colonnes) {
        const QString chemin = dossier.filePath(nomFichier);
        const auto enr = LecteurCsv::lireFichier(chemin, ';');
        if (enr.empty())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est vide.").arg(nomFichier));
        QStringList entete;
        for (const QString& c : enr[0].champs)
            entete << c.trimmed().toLower();
        for (const QString& c : colonnes)
            if (!entete.contains(c))
                throw ErreurImport(QStringLiteral("Le fichier « %1 » n'a pas la colonne « %2 » "
                                                  "(ligne 1 : en-tête « %3 » attendu).")
                                       .arg(nomFichier, c, colonnes.join(QLatin1Char(';'))));
        std::vector<QHash<QString, QString>> lignes;
        for (size_t i = 1; i < enr.size(); ++i) {
            if (enr[i].champs.size() == 1 && enr[i].champs[0].trimmed().isEmpty())
                continue;
            if (enr[i].champs.size() != entete.size())
                throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, %3 "
                                                  "colonnes au lieu de %4.")
                                       .arg(nomFichier)
                                       .arg(enr[i].ligne)
                                       .arg(enr[i].champs.size())
                                       .arg(entete.size()));
            QHash<QString, QString> l;
            for (int c = 0; c < entete.size(); ++c)
                l.insert(entete[c], enr[i].champs[c]);
            if (l.value(QStringLiteral("code")).trimmed().isEmpty())
                throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, code "
                                                  "vide.")
                                       .arg(nomFichier)
                                       .arg(enr[i].ligne));
            lignes.push_back(l);
        }
        return lignes;
    };
    const QString code = QStringLiteral("code");
    const QString libelle = QStringLiteral("libelle");

    for (const auto& l : lire(QStringLiteral("systemes.csv"), {code, libelle}))
        m_systemes.emplace_back(l[code].trimmed(), l[libelle]);
    for (const auto& l : lire(QStringLiteral("organes.csv"), {code, libelle, "systeme"}))
        m_organes.push_back({l[code].trimmed(), l[libelle], l["systeme"].trimmed()});

    // Exoneration codes, and the combinations the spreadsheet uses ("1-7").
    QHash<QString, QString> exo;
    for (const auto& l : lire(QStringLiteral("exo_tm.csv"), {code, libelle})) {
        m_exoTm.emplace_back(l[code].trimmed(), l[libelle]);
        exo.insert(l[code].trimmed(), l[libelle]);
    }
    QStringList combinaisons(m_exoUtilises.begin(), m_exoUtilises.end());
    combinaisons.sort();
    QStringList sansLibelle;
    for (const QString& c : combinaisons) {
        if (exo.contains(c))
            continue;
        QStringList libelles;
        bool complet = true;
        for (const QString& partie : c.split(QLatin1Char('-'))) {
            complet = complet && exo.contains(partie);
            libelles << exo.value(partie);
        }
        if (complet)
            m_exoTm.emplace_back(c, libelles.join(QStringLiteral(" ; ")));
        else
            sansLibelle << c;
    }
    if (!sansLibelle.isEmpty())
        m_rapport.nonRepris << QStringLiteral("Codes Exo TM du tableur absents de exo_tm.csv "
                                              "(sans libellé) : %1.")
                                   .arg(sansLibelle.join(QStringLiteral(", ")));

    QSet<QString> regroupementsConnus;
    for (const auto& l : lire(QStringLiteral("regroupements.csv"), {code, libelle})) {
        m_regroupements.emplace_back(l[code].trimmed(), l[libelle]);
        regroupementsConnus.insert(l[code].trimmed());
    }
    QSet<QString> regroupementsInconnus;
    for (const LigneCcam& l : m_ccam)
        if (!l.regroupement.isEmpty() && !regroupementsConnus.contains(l.regroupement))
            regroupementsInconnus.insert(l.regroupement);
    if (!regroupementsInconnus.isEmpty()) {
        QStringList l(regroupementsInconnus.begin(), regroupementsInconnus.end());
        l.sort();
        m_rapport.nonRepris << QStringLiteral("Regroupements du tableur absents de "
                                              "regroupements.csv (sans libellé) : %1.")
                                   .arg(l.join(QStringLiteral(", ")));
    }

    // Documentary extensions: attached to the acts the file names, or, when
    // it names none, to every act that has its activity.
    std::map<QString, QStringList> actesParActivite;
    QSet<QString> codesActes;
    for (const LigneCcam& l : m_ccam) {
        codesActes.insert(l.code);
        QStringList& liste = actesParActivite[l.activite];
        if (liste.isEmpty() || liste.back() != l.code)
            liste << l.code;
    }
    static const QRegularExpression acteActivite(
        QStringLiteral("([A-Z]{4}[0-9]{3})(?:\\s*\\(activit[ée]\\s*([0-9])\\))?"));
    std::set<std::tuple<int, QString, QString>> vus;
    QStringList absents;
    int id = 0;
    for (const auto& l : lire(QStringLiteral("extensions_documentaires.csv"),
                              {code, libelle, "activite", "s_applique_a"})) {
        ++id;
        m_extensions.push_back({id, l[code].trimmed(), l[libelle]});
        const QString activite = l["activite"].trimmed();
        auto it = acteActivite.globalMatch(l["s_applique_a"]);
        bool nomme = false;
        while (it.hasNext()) {
            const auto m = it.next();
            nomme = true;
            const QString acte = m.captured(1);
            const QString act = m.captured(2).isEmpty() ? activite : m.captured(2);
            if (!codesActes.contains(acte)) {
                if (!absents.contains(acte))
                    absents << acte;
                continue;
            }
            if (vus.emplace(id, acte, act).second)
                m_actesExtensions.emplace_back(id, acte, act);
        }
        if (!nomme && !activite.isEmpty()) {
            for (const QString& acte : actesParActivite[activite])
                if (vus.emplace(id, acte, activite).second)
                    m_actesExtensions.emplace_back(id, acte, activite);
        }
    }
    if (!absents.isEmpty())
        m_rapport.nonRepris << QStringLiteral("Extensions documentaires rattachées à des actes "
                                              "absents de cette version, non reprises : %1.")
                                   .arg(absents.join(QStringLiteral(", ")));
    m_rapport.regles << QStringLiteral("Extensions documentaires : rattachées aux actes que "
                                       "nomme extensions_documentaires.csv, sinon à tout acte "
                                       "ayant l'activité indiquée (types d'anesthésie 1 à 6 → "
                                       "activité 4 ; libellés marqués non officiels dans la "
                                       "source).");

    m_rapport.systemes = static_cast<int>(m_systemes.size());
    m_rapport.organes = static_cast<int>(m_organes.size());
    m_rapport.extensions = static_cast<int>(m_extensions.size());
    m_rapport.actesExtensions = static_cast<int>(m_actesExtensions.size());
    m_rapport.exoTm = static_cast<int>(m_exoTm.size());
    m_rapport.regroupements = static_cast<int>(m_regroupements.size());
}

// ---------------------------------------------------------------- writing

namespace {

// The classification tables, replaced by a load.
const QStringList& tablesClassification() {
    static const QStringList t{
        QStringLiteral("CCAM"),
        QStringLiteral("Systèmes"),
        QStringLiteral("ORGANES"),
        QStringLiteral("Hierarchie1"),
        QStringLiteral("Hierarchie2"),
        QStringLiteral("Hierarchie3"),
        QStringLiteral("Hierarchie4"),
        QStringLiteral("Actes_Procedures"),
        QStringLiteral("Actes_Associes"),
        QStringLiteral("Actes_Incompatibles"),
        QStringLiteral("Modificateurs"),
        QStringLiteral("Acte_Modificateur"),
        QStringLiteral("Notes_Utilisation_Actes"),
        QStringLiteral("Notes_Hierarchie"),
        QStringLiteral("Extension_documentaire"),
        QStringLiteral("Actes_extension_documentaire"),
        QStringLiteral("Exo_TM"),
        QStringLiteral("Regroupement"),
    };
    return t;
}

// Tables that come from the reference folder only.
const QStringList& tablesReferences() {
    static const QStringList t{QStringLiteral("Systèmes"),
                               QStringLiteral("ORGANES"),
                               QStringLiteral("Extension_documentaire"),
                               QStringLiteral("Actes_extension_documentaire"),
                               QStringLiteral("Exo_TM"),
                               QStringLiteral("Regroupement")};
    return t;
}

QVariant texteOuNull(const QString& t) {
    return t.isEmpty() ? QVariant() : QVariant(t);
}

// Checks an existing target before it is opened for writing (opening it so
// would already change its header): a SQLite file must hold every table a
// load writes or reads, and the file and its folder must be writable. Files
// that are not SQLite are left to Data, which refuses them without opening.
void verifierCibleExistante(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly) || !f.read(16).startsWith("SQLite format 3"))
        return;
    f.close();
    // Checked first: a database in a folder that cannot be written to may not
    // even be readable here (its journal files cannot be created).
    const QFileInfo info(chemin);
    if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable())
        throw ErreurImport(QStringLiteral("La base « %1 » ne peut pas être modifiée (fichier ou "
                                          "dossier en lecture seule).")
                               .arg(chemin));
    sqlite3* db = nullptr;
    QStringList manquantes = tablesClassification();
    manquantes << QStringLiteral("Acte_Thesaurus");
    if (sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &st,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                manquantes.removeAll(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    if (!manquantes.isEmpty())
        throw ErreurImport(QStringLiteral("La base « %1 » n'est pas une base Tarvenor : la table "
                                          "« %2 » est absente.")
                               .arg(chemin, manquantes.first()));
}

void supprimerFichierBase(const QString& chemin) {
    Data::fermerConnexions();
    for (const QString& suffixe :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(chemin + suffixe);
}

} // namespace

void ImportCcam::ecrire(Connexion& c) {
    const bool references = !m_dossierReferences.isEmpty();
    for (const QString& t : tablesClassification()) {
        if (!references && tablesReferences().contains(t))
            continue;
        c.Execute(QStringLiteral("DELETE FROM \"%1\"").arg(t));
    }

    {
        InstructionPreparee ins(
            c, QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Libelle_Activite, Phase, "
                              "Libelle_Phase, Tarif, ICR, Libelle_Court, Libelle_Complet, "
                              "Libelle_sans_accent, Libelle_simplifie, PositionH, "
                              "Caractere_classant, Exo_TM, Regroupement) VALUES "
                              "(?, ?, ?, ?, ?, ?, NULL, ?, ?, ?, ?, ?, NULL, ?, ?)"));
        QString dernier;
        QString sansAccent, simplifie;
        for (const LigneCcam& l : m_ccam) {
            if (l.libelle != dernier) {
                dernier = l.libelle;
                sansAccent = replierAccents(l.libelle);
                simplifie = simplifierLibelle(l.libelle);
            }
            ins.lier(1, l.code);
            ins.lier(2, l.activite);
            ins.lier(3, l.libelleActivite);
            ins.lier(4, l.phase);
            ins.lier(5, l.libellePhase);
            ins.lier(6, l.tarif);
            ins.lier(7, l.libelle);
            ins.lier(8, l.libelle);
            ins.lier(9, sansAccent);
            ins.lier(10, simplifie);
            ins.lier(11, l.positionH);
            ins.lier(12, texteOuNull(l.exoTm));
            ins.lier(13, texteOuNull(l.regroupement));
            ins.executer();
        }
    }
    const auto inserer = [&c](const QString& sql, const auto& lignes, const auto& lierLigne) {
        InstructionPreparee ins(c, sql);
        for (const auto& l : lignes) {
            lierLigne(ins, l);
            ins.executer();
        }
    };
    const auto lierPaire = [](InstructionPreparee& ins, const Paire& p) {
        ins.lier(1, p.first);
        ins.lier(2, p.second);
    };
    for (int n = 0; n < 4; ++n)
        inserer(QStringLiteral("INSERT INTO Hierarchie%1 (Code, Libelle) VALUES (?, ?)").arg(n + 1),
                m_hierarchie[n], lierPaire);
    inserer(QStringLiteral("INSERT INTO Notes_Hierarchie (Code, Note_Hierarchie) VALUES (?, ?)"),
            m_notesHierarchie, lierPaire);
    inserer(QStringLiteral("INSERT INTO Notes_Utilisation_Actes (AMCODE, Note_Utilisation) "
                           "VALUES (?, ?)"),
            m_notesActes, lierPaire);
    inserer(QStringLiteral("INSERT INTO Modificateurs (Code, Libelle, Tarif, Pourcentage) VALUES "
                           "(?, ?, ?, ?)"),
            m_modificateurs, [](InstructionPreparee& ins, const Modificateur& m) {
                ins.lier(1, m.code);
                ins.lier(2, m.libelle);
                ins.lier(3, m.tarif);
                ins.lier(4, m.pourcentage);
            });
    const auto lierTriple = [](InstructionPreparee& ins, const std::array<QString, 3>& t) {
        for (int i = 0; i < 3; ++i)
            ins.lier(i + 1, t[i]);
    };
    inserer(QStringLiteral("INSERT INTO Acte_Modificateur (AMCODE, Activite, Modificateur) VALUES "
                           "(?, ?, ?)"),
            m_acteModificateur, lierTriple);
    inserer(QStringLiteral("INSERT INTO Actes_Associes (Acte1, activite1, Acte2, Activite2) "
                           "VALUES (?, ?, ?, ?)"),
            m_actesAssocies, [](InstructionPreparee& ins, const std::array<QString, 4>& t) {
                for (int i = 0; i < 4; ++i)
                    ins.lier(i + 1, t[i]);
            });
    inserer(QStringLiteral("INSERT INTO Actes_Incompatibles (acte1, acte2) VALUES (?, ?)"),
            m_incompatibles, lierPaire);
    if (references) {
        inserer(QStringLiteral("INSERT INTO \"Systèmes\" (SYCODE, SYLIBELLE) VALUES (?, ?)"),
                m_systemes, lierPaire);
        inserer(QStringLiteral("INSERT INTO ORGANES (ORCODE, ORLIBELLE, ORSYSTEME) VALUES "
                               "(?, ?, ?)"),
                m_organes, lierTriple);
        inserer(QStringLiteral("INSERT INTO Extension_documentaire (Id_extension, Code, Libelle) "
                               "VALUES (?, ?, ?)"),
                m_extensions, [](InstructionPreparee& ins, const Extension& x) {
                    ins.lier(1, x.id);
                    ins.lier(2, x.code);
                    ins.lier(3, x.libelle);
                });
        inserer(QStringLiteral("INSERT INTO Actes_extension_documentaire (Id_extension, AMCODE, "
                               "Activite) VALUES (?, ?, ?)"),
                m_actesExtensions,
                [](InstructionPreparee& ins, const std::tuple<int, QString, QString>& x) {
                    ins.lier(1, std::get<0>(x));
                    ins.lier(2, std::get<1>(x));
                    ins.lier(3, std::get<2>(x));
                });
        inserer(QStringLiteral("INSERT INTO Exo_TM (Code, Libelle) VALUES (?, ?)"), m_exoTm,
                lierPaire);
        inserer(QStringLiteral("INSERT INTO Regroupement (Code, Libelle) VALUES (?, ?)"),
                m_regroupements, lierPaire);
    }

    RecordsetPtr absents =
        c.Ouvrir(QStringLiteral("SELECT DISTINCT AT_Acte FROM Acte_Thesaurus WHERE AT_Acte NOT IN "
                                "(SELECT AMCODE FROM CCAM) ORDER BY AT_Acte"));
    m_rapport.actesThesaurusAbsents.clear();
    for (absents->MoveFirst(); !absents->isEOF(); absents->MoveNext())
        m_rapport.actesThesaurusAbsents << absents->Fields(0).toString();
}

namespace {
QString etatBase(bool creee) {
    return creee ? QStringLiteral("La base créée pour ce chargement a été supprimée.")
                 : QStringLiteral("La base n'a pas été modifiée.");
}
} // namespace

const RapportImport& ImportCcam::charger(const QString& cheminBase) {
    QElapsedTimer chrono;
    chrono.start();
    analyser();

    const QFileInfo info(cheminBase);
    bool creee = false;
    if (cheminBase.trimmed().isEmpty())
        throw ErreurImport(QStringLiteral("Aucune base de données n'est indiquée."));
    if (info.exists()) {
        try {
            verifierCibleExistante(cheminBase);
        } catch (const ErreurImport& e) {
            throw ErreurImport(e.message() + QLatin1Char('\n') + etatBase(false));
        }
    } else {
        const QFileInfo dossier(info.absolutePath());
        if (!dossier.isDir())
            throw ErreurImport(QStringLiteral("Impossible de créer la base « %1 » : le dossier "
                                              "« %2 » n'existe pas.")
                                   .arg(cheminBase, info.absolutePath()));
        try {
            Data::creerBase(cheminBase);
        } catch (const DataError& e) {
            supprimerFichierBase(cheminBase);
            throw ErreurImport(QStringLiteral("Impossible de créer la base « %1 » : %2")
                                   .arg(cheminBase, e.description()));
        }
        creee = true;
    }
    try {
        ConnexionPtr c = Data(cheminBase).CreeConnexion();
        if (c->lectureSeule())
            throw ErreurImport(QStringLiteral("La base « %1 » ne peut pas être modifiée (fichier "
                                              "ou dossier en lecture seule).")
                                   .arg(cheminBase));
        Transaction t(*c);
        ecrire(*c);
        t.valider();
    } catch (const DataError& e) {
        if (creee)
            supprimerFichierBase(cheminBase);
        throw ErreurImport(QStringLiteral("Le chargement dans la base « %1 » a échoué : %2\n%3")
                               .arg(cheminBase, e.description(), etatBase(creee)));
    } catch (const ErreurImport& e) {
        if (creee)
            supprimerFichierBase(cheminBase);
        throw ErreurImport(e.message() + QLatin1Char('\n') + etatBase(creee));
    }
    m_rapport.baseCreee = creee;
    m_rapport.secondes = chrono.elapsed() / 1000.0;
    return m_rapport;
}
