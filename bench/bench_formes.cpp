// The query shapes of the translation layer (TraductionJet) on the national
// classification V81 and on the same made ten times larger
// (ecrireCcamAgrandie), each figure beside its floor from the same run:
//   - the keyword search without its label index (RechercheMotCle::
//     sqlRecherche, as the program runs it on a file whose index is not
//     valid): the program's shape, the shape as written, and the floor, the
//     same SQL with NOT INDEXED run by bare sqlite3 calls;
//   - the keyword search by code prefix, whose shape is kept: the floor is
//     the same SQL run by bare sqlite3 calls;
//   - the organ search (adCCAM::getListActes_ParOrgane): the program's
//     shape, the shape as written, and the floor, a range on the code index
//     run by bare sqlite3 calls;
//   - the query plans (EXPLAIN QUERY PLAN) of the program's texts, before
//     and after the shapes where they differ.
// Times are the thread's CPU time (the machine is shared), best of three
// rounds.
// Usage: bench_formes [--v81 FILE] [--x10 FILE] [--plans]
//   FILE: a database already loaded (V81, or the 10× file) instead of a
//   new load into a temporary folder. --plans prints the plans of V81.

#include "CcamAgrandie.h"
#include "Data.h"
#include "ImportCcam.h"
#include "RechercheMotCle.h"
#include "TraductionJet.h"
#include "adCCAM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sqlite3.h>

namespace {

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Best of three rounds of f, in CPU milliseconds.
double meilleur(const std::function<void()>& f) {
    double m = 1e300;
    for (int tour = 0; tour < 3; ++tour) {
        const double debut = cpuMs();
        f();
        m = std::min(m, cpuMs() - debut);
    }
    return m;
}

// The bare work of a query: prepare, step, read every column, finalize.
long long requeteNue(sqlite3* db, const QString& sql) {
    const QByteArray texte = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, texte.constData(), int(texte.size()), &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s : %s\n", texte.constData(), sqlite3_errmsg(db));
        std::exit(1);
    }
    long long lignes = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++lignes;
        for (int i = 0; i < n; ++i)
            sqlite3_column_text(st, i);
    }
    sqlite3_finalize(st);
    return lignes;
}

// The program's text run by bare sqlite3: its functions replaced by SQLite's own.
QString texteNu(QString sql) {
    sql.replace(QStringLiteral("cstr(Libelle_Complet)"),
                QStringLiteral("CAST(Libelle_Complet AS TEXT)"));
    return sql;
}

long long lignes(const RecordsetPtr& rs) {
    return rs ? rs->RecordCount() : -1;
}

void ligne(const char* quoi, double programme, double telle, double plancher) {
    std::printf("  %-34s programme %8.2f ms   forme écrite %8.2f ms   plancher %8.2f ms   "
                "ratio %.2f\n",
                quoi, programme, telle, plancher, plancher > 0 ? programme / plancher : 0.0);
}

const QStringList kRecherches{
    QStringLiteral("rein"),         QStringLiteral("biopsie"),        QStringLiteral("os"),
    QStringLiteral("fracture"),     QStringLiteral("ablation foie"),  QStringLiteral("artere"),
    QStringLiteral("coelioscopie"), QStringLiteral("prothese genou"), QStringLiteral("dent"),
    QStringLiteral("echographie")};

