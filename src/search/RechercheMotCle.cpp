#include "RechercheMotCle.h"

#include "Data.h"
#include "IndexLibelles.h"
#include "PliageAccents.h"

#include <QRegularExpression>

namespace RechercheMotCle {

QString plierAccents(const QString& texte) {
    static const struct {
        QChar accent;
        QChar simple;
    } table[] = {
        {QChar(0x00E9), u'e'}, // é
        {QChar(0x00E8), u'e'}, // è
        {QChar(0x00EA), u'e'}, // ê
        {QChar(0x00E0), u'a'}, // à
        {QChar(0x00E2), u'a'}, // â
        {QChar(0x00EF), u'i'}, // ï
        {QChar(0x00EE), u'i'}, // î
        {QChar(0x00F4), u'o'}, // ô
        {QChar(0x00F6), u'o'}, // ö
        {QChar(0x00FB), u'u'}, // û
        {QChar(0x00FC), u'u'}, // ü
    };
    QString resultat = texte;
    for (const auto& r : table)
        resultat.replace(r.accent, r.simple, Qt::CaseSensitive);
    // The search forms of the labels carry no accent at all: a capital or
    // another accented letter (É, Ç, ù, ë ...) left in a keyword could never
    // match, so it is folded as well.
    return replierAccents(resultat);
}

QStringList decouperMots(const QString& texte) {
    // Only the blank separates words; after each cut the rest is trimmed of
    // blanks alone, so that a tab or another space character stays inside a word.
    auto sansBlancs = [](const QString& s) {
        qsizetype debut = 0;
        qsizetype fin = s.size();
        while (debut < fin && s.at(debut) == u' ')
            ++debut;
        while (fin > debut && s.at(fin - 1) == u' ')
            --fin;
        return s.mid(debut, fin - debut);
    };
    QStringList mots;
    QString reste = sansBlancs(texte);
    qsizetype blanc;
    while ((blanc = reste.indexOf(u' ')) >= 0) {
        mots << reste.left(blanc);
        reste = sansBlancs(reste.mid(blanc + 1));
    }
    if (!reste.isEmpty())
        mots << reste;
    return mots;
}

QStringList motsCles(const QString& saisie) {
    return decouperMots(plierAccents(doublerQuotes(saisie.trimmed())));
}

namespace {

const QString& debutSql() {
    static const QString debut =
        QStringLiteral("select distinct AMCODE,Libelle_Court,cstr(Libelle_Complet)as "
                       "Libelle_Complet from CCAM where");
    return debut;
}

// A piece the trigram index can look for: three characters or more, printable
// ASCII only. The search's LIKE compares other characters after Unicode case
// folding, which the index does not reproduce exactly.
bool morceauIndexable(const QString& morceau) {
    if (morceau.size() < 3)
        return false;
    for (QChar c : morceau)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f)
            return false;
    return true;
}

// The label conditions of the search, one per word, ended by the order.
// With valeurs, each pattern is a "?" and its text is added to valeurs (the
// words come with their apostrophes doubled for the SQL text: bound, they
// have them single).
QString conditionsLibelle(const QStringList& mots, QVariantList* valeurs) {
    QString sql;
    for (const QString& mot : mots) {
        if (valeurs) {
            const QString motif =
                u'%' + QString(mot).replace(QStringLiteral("''"), QStringLiteral("'")) + u'%';
            *valeurs << motif << motif;
            sql += QStringLiteral(" (Libelle_sans_accent like ? OR Libelle_simplifie like ?) and");
        } else {
            sql += QStringLiteral(" (Libelle_sans_accent like '%") + mot +
                   QStringLiteral("%' OR Libelle_simplifie like '%") + mot +
                   QStringLiteral("%') and");
        }
    }
    sql.chop(3);
    return sql + QStringLiteral("ORDER BY CCAM.AMCODE");
}

} // namespace

QString requeteIndex(const QStringList& mots) {
    static const QRegularExpression jokers(QStringLiteral("[%_]"));
    QStringList phrases;
    for (const QString& mot : mots) {
        // The words come with their apostrophes doubled for the SQL text.
        const QString texte = QString(mot).replace(QStringLiteral("''"), QStringLiteral("'"));
        for (const QString& morceau : texte.split(jokers, Qt::SkipEmptyParts)) {
            if (!morceauIndexable(morceau))
                continue;
            const QString phrase =
                u'"' + QString(morceau).replace(u'"', QStringLiteral("\"\"")) + u'"';
            if (!phrases.contains(phrase))
                phrases << phrase;
        }
    }
    return phrases.join(QStringLiteral(" AND "));
}

