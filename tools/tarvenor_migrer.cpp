// Copies a unit's database into another database (the hospital's shared one):
//   tarvenor_migrer SOURCE CIBLE
// Users, doctors, units, thesauri and (when the target has none) the
// classification, in one transaction on the target; prints the rows written
// per table. A login, doctor code or unit code the target already has stops
// the migration with their list, and nothing is written. The source is only
// read. A target file that does not exist is created from the schema, beside
// its path, and takes its name only once the migration is complete (a run
// killed meanwhile leaves that CIBLE.migration-XXXXXX file beside, never a
// partial CIBLE). On any fault the target is left as it was and the exit
// status is 1.

#include "Data.h"
#include "LigneDeCommande.h"
#include "MigrationBase.h"
#include "Progression.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>

namespace {

// The percentage done, on the error output, every tenth.
class ProgressionTexte : public IProgression {
public:
    void debut(const QString& titre, int maximum) override {
        m_maximum = maximum;
        m_fait = 0;
        m_dizaine = 0;
        std::fprintf(stderr, "%s…", qUtf8Printable(titre));
    }
    void avancer(int pas) override {
        m_fait += pas;
        const int dizaine = m_maximum > 0 ? m_fait * 10 / m_maximum : 10;
        if (dizaine > m_dizaine) {
            m_dizaine = dizaine;
            std::fprintf(stderr, " %d %%", dizaine * 10);
        }
    }
    void fin() override { std::fprintf(stderr, "\n"); }

private:
    int m_maximum = 0, m_fait = 0, m_dizaine = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    LigneDeCommande ligne(QStringLiteral("tarvenor_migrer"),
                          QStringLiteral("Copie la base d'une unité dans la base commune de "
                                         "l'hôpital."));
    ligne.ajouterArgument(QStringLiteral("SOURCE"),
                          QStringLiteral("base Tarvenor d'une unité (fichier), lue seulement"));
    ligne.ajouterArgument(QStringLiteral("CIBLE"),
                          QStringLiteral("base qui reçoit ses utilisateurs, médecins, unités et "
                                         "thésaurus\n(fichier créé s'il n'existe pas, ou adresse "
                                         "d'un serveur)"));
    if (const auto statut = ligne.analyser(app.arguments()))
        return *statut;
    const QStringList args = ligne.arguments();
    const QString& source = args.at(0);
    const QString& cible = args.at(1);
    if (!QFileInfo::exists(source)) {
        std::fprintf(stderr, "Erreur : la base source « %s » n'existe pas.\n",
                     qUtf8Printable(source));
        return 1;
    }

    // A new target file is built under a temporary name beside it.
    QString ecrite = cible;
    const bool nouvelle = !estAdresseServeur(cible) && !QFileInfo::exists(cible);
    if (nouvelle) {
        QTemporaryFile nom(
            QDir(QFileInfo(cible).absolutePath())
                .filePath(QFileInfo(cible).fileName() + QStringLiteral(".migration-XXXXXX")));
        if (!nom.open()) {
            std::fprintf(stderr, "Erreur : la base « %s » ne peut pas être créée : %s\n",
                         qUtf8Printable(cible), qUtf8Printable(nom.errorString()));
            return 1;
        }
        ecrite = nom.fileName();
        nom.close();
        nom.remove();
        try {
            Data::creerBase(ecrite);
        } catch (const DataError& e) {
            QFile::remove(ecrite);
            std::fprintf(stderr, "Erreur : la base « %s » ne peut pas être créée : %s\n",
                         qUtf8Printable(cible), qUtf8Printable(e.description()));
            return 1;
        }
    }

    ProgressionTexte progressionTexte;
    installerProgression(&progressionTexte);
    const ResultatMigration r = migrerBase(source, ecrite);
    installerProgression(nullptr);
    Data::fermerConnexions();

    if (nouvelle) {
        if (!r.resultat.estFait() || !QFile::rename(ecrite, cible)) {
            QFile::remove(ecrite);
            if (r.resultat.estFait()) {
                std::fprintf(stderr, "Erreur : la base « %s » n'a pas pu prendre son nom.\n",
                             qUtf8Printable(cible));
                return 1;
            }
        }
    }
    if (!r.resultat.estFait()) {
        QString message = r.resultat.message;
        if (nouvelle)
            message.replace(ecrite, cible);
        std::fprintf(stderr, "Erreur : %s\n", qUtf8Printable(message));
        return 1;
    }
    std::printf("%s", qUtf8Printable(r.texte()));
    std::printf("Migration de « %s » terminée dans « %s ».\n", qUtf8Printable(source),
                qUtf8Printable(cible));
    return 0;
}
