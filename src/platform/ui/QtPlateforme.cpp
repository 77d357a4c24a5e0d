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
#include <QHash>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTranslator>

namespace {
// The words of Qt's file chooser that Qt's French translation leaves out.
// Asked first; any other text goes on to Qt's own translation.
class TraductionsManquantes : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* contexte, const char* texte, const char* /*precision*/,
                      int /*n*/) const override {
        static const QHash<QByteArray, QString> fichiers = {
            {"Folder", QStringLiteral("Dossier")},     {"File Folder", QStringLiteral("Dossier")},
            {"File", QStringLiteral("Fichier")},       {"Drive", QStringLiteral("Lecteur")},
            {"Shortcut", QStringLiteral("Raccourci")}, {"Alias", QStringLiteral("Alias")},
            {"Unknown", QStringLiteral("Inconnu")},
        };
        if (qstrcmp(contexte, "QAbstractFileIconProvider") == 0 ||
            qstrcmp(contexte, "QFileIconProvider") == 0)
            return fichiers.value(QByteArray(texte));
        return {};
    }
    bool isEmpty() const override { return false; }
};
} // namespace

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
    // Installed last, asked first.
    QCoreApplication::installTranslator(new TraductionsManquantes(qApp));
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
