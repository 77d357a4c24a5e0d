#include "Data.h"

#include "Messages.h"
#include "MoteurPostgres.h"
#include "OrdreFrancais.h"
#include "TraductionJet.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <atomic>
#include <map>
#include <random>
#include <sqlite3.h>
#include <sys/stat.h>
#include <utility>

// The core's resources live in a static library: they must be registered
// explicitly before the first use.
void initialiserRessourcesCore() {
    static const bool fait = [] {
        Q_INIT_RESOURCE(core_resources);
        return true;
    }();
    (void)fait;
}

namespace {

const QString kSource = QStringLiteral("Data");

QString messageNombreDeValeurs(qsizetype valeurs) {
    return QStringLiteral("La requête n'attend pas %1 valeur(s).").arg(valeurs);
}

// ---------------------------------------------------------------- SQL functions

// Mid(text, start[, length]): 1-based substring, as the program's SQL uses it.
void fonctionMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString texte = QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    const qsizetype debut = sqlite3_value_int(argv[1]) - 1;
    const qsizetype longueur = argc > 2 ? sqlite3_value_int(argv[2]) : -1;
    const QByteArray r = texte.mid(qMax<qsizetype>(0, debut), longueur).toUtf8();
    sqlite3_result_text(ctx, r.constData(), static_cast<int>(r.size()), SQLITE_TRANSIENT);
}

// cstr(value): the value as text.
void fonctionCstr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                        sqlite3_value_bytes(argv[0]), SQLITE_TRANSIENT);
}

bool estAscii(const unsigned char* s) {
    for (; *s; ++s)
        if (*s >= 0x80)
            return false;
    return true;
}

// LIKE that ignores case for every letter, as the program's searches expect
// (SQLite's own ignores it for ASCII letters only). An ASCII pattern, the
// common case, takes SQLite's fast comparison.
void fonctionLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* motif = sqlite3_value_text(argv[0]);
    const auto* texte = sqlite3_value_text(argv[1]);
    if (!motif || !texte) {
        sqlite3_result_null(ctx);
        return;
    }
    unsigned int echappement = 0;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        echappement = e ? e[0] : 0;
    }
    const auto* m = reinterpret_cast<const char*>(motif);
    const auto* t = reinterpret_cast<const char*>(texte);
    // An ASCII pattern only needs ASCII letters compared without case, which
    // SQLite's own comparison does on any text: no need to look at the text.
    if (estAscii(motif)) {
        sqlite3_result_int(ctx, sqlite3_strlike(m, t, echappement) == 0);
        return;
    }
    const QByteArray mp = QString::fromUtf8(m).toCaseFolded().toUtf8();
    const QByteArray tp = QString::fromUtf8(t).toCaseFolded().toUtf8();
    sqlite3_result_int(ctx, sqlite3_strlike(mp.constData(), tp.constData(), echappement) == 0);
}

// The French label order (case and accents ignored), named in the ORDER BY
// of labels by the dialect translation. It is registered on each connection
// and never used in the schema, so that other tools still open the file.
int collationFrancaise(void*, int n1, const void* a, int n2, const void* b) {
    const int r = comparerFrancais(QString::fromUtf8(static_cast<const char*>(a), n1),
                                   QString::fromUtf8(static_cast<const char*>(b), n2));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void enregistrerFonctions(sqlite3* db) {
    sqlite3_create_collation_v2(db, nomCollationFrancaise, SQLITE_UTF8, nullptr, collationFrancaise,
                                nullptr);
    const int opts = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "Mid", 2, opts, nullptr, fonctionMid, nullptr, nullptr);
    sqlite3_create_function(db, "Mid", 3, opts, nullptr, fonctionMid, nullptr, nullptr);
    sqlite3_create_function(db, "cstr", 1, opts, nullptr, fonctionCstr, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, opts, nullptr, fonctionLike, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, opts, nullptr, fonctionLike, nullptr, nullptr);
}

// ---------------------------------------------------------------- errors

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

enum class Ouverture {
    Verification, // the connectivity test: the file is left exactly as it is
    Session,      // the kept connection
    Creation,     // a new file
};

// Opens the database file, checks that it is one, and returns the open
// handle. Throws DataError; nothing is left open on failure.
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

