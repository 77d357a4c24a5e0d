// One database file shared by several copies of the program: each copy is a
// child process (this executable started again with "--copie"), driven line
// by line through its standard input. Logging in twice, quitting, writing at
// the same time and replacing the same thesaurus lose nothing, and a copy
// waits for another that is writing, then says once that the file is busy.

#include "AccesDonnees.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "EchangeThesaurus.h"
#include "FichiersDeTest.h"
#include "Globals.h"
#include "Messages.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>
#include <iostream>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// ------------------------------------------------------------------ the copy

// What one copy of the program does, command by command. Each command gets
// one line of answer.
class Copie {
public:
    explicit Copie(const QString& chemin) { cheminBase = chemin; }

    QString executer(const QStringList& mots) {
        const QString& c = mots.value(0);
        if (c == u"connexion")
            return connexion(mots.value(1), mots.value(2));
        if (c == u"categorie")
            return QString::number(accesCCAM.insererCatAndGetCode(mots.value(1), mots.value(2), 2));
        if (c == u"categories")
            return colonne(accesCCAM.getCategoriesThesaurus(mots.value(1), 2),
                           QStringLiteral("CT_LIB"))
                .join(u'|');
        if (c == u"verrouiller") {
            // Holds the write lock as a long operation of this copy does.
            m_connexion = Data().CreeConnexion();
            m_transaction = std::make_unique<Transaction>(*m_connexion);
            return QStringLiteral("ok");
        }
        if (c == u"verrouiller-pendant") {
            {
                ConnexionPtr cx = Data().CreeConnexion();
                Transaction t(*cx);
                std::cout << "ok" << std::endl;
                QThread::msleep(mots.value(1).toULong());
            }
            return QStringLiteral("libere");
        }
        if (c == u"verrouiller-exclusif") {
            // Holds the file as a copy does while it saves its work: nobody
            // may even read it.
            m_connexion = Data().CreeConnexion();
            m_connexion->Execute(QStringLiteral("BEGIN EXCLUSIVE"));
            return QStringLiteral("ok");
        }
        if (c == u"liberer") {
            if (m_connexion && !m_transaction)
                m_connexion->Execute(QStringLiteral("ROLLBACK"));
            m_transaction.reset();
            m_connexion.reset();
            return QStringLiteral("ok");
        }
        if (c == u"essayer-ecrire")
            return essayerEcrire();
        if (c == u"unites") {
            MessagesScriptes messages;
            const QStringList unites = colonne(accesDonnees.getListeUM());
            return (unites + messages.textes()).join(u'|');
        }
        if (c == u"supprimer-categorie") {
            accesCCAM.suppCatTheserus(mots.value(1).toLong());
            return QStringLiteral("ok");
        }
        if (c == u"remplacer")
            return remplacerThesaurusParFichier(mots.value(1), mots.value(2), 2)
                       ? QStringLiteral("ok")
                       : QStringLiteral("refus");
        if (c == u"charge")
            return charge(mots.value(1).toLong(), mots.value(2), mots.mid(3));
        return QStringLiteral("inconnu");
    }

private:
    // The login's checks: the file, then the user and his password.
    QString connexion(const QString& login, const QString& motDePasse) {
        if (!Data().ConnexionCorrecte())
            return QStringLiteral("base refusee");
        RecordsetPtr u = accesDonnees.getUtilisateurLogin(login);
        if (!u || u->isEOF())
            return QStringLiteral("inconnu");
        return u->Fields(QStringLiteral("UTI_PWD")).toString() == motDePasse
                   ? QStringLiteral("ok")
                   : QStringLiteral("refus");
    }

    // Asks for the write lock without waiting, as another program would.
    QString essayerEcrire() {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(cheminBase).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return rc == SQLITE_OK ? QStringLiteral("libre") : QStringLiteral("occupee");
    }

