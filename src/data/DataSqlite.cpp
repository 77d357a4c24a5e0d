#include "MoteurSqlite.h"

#include "MoteurPostgres.h"
#include "OrdreFrancais.h"
#include "TraductionJet.h"

#include <QDate>
#include <vector>

// The connection that runs the program's SQL on a database file: the
// functions the SQL texts use, statements, values read into recordsets.

// ---------------------------------------------------------------- SQL functions

namespace {

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

} // namespace

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

// ---------------------------------------------------------------- SQLite connection

namespace {

const QString kSource = QStringLiteral("Data");

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

ConnexionPtr connexionSqlite(sqlite3* db, const QString& chemin) {
    return std::make_shared<ConnexionSqlite>(db, chemin);
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
