#include "PreparationDossier.h"

#include "Panier.h"

#include <QRegularExpression>
#include <exception>

qint16 preparerDossier(const SaisieDossier& saisie, const Panier& panier, Dossier& resultat) {
    resultat = Dossier();
    const QString nom = saisie.nom.trimmed();
    if (nom.isEmpty())
        return DossierSansNom;
    resultat.NOM = nom;
    const QString prenom = saisie.prenom.trimmed();
    if (prenom.isEmpty())
        return DossierSansPrenom;
    resultat.PRENOM = prenom;
    resultat.numHosp = saisie.numHosp.trimmed();
    resultat.p_Date = saisie.date;
    resultat.Heure = saisie.heure;
    try {
        for (const ActePtr& a : panier.getListeActes())
            if (a)
                resultat.ajouterActe(*a);
    } catch (const std::exception&) {
        return DossierInterrompu;
    }
    return DossierPret;
}

QString normaliserNom(const QString& texte) {
    return texte.trimmed().toUpper();
}

std::optional<QDate> lireDateSaisie(const QString& texte) {
    static const QRegularExpression separee(
        QStringLiteral("^\\s*(\\d{1,2})[\\s/.-]+(\\d{1,2})[\\s/.-]+(\\d{2}|\\d{4})\\s*$"));
    static const QRegularExpression collee(
        QStringLiteral("^\\s*(\\d{2})(\\d{2})(\\d{2}|\\d{4})\\s*$"));
    QRegularExpressionMatch m = separee.match(texte);
    if (!m.hasMatch())
        m = collee.match(texte);
    if (!m.hasMatch())
        return std::nullopt;
    int annee = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        annee += 2000;
    const QDate date(annee, m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid() || annee < 1000)
        return std::nullopt;
    return date;
}

std::optional<QTime> lireHeureSaisie(const QString& texte) {
    static const QRegularExpression separee(
        QStringLiteral("^\\s*(\\d{1,2})(?:\\s*[:hH.\\s]\\s*(\\d{1,2})?)?\\s*$"));
    static const QRegularExpression collee(QStringLiteral("^\\s*(\\d{1,2})(\\d{2})\\s*$"));
    QRegularExpressionMatch m = collee.match(texte);
    if (!m.hasMatch())
        m = separee.match(texte);
    if (!m.hasMatch())
        return std::nullopt;
    const QTime heure(m.captured(1).toInt(), m.captured(2).toInt());
    if (!heure.isValid())
        return std::nullopt;
    return heure;
}
