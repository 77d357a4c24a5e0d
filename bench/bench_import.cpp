// Time to load the national CCAM spreadsheet (version 81) into a new database
// and then into that same database again (replacing a version), with the
// reference tables. Prints the figures; reads the shared CCAM folder.

#include "Data.h"
#include "ImportCcam.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QDir ccam(QStringLiteral(TARVENOR_CCAM_DIR));
    const QString tableur = ccam.filePath(QStringLiteral("ccam_v81.csv"));
    if (!QFileInfo::exists(tableur)) {
        std::printf("bench_import : %s absent, mesure sautée.\n", qUtf8Printable(tableur));
        return 0;
    }
    QTemporaryDir dossier;
    const QString base = QDir(dossier.path()).filePath(QStringLiteral("bench.mdb"));

    const auto mesurer = [&](const char* titre) {
        QElapsedTimer chrono;
        chrono.start();
        ImportCcam import(tableur, ccam.absolutePath());
        import.analyser();
        const qint64 lecture = chrono.elapsed();
        const RapportImport& r = import.charger(base);
        const qint64 total = chrono.elapsed();
        std::printf("%-36s lecture %5lld ms, écriture %5lld ms, total %5lld ms "
                    "(%d actes, %d lignes CCAM)\n",
                    titre, static_cast<long long>(lecture), static_cast<long long>(total - lecture),
                    static_cast<long long>(total), r.codesActes, r.lignesCcam);
        return total;
    };
    try {
        const qint64 premier = mesurer("V81 dans une base nouvelle :");
        Data::fermerConnexions();
        const qint64 second = mesurer("V81 remplaçant la V81 :");
        std::printf("Objectif : 3000 ms au plus ; mesuré %lld ms et %lld ms.\n",
                    static_cast<long long>(premier), static_cast<long long>(second));
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return 1;
    }
    return 0;
}