RechercheParametree rechercheIndexeeParametree(const QStringList& mots, bool parCode) {
    const QString requete = parCode ? QString() : requeteIndex(mots);
    if (mots.isEmpty() || requete.isEmpty())
        return {};
    // The index keeps one row per act code; a row without code (none is ever
    // loaded) is left to the conditions alone.
    RechercheParametree r;
    r.valeurs << requete;
    r.sql = debutSql() + QStringLiteral(" (AMCODE IN (SELECT AMCODE FROM CCAM_Recherche WHERE "
                                        "CCAM_Recherche MATCH ?) OR AMCODE IS NULL) and");
    r.sql += conditionsLibelle(mots, &r.valeurs);
    return r;
}

QString sqlRechercheIndexee(const QStringList& mots, bool parCode) {
    const RechercheParametree r = rechercheIndexeeParametree(mots, parCode);
    return r.sql.isEmpty() ? sqlRecherche(mots, parCode) : sqlAvecValeurs(r.sql, r.valeurs);
}

QString sqlRechercheSur(Connexion& connexion, const QStringList& mots, bool parCode) {
    return IndexLibelles::present(connexion) ? sqlRechercheIndexee(mots, parCode)
                                             : sqlRecherche(mots, parCode);
}

RecordsetPtr executerRecherche(const QStringList& mots, bool parCode) {
    Data data;
    const ConnexionPtr c = data.CreeConnexion();
    // Words apart from the text: the statement of the last search with as
    // many words is run again.
    const RechercheParametree r = rechercheIndexeeParametree(mots, parCode);
    if (!r.sql.isEmpty()) {
        // Whether the file has the index, known from the connection's last
        // read; kept when the search read the file in the same state.
        // A failure in a state of the file that changed since (an index
        // gone) is not the search's: it is asked again below.
        if (IndexLibelles::presentSansLecture(*c) == true) {
            try {
                RecordsetPtr rs = Data::CreeRecordset(*c, r.sql, r.valeurs);
                if (IndexLibelles::presentSansLecture(*c) == true)
                    return rs;
            } catch (const DataError&) {
                if (IndexLibelles::presentSansLecture(*c) == true)
                    throw;
            }
        }
        if (IndexLibelles::present(*c))
            return Data::CreeRecordset(*c, r.sql, r.valeurs);
    }
    return data.CreeRecordset(sqlRecherche(mots, parCode));
}

bool libelleContient(const QString& mot) {
    Data data;
    QString sql = sqlRechercheSur(*data.CreeConnexion(), {mot}, false);
    // The search's own conditions, asked for one row only.
    sql.replace(0, debutSql().size(), QStringLiteral("select AMCODE from CCAM where"));
    sql.replace(QStringLiteral("ORDER BY CCAM.AMCODE"), QStringLiteral("limit 1"));
    return data.CreeRecordset(sql)->RecordCount() > 0;
}

RecordsetPtr rechercher(const QStringList& mots, bool parCode) {
    return operationDepot(RecordsetPtr(), [&] { return executerRecherche(mots, parCode); });
}

bool peutCommencerUnCode(const QString& mot) {
    if (mot.contains(u'%'))
        return true;
    constexpr int lettresDuCode = 4;
    constexpr int longueurDuCode = 7;
    if (mot.size() > longueurDuCode)
        return false;
    for (qsizetype i = 0; i < mot.size(); ++i) {
        const char16_t c = mot.at(i).unicode();
        const bool lettre = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        const bool chiffre = c >= u'0' && c <= u'9';
        if (c != u'_' && !(i < lettresDuCode ? lettre : chiffre))
            return false;
    }
    return true;
}

QString sqlRecherche(const QStringList& mots, bool parCode) {
    if (mots.isEmpty())
        return QString();
    QString sql = debutSql();
    if (parCode) {
        for (const QString& mot : mots)
            sql += QStringLiteral(" AMCODE like '") + mot + QStringLiteral("%' and");
        sql += QStringLiteral(" Libelle_Complet <> null ORDER BY CCAM.AMCODE");
    } else {
        sql += conditionsLibelle(mots, nullptr);
    }
    return sql;
}

} // namespace RechercheMotCle
