#include "EcritureCcam.h"

#include "Data.h"
#include "IndexLibelles.h"
#include "LecteurCsv.h"
#include "VersionsCcam.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

using Paire = ClassificationCcam::Paire;

} // namespace

const QStringList& EcritureCcam::tablesClassification() {
    static const QStringList t{
        QStringLiteral("CCAM"),
        QStringLiteral("Systèmes"),
        QStringLiteral("ORGANES"),
        QStringLiteral("Hierarchie1"),
        QStringLiteral("Hierarchie2"),
        QStringLiteral("Hierarchie3"),
        QStringLiteral("Hierarchie4"),
        QStringLiteral("Actes_Procedures"),
        QStringLiteral("Actes_Associes"),
        QStringLiteral("Actes_Incompatibles"),
        QStringLiteral("Modificateurs"),
        QStringLiteral("Acte_Modificateur"),
        QStringLiteral("Notes_Utilisation_Actes"),
        QStringLiteral("Notes_Hierarchie"),
        QStringLiteral("Extension_documentaire"),
        QStringLiteral("Actes_extension_documentaire"),
        QStringLiteral("Exo_TM"),
        QStringLiteral("Regroupement"),
    };
    return t;
}

namespace {

using EcritureCcam::tablesClassification;

// Tables that come from the reference folder only.
const QStringList& tablesReferences() {
    static const QStringList t{QStringLiteral("Systèmes"),
                               QStringLiteral("ORGANES"),
                               QStringLiteral("Extension_documentaire"),
                               QStringLiteral("Actes_extension_documentaire"),
                               QStringLiteral("Exo_TM"),
                               QStringLiteral("Regroupement")};
    return t;
}

QVariant texteOuNull(const QString& t) {
    return t.isEmpty() ? QVariant() : QVariant(t);
}

QString etatBase(bool creee) {
    return creee ? QStringLiteral("La base créée pour ce chargement a été supprimée.")
                 : QStringLiteral("La base n'a pas été modifiée.");
}

// ---------------------------------------------------------------- faults

// A write refused for lack of room: the disk (or the quota) is full, or the
// file reached the largest size allowed to this process.
bool manqueDePlace(int codeSqlite, int errnoSysteme) {
    return (codeSqlite & 0xff) == SQLITE_FULL || errnoSysteme == ENOSPC || errnoSysteme == EDQUOT ||
           errnoSysteme == EFBIG;
}

ErreurImport erreurDisquePlein(const QString& chemin, bool creee) {
    return ErreurImport(QStringLiteral("Le disque est plein : la base « %1 » n'a pas pu être "
                                       "écrite. Libérez de la place sur le disque (le chargement "
                                       "de la CCAM demande quelques dizaines de Mo), puis "
                                       "recommencez.\n%2")
                            .arg(chemin, etatBase(creee)));
}

ErreurImport erreurBaseOccupee(const QString& chemin, bool creee) {
    return ErreurImport(QStringLiteral("La base « %1 » est utilisée par un autre programme "
                                       "(attendu %2 s) : attendez qu'il ait terminé ou fermez-le, "
                                       "puis recommencez.\n%3")
                            .arg(chemin)
                            .arg(EcritureCcam::attenteBaseOccupeeMs / 1000)
                            .arg(etatBase(creee)));
}

// The message of a failed write: a full disk and a busy database are named as such.
ErreurImport erreurEcriture(const QString& chemin, const DataError& e, int errnoSysteme,
                            bool creee) {
    if (manqueDePlace(e.numero(), errnoSysteme))
        return erreurDisquePlein(chemin, creee);
    if ((e.numero() & 0xff) == SQLITE_BUSY || (e.numero() & 0xff) == SQLITE_LOCKED)
        return erreurBaseOccupee(chemin, creee);
    return ErreurImport(QStringLiteral("Le chargement dans la base « %1 » a échoué : %2\n%3")
                            .arg(chemin, e.description(), etatBase(creee)));
}

// ---------------------------------------------------------------- existing target

// One SQLite handle of its own on the target, to check it before the kept
// connection opens it. Read-write, so that a transaction left by a killed
// program is rolled back as any opener does; it reads only.
class VerificationCible {
public:
    explicit VerificationCible(const QString& chemin) : m_chemin(chemin) {
        m_rc = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &m_db,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (m_rc == SQLITE_OK)
            sqlite3_busy_timeout(m_db, EcritureCcam::attenteBaseOccupeeMs);
    }
    ~VerificationCible() { sqlite3_close_v2(m_db); }
    VerificationCible(const VerificationCible&) = delete;
    VerificationCible& operator=(const VerificationCible&) = delete;

