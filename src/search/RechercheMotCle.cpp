#include "RechercheMotCle.h"

#include "Data.h"
#include "PliageAccents.h"

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

QString sqlRecherche(const QStringList& mots, bool parCode) {
    if (mots.isEmpty())
        return QString();
    QString sql = QStringLiteral("select distinct AMCODE,Libelle_Court,cstr(Libelle_Complet)as "
                                 "Libelle_Complet from CCAM where");
    if (parCode) {
        for (const QString& mot : mots)
            sql += QStringLiteral(" AMCODE like '") + mot + QStringLiteral("%' and");
        sql += QStringLiteral(" Libelle_Complet <> null ORDER BY CCAM.AMCODE");
    } else {
        for (const QString& mot : mots)
            sql += QStringLiteral(" (Libelle_sans_accent like '%") + mot +
                   QStringLiteral("%' OR Libelle_simplifie like '%") + mot +
                   QStringLiteral("%') and");
        sql.chop(3);
        sql += QStringLiteral("ORDER BY CCAM.AMCODE");
    }
    return sql;
}

} // namespace RechercheMotCle
