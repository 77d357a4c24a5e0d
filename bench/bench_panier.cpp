// Opening the basket dialogs: "Sélection de l'acte" on an act with three
// activities and the most modifiers (the doctor's activity ticked, then all
// three), and "Actes sélectionnés" on a basket of 20 acts. Each figure is
// the time from the constructor to the window painted offscreen, best and
// median of 7 rounds.
//
// Usage: bench_panier [database]
//   database: a Tarvenor database holding the classification (for example
//   the national one loaded by tarvenor_import). Without it, the
//   demonstration database is built in a temporary folder.

#include "BaseDemonstration.h"
#include "Data.h"
#include "Globals.h"
#include "Messages.h"
#include "Panier.h"
#include "ProprietesActivite.h"
#include "QtListeColonnes.h"
#include "QtPlateforme.h"
#include "d_ajoutPanier.h"
#include "d_panier.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
// Best and median of the rounds, in milliseconds.
void mesurer(const char* quoi, const std::function<void()>& travail) {
    std::vector<double> temps;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        travail();
        temps.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(temps.begin(), temps.end());
    std::printf("%-58s best %7.2f ms   median %7.2f ms\n", quoi, temps.front(), temps[3]);
}

void peindre(QWidget& w) {
    w.show();
    QApplication::processEvents();
    (void)w.grab();
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installerFrancais();
    MessagesScriptes messages; // nothing is expected; keep boxes off the screen
    QTemporaryDir dossier;
    if (argc > 1) {
        cheminBase = QString::fromLocal8Bit(argv[1]);
    } else {
        cheminBase = QDir(dossier.path()).filePath(QStringLiteral("demo.mdb"));
        creerBaseDemonstration(cheminBase);
    }

    // The act of three activities or more with the most modifier rows.
    RecordsetPtr rs = Data().CreeRecordset(QStringLiteral(
        "SELECT AMCODE, count(*) AS n FROM Acte_Modificateur WHERE AMCODE IN (SELECT AMCODE "
        "FROM CCAM GROUP BY AMCODE HAVING count(DISTINCT Activite) >= 3) GROUP BY AMCODE "
        "ORDER BY n DESC"));
    if (!rs || rs->isEOF()) {
        std::printf("Aucun acte à trois activités dans %s\n", qPrintable(cheminBase));
        return 1;
    }
    const QString code = rs->Fields(0).toString();
    std::printf("Base : %s\nActe : %s (%lld modificateurs sur ses activités)\n",
                qPrintable(cheminBase), qPrintable(code), rs->Fields(1).toLongLong());

    Panier vide;
    mesurer("Sélection de l'acte, activité du médecin cochée", [&] {
        d_ajoutPanier d(code, vide, QStringLiteral("1"));
        peindre(d);
    });
    mesurer("Sélection de l'acte, trois activités cochées", [&] {
        d_ajoutPanier d(code, vide, QStringLiteral("1"));
        for (int i = 1; i < d.lv_activites->topLevelItemCount(); ++i)
            d.lv_activites->topLevelItem(i)->setCheckState(0, Qt::Checked);
        peindre(d);
    });

    // Twenty acts of activity 1, each with its label and tariff.
    Panier panier;
    RecordsetPtr actes = Data().CreeRecordset(
        QStringLiteral("SELECT * FROM CCAM WHERE Activite = '1' AND AMCODE IN (SELECT AMCODE FROM "
                       "Acte_Modificateur) ORDER BY AMCODE"));
    for (int i = 0; actes && i < actes->RecordCount() && panier.getListeActes().size() < 20; ++i) {
        actes->setAbsolutePosition(i + 1);
        panier.ajouterActe(acteDeLaRangee(actes, QStringLiteral("1"), QString()));
    }
    std::printf("Panier : %lld actes\n", static_cast<long long>(panier.getListeActes().size()));
    mesurer("Actes sélectionnés, 20 actes", [&] {
        d_panier d(panier);
        peindre(d);
    });
    return 0;
}