    // The first column of every row, or nothing with rc() set on a fault.
    QStringList lire(const char* sql) {
        QStringList r;
        sqlite3_stmt* st = nullptr;
        if (m_rc == SQLITE_OK)
            m_rc = sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr);
        int pas = SQLITE_DONE;
        while (m_rc == SQLITE_OK && (pas = sqlite3_step(st)) == SQLITE_ROW)
            r << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        if (m_rc == SQLITE_OK && pas != SQLITE_DONE)
            m_rc = sqlite3_errcode(m_db);
        sqlite3_finalize(st);
        return r;
    }
    int rc() const { return m_rc; }
    QString detail() const {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                    : QString::fromUtf8(sqlite3_errstr(m_rc));
    }

private:
    QString m_chemin;
    sqlite3* m_db = nullptr;
    int m_rc = SQLITE_OK;
};

ErreurImport erreurBaseEndommagee(const QString& chemin, const QString& detail) {
    return ErreurImport(QStringLiteral("La base « %1 » est endommagée (vérification de SQLite : "
                                       "%2) : le chargement est refusé. Remettez une sauvegarde "
                                       "de la base, puis recommencez.\n%3")
                            .arg(chemin, detail, etatBase(false)));
}

void refuserSiIllisible(const QString& chemin, const VerificationCible& v) {
    switch (v.rc() & 0xff) {
    case SQLITE_OK:
        return;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw erreurBaseOccupee(chemin, false);
    case SQLITE_CORRUPT:
        throw erreurBaseEndommagee(chemin, v.detail());
    default:
        throw ErreurImport(QStringLiteral("La base « %1 » ne peut pas être lue (%2).\n%3")
                               .arg(chemin, v.detail(), etatBase(false)));
    }
}

// Checks an existing target before the kept connection opens it: a SQLite
// file must hold every table a load writes or reads, pass SQLite's quick
// check, and be writable with its folder. A file that is not SQLite (an empty
// one included) is left to Data, which refuses it without changing it.
void verifierCibleExistante(const QString& chemin) {
    const QFileInfo info(chemin);
    if (info.isDir() || info.size() == 0)
        return;
    // Checked first: a database in a folder that cannot be written to may not
    // even be readable here (its journal files cannot be created).
    if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable())
        throw ErreurImport(QStringLiteral("La base « %1 » ne peut pas être modifiée (fichier ou "
                                          "dossier en lecture seule).\n%2")
                               .arg(chemin, etatBase(false)));
    VerificationCible v(chemin);
    const QStringList tables = v.lire("SELECT name FROM sqlite_master WHERE type = 'table'");
    if ((v.rc() & 0xff) == SQLITE_NOTADB)
        return;
    refuserSiIllisible(chemin, v);
    QStringList manquantes = tablesClassification();
    manquantes << QStringLiteral("Acte_Thesaurus");
    for (const QString& t : tables)
        manquantes.removeAll(t);
    if (!manquantes.isEmpty())
        throw ErreurImport(QStringLiteral("La base « %1 » n'est pas une base Tarvenor : la table "
                                          "« %2 » est absente.\n%3")
                               .arg(chemin, manquantes.first(), etatBase(false)));
    const QStringList verification = v.lire("PRAGMA quick_check(5)");
    refuserSiIllisible(chemin, v);
    if (verification != QStringList{QStringLiteral("ok")})
        throw erreurBaseEndommagee(chemin, verification.join(QStringLiteral(" ; ")));
}

// ---------------------------------------------------------------- writing

