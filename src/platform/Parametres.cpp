#include "Parametres.h"

#include <QFile>
#include <QSettings>
#include <memory>

namespace {
QString& fichierRedirige() {
    static QString f;
    return f;
}

std::unique_ptr<QSettings> ouvrir() {
    if (!fichierRedirige().isEmpty())
        return std::make_unique<QSettings>(fichierRedirige(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Tarvenor"), QStringLiteral("Tarvenor"));
}

QString chemin(Parametres::Cle cle) {
    return QString::fromLatin1(cle.section) + QLatin1Char('/') + QString::fromLatin1(cle.nom);
}
} // namespace

namespace Parametres {

QString lire(Cle cle, const QString& defaut) {
    return ouvrir()->value(chemin(cle), defaut).toString();
}

void ecrire(Cle cle, const QString& valeur) {
    auto s = ouvrir();
    s->setValue(chemin(cle), valeur);
    s->sync();
    // The file names the database and the user: for its owner only.
    QFile::setPermissions(s->fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

void redirigerVers(const QString& fichierIni) {
    fichierRedirige() = fichierIni;
}

} // namespace Parametres
