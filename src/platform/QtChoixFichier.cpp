#include "QtChoixFichier.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

QString filtreQt(const QString& filtreAncien) {
    const QStringList parties = filtreAncien.split(QLatin1Char('|'));
    QStringList filtres;
    for (qsizetype i = 0; i < parties.size(); i += 2) {
        QString libelle = parties.at(i).trimmed();
        const QString motifsAncien =
            i + 1 < parties.size() ? parties.at(i + 1).trimmed() : QString();
        // Qt separates the patterns by blanks, the old filters by ";".
        const QString motifs =
            QString(motifsAncien).replace(QLatin1Char(';'), QLatin1Char(' ')).simplified();
        if (libelle.isEmpty() && motifs.isEmpty())
            continue;
        if (motifs.isEmpty()) {
            filtres << libelle;
            continue;
        }
        const QString montreAncien = QLatin1Char('(') + motifsAncien + QLatin1Char(')');
        const QString montre = QLatin1Char('(') + motifs + QLatin1Char(')');
        if (libelle.endsWith(montreAncien))
            libelle.chop(montreAncien.size());
        else if (libelle.endsWith(montre))
            libelle.chop(montre.size());
        libelle = libelle.trimmed();
        filtres << (libelle.isEmpty() ? montre : libelle + QLatin1Char(' ') + montre);
    }
    return filtres.join(QStringLiteral(";;"));
}

QString QtChoixFichier::ouvrir(const QString& titre, const QString& dossier,
                               const QString& filtre) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), titre, dossier,
                                        filtreQt(filtre));
}

QString QtChoixFichier::enregistrer(const QString& titre, const QString& dossier,
                                    const QString& filtre) {
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), titre, dossier,
                                        filtreQt(filtre));
}
