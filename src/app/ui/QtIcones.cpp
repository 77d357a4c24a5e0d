#include "QtIcones.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
constexpr int taille = 32;

const QColor encre(40, 40, 40);
const QColor bleu(36, 99, 171);
const QColor vert(46, 139, 61);

QPen plume(const QColor& c, qreal epaisseur = 2.0) {
    return QPen(c, epaisseur, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void dessinerImprimante(QPainter& p) {
    p.setPen(plume(encre, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 9)); // paper going in
    p.setBrush(QColor(170, 176, 186));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2); // body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 19, 16, 10)); // printed sheet
    p.setPen(plume(encre, 1));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(19, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(vert);
    p.drawEllipse(QPointF(25, 15.5), 1.5, 1.5);
}

void dessinerExport(QPainter& p) {
    // A sheet with a blue arrow leaving it to the right.
    p.setPen(plume(encre, 1.5));
    p.setBrush(Qt::white);
    QPainterPath feuille;
    feuille.moveTo(5, 3);
    feuille.lineTo(17, 3);
    feuille.lineTo(22, 8);
    feuille.lineTo(22, 29);
    feuille.lineTo(5, 29);
    feuille.closeSubpath();
    p.drawPath(feuille);
    p.setPen(plume(encre, 1));
    for (int y = 12; y <= 24; y += 4)
        p.drawLine(QPointF(8, y), QPointF(16, y));
    p.setPen(plume(bleu, 3));
    p.drawLine(QPointF(14, 18), QPointF(28, 18));
    p.drawLine(QPointF(23, 13), QPointF(28, 18));
    p.drawLine(QPointF(23, 23), QPointF(28, 18));
}

void dessinerPanier(QPainter& p) {
    // The basket of selected acts.
    p.setPen(plume(encre, 1.5));
    p.setBrush(QColor(222, 174, 96));
    QPainterPath corbeille;
    corbeille.moveTo(3, 13);
    corbeille.lineTo(29, 13);
    corbeille.lineTo(25, 28);
    corbeille.lineTo(7, 28);
    corbeille.closeSubpath();
    p.drawPath(corbeille);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9, 3, 14, 18), 0, 180 * 16);
    p.setPen(plume(encre, 1));
    for (int x = 11; x <= 21; x += 5)
        p.drawLine(QPointF(x, 16), QPointF(x - 0.5 + (x - 16) * 0.1, 25));
}

void dessinerSelectionner(QPainter& p) {
    // A sheet with a green tick: take this act.
    p.setPen(plume(encre, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 3, 18, 24));
    p.setPen(plume(encre, 1));
    for (int y = 8; y <= 20; y += 4)
        p.drawLine(QPointF(7, y), QPointF(18, y));
    p.setPen(plume(vert, 4));
    p.drawLine(QPointF(14, 20), QPointF(19, 26));
    p.drawLine(QPointF(19, 26), QPointF(29, 12));
}

void dessinerRetour(QPainter& p) {
    // A curved arrow going back to the left.
    p.setPen(plume(bleu, 3.5));
    p.setBrush(Qt::NoBrush);
    QPainterPath arc;
    arc.moveTo(8, 12);
    arc.lineTo(20, 12);
    arc.cubicTo(29, 12, 29, 27, 20, 27);
    arc.lineTo(12, 27);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(bleu);
    QPainterPath pointe;
    pointe.moveTo(2, 12);
    pointe.lineTo(11, 5);
    pointe.lineTo(11, 19);
    pointe.closeSubpath();
    p.drawPath(pointe);
}
} // namespace

QIcon iconeBarreOutils(const QString& cle) {
    void (*dessin)(QPainter&) = nullptr;
    if (cle == QLatin1String("i_imprimer"))
        dessin = dessinerImprimante;
    else if (cle == QLatin1String("i_export"))
        dessin = dessinerExport;
    else if (cle == QLatin1String("i_selection"))
        dessin = dessinerPanier;
    else if (cle == QLatin1String("i_selectionner2"))
        dessin = dessinerSelectionner;
    else if (cle == QLatin1String("i_retour"))
        dessin = dessinerRetour;
    if (!dessin)
        return {};
    QPixmap image(taille, taille);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    dessin(p);
    p.end();
    return QIcon(image);
}
