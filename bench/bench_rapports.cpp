// Report speed and memory: a doctor's thesaurus of 100 categories of 40 real
// acts, with their phases and complementary acts, filled from the database
// then laid out, written to PDF and shown in the preview; and a patient file
// of 60 acts written to PDF. Prints the time of each step and the resident memory (current and
// peak, from /proc/self/status).
//
// Usage: bench_rapports BASE
//   BASE: a Tarvenor database holding the classification, e.g. the national
//   V81 loaded by: tarvenor_import ccam_v81.csv BASE --references DOSSIER_CCAM

#include "DR_dossier.h"
#include "DR_thesaurus.h"
#include "Globals.h"
#include "QtApercuRapport.h"
#include "QtRapport.h"
#include "RapportsDeDemonstration.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {
// "VmRSS" or "VmHWM" of this process, in MiB.
double memoire(const char* cle) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& ligne : f.readAll().split('\n'))
        if (ligne.startsWith(cle))
            return ligne.mid(qstrlen(cle) + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void etape(const char* nom, QElapsedTimer& t) {
    std::printf("%-42s %8.0f ms   RSS %6.1f Mio   pic %6.1f Mio\n", nom, t.nsecsElapsed() / 1e6,
                memoire("VmRSS:"), memoire("VmHWM:"));
    t.restart();
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isFile()) {
        std::fprintf(stderr, "Usage : bench_rapports BASE\n");
        return 2;
    }
    cheminBase = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir sortie;
    std::printf("%-42s %8s      RSS %6.1f Mio\n", "départ", "", memoire("VmRSS:"));

    QElapsedTimer t;
    t.start();
    Medecin m = medecinDeDemonstration(QStringLiteral("1"), 100, 40);
    etape("thésaurus 100 x 40 : actes lus", t);
    Thesaurus th;
    th.remplirThesaurus(m);
    int lignes = 0;
    for (const auto& c : th.getThesaurus())
        for (const auto& a : c.Actes)
            lignes += 1 + a.Phases.size();
    etape("thésaurus : phases et compléments lus", t);
    std::shared_ptr<QtRapport> r = DR_thesaurus::construireRapport(th, QDate::currentDate());
    const int pages = r->nombrePages();
    etape("thésaurus : mise en page", t);
    QString erreur;
    if (!r->enregistrerPdf(sortie.filePath(QStringLiteral("thesaurus.pdf")), &erreur)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(erreur));
        return 1;
    }
    etape("thésaurus : PDF écrit", t);
    std::printf("   %d catégories, %d lignes d'actes et de phases, %d pages, PDF %.1f Kio\n",
                int(th.getThesaurus().size()), lignes, pages,
                QFileInfo(sortie.filePath(QStringLiteral("thesaurus.pdf"))).size() / 1024.0);
    {
        QtApercuRapport apercu;
        apercu.resize(900, 1000);
        apercu.show();
        apercu.setRapport(r);
        QCoreApplication::processEvents();
        etape("thésaurus : aperçu (toutes les pages)", t);
    }
    r.reset();

    Dossier d = dossierDeDemonstration(60);
    etape("dossier 60 actes : actes lus", t);
    r = DR_dossier::construireRapport(d, QStringLiteral("MARTIN CLAIRE"),
                                      QStringLiteral("ORTH - CHIRURGIE ORTHOPÉDIQUE"),
                                      QDate::currentDate());
    r->nombrePages();
    etape("dossier : mise en page", t);
    if (!r->enregistrerPdf(sortie.filePath(QStringLiteral("dossier.pdf")), &erreur)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(erreur));
        return 1;
    }
    etape("dossier : PDF écrit", t);
    std::printf("   %d actes, %d pages\n", d.listeActes()->RecordCount(), r->nombrePages());
    return 0;
}
