// The basket: keys, copies, positions, the admission rule with its three
// refusals, the add-to-basket entry, and the patient file rows built from it.

#include "ActeChoisi.h"
#include "AjoutPanier.h"
#include "BaseDeTest.h"
#include "Data.h"
#include "Dossier.h"
#include "Globals.h"
#include "ImportCcam.h"
#include "Messages.h"
#include "Panier.h"
#include "adCCAM.h"

#include <QtTest>

namespace {
Acte acte(const QString& code, const QString& activite, const QString& phase = QString()) {
    Acte a;
    a.code = code;
    a.activite = activite;
    a.Phase = phase;
    return a;
}

// An act with every field filled.
Acte acteComplet() {
    Acte a = acte("AAFA001", "1", "0");
    a.libelle = "Libellé";
    a.acteClassant = true;
    a.extDoc = "A";
    a.modificateur1 = "J";
    a.Modificateur2 = "K";
    a.modificateur3 = "L";
    a.modificateur4 = "M";
    a.Tarif = 28.8;
    a.codeAss = "1";
    a.actePrincipale = "BBBB001";
    return a;
}

QStringList codes(const Panier& p) {
    QStringList l;
    for (const ActePtr& a : p.getListeActes())
        l << a->cle();
    return l;
}

// The current act as a search panel leaves it.
ActeChoisi rangeeActe(const QString& code) {
    return {code, QStringLiteral("1"), {}};
}

// Procedure PROC001 = COMP001 + COMP002; INCO001 incompatible with COMP001
// and (in the other column) with BASE001; MIXT001 both incompatible with
// BASE001 and a component of PROC001.
void remplirNomenclature(const BaseDeTest& base) {
    for (const char* code :
         {"PROC001", "COMP001", "COMP002", "INCO001", "BASE001", "MIXT001", "LIBR001"})
        base.executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, Tarif, "
                                     "Libelle_Complet, Libelle_Court) VALUES ('%1', '1', '0', "
                                     "10, 'Acte %1', 'Court %1')")
                          .arg(QLatin1String(code)));
    base.executer("INSERT INTO Actes_Procedures VALUES ('PROC001', 'COMP001')");
    base.executer("INSERT INTO Actes_Procedures VALUES ('PROC001', 'COMP002')");
    base.executer("INSERT INTO Actes_Procedures VALUES ('PROC001', 'MIXT001')");
    base.executer("INSERT INTO Actes_Incompatibles VALUES ('INCO001', 'COMP001')");
    base.executer("INSERT INTO Actes_Incompatibles VALUES ('BASE001', 'INCO001')");
    base.executer("INSERT INTO Actes_Incompatibles VALUES ('MIXT001', 'BASE001')");
}

const QString refusIncompatible = QStringLiteral(
    "Cet acte ne peut être ajouté au panier ! Il est incompatible avec un autre acte du panier");
const QString refusProcedure = QStringLiteral(
    "Cet acte ne peut être ajouté au panier ! C'est une procédure qui contient un acte du panier");
const QString refusComposant =
    QStringLiteral("Cet acte ne peut être ajouté au panier ! Il "
                   "appartient à une procédure existante dans le panier");
} // namespace

class TestPanier : public QObject {
    Q_OBJECT

private slots:
    void init() { reinitialiserEtatGlobal(); }
    void cleanup() { reinitialiserEtatGlobal(); }

    void cleEtDoublons();
    void acteExisteSensibleALaCasse();
    void positions_data();
    void positions();
    void copieProfonde();
    void copieGardeLesClesPartagees();
    void associationASaisirLue();

    void admission_data();
    void admission();
    void panierVideSansRequete();
    void requeteEnEchecNeTrouveRien();
    void sansActeCourantRienNeSePasse();

    void incompatiblesDeLaCcamNationale();
    void dossierLignes();
    void dossierVide();
};

