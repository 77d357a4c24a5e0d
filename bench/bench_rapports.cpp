// Report speed and memory: a doctor's thesaurus of 100 categories of 40 real
// acts, with their phases and complementary acts, stored in a copy of the
// database, read back as the report reads it, then laid out, written to PDF
// and shown in the preview; and a patient file of 60 acts written to PDF.
// Prints the time of each step and the resident memory (current and peak,
// from /proc/self/status).
//
// The thesaurus reading (the doctor's categories and acts, then the lines
// under each act) is timed against its floor from the same run: the same
// data read by two bare joins through the sqlite3 library (categories, acts
// and phases; complementary acts), every row stepped and every column read
// as text, without the data layer. The best of several runs of each is kept.
//
// Usage: bench_rapports BASE
//   BASE: a Tarvenor database holding the classification, e.g. the national
//   V81 loaded by: tarvenor_import ccam_v81.csv BASE --references DOSSIER_CCAM
//   (only read: the thesaurus goes into a temporary copy of it)

#include "DR_dossier.h"
#include "DR_thesaurus.h"
#include "Globals.h"
#include "QtApercuRapport.h"
#include "QtRapport.h"
#include "RapportsDeDemonstration.h"
#include "adCCAM.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sqlite3.h>

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

// Time of one step: wall clock and processor time of this process (the
// machine may be shared: the processor time is the steadier measure).
struct Duree {
    double mur = 1e300; // ms
    double cpu = 1e300; // ms
    void garderMeilleure(const Duree& d) {
        mur = std::min(mur, d.mur);
        cpu = std::min(cpu, d.cpu);
    }
};

class Chrono {
public:
    Chrono() {
        m_mur.start();
        m_cpu = cpu();
    }
    Duree duree() const { return {m_mur.nsecsElapsed() / 1e6, cpu() - m_cpu}; }

private:
    static double cpu() {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
    QElapsedTimer m_mur;
    double m_cpu;
};

constexpr int essais = 7;
const QString proprietaire = QStringLiteral("DEMO");

// Stores the doctor's categories and acts in the database, in one transaction.
void enregistrerThesaurus(const Medecin& m) {
    ConnexionPtr c = Data().CreeConnexion();
    Transaction t(*c);
    for (const Categorie& cat : m.listeCat) {
        const long code = adCCAM::insererCatAndGetCode(*c, proprietaire, cat.libelle, 2);
        for (const Acte& a : cat.listeActes)
            c->Execute(adCCAM::sqlInsererActeTheserus(code, a.code, a.activite, a.libelle));
    }
    t.valider();
}

// The report's reading, as the doctor's report reads it: his categories and
// acts, then the lines under each act.
Duree lectureDuRapport(const Medecin& modele, Thesaurus& th) {
    const Chrono t;
    Medecin m;
    m.code = proprietaire;
    m.libelle = modele.libelle;
    m.UM = modele.UM;
    m.activite = modele.activite;
    m.remplirThesaurusMED();
    th.remplirThesaurus(m);
    return t.duree();
}

// The floor: the same data by two joins run with the sqlite3 library alone,
// every column of every row read as text; lignes: rows read. Nothing read
// (the joins failed): no duration.
Duree plancherDeuxJointures(const QString& base, const QString& activite, int& lignes) {
    const QByteArray lien = proprietaire.toUtf8();
    const QByteArray act = activite.toUtf8();
    const char* jointures[] = {
        "SELECT CT_CODE, CT_LIB, AT_Acte, AT_ACTIVITE, CCAM.Libelle_Complet, CCAM.Phase, "
        "CCAM.Libelle_Phase FROM CategorieThesaurus INNER JOIN Acte_Thesaurus ON AT_CAT = "
        "CT_CODE LEFT JOIN CCAM ON CCAM.AMCODE = AT_Acte WHERE CT_LIEN = ?1 AND CT_TYPE = 2 "
        "ORDER BY CT_LIB, CT_CODE, AT_Acte",
        "SELECT CT_CODE, AT_Acte, Actes_Associes.Acte2, CCAM.Libelle_Complet FROM "
        "CategorieThesaurus INNER JOIN Acte_Thesaurus ON AT_CAT = CT_CODE INNER JOIN "
        "Actes_Associes ON Acte1 = AT_Acte AND activite1 = ?2 INNER JOIN CCAM ON CCAM.AMCODE = "
        "Actes_Associes.Acte2 WHERE CT_LIEN = ?1 AND CT_TYPE = 2 ORDER BY CT_LIB, CT_CODE, "
        "AT_Acte, CCAM.AMCODE"};
    sqlite3* db = nullptr;
    lignes = 0;
    if (sqlite3_open_v2(base.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return {};
    }
    const Chrono t;
    std::size_t octets = 0;
    for (const char* sql : jointures) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
            break;
        sqlite3_bind_text(st, 1, lien.constData(), int(lien.size()), SQLITE_STATIC);
        if (sqlite3_bind_parameter_count(st) > 1)
            sqlite3_bind_text(st, 2, act.constData(), int(act.size()), SQLITE_STATIC);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                if (const unsigned char* v = sqlite3_column_text(st, i))
                    octets += std::strlen(reinterpret_cast<const char*>(v));
            ++lignes;
        }
        sqlite3_finalize(st);
    }
    const Duree d = t.duree();
    sqlite3_close(db);
    return octets > 0 ? d : Duree{};
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
    m.UM = QStringLiteral("ORTH");
    etape("thésaurus 100 x 40 : actes choisis", t);
    const QString copie = sortie.filePath(QStringLiteral("base.db"));
    if (!QFile::copy(cheminBase, copie)) {
        std::fprintf(stderr, "La copie de la base n'a pas pu être écrite.\n");
        return 1;
    }
    cheminBase = copie;
    enregistrerThesaurus(m);
    etape("thésaurus enregistré (copie de la base)", t);

    Thesaurus th;
    Duree lecture;
    Duree plancher;
    int lignesJointures = 0;
    for (int i = 0; i < essais; ++i) {
        th.detruireThesaurus();
        lecture.garderMeilleure(lectureDuRapport(m, th));
        plancher.garderMeilleure(plancherDeuxJointures(copie, m.activite, lignesJointures));
    }
    int lignes = 0;
    for (const auto& c : th.getThesaurus())
        for (const auto& a : c.Actes)
            lignes += 1 + a.Phases.size();
    std::printf("thésaurus : lecture du rapport, meilleur de %d :   %8.1f ms (CPU %.1f ms)\n",
                essais, lecture.mur, lecture.cpu);
    std::printf("   plancher, deux jointures par sqlite3 seul :    %8.1f ms (CPU %.1f ms), %d "
                "lignes\n",
                plancher.mur, plancher.cpu, lignesJointures);
    std::printf("   lecture / plancher :                           %8.2f    (CPU %.2f)\n",
                lecture.mur / plancher.mur, lecture.cpu / plancher.cpu);
    t.restart();
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
