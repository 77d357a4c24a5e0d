// The use cases the windows call, without a display: opening a session,
// copying a unit's thesaurus to a doctor, and the interface lock that long
// work holds. Basket admission is in tst_panier.

#include "BaseDeTest.h"
#include "CopieThesaurusUM.h"
#include "Data.h"
#include "Globals.h"
#include "Medecin.h"
#include "Messages.h"
#include "ModeEcran.h"
#include "Parametres.h"
#include "Progression.h"
#include "Session.h"
#include "Utilisateur.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// The wait window as the copy sees it, and whether the interface was locked
// at each report.
struct ProgressionEnregistree : IProgression {
    ProgressionEnregistree() { installerProgression(this); }
    ~ProgressionEnregistree() override { installerProgression(nullptr); }
    void debut(const QString&, int maximum) override {
        journal << QStringLiteral("debut %1").arg(maximum);
        verrouille = verrouille && interfaceVerrouillee();
    }
    void avancer(int pas) override {
        journal << QStringLiteral("+%1").arg(pas);
        verrouille = verrouille && interfaceVerrouillee();
    }
    void fin() override {
        journal << QStringLiteral("fin");
        verrouille = verrouille && interfaceVerrouillee();
    }
    QStringList journal;
    bool verrouille = true;
};

// A doctor of unit ORTH (three categories, thirteen acts in the
// demonstration) with an empty thesaurus, tied to the user DOC.
void ajouterMedecinVide(const BaseDeTest& base) {
    base.ajouterUtilisateur(QStringLiteral("DOC"), QStringLiteral("SECRET"),
                            QStringLiteral("MEDECIN"));
    const long long uti =
        base.compter(QStringLiteral("SELECT UTI_CODE FROM Utilisateur WHERE UTI_LOGIN = 'DOC'"));
    base.executer(QStringLiteral("INSERT INTO Medecin VALUES ('DVIDE', 'DR VIDE', '42', 'ORTH', "
                                 "'4', %1)")
                      .arg(uti));
}

std::shared_ptr<Medecin> medecin(const QString& code) {
    auto m = std::make_shared<Medecin>();
    m->code = code;
    m->remplirDonnees();
    m->remplirThesaurusMED();
    return m;
}

} // namespace

class TestCasUsage : public QObject {
    Q_OBJECT

private slots:
    void init() {
        reinitialiserEtatGlobal();
        m_reglages = std::make_unique<QTemporaryDir>();
        Parametres::redirigerVers(m_reglages->filePath(QStringLiteral("tarvenor.ini")));
        Parametres::ecrire(Parametres::NomUtilisateur, QStringLiteral("ANCIEN"));
        Parametres::ecrire(Parametres::CheminBase, QStringLiteral("/ancien/BD.mdb"));
    }
    void cleanup() {
        installerVerrouInterface(nullptr);
        Parametres::redirigerVers(QString());
        m_reglages.reset();
        Data::fermerConnexions();
        reinitialiserEtatGlobal();
    }

    void sessionRefusee_data();
    void sessionRefusee();
    void sessionOuverte_data();
    void sessionOuverte();
    void sessionMedecin();
    void reglagesSansMotDePasse();

    void copieThesaurusUM();
    void copieThesaurusUM_panneAuMilieu();
    void verrouImbrique();

private:
    std::unique_ptr<QTemporaryDir> m_reglages;
};

