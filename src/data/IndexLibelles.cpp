#include "IndexLibelles.h"

#include "ClassificationCcam.h"
#include "OrdreFrancais.h"

#include <QHash>
#include <QMap>
#include <QMutex>
#include <map>
#include <sqlite3.h>

namespace IndexLibelles {

namespace {

// How a word is shown: an acronym as the labels write it, any other word in
// lower case (the labels capitalise their first word).
QString formeAffichee(const QString& mot) {
    const QString minuscules = mot.toLower();
    return (mot == mot.toUpper() && mot != minuscules) ? mot : minuscules;
}

void ajouterLigneVocabulaire(QString& texte, QStringView mot, QStringView forme, int frequence) {
    texte += mot;
    texte += u'\t';
    texte += forme;
    texte += u'\t';
    texte += QString::number(frequence);
    texte += u'\n';
}

// Writes CCAM_Vocabulaire and returns the same words as one text
// (texteVocabulaire).
QString construireVocabulaire(Connexion& c) {
    struct Entree {
        int frequence = 0;
        QString dernierCode;
        QHash<QString, int> formes;
    };
    // Kept in order, so that two loads of the same classification write the
    // same rows in the same order (a file compared or copied after a load).
    QMap<QString, Entree> vocabulaire;
    RecordsetPtr rs = c.Ouvrir(QStringLiteral(
        "SELECT DISTINCT AMCODE, Libelle_Complet FROM CCAM WHERE Libelle_Complet IS NOT NULL"));
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        const QString code = rs->Fields(0).toString();
        for (const QString& mot : motsDuLibelle(rs->Fields(1).toString())) {
            const QString cle = formeRecherche(mot);
            if (cle.isEmpty() || cle.contains(u' '))
                continue;
            Entree& e = vocabulaire[cle];
            if (e.frequence == 0 || e.dernierCode != code) {
                ++e.frequence;
                e.dernierCode = code;
            }
            ++e.formes[formeAffichee(mot)];
        }
    }
    InstructionPreparee ins(c, QStringLiteral("INSERT INTO CCAM_Vocabulaire (Mot, Forme, "
                                              "Frequence) VALUES (?, ?, ?)"));
    QString texte;
    for (auto it = vocabulaire.cbegin(); it != vocabulaire.cend(); ++it) {
        // The form most labels use; between equals, the first in French order.
        QString forme;
        int vue = 0;
        for (auto f = it->formes.cbegin(); f != it->formes.cend(); ++f)
            if (f.value() > vue || (f.value() == vue && avantFrancais(f.key(), forme))) {
                forme = f.key();
                vue = f.value();
            }
        ins.lier(1, it.key());
        ins.lier(2, forme);
        ins.lier(3, it->frequence);
        ins.executer();
        ajouterLigneVocabulaire(texte, it.key(), forme, it->frequence);
    }
    return texte;
}

} // namespace

void retirerDeclencheurs(Connexion& c) {
    if (c.moteur() != Moteur::Sqlite)
        return;
    for (const char* nom :
         {"CCAM_Recherche_ajout", "CCAM_Recherche_modification", "CCAM_Recherche_suppression"})
        c.Execute(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(nom)));
}

void reconstruire(Connexion& c) {
    // The index is SQLite's FTS5: a server database is searched by the scan.
    if (c.moteur() != Moteur::Sqlite)
        return;
    // Dropped and created again rather than emptied: quicker, and the index
    // is written compact.
    retirerDeclencheurs(c);
    for (const char* nom : {"CCAM_Recherche", "CCAM_Vocabulaire", "CCAM_Recherche_Etat"})
        c.Execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(nom)));
    c.Execute(QStringLiteral("CREATE VIRTUAL TABLE CCAM_Recherche USING fts5(AMCODE UNINDEXED, "
                             "Libelles, tokenize='trigram', columnsize=0)"));
    c.Execute(QStringLiteral("CREATE TABLE CCAM_Vocabulaire (Mot TEXT PRIMARY KEY, Forme TEXT, "
                             "Frequence INTEGER) WITHOUT ROWID"));
    // The mark row also holds the vocabulary as one text: an earlier version
    // of the program that loads a classification creates the table again
    // without that column, so a text that no longer describes the rows is
    // never read.
    c.Execute(
        QStringLiteral("CREATE TABLE CCAM_Recherche_Etat (Valide INTEGER, Vocabulaire TEXT)"));
    // Both search forms on one text, on two lines: a word found in either
    // form is found in the text (a match across the line break only adds a
    // candidate that the search's own conditions then drop).
    c.Execute(QStringLiteral(
        "INSERT INTO CCAM_Recherche (AMCODE, Libelles) SELECT DISTINCT AMCODE, "
        "coalesce(Libelle_sans_accent, '') || char(10) || coalesce(Libelle_simplifie, '') "
        "FROM CCAM"));
    c.Execute(QStringLiteral("INSERT INTO CCAM_Recherche (CCAM_Recherche) VALUES ('optimize')"));
    const QString vocabulaire = construireVocabulaire(c);
    InstructionPreparee marque(
        c, QStringLiteral("INSERT INTO CCAM_Recherche_Etat (Valide, Vocabulaire) VALUES (1, ?)"));
    marque.lier(1, vocabulaire);
    marque.executer();
    // Any later change of the act rows that does not rebuild the index (an
    // earlier version of the program loading a classification, a SQLite
    // tool) clears the mark: searches then scan the labels until the next
    // load. Plain SQL, so that every SQLite tool runs it.
    c.Execute(QStringLiteral("CREATE TRIGGER CCAM_Recherche_ajout AFTER INSERT ON CCAM BEGIN "
                             "DELETE FROM CCAM_Recherche_Etat; END"));
    c.Execute(QStringLiteral("CREATE TRIGGER CCAM_Recherche_modification AFTER UPDATE OF AMCODE, "
                             "Libelle_Complet, Libelle_sans_accent, Libelle_simplifie ON CCAM "
                             "BEGIN DELETE FROM CCAM_Recherche_Etat; END"));
    c.Execute(QStringLiteral("CREATE TRIGGER CCAM_Recherche_suppression AFTER DELETE ON CCAM BEGIN "
                             "DELETE FROM CCAM_Recherche_Etat; END"));
}