void insererCcam(Connexion& c, const std::vector<ClassificationCcam::LigneCcam>& lignes) {
    AjoutEnBloc ajout(
        c, QStringLiteral("CCAM"),
        {QStringLiteral("AMCODE"), QStringLiteral("Activite"), QStringLiteral("Libelle_Activite"),
         QStringLiteral("Phase"), QStringLiteral("Libelle_Phase"), QStringLiteral("Tarif"),
         QStringLiteral("ICR"), QStringLiteral("Libelle_Court"), QStringLiteral("Libelle_Complet"),
         QStringLiteral("Libelle_sans_accent"), QStringLiteral("Libelle_simplifie"),
         QStringLiteral("PositionH"), QStringLiteral("Caractere_classant"),
         QStringLiteral("Exo_TM"), QStringLiteral("Regroupement")});
    QString dernier;
    QString sansAccent, simplifie;
    for (const auto& l : lignes) {
        if (l.libelle != dernier) { // the rows of one act follow each other
            dernier = l.libelle;
            sansAccent = libelleSansAccent(l.libelle);
            simplifie = libelleSimplifie(l.libelle);
        }
        ajout.lier(1, l.code);
        ajout.lier(2, l.activite);
        ajout.lier(3, l.libelleActivite);
        ajout.lier(4, l.phase);
        ajout.lier(5, l.libellePhase);
        ajout.lier(6, l.tarif);
        ajout.lier(7, l.icr);
        ajout.lier(8, l.libelle);
        ajout.lier(9, l.libelle);
        ajout.lier(10, sansAccent);
        ajout.lier(11, simplifie);
        ajout.lier(12, l.positionH);
        ajout.lier(13, l.classant);
        ajout.lier(14, texteOuNull(l.exoTm));
        ajout.lier(15, texteOuNull(l.regroupement));
        ajout.ajouter();
    }
    ajout.terminer();
}

void lierTout(AjoutEnBloc& ajout, const Paire& p) {
    ajout.lier(1, p.first);
    ajout.lier(2, p.second);
}
template <size_t N> void lierTout(AjoutEnBloc& ajout, const std::array<QString, N>& t) {
    for (size_t i = 0; i < N; ++i)
        ajout.lier(static_cast<int>(i) + 1, t[i]);
}
template <size_t N> void lierTout(AjoutEnBloc& ajout, const std::array<QVariant, N>& t) {
    for (size_t i = 0; i < N; ++i)
        ajout.lier(static_cast<int>(i) + 1, t[i]);
}
void lierTout(AjoutEnBloc& ajout, const ClassificationCcam::Modificateur& m) {
    ajout.lier(1, m.code);
    ajout.lier(2, m.libelle);
    ajout.lier(3, m.tarif);
    ajout.lier(4, m.pourcentage);
}
void lierTout(AjoutEnBloc& ajout, const ClassificationCcam::Extension& x) {
    ajout.lier(1, x.id);
    ajout.lier(2, x.code);
    ajout.lier(3, x.libelle);
}
void lierTout(AjoutEnBloc& ajout, const std::tuple<int, QString, QString>& x) {
    ajout.lier(1, std::get<0>(x));
    ajout.lier(2, std::get<1>(x));
    ajout.lier(3, std::get<2>(x));
}

// The rows of one table, appended in bulk; colonnes is the list of its
// columns separated by commas, in the order lierTout binds them.
template <typename Lignes>
void inserer(Connexion& c, const QString& table, const QString& colonnes, const Lignes& lignes) {
    AjoutEnBloc ajout(c, table, colonnes.split(QStringLiteral(", ")));
    for (const auto& l : lignes) {
        lierTout(ajout, l);
        ajout.ajouter();
    }
    ajout.terminer();
}

void insererTableur(Connexion& c, const ClassificationCcam& k) {
    for (int n = 0; n < 4; ++n)
        inserer(c, QStringLiteral("Hierarchie%1").arg(n + 1), QStringLiteral("Code, Libelle"),
                k.hierarchie[n]);
    inserer(c, QStringLiteral("Notes_Hierarchie"), QStringLiteral("Code, Note_Hierarchie"),
            k.notesHierarchie);
    inserer(c, QStringLiteral("Notes_Utilisation_Actes"),
            QStringLiteral("AMCODE, Note_Utilisation"), k.notesActes);
    inserer(c, QStringLiteral("Modificateurs"), QStringLiteral("Code, Libelle, Tarif, Pourcentage"),
            k.modificateurs);
    inserer(c, QStringLiteral("Acte_Modificateur"),
            QStringLiteral("AMCODE, Activite, Modificateur"), k.acteModificateur);
    inserer(c, QStringLiteral("Actes_Associes"),
            QStringLiteral("Acte1, activite1, Acte2, Activite2"), k.actesAssocies);
    inserer(c, QStringLiteral("Actes_Incompatibles"), QStringLiteral("acte1, acte2"),
            k.incompatibles);
}