void TestCasUsage::reglagesSansMotDePasse() {
    // The settings keep the database's name, never a password typed in a
    // server's URI, in a file for its owner only.
    BaseDeTest base;
    base.ajouterUtilisateur(QStringLiteral("U1"), QStringLiteral("SECRET"), QStringLiteral("DIM"));
    QString chemin = base.chemin();
    QString retenu = chemin;
    if (testsSurServeur()) {
        QUrl url(chemin);
        retenu = url.toString();
        url.setPassword(QStringLiteral("motdepasseduserveur"));
        chemin = url.toString();
    }
    const ResultatSession r = ouvrirSession(QStringLiteral("U1"), QStringLiteral("SECRET"), chemin);
    QVERIFY(r.resultat.estFait());
    QCOMPARE(cheminBase, chemin);
    QCOMPARE(Parametres::lire(Parametres::CheminBase), retenu);
    const QString fichier = m_reglages->filePath(QStringLiteral("tarvenor.ini"));
    QFile f(fichier);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(!f.readAll().contains("motdepasseduserveur"));
    QCOMPARE(QFile::permissions(fichier) &
                 (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
}

void TestCasUsage::sessionRefusee_data() {
    QTest::addColumn<QString>("identifiant");
    QTest::addColumn<QString>("motDePasse");
    QTest::addColumn<bool>("baseValide");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("champ");
    QTest::addColumn<bool>("selectionner");
    const QString champs = QStringLiteral(" Vous devez remplir le champ :");
    QTest::newRow("identifiant vide") << ""
                                      << "SECRET" << true << champs + " Identifiant" << 0 << false;
    QTest::newRow("chemin vide") << "DOC"
                                 << "SECRET" << false << champs + " Base de données" << 2 << false;
    QTest::newRow("identifiant inconnu")
        << "PERSONNE"
        << "SECRET" << true << "Identifiant incorrect" << 0 << true;
    QTest::newRow("mot de passe faux") << "DOC"
                                       << "FAUX" << true << "Mot de passe incorrect" << 1 << true;
    QTest::newRow("mot de passe en minuscules")
        << "DOC"
        << "secret" << true << "Mot de passe incorrect" << 1 << true;
}

void TestCasUsage::sessionRefusee() {
    QFETCH(QString, identifiant);
    QFETCH(QString, motDePasse);
    QFETCH(bool, baseValide);
    QFETCH(QString, message);
    QFETCH(int, champ);
    QFETCH(bool, selectionner);
    BaseDeTest base(true);
    ajouterMedecinVide(base);
    MessagesScriptes messages;
    const ResultatSession r =
        ouvrirSession(identifiant, motDePasse, baseValide ? base.chemin() : QString());
    QVERIFY(r.resultat.estRefus());
    QCOMPARE(r.resultat.message, message);
    QCOMPARE(r.resultat.titre, QStringLiteral("Attention"));
    QCOMPARE(r.resultat.icone, Icone::Exclamation);
    QCOMPARE(r.champ, champ);
    QCOMPARE(r.selectionner, selectionner);
    // The use case shows nothing; nothing is remembered, no doctor loaded.
    QVERIFY(messages.journal().empty());
    QCOMPARE(Parametres::lire(Parametres::NomUtilisateur), QStringLiteral("ANCIEN"));
    QCOMPARE(Parametres::lire(Parametres::CheminBase), QStringLiteral("/ancien/BD.mdb"));
    QVERIFY(!medecinCourant);
    // A wrong password leaves the user's row read, as the login always did.
    QCOMPARE(utilisateurCourant.p_LOGIN, champ == 1 ? QStringLiteral("DOC") : QString());
}

void TestCasUsage::sessionOuverte_data() {
    QTest::addColumn<QString>("groupe");
    QTest::addColumn<int>("mode");
    QTest::newRow("ADMIN") << "ADMIN" << int(ModeEcran::ThesaurusMedecinDIM);
    QTest::newRow("DIM") << "DIM" << int(ModeEcran::ThesaurusMedecinDIM);
    QTest::newRow("MEDECIN") << "MEDECIN" << int(ModeEcran::EspaceMedecin);
    QTest::newRow("autre groupe") << "INVITE" << int(ModeEcran::Aucun);
    QTest::newRow("casse du groupe") << "admin" << int(ModeEcran::Aucun);
}

void TestCasUsage::sessionOuverte() {
    QFETCH(QString, groupe);
    QFETCH(int, mode);
    BaseDeTest base;
    base.ajouterUtilisateur(QStringLiteral("U1"), QString(), groupe);
    MessagesScriptes messages;
    // An empty password matches an empty stored one.
    const ResultatSession r = ouvrirSession(QStringLiteral("U1"), QString(), base.chemin());
    QVERIFY(r.resultat.estFait());
    QCOMPARE(int(r.mode), mode);
    QVERIFY(messages.journal().empty());
    QCOMPARE(utilisateurCourant.p_GROUP, groupe);
    QCOMPARE(cheminBase, base.chemin());
    QCOMPARE(Parametres::lire(Parametres::NomUtilisateur), QStringLiteral("U1"));
    QCOMPARE(Parametres::lire(Parametres::CheminBase), base.chemin());
    // Only a doctor's login touches the current doctor (here: none for him).
    QCOMPARE(bool(medecinCourant), groupe == QLatin1String("MEDECIN"));
}

void TestCasUsage::sessionMedecin() {
    BaseDeTest base(true);
    ajouterMedecinVide(base);
    // The doctor of the demonstration, through a user of known password.
    base.executer(
        QStringLiteral("UPDATE Medecin SET MED_CODEUTI = (SELECT UTI_CODE FROM "
                       "Utilisateur WHERE UTI_LOGIN = 'DOC') WHERE MED_CODE = 'CMARTIN'"));
    base.executer(QStringLiteral("DELETE FROM Medecin WHERE MED_CODE = 'DVIDE'"));
    const ResultatSession r =
        ouvrirSession(QStringLiteral("DOC"), QStringLiteral("SECRET"), base.chemin());
    QVERIFY(r.resultat.estFait());
    QCOMPARE(r.mode, ModeEcran::EspaceMedecin);
    QVERIFY(medecinCourant);
    QCOMPARE(medecinCourant->code, QStringLiteral("CMARTIN"));
    QCOMPARE(medecinCourant->libelle, QStringLiteral("MARTIN CLAIRE"));
    QCOMPARE(medecinCourant->CN, QStringLiteral("10000000017"));
    QCOMPARE(medecinCourant->UM, QStringLiteral("ORTH"));
    QCOMPARE(medecinCourant->activite, QStringLiteral("1"));
    QCOMPARE(medecinCourant->UTI, utilisateurCourant.p_code);
    // With his thesaurus, as the tables hold it.
    QCOMPARE(medecinCourant->listeCat.size(),
             qsizetype(base.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_TYPE = 2 "
                                    "AND CT_LIEN = 'CMARTIN'")));
    QVERIFY(!medecinCourant->listeCat.isEmpty());
    QStringList libelles;
    const auto relu = medecin(QStringLiteral("CMARTIN"));
    for (const Categorie& c : relu->listeCat)
        libelles << c.libelle + "/" + QString::number(c.listeActes.size());
    QStringList charges;
    for (const Categorie& c : medecinCourant->listeCat)
        charges << c.libelle + "/" + QString::number(c.listeActes.size());
    QCOMPARE(charges, libelles);

    // A doctor's account without a doctor row: a doctor with empty fields.
    base.executer(QStringLiteral("DELETE FROM Medecin WHERE MED_CODE = 'CMARTIN'"));
    const ResultatSession sansFiche =
        ouvrirSession(QStringLiteral("DOC"), QStringLiteral("SECRET"), base.chemin());
    QCOMPARE(sansFiche.mode, ModeEcran::EspaceMedecin);
    QVERIFY(medecinCourant);
    QVERIFY(medecinCourant->code.isEmpty());
    QVERIFY(medecinCourant->listeCat.isEmpty());
    QCOMPARE(medecinCourant->UTI, utilisateurCourant.p_code);
}

void TestCasUsage::copieThesaurusUM() {
    BaseDeTest base(true);
    ajouterMedecinVide(base);
    auto med = medecin(QStringLiteral("DVIDE"));
    QVERIFY(med->listeCat.isEmpty());
    QList<bool> etats;
    installerVerrouInterface([&](bool actif) { etats << actif; });
    ProgressionEnregistree attente;
    MessagesScriptes messages;

    const Resultat r = copierThesaurusUM(*med);
    QVERIFY(r.estFait());
    QVERIFY(messages.journal().empty());
    QCOMPARE(attente.journal, (QStringList{"debut 4", "+1", "+1", "+1", "fin"}));
    // Menus and toolbar off for the whole copy, on again after.
    QVERIFY(attente.verrouille);
    QCOMPARE(etats, (QList<bool>{false, true}));
    QVERIFY(!interfaceVerrouillee());
    // The tables and the doctor in memory hold the same thesaurus.
    QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_TYPE = 2 AND "
                          "CT_LIEN = 'DVIDE'"),
             3LL);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus "
                          "ON AT_CAT = CT_CODE WHERE CT_LIEN = 'DVIDE'"),
             base.compter("SELECT count(*) FROM Acte_Thesaurus INNER JOIN CategorieThesaurus "
                          "ON AT_CAT = CT_CODE WHERE CT_LIEN = 'ORTH' AND CT_TYPE = 1"));
    auto relu = medecin(QStringLiteral("DVIDE"));
    QCOMPARE(med->listeCat.size(), relu->listeCat.size());
    qsizetype actes = 0;
    for (const Categorie& c : med->listeCat) {
        const Categorie* lue = relu->getCategorie(c.code);
        QVERIFY(lue);
        QCOMPARE(lue->libelle, c.libelle);
        QCOMPARE(lue->listeActes.size(), c.listeActes.size());
        actes += c.listeActes.size();
    }
    QCOMPARE(actes, qsizetype(13));
}

