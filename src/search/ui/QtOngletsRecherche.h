#pragma once
// The search side of the windows that hold the three search panels (the
// doctor's and the DIM workspaces, the search dialog): a tab strip over a
// pile of frames, one per tab, only one of them shown at a time. The first
// three frames hold the keyword, anatomical-site and hierarchy panels; the
// window fills the others.

#include "Parametres.h"

#include <QList>
#include <QStringList>

class QFrame;
class QSplitter;
class QTabBar;
class QWidget;
class ctr_Hier;
class ctr_motCle;
class ctr_site;

struct OngletsRecherche {
    QWidget* cote = nullptr; // the tab strip and its frames
    QTabBar* onglets = nullptr;
    QList<QFrame*> cadres; // frame i shows under tab i; all hidden at first
    ctr_motCle* motCle = nullptr;
    ctr_site* site = nullptr;
    ctr_Hier* hier = nullptr;
};

// One tab per caption (the first three are the search panels' tabs, whose
// tooltips name the search); the strip is named nomOnglets, the frames
// prefixeCadres + "_" + index.
OngletsRecherche creerOngletsRecherche(QWidget* parent, const QStringList& titres,
                                       const QString& nomOnglets, const QString& prefixeCadres);
// Shows frame index only.
void montrerCadre(const QList<QFrame*>& cadres, int index);
// Shows the keyword tab of the search side that the window holds and puts
// the focus in its keyword box, its text selected; false when it holds none.
bool allerAuMotCle(QWidget* fenetre);

// The search side and the details side by side, sharing the width through a
// splitter. The share of the search side is read from the setting cle (a
// missing or nonsense value gives partRechercheDefaut) and written back
// whenever the user moves the handle.
inline constexpr int partRechercheDefaut = 550; // thousandths of the width
QSplitter* creerSeparation(QWidget* parent, QWidget* recherche, QWidget* details,
                           Parametres::Cle cle);
// The share a setting text gives, in thousandths (10 % to 90 %), or the default.
int lirePartRecherche(const QString& texte);
