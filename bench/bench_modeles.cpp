// Speed of the basket admission and of the act detail texts on a database of
// the classification's real size, and of the thesaurus import: first on
// synthetic rows (8,000 acts, 16,000 CCAM rows, 150,000 incompatible pairs),
// then on the national CCAM (TARVENOR_CCAM_DIR) loaded by the program's
// importer, when it is there.
//
// Prints, for each measure, the median over repeated runs, and its ratio to
// one plain query on the same database (the baseline of this run).

#include "AjoutPanier.h"
#include "Data.h"
#include "DetailsActe.h"
#include "EchangeThesaurus.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Panier.h"
#include "adCCAM.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int nombreActes = 8000;

void sql(Connexion& c, const char* texte) {
    try {
        c.Execute(QString::fromUtf8(texte));
    } catch (const DataError& e) {
        std::fprintf(stderr, "SQL: %s\n", qPrintable(e.description()));
        std::exit(1);
    }
}

// Act n is "AAAA" + 3 digits + a letter group, as long as a CCAM code.
void remplirBase(const QString& chemin) {
    Data::creerBase(chemin);
    ConnexionPtr c = Data(chemin).CreeConnexion();
    sql(*c, "BEGIN");
    sql(*c, "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 7999) "
            "INSERT INTO CCAM (AMCODE, Activite, Libelle_Activite, Phase, Libelle_Phase, Tarif, "
            "ICR, Libelle_Complet, PositionH, Caractere_classant, Exo_TM, Regroupement) "
            "SELECT printf('A%03dX%03d', i / 1000, i % 1000), a.act, 'Activité ' || a.act, '0', "
            "'Phase unique', 20 + (i % 500) * 1.5, 40, 'Libellé complet de l''acte numéro ' || i "
            "|| ' avec une description d''une longueur réaliste', "
            "printf('%02d%02d%02d%02d', 1 + i % 18, 1 + i % 9, 1 + i % 7, i % 3), 'Y', '2', "
            "'ADC' FROM n, (SELECT '1' AS act UNION ALL SELECT '4') a");
    // About 150,000 incompatible pairs.
    sql(*c,
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 149999) "
        "INSERT INTO Actes_Incompatibles SELECT printf('A%03dX%03d', (i % 8000) / 1000, i % "
        "1000), printf('A%03dX%03d', ((i * 7919 + i / 8000 * 131) % 8000) / 1000, (i * 7919 + i / "
        "8000 * 131) % 1000) FROM n");
    sql(*c, "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 2999) "
            "INSERT INTO Actes_Procedures SELECT printf('A%03dX%03d', (i % 8000) / 1000, i % "
            "1000), printf('A%03dX%03d', ((i * 31) % 8000) / 1000, (i * 31) % 1000) FROM n");
    sql(*c, "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 11999) "
            "INSERT INTO Actes_Associes SELECT printf('A%03dX%03d', (i % 8000) / 1000, i % "
            "1000), '1', printf('A%03dX%03d', ((i * 13 + i / 8000 * 7) % 8000) / 1000, (i * 13 + "
            "i / 8000 * 7) % 1000), '1' FROM n");
    sql(*c, "INSERT INTO Modificateurs VALUES ('J', 'Modificateur J', NULL, 0.5), "
            "('K', 'Modificateur K', NULL, 0.115), ('F', 'Forfait F', 19.06, NULL), "
            "('U', 'Urgence', 25.15, NULL)");
    sql(*c, "INSERT INTO Acte_Modificateur SELECT AMCODE, Activite, m.Code FROM CCAM, "
            "Modificateurs m");
    sql(*c, "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 3999) "
            "INSERT INTO Notes_Utilisation_Actes SELECT printf('A%03dX%03d', (i * 2 % 8000) / "
            "1000, i * 2 % 1000), 'Note d''utilisation¶avec une suite' FROM n");
    sql(*c, "INSERT INTO Hierarchie1 SELECT DISTINCT substr(PositionH, 1, 2), 'Niveau 1' FROM "
            "CCAM");
    sql(*c, "INSERT INTO Hierarchie2 SELECT DISTINCT substr(PositionH, 1, 2) || '.' || "
            "substr(PositionH, 3, 2), 'Niveau 2' FROM CCAM");
    sql(*c, "INSERT INTO Hierarchie3 SELECT DISTINCT substr(PositionH, 1, 2) || '.' || "
            "substr(PositionH, 3, 2) || '.' || substr(PositionH, 5, 2), 'Niveau 3' FROM CCAM");
    sql(*c, "INSERT INTO Notes_Hierarchie SELECT Code, 'Note de hiérarchie¶suite' FROM "
            "Hierarchie2");
    sql(*c, "INSERT INTO Exo_TM VALUES ('2', 'Exonération 2')");
    sql(*c, "INSERT INTO Regroupement VALUES ('ADC', 'Actes de chirurgie')");
    sql(*c, "COMMIT");
}