void TestPanier::cleEtDoublons() {
    Panier p;
    p.ajouterActe(acte("AAFA001", "1", "0"));
    p.ajouterActe(acte("AAFA001", "1", "0")); // same key: dropped silently
    p.ajouterActe(acte("AAFA001", "4", "0")); // other activity: a second act
    p.ajouterActe(acte("AAFA001", "1", ""));  // other phase
    QCOMPARE(codes(p), QStringList({"AAFA00110", "AAFA00140", "AAFA0011"}));
}

void TestPanier::acteExisteSensibleALaCasse() {
    Panier p;
    p.ajouterActe(acte("AAFA001", "1"));
    QVERIFY(p.acteExiste("AAFA001"));
    QVERIFY(!p.acteExiste("aafa001"));
    QVERIFY(!p.acteExiste("AAFA00"));
    QVERIFY(!Panier().acteExiste(QString()));
}

void TestPanier::positions_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("restants");
    QTest::addColumn<QString>("acteALaPosition");
    QTest::newRow("première") << 1 << QStringList{"B1", "C1"} << "A";
    QTest::newRow("dernière") << 3 << QStringList{"A1", "B1"} << "C";
    QTest::newRow("zéro") << 0 << QStringList{"A1", "B1", "C1"} << "";
    QTest::newRow("négative") << -1 << QStringList{"A1", "B1", "C1"} << "";
    QTest::newRow("au-delà") << 4 << QStringList{"A1", "B1", "C1"} << "";
}

void TestPanier::positions() {
    QFETCH(int, position);
    Panier p;
    for (const char* c : {"A", "B", "C"})
        p.ajouterActe(acte(c, "1"));
    const ActePtr a = p.getActeByIndice(static_cast<qint16>(position));
    QFETCH(QString, acteALaPosition);
    QCOMPARE(a ? a->code : QString(), acteALaPosition);
    p.supprimerActe(static_cast<qint16>(position));
    QTEST(codes(p), "restants");
}

void TestPanier::copieProfonde() {
    Panier p;
    const Acte a = acteComplet();
    p.ajouterActe(a);
    auto c = p.copie();
    const ActePtr copie = c->getActeByIndice(1);
    QVERIFY(copie && copie != p.getActeByIndice(1));
    QCOMPARE(copie->libelle, a.libelle);
    QCOMPARE(copie->acteClassant, true);
    QCOMPARE(copie->modificateur1 + copie->Modificateur2 + copie->modificateur3 +
                 copie->modificateur4 + copie->extDoc,
             QString("JKLMA"));
    QCOMPARE(copie->Tarif, 28.8);
    QCOMPARE(copie->codeAss + copie->actePrincipale, QString("1BBBB001"));
    copie->codeAss = "2";
    c->supprimerActe(1);
    QCOMPARE(p.getActeByIndice(1)->codeAss, QString("1"));
    QCOMPARE(p.getListeActes().size(), 1);
}

void TestPanier::copieGardeLesClesPartagees() {
    Panier p;
    p.ajouterActe(acte("AAFA001", "1"));
    p.ajouterActe(acte("BBBB001", "1"));
    p.ajouterActe(acte("AAFA001", "4"));
    // The basket window changed the third act's activity to that of the first.
    p.getActeByIndice(3)->activite = "1";
    p.getActeByIndice(3)->codeAss = "2";
    auto c = p.copie();
    QCOMPARE(codes(*c), QStringList({"AAFA0011", "BBBB0011", "AAFA0011"}));
    QCOMPARE(c->getActeByIndice(3)->codeAss, QString("2"));
}

void TestPanier::associationASaisirLue() {
    Panier p;
    QVERIFY(!p.fautSaisirAss());
    p.setAssociationASaisir(true);
    p.ajouterActe(acte("A", "1"));
    p.supprimerActe(1); // emptying the basket leaves the flag as it was
    QVERIFY(p.fautSaisirAss());
    QVERIFY(p.copie()->fautSaisirAss()); // the association codes dialog's copy keeps it
    QVERIFY(!Panier().fautSaisirAss());
}