// Where each kind of rule comes from, and the acts each source knows.
void insererSources(Connexion& c, const ClassificationCcam& k) {
    std::vector<std::array<QVariant, 11>> sources;
    for (const SourceRegles& s : k.sources)
        sources.push_back({codeGenreRegle(s.genre), texteOuNull(s.base), texteOuNull(s.version),
                           texteOuNull(s.dateBase), texteOuNull(s.fichier), s.lignes, s.retenues,
                           s.ecartees, s.sansLigne, s.tireesDesNotes, s.tousLesActes ? 1 : 0});
    inserer(c, QStringLiteral("Sources_Regles"),
            QStringLiteral("Regle, Base, Version, Date_Base, Fichier, Lignes, Retenues, Ecartees, "
                           "Sans_Ligne, Tirees_Des_Notes, Tous_Actes"),
            sources);
    std::vector<Paire> connus;
    connus.reserve(k.actesConnus.size());
    for (const auto& [genre, code] : k.actesConnus)
        connus.emplace_back(codeGenreRegle(genre), code);
    inserer(c, QStringLiteral("Sources_Regles_Actes"), QStringLiteral("Regle, AMCODE"), connus);
}

void insererReferences(Connexion& c, const ClassificationCcam& k) {
    inserer(c, QStringLiteral("\"Systèmes\""), QStringLiteral("SYCODE, SYLIBELLE"), k.systemes);
    inserer(c, QStringLiteral("ORGANES"), QStringLiteral("ORCODE, ORLIBELLE, ORSYSTEME"),
            k.organes);
    inserer(c, QStringLiteral("Extension_documentaire"),
            QStringLiteral("Id_extension, Code, Libelle"), k.extensions);
    inserer(c, QStringLiteral("Actes_extension_documentaire"),
            QStringLiteral("Id_extension, AMCODE, Activite"), k.actesExtensions);
    inserer(c, QStringLiteral("Exo_TM"), QStringLiteral("Code, Libelle"), k.exoTm);
    inserer(c, QStringLiteral("Regroupement"), QStringLiteral("Code, Libelle"), k.regroupements);
}

