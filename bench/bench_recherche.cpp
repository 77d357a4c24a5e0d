// Keyword search speed: a two-word label search end to end (SQL built from
// the typed text, translated, run, copied into a recordset) against a bare
// sqlite3 LIKE scan of the same rows on the same file, then the filling of
// the result list widget with the rows found.
//
// Usage: bench_recherche [database]
//   database: a Tarvenor database already holding the classification.
//   Without it, the national spreadsheet (TARVENOR_CCAM_DIR) is loaded into a
//   temporary database by tarvenor_import; when either is missing, a
//   temporary database of generated labels is built (at least 15,000 rows).

#include "AccesDonnees.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "RechercheMotCle.h"
#include "TraductionJet.h"
#include "ctr_motCle.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct ActeSource {
    QString code;
    QString libelle;
};

// Loads the national spreadsheet with the program's importer (built beside
// the benchmarks); false when the importer or the spreadsheet is missing.
bool chargerCcamNationale(const QString& chemin) {
    const QString dossierCcam = QStringLiteral(TARVENOR_CCAM_DIR);
    const QString tableur = QDir(dossierCcam).filePath(QStringLiteral("ccam_v81.csv"));
    const QString outil =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../tarvenor_import"));
    if (!QFile::exists(tableur) || !QFile::exists(outil))
        return false;
    QProcess import;
    import.start(outil, {tableur, chemin, QStringLiteral("--references"), dossierCcam});
    return import.waitForFinished(120000) && import.exitStatus() == QProcess::NormalExit &&
           import.exitCode() == 0;
}

std::vector<ActeSource> actesGeneres() {
    static const char* const mots[] = {"ablation",    "biopsie",         "rein",   "foie",
                                       "exerese",     "lesion",          "par",    "coelioscopie",
                                       "laparotomie", "appendicectomie", "suture", "plaie",
                                       "reduction",   "fracture",        "femur",  "pose",
                                       "prothese",    "genou",           "hanche", "drainage",
                                       "abces",       "incision",        "cutane"};
    std::vector<ActeSource> actes;
    for (int i = 0; i < 8000; ++i) {
        QString libelle;
        for (int j = 0; j < 7; ++j)
            libelle += QString::fromLatin1(mots[(i * 7 + j * 13 + i / 23) % 23]) + u' ';
        actes.push_back({QStringLiteral("%1%2%3")
                             .arg(QChar(u'A' + i % 26))
                             .arg(QChar(u'A' + (i / 26) % 26))
                             .arg(i, 5, 10, QChar(u'0')),
                         libelle.trimmed()});
    }
    return actes;
}

QString sansAccent(const QString& s) {
    QString d = s.normalized(QString::NormalizationForm_D);
    QString r;
    r.reserve(d.size());
    for (QChar c : d)
        if (c.category() != QChar::Mark_NonSpacing)
            r += c;
    return r.toLower().replace(QChar(0x0153), QStringLiteral("oe"));
}

void construireBase(const QString& chemin, const std::vector<ActeSource>& actes) {
    Data::creerBase(chemin);
    ConnexionPtr c = Data(chemin).CreeConnexion();
    Transaction t(*c);
    InstructionPreparee ins(*c, QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, "
                                               "Libelle_Court, Libelle_Complet, "
                                               "Libelle_sans_accent, Libelle_simplifie, "
                                               "PositionH) VALUES (?,?,?,?,?,?,?,?)"));
    int n = 0;
    for (size_t i = 0; i < actes.size(); ++i) {
        // Activities 1 and 4 for most acts, two phases for some: about two
        // rows per act, as in the classification.
        QStringList activites{QStringLiteral("1")};
        if (i % 5 != 0)
            activites << QStringLiteral("4");
        const int phases = i % 7 == 0 ? 2 : 1;
        const QString plie = sansAccent(actes[i].libelle);
        const QString simple =
            QString(plie).replace(QRegularExpression(QStringLiteral("[^a-z0-9 ]")), " ");
        for (const QString& a : activites)
            for (int p = 0; p < phases; ++p) {
                ins.lier(1, actes[i].code);
                ins.lier(2, a);
                ins.lier(3, QString::number(p));
                ins.lier(4, actes[i].libelle.left(70));
                ins.lier(5, actes[i].libelle);
                ins.lier(6, plie);
                ins.lier(7, simple);
                ins.lier(8, QStringLiteral("01010100"));
                ins.executer();
                ++n;
            }
    }
    t.valider();
    std::printf("base synthétique : %d lignes CCAM pour %zu actes\n", n, actes.size());
}

// Processor time of this thread, in milliseconds: unlike the wall clock it
// does not count the time other programs of a busy machine take.
double msProcesseur() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double mediane(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The same query on a plain connection: SQLite's own LIKE, no function of
// the program, the rows stepped through and their text read.
int scanBrut(sqlite3* db, const QString& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::printf("erreur : %s\n", sqlite3_errmsg(db));
        return -1;
    }
    int n = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            sqlite3_column_text(st, i);
        ++n;
    }
    sqlite3_finalize(st);
    return n;
}

