#include "QtPlateforme.h"

#include "FenetresModales.h"
#include "MotDePasse.h"
#include "QtChoixFichier.h"
#include "QtCurseur.h"
#include "QtImprimantes.h"
#include "QtMessages.h"
#include "f_Wait.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTranslator>

bool installerFrancais() {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    static QTranslator* traducteur = nullptr;
    if (traducteur)
        return true;
    auto* t = new QTranslator(qApp);
    if (!t->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    traducteur = t;
    return true;
}

void installerPlateformeQt() {
    static QtMessages messages;
    static QtChoixFichier choix;
    static QtCurseur curseur;
    static QtImprimantes imprimantes;
    installerMessages(&messages);
    installerDemandeMotDePasse([](const QString& question) -> std::optional<QString> {
        bool ok = false;
        const QString mot =
            QInputDialog::getText(QApplication::activeWindow(), QStringLiteral("Mot de passe"),
                                  question, QLineEdit::Password, QString(), &ok);
        return ok ? std::optional<QString>(mot) : std::nullopt;
    });
    installerChoixFichier(&choix);
    installerCurseur(&curseur);
    installerImprimantes(&imprimantes);
    installerProgression(f_Wait::instance());
    installerExecuteurModal([](QObject* o) {
        auto* d = qobject_cast<QDialog*>(o);
        if (!d)
            return 0;
        CurseurSuspendu attenteUtilisateur;
        return d->exec();
    });
    installerFrancais();
}
