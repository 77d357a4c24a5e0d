#include "ActesARemplacer.h"

#include "ClassificationCcam.h"
#include "Data.h"
#include "DataError.h"
#include "EchangeThesaurus.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "VersionsCcam.h"
#include "adCCAM.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString TAB = QStringLiteral("\t");
const QString CRLF = QStringLiteral("\r\n");

// The words of a label that tell acts apart: its search form's words,
// without the plural "s" or "x", leaving out words of one or two letters and
// the tool words of the classification's labels.
QSet<QString> motsSignificatifs(const QString& libelle) {
    static const QSet<QString> outils{
        QStringLiteral("par"),  QStringLiteral("des"),  QStringLiteral("les"),
        QStringLiteral("une"),  QStringLiteral("avec"), QStringLiteral("sans"),
        QStringLiteral("pour"), QStringLiteral("dans"), QStringLiteral("sur"),
        QStringLiteral("aux"),  QStringLiteral("voie"), QStringLiteral("plus")};
    QSet<QString> mots;
    for (QString mot : libelleSimplifie(libelle).split(u' ', Qt::SkipEmptyParts)) {
        if (mot.size() <= 2 || outils.contains(mot))
            continue;
        if (mot.size() > 4 && (mot.endsWith(u's') || mot.endsWith(u'x')))
            mot.chop(1);
        mots.insert(mot);
    }
    return mots;
}

QString texteChamp(const RecordsetPtr& rs, int ligne, int colonne) {
    return rs->valeurLigne(ligne, colonne).toString();
}

// "code - label" of every unit (1) and doctor (2), for the owner column.
QHash<QString, QString> libellesProprietaires() {
    QHash<QString, QString> l;
    if (RecordsetPtr um = depotLire(QStringLiteral("SELECT UM_Code, UM_LIB FROM UniteMedicale")))
        for (int i = 0; i < um->RecordCount(); ++i)
            l.insert(QStringLiteral("1:") + texteChamp(um, i, 0),
                     codeEtLibelle(texteChamp(um, i, 0), texteChamp(um, i, 1)));
    if (RecordsetPtr med = depotLire(QStringLiteral("SELECT MED_CODE, MED_LIB FROM Medecin")))
        for (int i = 0; i < med->RecordCount(); ++i)
            l.insert(QStringLiteral("2:") + texteChamp(med, i, 0),
                     codeEtLibelle(texteChamp(med, i, 0), texteChamp(med, i, 1)));
    return l;
}

QString litteral(const QString& texte) {
    return QLatin1Char('\'') + doublerQuotes(texte) + QLatin1Char('\'');
}

} // namespace

// ---------------------------------------------------------------- proposals

struct ProposeurRemplacements::Index {
    struct Candidat {
        QString code, libelle, positionH;
        double poids = 0; // the weight of its words
    };
    std::vector<Candidat> actes;
    QHash<QString, std::vector<int>> parMot; // word -> candidates holding it
    QHash<QString, double> poids;            // word -> weight (rarer, heavier)
    double poidsInconnu = 1;                 // a word no label of this version has
};

ProposeurRemplacements::ProposeurRemplacements() : m_index(std::make_unique<Index>()) {
    RecordsetPtr rs;
    try {
        rs = Data().CreeRecordset(QStringLiteral("SELECT AMCODE, max(Libelle_Complet), "
                                                 "max(PositionH) FROM CCAM GROUP BY AMCODE"));
    } catch (const DataError& e) {
        signalerErreurDepot(e.description());
        return;
    }
    Index& x = *m_index;
    std::vector<QSet<QString>> mots;
    for (int i = 0; i < rs->RecordCount(); ++i) {
        x.actes.push_back({texteChamp(rs, i, 0), texteChamp(rs, i, 1), texteChamp(rs, i, 2), 0});
        mots.push_back(motsSignificatifs(x.actes.back().libelle));
        for (const QString& m : mots.back())
            x.parMot[m].push_back(i);
    }
    const double n = static_cast<double>(x.actes.size());
    for (auto it = x.parMot.cbegin(); it != x.parMot.cend(); ++it)
        x.poids.insert(it.key(), std::log(1 + n / static_cast<double>(it.value().size())));
    x.poidsInconnu = std::log(1 + n);
    for (size_t i = 0; i < x.actes.size(); ++i)
        for (const QString& m : mots[i])
            x.actes[i].poids += x.poids.value(m);
}

ProposeurRemplacements::~ProposeurRemplacements() = default;

int ProposeurRemplacements::nombreActes() const {
    return static_cast<int>(m_index->actes.size());
}

