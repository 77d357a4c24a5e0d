#pragma once
// A small banded report engine: a page header repeated on every page, detail
// bands one after the other, and a page footer. Positions and sizes are in
// twips (1440 per inch) from the top-left corner of the page's printable
// area (A4 portrait, margins of 1 cm). Texts wrap inside their column; a band
// grows to hold its tallest text, and goes to the next page when it does not
// fit. The page header takes at most two thirds of the page above the
// footer (a longer one is cut there, "…" ending its texts cut), so that no
// detail is ever dropped. Texts of the footer may hold "{page}" and "{pages}".
//
// The engine knows nothing of the reports that use it: they build a QtRapport
// from their data, then paint it on any paged device (preview, printer, PDF
// writer), or describe its pages as plain text (golden-file tests).

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

struct ElementRapport {
    enum class Genre { Texte, Trait };
    Genre genre = Genre::Texte;
    QString nom; // the control's name, shown in the description
    int gauche = 0;
    int haut = 0;
    int largeur = 0; // a text wraps inside it; a rule's length
    QString texte;
    bool gras = false;
    qreal points = 9;
    bool aDroite = false; // aligned on the right of its column
};

struct BandeRapport {
    QString nom;
    int hauteur = 0; // least height; grows to hold wrapped texts
    // Goes to the next page with the band that follows it (a heading never
    // stays alone at the bottom of a page).
    bool garderAvecSuivante = false;
    QList<ElementRapport> elements;

    BandeRapport& texte(const QString& nom, int gauche, int haut, int largeur, const QString& texte,
                        bool gras = false, qreal points = 9);
    BandeRapport& trait(int gauche, int haut, int largeur);
};

// One item placed on a page: a text line or a rule, in twips from the
// printable area's corner.
struct ElementPlace {
    QString bande; // band name, followed by the detail's number for a detail band
    QString nom;
    ElementRapport::Genre genre = ElementRapport::Genre::Texte;
    int gauche = 0;
    int haut = 0;
    int largeur = 0;
    QString texte; // one line of the text
    bool gras = false;
    qreal points = 9;
    bool aDroite = false;
};

struct PageRapport {
    QList<ElementPlace> elements;
};

class ProgressionPortee;

class QtRapport {
public:
    static constexpr int twipsParPouce = 1440;
    static constexpr int largeurPage = 11906; // A4: 210 mm
    static constexpr int hauteurPage = 16838; // A4: 297 mm
    static constexpr int marge = 567;         // 1 cm on every side
    static constexpr int largeurUtile = largeurPage - 2 * marge;
    static constexpr int hauteurUtile = hauteurPage - 2 * marge;
    static const QString police; // "DejaVu Sans"

    QString titre; // the document's name (PDF title, print job)
    BandeRapport enTete;
    QList<BandeRapport> details;
    BandeRapport piedPage;

    static QPageLayout miseEnPage();
    // A footer: a rule, the date on the left, "Page n / N" on the right.
    static BandeRapport piedDateEtPage(const QDate& date);

    // The pages, laid out (computed once, then kept).
    const QList<PageRapport>& pages() const;
    // Lays the pages out now, showing the progress with "Annuler"; false
    // when the user stopped it (nothing is kept; pages() lays out again).
    bool mettreEnPage() const;
    int nombrePages() const { return pages().size(); }

    // Plain description: one line per page, then one per text line or rule:
    // band, name, (left, top), then the text between « » or the rule's length.
    QString description() const;

    // Paints every page on the device (its page layout is set to ours first).
    // Returns the number of pages painted, 0 when the device cannot be
    // painted on; with `annulable`, shows the progress with "Annuler" and
    // returns -1 when the user stopped it.
    int peindre(QPagedPaintDevice* cible, bool annulable = false) const;

    // Writes the pages to a PDF file, replacing it only once the whole file is
    // written; nothing is left behind on failure. False with a French message
    // in *erreur when the file cannot be written; with `annulable`, the
    // progress shows "Annuler", and a stop gives false with *erreur empty.
    bool enregistrerPdf(const QString& chemin, QString* erreur, bool annulable = false) const;

private:
    // The layout; with `attente`, its progress, and false when stopped.
    bool calculerPages(ProgressionPortee* attente) const;

    mutable QList<PageRapport> m_pages;
    mutable bool m_misEnPage = false;
};

// Height of one text line in twips for a size in points.
int hauteurLigne(qreal points, bool gras = false);
// Width of a text on one line, in twips.
qreal largeurTexte(const QString& texte, qreal points, bool gras = false);
// The lines a text breaks into inside a column of that width (twips).
QStringList couperTexte(const QString& texte, int largeur, qreal points, bool gras = false);

// Sends every page to the default printer (the first one when none is the
// default) without a dialog. imprime is false when there is no printer or
// the job could not be started.
struct ResultatImpression {
    bool imprime = false;
    QString imprimante;
    bool parDefaut = false;
    int pages = 0;
};
ResultatImpression imprimerRapport(const QtRapport& rapport);
