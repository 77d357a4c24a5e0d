// The rules of the basket road that need no window, on the demonstration
// database: an activity's modifiers, extension and associated acts; the
// phases and activities offered for an act and the one ticked at first;
// the addition to the basket; corrections in the basket window; association
// codes; the patient file built from the basket.

#include "Associations.h"
#include "BaseDeTest.h"
#include "CorrectionActe.h"
#include "Data.h"
#include "Globals.h"
#include "Panier.h"
#include "PreparationDossier.h"
#include "ProprietesActivite.h"
#include "SelectionActe.h"
#include "adCCAM.h"

#include <QLocale>
#include <QtTest>
#include <memory>

namespace {
QStringList cles(const Panier& p) {
    QStringList l;
    for (const ActePtr& a : p.getListeActes())
        l << a->cle();
    return l;
}

Acte acteDuPanier(const QString& code, const QString& activite, const QString& phase,
                  const QStringList& modificateurs = {}) {
    Acte a;
    a.code = code;
    a.activite = activite;
    a.Phase = phase;
    setModificateursActe(a, modificateurs);
    return a;
}
} // namespace

class TestChoixActes : public QObject {
    Q_OBJECT
    std::unique_ptr<BaseDeTest> m_base;

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        m_base = std::make_unique<BaseDeTest>(true);
    }
    void cleanupTestCase() { m_base.reset(); }
    void init() {
        const QString chemin = cheminBase;
        reinitialiserEtatGlobal();
        cheminBase = chemin;
    }

    void prixDesModificateurs();
    void modificateursCochesDansLOrdre();
    void actesDuPanneau();
    void panneauSansListe();

    void phasesEtActivites_data();
    void phasesEtActivites();
    void activiteCocheeAuDepart_data();
    void activiteCocheeAuDepart();
    void acteAbsentDeLaVersion();
    void ajoutAuPanier();

    void emplacementsDesModificateurs_data();
    void emplacementsDesModificateurs();
    void changementDActivite();
    void changementDePhase();
    void activitesUneFoisChacune();

    void menuDesCodes_data();
    void menuDesCodes();

    void preparation_data();
    void preparation();
};

void TestChoixActes::prixDesModificateurs() {
    ProprietesActivite p;
    p.charger("1", accesCCAM.getActe("XHMA001", "1"), QString());
    QStringList prix;
    for (const auto& m : p.modificateurs())
        prix << m.code + "=" + m.prix;
    // A rate on the act's tariff (462.8), a fixed amount, or nothing.
    QCOMPARE(prix,
             QStringList({"C=20%\u00A0(92,56\u00A0€)", "I=40,00\u00A0€", "1=22,50\u00A0€",
                          "2=11,5%\u00A0(53,22\u00A0€)", "0=50%\u00A0(231,40\u00A0€)", "X="}));
}

void TestChoixActes::modificateursCochesDansLOrdre() {
    ProprietesActivite p;
    p.charger("1", accesCCAM.getActe("XHMA001", "1"), QString());
    for (const char* m : {"1", "C", "X", "I"})
        QVERIFY(p.cocherModificateur(m));
    QVERIFY(!p.cocherModificateur("0")); // a fifth one
    QCOMPARE(p.modificateursCoches(), QStringList({"1", "C", "X", "I"}));
    p.decocherModificateur("C");
    QVERIFY(p.cocherModificateur("0"));
    const Acte a = p.getListActes(-1, {}).front();
    QCOMPARE(QStringList({a.modificateur1, a.Modificateur2, a.modificateur3, a.modificateur4}),
             QStringList({"1", "X", "I", "0"}));
    // A new display forgets the ticks.
    p.charger("1", accesCCAM.getActe("XHMA001", "1"), QString());
    QVERIFY(p.modificateursCoches().isEmpty());
}

