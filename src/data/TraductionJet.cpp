#include "TraductionJet.h"

#include <QRegularExpression>
#include <QStringList>
#include <atomic>

namespace {

std::atomic<int> formesSuspendues{0};

// Characters that start a Jet idiom outside literals; a text holding none of
// them (and no UNION) needs no translation, the common case of the
// repositories' INSERT and SELECT statements.
bool peutContenirIdiome(QStringView code) {
    for (const QChar c : code) {
        switch (c.unicode()) {
        case '<':
        case '*':
        case '#':
        case '@':
            return true;
        default:
            break;
        }
    }
    return false;
}

bool contientUnion(QStringView code) {
    return code.contains(QLatin1String("union"), Qt::CaseInsensitive);
}

bool contientOrderBy(QStringView code) {
    return code.contains(QLatin1String("order"), Qt::CaseInsensitive);
}

// Label columns named in an ORDER BY get the French order; a column already
// given a collation is left as it is.
QString ordonnerLibelles(const QString& code, bool dejaDansOrderBy, Dialecte dialecte) {
    static const QRegularExpression orderBy(QStringLiteral("\\bORDER\\s+BY\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression libelle(
        QStringLiteral("\\b((?:[A-Za-z_][A-Za-z0-9_]*\\.)?(?:CT_LIB|UM_LIB|UM_Code|MED_LIB|"
                       "MED_CODE|UTI_LOGIN))\\b(?!\\s+COLLATE\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    qsizetype debut = 0;
    if (!dejaDansOrderBy) {
        const auto m = orderBy.match(code);
        if (!m.hasMatch())
            return code;
        debut = m.capturedEnd();
    }
    QString clause = code.mid(debut);
    if (dialecte == Dialecte::Postgres) {
        // The server sorts by the folded key, then by the exact text (the
        // column's binary collation), as comparerFrancais does.
        static const QRegularExpression libelleSens(libelle.pattern() +
                                                        QStringLiteral("(\\s+(?:ASC|DESC)\\b)?"),
                                                    QRegularExpression::CaseInsensitiveOption);
        clause.replace(libelleSens, QLatin1String(nomFonctionOrdreFrancais) +
                                        QStringLiteral("(\\1)\\2, \\1\\2"));
    } else {
        clause.replace(libelle,
                       QStringLiteral("\\1 COLLATE ") + QLatin1String(nomCollationFrancaise));
    }
    return code.left(debut) + clause;
}

// ASCII letters in lower case, as the server folds names that are not quoted.
QString nomReplie(QStringView nom) {
    QString r = nom.toString();
    for (QChar& c : r)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return r;
}

// The server's forms of what only its dialect needs (code outside quotes).
QString traduireCodePostgres(QString code) {
    static const QRegularExpression mid(QStringLiteral("\\bMid\\s*\\("),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression like(QStringLiteral("\\bLIKE\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    // A name holding a letter beyond ASCII (Systèmes).
    static const QRegularExpression nomAccentue(
        QStringLiteral("(?<![\\w$])\\w*(?=\\w)[^\\x{0}-\\x{7f}]\\w*"),
        QRegularExpression::UseUnicodePropertiesOption);
    code.replace(mid, QStringLiteral("substr("));
    code.replace(like, QStringLiteral("ILIKE"));
    bool ascii = true;
    for (const QChar c : code)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        QString r;
        qsizetype dernier = 0;
        auto it = nomAccentue.globalMatch(code);
        while (it.hasNext()) {
            const auto m = it.next();
            r += QStringView(code).mid(dernier, m.capturedStart() - dernier);
            r += QLatin1Char('"') + nomReplie(m.capturedView()) + QLatin1Char('"');
            dernier = m.capturedEnd();
        }
        r += QStringView(code).mid(dernier);
        code = std::move(r);
    }
    return code;
}

QString traduireCode(QString code, bool apresUnion, Dialecte dialecte) {
    static const QRegularExpression diffNull(QStringLiteral("\\s*<>\\s*null\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression deleteEtoile(
        QStringLiteral("\\bDELETE\\s+(?:[A-Za-z_][A-Za-z0-9_]*\\.)?\\*\\s+FROM\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dateJet(QStringLiteral("#(\\d{1,2})/(\\d{1,2})/(\\d{4})#"));
    static const QRegularExpression identite(QStringLiteral("\\bSELECT\\s+@@IDENTITY\\b"),
                                             QRegularExpression::CaseInsensitiveOption);

    if (code.contains(QLatin1Char('<')))
        code.replace(diffNull, QStringLiteral(" IS NOT NULL"));
    if (code.contains(QLatin1Char('*')))
        code.replace(deleteEtoile, QStringLiteral("DELETE FROM"));
    if (code.contains(QLatin1Char('@')))
        code.replace(identite, dialecte == Dialecte::Postgres
                                   ? QStringLiteral("SELECT lastval()")
                                   : QStringLiteral("SELECT last_insert_rowid()"));

    QString resultat;
    if (code.contains(QLatin1Char('#'))) {
        qsizetype dernier = 0;
        auto it = dateJet.globalMatch(code);
        while (it.hasNext()) {
            auto m = it.next();
            resultat += QStringView(code).mid(dernier, m.capturedStart() - dernier);
            if (dialecte == Dialecte::Postgres)
                resultat += QStringLiteral("DATE ");
            resultat += QStringLiteral("'%1-%2-%3'")
                            .arg(m.captured(3))
                            .arg(m.captured(1).toInt(), 2, 10, QLatin1Char('0'))
                            .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'));
            dernier = m.capturedEnd();
        }
        resultat += QStringView(code).mid(dernier);
    } else {
        resultat = std::move(code);
    }

    if (apresUnion && contientOrderBy(resultat)) {
        // SQLite wants the bare column names of the result in the ORDER BY
        // of a compound query.
        static const QRegularExpression orderBy(QStringLiteral("\\bORDER\\s+BY\\b(.*)$"),
                                                QRegularExpression::CaseInsensitiveOption |
                                                    QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression qualifie(
            QStringLiteral("\\b[A-Za-z_][A-Za-z0-9_]*\\.([A-Za-z_][A-Za-z0-9_]*)"));
        auto m = orderBy.match(resultat);
        if (m.hasMatch()) {
            QString clause = m.captured(1);
            clause.replace(qualifie, QStringLiteral("\\1"));
            resultat = resultat.left(m.capturedStart(1)) + clause;
        }
    }
    return resultat;
}

// End (one past the closing quote) of the quoted piece starting at debut,
// where the quote is doubled inside; the end of the text when unclosed.
qsizetype finCitation(const QString& sql, qsizetype debut) {
    const QChar guillemet = sql[debut];
    const qsizetype n = sql.size();
    qsizetype j = debut + 1;
    while (j < n) {
        if (sql[j] == guillemet) {
            if (j + 1 < n && sql[j + 1] == guillemet) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return n;
}

// The text with its quoted pieces blanked out (their characters replaced,
// the quotes kept, comments made blanks), at the same positions: what the
// shapes below look at, so that nothing inside a literal is taken for code.
QString squelette(const QString& sql) {
    QString r = sql;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const bool commentaire =
            c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-');
        if (!commentaire && c != QLatin1Char('\'') && c != QLatin1Char('"')) {
            ++i;
            continue;
        }
        qsizetype fin = commentaire ? sql.indexOf(QLatin1Char('\n'), i) : finCitation(sql, i);
        fin = fin < 0 ? n : fin;
        for (qsizetype j = commentaire ? i : i + 1; j < (commentaire ? fin : fin - 1); ++j)
            r[j] = commentaire ? QLatin1Char(' ') : QLatin1Char('x');
        i = fin;
    }
    return r;
}

// The value of the literal starting at debut (quotes undoubled); false when
// it is not closed.
bool valeurLitteral(const QString& sql, qsizetype debut, qsizetype& fin, QString& valeur) {
    fin = finCitation(sql, debut);
    if (fin - debut < 2 || sql[fin - 1] != QLatin1Char('\''))
        return false;
    valeur = sql.mid(debut + 1, fin - debut - 2);
    valeur.replace(QStringLiteral("''"), QStringLiteral("'"));
    return true;
}

// The first text that sorts after every text starting with prefixe (the
// order of bytes of UTF-8, which is that of code points: SQLite's BINARY,
// the server's "C"); empty when its last character cannot be followed.
QString suivantDesPrefixes(const QString& prefixe) {
    if (prefixe.isEmpty())
        return QString();
    for (const QChar c : prefixe)
        if (c.isSurrogate())
            return QString();
    const char16_t dernier = prefixe.back().unicode();
    const char16_t suivant = dernier + 1;
    if (dernier == 0xFFFF || QChar(suivant).isSurrogate())
        return QString();
    return prefixe.left(prefixe.size() - 1) + QChar(suivant);
}

// "Mid(col, 1, n) = 'lit'", lit of n characters, where it stands alone
// between WHERE/AND/OR/NOT/( and AND/OR/)/ORDER BY/... : the same test given
// a range on col that an index of col serves, the exact test kept after it.
// Every text starting with lit lies in the range (col is a text column), so
// the rows are the same.
QString prefixesEnIntervalles(const QString& sql) {
    static const QRegularExpression mid(
        QStringLiteral("\\bMid\\s*\\(\\s*((?:[A-Za-z_][A-Za-z0-9_]*\\.)?[A-Za-z_][A-Za-z0-9_]*)"
                       "\\s*,\\s*1\\s*,\\s*([0-9]{1,4})\\s*\\)\\s*=\\s*'"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression avant(
        QStringLiteral("(?:^|\\bWHERE|\\bAND|\\bOR|\\bNOT|\\bON|\\()\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression apres(
        QStringLiteral("^\\s*(?:$|\\)|;|(?:AND|OR|ORDER|GROUP|LIMIT|UNION)\\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString code = squelette(sql);
    QString r;
    qsizetype dernier = 0;
    auto it = mid.globalMatch(code);
    while (it.hasNext()) {
        const auto m = it.next();
        const qsizetype debutLitteral = m.capturedEnd() - 1;
        qsizetype fin = 0;
        QString valeur;
        if (!valeurLitteral(sql, debutLitteral, fin, valeur) ||
            valeur.size() != m.capturedView(2).toInt() ||
            !avant.match(QStringView(code).left(m.capturedStart())).hasMatch() ||
            !apres.match(QStringView(code).mid(fin)).hasMatch())
            continue;
        const QString suivant = suivantDesPrefixes(valeur);
        if (suivant.isEmpty())
            continue;
        const QString colonne = m.captured(1);
        r += QStringView(sql).mid(dernier, m.capturedStart() - dernier);
        const auto cite = [](QString v) { return v.replace(u'\'', QStringLiteral("''")); };
        r += QStringLiteral("(%1 >= '%2' AND %1 < '%3' AND ")
                 .arg(colonne, cite(valeur), cite(suivant));
        r += QStringView(sql).mid(m.capturedStart(), fin - m.capturedStart());
        r += QLatin1Char(')');
        dernier = fin;
    }
    if (dernier == 0)
        return sql;
    r += QStringView(sql).mid(dernier);
    return r;
}

// A read of the CCAM table alone whose conditions are LIKE tests of columns
// outside its indexes only (the keyword search by words without its label
// index): no index can find its rows, yet SQLite would walk the code index
// for the ORDER BY and fetch every row at random to test it.
// "NOT INDEXED" reads the table in its own order and sorts what it found:
// linear in the size of the table, same rows, same order.
QString balayageSansIndex(const QString& sql) {
    static const QRegularExpression forme(
        QStringLiteral("^\\s*SELECT\\b(?:(?!\\bFROM\\b).)*\\bFROM\\s+CCAM(\\s+)WHERE\\b(.*?)"
                       "(?:\\b(?:ORDER\\s+BY|LIMIT)\\b(?:(?!\\b(?:SELECT|UNION)\\b).)*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    // Column names, literals, LIKE, AND, OR, NOT, IS NULL, ESCAPE, brackets:
    // any other word below stops the shape, as do every operator but "<>
    // null", numbers and function calls.
    static const QRegularExpression jeton(
        QStringLiteral("\\s+|\\(|\\)|'x*'|<>\\s*null\\b|"
                       "((?:[A-Za-z_][A-Za-z0-9_]*+\\.)?[A-Za-z_][A-Za-z0-9_]*+)(\\s*\\()?"),
        QRegularExpression::CaseInsensitiveOption);
    static const QStringList motsInterdits{
        QStringLiteral("IN"),     QStringLiteral("MATCH"),   QStringLiteral("BETWEEN"),
        QStringLiteral("GLOB"),   QStringLiteral("REGEXP"),  QStringLiteral("EXISTS"),
        QStringLiteral("SELECT"), QStringLiteral("COLLATE"), QStringLiteral("CASE"),
        QStringLiteral("ISNULL"), QStringLiteral("NOTNULL"), QStringLiteral("CAST")};
    // The columns of the indexes of CCAM (schema.sql).
    static const QStringList colonnesIndexees{QStringLiteral("AMCODE"), QStringLiteral("Activite"),
                                              QStringLiteral("Phase"), QStringLiteral("PositionH")};
    const QString code = squelette(sql);
    const auto m = forme.match(code);
    if (!m.hasMatch())
        return sql;
    const QString conditions = m.captured(2);
    bool like = false;
    qsizetype i = 0;
    while (i < conditions.size()) {
        const auto j = jeton.match(conditions, i, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
        if (!j.hasMatch() || j.capturedLength() == 0)
            return sql;
        const QStringView mot = j.capturedView(1);
        if (!mot.isEmpty()) {
            for (const QString& interdit : motsInterdits)
                if (mot.compare(interdit, Qt::CaseInsensitive) == 0)
                    return sql;
            // A bracket after a word that does not join conditions: a call.
            if (j.hasCaptured(2) && mot.compare(QLatin1String("AND"), Qt::CaseInsensitive) != 0 &&
                mot.compare(QLatin1String("OR"), Qt::CaseInsensitive) != 0 &&
                mot.compare(QLatin1String("NOT"), Qt::CaseInsensitive) != 0)
                return sql;
            // A test of an indexed column is read from the index entry, the
            // row fetched only when it holds: the walk is the better plan.
            for (const QString& indexee : colonnesIndexees)
                if (mot.compare(indexee, Qt::CaseInsensitive) == 0 ||
                    mot.endsWith(QLatin1Char('.') + indexee, Qt::CaseInsensitive))
                    return sql;
            like = like || mot.compare(QLatin1String("LIKE"), Qt::CaseInsensitive) == 0;
        }
        i = j.capturedEnd();
    }
    if (!like)
        return sql;
    return sql.left(m.capturedStart(1)) + QStringLiteral(" NOT INDEXED") +
           sql.mid(m.capturedStart(1));
}

// The shapes that let an index serve a query, or keep the wrong one from
// being used (see the header).
QString formesIndexees(const QString& sql, Dialecte dialecte) {
    QString r = sql;
    if (r.contains(QLatin1String("mid"), Qt::CaseInsensitive))
        r = prefixesEnIntervalles(r);
    if (dialecte == Dialecte::Sqlite && r.contains(QLatin1String("like"), Qt::CaseInsensitive))
        r = balayageSansIndex(r);
    return r;
}

QString traduireTexte(const QString& sql, Dialecte dialecte) {
    const bool postgres = dialecte == Dialecte::Postgres;
    // Fast path: nothing to translate anywhere (literals included).
    if (!postgres && !peutContenirIdiome(sql) && !contientUnion(sql) && !contientOrderBy(sql))
        return sql;

    // The text is cut into code and quoted pieces (text literals between
    // apostrophes, names or texts between double quotes, comments from "--"
    // to the end of the line); only code is translated, the other pieces are
    // copied as they are.
    QString resultat;
    resultat.reserve(sql.size() + 16);
    bool apresUnion = false;
    bool apresOrderBy = false;
    // The code just translated ends with ILIKE: its pattern, the literal
    // that follows, gets no escape character, as on SQLite (the server's
    // default is the backslash).
    bool motifLike = false;
    const qsizetype n = sql.size();
    qsizetype debutCode = 0;
    auto traduireJusqua = [&](qsizetype fin) {
        if (fin <= debutCode)
            return;
        const QStringView code = QStringView(sql).mid(debutCode, fin - debutCode);
        if (!apresUnion && contientUnion(code))
            apresUnion = true;
        const bool orderBy = contientOrderBy(code);
        if (!postgres && !peutContenirIdiome(code) && !apresUnion && !orderBy && !apresOrderBy) {
            resultat += code;
            return;
        }
        QString traduit = peutContenirIdiome(code) || apresUnion
                              ? traduireCode(code.toString(), apresUnion, dialecte)
                              : code.toString();
        if (postgres)
            traduit = traduireCodePostgres(std::move(traduit));
        // A compound query is ordered by its result's names only: the
        // server takes no expression there.
        if ((orderBy || apresOrderBy) && !(postgres && apresUnion)) {
            traduit = ordonnerLibelles(traduit, apresOrderBy, dialecte);
            static const QRegularExpression motOrderBy(QStringLiteral("\\bORDER\\s+BY\\b"),
                                                       QRegularExpression::CaseInsensitiveOption);
            apresOrderBy = apresOrderBy || traduit.contains(motOrderBy);
        }
        if (postgres) {
            static const QRegularExpression finLike(QStringLiteral("\\bILIKE\\s*$"),
                                                    QRegularExpression::CaseInsensitiveOption);
            motifLike = traduit.contains(finLike);
        }
        resultat += traduit;
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const bool commentaire =
            c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-');
        if (commentaire || c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            traduireJusqua(i);
            qsizetype fin = commentaire ? sql.indexOf(QLatin1Char('\n'), i) : finCitation(sql, i);
            fin = fin < 0 ? n : (commentaire ? fin + 1 : fin);
            if (postgres && c == QLatin1Char('"'))
                resultat += nomReplie(QStringView(sql).mid(i, fin - i));
            else
                resultat += QStringView(sql).mid(i, fin - i);
            if (motifLike && c == QLatin1Char('\''))
                resultat += QStringLiteral(" ESCAPE ''");
            motifLike = false;
            i = fin;
            debutCode = i;
        } else {
            ++i;
        }
    }
    traduireJusqua(n);
    return resultat;
}

} // namespace

QString traduireJet(const QString& sql, Dialecte dialecte) {
    if (formesSuspendues.load(std::memory_order_relaxed) > 0)
        return traduireTexte(sql, dialecte);
    return traduireTexte(formesIndexees(sql, dialecte), dialecte);
}

FormesTelles::FormesTelles() {
    formesSuspendues.fetch_add(1);
}

FormesTelles::~FormesTelles() {
    formesSuspendues.fetch_sub(1);
}