    // 500 acts added one by one to the copy's own category, and the shared
    // thesaurus replaced 30 times by the files in turn, in between.
    QString charge(long categorie, const QString& partage, const QStringList& fichiers) {
        MessagesScriptes messages;
        constexpr int ajouts = 500;
        constexpr int remplacements = 30;
        int faits = 0, reussis = 0, refuses = 0, refusMuets = 0, erreursAjout = 0;
        for (int i = 0; i < ajouts; ++i) {
            const size_t avant = messages.journal().size();
            accesCCAM.insererActeTheserus(categorie,
                                          QStringLiteral("A%1").arg(i, 4, 10, QLatin1Char('0')),
                                          QString(), QString());
            erreursAjout += messages.journal().size() != avant;
            if (i % 16 == 0 && faits < remplacements) {
                const size_t avantR = messages.journal().size();
                if (remplacerThesaurusParFichier(fichiers.at(faits % fichiers.size()), partage,
                                                 2)) {
                    ++reussis;
                } else {
                    ++refuses;
                    refusMuets += messages.journal().size() == avantR;
                }
                ++faits;
            }
        }
        return QStringLiteral("reussis=%1 refuses=%2 muets=%3 erreursAjout=%4 messages=%5")
            .arg(reussis)
            .arg(refuses)
            .arg(refusMuets)
            .arg(erreursAjout)
            .arg(messages.textes().join(u'|'));
    }

    ConnexionPtr m_connexion;
    std::unique_ptr<Transaction> m_transaction;
};

int executerCopie(const QString& chemin) {
    Copie copie(chemin);
    std::string ligne;
    while (std::getline(std::cin, ligne)) {
        const QStringList mots = QString::fromStdString(ligne).split(u'\t');
        if (mots.value(0) == u"quitter")
            break;
        std::cout << copie.executer(mots).toStdString() << std::endl;
    }
    Data::fermerConnexions();
    return 0;
}

// ------------------------------------------------------------------ the test side

// A copy of the program started by the test.
class ProcessusCopie {
public:
    // The copy runs as this user; with `compte` (a number used as user and
    // group, when the tests run as the administrator), as that account
    // through setpriv.
    explicit ProcessusCopie(const QString& chemin, const QString& compte = QString()) {
        m_processus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QStringList arguments{QCoreApplication::applicationFilePath(),
                                    QStringLiteral("--copie"), chemin};
        if (compte.isEmpty())
            m_processus.start(arguments.first(), arguments.mid(1));
        else
            m_processus.start(QStringLiteral("setpriv"),
                              QStringList{QStringLiteral("--reuid=") + compte,
                                          QStringLiteral("--regid=") + compte,
                                          QStringLiteral("--clear-groups"), QStringLiteral("--")} +
                                  arguments);
        m_demarre = m_processus.waitForStarted(30000);
    }
    ~ProcessusCopie() { quitter(); }

    bool demarre() const { return m_demarre; }

    // Sends one command, returns its answer (empty after the delay).
    QString commande(const QStringList& mots, int delaiMs = 120000) {
        envoyer(mots);
        return reponse(delaiMs);
    }
    void envoyer(const QStringList& mots) {
        m_processus.write((mots.join(u'\t') + u'\n').toUtf8());
        m_processus.waitForBytesWritten(10000);
    }
    QString reponse(int delaiMs = 120000) {
        QElapsedTimer minuteur;
        minuteur.start();
        while (!m_processus.canReadLine() && minuteur.elapsed() < delaiMs)
            m_processus.waitForReadyRead(200);
        return QString::fromUtf8(m_processus.readLine()).trimmed();
    }
    // Ends the copy as a user closes the program; true when it ended well.
    bool quitter() {
        if (m_processus.state() == QProcess::NotRunning)
            return m_processus.exitStatus() == QProcess::NormalExit && m_processus.exitCode() == 0;
        envoyer({QStringLiteral("quitter")});
        m_processus.closeWriteChannel();
        if (!m_processus.waitForFinished(60000)) {
            m_processus.kill();
            m_processus.waitForFinished();
            return false;
        }
        return m_processus.exitStatus() == QProcess::NormalExit && m_processus.exitCode() == 0;
    }

private:
    QProcess m_processus;
    bool m_demarre = false;
};

QString integrite(const QString& chemin) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    QString r;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        r = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return r;
}

// The categories of thesaurus file number n, as "label:code,code", in label
// order: 4 categories of 60 acts.
QStringList categoriesDuFichier(int numero) {
    QStringList categories;
    for (int c = 0; c < 4; ++c) {
        QStringList actes;
        for (int a = 0; a < 60; ++a)
            actes << QStringLiteral("F%1C%2A%3").arg(numero).arg(c).arg(a, 3, 10, QLatin1Char('0'));
        categories << QStringLiteral("Fichier %1 categorie %2:").arg(numero).arg(c) +
                          actes.join(u',');
    }
    return categories;
}