void TestChoixActes::actesDuPanneau() {
    ProprietesActivite p;
    p.charger("1", accesCCAM.getActe("XHMA001", "1"), QString());
    QCOMPARE(p.actesAssocies().size(), 2); // YSHB001, YSNA001
    QCOMPARE(p.extensions().size(), 1);
    QList<Acte> actes = p.getListActes(-1, {false, true});
    QCOMPARE(actes.size(), 2);
    const Acte& principal = actes[0];
    QCOMPARE(principal.code + principal.activite + "|" + principal.Phase + "|" + principal.extDoc,
             QString("XHMA0011||"));
    QCOMPARE(principal.Tarif, 462.8);
    QVERIFY(principal.acteClassant);
    QVERIFY(principal.actePrincipale.isEmpty());
    QVERIFY(principal.libelle.startsWith("Remplacement de l'articulation coxofémorale"));
    const Acte& associe = actes[1];
    QCOMPARE(associe.code + associe.activite + "|" + associe.Phase, QString("YSNA0011|"));
    QCOMPARE(associe.actePrincipale, QString("XHMA001"));
    QCOMPARE(associe.Tarif, 26.0);
    QVERIFY(!associe.acteClassant);
    QVERIFY(associe.modificateur1.isEmpty() && associe.extDoc.isEmpty());
    QCOMPARE(p.getListActes(0, {}).front().extDoc, QString("D"));

    // In activity 4 an associated act takes the tariff of its own row for
    // that activity (YSMP001: 32.5, not the 45 of activity 1).
    p.charger("4", accesCCAM.getActe("XHMA001", "4"), QString());
    actes = p.getListActes(-1, {true, true});
    QCOMPARE(actes.size(), 3);
    QCOMPARE(actes[0].Tarif, 170.25);
    QCOMPARE(actes[2].code, QString("YSMP001"));
    QCOMPARE(actes[2].Tarif, 32.5);

    // An associated act without a row for the panel's activity takes the
    // activity of the association (YSLP001 exists in activity 4 only).
    m_base->executer("INSERT INTO Actes_Associes VALUES ('TEQP001', '1', 'YSLP001', '4')");
    p.charger("1", accesCCAM.getActe("TEQP001", "1"), QString());
    actes = p.getListActes(-1, {true});
    m_base->executer("DELETE FROM Actes_Associes WHERE Acte1 = 'TEQP001'");
    QCOMPARE(actes.size(), 2);
    QCOMPARE(actes[1].code + actes[1].activite, QString("YSLP0014"));
    QCOMPARE(actes[1].Tarif, 18.4);
}

void TestChoixActes::panneauSansListe() {
    ProprietesActivite p;
    p.charger("1", accesCCAM.getActe("RPQP002", "1"), QString());
    QVERIFY(p.modificateurs().isEmpty());
    QVERIFY(p.actesAssocies().isEmpty());
    QVERIFY(p.extensions().isEmpty());
    QCOMPARE(p.getListActes(-1, {}).size(), 1);
    // No act at all: nothing.
    p.charger("1", nullptr, QString());
    QVERIFY(p.getListActes(-1, {}).isEmpty());
}

void TestChoixActes::phasesEtActivites_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("phases");
    QTest::addColumn<QStringList>("activites");
    QTest::newRow("une activité, sans phase") << "TEQP001" << QStringList{} << QStringList{"1"};
    QTest::newRow("trois activités") << "TEFA001" << QStringList{} << QStringList{"1", "2", "4"};
    QTest::newRow("phases 1 et 2") << "WCFA002" << QStringList{"1", "2"} << QStringList{"1", "4"};
    QTest::newRow("la phase 0 n'est pas proposée")
        << "XHMA003" << QStringList{"1", "2"} << QStringList{"1", "4"};
}

void TestChoixActes::phasesEtActivites() {
    QFETCH(QString, code);
    const SelectionActe s(code);
    QVERIFY(s.existe());
    QStringList phases, activites;
    for (const auto& p : s.phases())
        phases << p.code;
    for (const auto& a : s.activites())
        activites << a.code;
    QTEST(phases, "phases");
    QTEST(activites, "activites");
    QCOMPARE(s.phase(), phases.value(0));
    QVERIFY(!s.libelle().isEmpty());
}

void TestChoixActes::activiteCocheeAuDepart_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("activiteMedecin");
    QTest::addColumn<int>("indice");
    QTest::newRow("seule activité, sans médecin") << "TEQP001"
                                                  << "" << 0;
    QTest::newRow("seule activité, médecin anesthésiste") << "TEQP001"
                                                          << "4" << 0;
    QTest::newRow("plusieurs, médecin anesthésiste") << "TEFA001"
                                                     << "4" << 2;
    QTest::newRow("plusieurs, médecin opérateur") << "TEFA001"
                                                  << "1" << 0;
    QTest::newRow("plusieurs, sans médecin") << "TEFA001"
                                             << "" << -1;
    QTest::newRow("plusieurs, activité absente") << "XHMA001"
                                                 << "2" << -1;
}

