#include "PlacementFenetre.h"

#include <algorithm>
#include <cmath>

namespace {
// Beyond this a value is no placement (a million pixels).
constexpr double twipsMaximum = 1.0e6 * twipsParPixel;

int enPixels(double twips) {
    return int(std::lround(twips / twipsParPixel));
}

QRect ecranPrincipal(const QList<QRect>& ecrans) {
    for (const QRect& e : ecrans)
        if (e.isValid())
            return e;
    return QRect(0, 0, 1024, 768);
}

// The screen a rectangle overlaps most; the primary one when it overlaps none.
QRect ecranDe(const QRect& r, const QList<QRect>& ecrans) {
    QRect meilleur = ecranPrincipal(ecrans);
    qint64 surface = 0;
    for (const QRect& e : ecrans) {
        const QRect commun = e.intersected(r);
        const qint64 s = qint64(commun.width()) * commun.height();
        if (e.isValid() && s > surface) {
            surface = s;
            meilleur = e;
        }
    }
    return meilleur;
}

QRect centre(QSize taille, const QRect& ecran) {
    QRect r(QPoint(0, 0), taille);
    r.moveCenter(ecran.center());
    return r;
}
} // namespace

std::optional<double> lireTwipsTexte(const QString& texte) {
    bool ok = false;
    // Values written with a decimal comma (French regional settings) too.
    const double v =
        QString(texte).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > twipsMaximum)
        return std::nullopt;
    return v;
}

Placement placementFenetre(const PlacementSauve& sauve, const QList<QRect>& ecrans, QSize minimum) {
    const std::optional<double> largeur = lireTwipsTexte(sauve.largeur);
    const std::optional<double> hauteur = lireTwipsTexte(sauve.hauteur);
    const bool tailleSauvee =
        largeur && hauteur && enPixels(*largeur) > 0 && enPixels(*hauteur) > 0;

    Placement p;
    if (!tailleSauvee) {
        const QRect ecran = ecranPrincipal(ecrans);
        QSize taille = ecran.size() * partEcranPremierLancement / 100;
        taille = taille.expandedTo(minimum).boundedTo(ecran.size());
        p.geometrie = centre(taille, ecran);
        p.maximisee = ecran.width() < largeurEcranMaximise;
        return p;
    }

    const std::optional<double> gauche = lireTwipsTexte(sauve.gauche);
    const std::optional<double> haut = lireTwipsTexte(sauve.haut);
    QSize taille(enPixels(*largeur), enPixels(*hauteur));
    const bool coinSauve = gauche && haut;
    // Where the saved window stood, to find its screen.
    const QRect voulu = coinSauve ? QRect(QPoint(enPixels(*gauche), enPixels(*haut)), taille)
                                  : centre(taille, ecranPrincipal(ecrans));
    const QRect ecran = ecranDe(voulu, ecrans);
    taille = taille.expandedTo(minimum).boundedTo(ecran.size());
    if (!coinSauve) {
        p.geometrie = centre(taille, ecran);
        return p;
    }
    const int x = std::clamp(voulu.left(), ecran.left(), ecran.right() + 1 - taille.width());
    const int y = std::clamp(voulu.top(), ecran.top(), ecran.bottom() + 1 - taille.height());
    p.geometrie = QRect(QPoint(x, y), taille);
    return p;
}