// The file itself: header, then "label TAB code TAB code ..." lines.
QString ecrireFichierThesaurus(const QString& dossier, int numero) {
    QString texte = QStringLiteral("01/01/2025\tPARTAGE - Dr Partage\tU1 - Unite\r\n");
    for (QString ligne : categoriesDuFichier(numero))
        texte += ligne.replace(u':', u'\t').replace(u',', u'\t') + QStringLiteral("\r\n");
    const QString chemin = QDir(dossier).filePath(QStringLiteral("thesaurus%1.txt").arg(numero));
    ecrireOctets(chemin, texte.toUtf8());
    return chemin;
}

// The thesaurus as "label:code,code;label:..." in label order, acts in the
// order they were stored.
QString empreinteThesaurus(const QString& lien) {
    QStringList categories;
    RecordsetPtr cats = Data().CreeRecordset(
        QStringLiteral("SELECT CT_CODE, CT_LIB FROM CategorieThesaurus WHERE CT_LIEN = '%1' AND "
                       "CT_TYPE = 2 ORDER BY CT_LIB")
            .arg(lien));
    for (; !cats->isEOF(); cats->MoveNext()) {
        RecordsetPtr actes = Data().CreeRecordset(
            QStringLiteral("SELECT AT_Acte FROM Acte_Thesaurus WHERE AT_CAT = %1 ORDER BY rowid")
                .arg(cats->Fields(0).toLongLong()));
        categories << cats->Fields(1).toString() + u':' + colonne(actes).join(u',');
    }
    return categories.join(u';');
}

} // namespace

class TestPartage : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void deuxConnexionsPuisUneCopieQuiQuitte();
    void verrouGardePendantLaVerificationDuFichier();
    void attenteDUneAutreCopie();
    void baseOccupeeUnSeulMessage();
    void connexionAUneBaseOccupee();
    void troisCopiesEcriventEnMemeTemps();
    void ajoutDansUneCategorieSupprimeeParUneAutreCopie();
    void walDansUnDossierFigePourUnUtilisateur();
};

void TestPartage::cleanup() {
    Data::fermerConnexions();
    cheminBase.clear();
}

void TestPartage::deuxConnexionsPuisUneCopieQuiQuitte() {
    // Copy A logs in twice (a wrong password, then the right one) and writes;
    // copy B quits meanwhile; copy C, started afterwards, sees every write.
    BaseDeTest base;
    base.ajouterUtilisateur(QStringLiteral("MARTIN"), QStringLiteral("secret"),
                            QStringLiteral("MEDECIN"));
    const QString motDePasse = Data()
                                   .CreeRecordset(QStringLiteral("SELECT UTI_PWD FROM Utilisateur"))
                                   ->Fields(0)
                                   .toString();
    Data::fermerConnexions();

    ProcessusCopie a(base.chemin()), b(base.chemin());
    QVERIFY(a.demarre() && b.demarre());
    QCOMPARE(a.commande({"connexion", "MARTIN", "faux"}), QStringLiteral("refus"));
    QCOMPARE(b.commande({"connexion", "MARTIN", motDePasse}), QStringLiteral("ok"));
    QCOMPARE(a.commande({"connexion", "MARTIN", motDePasse}), QStringLiteral("ok"));
    QVERIFY(a.commande({"categorie", "MED1", "Avant le départ de B"}).toLong() > 0);
    QVERIFY(b.quitter());
    QVERIFY(a.commande({"categorie", "MED1", "Après le départ de B"}).toLong() > 0);

    ProcessusCopie c(base.chemin());
    QVERIFY(c.demarre());
    QCOMPARE(c.commande({"connexion", "MARTIN", motDePasse}), QStringLiteral("ok"));
    QCOMPARE(c.commande({"categories", "MED1"}),
             QStringLiteral("Après le départ de B|Avant le départ de B"));
    QVERIFY(a.quitter());
    QVERIFY(c.quitter());

    QCOMPARE(integrite(base.chemin()), QStringLiteral("ok"));
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM CategorieThesaurus")), 2);
    // The rollback journal leaves nothing beside the file.
    Data::fermerConnexions();
    QCOMPARE(QDir(base.dossier()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("test.mdb")});
}

