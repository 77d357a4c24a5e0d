// Keyword search speed: a two-word label search end to end (SQL built from
// the typed text, translated, run, copied into a recordset) against a bare
// sqlite3 LIKE scan of the same rows on the same file, then the same search
// narrowed by the label index (end to end, and bare) against its floor, the
// FTS5 MATCH alone of the same words on the same file, the filling of the
// result list widget with the rows found, a spelling suggestion, and the
// size of the index on disk, then one keystroke in the keyword panel to
// its list painted again.
//
// Usage: bench_recherche [database] [--facteur N] [--frappes]
//   database: a Tarvenor database already holding the classification.
//   Without it, the national spreadsheet (TARVENOR_CCAM_DIR) is loaded into a
//   temporary database by tarvenor_import, made N times larger with
//   --facteur N; when either is missing, a temporary database of generated
//   labels is built (at least 15,000 rows).
//   --frappes: only the keystrokes and the suggestions.

#include "AccesDonnees.h"
#include "CcamAgrandie.h"
#include "Data.h"
#include "Globals.h"
#include "IndexLibelles.h"
#include "Messages.h"
#include "PlancherRecherche.h"
#include "RechercheMotCle.h"
#include "Suggestion.h"
#include "TraductionJet.h"
#include "ctr_motCle.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

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
// the benchmarks), made `facteur` times larger when facteur > 1; false when
// the importer or the spreadsheet is missing.
bool chargerCcamNationale(const QString& chemin, int facteur) {
    const QString dossierCcam = QStringLiteral(TARVENOR_CCAM_DIR);
    QString tableur = QDir(dossierCcam).filePath(QStringLiteral("ccam_v81.csv"));
    if (facteur > 1 && QFile::exists(tableur))
        tableur = ecrireCcamAgrandie(tableur, facteur, QFileInfo(chemin).absolutePath());
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

// The pages of the index and of the vocabulary, by SQLite's page statistics.
void tailleIndex(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT sum(CASE WHEN name LIKE 'CCAM_Recherche%' THEN pgsize END), "
                           "sum(CASE WHEN name LIKE 'CCAM_Vocabulaire%' THEN pgsize END), "
                           "sum(pgsize) FROM dbstat",
                           -1, &st, nullptr) != SQLITE_OK) {
        std::printf("taille de l'index : dbstat indisponible (%s)\n", sqlite3_errmsg(db));
        return;
    }
    if (sqlite3_step(st) == SQLITE_ROW)
        std::printf("\ntaille sur disque : index %.2f Mo, vocabulaire %.2f Mo, fichier %.2f Mo\n",
                    sqlite3_column_double(st, 0) / 1048576.0,
                    sqlite3_column_double(st, 1) / 1048576.0,
                    sqlite3_column_double(st, 2) / 1048576.0);
    sqlite3_finalize(st);
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

