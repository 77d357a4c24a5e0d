#include "QtRapport.h"

#include "Progression.h"

#include "Imprimantes.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

const QString QtRapport::police = QStringLiteral("DejaVu Sans");

namespace {
// Texts are measured and drawn with a font whose pixel is one twip: the
// layout is the same whatever the device's resolution.
QFont policeTwips(qreal points, bool gras) {
    QFont f(QtRapport::police);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 20))));
    f.setBold(gras);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

// The metrics of each size and weight, made once (a report measures
// thousands of texts in a handful of fonts).
const QFontMetricsF& mesures(qreal points, bool gras) {
    static std::map<std::pair<long, bool>, QFontMetricsF> cache;
    const auto cle = std::make_pair(std::lround(points * 20), gras);
    auto it = cache.find(cle);
    if (it == cache.end())
        it = cache.emplace(cle, QFontMetricsF(policeTwips(points, gras))).first;
    return it->second;
}

int twips(qreal mm) {
    return static_cast<int>(std::lround(mm / 25.4 * QtRapport::twipsParPouce));
}

struct BandeMesuree {
    int hauteur = 0;
    QList<ElementPlace> elements; // positions relative to the band's top
};

// Lays out one band. A text that wraps pushes down what stands below its
// first line (in the whole band, as a report engine's growing field does), so
// that a long text never covers the next items; the band grows by as much.
BandeMesuree mesurer(const BandeRapport& b, const QString& nomBande) {
    struct Mesure {
        const ElementRapport* e;
        QStringList lignes;
        int pas = 0;
        int croissance = 0; // height added by the lines after the first
        int decalage = 0;   // pushed down by the texts above that grew
    };
    std::vector<Mesure> mesures;
    for (const ElementRapport& e : b.elements) {
        Mesure m{&e, {}, 0, 0, 0};
        if (e.genre == ElementRapport::Genre::Texte) {
            m.lignes = couperTexte(e.texte, e.largeur, e.points, e.gras);
            m.pas = hauteurLigne(e.points, e.gras);
            m.croissance = (m.lignes.size() - 1) * m.pas;
        }
        mesures.push_back(std::move(m));
    }
    std::vector<Mesure*> parHaut;
    for (Mesure& m : mesures)
        parHaut.push_back(&m);
    std::stable_sort(parHaut.begin(), parHaut.end(),
                     [](const Mesure* a, const Mesure* b) { return a->e->haut < b->e->haut; });
    int poussee = 0; // how far the band's bottom is pushed
    for (size_t i = 0; i < parHaut.size(); ++i) {
        Mesure& m = *parHaut[i];
        for (size_t k = 0; k < i; ++k) {
            const Mesure& dessus = *parHaut[k];
            if (dessus.croissance > 0 && dessus.e->haut + dessus.pas <= m.e->haut)
                m.decalage = std::max(m.decalage, dessus.decalage + dessus.croissance);
        }
        poussee = std::max(poussee, m.decalage + m.croissance);
    }

    BandeMesuree r;
    r.hauteur = b.hauteur + poussee;
    for (const Mesure& m : mesures) {
        const ElementRapport& e = *m.e;
        if (e.genre == ElementRapport::Genre::Trait) {
            r.elements.push_back({nomBande,
                                  QStringLiteral("trait"),
                                  e.genre,
                                  e.gauche,
                                  e.haut + m.decalage,
                                  e.largeur,
                                  {},
                                  false,
                                  e.points,
                                  false});
            r.hauteur = std::max(r.hauteur, e.haut + m.decalage + 20);
            continue;
        }
        int haut = e.haut + m.decalage;
        for (const QString& l : m.lignes) {
            r.elements.push_back({nomBande, e.nom, e.genre, e.gauche, haut, e.largeur, l, e.gras,
                                  e.points, e.aDroite});
            haut += m.pas;
        }
        r.hauteur = std::max(r.hauteur, haut);
    }
    return r;
}

int hauteurElement(const ElementPlace& e) {
    return e.genre == ElementRapport::Genre::Texte ? hauteurLigne(e.points, e.gras) : 20;
}