void TestCasUsage::copieThesaurusUM_panneAuMilieu() {
    BaseDeTest base(true);
    ajouterMedecinVide(base);
    // The first category and its acts are written, then the disk fails.
    base.refuser(QStringLiteral("panne"), QStringLiteral("INSERT"),
                 QStringLiteral("Acte_Thesaurus"), QStringLiteral("disque plein"),
                 QStringLiteral("(SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = "
                                "'DVIDE') >= 2"));
    auto med = medecin(QStringLiteral("DVIDE"));
    QList<bool> etats;
    installerVerrouInterface([&](bool actif) { etats << actif; });
    ProgressionEnregistree attente;
    MessagesScriptes messages;

    const Resultat r = copierThesaurusUM(*med);
    QVERIFY(r.estRefus());
    QCOMPARE(r.titre, QStringLiteral("ERREUR"));
    QVERIFY2(r.message.contains(QStringLiteral("disque plein")), qPrintable(r.message));
    QVERIFY(messages.journal().empty()); // the window shows it
    // Nothing kept: neither in the tables nor in memory.
    QCOMPARE(base.compter("SELECT count(*) FROM CategorieThesaurus WHERE CT_LIEN = 'DVIDE'"), 0LL);
    QCOMPARE(base.compter("SELECT count(*) FROM Acte_Thesaurus WHERE AT_CAT NOT IN (SELECT "
                          "CT_CODE FROM CategorieThesaurus)"),
             0LL);
    QVERIFY(med->listeCat.isEmpty());
    // The wait window closed and the interface is back.
    QCOMPARE(attente.journal.last(), QStringLiteral("fin"));
    QCOMPARE(etats, (QList<bool>{false, true}));
    QVERIFY(!interfaceVerrouillee());

    // Once the disk is back, the copy goes through.
    base.retirerRefus(QStringLiteral("panne"), QStringLiteral("Acte_Thesaurus"));
    QVERIFY(copierThesaurusUM(*med).estFait());
    QCOMPARE(med->listeCat.size(), qsizetype(3));
}

void TestCasUsage::verrouImbrique() {
    QList<bool> etats;
    installerVerrouInterface([&](bool actif) { etats << actif; });
    {
        InterfaceVerrouillee exterieur;
        {
            // An export inside an import: one lock for the user.
            ProgressionPortee attente(titreChargement, 2);
            QVERIFY(interfaceVerrouillee());
        }
        QVERIFY(interfaceVerrouillee());
        QCOMPARE(etats, QList<bool>{false});
    }
    QCOMPARE(etats, (QList<bool>{false, true}));
    QVERIFY(!interfaceVerrouillee());
}

QTEST_GUILESS_MAIN(TestCasUsage)
#include "tst_casUsage.moc"
