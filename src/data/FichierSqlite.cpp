#include "MoteurSqlite.h"

#include "DataError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <random>
#include <sys/stat.h>

// Opening a database file: what is checked before and after SQLite opens it,
// how a busy file is waited for, and a file left in an older journal mode.

namespace {
const QString kSource = QStringLiteral("Data");
} // namespace

QString messageSqlite(sqlite3* db, int code) {
    const QString detail =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return QStringLiteral("La base de données est en lecture seule : la modification n'a pas "
                              "été enregistrée (%1).")
            .arg(detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return messageBaseOccupee();
    case SQLITE_FULL:
        return QStringLiteral("Le disque est plein : la modification n'a pas été enregistrée.");
    case SQLITE_NOTADB:
        return QStringLiteral("Le fichier n'est pas une base de données.");
    case SQLITE_CORRUPT:
        return QStringLiteral("La base de données est endommagée (%1).").arg(detail);
    case SQLITE_CANTOPEN:
        return QStringLiteral("Impossible d'ouvrir le fichier de la base de données (%1).")
            .arg(detail);
    case SQLITE_IOERR:
        return QStringLiteral("Erreur de lecture ou d'écriture du fichier de la base de données "
                              "(%1).")
            .arg(detail);
    default:
        return QStringLiteral("Erreur SQL : %1").arg(detail);
    }
}

[[noreturn]] void leverSqlite(sqlite3* db, int code) {
    throw DataError(code, kSource, messageSqlite(db, code));
}

namespace {

// Checks the path before SQLite is asked to open it, from the file system's
// description of it only: no descriptor of the file is opened here.
void verifierChemin(const QString& chemin) {
    const QFileInfo info(chemin);
    if (chemin.trimmed().isEmpty())
        throw DataError(SQLITE_CANTOPEN, kSource,
                        QStringLiteral("Aucun fichier de base de données n'est indiqué."));
    if (!info.exists())
        throw DataError(
            SQLITE_CANTOPEN, kSource,
            QStringLiteral("Le fichier de base de données « %1 » est introuvable.").arg(chemin));
    if (info.isDir())
        throw DataError(SQLITE_CANTOPEN, kSource,
                        QStringLiteral("« %1 » est un dossier, pas un fichier de base de données.")
                            .arg(chemin));
}

// Checks the first bytes of the file through the descriptor SQLite itself
// opened, before anything is read or written: on POSIX systems, closing any
// other descriptor of the file would release every lock this process holds
// on it, and another copy of the program could then take the file for
// unused. Throws the provider's error.
void verifierEntete(sqlite3* db, const QString& chemin) {
    sqlite3_file* fichier = nullptr;
    QByteArray entete(32, '\0');
    int rc = sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &fichier);
    if (rc == SQLITE_OK && fichier && fichier->pMethods)
        rc = fichier->pMethods->xRead(fichier, entete.data(), static_cast<int>(entete.size()), 0);
    else
        rc = SQLITE_IOERR;
    // A file shorter than the header reads as zeros after its end.
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ)
        throw DataError(rc, kSource,
                        QStringLiteral("Le fichier « %1 » ne peut pas être lu.").arg(chemin));
    if (entete.mid(4, 15) == "Standard Jet DB" || entete.mid(4, 15) == "Standard ACE DB")
        throw DataError(SQLITE_NOTADB, kSource,
                        QStringLiteral("Le fichier « %1 » est une base Microsoft Access : ce "
                                       "programme ne peut pas l'ouvrir. Utilisez une base "
                                       "Tarvenor (SQLite) chargée avec la CCAM.")
                            .arg(chemin));
    // An empty file would be taken by SQLite for an empty database, and
    // turned into one by the first write: it is refused like any other.
    if (!entete.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        throw DataError(
            SQLITE_NOTADB, kSource,
            QStringLiteral("Le fichier « %1 » n'est pas une base de données.").arg(chemin));
}

} // namespace

// Waits for a file another program is writing, up to delaiAttenteBaseOccupee.
// SQLite's own waiting sleeps longer and longer (up to 100 ms): against
// copies that write one short transaction after another, it keeps missing
// the moment the lock is free, and can wait in vain for the whole delay.
// Short, uneven sleeps catch that moment.
int attendreBaseOccupee(void*, int tentative) {
    thread_local QElapsedTimer debut;
    thread_local std::minstd_rand hasard(static_cast<unsigned>(QCoreApplication::applicationPid()));
    if (tentative == 0)
        debut.start();
    if (debut.elapsed() >= delaiAttenteBaseOccupee)
        return 0;
    std::uniform_int_distribution<int> duree(200, 2000);
    QThread::usleep(static_cast<unsigned long>(duree(hasard)));
    return 1;
}

namespace {

void preparerConnexion(sqlite3* db) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, attendreBaseOccupee, nullptr);
}

// Reads the schema, which makes SQLite check that the file is a database.
int lireSchema(sqlite3* db) {
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
}

