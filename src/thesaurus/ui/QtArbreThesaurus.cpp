#include "QtArbreThesaurus.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

#include "ChoixFichier.h"
#include "Messages.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>

static_assert(roleCleNoeud == Qt::UserRole);

namespace {

QPixmap toile() {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}

// The doctor: a head and shoulders with a red cross.
QIcon iconeMedecin() {
    QPixmap p = toile();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(30, 60, 110), 1));
    g.setBrush(QColor(70, 120, 200));
    QPainterPath buste;
    buste.moveTo(1.5, 15.5);
    buste.cubicTo(1.5, 9.5, 12.5, 9.5, 12.5, 15.5);
    buste.closeSubpath();
    g.drawPath(buste);
    g.setBrush(QColor(250, 215, 180));
    g.drawEllipse(QRectF(4, 1.5, 6, 6.5));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(210, 30, 30));
    g.drawRect(QRectF(12, 9, 2, 6));
    g.drawRect(QRectF(10, 11, 6, 2));
    return QIcon(p);
}

// A category: a yellow folder.
QIcon iconeCategorie() {
    QPixmap p = toile();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(150, 110, 20), 1));
    g.setBrush(QColor(240, 200, 80));
    QPainterPath dossier;
    dossier.moveTo(1.5, 3.5);
    dossier.lineTo(6, 3.5);
    dossier.lineTo(7.5, 5);
    dossier.lineTo(14.5, 5);
    dossier.lineTo(14.5, 13.5);
    dossier.lineTo(1.5, 13.5);
    dossier.closeSubpath();
    g.drawPath(dossier);
    g.setBrush(QColor(252, 225, 120));
    g.drawRect(QRectF(1.5, 6.5, 13, 7));
    return QIcon(p);
}

// An act: a sheet with lines of text.
QIcon iconeActe() {
    QPixmap p = toile();
    QPainter g(&p);
    g.setPen(QPen(QColor(90, 90, 90), 1));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(3.5, 1.5, 9, 13));
    g.setPen(QPen(QColor(40, 120, 60), 1));
    for (int y = 4; y <= 11; y += 2)
        g.drawLine(5, y, y == 11 ? 8 : 10, y);
    return QIcon(p);
}

} // namespace

QIcon iconeNoeudThesaurus(int image) {
    static const QIcon icones[] = {iconeMedecin(), iconeCategorie(), iconeActe()};
    return icones[image - 1];
}

void marquerActeRetire(QTreeWidgetItem* noeud) {
    if (!noeud)
        return;
    QFont police = noeud->font(0);
    police.setItalic(true);
    noeud->setFont(0, police);
    noeud->setForeground(0, QApplication::palette().brush(QPalette::Disabled, QPalette::Text));
}

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
    return afficherMessage(question, titre, Icone::Question, Boutons::OuiNonDefautNon) ==
           Reponse::Oui;
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
    return choisirFichierDocumentOuvrir(QStringLiteral("Importer un thésaurus"),
                                        QStringLiteral("Text (*.txt)|*.txt"));
}

QString choisirFichierExportThesaurus() {
    return choisirFichierDocumentEnregistrer(
        QStringLiteral("Export"), QString(),
        QStringLiteral("Text (*.txt)|*.txt|Word (*.doc)|*.doc|Excel (*.xls)|*.xls"));
}

void lireGesteArbre(const QTreeWidget* arbre, const QObject* objet, const QEvent* evenement,
                    int& bouton, QPoint& positionClic) {
    if (objet == arbre->viewport() && evenement->type() == QEvent::MouseButtonPress) {
        const auto* souris = static_cast<const QMouseEvent*>(evenement);
        bouton = souris->button() == Qt::RightButton ? 2 : 1;
        positionClic = souris->globalPosition().toPoint();
    } else if (objet == arbre && evenement->type() == QEvent::KeyPress) {
        // The keyboard is not the right button: no pop-up after a key.
        bouton = 1;
    }
}