// The refusal names the basket act in the way, on a line of its own.
QString enCause(const QString& code) {
    return "\nActe du panier en cause : " + code + " - Acte " + code;
}

void TestPanier::admission_data() {
    QTest::addColumn<QStringList>("panier");
    QTest::addColumn<QString>("acte");
    QTest::addColumn<int>("attendu");
    QTest::addColumn<QString>("message");
    QTest::newRow("incompatible (colonne 1)")
        << QStringList{"COMP001"} << "INCO001" << 1 << refusIncompatible + enCause("COMP001");
    QTest::newRow("incompatible (colonne 2)")
        << QStringList{"INCO001"} << "BASE001" << 1 << refusIncompatible + enCause("INCO001");
    QTest::newRow("procédure d'un composant du panier")
        << QStringList{"COMP002"} << "PROC001" << 2 << refusProcedure + enCause("COMP002");
    QTest::newRow("composant d'une procédure du panier")
        << QStringList{"PROC001"} << "COMP002" << 3 << refusComposant + enCause("PROC001");
    QTest::newRow("incompatible avant procédure") << QStringList{"PROC001", "BASE001"} << "MIXT001"
                                                  << 1 << refusIncompatible + enCause("BASE001");
    QTest::newRow("même code, autre activité") << QStringList{"LIBR001"} << "LIBR001" << 0 << "";
    QTest::newRow("sans lien") << QStringList{"COMP001", "PROC001"} << "LIBR001" << 0 << "";
    QTest::newRow("casse différente") << QStringList{"comp001"} << "INCO001" << 0 << "";
}

void TestPanier::admission() {
    BaseDeTest base;
    remplirNomenclature(base);
    QFETCH(QStringList, panier);
    QFETCH(QString, acte);
    QFETCH(int, attendu);
    QFETCH(QString, message);
    for (const QString& c : panier) {
        Acte a = ::acte(c, "4");
        a.libelle = "Acte " + c;
        ::panier().ajouterActe(a);
    }
    choisirActeCourant(rangeeActe(acte));
    QCOMPARE(int(verifierAdmission()), attendu);

    // The use case shows nothing; the window shows its refusal.
    MessagesScriptes messages;
    const Resultat resultat = ajouterAuPanier();
    QVERIFY(messages.journal().empty());
    QCOMPARE(resultat.message, message);
    QCOMPARE(signaler(resultat), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(resultat.estFait());
        QVERIFY(messages.journal().empty());
    } else {
        QVERIFY(resultat.estRefus());
        QCOMPARE(messages.journal().size(), size_t(1));
        const MessageAffiche& m = messages.journal().front();
        QCOMPARE(m.texte, message);
        QCOMPARE(m.titre, QString("Attention"));
        QCOMPARE(m.icone, Icone::Exclamation);
        QCOMPARE(m.boutons, Boutons::Ok);
    }
    QCOMPARE(::panier().getListeActes().size(), panier.size()); // nothing added here
}

void TestPanier::panierVideSansRequete() {
    // No database at all: any query would report an error.
    cheminBase = QStringLiteral("/nonexistent/tarvenor.mdb");
    MessagesScriptes messages;
    choisirActeCourant(rangeeActe("PROC001"));
    QCOMPARE(int(verifierAdmission()), 0);
    QVERIFY(ajouterAuPanier().estFait());
    QVERIFY(messages.journal().empty());
}

void TestPanier::requeteEnEchecNeTrouveRien() {
    BaseDeTest base;
    remplirNomenclature(base);
    base.executer("DROP TABLE Actes_Incompatibles");
    MessagesScriptes messages;
    panier().ajouterActe(acte("COMP002", "1"));
    // The incompatibility query fails (and says so); the procedure test still runs.
    QCOMPARE(verifierAdmission(panier(), "PROC001"), qint16(2));
    QCOMPARE(messages.journal().size(), size_t(1));
    QCOMPARE(messages.journal().front().titre, QString("ERREUR"));
}

