// Time to load the national CCAM spreadsheet (version 81) into a new database
// and then into that same database again (replacing a version), with the
// reference tables, without and with the rule files of the CNAM base (the
// first is the floor of the second). Prints the figures; reads the shared
// CCAM folder.

#include "Data.h"
#include "ImportCcam.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// The reference tables of the CCAM folder without the CNAM base's rule files:
// the load as it was before them, the floor of this run.
QString referencesSansRegles(const QDir& ccam, const QTemporaryDir& dossier) {
    const QDir cible(dossier.filePath(QStringLiteral("references")));
    cible.mkpath(QStringLiteral("."));
    for (const QFileInfo& f : ccam.entryInfoList({QStringLiteral("*.csv")}, QDir::Files))
        if (!f.fileName().startsWith(QLatin1String("incompatibilites_v")) &&
            !f.fileName().startsWith(QLatin1String("phases_v")))
            QFile::copy(f.filePath(), cible.filePath(f.fileName()));
    return cible.path();
}

} // namespace

// Usage: bench_import [URI of an empty PostgreSQL database]. With a URI, the
// same loads are measured on the server too (the database is then left with
// the classification).
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QDir ccam(QStringLiteral(TARVENOR_CCAM_DIR));
    const QString tableur = ccam.filePath(QStringLiteral("ccam_v81.csv"));
    if (!QFileInfo::exists(tableur)) {
        std::printf("bench_import : %s absent, mesure sautée.\n", qUtf8Printable(tableur));
        return 0;
    }
    QTemporaryDir dossier;
    const QString sansRegles = referencesSansRegles(ccam, dossier);

    const auto mesurer = [&](const char* titre, const QString& base, const QString& references) {
        QElapsedTimer chrono;
        chrono.start();
        ImportCcam import(tableur, references);
        import.analyser();
        const qint64 lecture = chrono.elapsed();
        const RapportImport& r = import.charger(base);
        const qint64 total = chrono.elapsed();
        std::printf("%-44s lecture %5lld ms, écriture %5lld ms, total %5lld ms "
                    "(%d lignes CCAM, %d paires incompatibles)\n",
                    titre, static_cast<long long>(lecture), static_cast<long long>(total - lecture),
                    static_cast<long long>(total), r.lignesCcam, r.incompatibilites);
        Data::fermerConnexions();
        return total;
    };
    const auto comparer = [&](const QString& base, const QString& base2, const char* ou) {
        std::printf("\n%s\n", ou);
        const qint64 sans =
            mesurer("V81 sans fichiers de règles, base nouvelle :", base, sansRegles);
        const qint64 avec =
            mesurer("V81 avec les règles v34, base nouvelle :", base2, ccam.absolutePath());
        const qint64 sansBis = mesurer("V81 sans règles, remplaçant la V81 :", base, sansRegles);
        const qint64 avecBis =
            mesurer("V81 avec règles, remplaçant la V81 :", base2, ccam.absolutePath());
        std::printf("Rapport avec / sans les règles : %.2f (base nouvelle), %.2f (remplacement) ; "
                    "objectif 1,5 au plus.\n",
                    double(avec) / std::max<qint64>(sans, 1),
                    double(avecBis) / std::max<qint64>(sansBis, 1));
    };
    try {
        comparer(dossier.filePath(QStringLiteral("sans.mdb")),
                 dossier.filePath(QStringLiteral("avec.mdb")), "Fichier SQLite");
        if (argc > 1 && estAdresseServeur(QString::fromLocal8Bit(argv[1])))
            comparer(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[1]),
                     "Serveur PostgreSQL (la même base reçoit chaque chargement)");
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return 1;
    }
    return 0;
}
