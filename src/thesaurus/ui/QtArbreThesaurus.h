#pragma once
// What the two thesaurus trees share (the doctor panel ctr_ThesMED and the
// DIM window's unit tab): reading a node's key, the confirmations before a
// deletion or a replacement, and the file choosers of import and export.
// A node's key is held in its Qt::UserRole data: "N..." root, "C" + category
// code, "A" + category code + " - " + act code + " - " + activity.

#include <QChar>
#include <QIcon>
#include <QList>
#include <QPoint>
#include <QString>

class QEvent;
class QObject;
class QTreeWidget;
class QTreeWidgetItem;

inline constexpr int roleCleNoeud = 0x0100; // Qt::UserRole

// The image of a node: 1 owner (doctor or unit), 2 category, 3 act.
QIcon iconeNoeudThesaurus(int image);

// Greys the node of an act the loaded version lacks, in italics.
void marquerActeRetire(QTreeWidgetItem* noeud);

QString cleNoeudArbre(const QTreeWidgetItem* noeud);
// The kind of node: the first character of its key ('N', 'C', 'A'), or a
// null character for none.
QChar genreNoeud(const QTreeWidgetItem* noeud);
// The category code held in a category key ("C12" -> 12); false when the
// key holds no number.
bool codeCategorieNoeud(const QTreeWidgetItem* noeud, long& code);
// Every node in the order it was added (root, category, its acts, ...).
QList<QTreeWidgetItem*> noeudsArbre(const QTreeWidget* arbre);

// The Yes/No questions; true on Yes.
bool confirmerSuppressionActe();
bool confirmerSuppressionCategorie();
// Asked only when the thesaurus holds more than its root.
bool confirmerRemplacementThesaurus(bool thesaurusNonVide);

// The file choosers; empty on cancel.
QString choisirFichierImportThesaurus();
QString choisirFichierExportThesaurus();

// What a user's gesture in a tree means to the window that holds it, read by
// that window's event filter: a mouse press on the tree's viewport records
// which button (1 left, 2 right) and where, for the pop-up menu; a key
// records the left button. Which node is picked is the tree's selection.
void lireGesteArbre(const QTreeWidget* arbre, const QObject* objet, const QEvent* evenement,
                    int& bouton, QPoint& positionClic);
