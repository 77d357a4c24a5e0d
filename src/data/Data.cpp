#include "Data.h"

#include "Messages.h"
#include "TraductionJet.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QUrl>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>

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

void enregistrerFonctions(sqlite3* db) {
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
        return QStringLiteral("La base de données est occupée par un autre programme (%1).")
            .arg(detail);
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

// Checks the file before SQLite touches it, so that a wrong path never
// creates or changes a file. Throws the provider's error.
void verifierFichier(const QString& chemin) {
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
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        throw DataError(SQLITE_CANTOPEN, kSource,
                        QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2.")
                            .arg(chemin, f.errorString()));
    const QByteArray entete = f.read(32);
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

// Opens the file; creer allows a new file. With modeWal, a writable file is
// switched to the WAL journal (this changes its header): not done by the
// mere connectivity test, which leaves the file as it is.
// Opens the file and reads its schema, which makes SQLite check that it is a
// database. Returns the SQLite result code; db is left open only on success.
int ouvrirEtVerifier(const QByteArray& nom, int flags, sqlite3*& db, QString& message) {
    db = nullptr;
    int rc = sqlite3_open_v2(nom.constData(), &db, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 5000);
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        message = messageSqlite(db, rc);
        sqlite3_close(db);
        db = nullptr;
    }
    return rc;
}

// A database in the WAL journal mode cannot be read where SQLite cannot
// create its shared-memory file beside it (a folder that cannot be written to,
// such as a read-only share). When no write-ahead log is there either, the
// file holds all its content: it is then opened read-only as an unchanging
// file, and every write is refused as on any read-only database.
bool lisibleCommeFichierFige(const QString& chemin) {
    const QFileInfo info(chemin);
    return !QFileInfo(info.absolutePath()).isWritable() &&
           !QFileInfo::exists(chemin + QStringLiteral("-wal"));
}

sqlite3* ouvrirSqlite(const QString& chemin, bool creer, bool modeWal = true) {
    sqlite3* db = nullptr;
    QString message;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (creer)
        flags |= SQLITE_OPEN_CREATE;
    int rc = ouvrirEtVerifier(QFile::encodeName(chemin), flags, db, message);
    if ((rc & 0xff) == SQLITE_CANTOPEN && !creer && lisibleCommeFichierFige(chemin)) {
        const QByteArray uri =
            QUrl::fromLocalFile(QFileInfo(chemin).absoluteFilePath()).toEncoded() + "?immutable=1";
        QString messageFige;
        if (ouvrirEtVerifier(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, db,
                             messageFige) == SQLITE_OK)
            rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK)
        throw DataError(rc, kSource, message);
    if (modeWal && !sqlite3_db_readonly(db, "main")) {
        sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    }
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

Recordset::Genre genreDeclare(const char* decl, int typeStockage) {
    if (decl) {
        const QByteArray d = QByteArray(decl).toUpper();
        if (d.contains("INT"))
            return Recordset::Genre::Entier;
        if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB") || d.contains("NUM") ||
            d.contains("DEC"))
            return Recordset::Genre::Reel;
        if (d.contains("DATE") || d.contains("TIME"))
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

} // namespace

// ---------------------------------------------------------------- Connexion

Connexion::Connexion(sqlite3* db, QString chemin) : m_db(db), m_chemin(std::move(chemin)) {}

Connexion::~Connexion() {
    sqlite3_close_v2(m_db);
}

bool Connexion::lectureSeule() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void Connexion::Execute(const QString& sql) {
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

RecordsetPtr Connexion::Ouvrir(const QString& sql) {
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
        throw DataError(SQLITE_MISUSE, kSource,
                        QStringLiteral("Une requête de lecture ne peut pas modifier la base de "
                                       "données."));
    if (suite && *suite) {
        Instruction autre;
        if (sqlite3_prepare_v2(m_db, suite, -1, &autre.st, nullptr) != SQLITE_OK || autre.st)
            throw DataError(SQLITE_MISUSE, kSource,
                            QStringLiteral("Une requête ne peut contenir qu'une seule "
                                           "instruction."));
    }
    auto rs = std::make_shared<Recordset>();
    const int n = sqlite3_column_count(ins.st);
    std::vector<Recordset::Genre> genres(n);
    bool premiere = true;
    while ((rc = sqlite3_step(ins.st)) == SQLITE_ROW) {
        if (premiere) {
            for (int i = 0; i < n; ++i) {
                genres[i] = genreDeclare(sqlite3_column_decltype(ins.st, i),
                                         sqlite3_column_type(ins.st, i));
                rs->ajouterChamp(QString::fromUtf8(sqlite3_column_name(ins.st, i)), genres[i]);
            }
            premiere = false;
        }
        QVector<QVariant> ligne(n);
        for (int i = 0; i < n; ++i)
            ligne[i] = lireValeur(ins.st, i, genres[i]);
        rs->ajouterLigne(std::move(ligne));
    }
    if (rc != SQLITE_DONE)
        leverSqlite(m_db, rc);
    if (premiere) {
        for (int i = 0; i < n; ++i)
            rs->ajouterChamp(QString::fromUtf8(sqlite3_column_name(ins.st, i)),
                             genreDeclare(sqlite3_column_decltype(ins.st, i), SQLITE_TEXT));
    }
    rs->MoveFirst();
    return rs;
}

// ---------------------------------------------------------------- InstructionPreparee

InstructionPreparee::InstructionPreparee(Connexion& connexion, const QString& sql)
    : m_connexion(connexion) {
    const QByteArray texte = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(connexion.handle(), texte.constData(),
                                      static_cast<int>(texte.size()), &m_st, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_st);
        m_st = nullptr;
        leverSqlite(connexion.handle(), rc);
    }
}

InstructionPreparee::~InstructionPreparee() {
    sqlite3_finalize(m_st);
}

void InstructionPreparee::lier(int position, const QVariant& valeur) {
    int rc = SQLITE_OK;
    if (valeur.isNull()) {
        rc = sqlite3_bind_null(m_st, position);
    } else {
        switch (valeur.typeId()) {
        case QMetaType::Double:
            rc = sqlite3_bind_double(m_st, position, valeur.toDouble());
            break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_st, position, valeur.toLongLong());
            break;
        default: {
            const QByteArray t = valeur.toString().toUtf8();
            rc = sqlite3_bind_text(m_st, position, t.constData(), static_cast<int>(t.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        leverSqlite(m_connexion.handle(), rc);
}

void InstructionPreparee::executer() {
    int rc;
    while ((rc = sqlite3_step(m_st)) == SQLITE_ROW) {
    }
    sqlite3_reset(m_st);
    sqlite3_clear_bindings(m_st);
    if (rc != SQLITE_DONE)
        leverSqlite(m_connexion.handle(), rc);
}

// ---------------------------------------------------------------- Transaction

namespace {
void executerDirect(Connexion& c, const QByteArray& sql) {
    const int rc = sqlite3_exec(c.handle(), sql.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        leverSqlite(c.handle(), rc);
}
} // namespace

Transaction::Transaction(Connexion& connexion) : m_connexion(connexion) {
    static int compteur = 0;
    m_nom = QStringLiteral("t%1").arg(++compteur);
    m_externe = sqlite3_get_autocommit(m_connexion.handle()) != 0;
    executerDirect(m_connexion, ("SAVEPOINT " + m_nom).toUtf8());
}

Transaction::~Transaction() {
    if (m_fini)
        return;
    // The outermost one rolls the whole transaction back: releasing it after
    // a rollback to it would commit an empty transaction, which still
    // rewrites the file's header.
    const QByteArray annule = m_externe ? QByteArray("ROLLBACK")
                                        : ("ROLLBACK TO " + m_nom + "; RELEASE " + m_nom).toUtf8();
    sqlite3_exec(m_connexion.handle(), annule.constData(), nullptr, nullptr, nullptr);
}

void Transaction::valider() {
    executerDirect(m_connexion, ("RELEASE " + m_nom).toUtf8());
    m_fini = true;
}

// ---------------------------------------------------------------- Data

QString cheminBase;

Data::Data() : m_chemin(cheminBase) {}

bool Data::ConnexionCorrecte() {
    try {
        verifierFichier(m_chemin);
        sqlite3* db = ouvrirSqlite(m_chemin, false, false);
        // Another program's SQLite file opens too: the users table tells a
        // database of this program, so that the login explains the refusal
        // instead of failing on its first query.
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                           "'Utilisateur' COLLATE NOCASE",
                           -1, &st, nullptr);
        const bool tableUtilisateurs = st && sqlite3_step(st) == SQLITE_ROW;
        sqlite3_finalize(st);
        sqlite3_close_v2(db);
        if (!tableUtilisateurs)
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
        const QString cle = cleChemin(m_chemin);
        auto it = ouvertes.find(cle);
        if (it != ouvertes.end()) {
            // Inside a caller's transaction (an import, a copy) the file is the
            // one being worked on: no need to look at it again for each write.
            if (!sqlite3_get_autocommit(it->second.connexion->handle()))
                return it->second.connexion;
            const IdentiteFichier maintenant = identiteFichier(m_chemin);
            if (maintenant.present && maintenant == it->second.fichier)
                return it->second.connexion;
            // The file went away or was replaced: the kept connection would
            // read and write the old one.
            ouvertes.erase(it);
            clesConnues().clear();
        }
        verifierFichier(m_chemin);
        const IdentiteFichier fichier = identiteFichier(m_chemin);
        auto c = std::make_shared<Connexion>(ouvrirSqlite(m_chemin, false), m_chemin);
        ouvertes[cleChemin(m_chemin)] = {c, fichier};
        return c;
    } catch (const DataError& e) {
        throw DataError(DataError::ConnexionEchouee, kSource,
                        erreurAvecNumero(QStringLiteral("La connexion à la base de données a "
                                                        "échoué."),
                                         e));
    }
}

RecordsetPtr Data::CreeRecordset(const QString& sql) {
    ConnexionPtr c = CreeConnexion(); // 4000 passes through unchanged
    try {
        return c->Ouvrir(sql);
    } catch (const DataError& e) {
        throw DataError(
            DataError::RecordsetEchoue, kSource,
            erreurAvecNumero(QStringLiteral("L'ouverture d'un recordset a échoué."), e));
    }
}

void Data::fermerConnexions() {
    connexionsOuvertes().clear();
    clesConnues().clear();
}

void Data::creerBase(const QString& chemin) {
    initialiserRessourcesCore();
    QFile schema(QStringLiteral(":/data/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        throw DataError(DataError::ConnexionEchouee, kSource,
                        QStringLiteral("Le schéma de la base est introuvable."));
    const QString sql = QString::fromUtf8(schema.readAll());
    if (QFileInfo::exists(chemin))
        throw DataError(SQLITE_CANTOPEN, kSource,
                        QStringLiteral("Le fichier « %1 » existe déjà.").arg(chemin));
    Connexion c(ouvrirSqlite(chemin, true), chemin);
    Transaction t(c);
    c.Execute(sql);
    t.valider();
}

// ---------------------------------------------------------------- helpers

QString doublerQuotes(const QString& texte) {
    QString r = texte;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
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

void signalerErreurDepot(const QString& description) {
    afficherMessage(description, QStringLiteral("ERREUR"), Icone::Critique, Boutons::Ok);
}

RecordsetPtr depotLire(const QString& sql) {
    return operationDepot<RecordsetPtr>(nullptr, [&] { return Data().CreeRecordset(sql); });
}

void depotEcrire(const QStringList& instructions) {
    operationDepot<bool>(false, [&] {
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
