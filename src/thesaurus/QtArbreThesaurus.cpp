#include "QtArbreThesaurus.h"

#include "ChoixFichier.h"
#include "Messages.h"

#include <QCoreApplication>
#include <QTreeWidget>

static_assert(roleCleNoeud == Qt::UserRole);

QString cleNoeudArbre(const QTreeWidgetItem* noeud) {
    return noeud ? noeud->data(0, roleCleNoeud).toString() : QString();
}

QChar genreNoeud(const QTreeWidgetItem* noeud) {
    const QString cle = cleNoeudArbre(noeud);
    return cle.isEmpty() ? QChar() : cle.at(0);
}

bool codeCategorieNoeud(const QTreeWidgetItem* noeud, long& code) {
    if (!noeud)
        return false;
    bool ok = false;
    code = cleNoeudArbre(noeud).mid(1).toLong(&ok);
    return ok;
}

QList<QTreeWidgetItem*> noeudsArbre(const QTreeWidget* arbre) {
    QList<QTreeWidgetItem*> liste;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(arbre)); *it; ++it)
        liste << *it;
    return liste;
}

namespace {
bool oui(const QString& question, const QString& titre) {
    return afficherMessage(question, titre, Icone::Question, Boutons::OuiNon) == Reponse::Oui;
}
} // namespace

bool confirmerSuppressionActe() {
    return oui(QStringLiteral("Voulez-vous vraiment supprimer l'acte sélectionné ?"),
               QStringLiteral("Confirmation suppression"));
}

bool confirmerSuppressionCategorie() {
    return oui(QStringLiteral("Voulez-vous vraiment supprimer cette catégorie ainsi que tous les "
                              "actes qu'elle contient?"),
               QStringLiteral("Confirmation suppression"));
}

bool confirmerRemplacementThesaurus(bool thesaurusNonVide) {
    return !thesaurusNonVide ||
           oui(QStringLiteral("Attention vous allez remplacer le thésaurus existant ! "
                              "Voulez-vous continuer ?"),
               QStringLiteral("Confirmation"));
}

QString choisirFichierImportThesaurus() {
    return choisirFichierOuvrir(QStringLiteral("Export"), QCoreApplication::applicationDirPath(),
                                QStringLiteral("Text (*.txt)|*.txt"));
}

QString choisirFichierExportThesaurus() {
    return choisirFichierEnregistrer(
        QStringLiteral("Export"), QCoreApplication::applicationDirPath(),
        QStringLiteral("Text (*.txt)|*.txt|Word (*.doc)|*.doc|Excel (*.xls)|*.xls"));
}
