#include "Data.h"

#include "Messages.h"
#include "MoteurPostgres.h"
#include "MoteurSqlite.h"
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

} // namespace

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
        verifierBaseSqlite(m_chemin);
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
        auto c = connexionSqlite(ouvrirSqlite(m_chemin, Ouverture::Session), m_chemin);
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
    const ConnexionPtr c = connexionSqlite(ouvrirSqlite(chemin, Ouverture::Creation), chemin);
    Transaction t(*c);
    c->Execute(sql);
    t.valider();
}

// ---------------------------------------------------------------- helpers

QString messageNombreDeValeurs(qsizetype valeurs) {
    return QStringLiteral("La requête n'attend pas %1 valeur(s).").arg(valeurs);
}

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