void TestPartage::verrouGardePendantLaVerificationDuFichier() {
    // While this copy writes, checking the file (a second login, another
    // spelling of the path) must not drop the lock it holds: on POSIX,
    // closing any other descriptor of the file would.
    BaseDeTest base;
    ConnexionPtr c = Data().CreeConnexion();
    ProcessusCopie autre(base.chemin());
    QVERIFY(autre.demarre());
    {
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
        QCOMPARE(autre.commande({"essayer-ecrire"}), QStringLiteral("occupee"));
        QVERIFY(Data().ConnexionCorrecte());
        QVERIFY(Data(base.dossier() + QStringLiteral("/./test.mdb")).ConnexionCorrecte());
        Data(base.dossier() + QStringLiteral("/../") + QDir(base.dossier()).dirName() +
             QStringLiteral("/test.mdb"))
            .CreeConnexion();
        QCOMPARE(autre.commande({"essayer-ecrire"}), QStringLiteral("occupee"));
        t.valider();
    }
    QCOMPARE(autre.commande({"essayer-ecrire"}), QStringLiteral("libre"));
    // What the check above guards against: reading the file through another
    // descriptor, then closing it, releases the lock of the open transaction.
    {
        Transaction t(*c);
        c->Execute(QStringLiteral("INSERT INTO UniteMedicale VALUES ('U2','Deux')"));
        {
            QFile f(base.chemin());
            QVERIFY(f.open(QIODevice::ReadOnly));
        }
        QCOMPARE(autre.commande({"essayer-ecrire"}), QStringLiteral("libre"));
    } // rolled back
    QVERIFY(autre.quitter());
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 1);
}

void TestPartage::attenteDUneAutreCopie() {
    // Another copy writes for a second and a half: this copy waits for it,
    // then writes, and shows nothing.
    BaseDeTest base;
    MessagesScriptes messages;
    Data::fermerConnexions();
    ProcessusCopie autre(base.chemin());
    QVERIFY(autre.demarre());
    QCOMPARE(autre.commande({"verrouiller-pendant", "1500"}), QStringLiteral("ok"));
    accesDonnees.insererUM(QStringLiteral("U1"), QStringLiteral("Un"));
    const long cat = accesCCAM.insererCatAndGetCode(QStringLiteral("MED1"), QStringLiteral("C"), 2);
    QCOMPARE(autre.reponse(), QStringLiteral("libere"));
    QVERIFY2(messages.journal().empty(), qPrintable(messages.textes().join(u'|')));
    QVERIFY(cat > 0);
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM UniteMedicale")), 1);
    QVERIFY(autre.quitter());
}

void TestPartage::baseOccupeeUnSeulMessage() {
    // Another copy keeps the file busy beyond the wait: replacing a thesaurus
    // gives one message saying so, and changes nothing.
    BaseDeTest base;
    QTemporaryDir dossier;
    const QString fichier = ecrireFichierThesaurus(dossier.path(), 1);
    const long cat =
        accesCCAM.insererCatAndGetCode(QStringLiteral("MED1"), QStringLiteral("Ancienne"), 2);
    accesCCAM.insererActeTheserus(cat, QStringLiteral("HBED001"), QString(), QString());
    Data::fermerConnexions();
    const QByteArray avant = lireOctets(base.chemin());

    ProcessusCopie autre(base.chemin());
    QVERIFY(autre.demarre());
    QCOMPARE(autre.commande({"verrouiller"}), QStringLiteral("ok"));
    MessagesScriptes messages;
    QVERIFY(!remplacerThesaurusParFichier(fichier, QStringLiteral("MED1"), 2));
    QCOMPARE(messages.journal().size(), size_t(1));
    QCOMPARE(messages.journal().front().titre, QStringLiteral("ERREUR"));
    QVERIFY2(messages.journal().front().texte.contains(
                 QStringLiteral("utilisée par un autre programme")),
             qPrintable(messages.journal().front().texte));
    QCOMPARE(autre.commande({"liberer"}), QStringLiteral("ok"));
    QVERIFY(autre.quitter());
    Data::fermerConnexions();
    QCOMPARE(lireOctets(base.chemin()), avant);
}

void TestPartage::connexionAUneBaseOccupee() {
    // The login's check of a file that another copy keeps locked beyond the
    // wait: the file is said to be in use, not taken for another program's.
    BaseDeTest base;
    Data::fermerConnexions();
    ProcessusCopie autre(base.chemin());
    QVERIFY(autre.demarre());
    QCOMPARE(autre.commande({"verrouiller-exclusif"}), QStringLiteral("ok"));
    MessagesScriptes messages;
    QVERIFY(!Data().ConnexionCorrecte());
    QCOMPARE(messages.journal().size(), size_t(1));
    QCOMPARE(messages.journal().front().titre, QStringLiteral("Data"));
    QCOMPARE(messages.journal().front().texte, messageBaseOccupee());
    QCOMPARE(autre.commande({"liberer"}), QStringLiteral("ok"));
    QVERIFY(Data().ConnexionCorrecte());
    QVERIFY(autre.quitter());
}