QString etatFichier(Connexion& c) {
    sqlite3* db = baseSqlite(c);
    if (!db)
        return c.chemin();
    qint64 version = -1;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        version = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return QStringLiteral("%1|%2|%3|%4")
        .arg(c.chemin())
        .arg(reinterpret_cast<quintptr>(db))
        .arg(version)
        .arg(sqlite3_total_changes64(db));
}

namespace {

// What present() found on one connection, and the state of the file it
// found it in.
struct Presence {
    QString etat; // etatFichier
    bool present = false;
    unsigned int versionVue = 0; // the file's version as the connection last read it
    sqlite3_int64 changements = 0;
};

QMutex verrouPresences;
std::map<quint64, Presence> presences; // by connection number

// The file's data version as this connection's last read found it, known
// without reading the file again.
unsigned int versionVue(sqlite3* db) {
    unsigned int version = 0;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_DATA_VERSION, &version);
    return version;
}

} // namespace

bool present(Connexion& c) {
    const QMutexLocker garde(&verrouPresences);
    sqlite3* db = baseSqlite(c);
    if (!db)
        return false; // a server database has no label index: the scan answers
    const QString etat = etatFichier(c);
    Presence& p = presences[c.numero()];
    if (p.etat != etat) {
        // Prepared, not run: fails when the table is missing, or when this
        // SQLite lacks FTS5 or the trigram tokenizer. Then the mark that the
        // act rows have not changed since the index was built.
        sqlite3_stmt* st = nullptr;
        bool ok = sqlite3_prepare_v2(
                      db, "SELECT AMCODE FROM CCAM_Recherche WHERE CCAM_Recherche MATCH 'abc'", -1,
                      &st, nullptr) == SQLITE_OK;
        sqlite3_finalize(st);
        st = nullptr;
        ok = ok &&
             sqlite3_prepare_v2(db, "SELECT count(*) FROM CCAM_Recherche_Etat", -1, &st, nullptr) ==
                 SQLITE_OK &&
             sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) > 0;
        sqlite3_finalize(st);
        p.etat = etat;
        p.present = ok;
    }
    p.versionVue = versionVue(db);
    p.changements = sqlite3_total_changes64(db);
    return p.present;
}

std::optional<bool> presentSansLecture(Connexion& c) {
    const QMutexLocker garde(&verrouPresences);
    sqlite3* db = baseSqlite(c);
    if (!db)
        return false;
    const auto it = presences.find(c.numero());
    if (it == presences.end() || it->second.versionVue != versionVue(db) ||
        it->second.changements != sqlite3_total_changes64(db))
        return std::nullopt;
    return it->second.present;
}

QString texteVocabulaire(Connexion& c) {
    if (!present(c))
        return QString();
    // Prepared, not run: fails when the mark table has no such column (an
    // index built before it, or by an earlier version of the program).
    const char* enUnTexte = "SELECT Vocabulaire FROM CCAM_Recherche_Etat";
    sqlite3_stmt* st = nullptr;
    const bool colonne =
        sqlite3_prepare_v2(baseSqlite(c), enUnTexte, -1, &st, nullptr) == SQLITE_OK;
    sqlite3_finalize(st);
    QString texte;
    if (colonne) {
        RecordsetPtr rs = c.Ouvrir(QString::fromLatin1(enUnTexte));
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
            texte += rs->Fields(0).toString();
        return texte;
    }
    RecordsetPtr rs =
        c.Ouvrir(QStringLiteral("SELECT Mot, Forme, Frequence FROM CCAM_Vocabulaire"));
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext())
        ajouterLigneVocabulaire(texte, rs->Fields(0).toString(), rs->Fields(1).toString(),
                                rs->Fields(2).toInt());
    return texte;
}

QStringList motsDuLibelle(const QString& libelle) {
    QStringList mots;
    qsizetype debut = -1;
    bool lettre = false;
    for (qsizetype i = 0; i <= libelle.size(); ++i) {
        const bool dedans = i < libelle.size() && libelle.at(i).isLetterOrNumber();
        if (dedans) {
            if (debut < 0) {
                debut = i;
                lettre = false;
            }
            lettre = lettre || libelle.at(i).isLetter();
        } else if (debut >= 0) {
            if (lettre && i - debut >= 3)
                mots << libelle.mid(debut, i - debut);
            debut = -1;
        }
    }
    return mots;
}

QString formeRecherche(const QString& mot) {
    return libelleSimplifie(mot);
}

} // namespace IndexLibelles