// Every classification table emptied and refilled in one transaction; returns
// the thesaurus acts the new classification lacks.
// The version this load writes, and the codes it retires: those of the
// classification in place that the new one lacks keep their last label,
// chapter and the version that retired them, so that thesauri still name
// them; a code that comes back is no longer retired.
void enregistrerVersion(Connexion& c, const ClassificationCcam& k) {
    EcritureCcam::creerTablesSuivi(c);
    const VersionCcam nouvelle = versionDuTitre(k.version);
    QString ancienne;
    {
        RecordsetPtr rs = c.Ouvrir(QStringLiteral("SELECT Version FROM Versions_Ccam ORDER BY "
                                                  "Ordre DESC"));
        if (rs->RecordCount() > 0)
            ancienne = rs->Fields(0).toString();
    }
    QSet<QString> codes;
    for (const auto& l : k.ccam)
        codes.insert(l.code);
    std::vector<std::array<QVariant, 5>> retires;
    RecordsetPtr anciens = c.Ouvrir(
        QStringLiteral("SELECT AMCODE, max(Libelle_Complet), max(PositionH) FROM CCAM GROUP BY "
                       "AMCODE"));
    for (int i = 0; i < anciens->RecordCount(); ++i) {
        const QString code = anciens->valeurLigne(i, 0).toString();
        if (!code.isEmpty() && !codes.contains(code))
            retires.push_back({code, anciens->valeurLigne(i, 1), anciens->valeurLigne(i, 2),
                               texteOuNull(nouvelle.numero), texteOuNull(ancienne)});
    }
    // Codes of this version are not retired; codes retired now are written anew.
    InstructionPreparee effacer(c, QStringLiteral("DELETE FROM Actes_Retires WHERE AMCODE = ?"));
    RecordsetPtr dejaRetires =
        c.Ouvrir(QStringLiteral("SELECT DISTINCT AMCODE FROM Actes_Retires"));
    for (int i = 0; i < dejaRetires->RecordCount(); ++i) {
        const QString code = dejaRetires->valeurLigne(i, 0).toString();
        if (codes.contains(code)) {
            effacer.lier(1, code);
            effacer.executer();
        }
    }
    for (const auto& r : retires) {
        effacer.lier(1, r[0]);
        effacer.executer();
    }
    inserer(c, QStringLiteral("Actes_Retires"),
            QStringLiteral("AMCODE, Libelle, PositionH, Version_Retrait, Derniere_Version"),
            retires);
    InstructionPreparee version(
        c, QStringLiteral("INSERT INTO Versions_Ccam (Ordre, Version, Titre, Applicable, "
                          "Charge_Le) VALUES ((SELECT coalesce(max(Ordre), 0) + 1 FROM "
                          "Versions_Ccam), ?, ?, ?, ?)"));
    version.lier(1, texteOuNull(nouvelle.numero));
    version.lier(2, k.version);
    version.lier(3, texteOuNull(nouvelle.applicable));
    version.lier(4, QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    version.executer();
}

QStringList ecrire(Connexion& c, const ClassificationCcam& k) {
    Transaction t(c);
    // Two loads of one server database take turns (on a file the
    // transaction's write lock already does it), so that neither waits for
    // the other's tables while holding its own.
    c.verrouiller(QStringLiteral("tarvenor:classification"));
    enregistrerVersion(c, k);
    QStringList tables;
    for (const QString& table : tablesClassification())
        if (k.references || !tablesReferences().contains(table))
            tables << table;
    tables << QStringLiteral("Sources_Regles") << QStringLiteral("Sources_Regles_Actes");
    retirerIndexServeur(c);
    IndexLibelles::retirerDeclencheurs(c);
    EcritureCcam::vider(c, tables);
    insererCcam(c, k.ccam);
    IndexLibelles::reconstruire(c);
    construireIndexServeur(c);
    insererTableur(c, k);
    insererSources(c, k);
    if (k.references)
        insererReferences(c, k);
    QStringList absents;
    RecordsetPtr rs =
        c.Ouvrir(QStringLiteral("SELECT DISTINCT AT_Acte FROM Acte_Thesaurus WHERE AT_Acte NOT IN "
                                "(SELECT AMCODE FROM CCAM) ORDER BY AT_Acte"));
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        absents << rs->Fields(0).toString();
    t.valider();
    return absents;
}

// After a failed write (a full disk, an I/O error), SQLite may leave the
// connection unable to roll back, with the original pages only in the hot
// journal. A fresh connection that reads the file plays the journal back, so
// the file is left byte for byte as it was instead of waiting for the next
// program that opens it.
void retablirFichier(const QString& fichier) {
    Data::fermerConnexions();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(fichier).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, EcritureCcam::attenteBaseOccupeeMs);
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
}

// Writes into the database file fichier through the kept connection,
// turning a DataError into the user's message about the database cible.
QStringList ecrireDans(const QString& fichier, const QString& cible, const ClassificationCcam& k,
                       bool creee) {
    ConnexionPtr c;
    try {
        c = Data(fichier).CreeConnexion();
    } catch (const DataError& e) {
        throw erreurEcriture(cible, e, 0, creee);
    }
    if (c->lectureSeule())
        throw ErreurImport(QStringLiteral("La base « %1 » ne peut pas être modifiée (fichier ou "
                                          "dossier en lecture seule).\n%2")
                               .arg(cible, etatBase(creee)));
    try {
        return ecrire(*c, k);
    } catch (const DataError& e) {
        const ErreurImport erreur = erreurEcriture(cible, e, c->erreurSysteme(), creee);
        c.reset();
        if (!creee)
            retablirFichier(fichier);
        throw erreur;
    }
}

// ---------------------------------------------------------------- new database

