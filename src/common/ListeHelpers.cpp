#include "ListeHelpers.h"

QString codeEtLibelle(const QString& code, const QString& libelle) {
    return code + separateurListe + libelle;
}

QString extraireCode(const QString& texte) {
    const qsizetype p = texte.indexOf(separateurListe);
    return p < 0 ? QString() : texte.left(p);
}

QString extraireMilieu(const QString& texte) {
    const qsizetype p = texte.indexOf(separateurListe);
    if (p < 0)
        return {};
    const QString reste = texte.mid(p + separateurListe.size());
    const qsizetype q = reste.indexOf(separateurListe);
    return q < 0 ? QString() : reste.left(q);
}

QString extraireFin(const QString& texte) {
    const qsizetype p = texte.lastIndexOf(separateurListe);
    return p < 0 ? QString() : texte.mid(p + separateurListe.size());
}

QString champSuivant(const QString& ligne, qint16 debut, const QString& separateur) {
    const qsizetype depart = qMax<qsizetype>(0, debut - 1);
    if (depart >= ligne.size())
        return {};
    if (separateur.isEmpty())
        return ligne.mid(depart);
    const qsizetype p = ligne.indexOf(separateur, depart);
    return p < 0 ? ligne.mid(depart) : ligne.mid(depart, p - depart);
}

QString extraireExtension(QString& nom) {
    const qsizetype p = nom.lastIndexOf(QLatin1Char('.'));
    if (p < 0)
        return {};
    const QString extension = nom.mid(p + 1);
    nom.truncate(p + 1);
    return extension;
}
