#include "TraductionJet.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// The SQL cut into pieces: code outside literals, and literals kept whole
// (with their apostrophes and any doubled apostrophe inside), and comments.
struct Morceau {
    QString texte;
    bool litteral;
};

QList<Morceau> decouper(const QString& sql) {
    QList<Morceau> morceaux;
    QString courant;
    int i = 0;
    const int n = sql.size();
    while (i < n) {
        if (sql[i] == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            // A comment runs to the end of its line and passes through unchanged.
            if (!courant.isEmpty())
                morceaux.append({courant, false});
            courant.clear();
            qsizetype fin = sql.indexOf(QLatin1Char('\n'), i);
            if (fin < 0)
                fin = n - 1;
            morceaux.append({sql.mid(i, fin - i + 1), true});
            i = static_cast<int>(fin) + 1;
        } else if (sql[i] == QLatin1Char('\'')) {
            if (!courant.isEmpty())
                morceaux.append({courant, false});
            courant.clear();
            int j = i + 1;
            while (j < n) {
                if (sql[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            morceaux.append({sql.mid(i, j - i + 1), true});
            i = j + 1;
        } else {
            courant += sql[i];
            ++i;
        }
    }
    if (!courant.isEmpty())
        morceaux.append({courant, false});
    return morceaux;
}

QString traduireCode(QString code, bool apresUnion) {
    static const QRegularExpression diffNull(QStringLiteral("<>\\s*null\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression deleteEtoile(
        QStringLiteral("\\bDELETE\\s+(?:[A-Za-z_][A-Za-z0-9_]*\\.)?\\*\\s+FROM\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dateJet(QStringLiteral("#(\\d{1,2})/(\\d{1,2})/(\\d{4})#"));
    static const QRegularExpression identite(QStringLiteral("\\bSELECT\\s+@@IDENTITY\\b"),
                                             QRegularExpression::CaseInsensitiveOption);

    code.replace(diffNull, QStringLiteral("IS NOT NULL"));
    code.replace(deleteEtoile, QStringLiteral("DELETE FROM"));
    code.replace(identite, QStringLiteral("SELECT last_insert_rowid()"));

    QString resultat;
    int dernier = 0;
    auto it = dateJet.globalMatch(code);
    while (it.hasNext()) {
        auto m = it.next();
        resultat += code.mid(dernier, m.capturedStart() - dernier);
        resultat += QStringLiteral("'%1-%2-%3'")
                        .arg(m.captured(3))
                        .arg(m.captured(1).toInt(), 2, 10, QLatin1Char('0'))
                        .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'));
        dernier = m.capturedEnd();
    }
    resultat += code.mid(dernier);

    if (apresUnion) {
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

} // namespace

QString traduireJet(const QString& sql) {
    static const QRegularExpression unionMot(QStringLiteral("\\bUNION\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QList<Morceau> morceaux = decouper(sql);
    QString resultat;
    resultat.reserve(sql.size() + 16);
    bool apresUnion = false;
    for (const Morceau& m : morceaux) {
        if (m.litteral) {
            resultat += m.texte;
            continue;
        }
        if (m.texte.contains(unionMot))
            apresUnion = true;
        resultat += traduireCode(m.texte, apresUnion);
    }
    return resultat;
}