// A database in the WAL journal mode (left so by an earlier version) cannot
// be read where SQLite cannot create its shared-memory file beside it (a
// folder or a file that cannot be written to, such as a read-only share).
// When no write-ahead log is there either, the file holds all its content:
// it is then opened read-only as an unchanging file, and every write is
// refused as on any read-only database.
bool lisibleCommeFichierFige(const QString& chemin) {
    const QFileInfo info(chemin);
    return (!QFileInfo(info.absolutePath()).isWritable() || !info.isWritable()) &&
           !QFileInfo::exists(chemin + QStringLiteral("-wal"));
}

QString texteColonne(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    QString r;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && st &&
        sqlite3_step(st) == SQLITE_ROW)
        r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return r;
}

// The database stays in SQLite's default rollback journal, which every tool
// expects and which works on the network shares where units keep their file
// (the write-ahead log does not). A file left in WAL mode by an earlier
// version is switched back when it can be written. The switch needs the
// file to itself: when another program holds it, the file is used as it is
// (without waiting) and the switch is tried again at the next opening.
void revenirAuJournalClassique(sqlite3* db) {
    if (sqlite3_db_readonly(db, "main") != 0)
        return;
    if (texteColonne(db, "PRAGMA journal_mode")
            .compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return;
    sqlite3_busy_handler(db, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    sqlite3_busy_handler(db, attendreBaseOccupee, nullptr);
}

} // namespace

sqlite3* ouvrirSqlite(const QString& chemin, Ouverture usage) {
    const bool creer = usage == Ouverture::Creation;
    if (!creer)
        verifierChemin(chemin);
    // In a folder that cannot be written to (a read-only share) SQLite could
    // not create its journal beside the file: it is opened for reading, and
    // a write is then refused as on any read-only file.
    const bool dossierFige = !creer && !QFileInfo(QFileInfo(chemin).absolutePath()).isWritable();
    int flags = (dossierFige ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (creer)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    auto echec = [&](int rc, const QString& message) {
        sqlite3_close(db);
        db = nullptr;
        throw DataError(rc, kSource, message);
    };
    int rc = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QFileInfo info(chemin);
        if (!creer && !info.isReadable())
            echec(rc, QStringLiteral("Le fichier « %1 » ne peut pas être lu : accès refusé.")
                          .arg(chemin));
        echec(rc, messageSqlite(db, rc));
    }
    preparerConnexion(db);
    if (!creer) {
        try {
            verifierEntete(db, chemin);
        } catch (const DataError& e) {
            echec(e.numero(), e.description());
        }
    }
    rc = lireSchema(db);
    // SQLite says SQLITE_READONLY_DIRECTORY when the folder cannot take the
    // shared-memory file (a normal user), SQLITE_CANTOPEN when it refuses
    // it otherwise (an immutable folder, as the administrator sees it).
    if (((rc & 0xff) == SQLITE_CANTOPEN || rc == SQLITE_READONLY_DIRECTORY) && !creer &&
        lisibleCommeFichierFige(chemin)) {
        sqlite3_close(db);
        db = nullptr;
        const QByteArray uri =
            QUrl::fromLocalFile(QFileInfo(chemin).absoluteFilePath()).toEncoded() + "?immutable=1";
        const int rcFige =
            sqlite3_open_v2(uri.constData(), &db,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rcFige == SQLITE_OK) {
            preparerConnexion(db);
            rc = lireSchema(db);
        } else {
            rc = rcFige;
        }
    }
    if (rc != SQLITE_OK)
        echec(rc, messageSqlite(db, rc));
    if (usage == Ouverture::Session)
        revenirAuJournalClassique(db);
    enregistrerFonctions(db);
    return db;
}

IdentiteFichier identiteFichier(const QString& chemin) {
    struct stat st;
    if (::stat(QFile::encodeName(chemin).constData(), &st) != 0)
        return {};
    return {true, static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

void verifierBaseSqlite(const QString& chemin) {
    sqlite3* db = ouvrirSqlite(chemin, Ouverture::Verification);
    // Another program's SQLite file opens too: the users table tells a
    // database of this program, so that the login explains the refusal
    // instead of failing on its first query.
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db,
                                "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                                "'Utilisateur' COLLATE NOCASE",
                                -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    sqlite3_finalize(st);
    // A file another program kept busy is said to be so, not taken for
    // a database of another program.
    const QString echec = rc == SQLITE_ROW || rc == SQLITE_DONE ? QString() : messageSqlite(db, rc);
    sqlite3_close_v2(db);
    if (!echec.isEmpty())
        throw DataError(rc, kSource, echec);
    if (rc != SQLITE_ROW)
        throw DataError(SQLITE_NOTADB, kSource,
                        QStringLiteral("Le fichier « %1 » n'est pas une base de données de "
                                       "Tarvenor : la table des utilisateurs y manque.")
                            .arg(chemin));
}
