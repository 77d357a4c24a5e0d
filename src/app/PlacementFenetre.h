#pragma once
// Where the main window opens: its saved placement brought fully onto a screen
// that is there now, or a first-run placement sized to the screen. Pure
// arithmetic on rectangles, so that every case is tested without a display.

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// Placement sizes are kept in twips: 1440 per inch, 15 per pixel at 96 dpi.
inline constexpr int twipsParPixel = 15;

// The placement as stored: the four setting texts (twips; empty when absent).
struct PlacementSauve {
    QString gauche;
    QString haut;
    QString largeur;
    QString hauteur;
};

struct Placement {
    QRect geometrie;        // in pixels, fully inside one available screen
    bool maximisee = false; // first run on a narrow screen
};

// Screens narrower than this open the main window maximised on first run.
inline constexpr int largeurEcranMaximise = 1400;
// Share of the screen a first-run window takes, in percent.
inline constexpr int partEcranPremierLancement = 80;

// ecrans: the available area of each screen, the primary one first (none:
// a 1024 × 768 screen is assumed). minimum: the size the window never goes
// under, itself cut to the screen.
//  - No usable size saved (absent, not a number, zero, negative, absurd):
//    first run, 80 % of the primary screen, centred; maximised under 1400 px.
//  - A saved size: kept, but never larger than the screen it goes to, which
//    is the screen the saved rectangle overlaps most (the primary one when it
//    overlaps none, e.g. a monitor since disconnected); a saved corner is
//    moved just enough to bring the whole window on that screen; an absent or
//    unusable corner centres it.
Placement placementFenetre(const PlacementSauve& sauve, const QList<QRect>& ecrans,
                           QSize minimum = QSize());

// A setting value in twips: decimal point or comma; nothing for an empty
// text, a text that is not a finite number, or one beyond any screen.
std::optional<double> lireTwipsTexte(const QString& texte);