void TestPartage::troisCopiesEcriventEnMemeTemps() {
    // Three copies each add 500 acts to their own doctor's thesaurus and
    // replace one shared doctor's thesaurus 30 times, all at once.
    BaseDeTest base;
    QTemporaryDir dossier;
    QStringList fichiers;
    for (int i = 1; i <= 3; ++i)
        fichiers << ecrireFichierThesaurus(dossier.path(), i);
    QList<long> categories;
    for (int i = 1; i <= 3; ++i)
        categories << accesCCAM.insererCatAndGetCode(QStringLiteral("MED%1").arg(i),
                                                     QStringLiteral("Propre"), 2);
    QVERIFY(remplacerThesaurusParFichier(fichiers.at(0), QStringLiteral("PARTAGE"), 2));
    Data::fermerConnexions();

    std::vector<std::unique_ptr<ProcessusCopie>> copies;
    for (int i = 0; i < 3; ++i) {
        copies.push_back(std::make_unique<ProcessusCopie>(base.chemin()));
        QVERIFY(copies.back()->demarre());
    }
    for (int i = 0; i < 3; ++i) {
        QStringList ordre = fichiers;
        std::rotate(ordre.begin(), ordre.begin() + i, ordre.end());
        copies[i]->envoyer(QStringList{QStringLiteral("charge"), QString::number(categories.at(i)),
                                       QStringLiteral("PARTAGE")} +
                           ordre);
    }
    int reussis = 0;
    int refuses = 0;
    for (int i = 0; i < 3; ++i) {
        const QString bilan = copies[i]->reponse(540000);
        qInfo("copie %d : %s", i + 1, qPrintable(bilan.left(400)));
        static const QRegularExpression forme(
            QStringLiteral("^reussis=(\\d+) refuses=(\\d+) muets=(\\d+) erreursAjout=(\\d+)"));
        const auto m = forme.match(bilan);
        QVERIFY2(m.hasMatch(), qPrintable(bilan));
        QCOMPARE(m.captured(1).toInt() + m.captured(2).toInt(), 30);
        QCOMPARE(m.captured(3).toInt(), 0); // every refusal came with a message
        QCOMPARE(m.captured(4).toInt(), 0);
        reussis += m.captured(1).toInt();
        refuses += m.captured(2).toInt();
        QVERIFY(copies[i]->quitter());
    }
    qInfo("remplacements réussis : %d, refusés avec un message : %d", reussis, refuses);

    QCOMPARE(integrite(base.chemin()), QStringLiteral("ok"));
    for (long cat : categories) {
        QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT "
                                             "= %1")
                                  .arg(cat)),
                 500);
        QCOMPARE(base.compter(QStringLiteral("SELECT count(DISTINCT AT_Acte) FROM Acte_Thesaurus "
                                             "WHERE AT_CAT = %1")
                                  .arg(cat)),
                 500);
    }
    const QString partage = empreinteThesaurus(QStringLiteral("PARTAGE"));
    QStringList attendus;
    for (int i = 1; i <= 3; ++i)
        attendus << categoriesDuFichier(i).join(u';');
    QVERIFY2(attendus.contains(partage), qPrintable(partage.left(300)));
    // Nothing of the thesaurus is left outside the shared doctor's categories.
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT NOT "
                                         "IN (SELECT CT_CODE FROM CategorieThesaurus)")),
             0);
}

