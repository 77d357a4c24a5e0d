#include "MigrationBase.h"

#include "Data.h"
#include "EcritureCcam.h"
#include "Progression.h"

#include <QDate>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <functional>

namespace {

// Rows of an application table sent in one INSERT: a few hundred rows per
// statement instead of one round trip each (a server over the network); the
// progress of a bulk copy moves by as many rows.
constexpr int lignesParInstruction = 200;

const QString titreMigration = QStringLiteral("Migration de la base");

// A value as a literal of the program's SQL: numbers in decimal, dates as
// #mm/dd/yyyy#, text between apostrophes (doubled).
QString litteral(const QVariant& v) {
    if (v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return QString::number(v.toLongLong());
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return v.toDate().isValid()
                   ? QLatin1Char('#') + v.toDate().toString(QStringLiteral("MM/dd/yyyy")) +
                         QLatin1Char('#')
                   : QStringLiteral("NULL");
    default:
        return QLatin1Char('\'') + doublerQuotes(v.toString()) + QLatin1Char('\'');
    }
}

// The rows of one table of the source, fully read.
struct Table {
    QString nom;
    RecordsetPtr lignes;
    int colonne(const QString& c) const { return lignes->indexChamp(c); }
    int taille() const { return lignes ? lignes->RecordCount() : 0; }
    const QVariant& valeur(int ligne, int colonne) const {
        return lignes->valeurLigne(ligne, colonne);
    }
};

Table lireSource(Data& source, const QString& table, const QString& ordre = QString()) {
    QString sql = QStringLiteral("SELECT * FROM ") + table;
    if (!ordre.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + ordre;
    return {table, source.CreeRecordset(sql)};
}

// Any value as text (a code read from an integer column included).
QString texteDe(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

QSet<QString> ensemble(const QStringList& l) {
    return QSet<QString>(l.begin(), l.end());
}

QStringList textes(Connexion& c, const QString& sql) {
    QStringList r;
    RecordsetPtr rs = c.Ouvrir(sql);
    for (int i = 0; i < rs->RecordCount(); ++i)
        r << texteDe(rs->valeurLigne(i, 0));
    return r;
}

// Writes the rows of the source into the target: every column except the
// one the target numbers itself, values changed by remplacer (column index,
// value) on the way.
class Copie {
public:
    Copie(Connexion& cible, ProgressionPortee& progression)
        : m_cible(cible), m_progression(progression) {}

    using Remplacement = std::function<QVariant(int ligne, int colonne, const QVariant&)>;

    // One INSERT per row and the number the target gave it read back, for
    // a table whose references follow (old number -> new number).
    QHash<qlonglong, qlonglong> renumeroter(const Table& t, const QString& cle,
                                            const Remplacement& remplacer = {}) {
        QHash<qlonglong, qlonglong> nouveaux;
        const int k = t.colonne(cle);
        for (int i = 0; i < t.taille(); ++i) {
            m_cible.Execute(insertion(t, k, {i}, remplacer));
            RecordsetPtr id = m_cible.Ouvrir(QStringLiteral("SELECT @@IDENTITY AS ID"));
            if (id->isEOF() || id->Fields(0).isNull())
                throw DataError(0, QStringLiteral("Data"),
                                QStringLiteral("La base cible n'a pas numéroté la ligne "
                                               "ajoutée à la table %1.")
                                    .arg(t.nom));
            nouveaux.insert(t.valeur(i, k).toLongLong(), id->Fields(0).toLongLong());
            m_progression.avancer(1);
        }
        return nouveaux;
    }

    // The rows kept by garder, several per INSERT; returns how many.
    int copier(const Table& t, const Remplacement& remplacer = {},
               const std::function<bool(int ligne)>& garder = {}) {
        QList<int> lignes;
        int ecrites = 0;
        const auto envoyer = [&] {
            if (lignes.isEmpty())
                return;
            m_cible.Execute(insertion(t, -1, lignes, remplacer));
            ecrites += lignes.size();
            m_progression.avancer(lignes.size());
            lignes.clear();
        };
        for (int i = 0; i < t.taille(); ++i) {
            if (garder && !garder(i)) {
                m_progression.avancer(1);
                continue;
            }
            lignes << i;
            if (lignes.size() == lignesParInstruction)
                envoyer();
        }
        envoyer();
        return ecrites;
    }

    // Every row and column as it is, appended in bulk (a classification
    // table, as a load writes it); returns how many.
    int copierEnBloc(const Table& t) {
        QStringList colonnes;
        for (int c = 0; c < t.lignes->FieldCount(); ++c)
            colonnes << t.lignes->FieldName(c);
        AjoutEnBloc ajout(m_cible, t.nom, colonnes);
        for (int i = 0; i < t.taille(); ++i) {
            for (int c = 0; c < colonnes.size(); ++c)
                ajout.lier(c + 1, t.valeur(i, c));
            ajout.ajouter();
            if ((i + 1) % lignesParInstruction == 0)
                m_progression.avancer(lignesParInstruction);
        }
        ajout.terminer();
        m_progression.avancer(t.taille() % lignesParInstruction);
        return t.taille();
    }

private:
    static QString insertion(const Table& t, int sauf, const QList<int>& lignes,
                             const Remplacement& remplacer) {
        QStringList colonnes;
        for (int c = 0; c < t.lignes->FieldCount(); ++c)
            if (c != sauf)
                colonnes << t.lignes->FieldName(c);
        QStringList valeurs;
        for (int i : lignes) {
            QStringList v;
            for (int c = 0; c < t.lignes->FieldCount(); ++c)
                if (c != sauf)
                    v << litteral(remplacer ? remplacer(i, c, t.valeur(i, c)) : t.valeur(i, c));
            valeurs << QLatin1Char('(') + v.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        return QStringLiteral("INSERT INTO %1(%2) VALUES %3")
            .arg(t.nom, colonnes.join(QLatin1Char(',')), valeurs.join(QLatin1Char(',')));
    }

    Connexion& m_cible;
    ProgressionPortee& m_progression;
};

// The same database on both sides (two paths of one file, or one text).
bool memeBase(const QString& a, const QString& b) {
    if (a == b)
        return true;
    const QFileInfo fa(a), fb(b);
    return fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath();
}

QString etatCible() {
    return QStringLiteral("Rien n'a été écrit dans la base cible.");
}

} // namespace

// ------------------------------------------------------------------ report

int ResultatMigration::compte(const QString& table) const {
    for (const auto& [nom, n] : comptes)
        if (nom == table)
            return n;
    return 0;
}

QString ResultatMigration::texte() const {
    QStringList l;
    l << QStringLiteral("Lignes écrites dans la base cible :");
    for (const auto& [nom, n] : comptes)
        l << QStringLiteral("  %1 : %2").arg(nom, -30).arg(n);
    if (classificationCopiee)
        l << QStringLiteral("Classification : copiée de la source (la base cible n'en avait "
                            "pas).");
    else if (classificationConservee)
        l << QStringLiteral("Classification : la base cible a déjà la sienne, elle est "
                            "conservée ; celle de la source n'a pas été copiée.");
    else
        l << QStringLiteral("Classification : ni la source ni la cible n'en ont.");
    l << remarques;
    return l.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// ------------------------------------------------------------------ migration

ResultatMigration migrerBase(const QString& source, const QString& cible) {
    ResultatMigration r;
    if (memeBase(source, cible)) {
        r.resultat = Resultat::refus(
            QStringLiteral("La base source et la base cible sont la même : « %1 ».").arg(cible));
        return r;
    }

    // The source is read whole first: nothing is written before it is known.
    Data dataSource(source);
    Table unites, utilisateurs, medecins, categories, actes;
    QList<Table> classification;
    try {
        unites = lireSource(dataSource, QStringLiteral("UniteMedicale"));
        utilisateurs =
            lireSource(dataSource, QStringLiteral("Utilisateur"), QStringLiteral("UTI_CODE"));
        medecins = lireSource(dataSource, QStringLiteral("Medecin"));
        categories =
            lireSource(dataSource, QStringLiteral("CategorieThesaurus"), QStringLiteral("CT_CODE"));
        actes = lireSource(dataSource, QStringLiteral("Acte_Thesaurus"));
        for (const QString& t : EcritureCcam::tablesClassification())
            classification << lireSource(dataSource, t);
    } catch (const DataError& e) {
        r.resultat =
            Resultat::refus(QStringLiteral("La base source « %1 » ne peut pas être lue : %2\n%3")
                                .arg(source, e.description(), etatCible()));
        return r;
    }

    // Where the classification's rules come from, its versions and the codes
    // they retired go with it; a database written before that was recorded
    // lacks those tables.
    QList<Table> sources;
    for (const QString& t :
         {QStringLiteral("Sources_Regles"), QStringLiteral("Sources_Regles_Actes"),
          QStringLiteral("Versions_Ccam"), QStringLiteral("Actes_Retires")}) {
        try {
            sources << lireSource(dataSource, t);
        } catch (const DataError&) {
            // a database written before that table existed
        }
    }

    const int typeCat = categories.colonne(QStringLiteral("CT_TYPE"));
    const int lienCat = categories.colonne(QStringLiteral("CT_LIEN"));
    const int catActe = actes.colonne(QStringLiteral("AT_CAT"));
    const int utiMed = medecins.colonne(QStringLiteral("MED_CODEUTI"));
    int total = unites.taille() + utilisateurs.taille() + medecins.taille() + categories.taille() +
                actes.taille();
    int totalClassification = 0;
    for (const Table& t : classification)
        totalClassification += t.taille();

    try {
        ConnexionPtr c = Data(cible).CreeConnexion();
        // Clashes are looked for inside the writing transaction, so that what
        // was checked is what is written over.
        Transaction transaction(*c);
        // One migration at a time, and none while an administrator writes
        // accounts: the lock of the administration use cases, held to the
        // end. A second run waits for the first (as long as it takes, on a
        // server), then finds its codes and writes nothing. On SQLite the
        // write lock of the transaction already does it.
        if (c->moteur() == Moteur::Postgres)
            c->Execute(QStringLiteral("SET LOCAL lock_timeout = 0"));
        c->verrouiller(QStringLiteral("tarvenor:comptes"));

        // Owners already on the target: the codes of its rows, and the owner
        // keys of its categories (a thesaurus may outlive its unit or doctor).
        const QSet<QString> loginsCible(
            ensemble(textes(*c, QStringLiteral("SELECT UTI_LOGIN FROM Utilisateur"))));
        QSet<QString> medecinsCible(
            ensemble(textes(*c, QStringLiteral("SELECT MED_CODE FROM Medecin"))));
        QSet<QString> unitesCible(
            ensemble(textes(*c, QStringLiteral("SELECT UM_Code FROM UniteMedicale"))));
        medecinsCible.unite(ensemble(textes(
            *c,
            QStringLiteral("SELECT DISTINCT CT_LIEN FROM CategorieThesaurus WHERE CT_TYPE = 2"))));
        unitesCible.unite(ensemble(textes(
            *c,
            QStringLiteral("SELECT DISTINCT CT_LIEN FROM CategorieThesaurus WHERE CT_TYPE = 1"))));

        QSet<QString> conflits;
        const auto verifier = [&](const Table& t, const QString& colonne,
                                  const QSet<QString>& existants, const QString& genre) {
            const int k = t.colonne(colonne);
            for (int i = 0; i < t.taille(); ++i) {
                const QString code = texteDe(t.valeur(i, k));
                if (existants.contains(code))
                    conflits.insert(QStringLiteral("%1 « %2 »").arg(genre, code));
            }
        };
        verifier(utilisateurs, QStringLiteral("UTI_LOGIN"), loginsCible,
                 QStringLiteral("identifiant"));
        verifier(medecins, QStringLiteral("MED_CODE"), medecinsCible,
                 QStringLiteral("code médecin"));
        verifier(unites, QStringLiteral("UM_Code"), unitesCible, QStringLiteral("code d'unité"));
        for (int i = 0; i < categories.taille(); ++i) {
            const QString lien = texteDe(categories.valeur(i, lienCat));
            const qlonglong type = categories.valeur(i, typeCat).toLongLong();
            if (type == 2 && medecinsCible.contains(lien))
                conflits.insert(QStringLiteral("code médecin « %1 »").arg(lien));
            else if (type == 1 && unitesCible.contains(lien))
                conflits.insert(QStringLiteral("code d'unité « %1 »").arg(lien));
        }
        if (!conflits.isEmpty()) {
            r.conflits = QStringList(conflits.begin(), conflits.end());
            std::sort(r.conflits.begin(), r.conflits.end());
            r.resultat = Resultat::refus(
                QStringLiteral("La migration est refusée : la base cible « %1 » a déjà ces "
                               "codes :\n- %2\nChangez-les dans l'une des deux bases, puis "
                               "recommencez.\n%3")
                    .arg(cible, r.conflits.join(QStringLiteral("\n- ")), etatCible()));
            return r;
        }

        bool classificationCible = false;
        for (const QString& t : EcritureCcam::tablesClassification()) {
            RecordsetPtr n = c->Ouvrir(QStringLiteral("SELECT count(*) AS N FROM ") + t);
            classificationCible = classificationCible || n->Fields(0).toLongLong() > 0;
        }
        const bool copierClassification = !classificationCible && totalClassification > 0;
        if (copierClassification) {
            total += totalClassification;
            for (const Table& t : sources)
                total += t.taille();
        }

        ProgressionPortee progression(titreMigration, total);
        Copie copie(*c, progression);

        r.comptes << qMakePair(unites.nom, copie.copier(unites));

        const QHash<qlonglong, qlonglong> numerosUti =
            copie.renumeroter(utilisateurs, QStringLiteral("UTI_CODE"));
        r.comptes << qMakePair(utilisateurs.nom, int(numerosUti.size()));

        int medecinsSansCompte = 0;
        r.comptes << qMakePair(
            medecins.nom,
            copie.copier(medecins, [&](int, int colonne, const QVariant& v) -> QVariant {
                if (colonne != utiMed)
                    return v;
                const auto it = numerosUti.constFind(v.toLongLong());
                if (!v.isNull() && it != numerosUti.constEnd())
                    return it.value();
                ++medecinsSansCompte;
                return QVariant();
            }));

        const QHash<qlonglong, qlonglong> numerosCat =
            copie.renumeroter(categories, QStringLiteral("CT_CODE"));
        r.comptes << qMakePair(categories.nom, int(numerosCat.size()));

        // Acts of a category the source does not have were never shown: they
        // have no category to follow.
        int actesSansCategorie = 0;
        r.comptes << qMakePair(
            actes.nom,
            copie.copier(
                actes,
                [&](int, int colonne, const QVariant& v) -> QVariant {
                    return colonne == catActe ? QVariant(numerosCat.value(v.toLongLong())) : v;
                },
                [&](int ligne) {
                    const bool garde =
                        numerosCat.contains(actes.valeur(ligne, catActe).toLongLong());
                    actesSansCategorie += !garde;
                    return garde;
                }));

        if (copierClassification) {
            // Written as a load writes them: the label search's indexes of
            // a server built once, after the act rows.
            retirerIndexServeur(*c);
            for (const Table& t : classification)
                r.comptes << qMakePair(t.nom, copie.copierEnBloc(t));
            construireIndexServeur(*c);
            EcritureCcam::creerTablesSuivi(*c);
            QStringList suivi;
            for (const Table& t : sources)
                suivi << t.nom;
            EcritureCcam::vider(*c, suivi);
            for (const Table& t : sources)
                copie.copierEnBloc(t);
        }
        r.classificationCopiee = copierClassification;
        r.classificationConservee = classificationCible;

        // With the target's classification kept, thesaurus acts it lacks
        // are stored but not shown until a version has them.
        QStringList absents;
        if (classificationCible) {
            const QSet<QString> codesCible =
                ensemble(textes(*c, QStringLiteral("SELECT DISTINCT AMCODE FROM CCAM")));
            const int codeActe = actes.colonne(QStringLiteral("AT_Acte"));
            QSet<QString> vus;
            for (int i = 0; i < actes.taille(); ++i) {
                const QString code = texteDe(actes.valeur(i, codeActe));
                if (numerosCat.contains(actes.valeur(i, catActe).toLongLong()) &&
                    !codesCible.contains(code) && !vus.contains(code)) {
                    vus.insert(code);
                    absents << code;
                }
            }
            std::sort(absents.begin(), absents.end());
        }

        transaction.valider();

        if (!absents.isEmpty())
            r.remarques << QStringLiteral("%1 code(s) d'acte des thésaurus absent(s) de la "
                                          "classification de la base cible (ils ne s'afficheront "
                                          "pas) : %2")
                               .arg(absents.size())
                               .arg(absents.size() > 20
                                        ? absents.mid(0, 20).join(QStringLiteral(", ")) +
                                              QStringLiteral("…")
                                        : absents.join(QStringLiteral(", ")));

        if (medecinsSansCompte > 0)
            r.remarques << QStringLiteral("%1 médecin(s) sans compte utilisateur dans la source "
                                          "copié(s) sans compte (MED_CODEUTI vide).")
                               .arg(medecinsSansCompte);
        if (actesSansCategorie > 0)
            r.remarques << QStringLiteral("%1 acte(s) de thésaurus sans catégorie dans la source "
                                          "non copié(s) (ils n'étaient jamais affichés).")
                               .arg(actesSansCategorie);
        r.resultat = Resultat::fait();
    } catch (const DataError& e) {
        r = ResultatMigration();
        r.resultat = Resultat::refus(QStringLiteral("La migration dans la base « %1 » a échoué : "
                                                    "%2\n%3")
                                         .arg(cible, e.description(), etatCible()));
    }
    return r;
}