// Keeps what of the band stands within its first `hauteur` twips; a text
// that loses lines ends with "…" on its last line kept.
void couperBande(BandeMesuree& b, int hauteur) {
    QList<ElementPlace> gardes;
    QStringList coupes;
    for (const ElementPlace& e : b.elements) {
        if (e.haut + hauteurElement(e) <= hauteur)
            gardes.push_back(e);
        else if (e.genre == ElementRapport::Genre::Texte && !coupes.contains(e.nom))
            coupes << e.nom;
    }
    for (const QString& nom : coupes)
        for (auto it = gardes.rbegin(); it != gardes.rend(); ++it)
            if (it->nom == nom && it->genre == ElementRapport::Genre::Texte) {
                QString t = it->texte;
                while (!t.isEmpty() &&
                       largeurTexte(t + QStringLiteral(" …"), it->points, it->gras) > it->largeur)
                    t.chop(1);
                it->texte = t + QStringLiteral(" …");
                break;
            }
    b.elements = gardes;
    b.hauteur = hauteur;
}

void poser(PageRapport& page, const BandeMesuree& b, int y) {
    for (ElementPlace e : b.elements) {
        e.haut += y;
        page.elements.push_back(e);
    }
}
} // namespace

BandeRapport& BandeRapport::texte(const QString& n, int g, int h, int l, const QString& t, bool gr,
                                  qreal p) {
    ElementRapport e;
    e.nom = n;
    e.gauche = g;
    e.haut = h;
    e.largeur = l;
    e.texte = t;
    e.gras = gr;
    e.points = p;
    elements.push_back(e);
    return *this;
}

BandeRapport& BandeRapport::trait(int g, int h, int l) {
    ElementRapport e;
    e.genre = ElementRapport::Genre::Trait;
    e.gauche = g;
    e.haut = h;
    e.largeur = l;
    elements.push_back(e);
    return *this;
}

int hauteurLigne(qreal points, bool gras) {
    return static_cast<int>(std::ceil(mesures(points, gras).lineSpacing()));
}

qreal largeurTexte(const QString& texte, qreal points, bool gras) {
    return mesures(points, gras).horizontalAdvance(texte);
}

QStringList couperTexte(const QString& texte, int largeur, qreal points, bool gras) {
    QStringList lignes;
    // Each paragraph of the text on its own lines; tabs and other control
    // characters print as blanks.
    QString propre = texte;
    for (QChar& c : propre)
        if (c != QLatin1Char('\n') && (c.category() == QChar::Other_Control))
            c = QLatin1Char(' ');
    const QStringList paragraphes = propre.split(QLatin1Char('\n'));
    const QFontMetricsF& mesure = mesures(points, gras);
    for (const QString& p : paragraphes) {
        // Most texts hold on one line: no layout needed.
        if (largeur <= 0 || p.isEmpty() || mesure.horizontalAdvance(p) <= largeur) {
            lignes << p.trimmed();
            continue;
        }
        QTextLayout mise(p, policeTwips(points, gras));
        QTextOption o;
        o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        mise.setTextOption(o);
        mise.beginLayout();
        for (QTextLine l = mise.createLine(); l.isValid(); l = mise.createLine()) {
            l.setLineWidth(largeur);
            lignes << p.mid(l.textStart(), l.textLength()).trimmed();
        }
        mise.endLayout();
    }
    if (lignes.isEmpty())
        lignes << QString();
    return lignes;
}

QPageLayout QtRapport::miseEnPage() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

BandeRapport QtRapport::piedDateEtPage(const QDate& date) {
    BandeRapport pied;
    pied.nom = QStringLiteral("pied");
    pied.hauteur = 400;
    pied.trait(397, 0, 10000);
    pied.texte(QStringLiteral("l_date"), 340, 100, 4000,
               date.toString(QStringLiteral("dd/MM/yyyy")), false, 8);
    pied.texte(QStringLiteral("l_page"), 6397, 100, 4000, QStringLiteral("Page {page} / {pages}"),
               false, 8);
    pied.elements.last().aDroite = true;
    return pied;
}

const QList<PageRapport>& QtRapport::pages() const {
    if (!m_misEnPage)
        calculerPages(nullptr);
    return m_pages;
}

bool QtRapport::mettreEnPage() const {
    if (m_misEnPage)
        return true;
    ProgressionPortee attente(QStringLiteral("Mise en page du rapport..."), int(details.size()) + 1,
                              ProgressionPortee::Annulation::Permise);
    return calculerPages(&attente);
}

