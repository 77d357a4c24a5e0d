// Many copies of the program on one database at once. The program starts N
// client processes (itself, with the role argument --client); each one is a
// doctor running the core use cases for a bounded time: log in
// (ouvrirSession), keyword search, add acts to his thesaurus
// (ajouterActesCategorie), replace a thesaurus shared by every client from
// a file (remplacerThesaurusParFichier), code a basket (ajouterAuPanier, then
// the act put in the basket), and read the classification's size. Halfway,
// the parent loads another CCAM version (the importer, in one transaction).
//
// Then it checks, from the database itself:
// - lost writes: every act a client saw committed is in its category;
// - doubled thesauri: the shared thesaurus holds exactly the categories of
//   one file, never a mixture of two replaces;
// - orphans: no act is left whose category is gone (clients also add acts
//   to the shared thesaurus's categories while others replace it);
// - the version load was all or nothing for the clients: every read saw the
//   old classification or the new one, and no client read the old one after
//   the new one.
// and prints operations, errors (with their messages), and the median and
// 99th percentile of each kind of operation.
//
// Usage: charge_clients [--clients N] [--duree S] [--tableur CSV
//                        [--references DOSSIER]] [BASE]
//   N (20) clients for S (20) seconds. BASE: a database given over to the
//   test (its classification is replaced by the CSV, default the small test
//   spreadsheet; accounts CHARGE01… and doctor codes CHG01… are added); a
//   temporary demonstration database when absent.
// Exit status 0 when nothing was lost, doubled or seen half-loaded and
// every client ended; errors (a database busy beyond the wait) are reported,
// not failed.

#include "AccesDonnees.h"
#include "Acte.h"
#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "BaseDemonstration.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "EmpreinteMotDePasse.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Medecin.h"
#include "Messages.h"
#include "Panier.h"
#include "Parametres.h"
#include "PlancherRecherche.h"
#include "RechercheMotCle.h"
#include "Session.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString motDePasse = QStringLiteral("CHARGE");
const QString proprietairePartage = QStringLiteral("CHGPARTAGE");
constexpr int fichiersPartages = 2;
constexpr int categoriesParFichier = 3;
constexpr int actesParCategorie = 20;

QString login(int i) {
    return QStringLiteral("CHARGE%1").arg(i, 2, 10, QLatin1Char('0'));
}
QString codeMedecin(int i) {
    return QStringLiteral("CHG%1").arg(i, 2, 10, QLatin1Char('0'));
}
QString libelleFichier(int f, int c) {
    return QStringLiteral("Fichier %1 catégorie %2").arg(f).arg(c);
}
QString cheminFichier(const QString& dossier, int f) {
    return QDir(dossier).filePath(QStringLiteral("partage%1.txt").arg(f));
}

QStringList premiereColonne(const RecordsetPtr& rs) {
    QStringList l;
    for (int i = 0; rs && i < rs->RecordCount(); ++i)
        l << rs->valeurLigne(i, 0).toString();
    return l;
}

long long nombreActesCcam() {
    const RecordsetPtr rs =
        accesDonnees.executSQL(QStringLiteral("SELECT count(*) AS N FROM CCAM"));
    return rs && !rs->isEOF() ? rs->Fields(0).toLongLong() : -1;
}

// ------------------------------------------------------------------ client

const QStringList recherches{
    QStringLiteral("fracture femur"), QStringLiteral("exerese lesion"),
    QStringLiteral("biopsie"),        QStringLiteral("ablation rein"),
    QStringLiteral("suture plaie"),   QStringLiteral("prothese genou"),
    QStringLiteral("anesthesie"),     QStringLiteral("appendicectomie"),
};