// One keystroke in the keyword panel, as the user types each text letter by
// letter: the key goes to the box, the pause the panel waits after a
// keystroke (ctr_motCle::delaiFrappeMs) is skipped, and the time runs from
// the end of that pause (the search the panel's timer runs) to the list
// painted again.
void mesurerFrappe(const QStringList& saisies) {
    ctr_motCle panneau;
    panneau.resize(900, 600);
    panneau.show();
    panneau.O_recherche[1]->setChecked(true);
    QCoreApplication::processEvents();
    std::printf("\nune frappe jusqu'à la liste peinte (après la pause de %d ms qui suit la "
                "frappe), recherche par libellé, à partir de la %de lettre :\n",
                ctr_motCle::delaiFrappeMs, ctr_motCle::lettresMinFrappe);
    std::printf("%-30s %7s %9s %9s %9s %9s %9s   %s\n", "texte tapé", "frappes", "méd. ms",
                "méd. cpu", "dont peint", "max ms", "lignes", "pire frappe");
    std::vector<double> toutes, toutesCpu;
    for (const QString& texte : saisies) {
        panneau.t_motCle->clear();
        panneau.suivreSaisie();
        std::vector<double> durees, cpus, peintures;
        double pire = -1;
        QString texteDuPire;
        int lignesDuPire = 0;
        for (QChar c : texte) {
            QKeyEvent touche(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(panneau.t_motCle, &touche);
            panneau.minuterieFrappe()->stop();
            const int avant = panneau.recherchesSuivies();
            QElapsedTimer chrono;
            const double cpu = msProcesseur();
            chrono.start();
            panneau.suivreSaisie();
            const qint64 recherche = chrono.nsecsElapsed();
            panneau.repaint();
            const double ms = chrono.nsecsElapsed() / 1e6;
            if (panneau.recherchesSuivies() == avant)
                continue; // too short to be searched while typed
            durees.push_back(ms);
            cpus.push_back(msProcesseur() - cpu);
            peintures.push_back(ms - recherche / 1e6);
            toutes.push_back(ms);
            toutesCpu.push_back(cpus.back());
            if (ms > pire) {
                pire = ms;
                texteDuPire = panneau.t_motCle->text();
                lignesDuPire = panneau.LV_Actes->topLevelItemCount();
            }
        }
        std::printf("%-30s %7zu %9.2f %9.2f %9.2f %9.2f %9d   \"%s\"\n", qPrintable(texte),
                    durees.size(), mediane(durees), mediane(cpus), mediane(peintures), pire,
                    lignesDuPire, qPrintable(texteDuPire));
    }
    std::sort(toutes.begin(), toutes.end());
    std::printf("toutes frappes : médiane %.2f ms (processeur %.2f ms), 90e centile %.2f ms, max "
                "%.2f ms\n",
                mediane(toutes), mediane(toutesCpu), toutes[toutes.size() * 9 / 10], toutes.back());

    // The same keystroke with the pause itself, through the event loop.
    panneau.t_motCle->setText(QStringLiteral("biopsie fo"));
    panneau.suivreSaisie();
    QKeyEvent touche(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("i"));
    QElapsedTimer chrono;
    chrono.start();
    const int avant = panneau.recherchesSuivies();
    QCoreApplication::sendEvent(panneau.t_motCle, &touche);
    while (panneau.recherchesSuivies() == avant && chrono.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    panneau.repaint();
    std::printf("\"biopsie foi\" : de la touche à la liste peinte, pause comprise : %.1f ms\n",
                chrono.nsecsElapsed() / 1e6);
}

// The keystrokes that list the most acts: the third and fourth letters of a
// word (a few hundred rows on the national classification). Each is timed
// from the search the panel runs at the end of its pause to the list painted
// again, the list of the text before the keystroke shown; its floor, from the
// same run, is that search alone, as the panel runs it (typed words to a
// filled recordset).
void mesurerPiresFrappes(const QStringList& saisies, int tours) {
    ctr_motCle panneau;
    panneau.resize(900, 600);
    panneau.show();
    panneau.O_recherche[1]->setChecked(true);
    QCoreApplication::processEvents();
    std::printf("\npires frappes (3e et 4e lettres), de la fin de la pause à la liste peinte, "
                "médianes de %d tours ; plancher : la recherche seule (texte tapé -> "
                "recordset), même exécution ; une image à 60 Hz = 16,7 ms :\n",
                tours);
    std::printf("%-8s %6s %10s %10s %10s %10s %10s %8s %10s %10s\n", "texte", "lignes", "plancher",
                "plancher", "frappe", "frappe", "dont", "images", "reste", "reste");
    std::printf("%-8s %6s %10s %10s %10s %10s %10s %8s %10s %10s\n", "", "", "ms", "cpu ms", "ms",
                "cpu ms", "peinture", "", "ms", "pas max");
    for (const QString& saisie : saisies) {
        std::vector<double> frappe, frappeCpu, peinture, requete, requeteCpu, reste, pasMax;
        int lignes = 0;
        const QStringList mots = RechercheMotCle::motsCles(saisie);
        // The list of the text before the keystroke, shown whole, as after a
        // pause in the typing; its search leaves the file's pages in the
        // same state for the floor and for the keystroke.
        auto textePrecedent = [&] {
            panneau.t_motCle->setText(saisie.chopped(1));
            panneau.suivreSaisie();
            while (!panneau.listeComplete())
                QCoreApplication::processEvents();
            panneau.repaint();
        };
        for (int t = 0; t < tours; ++t) {
            textePrecedent();
            EtatLecture etat = EtatLecture::Echec;
            QElapsedTimer chrono;
            double cpu = msProcesseur();
            chrono.start();
            const RecordsetPtr rs = depotLireSansAttente(
                [&](Connexion& c) { return RechercheMotCle::sqlRechercheSur(c, mots, false); },
                &etat);
            requete.push_back(chrono.nsecsElapsed() / 1e6);
            requeteCpu.push_back(msProcesseur() - cpu);
            lignes = rs ? rs->RecordCount() : -1;

            textePrecedent();
            QKeyEvent touche(QEvent::KeyPress, 0, Qt::NoModifier, saisie.right(1));
            QCoreApplication::sendEvent(panneau.t_motCle, &touche);
            panneau.minuterieFrappe()->stop();
            cpu = msProcesseur();
            chrono.restart();
            panneau.suivreSaisie();
            const qint64 avantPeinture = chrono.nsecsElapsed();
            panneau.repaint();
            frappe.push_back(chrono.nsecsElapsed() / 1e6);
            frappeCpu.push_back(msProcesseur() - cpu);
            peinture.push_back((chrono.nsecsElapsed() - avantPeinture) / 1e6);

            // The rest of the rows, put in while the program is idle: the
            // whole, and its longest step (the most a keystroke then waits).
            double pire = 0;
            chrono.restart();
            while (!panneau.listeComplete()) {
                QElapsedTimer pas;
                pas.start();
                QCoreApplication::processEvents();
                pire = std::max(pire, pas.nsecsElapsed() / 1e6);
            }
            reste.push_back(chrono.nsecsElapsed() / 1e6);
            pasMax.push_back(pire);
        }
        std::printf("%-8s %6d %10.2f %10.2f %10.2f %10.2f %10.2f %8.2f %10.2f %10.2f\n",
                    qPrintable(saisie), lignes, mediane(requete), mediane(requeteCpu),
                    mediane(frappe), mediane(frappeCpu), mediane(peinture),
                    mediane(frappe) / (1000.0 / 60), mediane(reste), mediane(pasMax));
    }
}

// In a process of its own (--premiere-suggestion): the database opened and
// the text searched as the keyword panel does before it offers a correction
// (the search found nothing), then the first suggestion of the process and
// a second one, warm. Prints "premiere premiere-cpu chaude" in ms, then the
// correction.
int premiereSuggestion(const QString& saisie) {
    const RecordsetPtr rs = RechercheMotCle::rechercher(RechercheMotCle::motsCles(saisie), false);
    if (!rs)
        return 1;
    QElapsedTimer chrono;
    const double cpu = msProcesseur();
    chrono.start();
    const QString corrigee = RechercheMotCle::saisieCorrigee(saisie);
    const double premiere = chrono.nsecsElapsed() / 1e6;
    const double premiereCpu = msProcesseur() - cpu;
    chrono.restart();
    RechercheMotCle::saisieCorrigee(saisie);
    std::printf("%.3f %.3f %.3f %s\n", premiere, premiereCpu, chrono.nsecsElapsed() / 1e6,
                qPrintable(corrigee));
    return 0;
}

// The first suggestion of a session, each in a fresh process (this program
// run again with --premiere-suggestion), against its floor from the same
// runs: a warm suggestion of the same text.
void mesurerSuggestions(const QString& chemin, int processus) {
    std::printf("\npremière suggestion d'un processus neuf (médiane de %d processus) ; plancher : "
                "la même suggestion, chaude, mêmes processus :\n",
                processus);
    std::printf("%-22s %-22s %10s %10s %10s %10s\n", "texte", "correction", "première", "cpu",
                "max", "plancher");
    for (const QString& saisie :
         {QStringLiteral("apendicectomie"), QStringLiteral("cesariene"),
          QStringLiteral("artroscopie genou"), QStringLiteral("biopsie foei")}) {
        std::vector<double> premieres, premieresCpu, chaudes;
        QString corrigee;
        for (int p = 0; p < processus; ++p) {
            QProcess enfant;
            enfant.start(QCoreApplication::applicationFilePath(),
                         {chemin, QStringLiteral("--premiere-suggestion"), saisie});
            if (!enfant.waitForFinished(60000) || enfant.exitCode() != 0)
                continue;
            const QStringList champs = QString::fromLocal8Bit(enfant.readAllStandardOutput())
                                           .trimmed()
                                           .split(u'\n')
                                           .constLast()
                                           .split(u' ');
            if (champs.size() < 3)
                continue;
            premieres.push_back(champs.at(0).toDouble());
            premieresCpu.push_back(champs.at(1).toDouble());
            chaudes.push_back(champs.at(2).toDouble());
            corrigee = champs.mid(3).join(u' ');
        }
        if (premieres.empty()) {
            std::printf("%-22s échec\n", qPrintable(saisie));
            continue;
        }
        std::printf("%-22s %-22s %10.2f %10.2f %10.2f %10.2f\n", qPrintable(saisie),
                    qPrintable(corrigee), mediane(premieres), mediane(premieresCpu),
                    *std::max_element(premieres.begin(), premieres.end()), mediane(chaudes));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    initialiserRessourcesCore();
    MessagesScriptes messages; // no box may stop the measure

    QStringList arguments = app.arguments().mid(1);
    int facteur = 1;
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--facteur"));
        i >= 0 && i + 1 < arguments.size()) {
        facteur = std::max(1, arguments.at(i + 1).toInt());
        arguments.remove(i, 2);
    }
    const bool frappesSeules = arguments.removeAll(QStringLiteral("--frappes")) > 0;
    QString suggestion;
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--premiere-suggestion"));
        i >= 0 && i + 1 < arguments.size()) {
        suggestion = arguments.at(i + 1);
        arguments.remove(i, 2);
    }
    QTemporaryDir dossier;
    QString chemin;
    if (!arguments.isEmpty()) {
        chemin = arguments.constFirst();
        std::printf("base : %s\n", qPrintable(chemin));
    } else {
        chemin = QDir(dossier.path()).filePath(QStringLiteral("bench.mdb"));
        if (chargerCcamNationale(chemin, facteur)) {
            std::printf("CCAM nationale V81 chargée par tarvenor_import%s\n",
                        facteur > 1
                            ? qPrintable(QStringLiteral(", %1 fois plus grande").arg(facteur))
                            : "");
        } else {
            std::printf("tableur national ou importeur absent : libellés générés\n");
            construireBase(chemin, actesGeneres());
        }
    }
    cheminBase = chemin;
    if (!suggestion.isEmpty())
        return premiereSuggestion(suggestion);
    mesurerSuggestions(chemin, 15);
    mesurerPiresFrappes({"app", "appe", "bio", "biop", "abl", "abla", "fra", "frac"}, 15);
    if (frappesSeules)
        return 0;

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
    std::printf("index des libellés : %s\n\n",
                IndexLibelles::present(*Data().CreeConnexion()) ? "présent" : "absent");
    std::printf("%-30s %6s %10s %10s %10s %10s %8s %10s %10s %10s %7s %9s\n", "recherche", "lignes",
                "scan sql3", "scan prog", "index prog", "index sql3", "gain", "index cpu",
                "bout cpu", "match cpu", "ratio", "liste ms");
    // The floor: the index alone, same words, on the program's own connection.
    PlancherRecherche match(baseSqlite(*Data().CreeConnexion()));
    for (const QString& saisie : recherches) {
        std::vector<double> programme, scan, indexe, indexeBrut, indexeCpu, plancher, liste;
        int lignes = 0;
        int lignesIndex = 0;
        RecordsetPtr rs;
        const QStringList mots = RechercheMotCle::motsCles(saisie);
        const QString sql = RechercheMotCle::sqlRecherche(mots, false);
        // Baselines: the translated texts with SQLite's built-in LIKE and no
        // conversion function.
        auto brutDe = [](const QString& texte) {
            QString b = traduireJet(texte);
            return b.replace(QStringLiteral("cstr(Libelle_Complet)"),
                             QStringLiteral("Libelle_Complet "));
        };
        const QString sqlBrut = brutDe(sql);
        const QString sqlIndexeBrut = brutDe(RechercheMotCle::sqlRechercheIndexee(mots, false));
        for (int t = 0; t < tours; ++t) {
            QElapsedTimer chrono;
            chrono.start();
            rs = accesDonnees.executSQL(RechercheMotCle::sqlRecherche(mots, false));
            programme.push_back(chrono.nsecsElapsed() / 1e6);
            lignes = rs ? rs->RecordCount() : -1;

            chrono.restart();
            scanBrut(brut, sqlBrut);
            scan.push_back(chrono.nsecsElapsed() / 1e6);

            // End to end: typed text to a filled recordset, through the index.
            double cpu = msProcesseur();
            chrono.restart();
            rs = RechercheMotCle::rechercher(RechercheMotCle::motsCles(saisie), false);
            indexe.push_back(chrono.nsecsElapsed() / 1e6);
            indexeCpu.push_back(msProcesseur() - cpu);
            lignesIndex = rs ? rs->RecordCount() : -1;

            chrono.restart();
            scanBrut(brut, sqlIndexeBrut);
            indexeBrut.push_back(chrono.nsecsElapsed() / 1e6);

            chrono.restart();
            panneau.remplir(rs);
            liste.push_back(chrono.nsecsElapsed() / 1e6);
        }
        const double s = mediane(scan);
        const double i = mediane(indexe);
        // The search end to end and its floor, one after the other and away
        // from the scans above, so that both find the caches alike.
        std::vector<double> bout;
        for (int t = 0; t < tours * 5; ++t) {
            double cpu = msProcesseur();
            match.executer(saisie);
            plancher.push_back(msProcesseur() - cpu);
            cpu = msProcesseur();
            RechercheMotCle::rechercher(RechercheMotCle::motsCles(saisie), false);
            bout.push_back(msProcesseur() - cpu);
        }
        const double c = mediane(bout);
        const double p = mediane(plancher);
        std::printf("%-30s %6d %10.2f %10.2f %10.3f %10.3f %7.1fx %10.3f %10.3f %10.3f %6.2fx "
                    "%9.2f%s\n",
                    qPrintable(saisie), lignes, s, mediane(programme), i, mediane(indexeBrut),
                    s / i, mediane(indexeCpu), c, p, c / p, mediane(liste),
                    lignesIndex == lignes ? "" : "  LIGNES DIFFÉRENTES");
    }
    std::printf("(index cpu : du texte tapé au recordset rempli, temps processeur, mesuré au "
                "milieu des autres mesures ; bout cpu et match cpu : la même recherche et son "
                "plancher, le MATCH FTS5 seul des mêmes mots sur le même fichier, mesurés l'un "
                "après l'autre %d fois ; ratio = bout cpu / match cpu)\n",
                tours * 5);

    tailleIndex(brut);
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
    mesurerFrappe({QStringLiteral("appendicectomie coelioscopie"), QStringLiteral("biopsie foie"),
                   QStringLiteral("ablation rein"), QString::fromUtf8("fracture fémur")});
    std::printf("\n(médianes de %d tours, temps écoulé et temps processeur; messages affichés : "
                "%zu)\n",
                tours, messages.journal().size());
    sqlite3_close(brut);
    Data::fermerConnexions();
    return 0;
}