bool QtRapport::calculerPages(ProgressionPortee* attente) const {
    m_misEnPage = true;
    m_pages.clear();
    Q_ASSERT(twips(10) == marge);

    BandeMesuree tete =
        mesurer(enTete, enTete.nom.isEmpty() ? QStringLiteral("en-tête") : enTete.nom);
    // The footer's height does not depend on the page numbers it shows.
    const QString nomPied = piedPage.nom.isEmpty() ? QStringLiteral("pied") : piedPage.nom;
    const int hauteurPied = mesurer(piedPage, nomPied).hauteur;
    const int basDetails = hauteurUtile - hauteurPied;
    // A header taller than its room (two thirds of the page above the
    // footer) is cut there: the details always keep the last third.
    const int hauteurMaxTete = basDetails * 2 / 3;
    if (tete.hauteur > hauteurMaxTete)
        couperBande(tete, hauteurMaxTete);

    // Measuring the bands is the long part: the progress follows it.
    constexpr int bandesParPas = 50;
    QList<BandeMesuree> bandes;
    for (int i = 0; i < details.size(); ++i) {
        bandes.push_back(
            mesurer(details.at(i), details.at(i).nom + QLatin1Char(' ') + QString::number(i + 1)));
        if (attente && (i + 1) % bandesParPas == 0) {
            attente->avancer(bandesParPas);
            if (attente->annulee()) {
                m_misEnPage = false;
                return false;
            }
        }
    }

    auto nouvellePage = [&]() {
        m_pages.push_back({});
        poser(m_pages.last(), tete, 0);
        return tete.hauteur;
    };
    const int pleinePage = basDetails - tete.hauteur;
    int y = nouvellePage();
    for (int i = 0; i < bandes.size(); ++i) {
        int besoin = bandes.at(i).hauteur;
        // A heading goes to the next page with the band after it.
        for (int j = i; j + 1 < bandes.size() && details.at(j).garderAvecSuivante; ++j)
            besoin += bandes.at(j + 1).hauteur;
        BandeMesuree b = bandes.at(i);
        const bool pageVide = y == tete.hauteur;
        const bool plusHauteQuUnePage = b.hauteur > pleinePage;
        if (y + besoin > basDetails && !pageVide && !plusHauteQuUnePage)
            y = nouvellePage();
        // A band taller than a whole page is cut between its lines: what fits
        // stays on this page, the rest goes on the next ones.
        while (pleinePage > 0 && b.hauteur > basDetails - y && b.hauteur > pleinePage) {
            const int coupe = basDetails - y;
            // The next page takes up from the first item that does not fit.
            int reprise = b.hauteur;
            for (const ElementPlace& e : b.elements)
                if (e.haut + hauteurElement(e) > coupe)
                    reprise = std::min(reprise, e.haut);
            if (reprise == 0 && y == tete.hauteur)
                break; // not even one line fits on a page
            BandeMesuree ici, reste;
            for (ElementPlace e : b.elements) {
                if (e.haut + hauteurElement(e) <= coupe) {
                    ici.elements.push_back(e);
                } else {
                    e.haut -= reprise;
                    reste.elements.push_back(e);
                }
            }
            reste.hauteur = b.hauteur - reprise;
            poser(m_pages.last(), ici, y);
            y = nouvellePage();
            b = reste;
        }
        poser(m_pages.last(), b, y);
        y += b.hauteur;
    }

    const int total = m_pages.size();
    for (int n = 0; n < total; ++n) {
        BandeRapport pied = piedPage;
        for (ElementRapport& e : pied.elements)
            e.texte = QString(e.texte)
                          .replace(QStringLiteral("{pages}"), QString::number(total))
                          .replace(QStringLiteral("{page}"), QString::number(n + 1));
        poser(m_pages[n], mesurer(pied, nomPied), basDetails);
    }
    return true;
}

QString QtRapport::description() const {
    QString d;
    const QList<PageRapport>& ps = pages();
    for (int n = 0; n < ps.size(); ++n) {
        d += QStringLiteral("page %1 / %2\n").arg(n + 1).arg(ps.size());
        for (const ElementPlace& e : ps.at(n).elements) {
            d += QStringLiteral("  %1 | %2 | (%3, %4) | ")
                     .arg(e.bande, e.nom)
                     .arg(e.gauche)
                     .arg(e.haut);
            if (e.genre == ElementRapport::Genre::Trait)
                d += QStringLiteral("longueur %1\n").arg(e.largeur);
            else
                d += QStringLiteral("« %1 »\n").arg(e.texte);
        }
    }
    return d;
}

