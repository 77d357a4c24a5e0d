#include "TraductionJet.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

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

} // namespace

QString traduireJet(const QString& sql, Dialecte dialecte) {
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
