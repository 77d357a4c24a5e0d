#include "BaseDeTest.h"

#include "BaseDemonstration.h"
#include "Data.h"
#include "EmpreinteMotDePasse.h"
#include "Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>

bool testsSurServeur() {
    static const bool serveur = qgetenv("TARVENOR_MOTEUR") == "postgres";
    return serveur;
}

QString uriServeurDeTest() {
    QString uri = qEnvironmentVariable("TARVENOR_PG_URI");
    if (uri.isEmpty()) {
        // The cluster scripts/postgres_jetable.sh started for this build.
        QFile f(QStringLiteral(TARVENOR_PG_URI_FICHIER));
        if (f.open(QIODevice::ReadOnly))
            uri = QString::fromUtf8(f.readLine()).trimmed();
    }
    return uri;
}

namespace {

// A suite asked to run on the server ends at once, as skipped, when there is
// no server to run on.
const bool serveurPresent = [] {
    if (testsSurServeur() && uriServeurDeTest().isEmpty()) {
        std::fprintf(stderr, "Tests sur PostgreSQL ignorés : aucun serveur de test "
                             "(TARVENOR_PG_URI non défini ; scripts/postgres_jetable.sh start "
                             "en démarre un).\n");
        std::exit(77);
    }
    return true;
}();

} // namespace

QString executerSurServeur(const QString& sql) {
    PGconn* pg = PQconnectdb(uriServeurDeTest().toUtf8().constData());
    PQsetNoticeProcessor(
        pg, [](void*, const char*) {}, nullptr);
    QString erreur;
    if (PQstatus(pg) != CONNECTION_OK) {
        erreur = QString::fromUtf8(PQerrorMessage(pg));
    } else {
        PGresult* r = PQexec(pg, sql.toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
            erreur = QString::fromUtf8(PQresultErrorMessage(r));
        PQclear(r);
    }
    PQfinish(pg);
    (void)serveurPresent;
    return erreur;
}

QStringList lignesSurServeur(const QString& uri, const QStringList& instructions) {
    PGconn* pg = PQconnectdb(uri.toUtf8().constData());
    PQsetNoticeProcessor(
        pg, [](void*, const char*) {}, nullptr);
    QStringList lignes;
    if (PQstatus(pg) != CONNECTION_OK)
        lignes = {QStringLiteral("<erreur> ") + QString::fromUtf8(PQerrorMessage(pg))};
    for (int i = 0; lignes.isEmpty() && i < instructions.size(); ++i) {
        PGresult* r = PQexec(pg, instructions[i].toUtf8().constData());
        if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
            lignes = {QStringLiteral("<erreur> ") + QString::fromUtf8(PQresultErrorMessage(r))};
        else if (i == instructions.size() - 1)
            for (int l = 0; l < PQntuples(r); ++l)
                lignes += QString::fromUtf8(PQgetvalue(r, l, 0));
        PQclear(r);
    }
    PQfinish(pg);
    return lignes;
}

QString ordreDInsertion() {
    // The server's physical row order: the tables of a test are only
    // appended to.
    return testsSurServeur() ? QStringLiteral("ctid") : QStringLiteral("rowid");
}

QString uriBaseDeTest(const QString& nomBase) {
    QUrl url(uriServeurDeTest());
    url.setPath(QLatin1Char('/') + nomBase);
    return url.toString();
}

BaseDeTest::BaseDeTest(bool demonstration) {
    Data::fermerConnexions();
    if (testsSurServeur()) {
        static int compteur = 0;
        m_baseServeur = QStringLiteral("tarvenor_test_%1_%2")
                            .arg(QCoreApplication::applicationPid())
                            .arg(++compteur);
        executerSurServeur(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_baseServeur));
        const QString erreur =
            executerSurServeur(QStringLiteral("CREATE DATABASE %1").arg(m_baseServeur));
        if (!erreur.isEmpty())
            qFatal("Base de test impossible à créer sur le serveur : %s", qPrintable(erreur));
        m_chemin = uriBaseDeTest(m_baseServeur);
    } else {
        m_chemin = QDir(m_dossier.path()).filePath(QStringLiteral("test.mdb"));
    }
    if (demonstration)
        creerBaseDemonstration(m_chemin);
    else
        Data::creerBase(m_chemin);
    cheminBase = m_chemin;
}

