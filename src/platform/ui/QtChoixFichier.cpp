#include "QtChoixFichier.h"

#include "QtCurseur.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStringList>
#include <QTreeView>

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

namespace {
// Qt's file model writes sizes and dates in the machine's own locale
// (English on a machine set up in English: "51.35 KiB"); the chooser shows
// them in the program's French ("51,35 Kio").
class FichiersEnFrancais : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* fichiers = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !fichiers || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale francais;
        if (index.column() == 1)
            return fichiers->isDir(source) ? QString()
                                           : francais.formattedDataSize(fichiers->size(source));
        return francais.toString(fichiers->lastModified(source), QLocale::ShortFormat);
    }
};

// The chooser opens wide enough for its size, type and date columns to be
// read whole; an empty result means the user cancelled.
QString choisir(QFileDialog::AcceptMode mode, const QString& titre, const QString& dossier,
                const QString& filtre) {
    QFileDialog dialogue(QApplication::activeWindow(), titre, dossier, filtreQt(filtre));
    dialogue.setAcceptMode(mode);
    dialogue.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                         : QFileDialog::AnyFile);
    dialogue.setProxyModel(new FichiersEnFrancais(&dialogue));
    dialogue.resize(dialogue.sizeHint().expandedTo(QSize(860, 500)));
    // Qt's own chooser (no native one on this desktop): the name takes the
    // room left by the other columns, which keep their whole text.
    if (auto* liste = dialogue.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* entete = liste->header();
        entete->setStretchLastSection(false);
        entete->setSectionResizeMode(QHeaderView::ResizeToContents);
        entete->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    CurseurSuspendu attenteUtilisateur;
    if (dialogue.exec() != QDialog::Accepted)
        return {};
    return dialogue.selectedFiles().value(0);
}
} // namespace

QString QtChoixFichier::ouvrir(const QString& titre, const QString& dossier,
                               const QString& filtre) {
    return choisir(QFileDialog::AcceptOpen, titre, dossier, filtre);
}

QString QtChoixFichier::enregistrer(const QString& titre, const QString& dossier,
                                    const QString& filtre) {
    return choisir(QFileDialog::AcceptSave, titre, dossier, filtre);
}