void TestChoixActes::activiteCocheeAuDepart() {
    QFETCH(QString, code);
    QFETCH(QString, activiteMedecin);
    QTEST(SelectionActe(code).activiteACocher(activiteMedecin), "indice");
}

void TestChoixActes::acteAbsentDeLaVersion() {
    const SelectionActe s("WBFA099"); // in a thesaurus, not in the classification
    QVERIFY(!s.existe());
    QVERIFY(s.activites().isEmpty());
    QVERIFY(messageActeAbsent("WBFA099").contains("WBFA099"));
}

void TestChoixActes::ajoutAuPanier() {
    Panier p;
    const QList<Acte> premier = {acteDuPanier("TEFA001", "1", ""),
                                 acteDuPanier("YSMP001", "1", "")};
    const QList<Acte> second = {acteDuPanier("TEFA001", "4", "")};
    // Into an empty basket: no association codes, although two acts come in.
    QCOMPARE(ajouterSelection(p, {premier, second}), 3);
    QVERIFY(!p.fautSaisirAss());
    QCOMPARE(cles(p), QStringList({"TEFA0011", "YSMP0011", "TEFA0014"}));
    // Everything already there: nothing added, but the flag follows the basket.
    QCOMPARE(ajouterSelection(p, {second, premier}), 0);
    QVERIFY(p.fautSaisirAss());
    QCOMPARE(p.getListeActes().size(), 3);
}

void TestChoixActes::emplacementsDesModificateurs_data() {
    QTest::addColumn<QStringList>("avant");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("apres");
    QTest::addColumn<bool>("accepte");
    QTest::newRow("premier emplacement") << QStringList{} << "+A" << QStringList{"A"} << true;
    QTest::newRow("à la suite") << QStringList{"A", "B"} << "+C" << QStringList{"A", "B", "C"}
                                << true;
    QTest::newRow("cinquième refusé")
        << QStringList{"A", "B", "C", "D"} << "+E" << QStringList{"A", "B", "C", "D"} << false;
    QTest::newRow("retrait du milieu")
        << QStringList{"A", "B", "C"} << "-B" << QStringList{"A", "C"} << true;
    QTest::newRow("retrait du premier de quatre")
        << QStringList{"A", "B", "C", "D"} << "-A" << QStringList{"B", "C", "D"} << true;
    QTest::newRow("retrait d'un absent") << QStringList{"A"} << "-Z" << QStringList{"A"} << true;
}

void TestChoixActes::emplacementsDesModificateurs() {
    QFETCH(QStringList, avant);
    QFETCH(QString, operation);
    Acte a = acteDuPanier("XHMA001", "1", "", avant);
    const QString code = operation.mid(1);
    bool accepte = true;
    if (operation.startsWith('+'))
        accepte = ajouterModificateur(a, code);
    else
        retirerModificateur(a, code);
    QTEST(accepte, "accepte");
    QTEST(modificateursActe(a), "apres");
    // The filled slots always come first.
    QFETCH(QStringList, apres);
    const QStringList emplacements = {a.modificateur1, a.Modificateur2, a.modificateur3,
                                      a.modificateur4};
    QCOMPARE(emplacements.mid(0, apres.size()), apres);
    for (qsizetype i = apres.size(); i < 4; ++i)
        QVERIFY(emplacements[i].isEmpty());
}

void TestChoixActes::changementDActivite() {
    Acte a = acteDuPanier("XHMA001", "1", "", {"0", "C", "X"});
    a.Tarif = 462.8;
    a.extDoc = "D";
    changerActivite(a, "4");
    QCOMPARE(a.activite, QString("4"));
    QCOMPARE(a.Tarif, 170.25);                        // the anaesthesia's own tariff
    QCOMPARE(modificateursActe(a), QStringList{"C"}); // 0 and X are not offered in activity 4
    QVERIFY(a.extDoc.isEmpty());                      // no extension in activity 4
    changerActivite(a, "1");
    QCOMPARE(a.Tarif, 462.8);
    QCOMPARE(modificateursActe(a), QStringList{"C"});
}