// One client: its lines on the standard output at the end, one fact each:
// "L kind ms" a latency, "E kind message" an error, "C category code" a
// committed act, "V count" the classification's size as read, "X text" the
// end of a client that could not work.
int client(int numero, const QString& base, const QString& dossier, int dureeMs) {
    Parametres::redirigerVers(QDir(dossier).filePath(QStringLiteral("client%1.ini").arg(numero)));
    MessagesScriptes messages;
    QStringList sortie;
    const auto ecrire = [&] {
        std::printf("%s\n", qUtf8Printable(sortie.join(QLatin1Char('\n'))));
        std::fflush(stdout);
        Data::fermerConnexions();
    };
    QElapsedTimer total;
    total.start();
    // The kind of operation, its latency, and an error when a message was
    // shown or the use case said it failed.
    const auto operation = [&](const char* genre, auto&& fn) {
        const size_t avant = messages.journal().size();
        QElapsedTimer chrono;
        chrono.start();
        const bool ok = fn();
        const double ms = chrono.nsecsElapsed() / 1e6;
        sortie << QStringLiteral("L %1 %2").arg(QLatin1String(genre)).arg(ms, 0, 'f', 3);
        if (!ok || messages.journal().size() != avant) {
            const QString texte = messages.journal().size() != avant
                                      ? messages.journal().back().texte
                                      : QStringLiteral("échec sans message");
            sortie << QStringLiteral("E %1 %2").arg(QLatin1String(genre),
                                                    QString(texte).replace(u'\n', u' '));
        }
        return ok && messages.journal().size() == avant;
    };

    bool session = false;
    operation("session", [&] {
        const ResultatSession r = ouvrirSession(login(numero), motDePasse, base);
        session = r.resultat.estFait() && medecinCourant;
        return session;
    });
    if (!session) {
        sortie << QStringLiteral("X session refusée : %1").arg(messages.textes().join(u' '));
        ecrire();
        return 0;
    }
    long categorie = 0;
    operation("categorie", [&] {
        categorie = accesCCAM.insererCatAndGetCode(codeMedecin(numero),
                                                   QStringLiteral("Ajouts de la charge"), 2);
        return categorie > 0;
    });
    QStringList codes =
        premiereColonne(accesDonnees.executSQL(QStringLiteral("SELECT DISTINCT AMCODE FROM CCAM")));
    if (codes.isEmpty())
        codes << QStringLiteral("AAAA001");

    PlancherRecherche plancher(base);
    int k = numero * 7;
    int ajout = 0;
    while (total.elapsed() < dureeMs) {
        switch (k % 5) {
        case 0: {
            // The search users get (label index on a file, trigram indexes on
            // a server), then its floor on the same database (PlancherRecherche.h).
            const QString saisie = recherches.at(k / 5 % recherches.size());
            operation("recherche", [&] {
                return RechercheMotCle::rechercher(RechercheMotCle::motsCles(saisie), false) !=
                       nullptr;
            });
            operation("plancher-rech", [&] { return plancher.executer(saisie) >= 0; });
            break;
        }
        case 1: {
            const QString code = QStringLiteral("C%1X%2")
                                     .arg(numero, 2, 10, QLatin1Char('0'))
                                     .arg(ajout++, 5, 10, QLatin1Char('0'));
            if (ajout % 2 == 0) {
                // Into a category of the shared thesaurus, which the other
                // clients replace meanwhile: added, or refused because the
                // category is gone; never stored without its category.
                operation("ajout-partage", [&] {
                    const RecordsetPtr cats =
                        accesCCAM.getCategoriesThesaurus(proprietairePartage, 2);
                    if (!cats)
                        return false;
                    if (cats->isEOF())
                        return true;
                    const long cat = long(cats->Fields(QStringLiteral("CT_CODE")).toLongLong());
                    const QString lib = cats->Fields(QStringLiteral("CT_LIB")).toString();
                    const Resultat r =
                        ajouterActesCategorie({QStringLiteral("P") + code}, cat, lib);
                    return r.estFait() || r.message == messageCategorieSupprimee(lib);
                });
                break;
            }
            if (operation("ajout", [&] {
                    return ajouterActesCategorie({code}, categorie,
                                                 QStringLiteral("Ajouts de la charge"))
                        .estFait();
                }))
                sortie << QStringLiteral("C %1 %2").arg(categorie).arg(code);
            break;
        }
        case 2:
            operation("remplacement", [&] {
                return remplacerThesaurusParFichier(
                    cheminFichier(dossier, (k / 5 + numero) % fichiersPartages),
                    proprietairePartage, 2);
            });
            break;
        case 3:
            operation("panier", [&] {
                const QString code = codes.at((k * 31) % codes.size());
                choisirActeCourant({code, {}, {}});
                const Resultat r = ajouterAuPanier();
                if (r.estFait()) {
                    const RecordsetPtr acte = accesDonnees.getActe(code);
                    if (!acte)
                        return false;
                    if (!acte->isEOF()) {
                        Acte a;
                        a.code = code;
                        a.libelle = acte->Fields(QStringLiteral("Libelle_Complet")).toString();
                        a.activite = acte->Fields(QStringLiteral("Activite")).toString();
                        a.Phase = acte->Fields(QStringLiteral("Phase")).toString();
                        panier().ajouterActe(a);
                    }
                }
                if (panier().getListeActes().size() >= 12)
                    panierCourant = std::make_unique<Panier>();
                // A refused admission (an incompatible act) is an answer,
                // not a fault; a failed read shows its message.
                return true;
            });
            break;
        default:
            operation("version", [&] {
                const long long n = nombreActesCcam();
                sortie << QStringLiteral("V %1").arg(n);
                return n >= 0;
            });
        }
        ++k;
    }
    ecrire();
    return 0;
}

