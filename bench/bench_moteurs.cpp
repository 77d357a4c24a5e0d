// The data layer's backends side by side, in one run, through the program's
// own repositories: getActe (one act, all its rows), the two-word label
// search of the keyword panel as users get it (narrowed by the label index
// on a file, the trigram indexes on a server), beside its floor from the
// same run (PlancherRecherche.h), and the seven detail texts of an act.
//
// Usage: bench_moteurs [BASE...]
//   Always measured: a temporary SQLite file holding the national V81
//   (TARVENOR_CCAM_DIR, loaded by the importer). Each BASE given (a file, or
//   a server database's address once the data layer reaches one) is
//   measured the same way; it must already hold a classification
//   (tarvenor_import TABLEUR BASE).
// Figures are wall-clock times per call (median, 99th percentile), so a
// server's round trips count.

#include "AccesDonnees.h"
#include "Data.h"
#include "DetailsActe.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Messages.h"
#include "PlancherRecherche.h"
#include "RechercheMotCle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Mesure {
    double p50 = 0, p99 = 0;
    int n = 0;
};

Mesure resumer(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t[std::min(t.size() - 1, t.size() * 99 / 100)], int(t.size())};
}

double msDe(const std::function<void()>& fn) {
    QElapsedTimer chrono;
    chrono.start();
    fn();
    return chrono.nsecsElapsed() / 1e6;
}

Mesure mesurer(int n, const std::function<void(int)>& fn) {
    std::vector<double> t;
    t.reserve(n);
    for (int i = 0; i < n; ++i)
        t.push_back(msDe([&] { fn(i); }));
    return resumer(std::move(t));
}

QStringList colonne(const RecordsetPtr& rs) {
    QStringList l;
    for (int i = 0; rs && i < rs->RecordCount(); ++i)
        l << rs->valeurLigne(i, 0).toString();
    return l;
}

// Two words of a label, as a user types them.
const QStringList recherches{
    QStringLiteral("fracture femur"),      QStringLiteral("exerese lesion"),
    QStringLiteral("biopsie foie"),        QStringLiteral("ablation rein"),
    QStringLiteral("suture plaie"),        QStringLiteral("prothese genou"),
    QStringLiteral("drainage abces"),      QStringLiteral("reduction luxation"),
    QStringLiteral("coelioscopie ovaire"), QStringLiteral("echographie coeur"),
};

void mesurerBase(const QString& nom, const QString& base) {
    cheminBase = base;
    MessagesScriptes messages; // a failing read is counted, not shown
    const RecordsetPtr rs =
        accesDonnees.executSQL(QStringLiteral("SELECT DISTINCT AMCODE FROM CCAM ORDER BY AMCODE"));
    QStringList codes = colonne(rs);
    if (codes.isEmpty()) {
        std::printf("%-10s : aucune classification lue (%s)\n", qUtf8Printable(nom),
                    qUtf8Printable(messages.textes().join(QLatin1Char(' '))));
        return;
    }
    // Every 16th code: acts of every chapter.
    QStringList echantillon;
    for (int i = 0; i < codes.size(); i += 16)
        echantillon << codes.at(i);
    accesDonnees.getActe(echantillon.first()); // the connection opened

    const Mesure acte =
        mesurer(int(echantillon.size()), [&](int i) { accesDonnees.getActe(echantillon.at(i)); });
    // The search and its floor one after the other, in the same conditions.
    int trouves = 0, trouvesPlancher = 0;
    PlancherRecherche plancher(base);
    std::vector<double> tempsRecherche, tempsPlancher;
    for (int i = 0; i < int(recherches.size()) * 5; ++i) {
        const QString& saisie = recherches.at(i % recherches.size());
        tempsRecherche.push_back(msDe([&] {
            const RecordsetPtr r =
                RechercheMotCle::rechercher(RechercheMotCle::motsCles(saisie), false);
            trouves += r ? r->RecordCount() : 0;
        }));
        tempsPlancher.push_back(msDe([&] { trouvesPlancher += plancher.executer(saisie); }));
    }
    const Mesure recherche = resumer(tempsRecherche);
    const Mesure nu = resumer(tempsPlancher);
    const int nDetails = std::min<int>(200, int(echantillon.size()));
    const Mesure details = mesurer(nDetails, [&](int i) {
        const RecordsetPtr a = accesDonnees.getActe(echantillon.at(i));
        for (qint16 s = SectionHonoraires; s <= SectionExoneration; ++s)
            texteDetailsActe(a, s);
    });
    std::printf("%-10s : %lld actes (%lld échantillonnés)\n", qUtf8Printable(nom),
                static_cast<long long>(codes.size()), static_cast<long long>(echantillon.size()));
    std::printf("  getActe                    médiane %7.3f ms   p99 %7.3f ms   (%d appels)\n",
                acte.p50, acte.p99, acte.n);
    std::printf("  recherche de deux mots     médiane %7.3f ms   p99 %7.3f ms   (%d appels, "
                "%d lignes en tout)\n",
                recherche.p50, recherche.p99, recherche.n, trouves);
    std::printf("    plancher : %-26s médiane %7.3f ms   p99 %7.3f ms   (%d lignes en tout) ; "
                "rapport des médianes %.2f\n",
                plancher.description(), nu.p50, nu.p99, trouvesPlancher, recherche.p50 / nu.p50);
    std::printf("  sept textes de détails     médiane %7.3f ms   p99 %7.3f ms   (%d actes, "
                "getActe compris)\n",
                details.p50, details.p99, details.n);
    if (!messages.journal().empty())
        std::printf("  erreurs : %zu (%s)\n", messages.journal().size(),
                    qUtf8Printable(messages.textes().first()));
    Data::fermerConnexions();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList autres = app.arguments().mid(1);

    const QDir ccam(QStringLiteral(TARVENOR_CCAM_DIR));
    const QString tableur = ccam.filePath(QStringLiteral("ccam_v81.csv"));
    if (!QFileInfo::exists(tableur)) {
        std::fprintf(stderr, "Tableur national absent : %s\n", qUtf8Printable(tableur));
        return 1;
    }
    QTemporaryDir dossier;
    const QString fichier = QDir(dossier.path()).filePath(QStringLiteral("v81.mdb"));
    try {
        ImportCcam import(tableur, ccam.absolutePath());
        import.charger(fichier);
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return 1;
    }
    std::printf("CCAM V81 chargée dans un fichier SQLite temporaire.\n");

    mesurerBase(QStringLiteral("SQLite"), fichier);
    for (const QString& base : autres)
        mesurerBase(base.section(QLatin1Char(':'), 0, 0) == base ? QStringLiteral("fichier")
                                                                 : base.section(u':', 0, 0),
                    base);
    return 0;
}