void mesurer(const char* nom, const QString& fichier) {
    cheminBase = fichier;
    Data::fermerConnexions();
    sqlite3* nu = nullptr;
    sqlite3_open_v2(fichier.toUtf8().constData(), &nu, SQLITE_OPEN_READONLY, nullptr);
    Data data;
    const long long total =
        data.CreeRecordset(QStringLiteral("SELECT count(*) FROM CCAM"))->Fields(0).toLongLong();
    std::printf("%s : %lld lignes CCAM\n", nom, total);

    // Keyword search without its label index.
    QList<QStringList> mots;
    for (const QString& r : kRecherches)
        mots << RechercheMotCle::motsCles(r);
    long long trouves = 0, trouvesNu = 0;
    const double programme = meilleur([&] {
        trouves = 0;
        for (const QStringList& m : mots)
            trouves += lignes(data.CreeRecordset(RechercheMotCle::sqlRecherche(m, false)));
    });
    double telle = 0;
    {
        FormesTelles formes;
        telle = meilleur([&] {
            for (const QStringList& m : mots)
                data.CreeRecordset(RechercheMotCle::sqlRecherche(m, false));
        });
    }
    const double plancher = meilleur([&] {
        trouvesNu = 0;
        for (const QStringList& m : mots) {
            QString sql = texteNu(RechercheMotCle::sqlRecherche(m, false));
            sql.replace(QStringLiteral(" from CCAM where"),
                        QStringLiteral(" from CCAM NOT INDEXED where"));
            trouvesNu += requeteNue(nu, sql);
        }
    });
    std::printf("  recherche par libellé sans index, %lld recherches (%lld lignes ; nu %lld)\n",
                static_cast<long long>(mots.size()), trouves, trouvesNu);
    ligne("par recherche (moyenne)", programme / mots.size(), telle / mots.size(),
          plancher / mots.size());

    // Keyword search by code prefix: the walk of the code index is kept.
    QList<QStringList> prefixes;
    for (const char* p : {"HBGD", "ja", "ZZQP0", "H"})
        prefixes << QStringList{QString::fromLatin1(p)};
    const double codeProgramme = meilleur([&] {
        for (const QStringList& m : prefixes)
            data.CreeRecordset(RechercheMotCle::sqlRecherche(m, true));
    });
    double codeTelle = 0;
    {
        FormesTelles formes;
        codeTelle = meilleur([&] {
            for (const QStringList& m : prefixes)
                data.CreeRecordset(RechercheMotCle::sqlRecherche(m, true));
        });
    }
    const double codeNu = meilleur([&] {
        for (const QStringList& m : prefixes)
            requeteNue(nu, texteNu(traduireJet(RechercheMotCle::sqlRecherche(m, true))));
    });
    ligne("par début de code (moyenne)", codeProgramme / prefixes.size(),
          codeTelle / prefixes.size(), codeNu / prefixes.size());

    // Organ search: every organ of the classification.
    const QStringList organes = [&] {
        QStringList l;
        RecordsetPtr rs = data.CreeRecordset(
            QStringLiteral("SELECT DISTINCT substr(AMCODE,1,2) FROM CCAM ORDER BY 1"));
        for (; !rs->isEOF(); rs->MoveNext())
            l << rs->Fields(0).toString();
        return l;
    }();
    const adCCAM acces;
    const auto parOrgane = [&](const QString& o) {
        return lignes(acces.getListActes_ParOrgane(o));
    };
    const auto intervalleNu = [&](const QString& o) {
        const QString suivant = o.left(1) + QChar(o.at(1).unicode() + 1);
        return requeteNue(nu, QStringLiteral("SELECT DISTINCT AMCODE, Libelle_Court, "
                                             "CAST(Libelle_Complet AS TEXT) FROM CCAM WHERE "
                                             "AMCODE >= '%1' AND AMCODE < '%2' ORDER BY AMCODE")
                                  .arg(o, suivant));
    };
    // The largest organ, and the median one by its number of rows.
    QList<QPair<long long, QString>> tailles;
    for (const QString& o : organes)
        tailles << qMakePair(intervalleNu(o), o);
    std::sort(tailles.begin(), tailles.end());
    const QString grand = tailles.last().second;
    const QString moyen = tailles.at(tailles.size() / 2).second;
    const double tousProgramme = meilleur([&] {
        for (const QString& o : organes)
            parOrgane(o);
    });
    const double tousNu = meilleur([&] {
        for (const QString& o : organes)
            intervalleNu(o);
    });
    std::printf("  recherche par organe, %lld organes (plus grand %s : %lld actes ; médian %s : "
                "%lld actes)\n",
                static_cast<long long>(organes.size()), qPrintable(grand), parOrgane(grand),
                qPrintable(moyen), parOrgane(moyen));
    const double grandProgramme = meilleur([&] { parOrgane(grand); });
    const double moyenProgramme = meilleur([&] { parOrgane(moyen); });
    double grandTelle = 0, moyenTelle = 0;
    {
        FormesTelles formes;
        grandTelle = meilleur([&] { parOrgane(grand); });
        moyenTelle = meilleur([&] { parOrgane(moyen); });
    }
    ligne("organe le plus grand", grandProgramme, grandTelle,
          meilleur([&] { intervalleNu(grand); }));
    ligne("organe médian", moyenProgramme, moyenTelle, meilleur([&] { intervalleNu(moyen); }));
    std::printf("  %-34s programme %8.2f ms   plancher %8.2f ms   ratio %.2f\n",
                "par organe (moyenne, tous)", tousProgramme / organes.size(),
                tousNu / organes.size(), tousProgramme / tousNu);
    sqlite3_close(nu);
    Data::fermerConnexions();
}

// The plan of a text as the program runs it, lines joined by " / ".
QString plan(Connexion& c, const QString& traduit) {
    // The text is already translated: translated again as it stands.
    FormesTelles formes;
    QStringList l;
    RecordsetPtr rs = c.Ouvrir(QStringLiteral("EXPLAIN QUERY PLAN ") + traduit);
    for (; !rs->isEOF(); rs->MoveNext())
        l << rs->Fields(QStringLiteral("detail")).toString();
    return l.join(QStringLiteral(" / "));
}