void TestChoixActes::changementDePhase() {
    Acte a = acteDuPanier("WCFA002", "1", "1", {"C"});
    a.Tarif = 486.2;
    changerPhase(a, "2");
    QCOMPARE(a.Phase, QString("2"));
    QCOMPARE(a.Tarif, 241.5);
    QCOMPARE(modificateursActe(a), QStringList{"C"});
    // A row that does not exist leaves the tariff alone.
    changerPhase(a, "7");
    QCOMPARE(a.Tarif, 241.5);
}

void TestChoixActes::activitesUneFoisChacune() {
    QStringList l;
    for (const ActiviteCode& a : activitesDuCode("XHMA003"))
        l << a.code + " " + a.libelle;
    QCOMPARE(l, QStringList({"1 Réalisation de l'acte", "4 Anesthésie"}));
}

void TestChoixActes::menuDesCodes_data() {
    QTest::addColumn<int>("entree");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("taux");
    QTest::newRow("Rien") << 0 << ""
                          << "";
    QTest::newRow("1") << 1 << "1"
                       << "100%";
    QTest::newRow("2") << 2 << "2"
                       << "50%";
    QTest::newRow("3") << 3 << "3"
                       << "75%";
    QTest::newRow("4") << 4 << "4"
                       << "100%";
    QTest::newRow("5") << 5 << "5"
                       << "100%";
    QTest::newRow("hors menu") << 6 << "2"
                               << "50%"; // the code stays as it was
}

void TestChoixActes::menuDesCodes() {
    QFETCH(int, entree);
    Acte a;
    a.codeAss = "2";
    appliquerCodeAssociation(a, entree);
    QTEST(a.codeAss, "code");
    QTEST(tauxAssociation(a.codeAss), "taux");
    QVERIFY(codesAssociation()[5].legende.contains(QChar(0x2019)));
    QVERIFY(!codesAssociation()[5].legende.contains('\''));
    QCOMPARE(tauxAssociation("9"), QString());
}

void TestChoixActes::preparation_data() {
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("prenom");
    QTest::addColumn<int>("statut");
    QTest::newRow("complet") << "  DURAND "
                             << " MARIE" << 0;
    QTest::newRow("sans nom") << "   "
                              << "MARIE" << 1;
    QTest::newRow("sans prénom") << "DURAND"
                                 << "" << 2;
    QTest::newRow("sans rien") << ""
                               << "" << 1;
    QTest::newRow("noms difficiles") << "D'ARÇON-LEFÈVRE" << QString(200, QChar(0x00C9)) << 0;
}

void TestChoixActes::preparation() {
    QFETCH(QString, nom);
    QFETCH(QString, prenom);
    QFETCH(int, statut);
    Panier p;
    p.ajouterActe(acteDuPanier("TEFA001", "1", ""));
    Acte a = acteDuPanier("TEFA001", "4", "", {"C"});
    a.codeAss = "2";
    p.ajouterActe(a);
    Dossier d;
    d.NOM = "ANCIEN";
    const qint16 s = preparerDossier({nom, prenom, " 24-001 ", "05/03/2024", "09:07"}, p, d);
    QCOMPARE(int(s), statut);
    QCOMPARE(d.listeActes()->RecordCount(), statut == 0 ? 2 : 0);
    if (statut != 0) {
        QVERIFY(d.NOM != "ANCIEN"); // a new Dossier replaced the old one
        return;
    }
    QCOMPARE(d.NOM, nom.trimmed());
    QCOMPARE(d.PRENOM, prenom.trimmed());
    QCOMPARE(d.numHosp, QString("24-001"));
    QCOMPARE(d.p_Date + " " + d.Heure, QString("05/03/2024 09:07"));
    RecordsetPtr rs = d.listeActes();
    rs->MoveLast();
    QCOMPARE(rs->Fields("M1").toString() + rs->Fields("Association").toString(), QString("C2"));
    QCOMPARE(normaliserNom("  d'arçon-lefèvre "), QString("D'ARÇON-LEFÈVRE"));
}

QTEST_GUILESS_MAIN(TestChoixActes)
#include "tst_choixActes.moc"
