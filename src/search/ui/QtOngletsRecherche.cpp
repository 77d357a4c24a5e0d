#include "QtOngletsRecherche.h"

#include "ctr_Hier.h"
#include "ctr_motCle.h"
#include "ctr_site.h"

#include <QFrame>
#include <QLineEdit>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

namespace {
template <typename T> T* panneauDans(QFrame* cadre, const char* nom) {
    auto* p = new T(cadre);
    p->setObjectName(QString::fromLatin1(nom));
    auto* l = new QVBoxLayout(cadre);
    l->setContentsMargins(4, 4, 4, 4);
    l->addWidget(p);
    return p;
}
} // namespace

OngletsRecherche creerOngletsRecherche(QWidget* parent, const QStringList& titres,
                                       const QString& nomOnglets, const QString& prefixeCadres) {
    OngletsRecherche o;
    o.cote = new QWidget(parent);
    o.onglets = new QTabBar(o.cote);
    o.onglets->setObjectName(nomOnglets);
    o.onglets->setExpanding(false);
    for (const QString& titre : titres)
        o.onglets->addTab(titre);
    const QStringList bulles = {QStringLiteral("Recherche par mot clé"),
                                QStringLiteral("Recherche par site anatomique"),
                                QStringLiteral("Recherche hiérarchique")};
    for (int i = 0; i < bulles.size() && i < titres.size(); ++i)
        o.onglets->setTabToolTip(i, bulles.at(i));

    auto* pile = new QVBoxLayout(o.cote);
    pile->setContentsMargins(0, 0, 0, 0);
    pile->setSpacing(0);
    pile->addWidget(o.onglets);
    for (int i = 0; i < titres.size(); ++i) {
        auto* cadre = new QFrame(o.cote);
        cadre->setObjectName(prefixeCadres + QStringLiteral("_%1").arg(i));
        cadre->setFrameShape(QFrame::StyledPanel);
        cadre->setVisible(false);
        pile->addWidget(cadre, 1);
        o.cadres << cadre;
    }
    o.motCle = panneauDans<ctr_motCle>(o.cadres.at(0), "ctr_motCle1");
    o.site = panneauDans<ctr_site>(o.cadres.at(1), "ctr_site1");
    o.hier = panneauDans<ctr_Hier>(o.cadres.at(2), "ctr_Hier1");
    return o;
}

void montrerCadre(const QList<QFrame*>& cadres, int index) {
    for (int i = 0; i < cadres.size(); ++i)
        cadres.at(i)->setVisible(i == index);
}

bool allerAuMotCle(QWidget* fenetre) {
    auto* motCle = fenetre->findChild<ctr_motCle*>(QStringLiteral("ctr_motCle1"));
    if (!motCle || !motCle->parentWidget() || !motCle->parentWidget()->parentWidget())
        return false;
    // The panel lies in the first frame, beside the strip, under the side.
    QWidget* cote = motCle->parentWidget()->parentWidget();
    if (auto* onglets = cote->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly))
        onglets->setCurrentIndex(0);
    motCle->t_motCle->setFocus(Qt::ShortcutFocusReason);
    motCle->t_motCle->selectAll();
    return true;
}

int lirePartRecherche(const QString& texte) {
    bool ok = false;
    const int part = texte.trimmed().toInt(&ok);
    return ok && part >= 100 && part <= 900 ? part : partRechercheDefaut;
}

QSplitter* creerSeparation(QWidget* parent, QWidget* recherche, QWidget* details,
                           Parametres::Cle cle) {
    auto* separation = new QSplitter(Qt::Horizontal, parent);
    separation->setObjectName(QStringLiteral("separation"));
    separation->setChildrenCollapsible(false);
    separation->addWidget(recherche);
    separation->addWidget(details);
    // Both sides take their share of a wider window.
    separation->setStretchFactor(0, 1);
    separation->setStretchFactor(1, 1);
    // Sizes in thousandths: the splitter spreads its width in that proportion.
    const int part = lirePartRecherche(Parametres::lire(cle));
    separation->setSizes({part, 1000 - part});
    QObject::connect(separation, &QSplitter::splitterMoved, separation, [separation, cle] {
        const QList<int> tailles = separation->sizes();
        const int total = tailles.value(0) + tailles.value(1);
        if (total > 0)
            Parametres::ecrire(cle, QString::number(qRound(1000.0 * tailles.value(0) / total)));
    });
    return separation;
}