void plans(const QString& fichier) {
    cheminBase = fichier;
    Data::fermerConnexions();
    ConnexionPtr c = Data().CreeConnexion();
    const QString acte = QStringLiteral("HBGD035"), act = QStringLiteral("1"),
                  phase = QStringLiteral("0");
    const QList<QPair<const char*, QString>> textes{
        {"recherche libellé", RechercheMotCle::sqlRecherche({QStringLiteral("rein")}, false)},
        {"recherche libellé indexée",
         RechercheMotCle::sqlRechercheIndexee({QStringLiteral("rein")}, false)},
        {"recherche code", RechercheMotCle::sqlRecherche({QStringLiteral("HBGD")}, true)},
        {"getListActes_ParOrgane", adCCAM::sqlGetListActes_ParOrgane(QStringLiteral("HB"))},
        {"getHierar 1", adCCAM::sqlGetHierar(1, QString())},
        {"getHierar 2", adCCAM::sqlGetHierar(2, QStringLiteral("07"))},
        {"getHierar 3", adCCAM::sqlGetHierar(3, QStringLiteral("07.01"))},
        {"getHierar 4", adCCAM::sqlGetHierar(4, QStringLiteral("07.01.01"))},
        {"getListActes_ParHierar", adCCAM::sqlGetListActes_ParHierar(QStringLiteral("07010100"))},
        {"getLibellePosition", adCCAM::sqlGetLibellePosition(QStringLiteral("07.01"))},
        {"getActe", adCCAM::sqlGetActe(acte, act, phase)},
        {"getPhases", adCCAM::sqlGetPhases(acte)},
        {"getActivites", adCCAM::sqlGetActivites(acte, phase)},
        {"getListSystemes", adCCAM::sqlGetListSystemes()},
        {"getListOrganes", adCCAM::sqlGetListOrganes(QStringLiteral("01"))},
        {"getCodesProcedure", adCCAM::sqlGetCodesProcedure(acte)},
        {"getProceduresParActe", adCCAM::sqlGetProceduresParActe(acte)},
        {"getIncompatibilites", adCCAM::sqlGetIncompatibilites(acte)},
        {"compterIncompatibilites", adCCAM::sqlCompterIncompatibilites(acte)},
        {"premierIncompatibleParmi",
         adCCAM::sqlPremierIncompatibleParmi(acte, {QStringLiteral("ZZQP004"), acte})},
        {"getActesComplementaires", adCCAM::sqlGetActesComplementaires(acte, act)},
        {"getListeModificateurs", adCCAM::sqlGetListeModificateurs(acte, act)},
        {"getListeNotesUtilisation", adCCAM::sqlGetListeNotesUtilisation(acte)},
        {"getNotesUtilisationHier", adCCAM::sqlGetNotesUtilisationHier(QStringLiteral("07.01"))},
        {"getExtDoc", adCCAM::sqlGetExtDoc(acte, act)},
        {"getExoneration", adCCAM::sqlGetExoneration(acte, act, phase)},
        {"getRegroupement", adCCAM::sqlGetRegroupement(acte, act, phase)},
        {"getCategoriesThesaurus", adCCAM::sqlGetCategoriesThesaurus(QStringLiteral("D1"), 2)},
        {"getActesCatTheserus", adCCAM::sqlGetActesCatTheserus(3)},
        {"getTousActesCategorie", adCCAM::sqlGetTousActesCategorie(3, true)},
        {"ActeExisteDansCat", adCCAM::sqlActeExisteDansCat(acte, 3)},
    };
    std::printf("\nPlans sur V81 (EXPLAIN QUERY PLAN) :\n");
    for (const auto& [nom, sql] : textes) {
        QString avant;
        {
            FormesTelles formes;
            avant = plan(*c, traduireJet(sql));
        }
        const QString apres = plan(*c, traduireJet(sql));
        std::printf("  %-26s %s\n", nom, qUtf8Printable(avant));
        if (apres != avant)
            std::printf("  %-26s -> %s\n", "", qUtf8Printable(apres));
    }
    c.reset();
    Data::fermerConnexions();
}

QString charger(const QString& tableur, const QString& references, const QString& fichier) {
    try {
        ImportCcam import(tableur, references);
        import.charger(fichier);
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        std::exit(1);
    }
    return fichier;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const QString& nom) {
        const qsizetype i = args.indexOf(nom);
        return i > 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
    };
    const QDir ccam(QStringLiteral(TARVENOR_CCAM_DIR));
    const QString tableur = ccam.filePath(QStringLiteral("ccam_v81.csv"));
    if (!QFileInfo::exists(tableur)) {
        std::fprintf(stderr, "Tableur national absent : %s\n", qUtf8Printable(tableur));
        return 1;
    }
    QTemporaryDir dossier;
    QString v81 = option(QStringLiteral("--v81"));
    if (v81.isEmpty())
        v81 = charger(tableur, ccam.absolutePath(), QDir(dossier.path()).filePath("v81.mdb"));
    QString x10 = option(QStringLiteral("--x10"));
    if (x10.isEmpty()) {
        const QString grand = ecrireCcamAgrandie(tableur, 10, dossier.path());
        if (grand.isEmpty()) {
            std::fprintf(stderr, "CCAM agrandie non écrite dans %s\n", qPrintable(dossier.path()));
            return 1;
        }
        x10 = charger(grand, ccam.absolutePath(), QDir(dossier.path()).filePath("x10.mdb"));
    }
    mesurer("V81", v81);
    mesurer("V81 × 10", x10);
    if (args.contains(QStringLiteral("--plans")))
        plans(v81);
}
