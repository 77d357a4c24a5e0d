#include "Suggestion.h"

#include "Data.h"
#include "IndexLibelles.h"
#include "OrdreFrancais.h"
#include "RechercheMotCle.h"

#include <QMutex>
#include <algorithm>
#include <memory>
#include <vector>

namespace RechercheMotCle {

namespace {

// Beyond this many words (a pasted paragraph) no suggestion is looked for.
constexpr int motsAuPlus = 12;

// A word of the vocabulary, as parts of the vocabulary's text.
struct MotVocabulaire {
    QStringView mot; // search form: lower case, no accent
    QStringView forme;
    int frequence = 0;
};

// The vocabulary in memory, by length of the search form.
struct Vocabulaire {
    QString etat;
    QString texte; // IndexLibelles::texteVocabulaire, which the words point into
    std::vector<std::vector<MotVocabulaire>> parLongueur;
};

// Read once per state of the file (IndexLibelles::etatFichier): a new load
// of the classification, here or by another program, reads it again. One
// text read in one go, cut in place: no copy of its words.
std::shared_ptr<const Vocabulaire> vocabulaire() {
    static QMutex verrou;
    static std::shared_ptr<const Vocabulaire> connu;
    ConnexionPtr c = Data().CreeConnexion();
    const QString etat = IndexLibelles::etatFichier(*c);
    const QMutexLocker garde(&verrou);
    if (connu && connu->etat == etat)
        return connu;
    auto v = std::make_shared<Vocabulaire>();
    v->etat = etat;
    v->texte = IndexLibelles::texteVocabulaire(*c);
    const QStringView texte(v->texte);
    for (qsizetype debut = 0; debut < texte.size();) {
        qsizetype fin = texte.indexOf(u'\n', debut);
        if (fin < 0)
            fin = texte.size();
        const QStringView ligne = texte.sliced(debut, fin - debut);
        debut = fin + 1;
        const qsizetype t1 = ligne.indexOf(u'\t');
        const qsizetype t2 = t1 < 0 ? -1 : ligne.indexOf(u'\t', t1 + 1);
        if (t2 < 0)
            continue;
        MotVocabulaire m{ligne.first(t1), ligne.sliced(t1 + 1, t2 - t1 - 1),
                         ligne.sliced(t2 + 1).toInt()};
        const auto n = static_cast<size_t>(m.mot.size());
        if (v->parLongueur.size() <= n)
            v->parLongueur.resize(n + 1);
        v->parLongueur[n].push_back(m);
    }
    connu = v;
    return connu;
}

// A word worth correcting: letters only once folded, three or more.
bool corrigeable(const QString& forme) {
    if (forme.size() < 3)
        return false;
    return std::all_of(forme.cbegin(), forme.cend(), [](QChar c) { return c.isLetter(); });
}

// The closest vocabulary word, or nullptr. One or two edits allowed, one
// only for words of three or four letters (two would reach half the
// vocabulary).
const MotVocabulaire* plusProche(const Vocabulaire& v, const QString& forme) {
    const int plafond = forme.size() >= 5 ? 2 : 1;
    const MotVocabulaire* meilleur = nullptr;
    int meilleureDistance = plafond + 1;
    const qsizetype n = forme.size();
    for (qsizetype l = std::max<qsizetype>(1, n - plafond); l <= n + plafond; ++l) {
        if (static_cast<size_t>(l) >= v.parLongueur.size())
            break;
        for (const MotVocabulaire& m : v.parLongueur[static_cast<size_t>(l)]) {
            const int d = distanceEdition(forme, m.mot, std::min(plafond, meilleureDistance));
            if (d == 0 || d > plafond)
                continue;
            const bool mieux = !meilleur || d < meilleureDistance ||
                               (d == meilleureDistance &&
                                (m.frequence > meilleur->frequence ||
                                 (m.frequence == meilleur->frequence &&
                                  avantFrancais(m.forme.toString(), meilleur->forme.toString()))));
            if (mieux) {
                meilleur = &m;
                meilleureDistance = d;
            }
        }
    }
    return meilleur;
}

} // namespace

int distanceEdition(QStringView a, QStringView b, int plafond) {
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (std::abs(n - m) > plafond)
        return plafond + 1;
    // Optimal string alignment, three rows; stops as soon as a whole row
    // exceeds the ceiling.
    std::vector<int> avant(static_cast<size_t>(m + 1)), precedente(static_cast<size_t>(m + 1)),
        courante(static_cast<size_t>(m + 1));
    for (qsizetype j = 0; j <= m; ++j)
        precedente[static_cast<size_t>(j)] = static_cast<int>(j);
    for (qsizetype i = 1; i <= n; ++i) {
        courante[0] = static_cast<int>(i);
        int minimum = courante[0];
        for (qsizetype j = 1; j <= m; ++j) {
            const auto uj = static_cast<size_t>(j);
            const int cout = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            int d = std::min({precedente[uj] + 1, courante[uj - 1] + 1, precedente[uj - 1] + cout});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                d = std::min(d, avant[uj - 2] + 1);
            courante[uj] = d;
            minimum = std::min(minimum, d);
        }
        if (minimum > plafond)
            return plafond + 1;
        std::swap(avant, precedente);
        std::swap(precedente, courante);
    }
    return std::min(precedente[static_cast<size_t>(m)], plafond + 1);
}

QString saisieCorrigee(const QString& saisie) {
    try {
        const QStringList tapes = decouperMots(saisie.trimmed());
        const QStringList mots = motsCles(saisie);
        if (mots.isEmpty() || mots.size() != tapes.size() || mots.size() > motsAuPlus)
            return {};
        // Words that could be corrected first: when none needs it, the
        // others (short words, wildcards) are not looked up at all.
        std::shared_ptr<const Vocabulaire> v;
        QStringList corriges = tapes;
        QList<qsizetype> autres;
        bool change = false;
        for (qsizetype i = 0; i < mots.size(); ++i) {
            const QString forme = IndexLibelles::formeRecherche(tapes.at(i));
            if (!corrigeable(forme) || tapes.at(i).contains(u'%') || tapes.at(i).contains(u'_')) {
                autres << i;
                continue;
            }
            if (libelleContient(mots.at(i)))
                continue;
            if (!v)
                v = vocabulaire();
            const MotVocabulaire* proche = plusProche(*v, forme);
            if (!proche)
                return {};
            corriges[i] = proche->forme.toString();
            change = true;
        }
        if (!change)
            return {};
        // A word that cannot be corrected and matches nothing would still
        // leave the corrected search empty.
        for (qsizetype i : autres)
            if (!libelleContient(mots.at(i)))
                return {};
        return change ? corriges.join(u' ') : QString();
    } catch (...) {
        return {};
    }
}

} // namespace RechercheMotCle