BaseDeTest::~BaseDeTest() {
    Data::fermerConnexions();
    cheminBase.clear();
    if (!m_baseServeur.isEmpty())
        executerSurServeur(
            QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_baseServeur));
}

void BaseDeTest::executer(const QString& sql) const {
    ConnexionPtr c = Data().CreeConnexion();
    c->Execute(sql);
}

long long BaseDeTest::compter(const QString& sql) const {
    RecordsetPtr rs = Data().CreeRecordset(sql);
    return rs->isEOF() ? 0 : rs->Fields(0).toLongLong();
}

void BaseDeTest::ajouterUtilisateur(const QString& login, const QString& motDePasse,
                                    const QString& groupe, const QString& email) const {
    const auto texte = [](const QString& v) {
        return QLatin1Char('\'') + doublerQuotes(v) + QLatin1Char('\'');
    };
    // A hash of the program's form with few iterations, so that fixtures
    // stay quick (the login reads the count from the stored value).
    const QString empreinte =
        empreinteMotDePasse(motDePasse, QByteArrayLiteral("sel de test 16 o"), 1000);
    executer(QStringLiteral("INSERT INTO Utilisateur (UTI_LOGIN, UTI_PWD, UTI_GROUP, UTI_EMAIL) "
                            "VALUES (%1, %2, %3, %4)")
                 .arg(texte(login), texte(empreinte), texte(groupe),
                      email.isEmpty() ? QStringLiteral("NULL") : texte(email)));
}

QStringList colonne(const RecordsetPtr& rs, int position) {
    if (!rs)
        return {QStringLiteral("<aucun recordset>")};
    QStringList l;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        const QVariant v = rs->Fields(position);
        l << (v.isNull() ? QStringLiteral("<NULL>") : v.toString());
    }
    rs->MoveFirst();
    return l;
}

QStringList colonne(const RecordsetPtr& rs, const QString& nom) {
    return rs ? colonne(rs, rs->indexChamp(nom)) : colonne(rs, 0);
}

QString dossierCcamNational() {
    const QDir d(QStringLiteral(TARVENOR_CCAM_DIR));
    return d.exists(QStringLiteral("ccam_v81.csv")) ? d.absolutePath() : QString();
}

void BaseDeTest::refuser(const QString& nom, const QString& operation, const QString& table,
                         const QString& message, const QString& condition) const {
    const QString texte = QLatin1Char('\'') + doublerQuotes(message) + QLatin1Char('\'');
    if (!testsSurServeur()) {
        executer(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, "
                                "%5); END")
                     .arg(nom, operation, table,
                          condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition,
                          texte));
        return;
    }
    executer(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $f$ BEGIN "
                            "IF %2 THEN RAISE EXCEPTION %3; END IF; IF TG_OP = 'DELETE' THEN "
                            "RETURN OLD; END IF; RETURN NEW; END $f$;"
                            "CREATE TRIGGER %1 BEFORE %4 ON %5 FOR EACH ROW EXECUTE FUNCTION %1()")
                 .arg(nom, condition.isEmpty() ? QStringLiteral("true") : condition, texte,
                      operation, table));
}

void BaseDeTest::retirerRefus(const QString& nom, const QString& table) const {
    if (!testsSurServeur())
        executer(QStringLiteral("DROP TRIGGER %1").arg(nom));
    else
        executer(QStringLiteral("DROP TRIGGER %1 ON %2; DROP FUNCTION %1()").arg(nom, table));
}