// Beside the target, hidden, named after it and this process.
QString cheminTemporaire(const QString& cible) {
    const QFileInfo info(cible);
    return info.dir().filePath(QStringLiteral(".%1.import-%2")
                                   .arg(info.fileName())
                                   .arg(QCoreApplication::applicationPid()));
}

void supprimerAvecJournaux(const QString& chemin) {
    for (const QString& suffixe :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(chemin + suffixe);
}

// Temporary files left by an import of the same target that was killed (its
// process is gone).
void supprimerRestesDImportsInterrompus(const QString& cible) {
    const QFileInfo info(cible);
    const QString prefixe = QStringLiteral(".%1.import-").arg(info.fileName());
    for (const QString& nom :
         info.dir().entryList({prefixe + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const qint64 pid = nom.mid(prefixe.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(info.dir().filePath(nom));
    }
}

// The finished file in the rollback-journal mode that every SQLite tool
// expects, and on disk, before it takes the target's name.
void terminerFichier(const QString& chemin, const QString& cible) {
    Data::fermerConnexions();
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, EcritureCcam::attenteBaseOccupeeMs);
        rc = sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    }
    const int errnoSysteme = db ? sqlite3_system_errno(db) : 0;
    sqlite3_close_v2(db);
    if (rc != SQLITE_OK)
        throw erreurEcriture(
            cible, DataError(rc, QStringLiteral("Data"), QString::fromUtf8(sqlite3_errstr(rc))),
            errnoSysteme, true);
}

// Gives the finished file the target's name in one step, never replacing a
// file that appeared meanwhile (and never copying, unlike QFile::rename).
bool renommerSansRemplacer(const QString& de, const QString& vers) {
    const QByteArray a = QFile::encodeName(de);
    const QByteArray b = QFile::encodeName(vers);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without that flag: a hard link, else a plain rename.
    if (::link(a.constData(), b.constData()) == 0) {
        ::unlink(a.constData()); // the target is complete either way
        return true;
    }
    if (errno == EEXIST || QFileInfo::exists(vers))
        return false;
    return ::rename(a.constData(), b.constData()) == 0;
}

// Makes the rename itself durable.
void synchroniserDossier(const QString& dossier) {
    const int fd = ::open(QFile::encodeName(dossier).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QStringList creerBase(const QString& cible, const ClassificationCcam& k) {
    const QFileInfo info(cible);
    if (!QFileInfo(info.absolutePath()).isDir())
        throw ErreurImport(QStringLiteral("Impossible de créer la base « %1 » : le dossier "
                                          "« %2 » n'existe pas.")
                               .arg(cible, info.absolutePath()));
    supprimerRestesDImportsInterrompus(cible);
    const QString temporaire = cheminTemporaire(cible);
    supprimerAvecJournaux(temporaire);
    try {
        try {
            Data::creerBase(temporaire);
        } catch (const DataError& e) {
            if (manqueDePlace(e.numero(), 0))
                throw erreurDisquePlein(cible, true);
            throw ErreurImport(QStringLiteral("Impossible de créer la base « %1 » : %2")
                                   .arg(cible, e.description()));
        }
        QStringList absents = ecrireDans(temporaire, cible, k, true);
        terminerFichier(temporaire, cible);
        if (!renommerSansRemplacer(temporaire, cible))
            throw ErreurImport(QStringLiteral("Impossible de créer la base « %1 » : un fichier de "
                                              "ce nom est apparu pendant le chargement, ou le "
                                              "dossier refuse le renommage.\n%2")
                                   .arg(cible, etatBase(true)));
        synchroniserDossier(info.absolutePath());
        return absents;
    } catch (...) {
        Data::fermerConnexions();
        supprimerAvecJournaux(temporaire);
        throw;
    }
}

// ---------------------------------------------------------------- server database

// A database on a server: a database without Tarvenor's tables gets them
// first; the classification is then replaced in one transaction, which the
// server takes back on any failure (the connection lost included).
ResultatEcriture enregistrerSurServeur(const ClassificationCcam& k, const QString& uri) {
    const QString nom = nomAffichableBase(uri);
    ResultatEcriture r;
    auto echec = [&](const DataError& e) {
        return ErreurImport(
            QStringLiteral("Le chargement dans la base « %1 » a échoué : %2\n%3")
                .arg(nom, e.description(),
                     r.baseCreee ? QStringLiteral("Les tables de Tarvenor installées sur la base "
                                                  "n'ont pas reçu de classification.")
                                 : etatBase(false)));
    };
    try {
        ConnexionPtr c = Data(uri).CreeConnexion();
        try {
            c->Ouvrir(QStringLiteral("SELECT count(*) FROM Utilisateur WHERE 1 = 0"));
        } catch (const DataError& e) {
            if (e.numero() != DataError::SchemaAbsent)
                throw;
            Data::creerBase(uri);
            r.baseCreee = true;
        }
        // The label search's indexes are built by the load's own
        // transaction: a database installed before them gets them too.
        r.actesThesaurusAbsents = ecrire(*c, k);
    } catch (const DataError& e) {
        throw echec(e);
    }
    return r;
}

} // namespace

void EcritureCcam::creerTablesSuivi(Connexion& c) {
    const bool serveur = c.moteur() == Moteur::Postgres;
    const QString texte = serveur ? QStringLiteral("text COLLATE \"C\"") : QStringLiteral("TEXT");
    const QString entier = serveur ? QStringLiteral("integer") : QStringLiteral("INTEGER");
    c.Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS Sources_Regles (Regle %1, Base %1, "
                             "Version %1, Date_Base %1, Fichier %1, Lignes %2, Retenues %2, "
                             "Ecartees %2, Sans_Ligne %2, Tirees_Des_Notes %2, Tous_Actes %2)")
                  .arg(texte, entier));
    c.Execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS Sources_Regles_Actes (Regle %1, AMCODE %1)")
            .arg(texte));
    c.Execute(QStringLiteral("CREATE INDEX IF NOT EXISTS idx_Sources_Regles_Actes ON "
                             "Sources_Regles_Actes(Regle, AMCODE)"));
    c.Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS Versions_Ccam (Ordre %2, Version %1, "
                             "Titre %1, Applicable %1, Charge_Le %1)")
                  .arg(texte, entier));
    c.Execute(QStringLiteral("CREATE TABLE IF NOT EXISTS Actes_Retires (AMCODE %1, Libelle %1, "
                             "PositionH %1, Version_Retrait %1, Derniere_Version %1)")
                  .arg(texte));
    c.Execute(QStringLiteral("CREATE INDEX IF NOT EXISTS idx_Actes_Retires ON "
                             "Actes_Retires(AMCODE)"));
}

