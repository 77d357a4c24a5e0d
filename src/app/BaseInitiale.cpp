#include "BaseInitiale.h"

#include "BaseDemonstration.h"
#include "Data.h"
#include "DataError.h"
#include "Messages.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Keeps the messages of a check for the caller instead of showing them.
class MessagesRetenus : public IMessages {
public:
    MessagesRetenus() : m_precedent(messagesInstalles()) { installerMessages(this); }
    ~MessagesRetenus() override { installerMessages(m_precedent); }
    MessagesRetenus(const MessagesRetenus&) = delete;
    MessagesRetenus& operator=(const MessagesRetenus&) = delete;
    Reponse afficher(const QString& texte, const QString&, Icone, Boutons) override {
        m_textes << texte;
        return Reponse::Ok;
    }
    QString texte() const { return m_textes.join(QStringLiteral("\n")); }

private:
    IMessages* m_precedent;
    QStringList m_textes;
};

bool dossierInscriptible(const QString& dossier) {
    const QFileInfo f(dossier);
    return f.isDir() && f.isWritable();
}

} // namespace

BaseInitiale cheminBaseInitial(const QString& cheminDefaut, const QString& cheminMemorise,
                               const QString& dossierDonnees) {
    BaseInitiale r{cheminDefaut, false, {}};
    if (!cheminMemorise.isEmpty() || QFileInfo::exists(cheminDefaut) ||
        dossierInscriptible(QFileInfo(cheminDefaut).absolutePath()))
        return r;

    const QString chemin = QDir(dossierDonnees).filePath(QString::fromLatin1(nomBaseUtilisateur));
    if (QFileInfo::exists(chemin)) {
        QString refus;
        {
            MessagesRetenus retenus;
            if (!Data(chemin).ConnexionCorrecte())
                refus = retenus.texte();
        }
        r.chemin = chemin;
        if (!refus.isEmpty())
            r.message = QStringLiteral("La base de démonstration n'a pas été créée : le fichier "
                                       "« %1 » existe déjà et n'a pas été remplacé.\n%2\n"
                                       "Choisissez une base de données à la connexion.")
                            .arg(QDir::toNativeSeparators(chemin), refus);
        return r;
    }
    try {
        if (!QDir().mkpath(dossierDonnees))
            throw DataError(DataError::ConnexionEchouee, QStringLiteral("Data"),
                            QStringLiteral("Le dossier « %1 » ne peut pas être créé.")
                                .arg(QDir::toNativeSeparators(dossierDonnees)));
        creerBaseDemonstration(chemin);
    } catch (const DataError& e) {
        r.message =
            QStringLiteral("La base de démonstration n'a pas pu être créée dans « %1 ».\n%2")
                .arg(QDir::toNativeSeparators(dossierDonnees), e.description());
        return r;
    }
    r.chemin = chemin;
    r.demonstrationCreee = true;
    return r;
}
