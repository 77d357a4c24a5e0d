// Time to load the national CCAM spreadsheet (version 81) into a new database
// and then into that same database again (replacing a version), with the
// reference tables, without and with the rule files of the CNAM base (the
// first is the floor of the second). Prints the figures; reads the shared
// CCAM folder.
//
// With the URI of a PostgreSQL server, also: the load into a new database
// on it and the reload over it, each against its floor in the same round,
// the same rows (read back from the loaded database by COPY ... TO STDOUT)
// sent by COPY ... FROM STDIN into the same tables in one transaction with
// no program logic at all (for a reload the tables emptied by TRUNCATE
// first), as psql's \copy sends them.

#include "Data.h"
#include "EcritureCcam.h"
#include "ImportCcam.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <libpq-fe.h>
#include <vector>

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

// ---------------------------------------------------------------- server

struct Echec {
    QString texte;
};

class Session {
public:
    explicit Session(const QString& uri) : m_pg(PQconnectdb(uri.toUtf8().constData())) {
        if (PQstatus(m_pg) != CONNECTION_OK)
            throw Echec{QString::fromUtf8(PQerrorMessage(m_pg))};
        PQsetNoticeProcessor(
            m_pg, [](void*, const char*) {}, nullptr);
    }
    ~Session() { PQfinish(m_pg); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void executer(const QByteArray& sql) {
        PGresult* r = PQexec(m_pg, sql.constData());
        const ExecStatusType s = PQresultStatus(r);
        PQclear(r);
        if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
            throw Echec{QString::fromUtf8(sql + " : " + PQerrorMessage(m_pg))};
    }
    QByteArray copierVers(const QByteArray& table) {
        executerCopie("COPY " + table + " TO STDOUT", PGRES_COPY_OUT);
        QByteArray lignes;
        char* bloc = nullptr;
        int n;
        while ((n = PQgetCopyData(m_pg, &bloc, 0)) > 0) {
            lignes.append(bloc, n);
            PQfreemem(bloc);
        }
        terminerCopie();
        return lignes;
    }
    void copierDepuis(const QByteArray& table, const QByteArray& lignes) {
        executerCopie("COPY " + table + " FROM STDIN", PGRES_COPY_IN);
        if ((!lignes.isEmpty() &&
             PQputCopyData(m_pg, lignes.constData(), static_cast<int>(lignes.size())) != 1) ||
            PQputCopyEnd(m_pg, nullptr) != 1)
            throw Echec{QString::fromUtf8(PQerrorMessage(m_pg))};
        terminerCopie();
    }

private:
    void executerCopie(const QByteArray& sql, ExecStatusType attendu) {
        PGresult* r = PQexec(m_pg, sql.constData());
        const bool ok = PQresultStatus(r) == attendu;
        PQclear(r);
        if (!ok)
            throw Echec{QString::fromUtf8(sql + " : " + PQerrorMessage(m_pg))};
    }
    void terminerCopie() {
        bool ok = true;
        while (PGresult* r = PQgetResult(m_pg)) {
            ok = ok && PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
        }
        if (!ok)
            throw Echec{QString::fromUtf8(PQerrorMessage(m_pg))};
    }
    PGconn* m_pg;
};

// The tables a load writes, as the server names them.
std::vector<QByteArray> tablesChargees() {
    std::vector<QByteArray> t;
    QStringList noms = EcritureCcam::tablesClassification();
    noms << QStringLiteral("Sources_Regles") << QStringLiteral("Sources_Regles_Actes");
    for (const QString& n : noms)
        t.push_back('"' + n.toLower().toUtf8() + '"');
    return t;
}

// The floor: the rows of every table sent by COPY in one transaction.
qint64 plancher(const QString& uri, const std::vector<std::pair<QByteArray, QByteArray>>& lignes,
                bool vider) {
    QElapsedTimer chrono;
    chrono.start();
    Session s(uri);
    s.executer("BEGIN");
    if (vider) {
        QByteArrayList noms;
        for (const auto& l : lignes)
            noms << l.first;
        s.executer("TRUNCATE " + noms.join(", "));
    }
    for (const auto& [table, texte] : lignes)
        s.copierDepuis(table, texte);
    s.executer("COMMIT");
    return chrono.elapsed();
}

QString uriDeLaBase(const QString& serveur, const QString& nom) {
    QUrl u(serveur);
    u.setPath(QLatin1Char('/') + nom);
    return u.toString();
}

double rapport(qint64 mesure, qint64 plancher) {
    return double(mesure) / std::max<qint64>(plancher, 1);
}

struct Tour {
    qint64 nouvelle, rechargement, plancherNouvelle, plancherRechargement;
    // The same COPY into tables without the label search's trigram indexes:
    // what sending the rows costs, with no index of text to build.
    qint64 nuNouvelle, nuRechargement;
};

void mesurerServeur(const QString& serveur, const QString& tableur, const QString& references) {
    std::printf("\nServeur PostgreSQL : chargement de la V81 avec les règles v34 (écriture seule, "
                "le tableur lu une fois), contre le plancher du même tour : les mêmes lignes "
                "envoyées par COPY dans les mêmes tables, en une transaction\n");
    ImportCcam import(tableur, references);
    QElapsedTimer chrono;
    chrono.start();
    import.analyser();
    std::printf("Lecture du tableur et des références : %lld ms\n",
                static_cast<long long>(chrono.elapsed()));
    Session admin(serveur);
    const QByteArray prefixe =
        "bench_import_" + QByteArray::number(QCoreApplication::applicationPid());
    std::vector<Tour> tours;
    for (int n = 1; n <= 3; ++n) {
        const QByteArray base = prefixe + '_' + QByteArray::number(n);
        const QByteArray vide = base + "_plancher";
        const QByteArray nue = base + "_nu";
        for (const QByteArray& b : {base, vide, nue}) {
            admin.executer("DROP DATABASE IF EXISTS " + b);
            admin.executer("CREATE DATABASE " + b);
        }
        const QString uri = uriDeLaBase(serveur, QString::fromUtf8(base));
        const QString uriVide = uriDeLaBase(serveur, QString::fromUtf8(vide));
        const QString uriNue = uriDeLaBase(serveur, QString::fromUtf8(nue));
        Tour t{};
        chrono.restart();
        import.charger(uri);
        t.nouvelle = chrono.elapsed();
        Data::fermerConnexions();
        chrono.restart();
        import.charger(uri);
        t.rechargement = chrono.elapsed();
        Data::fermerConnexions();
        std::vector<std::pair<QByteArray, QByteArray>> lignes;
        {
            Session s(uri);
            for (const QByteArray& table : tablesChargees())
                lignes.emplace_back(table, s.copierVers(table));
        }
        t.plancherRechargement = plancher(uri, lignes, true);
        Data::creerBase(uriVide); // not timed: the floor's tables are there before it
        Data::fermerConnexions();
        t.plancherNouvelle = plancher(uriVide, lignes, false);
        Data::creerBase(uriNue);
        Data::fermerConnexions();
        Session(uriNue).executer("DROP INDEX idx_ccam_sans_accent_trgm, idx_ccam_simplifie_trgm");
        t.nuNouvelle = plancher(uriNue, lignes, false);
        t.nuRechargement = plancher(uriNue, lignes, true);
        for (const QByteArray& b : {base, vide, nue})
            admin.executer("DROP DATABASE " + b);
        std::printf(
            "Tour %d : base nouvelle %5lld ms (plancher %5lld ms, rapport %.2f ; sans "
            "index trigramme %5lld ms, rapport %.2f) ; rechargement %5lld ms (plancher "
            "%5lld ms, rapport %.2f ; sans index trigramme %5lld ms, rapport %.2f)\n",
            n, static_cast<long long>(t.nouvelle), static_cast<long long>(t.plancherNouvelle),
            rapport(t.nouvelle, t.plancherNouvelle), static_cast<long long>(t.nuNouvelle),
            rapport(t.nouvelle, t.nuNouvelle), static_cast<long long>(t.rechargement),
            static_cast<long long>(t.plancherRechargement),
            rapport(t.rechargement, t.plancherRechargement),
            static_cast<long long>(t.nuRechargement), rapport(t.rechargement, t.nuRechargement));
        std::fflush(stdout);
        tours.push_back(t);
    }
    const auto meilleur = [&](qint64 Tour::*champ) {
        qint64 m = tours.front().*champ;
        for (const Tour& t : tours)
            m = std::min(m, t.*champ);
        return m;
    };
    const qint64 nouvelle = meilleur(&Tour::nouvelle);
    const qint64 pNouvelle = meilleur(&Tour::plancherNouvelle);
    const qint64 rechargement = meilleur(&Tour::rechargement);
    const qint64 pRechargement = meilleur(&Tour::plancherRechargement);
    const qint64 nuNouvelle = meilleur(&Tour::nuNouvelle);
    const qint64 nuRechargement = meilleur(&Tour::nuRechargement);
    std::printf("Meilleur des 3 tours : base nouvelle %lld ms / plancher %lld ms = %.2f (sans "
                "index trigramme %lld ms : %.2f) ; rechargement %lld ms / plancher %lld ms = %.2f "
                "(sans index trigramme %lld ms : %.2f) ; objectif 3 au plus.\n",
                static_cast<long long>(nouvelle), static_cast<long long>(pNouvelle),
                rapport(nouvelle, pNouvelle), static_cast<long long>(nuNouvelle),
                rapport(nouvelle, nuNouvelle), static_cast<long long>(rechargement),
                static_cast<long long>(pRechargement), rapport(rechargement, pRechargement),
                static_cast<long long>(nuRechargement), rapport(rechargement, nuRechargement));
}

} // namespace

// Usage: bench_import [URI of a PostgreSQL server's database, for an account
// that may create databases]. With a URI, the server loads are measured too,
// in databases made and dropped by the bench.
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
            mesurerServeur(QString::fromLocal8Bit(argv[1]), tableur, ccam.absolutePath());
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        return 1;
    } catch (const DataError& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.description()));
        return 1;
    } catch (const Echec& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.texte));
        return 1;
    }
    return 0;
}
