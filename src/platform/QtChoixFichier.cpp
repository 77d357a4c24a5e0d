#include "QtChoixFichier.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

QString filtreQt(const QString& filtreVB) {
    const QStringList parties = filtreVB.split(QLatin1Char('|'));
    QStringList filtres;
    for (qsizetype i = 0; i < parties.size(); i += 2) {
        const QString libelle = parties.at(i).trimmed();
        QString motifs = i + 1 < parties.size() ? parties.at(i + 1).trimmed() : QString();
        motifs.replace(QLatin1Char(';'), QLatin1Char(' '));
        motifs = motifs.simplified();
        if (libelle.isEmpty() && motifs.isEmpty())
            continue;
        if (motifs.isEmpty())
            filtres << libelle;
        else if (libelle.contains(QLatin1Char('(') + motifs + QLatin1Char(')')))
            filtres << libelle;
        else if (libelle.isEmpty())
            filtres << motifs;
        else
            filtres << libelle + QStringLiteral(" (") + motifs + QLatin1Char(')');
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