QString code(int i) {
    return QStringLiteral("A%1X%2")
        .arg(i / 1000, 3, 10, QChar('0'))
        .arg(i % 1000, 3, 10, QChar('0'));
}

// Median duration of fn in microseconds over n runs.
double mediane(int n, const std::function<void()>& fn) {
    std::vector<double> t;
    QElapsedTimer chrono;
    for (int i = 0; i < n; ++i) {
        chrono.start();
        fn();
        t.push_back(chrono.nsecsElapsed() / 1000.0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// The national CCAM loaded into the database; false when it is absent.
bool chargerCcamNationale(const QString& chemin) {
    const QDir ccam(QStringLiteral(TARVENOR_CCAM_DIR));
    const QString tableur = ccam.filePath(QStringLiteral("ccam_v81.csv"));
    if (!QFileInfo::exists(tableur))
        return false;
    try {
        ImportCcam import(tableur, ccam.absolutePath());
        import.charger(chemin);
    } catch (const ErreurImport& e) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(e.message()));
        std::exit(1);
    }
    return true;
}

// The first column of a query's rows.
QStringList colonne(const QString& requete) {
    QStringList l;
    for (RecordsetPtr rs = Data().CreeRecordset(requete); !rs->isEOF(); rs->MoveNext())
        l << rs->Fields(0).toString();
    return l;
}
} // namespace