void TestPartage::ajoutDansUneCategorieSupprimeeParUneAutreCopie() {
    // This copy shows the categories "Genou" and "Hanche" of a doctor;
    // another copy deletes "Genou". The acts this copy then adds to it (the
    // search dialog's ticks, or one code typed in "Ajout d'actes") are
    // refused with a message naming it, and nothing is written. An act left
    // without its category by an earlier version goes at the next
    // replacement of that doctor's thesaurus.
    BaseDeTest base;
    QTemporaryDir dossier;
    const QString fichier = ecrireFichierThesaurus(dossier.path(), 1);
    const long genou =
        accesCCAM.insererCatAndGetCode(QStringLiteral("MED1"), QStringLiteral("Genou"), 2);
    const long hanche =
        accesCCAM.insererCatAndGetCode(QStringLiteral("MED1"), QStringLiteral("Hanche"), 2);
    Data::fermerConnexions();
    ProcessusCopie autre(base.chemin());
    QVERIFY(autre.demarre());
    QCOMPARE(autre.commande({"supprimer-categorie", QString::number(genou)}), QStringLiteral("ok"));

    const QString message =
        QStringLiteral("La catégorie Genou a été supprimée par un autre utilisateur.");
    const Resultat plusieurs = ajouterActesCategorie(
        {QStringLiteral("HBED001"), QStringLiteral("XHMA001")}, genou, QStringLiteral("Genou"));
    QVERIFY(plusieurs.estRefus());
    QCOMPARE(plusieurs.message, message);
    const Resultat un =
        ajouterActeCategorie(QStringLiteral("HBED001"), genou, QStringLiteral("Genou"));
    QVERIFY(un.estRefus());
    QCOMPARE(un.message, message);
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM Acte_Thesaurus")), 0);
    // The category still there takes them.
    QVERIFY(ajouterActesCategorie({QStringLiteral("HBED001")}, hanche, QStringLiteral("Hanche"))
                .estFait());
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM Acte_Thesaurus")), 1);

    // An orphan of an earlier version, then the doctor's thesaurus replaced
    // by the other copy: the orphan is gone.
    base.executer(QStringLiteral("INSERT INTO Acte_Thesaurus (AT_Acte, AT_CAT) VALUES "
                                 "('ORPHELIN', %1)")
                      .arg(genou));
    Data::fermerConnexions();
    QCOMPARE(autre.commande({"remplacer", fichier, "MED1"}), QStringLiteral("ok"));
    QVERIFY(autre.quitter());
    QCOMPARE(base.compter(QStringLiteral("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT NOT "
                                         "IN (SELECT CT_CODE FROM CategorieThesaurus)")),
             0);
}

void TestPartage::walDansUnDossierFigePourUnUtilisateur() {
    // A file left in WAL mode by an earlier version, in a folder the user
    // cannot write: a normal user (not the administrator, whom access rights
    // do not stop) reads it. SQLite says SQLITE_READONLY_DIRECTORY there.
    const bool administrateur = ::geteuid() == 0;
    QTemporaryDir dossier;
    const QString partage = QDir(dossier.path()).filePath(QStringLiteral("partage"));
    QVERIFY(QDir().mkdir(partage));
    const QString chemin = QDir(partage).filePath(QStringLiteral("BD.mdb"));
    Data::creerBase(chemin);
    Data(chemin).CreeConnexion()->Execute(
        QStringLiteral("INSERT INTO UniteMedicale VALUES ('U1','Un')"));
    Data::fermerConnexions();
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(chemin).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    QVERIFY(!QFileInfo::exists(chemin + QStringLiteral("-wal")));
    // Anyone may cross the folders and read the file; only the
    // administrator (the owner) may write the folder. Run by a normal user,
    // the folder is made read-only for him.
    const auto lecture = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto traversee = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dossier.path(), lecture | traversee | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(chemin, lecture | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(partage,
                                  lecture | traversee |
                                      (administrateur ? QFile::WriteOwner : QFile::Permissions())));
    const QByteArray avant = lireOctets(chemin);
    QString reponse;
    {
        // nobody / nogroup
        ProcessusCopie copie(chemin, administrateur ? QStringLiteral("65534") : QString());
        if (!copie.demarre())
            QSKIP("setpriv indisponible : le test doit tourner comme utilisateur ordinaire.");
        reponse = copie.commande({"unites"});
        QVERIFY(copie.quitter());
    }
    QFile::setPermissions(partage, lecture | traversee | QFile::WriteOwner);
    QCOMPARE(reponse, QStringLiteral("U1"));
    QCOMPARE(lireOctets(chemin), avant);
    QCOMPARE(QDir(partage).entryList(QDir::Files | QDir::Hidden), QStringList{"BD.mdb"});
}

int main(int argc, char** argv) {
    if (argc >= 3 && qstrcmp(argv[1], "--copie") == 0) {
        QCoreApplication app(argc, argv);
        return executerCopie(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestPartage test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_partage.moc"