// ------------------------------------------------------------------ parent

struct Comptes {
    QMap<QString, std::vector<double>> latences;
    QMap<QString, int> erreurs;
    QMap<QString, QStringList> exemples;
};

double centile(std::vector<double> v, int p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * p / 100)];
}

// The accounts and doctors of the clients, and the shared files.
bool preparer(int clients, const QString& dossier) {
    MessagesScriptes messages;
    const QStringList unites = premiereColonne(accesDonnees.getListeUM());
    const QString unite = unites.value(0, QStringLiteral("CHARGE"));
    for (int i = 1; i <= clients; ++i) {
        const RecordsetPtr existe = accesDonnees.getUtilisateurLogin(login(i));
        if (existe && existe->RecordCount() > 0)
            continue;
        if (!accesDonnees.nouveauUtilisateur(login(i), empreinteMotDePasse(motDePasse),
                                             QStringLiteral("MEDECIN"), QString(), codeMedecin(i),
                                             QStringLiteral("CLIENT DE CHARGE %1").arg(i), unite,
                                             QStringLiteral("1"))) {
            std::fprintf(stderr, "Compte %s non créé : %s\n", qUtf8Printable(login(i)),
                         qUtf8Printable(messages.textes().join(u' ')));
            return false;
        }
    }
    for (int f = 0; f < fichiersPartages; ++f) {
        QString texte =
            QStringLiteral("01/01/2026\t%1 - Partage\tCHARGE\r\n").arg(proprietairePartage);
        for (int c = 0; c < categoriesParFichier; ++c) {
            texte += libelleFichier(f, c);
            for (int a = 0; a < actesParCategorie; ++a)
                texte +=
                    QStringLiteral("\tF%1C%2A%3").arg(f).arg(c).arg(a, 3, 10, QLatin1Char('0'));
            texte += QStringLiteral("\r\n");
        }
        QFile fichier(cheminFichier(dossier, f));
        if (!fichier.open(QIODevice::WriteOnly) || fichier.write(texte.toUtf8()) < 0)
            return false;
    }
    return true;
}

