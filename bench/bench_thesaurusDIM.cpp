// Speed of the DIM window's unit tree: a unit of 200 categories of 5 acts
// each, on a fresh demonstration database (or a copy of the database given),
// read from the tables, then drawn in the window. Prints the time of each of
// a few runs.
//
// Usage: bench_thesaurusDIM [BASE]

#include "BaseDemonstration.h"
#include "Data.h"
#include "Globals.h"
#include "ModeEcran.h"
#include "ThesaurusUM.h"
#include "adCCAM.h"
#include "f_ThesaurusDIM.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dossier;
    cheminBase = dossier.filePath(QStringLiteral("bench.mdb"));
    if (argc == 2)
        QFile::copy(QString::fromLocal8Bit(argv[1]), cheminBase);
    else
        creerBaseDemonstration(cheminBase);

    // The unit and its 200 categories, each of 5 acts of the classification.
    QStringList codes;
    {
        ConnexionPtr c = Data().CreeConnexion();
        RecordsetPtr rs = c->Ouvrir(QStringLiteral("SELECT DISTINCT AMCODE FROM CCAM"));
        for (; rs && !rs->isEOF() && codes.size() < 1000; rs->MoveNext())
            codes << valeurTexte(rs->Fields(0));
    }
    if (codes.isEmpty()) {
        std::fprintf(stderr, "no act in the classification\n");
        return 1;
    }
    {
        ConnexionPtr c = Data().CreeConnexion();
        Transaction t(*c);
        for (int i = 0; i < 200; ++i) {
            const long cat = adCCAM::insererCatAndGetCode(
                *c, QStringLiteral("BENCH"),
                QStringLiteral("Catégorie %1").arg(i, 3, 10, QChar('0')), 1);
            for (int j = 0; j < 5; ++j)
                c->Execute(adCCAM::sqlInsererActeTheserus(cat, codes.at((i * 5 + j) % codes.size()),
                                                          QString(), QString()));
        }
        t.valider();
    }
    {
        ConnexionPtr c = Data().CreeConnexion();
        c->Execute(QStringLiteral(
            "INSERT INTO UniteMedicale (UM_Code, UM_LIB) VALUES ('BENCH', 'BANC D''ESSAI')"));
    }

    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const QList<NoeudThesaurusUM> noeuds = noeudsThesaurusUM(QStringLiteral("BENCH"));
        const double lecture = t.nsecsElapsed() / 1e6;
        changerContexte(ModeEcran::ThesaurusUM);
        f_ThesaurusDIM fenetre;
        fenetre.show();
        t.restart();
        fenetre.C_UM[0]->setCurrentIndex(
            fenetre.C_UM[0]->findText(QStringLiteral("BENCH - BANC D'ESSAI")));
        app.processEvents();
        const double dessin = t.nsecsElapsed() / 1e6;
        std::printf("%d nodes: read %7.1f ms, drawn in the window %7.1f ms\n", int(noeuds.size()),
                    lecture, dessin);
    }
    return 0;
}