int QtRapport::peindre(QPagedPaintDevice* cible, bool annulable) const {
    cible->setPageLayout(miseEnPage());
    QPainter p;
    if (!p.begin(cible))
        return 0;
    const QList<PageRapport>& ps = pages();
    std::optional<ProgressionPortee> attente;
    if (annulable)
        attente.emplace(QStringLiteral("Enregistrement du PDF..."), int(ps.size()),
                        ProgressionPortee::Annulation::Permise);
    // The painter starts at the printable area's corner; one unit is one twip.
    p.scale(cible->logicalDpiX() / qreal(twipsParPouce),
            cible->logicalDpiY() / qreal(twipsParPouce));
    // The font of the last text drawn, kept while the next texts use it.
    struct Police {
        Police(qreal pts, bool g)
            : points(pts), gras(g), f(policeTwips(pts, g)), m(mesures(pts, g)) {}
        qreal points;
        bool gras;
        QFont f;
        const QFontMetricsF& m;
    };
    std::optional<Police> courante;
    QPen trait(Qt::black);
    trait.setWidth(15);
    for (int n = 0; n < ps.size(); ++n) {
        if (attente) {
            attente->avancer(1);
            if (attente->annulee()) {
                p.end();
                return -1;
            }
        }
        if (n > 0)
            cible->newPage();
        for (const ElementPlace& e : ps.at(n).elements) {
            if (e.genre == ElementRapport::Genre::Trait) {
                p.setPen(trait);
                p.drawLine(e.gauche, e.haut, e.gauche + e.largeur, e.haut);
                continue;
            }
            p.setPen(Qt::black);
            if (!courante || courante->points != e.points || courante->gras != e.gras) {
                courante.emplace(e.points, e.gras);
                p.setFont(courante->f);
            }
            qreal x = e.gauche;
            if (e.aDroite)
                x += e.largeur - courante->m.horizontalAdvance(e.texte);
            p.drawText(QPointF(x, e.haut + courante->m.ascent()), e.texte);
        }
    }
    p.end();
    return ps.size();
}

bool QtRapport::enregistrerPdf(const QString& chemin, QString* erreur, bool annulable) const {
    QSaveFile fichier(chemin);
    auto echec = [&](const QString& raison) {
        fichier.cancelWriting();
        if (erreur)
            *erreur =
                QStringLiteral("Le fichier PDF « %1 » n'a pas pu être enregistré : %2")
                    .arg(QDir::toNativeSeparators(QFileInfo(chemin).absoluteFilePath()), raison);
        return false;
    };
    const QFileInfo info(chemin);
    if (info.isDir())
        return echec(QStringLiteral("ce nom est celui d'un dossier."));
    if (!info.absoluteDir().exists())
        return echec(QStringLiteral("le dossier « %1 » n'existe pas.")
                         .arg(QDir::toNativeSeparators(info.absolutePath())));
    if (!fichier.open(QIODevice::WriteOnly))
        return echec(QStringLiteral("l'écriture dans ce dossier est refusée."));
    {
        QPdfWriter pdf(&fichier);
        pdf.setTitle(titre);
        pdf.setCreator(QStringLiteral("Tarvenor"));
        pdf.setResolution(1200);
        const int peintes = peindre(&pdf, annulable);
        if (peintes < 0) {
            fichier.cancelWriting();
            if (erreur)
                erreur->clear();
            return false;
        }
        if (peintes == 0)
            return echec(QStringLiteral("le document n'a pas pu être dessiné."));
    }
    if (!fichier.commit())
        return echec(QStringLiteral("l'écriture du fichier a échoué (disque plein ou protégé ?)."));
    return true;
}

ResultatImpression imprimerRapport(const QtRapport& rapport) {
    ResultatImpression r;
    const ChoixImprimante choix = choisirImprimante();
    if (choix.nom.isEmpty())
        return r;
    r.imprimante = choix.nom;
    r.parDefaut = choix.parDefaut;
    IImprimantes* imprimantes = imprimantesInstallees();
    QPrinter imprimante(QPrinter::HighResolution);
    const QString fichier = imprimantes->redirection(choix.nom);
    if (fichier.isEmpty()) {
        imprimante.setPrinterName(choix.nom);
    } else {
        imprimante.setOutputFormat(QPrinter::PdfFormat);
        imprimante.setOutputFileName(fichier);
    }
    imprimante.setDocName(rapport.titre);
    imprimante.setFullPage(false);
    r.pages = rapport.peindre(&imprimante);
    r.imprime = r.pages > 0;
    if (r.imprime)
        imprimantes->travailEnvoye(choix.nom, rapport.titre, r.pages);
    return r;
}