int parent(int clients, int dureeS, const QString& baseDonnee, const QString& tableur,
           const QString& references) {
    QTemporaryDir dossier;
    Parametres::redirigerVers(QDir(dossier.path()).filePath(QStringLiteral("parent.ini")));
    QString base = baseDonnee;
    if (base.isEmpty()) {
        base = QDir(dossier.path()).filePath(QStringLiteral("charge.mdb"));
        creerBaseDemonstration(base);
    }
    cheminBase = base;
    if (!preparer(clients, dossier.path()))
        return 1;
    const long long versionAvant = nombreActesCcam();
    Data::fermerConnexions();

    std::printf("%d clients, %d s, base « %s »\n", clients, dureeS, qUtf8Printable(base));
    std::vector<std::unique_ptr<QProcess>> processus;
    QElapsedTimer chrono;
    chrono.start();
    for (int i = 1; i <= clients; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--client"), QString::number(i), base, dossier.path(),
                  QString::number(dureeS * 1000)});
        processus.push_back(std::move(p));
    }

    // The new classification, loaded while the clients work.
    QThread::msleep(static_cast<unsigned long>(dureeS * 500));
    QString chargement;
    QElapsedTimer chronoChargement;
    chronoChargement.start();
    try {
        ImportCcam import(tableur, references);
        import.charger(base);
        chargement = QStringLiteral("réussi en %1 ms").arg(chronoChargement.elapsed());
    } catch (const ErreurImport& e) {
        chargement = QStringLiteral("échoué après %1 ms : %2")
                         .arg(chronoChargement.elapsed())
                         .arg(e.message());
    }
    Data::fermerConnexions();
    const long long versionApres = nombreActesCcam();

    Comptes comptes;
    QMap<long, QStringList> engages; // category -> acts seen committed
    int clientsEchoues = 0, lecturesIncoherentes = 0, lecturesVersion = 0, apresChargement = 0;
    QStringList fins;
    for (auto& p : processus) {
        if (!p->waitForFinished(dureeS * 1000 + 120000) ||
            p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) {
            ++clientsEchoues;
            p->kill();
            p->waitForFinished();
            continue;
        }
        bool nouvelleVue = false;
        const QStringList lignes =
            QString::fromUtf8(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& ligne : lignes) {
            const QString genre = ligne.section(u' ', 1, 1);
            switch (ligne.at(0).unicode()) {
            case 'L':
                comptes.latences[genre].push_back(ligne.section(u' ', 2, 2).toDouble());
                break;
            case 'E':
                ++comptes.erreurs[genre];
                if (comptes.exemples[genre].size() < 2 &&
                    !comptes.exemples[genre].contains(ligne.section(u' ', 2)))
                    comptes.exemples[genre] << ligne.section(u' ', 2);
                break;
            case 'C':
                engages[genre.toLong()] << ligne.section(u' ', 2, 2);
                break;
            case 'V': {
                const long long n = genre.toLongLong();
                ++lecturesVersion;
                const bool ancienne = n == versionAvant, nouvelle = n == versionApres;
                if ((!ancienne && !nouvelle) || (ancienne && !nouvelle && nouvelleVue))
                    ++lecturesIncoherentes;
                if (nouvelle && !ancienne) {
                    nouvelleVue = true;
                    ++apresChargement;
                }
                break;
            }
            case 'X':
                ++clientsEchoues;
                fins << ligne.mid(2);
                break;
            }
        }
    }
    const double secondes = chrono.elapsed() / 1000.0;

    // Lost writes: every act a client saw committed is still in its category.
    cheminBase = base;
    MessagesScriptes messages;
    int perdues = 0, engagees = 0;
    for (auto it = engages.cbegin(); it != engages.cend(); ++it) {
        const QSet<QString> presents = [&] {
            const QStringList l = premiereColonne(accesDonnees.executSQL(
                QStringLiteral("SELECT AT_Acte FROM Acte_Thesaurus WHERE AT_CAT = %1")
                    .arg(it.key())));
            return QSet<QString>(l.begin(), l.end());
        }();
        for (const QString& code : it.value()) {
            ++engagees;
            perdues += !presents.contains(code);
        }
    }
    // Doubled thesauri: the shared one is exactly one file's categories,
    // each with its acts once.
    QStringList libelles = premiereColonne(accesDonnees.executSQL(
        QStringLiteral("SELECT CT_LIB FROM CategorieThesaurus WHERE CT_TYPE = 2 AND CT_LIEN = '%1'")
            .arg(proprietairePartage)));
    libelles.sort();
    int doubles = 0;
    bool unFichier = false;
    for (int f = 0; f < fichiersPartages; ++f) {
        QStringList attendus;
        for (int c = 0; c < categoriesParFichier; ++c)
            attendus << libelleFichier(f, c);
        unFichier = unFichier || libelles == attendus;
    }
    const long long actesPartages =
        premiereColonne(
            accesDonnees.executSQL(
                QStringLiteral(
                    "SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus ON "
                    "AT_CAT = CT_CODE WHERE CT_TYPE = 2 AND CT_LIEN = '%1' AND AT_Acte NOT "
                    "LIKE 'P%'")
                    .arg(proprietairePartage)))
            .value(0)
            .toLongLong();
    if (!libelles.isEmpty() &&
        (!unFichier || actesPartages != categoriesParFichier * actesParCategorie))
        doubles = 1;

    // Orphans: acts whose category is gone (an addition that did not see a
    // replacement or a deletion).
    const long long orphelins =
        premiereColonne(accesDonnees.executSQL(QStringLiteral(
                            "SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT NOT IN "
                            "(SELECT CT_CODE FROM CategorieThesaurus)")))
            .value(0)
            .toLongLong();

    int operations = 0, erreurs = 0;
    for (auto it = comptes.latences.cbegin(); it != comptes.latences.cend(); ++it)
        operations += int(it.value().size());
    for (int n : comptes.erreurs)
        erreurs += n;
    std::printf("Durée : %.1f s ; clients terminés : %d / %d\n", secondes, clients - clientsEchoues,
                clients);
    for (const QString& f : fins)
        std::printf("  client arrêté : %s\n", qUtf8Printable(f));
    std::printf("Opérations : %d (%.0f par seconde) ; erreurs : %d\n", operations,
                operations / secondes, erreurs);
    std::printf("  %-13s %8s %8s %10s %10s\n", "opération", "nombre", "erreurs", "p50 (ms)",
                "p99 (ms)");
    for (auto it = comptes.latences.cbegin(); it != comptes.latences.cend(); ++it)
        std::printf("  %-13s %8zu %8d %10.2f %10.2f\n", qUtf8Printable(it.key()), it.value().size(),
                    comptes.erreurs.value(it.key()), centile(it.value(), 50),
                    centile(it.value(), 99));
    for (auto it = comptes.exemples.cbegin(); it != comptes.exemples.cend(); ++it)
        for (const QString& e : it.value())
            std::printf("  erreur (%s) : %s\n", qUtf8Printable(it.key()), qUtf8Printable(e));
    std::printf("Écritures perdues : %d sur %d actes engagés\n", perdues, engagees);
    std::printf("Thésaurus doublés : %d (thésaurus partagé : %lld catégories, %lld actes)\n",
                doubles, static_cast<long long>(libelles.size()), actesPartages);
    std::printf("Actes sans catégorie : %lld\n", orphelins);
    std::printf("Chargement de la CCAM pendant la charge : %s\n", qUtf8Printable(chargement));
    std::printf(
        "  lignes CCAM lues avant : %lld, après : %lld ; lectures : %d dont %d de la nouvelle "
        "version ; lectures incohérentes : %d\n",
        versionAvant, versionApres, lecturesVersion, apresChargement, lecturesIncoherentes);
    if (versionAvant == versionApres)
        std::printf("  (les deux versions ont le même nombre d'actes : la vérification ne les "
                    "distingue pas)\n");
    if (!messages.journal().empty())
        std::printf("Erreurs de la vérification : %s\n",
                    qUtf8Printable(messages.textes().join(u' ')));
    Data::fermerConnexions();
    const bool ok = perdues == 0 && doubles == 0 && orphelins == 0 && lecturesIncoherentes == 0 &&
                    clientsEchoues == 0 && messages.journal().empty();
    std::printf("%s\n", ok ? "Résultat : aucune écriture perdue, aucun thésaurus doublé, "
                             "version vue entière."
                           : "Résultat : ÉCHEC.");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--client") && args.size() == 5)
        return client(args.at(1).toInt(), args.at(2), args.at(3), args.at(4).toInt());

    int clients = 20, duree = 20;
    QString tableur = QStringLiteral(TARVENOR_TESTS_DIR "/data/ccam_mini.csv");
    QString references = QStringLiteral(TARVENOR_TESTS_DIR "/data/references_mini");
    QString base;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--clients") && i + 1 < args.size())
            clients = args.at(++i).toInt();
        else if (a == QLatin1String("--duree") && i + 1 < args.size())
            duree = args.at(++i).toInt();
        else if (a == QLatin1String("--tableur") && i + 1 < args.size()) {
            tableur = args.at(++i);
            references.clear(); // the test's reference tables go with its spreadsheet only
        } else if (a == QLatin1String("--references") && i + 1 < args.size())
            references = args.at(++i);
        else if (!a.startsWith(QLatin1String("--")) && base.isEmpty())
            base = a;
        else {
            std::fprintf(stderr, "Usage : charge_clients [--clients N] [--duree S] [--tableur "
                                 "CSV [--references DOSSIER]] [BASE]\n");
            return 2;
        }
    }
    if (clients < 1 || duree < 1) {
        std::fprintf(stderr, "Il faut au moins un client et une seconde.\n");
        return 2;
    }
    return parent(clients, duree, base, tableur, references);
}