QList<PropositionRemplacement> ProposeurRemplacements::proposer(const QString& libelle,
                                                                const QString& code,
                                                                const QString& positionH,
                                                                int n) const {
    const Index& x = *m_index;
    const QSet<QString> mots = motsSignificatifs(libelle);
    double poidsLibelle = 0;
    QHash<int, double> communs; // candidate -> weight of the words it shares
    for (const QString& m : mots) {
        const auto it = x.parMot.constFind(m);
        if (it == x.parMot.cend()) {
            poidsLibelle += x.poidsInconnu;
            continue;
        }
        const double p = x.poids.value(m);
        poidsLibelle += p;
        for (int i : it.value())
            communs[i] += p;
    }
    struct Score {
        int acte;
        double valeur;
    };
    std::vector<Score> scores;
    scores.reserve(communs.size());
    for (auto it = communs.cbegin(); it != communs.cend(); ++it) {
        const auto& c = x.actes[static_cast<size_t>(it.key())];
        // Weighted Dice: the shared words' weight over both labels' weight,
        // so that a candidate with many words of its own comes after a
        // closer one.
        double valeur = 2 * it.value() / (poidsLibelle + c.poids);
        if (!code.isEmpty() && c.code.left(2) == code.left(2))
            valeur += 0.15;
        if (positionH.size() >= 6 && c.positionH.left(6) == positionH.left(6))
            valeur += 0.1;
        else if (positionH.size() >= 4 && c.positionH.left(4) == positionH.left(4))
            valeur += 0.05;
        scores.push_back({it.key(), valeur});
    }
    const auto meilleur = [&](const Score& a, const Score& b) {
        if (a.valeur != b.valeur)
            return a.valeur > b.valeur;
        return x.actes[static_cast<size_t>(a.acte)].code <
               x.actes[static_cast<size_t>(b.acte)].code;
    };
    const size_t garde = std::min(scores.size(), static_cast<size_t>(std::max(n, 0)));
    std::partial_sort(scores.begin(), scores.begin() + static_cast<std::ptrdiff_t>(garde),
                      scores.end(), meilleur);
    QList<PropositionRemplacement> r;
    for (size_t i = 0; i < garde; ++i) {
        const auto& c = x.actes[static_cast<size_t>(scores[i].acte)];
        r.push_back({c.code, c.libelle, scores[i].valeur});
    }
    return r;
}

// ---------------------------------------------------------------- the list

QList<ActeARemplacer> actesARemplacer(int typeProprietaire, const QString& proprietaire) {
    QList<ActeARemplacer> liste;
    const bool retraits = retraitsEnregistres();
    QString sql =
        QStringLiteral("SELECT DISTINCT CT_TYPE, CT_LIEN, CT_CODE, CT_LIB, AT_Acte, ") +
        (retraits ? QStringLiteral("Actes_Retires.Libelle, Actes_Retires.PositionH, "
                                   "Actes_Retires.Version_Retrait FROM (CategorieThesaurus INNER "
                                   "JOIN Acte_Thesaurus ON CategorieThesaurus.CT_CODE = "
                                   "Acte_Thesaurus.AT_CAT) LEFT JOIN Actes_Retires ON "
                                   "Acte_Thesaurus.AT_Acte = Actes_Retires.AMCODE")
                  : QStringLiteral("'', '', '' FROM CategorieThesaurus INNER JOIN Acte_Thesaurus "
                                   "ON CategorieThesaurus.CT_CODE = Acte_Thesaurus.AT_CAT")) +
        QStringLiteral(" WHERE AT_Acte NOT IN (SELECT AMCODE FROM CCAM)");
    if (typeProprietaire == 1 || typeProprietaire == 2)
        sql += QStringLiteral(" AND CT_TYPE = ") + QString::number(typeProprietaire) +
               QStringLiteral(" AND CT_LIEN = ") + litteral(proprietaire);
    sql += QStringLiteral(" ORDER BY CT_TYPE, CT_LIEN, CT_LIB, CT_CODE, AT_Acte");
    RecordsetPtr rs = depotLire(sql);
    if (!rs || rs->RecordCount() == 0)
        return liste;
    const QHash<QString, QString> proprietaires = libellesProprietaires();
    const ProposeurRemplacements proposeur;
    for (int i = 0; i < rs->RecordCount(); ++i) {
        ActeARemplacer a;
        a.typeProprietaire = rs->valeurLigne(i, 0).toInt();
        a.proprietaire = texteChamp(rs, i, 1);
        a.libelleProprietaire = proprietaires.value(
            QString::number(a.typeProprietaire) + u':' + a.proprietaire, a.proprietaire);
        a.categorie = static_cast<long>(rs->valeurLigne(i, 2).toLongLong());
        a.libelleCategorie = texteChamp(rs, i, 3);
        a.code = texteChamp(rs, i, 4);
        a.libelle = texteChamp(rs, i, 5);
        a.positionH = texteChamp(rs, i, 6);
        a.version = texteChamp(rs, i, 7);
        a.propositions = proposeur.proposer(a.libelle, a.code, a.positionH);
        liste.push_back(std::move(a));
    }
    return liste;
}