void TestPanier::sansActeCourantRienNeSePasse() {
    MessagesScriptes messages;
    panier().ajouterActe(acte("COMP001", "1"));
    QCOMPARE(ajouterAuPanier().issue, Resultat::Issue::Rien);
    choisirActeCourant(rangeeActe("INCO001"));
    oublierActeCourant();
    const Resultat resultat = ajouterAuPanier();
    QCOMPARE(resultat.issue, Resultat::Issue::Rien);
    QVERIFY(!signaler(resultat));
    QVERIFY(messages.journal().empty());
}

// The national CCAM V81 loaded with the rules of the CNAM base v34 beside
// it: the second act of a pair of the file is refused once the first is in
// the basket, naming it.
void TestPanier::incompatiblesDeLaCcamNationale() {
    const QString dossier = dossierCcamNational();
    if (dossier.isEmpty())
        QSKIP("Dossier CCAM national absent (TARVENOR_CCAM_DIR).");
    BaseDeTest base;
    ImportCcam(QDir(dossier).filePath("ccam_v81.csv"), dossier).charger(base.chemin());
    // incompatibilites_v34.csv: "AAFA001;20050325;AFLB006"
    choisirActeCourant(rangeeActe("AAFA001"));
    QVERIFY(ajouterAuPanier().estFait());
    Acte premier = acte("AAFA001", "1", "0");
    premier.libelle = accesCCAM.getActe("AAFA001", "1")->Fields("Libelle_Complet").toString();
    panier().ajouterActe(premier);
    choisirActeCourant(rangeeActe("AFLB006"));
    const Resultat refus = ajouterAuPanier();
    QVERIFY(refus.estRefus());
    QCOMPARE(refus.message,
             refusIncompatible + "\nActe du panier en cause : AAFA001 - " + premier.libelle);
    QVERIFY(premier.libelle.startsWith("Exérèse"));
}

void TestPanier::dossierLignes() {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    Dossier d;
    const Acte complet = acteComplet();
    Acte nu = acte("BBBB001", "4");
    nu.Tarif = 100;
    Acte sansDrapeau = acte("CCCC001", "1");
    sansDrapeau.classantConnu = false; // a classification without the flag
    d.ajouterActe(complet);
    d.ajouterActe(nu);
    d.ajouterActe(sansDrapeau);
    RecordsetPtr rs = d.listeActes();
    QStringList noms;
    for (int i = 0; i < rs->FieldCount(); ++i)
        noms << rs->FieldName(i);
    QCOMPARE(noms, QStringList({"Code", "Activite", "Phase", "ExtDoc", "M1", "M2", "M3", "M4",
                                "Association", "Classant", "Prix"}));
    QCOMPARE(rs->AbsolutePosition(), 1);
    auto ligne = [&](int n) {
        QStringList l;
        for (int i = 0; i < rs->FieldCount(); ++i)
            l << rs->valeurLigne(n, i).toString();
        return l;
    };
    QCOMPARE(ligne(0),
             QStringList({"AAFA001", "1", "0", "A", "J", "K", "L", "M", "1", "Oui", "28,8"}));
    QCOMPARE(ligne(1), QStringList({"BBBB001", "4", "", "", "", "", "", "", "", "Non", "100"}));
    QCOMPARE(ligne(2), QStringList({"CCCC001", "1", "", "", "", "", "", "", "", "Inconnu", "0"}));
    QCOMPARE(rs->Fields("prix").toString(), QString("28,8"));
    QLocale::setDefault(QLocale::c());
    Dossier c;
    c.ajouterActe(complet);
    QCOMPARE(c.listeActes()->Fields("Prix").toString(), QString("28.8"));
}

void TestPanier::dossierVide() {
    Dossier d;
    d.setListeActes(nullptr);
    QVERIFY(d.listeActes());
    QCOMPARE(d.listeActes()->RecordCount(), 0);
    QCOMPARE(d.listeActes()->FieldCount(), 11);
}

QTEST_GUILESS_MAIN(TestPanier)
#include "tst_panier.moc"