class PanneauMesure : public ctr_motCle {
public:
    using ctr_motCle::ctr_motCle;
    void remplir(const RecordsetPtr& rs) {
        viderListe();
        remplirListe(rs);
        selectionnerPremiereLigne();
        // The rows are measured and drawn when the events run.
        QCoreApplication::processEvents();
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    initialiserRessourcesCore();
    MessagesScriptes messages; // no box may stop the measure

    QTemporaryDir dossier;
    QString chemin;
    if (argc > 1) {
        chemin = QString::fromLocal8Bit(argv[1]);
        std::printf("base : %s\n", qPrintable(chemin));
    } else {
        chemin = QDir(dossier.path()).filePath(QStringLiteral("bench.mdb"));
        if (chargerCcamNationale(chemin)) {
            std::printf("CCAM nationale V81 chargée par tarvenor_import\n");
        } else {
            std::printf("tableur national ou importeur absent : libellés générés\n");
            construireBase(chemin, actesGeneres());
        }
    }
    cheminBase = chemin;

    sqlite3* brut = nullptr;
    sqlite3_open_v2(chemin.toUtf8().constData(), &brut, SQLITE_OPEN_READONLY, nullptr);
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(brut, "SELECT count(*) FROM CCAM", -1, &st, nullptr);
        sqlite3_step(st);
        std::printf("lignes CCAM : %d\n\n", sqlite3_column_int(st, 0));
        sqlite3_finalize(st);
    }

    const QStringList recherches{QStringLiteral("appendicectomie  coelioscopie"),
                                 QStringLiteral("biopsie foie"), QStringLiteral("ablation rein"),
                                 QString::fromUtf8("fracture fémur")};
    const int tours = 40;
    PanneauMesure panneau;
    panneau.resize(800, 600);
    panneau.show();
    QCoreApplication::processEvents();
    std::printf("%-30s %6s %11s %11s %7s %11s %11s %7s %9s\n", "recherche", "lignes", "prog. ms",
                "sqlite3 ms", "ratio", "prog. cpu", "sqlite3 cpu", "ratio", "liste ms");
    for (const QString& saisie : recherches) {
        std::vector<double> programme, scan, liste, programmeCpu, scanCpu;
        int lignes = 0;
        RecordsetPtr rs;
        for (int t = 0; t < tours; ++t) {
            QElapsedTimer chrono;
            double cpu = msProcesseur();
            chrono.start();
            const QString sql =
                RechercheMotCle::sqlRecherche(RechercheMotCle::motsCles(saisie), false);
            rs = accesDonnees.executSQL(sql);
            programme.push_back(chrono.nsecsElapsed() / 1e6);
            programmeCpu.push_back(msProcesseur() - cpu);
            lignes = rs ? rs->RecordCount() : -1;

            // Baseline: the translated text with SQLite's built-in LIKE and
            // no conversion function.
            QString sqlBrut = traduireJet(sql);
            sqlBrut.replace(QStringLiteral("cstr(Libelle_Complet)"),
                            QStringLiteral("Libelle_Complet "));
            cpu = msProcesseur();
            chrono.restart();
            scanBrut(brut, sqlBrut);
            scan.push_back(chrono.nsecsElapsed() / 1e6);
            scanCpu.push_back(msProcesseur() - cpu);

            chrono.restart();
            panneau.remplir(rs);
            liste.push_back(chrono.nsecsElapsed() / 1e6);
        }
        const double p = mediane(programme);
        const double s = mediane(scan);
        const double pc = mediane(programmeCpu);
        const double sc = mediane(scanCpu);
        std::printf("%-30s %6d %11.2f %11.2f %6.2fx %11.2f %11.2f %6.2fx %9.2f\n",
                    qPrintable(saisie), lignes, p, s, p / s, pc, sc, pc / sc, mediane(liste));
    }
    // A long list: every act of a one-letter code search.
    for (const QString& saisie : {QStringLiteral("H"), QStringLiteral("%")}) {
        RecordsetPtr rs = accesDonnees.executSQL(
            RechercheMotCle::sqlRecherche(RechercheMotCle::motsCles(saisie), true));
        std::vector<double> liste;
        for (int t = 0; t < 5; ++t) {
            QElapsedTimer chrono;
            chrono.start();
            panneau.remplir(rs);
            liste.push_back(chrono.nsecsElapsed() / 1e6);
        }
        std::printf("liste de la recherche par code \"%s\" : %d lignes, %.1f ms\n",
                    qPrintable(saisie), rs ? rs->RecordCount() : -1, mediane(liste));
    }
    std::printf("\n(médianes de %d tours, temps écoulé et temps processeur; messages affichés : "
                "%zu)\n",
                tours, messages.journal().size());
    sqlite3_close(brut);
    Data::fermerConnexions();
    return 0;
}