// ---------------------------------------------------------------- commands

namespace {

// Runs fn in one transaction on the category, once it is known to exist
// and its owner's thesaurus is locked against another writer.
template <typename F> Resultat dansLaCategorie(const ActeARemplacer& acte, F&& fn) {
    try {
        ConnexionPtr c = Data().CreeConnexion();
        Transaction transaction(*c);
        if (!adCCAM::verrouillerCategorie(*c, acte.categorie))
            return Resultat::refus(QStringLiteral("La catégorie « %1 » a été supprimée par un "
                                                  "autre utilisateur.")
                                       .arg(acte.libelleCategorie));
        Resultat r = fn(*c);
        if (r.estFait())
            transaction.valider();
        return r;
    } catch (const DataError& e) {
        return Resultat::refus(e.description(), QStringLiteral("ERREUR"), Icone::Aucune);
    }
}

QStringList colonneTexte(Connexion& c, const QString& sql) {
    QStringList l;
    RecordsetPtr rs = c.Ouvrir(sql);
    for (int i = 0; i < rs->RecordCount(); ++i)
        l << rs->valeurLigne(i, 0).toString();
    return l;
}

} // namespace

Resultat remplacerActeRetire(const ActeARemplacer& acte, const QString& nouveau) {
    const QString code = codeEnMajuscules(nouveau.trimmed());
    return dansLaCategorie(acte, [&](Connexion& c) {
        const QStringList activites =
            colonneTexte(c, QStringLiteral("SELECT DISTINCT Activite FROM CCAM WHERE AMCODE = ") +
                                litteral(code));
        if (activites.isEmpty())
            return Resultat::refus(QStringLiteral("L'acte ") + code +
                                   QStringLiteral(" n'existe pas dans la version de la CCAM "
                                                  "chargée."));
        const QStringList anciennes = colonneTexte(
            c, QStringLiteral("SELECT DISTINCT AT_ACTIVITE FROM Acte_Thesaurus WHERE AT_CAT = ") +
                   QString::number(acte.categorie) + QStringLiteral(" AND AT_Acte = ") +
                   litteral(acte.code));
        const bool dejaLa =
            c.Ouvrir(adCCAM::sqlActeExisteDansCat(code, acte.categorie))->RecordCount() > 0;
        c.Execute(adCCAM::sqlSuppActeTheserus(acte.categorie, acte.code));
        if (!dejaLa) {
            // The activities the act had that the new one has too; none
            // (like every other addition) when it has none of them.
            QStringList gardees;
            for (const QString& a : anciennes)
                if (activites.contains(a))
                    gardees << a;
            if (gardees.isEmpty())
                gardees << QString();
            for (const QString& a : gardees)
                c.Execute(adCCAM::sqlInsererActeTheserus(acte.categorie, code, a, QString()));
        }
        return Resultat::fait();
    });
}

Resultat retirerActeRetire(const ActeARemplacer& acte) {
    return dansLaCategorie(acte, [&](Connexion& c) {
        c.Execute(adCCAM::sqlSuppActeTheserus(acte.categorie, acte.code));
        return Resultat::fait();
    });
}

QString questionRemplacement(const ActeARemplacer& acte, const PropositionRemplacement& nouveau) {
    return QStringLiteral("Remplacer l'acte retiré %1 par l'acte %2 dans la catégorie « %3 » "
                          "(%4) ?")
        .arg(acte.code, codeEtLibelle(nouveau.code, nouveau.libelle), acte.libelleCategorie,
             acte.libelleProprietaire);
}

QString questionRetrait(const ActeARemplacer& acte) {
    return QStringLiteral("Supprimer l'acte retiré %1 de la catégorie « %2 » (%3) ?")
        .arg(acte.code, acte.libelleCategorie, acte.libelleProprietaire);
}

bool exporterActesARemplacer(const QList<ActeARemplacer>& actes, const QString& chemin) {
    QString texte = QStringLiteral("Actes à remplacer") + TAB +
                    QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")) + TAB +
                    versionCcamChargee() + CRLF;
    texte += QStringLiteral("Propriétaire") + TAB + QStringLiteral("Catégorie") + TAB +
             QStringLiteral("Code") + TAB + QStringLiteral("Libellé") + TAB +
             QStringLiteral("Retrait") + TAB + QStringLiteral("Propositions") + CRLF;
    for (const ActeARemplacer& a : actes) {
        QStringList propositions;
        for (const PropositionRemplacement& p : a.propositions)
            propositions << codeEtLibelle(p.code, p.libelle);
        texte += a.libelleProprietaire + TAB + a.libelleCategorie + TAB + a.code + TAB + a.libelle +
                 TAB + texteRetrait(a.version) + TAB + propositions.join(QStringLiteral(" ; ")) +
                 CRLF;
    }
    return ecrireFichierThesaurus(chemin, texte);
}
