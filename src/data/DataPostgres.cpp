#include "MoteurPostgres.h"

#include "MotDePasse.h"
#include "OrdreFrancais.h"
#include "TraductionJet.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <atomic>
#include <libpq-fe.h>
#include <vector>

namespace postgres {

namespace {

const QString kSource = QStringLiteral("Data");

// Type identifiers of the server's built-in types (pg_type.oid).
enum : Oid {
    OidBool = 16,
    OidInt8 = 20,
    OidInt2 = 21,
    OidInt4 = 23,
    OidOid = 26,
    OidFloat4 = 700,
    OidFloat8 = 701,
    OidNumeric = 1700,
    OidDate = 1082,
    OidTimestamp = 1114,
    OidTimestampTz = 1184,
};

struct Resultat {
    PGresult* r = nullptr;
    explicit Resultat(PGresult* resultat) : r(resultat) {}
    ~Resultat() { PQclear(r); }
    Resultat(const Resultat&) = delete;
    Resultat& operator=(const Resultat&) = delete;
    ExecStatusType statut() const { return r ? PQresultStatus(r) : PGRES_FATAL_ERROR; }
};

QString texteServeur(const char* texte) {
    return QString::fromUtf8(texte ? texte : "").trimmed();
}

// The server as users name it: host and port of the URI.
QString serveurDe(const QString& uri) {
    const QUrl url(uri);
    const QString hote = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
    return url.port() > 0 ? QStringLiteral("%1:%2").arg(hote).arg(url.port()) : hote;
}

QString compteDe(PGconn* pg, const QString& uri) {
    const char* u = pg ? PQuser(pg) : nullptr;
    return u && *u ? QString::fromUtf8(u) : QUrl(uri).userName();
}

QString baseDe(PGconn* pg, const QString& uri) {
    const char* b = pg ? PQdb(pg) : nullptr;
    return b && *b ? QString::fromUtf8(b) : QUrl(uri).path().mid(1);
}

// The failure of an opening, in the user's words.
DataError erreurOuverture(PGconn* pg, const QString& uri) {
    const QString detail =
        pg ? texteServeur(PQerrorMessage(pg)) : QStringLiteral("mémoire insuffisante");
    const QString d = detail.toLower();
    const QString serveur = serveurDe(uri);
    const QString compte = compteDe(pg, uri);
    if (pg && PQconnectionNeedsPassword(pg))
        return DataError(DataError::AccesRefuse, kSource,
                         QStringLiteral("Le serveur « %1 » demande le mot de passe du compte "
                                        "« %2 » : indiquez-le dans le fichier .pgpass de "
                                        "l'utilisateur, ou saisissez-le à la connexion.")
                             .arg(serveur, compte));
    if (d.contains(QLatin1String("password authentication failed")))
        return DataError(DataError::AccesRefuse, kSource,
                         QStringLiteral("Le mot de passe du compte « %1 » est refusé par le "
                                        "serveur « %2 ».")
                             .arg(compte, serveur));
    if (d.contains(QLatin1String("database")) && d.contains(QLatin1String("does not exist")))
        return DataError(DataError::AccesRefuse, kSource,
                         QStringLiteral("La base « %1 » n'existe pas sur le serveur « %2 ».")
                             .arg(baseDe(pg, uri), serveur));
    if (d.contains(QLatin1String("role")) && d.contains(QLatin1String("does not exist")))
        return DataError(DataError::AccesRefuse, kSource,
                         QStringLiteral("Le compte « %1 » n'existe pas sur le serveur « %2 ».")
                             .arg(compte, serveur));
    if (d.contains(QLatin1String("pg_hba.conf")) || d.contains(QLatin1String("permission denied")))
        return DataError(DataError::AccesRefuse, kSource,
                         QStringLiteral("Le serveur « %1 » refuse la connexion du compte « %2 » "
                                        "à la base « %3 » (%4).")
                             .arg(serveur, compte, baseDe(pg, uri), detail));
    if (d.contains(QLatin1String("could not translate host name")))
        return DataError(DataError::ServeurInjoignable, kSource,
                         QStringLiteral("Le serveur « %1 » est inconnu : vérifiez son nom dans "
                                        "l'adresse de la base.")
                             .arg(serveur));
    if (d.contains(QLatin1String("invalid")) || d.contains(QLatin1String("missing")) ||
        d.contains(QLatin1String("unexpected")) || d.contains(QLatin1String("unrecognized")))
        return DataError(DataError::AdresseInvalide, kSource,
                         QStringLiteral("L'adresse de base de données « %1 » n'est pas valide "
                                        "(%2). Forme attendue : "
                                        "postgresql://compte@serveur:port/base")
                             .arg(nomAffichableBase(uri), detail));
    return DataError(DataError::ServeurInjoignable, kSource,
                     QStringLiteral("Le serveur de base de données « %1 » ne répond pas : "
                                    "vérifiez qu'il est démarré et joignable depuis ce poste (%2).")
                         .arg(serveur, detail));
}

QString messageConnexionPerdue(const QString& detail) {
    return QStringLiteral("La connexion au serveur de base de données a été perdue : "
                          "l'opération n'a pas été faite, rien n'a été enregistré. La connexion "
                          "sera rétablie à la prochaine opération, dès que le serveur répondra "
                          "(%1).")
        .arg(detail);
}

// The failure of a statement, in the user's words.
DataError erreurRequete(PGconn* pg, const PGresult* r) {
    const QString etat = texteServeur(r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr);
    QString detail = texteServeur(r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr);
    if (detail.isEmpty())
        detail = texteServeur(PQerrorMessage(pg));
    if (PQstatus(pg) != CONNECTION_OK || etat.startsWith(QLatin1String("08")) ||
        etat.startsWith(QLatin1String("57P")))
        return DataError(DataError::ConnexionPerdue, kSource, messageConnexionPerdue(detail));
    if (etat == QLatin1String("55P03"))
        return DataError(DataError::ServeurOccupe, kSource, messageBaseOccupee());
    if (etat == QLatin1String("40001") || etat == QLatin1String("40P01"))
        return DataError(DataError::ServeurOccupe, kSource,
                         QStringLiteral("Un autre poste modifiait les mêmes données au même "
                                        "moment : l'opération n'a pas été faite. Réessayez."));
    if (etat == QLatin1String("42P01"))
        return DataError(DataError::SchemaAbsent, kSource,
                         QStringLiteral("La base ne contient pas les tables de Tarvenor (%1) : "
                                        "installez-y le schéma (tarvenor_demo ou tarvenor_import "
                                        "le font sur une base vide).")
                             .arg(detail));
    if (etat == QLatin1String("25006"))
        return DataError(DataError::ErreurServeur, kSource, messageLectureQuiModifie());
    if (etat == QLatin1String("53100"))
        return DataError(DataError::ErreurServeur, kSource,
                         QStringLiteral("Le disque du serveur de base de données est plein : la "
                                        "modification n'a pas été enregistrée."));
    if (etat == QLatin1String("25P02"))
        return DataError(DataError::ErreurServeur, kSource,
                         QStringLiteral("Une opération précédente a échoué dans cette "
                                        "transaction : rien n'en est enregistré."));
    if (etat == QLatin1String("42601") && detail.contains(QLatin1String("multiple commands")))
        return DataError(DataError::ErreurServeur, kSource, messageUneSeuleInstruction());
    return DataError(DataError::ErreurServeur, kSource,
                     QStringLiteral("Erreur SQL : %1").arg(detail));
}

Recordset::Genre genreDuType(Oid type) {
    switch (type) {
    case OidBool:
    case OidInt2:
    case OidInt4:
    case OidInt8:
    case OidOid:
        return Recordset::Genre::Entier;
    case OidFloat4:
    case OidFloat8:
    case OidNumeric:
        return Recordset::Genre::Reel;
    case OidDate:
    case OidTimestamp:
    case OidTimestampTz:
        return Recordset::Genre::Date;
    default:
        return Recordset::Genre::Texte;
    }
}

QVariant valeurDuServeur(const char* v, int n, Recordset::Genre genre, Oid type) {
    switch (genre) {
    case Recordset::Genre::Entier:
        if (type == OidBool)
            return QVariant::fromValue<qlonglong>(v[0] == 't' ? 1 : 0);
        return QVariant::fromValue<qlonglong>(QByteArray::fromRawData(v, n).toLongLong());
    case Recordset::Genre::Reel:
        return QByteArray::fromRawData(v, n).toDouble();
    case Recordset::Genre::Date: {
        const QDate d = QDate::fromString(QString::fromLatin1(v, qMin(n, 10)), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant(QString::fromUtf8(v, n));
    }
    case Recordset::Genre::Texte:
        break;
    }
    return QString::fromUtf8(v, n);
}

// A query that only reads, by its first word: inside a write transaction the
// server cannot be asked to refuse writes, so the text is looked at.
bool commenceParLecture(const QString& sql) {
    static const QRegularExpression debut(QStringLiteral("^[\\s(]*(select|with|values|table)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ecriture(
        QStringLiteral("\\b(insert|update|delete|merge|truncate|create|drop|alter)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = debut.match(sql);
    if (!m.hasMatch())
        return false;
    return m.captured(1).compare(QLatin1String("with"), Qt::CaseInsensitive) != 0 ||
           !sql.contains(ecriture);
}

// The "?" of each value, outside quotes, numbered as the server wants them.
QString parametresNumerotes(const QString& sql) {
    QString r;
    r.reserve(sql.size() + 16);
    int n = 0;
    QChar guillemet;
    for (const QChar c : sql) {
        if (!guillemet.isNull()) {
            if (c == guillemet)
                guillemet = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            guillemet = c;
        } else if (c == QLatin1Char('?')) {
            r += QLatin1Char('$') + QString::number(++n);
            continue;
        }
        r += c;
    }
    return r;
}

// The server gives the names of a result in lower case (unquoted names are
// folded). Each is given back as the query wrote it, else as the schema
// writes it, as SQLite names them.
class NomsDesChamps {
public:
    explicit NomsDesChamps(const QString& sql) {
        static const QRegularExpression mot(QStringLiteral("\\w+"),
                                            QRegularExpression::UseUnicodePropertiesOption);
        auto it = mot.globalMatch(sql);
        while (it.hasNext()) {
            const QString m = it.next().captured();
            m_requete.insert(m.toLower(), m);
        }
    }
    QString nom(const char* nomServeur) const {
        const QString n = QString::fromUtf8(nomServeur);
        const auto r = m_requete.constFind(n);
        if (r != m_requete.constEnd())
            return r.value();
        const auto& schema = nomsDuSchema();
        const auto s = schema.constFind(n);
        return s != schema.constEnd() ? s.value() : n;
    }

private:
    static const QHash<QString, QString>& nomsDuSchema() {
        static const QHash<QString, QString> noms = [] {
            QHash<QString, QString> h;
            initialiserRessourcesCore();
            QFile f(QStringLiteral(":/data/schema.sql"));
            if (f.open(QIODevice::ReadOnly)) {
                static const QRegularExpression colonne(
                    QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s+(?:INTEGER|TEXT|REAL|DATE)"),
                    QRegularExpression::MultilineOption);
                auto it = colonne.globalMatch(QString::fromUtf8(f.readAll()));
                while (it.hasNext()) {
                    const QString m = it.next().captured(1);
                    h.insert(m.toLower(), m);
                }
            }
            return h;
        }();
        return noms;
    }
    QHash<QString, QString> m_requete;
};

class ConnexionPostgres;

class PreparationPostgres final : public PreparationMoteur {
public:
    PreparationPostgres(ConnexionPostgres& connexion, PGconn* pg, const QString& sql);
    ~PreparationPostgres() override;
    void lier(int position, const QVariant& valeur) override;
    void executer() override;

private:
    ConnexionPostgres& m_connexion;
    PGconn* m_pg;
    QByteArray m_nom;
    std::vector<QByteArray> m_valeurs;
    std::vector<bool> m_nulles;
};

// A value in COPY's text format: a backslash, and the tab, line feed and
// carriage return that would end the field or the row, written as backslash
// sequences; NULL is the marker \N, so an empty text stays an empty text.
void ajouterEchappe(QByteArray& vers, const QByteArray& valeur) {
    const char* p = valeur.constData();
    const char* fin = p + valeur.size();
    while (p < fin) {
        const char* special = p;
        while (special < fin && *special != '\\' && *special != '\t' && *special != '\n' &&
               *special != '\r')
            ++special;
        vers.append(p, special - p);
        if (special == fin)
            break;
        switch (*special) {
        case '\t':
            vers.append("\\t", 2);
            break;
        case '\n':
            vers.append("\\n", 2);
            break;
        case '\r':
            vers.append("\\r", 2);
            break;
        default:
            vers.append("\\\\", 2);
        }
        p = special + 1;
    }
}

// Rows streamed by one COPY ... FROM STDIN (text format) inside the open
// transaction: no round trip per row, the server answers once at the end.
class AjoutPostgres final : public AjoutMoteur {
public:
    AjoutPostgres(PGconn* pg, const QString& table, const QStringList& colonnes);
    ~AjoutPostgres() override;
    void lier(int position, const QVariant& valeur) override;
    void ajouter() override;
    void terminer() override;

private:
    // libpq is given the rows by slices of this size.
    static constexpr qsizetype tailleEnvoi = 256 * 1024;
    void envoyer();

    PGconn* m_pg;
    std::vector<QByteArray> m_valeurs; // escaped
    std::vector<bool> m_nulles;
    QByteArray m_tampon;
    bool m_fini = false;
};

class ConnexionPostgres final : public Connexion {
public:
    ConnexionPostgres(PGconn* pg, QString uri) : Connexion(std::move(uri)), m_pg(pg) {}
    ~ConnexionPostgres() override { PQfinish(m_pg); }

    void Execute(const QString& sql) override {
        executerTexte(traduireJet(sql, Dialecte::Postgres).toUtf8());
    }
    RecordsetPtr Ouvrir(const QString& sql) override;
    Moteur moteur() const override { return Moteur::Postgres; }
    bool lectureSeule() const override { return false; }
    // Kept by the connection itself: a transaction whose server went away is
    // still open for the program, so that the work inside fails instead of
    // going on, outside it, on a new session.
    bool enTransaction() const override { return m_transaction; }
    void verrouiller(const QString& cle) override {
        const QByteArray k = cle.toUtf8();
        const char* valeurs[] = {k.constData()};
        Resultat r(PQexecParams(m_pg, "SELECT pg_advisory_xact_lock(hashtextextended($1, 0))", 1,
                                nullptr, valeurs, nullptr, nullptr, 0));
        if (r.statut() != PGRES_TUPLES_OK)
            throw erreurRequete(m_pg, r.r);
    }

    bool utilisable() const { return PQstatus(m_pg) == CONNECTION_OK; }
    int suivante() { return ++m_preparations; }
    // Runs SQL text of the server's own dialect (one or several statements);
    // outside a transaction, as one transaction of its own.
    void executerTexte(const QByteArray& texte) {
        if (m_transaction) {
            // A failed statement leaves the transaction as it was before it,
            // as on SQLite: the server would otherwise refuse everything
            // after it, and the caller could not report the first failure.
            try {
                executerBrut("SAVEPOINT tarvenor_instruction;\n" + texte +
                             "\n;RELEASE tarvenor_instruction");
            } catch (...) {
                PQclear(PQexec(m_pg, "ROLLBACK TO tarvenor_instruction; RELEASE "
                                     "tarvenor_instruction"));
                throw;
            }
            return;
        }
        try {
            executerBrut("BEGIN READ WRITE;\n" + texte + "\n;COMMIT");
        } catch (...) {
            if (PQtransactionStatus(m_pg) != PQTRANS_IDLE)
                PQclear(PQexec(m_pg, "ROLLBACK"));
            throw;
        }
    }

private:
    void executerBrut(const QByteArray& texte) {
        Resultat r(PQexec(m_pg, texte.constData()));
        const ExecStatusType s = r.statut();
        if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK && s != PGRES_EMPTY_QUERY)
            throw erreurRequete(m_pg, r.r);
    }
    void commande(const QByteArray& sql) override {
        const bool debut = sql.startsWith("BEGIN");
        const bool fin = sql == "COMMIT" || sql == "ROLLBACK";
        if (fin)
            m_transaction = false;
        executerBrut(sql);
        if (debut)
            m_transaction = true;
    }
    void commandeSansErreur(const QByteArray& sql) noexcept override {
        if (sql == "ROLLBACK")
            m_transaction = false;
        PQclear(PQexec(m_pg, sql.constData()));
    }
    QByteArray debutTransaction() const override { return QByteArrayLiteral("BEGIN READ WRITE"); }
    std::unique_ptr<PreparationMoteur> preparer(const QString& sql) override {
        return std::make_unique<PreparationPostgres>(*this, m_pg, sql);
    }
    std::unique_ptr<AjoutMoteur> ajoutEnBloc(const QString& table,
                                             const QStringList& colonnes) override {
        // Outside a transaction the rows would be a load of their own, and
        // the session refuses to write there anyway.
        if (!m_transaction)
            throw DataError(DataError::ErreurServeur, kSource, messageLectureQuiModifie());
        return std::make_unique<AjoutPostgres>(m_pg, table, colonnes);
    }
    RecordsetPtr lire(const QByteArray& texte, const QString& sql);

    PGconn* m_pg;
    bool m_transaction = false;
    int m_preparations = 0;
};

RecordsetPtr ConnexionPostgres::Ouvrir(const QString& sql) {
    const QString traduit = traduireJet(sql, Dialecte::Postgres);
    if (m_transaction && !commenceParLecture(traduit))
        throw DataError(DataError::ErreurServeur, kSource, messageLectureQuiModifie());
    const QByteArray texte = traduit.toUtf8();
    try {
        return lire(texte, sql);
    } catch (const DataError& e) {
        // A read outside a transaction is tried once more on a new session
        // when the server dropped the old one (restarted meanwhile).
        if (e.numero() != DataError::ConnexionPerdue || m_transaction)
            throw;
        PQreset(m_pg);
        if (PQstatus(m_pg) != CONNECTION_OK)
            throw;
        return lire(texte, sql);
    }
}

RecordsetPtr ConnexionPostgres::lire(const QByteArray& texte, const QString& sql) {
    // The extended protocol takes one statement only; outside a transaction
    // the session reads only (default_transaction_read_only), so a query
    // cannot write.
    Resultat r(PQexecParams(m_pg, texte.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0));
    switch (r.statut()) {
    case PGRES_TUPLES_OK:
        break;
    case PGRES_EMPTY_QUERY:
        throw DataError(DataError::ErreurServeur, kSource, QStringLiteral("La requête est vide."));
    case PGRES_COMMAND_OK:
        throw DataError(DataError::ErreurServeur, kSource, messageLectureQuiModifie());
    default:
        throw erreurRequete(m_pg, r.r);
    }
    auto rs = std::make_shared<Recordset>();
    const int n = PQnfields(r.r);
    std::vector<Recordset::Genre> genres(n);
    std::vector<Oid> types(n);
    const NomsDesChamps noms(sql);
    for (int i = 0; i < n; ++i) {
        types[i] = PQftype(r.r, i);
        genres[i] = genreDuType(types[i]);
        rs->ajouterChamp(noms.nom(PQfname(r.r, i)), genres[i]);
    }
    const int lignes = PQntuples(r.r);
    for (int l = 0; l < lignes; ++l) {
        QVector<QVariant> ligne(n);
        for (int i = 0; i < n; ++i)
            if (!PQgetisnull(r.r, l, i))
                ligne[i] = valeurDuServeur(PQgetvalue(r.r, l, i), PQgetlength(r.r, l, i), genres[i],
                                           types[i]);
        rs->ajouterLigne(std::move(ligne));
    }
    rs->MoveFirst();
    return rs;
}

PreparationPostgres::PreparationPostgres(ConnexionPostgres& connexion, PGconn* pg,
                                         const QString& sql)
    : m_connexion(connexion), m_pg(pg),
      m_nom("tarvenor_" + QByteArray::number(connexion.suivante())) {
    const QByteArray texte = parametresNumerotes(traduireJet(sql, Dialecte::Postgres)).toUtf8();
    Resultat r(PQprepare(m_pg, m_nom.constData(), texte.constData(), 0, nullptr));
    if (r.statut() != PGRES_COMMAND_OK)
        throw erreurRequete(m_pg, r.r);
}

PreparationPostgres::~PreparationPostgres() {
    if (PQstatus(m_pg) == CONNECTION_OK && PQtransactionStatus(m_pg) != PQTRANS_INERROR)
        PQclear(PQexec(m_pg, ("DEALLOCATE " + m_nom).constData()));
}

void PreparationPostgres::lier(int position, const QVariant& valeur) {
    const size_t i = static_cast<size_t>(qMax(1, position) - 1);
    if (m_valeurs.size() <= i) {
        m_valeurs.resize(i + 1);
        m_nulles.resize(i + 1, true);
    }
    m_nulles[i] = valeur.isNull();
    if (valeur.isNull())
        m_valeurs[i].clear();
    else if (valeur.typeId() == QMetaType::Double)
        m_valeurs[i] = QByteArray::number(valeur.toDouble(), 'g', 17);
    else
        m_valeurs[i] = valeur.toString().toUtf8();
}

void PreparationPostgres::executer() {
    std::vector<const char*> valeurs(m_valeurs.size());
    for (size_t i = 0; i < m_valeurs.size(); ++i)
        valeurs[i] = m_nulles[i] ? nullptr : m_valeurs[i].constData();
    auto executerUne = [&] {
        Resultat r(PQexecPrepared(m_pg, m_nom.constData(), static_cast<int>(valeurs.size()),
                                  valeurs.data(), nullptr, nullptr, 0));
        if (r.statut() != PGRES_COMMAND_OK && r.statut() != PGRES_TUPLES_OK)
            throw erreurRequete(m_pg, r.r);
    };
    if (m_connexion.enTransaction()) {
        executerUne();
    } else {
        Transaction t(m_connexion);
        executerUne();
        t.valider();
    }
    std::fill(m_nulles.begin(), m_nulles.end(), true);
}

AjoutPostgres::AjoutPostgres(PGconn* pg, const QString& table, const QStringList& colonnes)
    : m_pg(pg), m_valeurs(static_cast<size_t>(colonnes.size())),
      m_nulles(static_cast<size_t>(colonnes.size()), true) {
    const QByteArray texte = traduireJet(QStringLiteral("COPY %1 (%2) FROM STDIN")
                                             .arg(table, colonnes.join(QStringLiteral(", "))),
                                         Dialecte::Postgres)
                                 .toUtf8();
    Resultat r(PQexec(m_pg, texte.constData()));
    if (r.statut() != PGRES_COPY_IN)
        throw erreurRequete(m_pg, r.r);
    m_tampon.reserve(tailleEnvoi + 4096);
}

AjoutPostgres::~AjoutPostgres() {
    if (m_fini || PQstatus(m_pg) != CONNECTION_OK)
        return;
    // Abandoned (a failure while the rows were prepared): the server ends
    // the COPY with an error, and the caller's transaction is rolled back.
    if (PQputCopyEnd(m_pg, "chargement abandonné") == 1)
        while (PGresult* r = PQgetResult(m_pg))
            PQclear(r);
}

void AjoutPostgres::lier(int position, const QVariant& valeur) {
    const size_t i = static_cast<size_t>(position - 1);
    if (position < 1 || i >= m_valeurs.size())
        return;
    m_nulles[i] = valeur.isNull();
    QByteArray& v = m_valeurs[i];
    v.clear();
    if (valeur.isNull())
        return;
    switch (valeur.typeId()) {
    case QMetaType::Double:
        v = QByteArray::number(valeur.toDouble(), 'g', 17);
        break;
    case QMetaType::Int:
    case QMetaType::LongLong:
        v = QByteArray::number(valeur.toLongLong());
        break;
    default:
        ajouterEchappe(v, valeur.toString().toUtf8());
    }
}

void AjoutPostgres::ajouter() {
    for (size_t i = 0; i < m_valeurs.size(); ++i) {
        if (i)
            m_tampon += '\t';
        if (m_nulles[i])
            m_tampon.append("\\N", 2);
        else
            m_tampon += m_valeurs[i];
        m_nulles[i] = true;
    }
    m_tampon += '\n';
    if (m_tampon.size() >= tailleEnvoi)
        envoyer();
}

void AjoutPostgres::envoyer() {
    if (!m_tampon.isEmpty() &&
        PQputCopyData(m_pg, m_tampon.constData(), static_cast<int>(m_tampon.size())) != 1)
        throw erreurRequete(m_pg, nullptr);
    m_tampon.clear();
}

void AjoutPostgres::terminer() {
    if (m_fini)
        return;
    envoyer();
    m_fini = true;
    if (PQputCopyEnd(m_pg, nullptr) != 1)
        throw erreurRequete(m_pg, nullptr);
    Resultat r(PQgetResult(m_pg));
    while (PGresult* suite = PQgetResult(m_pg))
        PQclear(suite);
    if (r.statut() != PGRES_COMMAND_OK)
        throw erreurRequete(m_pg, r.r);
}

// Passwords typed during this session, by URI: kept in memory only, so
// that a session the server dropped is opened again without asking.
QHash<QString, QByteArray>& motsDePasseSaisis() {
    static QHash<QString, QByteArray> m;
    return m;
}

PGconn* connecterAvec(const QString& uri, const QByteArray* motDePasse) {
    const QByteArray u = uri.toUtf8();
    // The URI's own settings win over the waiting time given first; the
    // session's settings given after it win over the URI's. A backslash is
    // an ordinary character in the program's literals, whatever the database
    // or the role says (standard_conforming_strings off would let one end a
    // literal).
    const QByteArray options =
        QByteArrayLiteral("-c default_transaction_read_only=on -c DateStyle=ISO "
                          "-c standard_conforming_strings=on -c lock_timeout=") +
        QByteArray::number(delaiAttenteBaseOccupee);
    const char* cles[] = {
        "connect_timeout", "dbname", "application_name", "client_encoding", "options",
        "password",        nullptr};
    const char* valeurs[] = {
        "10",   u.constData(),       "Tarvenor",
        "UTF8", options.constData(), motDePasse ? motDePasse->constData() : nullptr,
        nullptr};
    if (!motDePasse)
        cles[5] = nullptr;
    return PQconnectdbParams(cles, valeurs, 1);
}

PGconn* connecter(const QString& uri) {
    const auto saisi = motsDePasseSaisis().constFind(uri);
    PGconn* pg =
        connecterAvec(uri, saisi != motsDePasseSaisis().constEnd() ? &saisi.value() : nullptr);
    // The server wants a password that ~/.pgpass did not give: the user is
    // asked (never stored in the settings).
    if (pg && PQstatus(pg) != CONNECTION_OK && PQconnectionNeedsPassword(pg)) {
        const std::optional<QString> mot = demanderMotDePasse(
            QStringLiteral("Mot de passe du compte « %1 » sur le serveur « %2 » :")
                .arg(compteDe(pg, uri), serveurDe(uri)));
        if (mot) {
            PQfinish(pg);
            const QByteArray m = mot->toUtf8();
            pg = connecterAvec(uri, &m);
            if (PQstatus(pg) == CONNECTION_OK)
                motsDePasseSaisis().insert(uri, m);
        }
    }
    if (!pg || PQstatus(pg) != CONNECTION_OK) {
        const DataError e = erreurOuverture(pg, uri);
        PQfinish(pg);
        throw e;
    }
    // The server's notices (a table already absent, …) are not the user's.
    PQsetNoticeProcessor(
        pg, [](void*, const char*) {}, nullptr);
    return pg;
}

bool contientTablesTarvenor(Connexion& c) {
    RecordsetPtr rs = c.Ouvrir(QStringLiteral("SELECT to_regclass('utilisateur') IS NOT NULL"));
    return !rs->isEOF() && rs->Fields(0).toLongLong() != 0;
}

QString lireRessource(const QString& nom) {
    initialiserRessourcesCore();
    QFile f(nom);
    if (!f.open(QIODevice::ReadOnly))
        throw DataError(DataError::ConnexionEchouee, kSource,
                        QStringLiteral("Le schéma de la base est introuvable."));
    return QString::fromUtf8(f.readAll());
}

} // namespace

ConnexionPtr ouvrir(const QString& uri) {
    return std::make_shared<ConnexionPostgres>(connecter(uri), uri);
}

bool utilisable(const Connexion& connexion) {
    const auto* c = dynamic_cast<const ConnexionPostgres*>(&connexion);
    return c && c->utilisable();
}

void verifier(const QString& uri) {
    ConnexionPostgres c(connecter(uri), uri);
    if (!contientTablesTarvenor(c))
        throw DataError(DataError::SchemaAbsent, kSource,
                        QStringLiteral("La base « %1 » ne contient pas les tables de Tarvenor : "
                                       "installez-y le schéma (tarvenor_demo ou tarvenor_import le "
                                       "font sur une base vide).")
                            .arg(nomAffichableBase(uri)));
}

QString definitionOrdreFrancais() {
    // The ligatures first, replaced by the two letters they join; then every
    // letter the French order reads otherwise (capitals, accented letters of
    // the Latin alphabets) with its folded form; the combining marks, which
    // it skips, last and without a counterpart, so that translate() drops
    // them. CREATE OR REPLACE: a classification load brings the function of
    // an older database up to date.
    QString de, vers, marques;
    QString texte = QStringLiteral("texte");
    auto ajouter = [&](char32_t debut, char32_t fin) {
        for (char32_t c = debut; c <= fin; ++c) {
            if (const char* l = ligatureDepliee(c)) {
                texte = QStringLiteral("replace(%1, '%2', '%3')")
                            .arg(texte, QChar(c), QLatin1String(l));
                continue;
            }
            const int r = lettreRepliee(c);
            if (r < 0)
                marques += QChar(c);
            else if (r != int(c) && r < 0x10000) {
                de += QChar(c);
                vers += QChar(char16_t(r));
            }
        }
    };
    ajouter(U'A', U'Z');
    ajouter(0xC0, 0x24F);
    ajouter(0x300, 0x36F);
    ajouter(0x370, 0x52F);
    ajouter(0x1E00, 0x1EFF);
    return QStringLiteral("CREATE OR REPLACE FUNCTION %1(texte text) RETURNS text LANGUAGE sql "
                          "IMMUTABLE STRICT PARALLEL SAFE AS $f$SELECT translate(%2, '%3', '%4') "
                          "COLLATE \"C\"$f$;\n")
        .arg(QLatin1String(nomFonctionOrdreFrancais), texte, de + marques, vers);
}

// The label search's ILIKE '%mot%' conditions read these two columns; the
// trigram indexes let the planner answer them without reading every label,
// with the same rows (the index only preselects, the condition is rechecked).
// pg_trgm is a trusted extension: the database's owner may create it.
constexpr char kIndexLibelles[] = "CREATE EXTENSION IF NOT EXISTS pg_trgm;\n"
                                  "CREATE INDEX IF NOT EXISTS idx_CCAM_sans_accent_trgm ON CCAM "
                                  "USING gin (Libelle_sans_accent gin_trgm_ops);\n"
                                  "CREATE INDEX IF NOT EXISTS idx_CCAM_simplifie_trgm ON CCAM "
                                  "USING gin (Libelle_simplifie gin_trgm_ops);\n";

namespace {

ConnexionPostgres& connexionServeur(Connexion& connexion) {
    return dynamic_cast<ConnexionPostgres&>(connexion);
}

} // namespace

void retirerIndexLibelles(Connexion& connexion) {
    connexionServeur(connexion).executerTexte(
        QByteArrayLiteral("DROP INDEX IF EXISTS idx_CCAM_sans_accent_trgm, "
                          "idx_CCAM_simplifie_trgm"));
}

void construireIndexLibelles(Connexion& connexion) {
    ConnexionPostgres& c = connexionServeur(connexion);
    // Built from all the rows at once: no pending entries left for the
    // planner to price, and the statistics of the table as loaded.
    c.executerTexte(QByteArray(kIndexLibelles) + definitionOrdreFrancais().toUtf8() +
                    QByteArrayLiteral("ANALYZE CCAM;\n"));
}

void creerBase(const QString& uri) {
    const QString schema = lireRessource(QStringLiteral(":/data/schema_pg.sql"));
    ConnexionPostgres c(connecter(uri), uri);
    Transaction t(c);
    // One installation at a time (two tarvenor_demo on one empty database):
    // the second waits for the first, then finds its tables.
    c.verrouiller(QStringLiteral("tarvenor:schema"));
    if (contientTablesTarvenor(c))
        throw DataError(DataError::ErreurServeur, kSource,
                        QStringLiteral("La base « %1 » contient déjà les tables de Tarvenor : le "
                                       "schéma n'y est pas installé une seconde fois.")
                            .arg(nomAffichableBase(uri)));
    // The schema is the server's own SQL: it is not translated.
    const QString fonctions =
        QStringLiteral("CREATE FUNCTION cstr(valeur anyelement) RETURNS text LANGUAGE sql "
                       "IMMUTABLE PARALLEL SAFE AS 'SELECT valeur::text';\n"
                       "CREATE FUNCTION cstr(valeur text) RETURNS text LANGUAGE sql "
                       "IMMUTABLE PARALLEL SAFE AS 'SELECT valeur';\n") +
        definitionOrdreFrancais();
    c.executerTexte(schema.toUtf8());
    c.executerTexte(fonctions.toUtf8());
    c.executerTexte(QByteArray(kIndexLibelles));
    t.valider();
}

} // namespace postgres