// Which file a path names now: device and inode, so that a file replaced
// under the same name (a backup put back, a new copy) is told from the one
// a kept connection has open.
struct IdentiteFichier {
    bool present = false;
    quint64 peripherique = 0;
    quint64 noeud = 0;
    bool operator==(const IdentiteFichier&) const = default;
};

IdentiteFichier identiteFichier(const QString& chemin) {
    struct stat st;
    if (::stat(QFile::encodeName(chemin).constData(), &st) != 0)
        return {};
    return {true, static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

struct ConnexionGardee {
    ConnexionPtr connexion;
    IdentiteFichier fichier;
};

std::map<QString, ConnexionGardee>& connexionsOuvertes() {
    static std::map<QString, ConnexionGardee> c;
    return c;
}

// The key of a file among the kept connections: its canonical path, so that
// two spellings of one path share a connection. Resolving a path costs
// several system calls: the answer is remembered for the paths already seen
// (forgotten with the connections).
QHash<QString, QString>& clesConnues() {
    static QHash<QString, QString> c;
    return c;
}

QString cleChemin(const QString& chemin) {
    auto& connues = clesConnues();
    const auto it = connues.constFind(chemin);
    if (it != connues.constEnd())
        return it.value();
    const QFileInfo info(chemin);
    const QString canon = info.canonicalFilePath();
    const QString cle = canon.isEmpty() ? info.absoluteFilePath() : canon;
    if (!canon.isEmpty())
        connues.insert(chemin, cle);
    return cle;
}

QString erreurAvecNumero(const QString& entete, const DataError& e) {
    return entete + QStringLiteral("\r\n") + QString::number(e.numero()) + QStringLiteral(": ") +
           e.description();
}

// The declared type holds the word, whatever its case.
bool typeContient(const char* decl, const char* mot) {
    const auto n = static_cast<unsigned int>(qstrlen(mot));
    for (; *decl; ++decl)
        if (qstrnicmp(decl, mot, n) == 0)
            return true;
    return false;
}

Recordset::Genre genreDeclare(const char* decl, int typeStockage) {
    if (decl) {
        if (typeContient(decl, "INT"))
            return Recordset::Genre::Entier;
        for (const char* reel : {"REAL", "FLOA", "DOUB", "NUM", "DEC"})
            if (typeContient(decl, reel))
                return Recordset::Genre::Reel;
        if (typeContient(decl, "DATE") || typeContient(decl, "TIME"))
            return Recordset::Genre::Date;
        return Recordset::Genre::Texte;
    }
    switch (typeStockage) {
    case SQLITE_INTEGER:
        return Recordset::Genre::Entier;
    case SQLITE_FLOAT:
        return Recordset::Genre::Reel;
    default:
        return Recordset::Genre::Texte;
    }
}

QVariant lireValeur(sqlite3_stmt* st, int i, Recordset::Genre genre) {
    if (sqlite3_column_type(st, i) == SQLITE_NULL)
        return {};
    switch (genre) {
    case Recordset::Genre::Entier:
        return QVariant::fromValue<qlonglong>(sqlite3_column_int64(st, i));
    case Recordset::Genre::Reel:
        return sqlite3_column_double(st, i);
    case Recordset::Genre::Date: {
        const QString t = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant(t);
    }
    case Recordset::Genre::Texte:
        break;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                             sqlite3_column_bytes(st, i));
}

struct Instruction {
    sqlite3_stmt* st = nullptr;
    ~Instruction() { sqlite3_finalize(st); }
};

// Binds one value as InstructionPreparee documents it; SQLite's result code.
int lierValeur(sqlite3_stmt* st, int position, const QVariant& valeur) {
    if (valeur.isNull())
        return sqlite3_bind_null(st, position);
    switch (valeur.typeId()) {
    case QMetaType::Double:
        return sqlite3_bind_double(st, position, valeur.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(st, position, valeur.toLongLong());
    default: {
        const QByteArray t = valeur.toString().toUtf8();
        return sqlite3_bind_text(st, position, t.constData(), static_cast<int>(t.size()),
                                 SQLITE_TRANSIENT);
    }
    }
}

// Steps a read to its end and copies every row into a new recordset: each
// column keeps the kind of its declared type, or of its first value when it
// has none (an expression).
RecordsetPtr lireResultat(sqlite3* db, sqlite3_stmt* st) {
    auto rs = std::make_shared<Recordset>();
    const int n = sqlite3_column_count(st);
    std::vector<Recordset::Genre> genres(n);
    bool premiere = true;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (premiere) {
            for (int i = 0; i < n; ++i) {
                genres[i] =
                    genreDeclare(sqlite3_column_decltype(st, i), sqlite3_column_type(st, i));
                rs->ajouterChamp(QString::fromUtf8(sqlite3_column_name(st, i)), genres[i]);
            }
            premiere = false;
        }
        QVariant* ligne = rs->ajouterLigneVide();
        for (int i = 0; i < n; ++i)
            ligne[i] = lireValeur(st, i, genres[i]);
    }
    if (rc != SQLITE_DONE)
        leverSqlite(db, rc);
    if (premiere) {
        for (int i = 0; i < n; ++i)
            rs->ajouterChamp(QString::fromUtf8(sqlite3_column_name(st, i)),
                             genreDeclare(sqlite3_column_decltype(st, i), SQLITE_TEXT));
    }
    rs->MoveFirst();
    return rs;
}

} // namespace

// ---------------------------------------------------------------- SQLite connection

namespace {

void executerSqlite(sqlite3* db, const QByteArray& sql) {
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        leverSqlite(db, rc);
}

class PreparationSqlite final : public PreparationMoteur {
public:
    PreparationSqlite(sqlite3* db, const QString& sql) : m_db(db) {
        const QByteArray texte = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(db, texte.constData(), static_cast<int>(texte.size()),
                                          &m_st, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(m_st);
            m_st = nullptr;
            leverSqlite(db, rc);
        }
    }
    ~PreparationSqlite() override { sqlite3_finalize(m_st); }

    void lier(int position, const QVariant& valeur) override {
        const int rc = lierValeur(m_st, position, valeur);
        if (rc != SQLITE_OK)
            leverSqlite(m_db, rc);
    }

    void executer() override {
        int rc;
        while ((rc = sqlite3_step(m_st)) == SQLITE_ROW) {
        }
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
        if (rc != SQLITE_DONE)
            leverSqlite(m_db, rc);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st = nullptr;
};

class ConnexionSqlite final : public Connexion {
public:
    ConnexionSqlite(sqlite3* db, QString chemin) : Connexion(std::move(chemin)), m_db(db) {}
    ~ConnexionSqlite() override {
        for (const InstructionGardee& g : m_gardees)
            sqlite3_finalize(g.st);
        sqlite3_close_v2(m_db);
    }

    void Execute(const QString& sql) override;
    RecordsetPtr Ouvrir(const QString& sql) override;
    RecordsetPtr OuvrirAvecValeurs(const QString& sql, const QVariantList& valeurs) override;
    Moteur moteur() const override { return Moteur::Sqlite; }
    bool lectureSeule() const override { return sqlite3_db_readonly(m_db, "main") == 1; }
    bool enTransaction() const override { return sqlite3_get_autocommit(m_db) == 0; }
    void verrouiller(const QString&) override {}
    int erreurSysteme() const override { return sqlite3_system_errno(m_db); }
    sqlite3* db() const { return m_db; }

private:
    void commande(const QByteArray& sql) override { executerSqlite(m_db, sql); }
    void commandeSansErreur(const QByteArray& sql) noexcept override {
        sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
    }
    QByteArray debutTransaction() const override {
        // The write lock is taken at once, waiting for another program that
        // holds it: a transaction that read first and then asked for the
        // lock would be refused at once by SQLite instead of waiting.
        return QByteArrayLiteral("BEGIN IMMEDIATE");
    }
    std::unique_ptr<PreparationMoteur> preparer(const QString& sql) override {
        return std::make_unique<PreparationSqlite>(m_db, sql);
    }
    // The read translated and prepared; refused when it would change the
    // database or holds more than one statement. Throws DataError.
    sqlite3_stmt* preparerLecture(const QString& sql);
    // The statement kept for this text, prepared on its first use.
    sqlite3_stmt* instructionGardee(const QString& sql);

    sqlite3* m_db;
    // Reads run with values apart (OuvrirAvecValeurs) keep their statement,
    // most recently used last: a search asked again with other words is not
    // translated, parsed and planned again.
    struct InstructionGardee {
        QString texte;
        sqlite3_stmt* st;
    };
    static constexpr size_t instructionsGardees = 16;
    std::vector<InstructionGardee> m_gardees;
};

void ConnexionSqlite::Execute(const QString& sql) {
    const QByteArray texte = traduireJet(sql).toUtf8();
    const char* reste = texte.constData();
    const char* fin = reste + texte.size();
    while (reste < fin) {
        Instruction ins;
        const char* suite = nullptr;
        int rc = sqlite3_prepare_v2(m_db, reste, static_cast<int>(fin - reste), &ins.st, &suite);
        if (rc != SQLITE_OK)
            leverSqlite(m_db, rc);
        reste = suite;
        if (!ins.st)
            continue; // blank or comment
        while ((rc = sqlite3_step(ins.st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            leverSqlite(m_db, rc);
    }
}

sqlite3_stmt* ConnexionSqlite::preparerLecture(const QString& sql) {
    const QByteArray texte = traduireJet(sql).toUtf8();
    Instruction ins;
    const char* suite = nullptr;
    int rc = sqlite3_prepare_v2(m_db, texte.constData(), static_cast<int>(texte.size()), &ins.st,
                                &suite);
    if (rc != SQLITE_OK)
        leverSqlite(m_db, rc);
    if (!ins.st)
        throw DataError(SQLITE_MISUSE, kSource, QStringLiteral("La requête est vide."));
    // A query only reads: a text that would change the database, or that
    // holds more than one statement, is refused before anything runs.
    if (!sqlite3_stmt_readonly(ins.st))
        throw DataError(SQLITE_MISUSE, kSource, messageLectureQuiModifie());
    if (suite && *suite) {
        Instruction autre;
        if (sqlite3_prepare_v2(m_db, suite, -1, &autre.st, nullptr) != SQLITE_OK || autre.st)
            throw DataError(SQLITE_MISUSE, kSource, messageUneSeuleInstruction());
    }
    return std::exchange(ins.st, nullptr);
}

RecordsetPtr ConnexionSqlite::Ouvrir(const QString& sql) {
    Instruction ins;
    ins.st = preparerLecture(sql);
    return lireResultat(m_db, ins.st);
}

sqlite3_stmt* ConnexionSqlite::instructionGardee(const QString& sql) {
    for (auto it = m_gardees.begin(); it != m_gardees.end(); ++it)
        if (it->texte == sql) {
            std::rotate(it, it + 1, m_gardees.end());
            return m_gardees.back().st;
        }
    sqlite3_stmt* st = preparerLecture(sql);
    if (m_gardees.size() >= instructionsGardees) {
        sqlite3_finalize(m_gardees.front().st);
        m_gardees.erase(m_gardees.begin());
    }
    m_gardees.push_back({sql, st});
    return st;
}

RecordsetPtr ConnexionSqlite::OuvrirAvecValeurs(const QString& sql, const QVariantList& valeurs) {
    sqlite3_stmt* st = instructionGardee(sql);
    // Ready for the next call, whatever happens here.
    const struct Remise {
        sqlite3_stmt* st;
        ~Remise() {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        }
    } remise{st};
    if (sqlite3_bind_parameter_count(st) != valeurs.size())
        throw DataError(SQLITE_RANGE, kSource, messageNombreDeValeurs(valeurs.size()));
    for (int i = 0; i < valeurs.size(); ++i) {
        const int rc = lierValeur(st, i + 1, valeurs[i]);
        if (rc != SQLITE_OK)
            leverSqlite(m_db, rc);
    }
    return lireResultat(m_db, st);
}

} // namespace

sqlite3* baseSqlite(Connexion& connexion) {
    auto* fichier = dynamic_cast<ConnexionSqlite*>(&connexion);
    return fichier ? fichier->db() : nullptr;
}

// ---------------------------------------------------------------- InstructionPreparee

InstructionPreparee::InstructionPreparee(Connexion& connexion, const QString& sql)
    : m_preparation(connexion.preparer(sql)) {}

// ---------------------------------------------------------------- AjoutEnBloc

namespace {

// Rows inserted a few hundred per statement: running a statement costs more
// than the row it writes.
class AjoutParInsertion final : public AjoutMoteur {
public:
    AjoutParInsertion(Connexion& connexion, const QString& table, const QStringList& colonnes)
        : m_connexion(connexion), m_table(table), m_colonnes(colonnes),
          // SQLite takes up to 32,766 values in one statement.
          m_parInstruction(
              std::clamp<qsizetype>(30000 / std::max<qsizetype>(1, colonnes.size()), 1, 250)),
          m_valeurs(static_cast<size_t>(m_parInstruction * colonnes.size())) {}
    void lier(int position, const QVariant& valeur) override {
        if (position >= 1 && position <= m_colonnes.size())
            m_valeurs[static_cast<size_t>(m_lignes * m_colonnes.size() + position - 1)] = valeur;
    }
    void ajouter() override {
        if (++m_lignes == m_parInstruction)
            envoyer();
    }
    void terminer() override { envoyer(); }

private:
    std::unique_ptr<InstructionPreparee> preparer(qsizetype lignes) {
        QStringList marques;
        for (qsizetype i = 0; i < m_colonnes.size(); ++i)
            marques << QStringLiteral("?");
        const QString ligne =
            QLatin1Char('(') + marques.join(QStringLiteral(", ")) + QLatin1Char(')');
        QStringList valeurs;
        for (qsizetype i = 0; i < lignes; ++i)
            valeurs << ligne;
        return std::make_unique<InstructionPreparee>(
            m_connexion, QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                             .arg(m_table, m_colonnes.join(QStringLiteral(", ")),
                                  valeurs.join(QStringLiteral(", "))));
    }
    void envoyer() {
        if (m_lignes == 0)
            return;
        std::unique_ptr<InstructionPreparee> reste;
        if (m_lignes == m_parInstruction && !m_plein)
            m_plein = preparer(m_lignes);
        InstructionPreparee& ins =
            m_lignes == m_parInstruction ? *m_plein : *(reste = preparer(m_lignes));
        const size_t n = static_cast<size_t>(m_lignes * m_colonnes.size());
        m_lignes = 0;
        for (size_t i = 0; i < n; ++i) {
            ins.lier(static_cast<int>(i) + 1, m_valeurs[i]);
            m_valeurs[i] = QVariant(); // unbound in the next rows: NULL
        }
        ins.executer();
    }

    Connexion& m_connexion;
    QString m_table;
    QStringList m_colonnes;
    qsizetype m_parInstruction;
    std::vector<QVariant> m_valeurs; // the rows waiting, column by column
    qsizetype m_lignes = 0;
    std::unique_ptr<InstructionPreparee> m_plein;
};

} // namespace

std::unique_ptr<AjoutMoteur> Connexion::ajoutEnBloc(const QString& table,
                                                    const QStringList& colonnes) {
    return std::make_unique<AjoutParInsertion>(*this, table, colonnes);
}

AjoutEnBloc::AjoutEnBloc(Connexion& connexion, const QString& table, const QStringList& colonnes)
    : m_ajout(connexion.ajoutEnBloc(table, colonnes)) {}

void retirerIndexServeur(Connexion& connexion) {
    if (connexion.moteur() == Moteur::Postgres)
        postgres::retirerIndexLibelles(connexion);
}

void construireIndexServeur(Connexion& connexion) {
    if (connexion.moteur() == Moteur::Postgres)
        postgres::construireIndexLibelles(connexion);
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Connexion& connexion) : m_connexion(connexion) {
    static int compteur = 0;
    m_externe = !m_connexion.enTransaction();
    if (m_externe) {
        m_connexion.commande(m_connexion.debutTransaction());
        m_connexion.m_echec.reset();
    } else {
        m_nom = QStringLiteral("t%1").arg(++compteur);
        m_connexion.commande(("SAVEPOINT " + m_nom).toUtf8());
    }
}

Transaction::~Transaction() {
    if (m_fini)
        return;
    // The outermost one rolls the whole transaction back, which leaves the
    // database as it was.
    if (m_externe) {
        m_connexion.commandeSansErreur("ROLLBACK");
        m_connexion.m_echec.reset();
    } else {
        m_connexion.commandeSansErreur(("ROLLBACK TO " + m_nom).toUtf8());
        m_connexion.commandeSansErreur(("RELEASE " + m_nom).toUtf8());
    }
}

void Transaction::valider() {
    if (m_externe) {
        // A repository operation failed inside: nothing of the work is kept.
        if (m_connexion.m_echec) {
            const DataError echec = *m_connexion.m_echec;
            throw echec; // the destructor rolls back
        }
        m_connexion.commande("COMMIT");
    } else {
        m_connexion.commande(("RELEASE " + m_nom).toUtf8());
    }
    m_fini = true;
}

// ---------------------------------------------------------------- Data

QString cheminBase;

Data::Data() : m_chemin(cheminBase) {}

bool Data::ConnexionCorrecte() {
    try {
        if (estAdresseServeur(m_chemin)) {
            postgres::verifier(m_chemin);
            return true;
        }
        sqlite3* db = ouvrirSqlite(m_chemin, Ouverture::Verification);
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
        const QString echec =
            rc == SQLITE_ROW || rc == SQLITE_DONE ? QString() : messageSqlite(db, rc);
        sqlite3_close_v2(db);
        if (!echec.isEmpty())
            throw DataError(rc, kSource, echec);
        if (rc != SQLITE_ROW)
            throw DataError(SQLITE_NOTADB, kSource,
                            QStringLiteral("Le fichier « %1 » n'est pas une base de données de "
                                           "Tarvenor : la table des utilisateurs y manque.")
                                .arg(m_chemin));
        return true;
    } catch (const DataError& e) {
        afficherMessage(e.description(), kSource, Icone::Critique, Boutons::Ok);
    }
    return false;
}

ConnexionPtr Data::CreeConnexion() {
    try {
        auto& ouvertes = connexionsOuvertes();
        if (estAdresseServeur(m_chemin)) {
            auto it = ouvertes.find(m_chemin);
            // A connection the server dropped (stopped, restarted) is opened
            // again by the next operation.
            if (it != ouvertes.end() && (it->second.connexion->enTransaction() ||
                                         postgres::utilisable(*it->second.connexion)))
                return it->second.connexion;
            if (it != ouvertes.end())
                ouvertes.erase(it);
            auto c = postgres::ouvrir(m_chemin);
            ouvertes[m_chemin] = {c, {}};
            return c;
        }
        const QString cle = cleChemin(m_chemin);
        auto it = ouvertes.find(cle);
        if (it != ouvertes.end()) {
            // Inside a caller's transaction (an import, a copy) the file is the
            // one being worked on: no need to look at it again for each write.
            if (it->second.connexion->enTransaction())
                return it->second.connexion;
            const IdentiteFichier maintenant = identiteFichier(m_chemin);
            if (maintenant.present && maintenant == it->second.fichier)
                return it->second.connexion;
            // The file went away or was replaced: the kept connection would
            // read and write the old one.
            ouvertes.erase(it);
            clesConnues().clear();
        }
        const IdentiteFichier fichier = identiteFichier(m_chemin);
        auto c =
            std::make_shared<ConnexionSqlite>(ouvrirSqlite(m_chemin, Ouverture::Session), m_chemin);
        ouvertes[cleChemin(m_chemin)] = {c, fichier};
        return c;
    } catch (const DataError& e) {
        throw DataError(DataError::ConnexionEchouee, kSource,
                        erreurAvecNumero(QStringLiteral("La connexion à la base de données a "
                                                        "échoué."),
                                         e));
    }
}

namespace {

// A read on a connection; a failure of the read itself is told as the
// opening of a recordset.
template <typename F> RecordsetPtr lireSur(Connexion& c, F&& lire) {
    try {
        return lire(c);
    } catch (const DataError& e) {
        throw DataError(
            DataError::RecordsetEchoue, kSource,
            erreurAvecNumero(QStringLiteral("L'ouverture d'un recordset a échoué."), e));
    }
}

} // namespace

RecordsetPtr Data::CreeRecordset(const QString& sql) {
    ConnexionPtr c = CreeConnexion(); // 4000 passes through unchanged
    return lireSur(*c, [&](Connexion& connexion) { return connexion.Ouvrir(sql); });
}

RecordsetPtr Data::CreeRecordset(const QString& sql, const QVariantList& valeurs) {
    ConnexionPtr c = CreeConnexion();
    return CreeRecordset(*c, sql, valeurs);
}

RecordsetPtr Data::CreeRecordset(Connexion& connexion, const QString& sql,
                                 const QVariantList& valeurs) {
    return lireSur(connexion, [&](Connexion& c) { return c.OuvrirAvecValeurs(sql, valeurs); });
}

Connexion::Connexion(QString chemin) : m_chemin(std::move(chemin)) {
    static std::atomic<quint64> compteur{0};
    m_numero = ++compteur;
}

RecordsetPtr Connexion::OuvrirAvecValeurs(const QString& sql, const QVariantList& valeurs) {
    return Ouvrir(sqlAvecValeurs(sql, valeurs));
}

void Data::fermerConnexions() {
    connexionsOuvertes().clear();
    clesConnues().clear();
}

void Data::creerBase(const QString& chemin) {
    initialiserRessourcesCore();
    if (estAdresseServeur(chemin)) {
        postgres::creerBase(chemin);
        return;
    }
    QFile schema(QStringLiteral(":/data/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw DataError(DataError::ConnexionEchouee, kSource,
                        QStringLiteral("Le schéma de la base est introuvable."));
    const QString sql = QString::fromUtf8(schema.readAll());
    if (QFileInfo::exists(chemin))
        throw DataError(SQLITE_CANTOPEN, kSource,
                        QStringLiteral("Le fichier « %1 » existe déjà.").arg(chemin));
    ConnexionSqlite c(ouvrirSqlite(chemin, Ouverture::Creation), chemin);
    Transaction t(c);
    c.Execute(sql);
    t.valider();
}

// ---------------------------------------------------------------- helpers

QString codeEnMajuscules(const QString& code) {
    return code.toUpper();
}

QString doublerQuotes(const QString& texte) {
    QString r = texte;
    // A NUL (pasted into a box) would end the statement's text: dropped.
    r.remove(QChar(0));
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    return r;
}

QString sqlAvecValeurs(const QString& sql, const QVariantList& valeurs) {
    QString r;
    r.reserve(sql.size() + 16 * valeurs.size());
    qsizetype suivante = 0;
    QChar guillemet; // the quote of the quoted piece being copied, if any
    for (const QChar c : sql) {
        if (!guillemet.isNull()) {
            // A doubled quote closes and opens again: the same text.
            if (c == guillemet)
                guillemet = QChar();
        } else if (c == u'\'' || c == u'"') {
            guillemet = c;
        } else if (c == u'?') {
            if (suivante >= valeurs.size())
                throw DataError(SQLITE_RANGE, kSource, messageNombreDeValeurs(valeurs.size()));
            const QVariant& v = valeurs.at(suivante++);
            QString litteral;
            if (v.isNull()) {
                litteral = QStringLiteral("NULL");
            } else {
                switch (v.typeId()) {
                case QMetaType::Double:
                    litteral = QString::number(v.toDouble(), 'g', 17);
                    break;
                case QMetaType::Int:
                case QMetaType::LongLong:
                case QMetaType::UInt:
                case QMetaType::ULongLong:
                    litteral = QString::number(v.toLongLong());
                    break;
                default:
                    litteral = u'\'' + doublerQuotes(v.toString()) + u'\'';
                }
            }
            // A negative number in brackets: after a minus sign of the
            // text, its own would begin a comment.
            r += litteral.startsWith(u'-') ? u'(' + litteral + u')' : litteral;
            continue;
        }
        r += c;
    }
    if (suivante != valeurs.size())
        throw DataError(SQLITE_RANGE, kSource, messageNombreDeValeurs(valeurs.size()));
    return r;
}

QString valeurTexte(const QVariant& valeur) {
    if (valeur.isNull())
        return {};
    switch (valeur.typeId()) {
    case QMetaType::QString:
        return valeur.toString();
    case QMetaType::Double: {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(valeur.toDouble(), 'g', 15);
    }
    case QMetaType::QDate:
        return QLocale().toString(valeur.toDate(), QLocale::ShortFormat);
    default:
        return {};
    }
}

ConnexionPtr transactionAppelante() {
    const QString chemin = Data().chemin();
    if (chemin.isEmpty())
        return nullptr;
    auto& ouvertes = connexionsOuvertes();
    const auto it = ouvertes.find(estAdresseServeur(chemin) ? chemin : cleChemin(chemin));
    if (it == ouvertes.end() || !it->second.connexion->enTransaction())
        return nullptr;
    return it->second.connexion;
}

void echecDansTransaction(Connexion& connexion, const DataError& erreur) {
    if (!connexion.m_echec)
        connexion.m_echec = erreur;
}

bool estAdresseServeur(const QString& chemin) {
    return chemin.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           chemin.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString nomAffichableBase(const QString& chemin) {
    if (!estAdresseServeur(chemin))
        return chemin;
    QUrl url(chemin);
    if (!url.isValid())
        return chemin;
    url.setPassword(QString());
    QUrlQuery requete(url);
    requete.removeAllQueryItems(QStringLiteral("password"));
    url.setQuery(requete);
    return url.toString();
}

QString messageLectureQuiModifie() {
    return QStringLiteral("Une requête de lecture ne peut pas modifier la base de données.");
}

QString messageUneSeuleInstruction() {
    return QStringLiteral("Une requête ne peut contenir qu'une seule instruction.");
}

QString messageBaseOccupee() {
    return QStringLiteral("La base de données est utilisée par un autre programme : "
                          "l'opération n'a pas pu être faite après %1 secondes d'attente. "
                          "Réessayez dans un moment.")
        .arg(delaiAttenteBaseOccupee / 1000);
}

void signalerErreurDepot(const QString& description) {
    afficherMessage(description, QStringLiteral("ERREUR"), Icone::Critique, Boutons::Ok);
}

RecordsetPtr depotLire(const QString& sql) {
    return operationDepot<RecordsetPtr>(nullptr, [&] { return Data().CreeRecordset(sql); });
}

bool depotEcrire(const QStringList& instructions) {
    return operationDepot<bool>(false, [&] {
        ConnexionPtr c = Data().CreeConnexion();
        if (instructions.size() == 1) { // one statement is all-or-nothing by itself
            c->Execute(instructions.front());
            return true;
        }
        Transaction t(*c);
        for (const QString& sql : instructions)
            c->Execute(sql);
        t.valider();
        return true;
    });
}

// A server never makes a read wait for a writer: only a file needs it.
LectureSansAttente::LectureSansAttente(Connexion& connexion) : m_db(baseSqlite(connexion)) {
    if (m_db)
        sqlite3_busy_handler(m_db, nullptr, nullptr);
}

LectureSansAttente::~LectureSansAttente() {
    if (m_db)
        sqlite3_busy_handler(m_db, attendreBaseOccupee, nullptr);
}

RecordsetPtr depotLireSansAttente(const QString& sql, EtatLecture* etat, QString* description) {
    return depotLireSansAttente([&sql](Connexion&) { return sql; }, etat, description);
}

RecordsetPtr depotLireSansAttente(const std::function<QString(Connexion&)>& sqlPour,
                                  EtatLecture* etat, QString* description) {
    auto refus = [&](EtatLecture e, const QString& texte) {
        *etat = e;
        if (description)
            *description = texte;
        return RecordsetPtr();
    };
    if (transactionAppelante())
        return refus(EtatLecture::BaseOccupee, messageBaseOccupee());
    try {
        ConnexionPtr c = Data().CreeConnexion();
        // No waiting for this one statement: a busy file fails at once.
        const LectureSansAttente sansAttente(*c);
        RecordsetPtr rs = c->Ouvrir(sqlPour(*c));
        *etat = EtatLecture::Faite;
        if (description)
            description->clear();
        return rs;
    } catch (const DataError& e) {
        const int code = e.numero() & 0xff;
        return refus(code == SQLITE_BUSY || code == SQLITE_LOCKED ? EtatLecture::BaseOccupee
                                                                  : EtatLecture::Echec,
                     e.description());
    } catch (const std::exception& e) {
        return refus(EtatLecture::Echec, QString::fromLocal8Bit(e.what()));
    }
}
