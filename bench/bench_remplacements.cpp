// The acts to replace after a new CCAM version: the demonstration database
// with the national V81 loaded over it (its 53 invented acts retired), plus a
// synthetic unit of 200 categories holding 100 retired acts among acts of
// V81. Times the proposals for the 100 retired acts, and the drawing of the
// unit tree with the retired acts against the same tree read the way it was
// before (acts of the loaded version only: the floor of this run). Prints a
// few proposals to read.

#include "ActesARemplacer.h"
#include "BaseDemonstration.h"
#include "Data.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianeMs(int n, const std::function<void()>& fn) {
    std::vector<double> t;
    QElapsedTimer chrono;
    for (int i = 0; i < n; ++i) {
        chrono.start();
        fn();
        t.push_back(chrono.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

QStringList colonne(const QString& sql) {
    QStringList l;
    RecordsetPtr rs = Data().CreeRecordset(sql);
    for (int i = 0; i < rs->RecordCount(); ++i)
        l << rs->valeurLigne(i, 0).toString();
    return l;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QDir ccam(QStringLiteral(TARVENOR_CCAM_DIR));
    const QString tableur = ccam.filePath(QStringLiteral("ccam_v81.csv"));
    if (!QFileInfo::exists(tableur)) {
        std::printf("bench_remplacements : %s absent, mesure sautée.\n", qUtf8Printable(tableur));
        return 0;
    }
    QTemporaryDir dossier;
    cheminBase = dossier.filePath(QStringLiteral("BD.mdb"));
    creerBaseDemonstration(cheminBase);
    ImportCcam(tableur, ccam.absolutePath()).charger(cheminBase);

    // The synthetic unit: 200 categories of 20 acts, one act in 40 retired
    // (the 53 retired codes, again), 100 in all.
    const QStringList retires = colonne(QStringLiteral("SELECT AMCODE FROM Actes_Retires ORDER "
                                                       "BY AMCODE"));
    const QStringList presents = colonne(QStringLiteral("SELECT DISTINCT AMCODE FROM CCAM ORDER "
                                                        "BY AMCODE"));
    {
        ConnexionPtr c = Data().CreeConnexion();
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('BENCH', "
                                  "'Unité de mesure')"));
        int retire = 0;
        for (int cat = 0; cat < 200; ++cat) {
            const long code = adCCAM::insererCatAndGetCode(
                *c, QStringLiteral("BENCH"),
                QStringLiteral("Catégorie %1").arg(cat, 3, 10, QChar('0')), 1);
            for (int a = 0; a < 20; ++a) {
                const int n = cat * 20 + a;
                const QString acte = n % 40 == 0 ? retires.at(retire++ % retires.size())
                                                 : presents.at((n * 7) % presents.size());
                c->Execute(adCCAM::sqlInsererActeTheserus(code, acte, QString(), QString()));
            }
        }
        t.valider();
    }

    QList<ActeARemplacer> liste;
    const double proposition =
        medianeMs(5, [&] { liste = actesARemplacer(1, QStringLiteral("BENCH")); });
    std::printf("Actes à remplacer de l'unité : %lld, avec leurs propositions : %.1f ms "
                "(objectif 1000 ms)\n",
                static_cast<long long>(liste.size()), proposition);
    const double tous = medianeMs(5, [&] { liste = actesARemplacer(0, QString()); });
    std::printf("Actes à remplacer de toutes les unités et de tous les médecins : %lld, %.1f ms\n",
                static_cast<long long>(liste.size()), tous);

    // The tree with the retired acts, and the floor: the same categories
    // read as before, acts of the loaded version only.
    const double arbre = medianeMs(9, [] { noeudsThesaurusUM(QStringLiteral("BENCH")); });
    const double plancher = medianeMs(9, [] {
        RecordsetPtr cats = accesCCAM.getCategoriesThesaurus(QStringLiteral("BENCH"), 1);
        for (int i = 0; i < cats->RecordCount(); ++i)
            accesCCAM.getActesCatTheserus(
                static_cast<long>(cats->valeurLigne(i, cats->indexChamp("CT_CODE")).toLongLong()));
    });
    std::printf("Arbre de l'unité (200 catégories, 4000 actes) : %.1f ms ; lu comme avant, sans "
                "les actes retirés : %.1f ms (x%.2f, objectif 1,2)\n",
                arbre, plancher, arbre / plancher);

    std::printf("\nPropositions pour les actes retirés de la démonstration :\n");
    for (const ActeARemplacer& a : actesARemplacer(2, QStringLiteral("CMARTIN"))) {
        std::printf("%s %s\n", qUtf8Printable(a.code), qUtf8Printable(a.libelle));
        for (const PropositionRemplacement& p : a.propositions)
            std::printf("    %.2f %s %s\n", p.score, qUtf8Printable(p.code),
                        qUtf8Printable(p.libelle));
    }
    Data::fermerConnexions();
    return 0;
}
