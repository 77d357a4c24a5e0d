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
QString ordonnerLibelles(const QString& code, bool dejaDansOrderBy) {
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
    clause.replace(libelle, QStringLiteral("\\1 COLLATE ") + QLatin1String(nomCollationFrancaise));
    return code.left(debut) + clause;
}

QString traduireCode(QString code, bool apresUnion) {
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
        code.replace(identite, QStringLiteral("SELECT last_insert_rowid()"));

    QString resultat;
    if (code.contains(QLatin1Char('#'))) {
        qsizetype dernier = 0;
        auto it = dateJet.globalMatch(code);
        while (it.hasNext()) {
            auto m = it.next();
            resultat += QStringView(code).mid(dernier, m.capturedStart() - dernier);
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

QString traduireJet(const QString& sql) {
    // Fast path: nothing to translate anywhere (literals included).
    if (!peutContenirIdiome(sql) && !contientUnion(sql) && !contientOrderBy(sql))
        return sql;

    // The text is cut into code and quoted pieces (text literals between
    // apostrophes, names or texts between double quotes, comments from "--"
    // to the end of the line); only code is translated, the other pieces are
    // copied as they are.
    QString resultat;
    resultat.reserve(sql.size() + 16);
    bool apresUnion = false;
    bool apresOrderBy = false;
    const qsizetype n = sql.size();
    qsizetype debutCode = 0;
    auto traduireJusqua = [&](qsizetype fin) {
        if (fin <= debutCode)
            return;
        const QStringView code = QStringView(sql).mid(debutCode, fin - debutCode);
        if (!apresUnion && contientUnion(code))
            apresUnion = true;
        const bool orderBy = contientOrderBy(code);
        if (!peutContenirIdiome(code) && !apresUnion && !orderBy && !apresOrderBy) {
            resultat += code;
            return;
        }
        QString traduit = peutContenirIdiome(code) || apresUnion
                              ? traduireCode(code.toString(), apresUnion)
                              : code.toString();
        if (orderBy || apresOrderBy) {
            traduit = ordonnerLibelles(traduit, apresOrderBy);
            static const QRegularExpression motOrderBy(QStringLiteral("\\bORDER\\s+BY\\b"),
                                                       QRegularExpression::CaseInsensitiveOption);
            apresOrderBy = apresOrderBy || traduit.contains(motOrderBy);
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
            resultat += QStringView(sql).mid(i, fin - i);
            i = fin;
            debutCode = i;
        } else {
            ++i;
        }
    }
    traduireJusqua(n);
    return resultat;
}