void EcritureCcam::vider(Connexion& c, const QStringList& tables) {
    if (c.moteur() != Moteur::Postgres) {
        // A file: the rows deleted, the pages freed at commit.
        for (const QString& t : tables)
            c.Execute(QStringLiteral("DELETE FROM \"%1\"").arg(t));
        return;
    }
    // On a server TRUNCATE drops the tables' files at commit instead of
    // marking every row deleted (no dead rows left for the next load or for
    // vacuum), and is taken back with the transaction like the rest. It
    // holds each table's exclusive lock until the transaction ends: on a
    // shared server, the other sessions that read the classification (a
    // search, an act's details, a report) wait for the load to commit and
    // then read the new classification; one that waits longer than
    // delaiAttenteBaseOccupee is told the base is busy and may try again.
    // The load itself waits as long for a session in the middle of a read.
    QStringList noms;
    for (const QString& t : tables)
        noms << QLatin1Char('"') + t + QLatin1Char('"');
    c.Execute(QStringLiteral("TRUNCATE ") + noms.join(QStringLiteral(", ")));
}

ResultatEcriture EcritureCcam::enregistrer(const ClassificationCcam& k, const QString& cheminBase) {
    if (cheminBase.trimmed().isEmpty())
        throw ErreurImport(QStringLiteral("Aucune base de données n'est indiquée."));
    if (estAdresseServeur(cheminBase))
        return enregistrerSurServeur(k, cheminBase);
    ResultatEcriture r;
    if (QFileInfo::exists(cheminBase)) {
        verifierCibleExistante(cheminBase);
        r.actesThesaurusAbsents = ecrireDans(cheminBase, cheminBase, k, false);
    } else {
        r.actesThesaurusAbsents = creerBase(cheminBase, k);
        r.baseCreee = true;
    }
    return r;
}