// Every measure on one database: the synthetic one, or the national CCAM.
// False when the national CCAM is asked for and absent.
bool mesurer(const QTemporaryDir& dossier, bool nationale, const QString& serveur = {}) {
    Data::fermerConnexions();
    cheminBase = !serveur.isEmpty()
                     ? serveur
                     : dossier.filePath(nationale ? QStringLiteral("nationale.mdb")
                                                  : QStringLiteral("synthetique.mdb"));
    QElapsedTimer chrono;
    chrono.start();
    if (!nationale)
        remplirBase(cheminBase);
    else if (!chargerCcamNationale(cheminBase))
        return false;
    std::printf(
        "\n%s: %lld lignes CCAM, %lld paires incompatibles (%lld ms)\n",
        nationale ? "CCAM nationale V81" : "Base synthétique",
        Data().CreeRecordset("SELECT count(*) FROM CCAM")->Fields(0).toLongLong(),
        Data().CreeRecordset("SELECT count(*) FROM Actes_Incompatibles")->Fields(0).toLongLong(),
        static_cast<long long>(chrono.elapsed()));

    // The candidate: the act with the most incompatible acts (the longest
    // admission test and incompatibility text). The basket: 20 other acts
    // spread over the classification. The import: the first acts.
    QString cible = code(4321);
    QStringList codesPanier, codesImport;
    for (int i = 0; i < 20; ++i)
        codesPanier << code(100 + i * 7);
    for (int i = 0; i < nombreActes; ++i)
        codesImport << code(i);
    if (nationale) {
        cible = colonne("SELECT a FROM (SELECT Acte1 AS a FROM Actes_Incompatibles UNION ALL "
                        "SELECT Acte2 FROM Actes_Incompatibles) AS t GROUP BY a ORDER BY count(*) "
                        "DESC, a LIMIT 1")
                    .value(0);
        codesImport = colonne("SELECT DISTINCT AMCODE FROM CCAM ORDER BY AMCODE");
        codesPanier.clear();
        for (int i = 0; i < 20; ++i)
            codesPanier << codesImport.value(i * codesImport.size() / 20);
    }
    std::printf("Acte mesuré %s: %lld actes incompatibles\n", qUtf8Printable(cible),
                static_cast<long long>(accesCCAM.getIncompatibilites(cible)->RecordCount()));
    const double base = mediane(200, [&] { accesCCAM.getIncompatibilites(cible); });
    std::printf("Référence: une requête getIncompatibilites  %9.1f µs\n", base);

    // A 20-act basket (when none is linked with the candidate, the admission
    // runs its three queries in full).
    Panier panier;
    for (const QString& c : codesPanier) {
        Acte a;
        a.code = c;
        a.activite = QStringLiteral("1");
        panier.ajouterActe(a);
    }
    qint16 resultat = 0;
    const double admission = mediane(200, [&] { resultat = verifierAdmission(panier, cible); });
    std::printf("Admission contre un panier de 20 actes     %9.1f µs  (x%.1f, résultat %d)\n",
                admission, admission / base, resultat);

    const RecordsetPtr acte = accesCCAM.getActe(cible, QStringLiteral("1"));
    const char* noms[] = {"Honoraires", "Activités associées", "Notes d'utilisation",
                          "Hiérarchie", "Associations",        "Incompatibilités",
                          "Exonération"};
    double total = 0;
    for (qint16 s = 1; s <= 7; ++s) {
        int longueur = 0;
        const double t = mediane(100, [&] { longueur = texteDetailsActe(acte, s).size(); });
        total += t;
        std::printf("Texte %d %-22s %9.1f µs  (x%.1f, %d caractères)\n", s, noms[s - 1], t,
                    t / base, longueur);
    }
    std::printf("Les sept textes d'un acte                  %9.1f µs  (x%.1f)\n", total,
                total / base);

    // Import: a file of 100 categories of 200 acts each.
    const QString fichier = dossier.filePath(QStringLiteral("import.txt"));
    {
        QFile f(fichier);
        if (!f.open(QIODevice::WriteOnly))
            std::exit(1);
        f.write("01/01/2026\tUM1 - Bench\r\n");
        for (int c = 0; c < 100; ++c) {
            QByteArray ligne = "Catégorie " + QByteArray::number(c);
            for (int a = 0; a < 200; ++a)
                ligne += "\t" + codesImport.at((c * 200 + a) % codesImport.size()).toLatin1();
            f.write(ligne + "\r\n");
        }
    }
    chrono.start();
    remplacerThesaurusParFichier(fichier, QStringLiteral("UM1"), 1);
    const qint64 ms = chrono.elapsed();
    std::printf("Import de 100 catégories, 20000 actes       %9lld ms  (%.0f actes/s)\n",
                static_cast<long long>(ms), 20000.0 * 1000.0 / std::max<qint64>(ms, 1));
    Data::fermerConnexions();
    return true;
}

// The synthetic database has the classification's size in every table; the
// national spreadsheet brings real acts, labels and hierarchy, and the CNAM
// base's rule files beside it their incompatible pairs.
//
// Usage: bench_modeles [URI of an empty PostgreSQL database]: with a URI, the
// national measures are made on the server too.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dossier;
    mesurer(dossier, false);
    if (!mesurer(dossier, true))
        std::printf("\nCCAM nationale absente (%s) : mesure sautée.\n", TARVENOR_CCAM_DIR);
    else if (argc > 1 && estAdresseServeur(QString::fromLocal8Bit(argv[1]))) {
        std::printf("\nSur le serveur PostgreSQL :");
        mesurer(dossier, true, QString::fromLocal8Bit(argv[1]));
    }
    return 0;
}
