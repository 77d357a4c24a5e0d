#pragma once
// The floor a benchmark compares the keyword search with, on the same
// database and in the same run: on a file, the label index alone asked for
// the same words (the FTS5 MATCH of RechercheMotCle::requeteIndex, its codes
// read); on a server, the very SQL the program sends for the search, run bare
// through libpq on a connection of its own, its rows read. Header-only: the
// benchmarks and the load tool share it.

#include "Data.h"
#include "RechercheMotCle.h"
#include "TraductionJet.h"

#include <QString>
#include <libpq-fe.h>
#include <sqlite3.h>

class PlancherRecherche {
public:
    explicit PlancherRecherche(const QString& base) {
        if (estAdresseServeur(base)) {
            m_serveur = PQconnectdb(base.toUtf8().constData());
            if (PQstatus(m_serveur) != CONNECTION_OK) {
                PQfinish(m_serveur);
                m_serveur = nullptr;
            }
        } else if (sqlite3_open_v2(base.toUtf8().constData(), &m_fichier, SQLITE_OPEN_READONLY,
                                   nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(m_fichier, delaiAttenteBaseOccupee);
        }
    }
    // On a file connection already open (the program's own, baseSqlite):
    // the floor reads the same page cache as the search.
    explicit PlancherRecherche(sqlite3* fichier) : m_fichier(fichier), m_emprunte(true) {}
    ~PlancherRecherche() {
        if (!m_emprunte)
            sqlite3_close(m_fichier);
        if (m_serveur)
            PQfinish(m_serveur);
    }
    PlancherRecherche(const PlancherRecherche&) = delete;
    PlancherRecherche& operator=(const PlancherRecherche&) = delete;

    const char* description() const {
        return m_serveur ? "SQL de la recherche nu, par libpq" : "MATCH FTS5 seul, mêmes mots";
    }

    // Rows of the floor query for the typed text; -1 when it failed.
    int executer(const QString& saisie) {
        const QStringList mots = RechercheMotCle::motsCles(saisie);
        if (m_serveur) {
            const QByteArray sql =
                traduireJet(RechercheMotCle::sqlRecherche(mots, false), Dialecte::Postgres)
                    .toUtf8();
            PGresult* r = PQexec(m_serveur, sql.constData());
            int n = PQresultStatus(r) == PGRES_TUPLES_OK ? PQntuples(r) : -1;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < PQnfields(r); ++j)
                    PQgetvalue(r, i, j);
            PQclear(r);
            return n;
        }
        if (!m_fichier)
            return -1;
        const QByteArray sql =
            QStringLiteral("SELECT AMCODE FROM CCAM_Recherche WHERE CCAM_Recherche MATCH '%1'")
                .arg(doublerQuotes(RechercheMotCle::requeteIndex(mots)))
                .toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_fichier, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            return -1;
        int n = 0, rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            sqlite3_column_text(st, 0);
            ++n;
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE ? n : -1;
    }

private:
    sqlite3* m_fichier = nullptr;
    PGconn* m_serveur = nullptr;
    bool m_emprunte = false;
};
