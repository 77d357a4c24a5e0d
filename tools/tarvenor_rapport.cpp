// Renders a report of a database to a PDF file (a debugging aid, and how the
// reports are looked at before the windows that open them exist):
//   tarvenor_rapport BASE dossier MED_CODE NB_ACTES SORTIE.pdf
//   tarvenor_rapport BASE thesaurus-med MED_CODE SORTIE.pdf
//   tarvenor_rapport BASE thesaurus-um UM_CODE SORTIE.pdf
//   tarvenor_rapport BASE thesaurus-ccam NB_CATEGORIES NB_ACTES SORTIE.pdf
// The patient file holds the first NB_ACTES acts of the classification;
// thesaurus-ccam prints a doctor's thesaurus made in memory of the
// classification's acts. The database is only read. With an output name
// ending in ".png", the preview window is drawn into that image instead.

#include "AccesDonnees.h"
#include "DR_dossier.h"
#include "DR_thesaurus.h"
#include "Globals.h"
#include "LigneDeCommande.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "QtApercuRapport.h"
#include "QtPlateforme.h"
#include "QtRapport.h"
#include "RapportsDeDemonstration.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[]) {
    LigneDeCommande ligne(QStringLiteral("tarvenor_rapport"),
                          QStringLiteral("Écrit un rapport d'une base en PDF (ou son aperçu en "
                                         "image PNG)."));
    ligne.remplacerUsage({QStringLiteral("BASE dossier MED_CODE NB_ACTES SORTIE.pdf"),
                          QStringLiteral("BASE thesaurus-med MED_CODE SORTIE.pdf"),
                          QStringLiteral("BASE thesaurus-um UM_CODE SORTIE.pdf"),
                          QStringLiteral("BASE thesaurus-ccam NB_CATEGORIES NB_ACTES SORTIE.pdf")},
                         4, 5);
    if (const auto statut = ligne.analyser(argumentsDe(argc, argv)))
        return *statut;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installerFrancais();
    // The program's path first, as the branches below count them.
    const QStringList args = QStringList{app.arguments().at(0)} + ligne.arguments();
    const auto usage = [&ligne] {
        return ligne.refuser(QStringLiteral("genre de rapport inconnu, ou nombre d'arguments "
                                            "qui ne lui convient pas."));
    };
    const QString genre = args.at(2);
    if (!QFileInfo(args.at(1)).isFile()) {
        std::fprintf(stderr, "La base « %s » n'existe pas.\n", qUtf8Printable(args.at(1)));
        return 1;
    }
    cheminBase = args.at(1);
    const QString sortie = args.last();

    std::shared_ptr<QtRapport> rapport;
    if (genre == QLatin1String("dossier") && args.size() == 6) {
        medecinCourant = std::make_shared<Medecin>();
        medecinCourant->code = args.at(3);
        medecinCourant->remplirDonnees();
        rapport = DR_dossier::construireRapport(
            dossierDeDemonstration(args.at(4).toInt()), DR_dossier::medecinConnecte(),
            DR_dossier::uniteMedicaleConnectee(), QDate::currentDate());
    } else if (genre == QLatin1String("thesaurus-med") && args.size() == 5) {
        Medecin m;
        m.code = args.at(3);
        m.remplirDonnees();
        m.remplirThesaurusMED();
        Thesaurus t;
        t.remplirThesaurus(m);
        rapport = DR_thesaurus::construireRapport(t, QDate::currentDate());
    } else if (genre == QLatin1String("thesaurus-um") && args.size() == 5) {
        Thesaurus t;
        t.remplirThesaurusUM(
            codeEtLibelle(args.at(3), accesDonnees.getLibelleUniteMedicale(args.at(3))));
        rapport = DR_thesaurus::construireRapport(t, QDate::currentDate());
    } else if (genre == QLatin1String("thesaurus-ccam") && args.size() == 6) {
        Medecin m =
            medecinDeDemonstration(QStringLiteral("1"), args.at(3).toInt(), args.at(4).toInt());
        m.UM = QStringLiteral("ORTH");
        Thesaurus t;
        t.remplirThesaurus(m);
        rapport = DR_thesaurus::construireRapport(t, QDate::currentDate());
    } else {
        return usage();
    }
    if (sortie.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) {
        QtApercuRapport apercu;
        apercu.resize(900, 1000);
        apercu.show();
        apercu.setRapport(rapport);
        QCoreApplication::processEvents();
        if (!apercu.grab().save(sortie)) {
            std::fprintf(stderr, "L'image « %s » n'a pas pu être écrite.\n",
                         qUtf8Printable(sortie));
            return 1;
        }
        std::printf("Aperçu dessiné dans %s\n", qUtf8Printable(sortie));
        return 0;
    }
    QString erreur;
    if (!rapport->enregistrerPdf(sortie, &erreur)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(erreur));
        return 1;
    }
    std::printf("%d page(s) écrite(s) dans %s\n", rapport->nombrePages(), qUtf8Printable(sortie));
    return 0;
}
