// Creates the first administrator account of a database that has none (one
// made by tarvenor_import, or an empty server database loaded by it):
//   tarvenor_admin --creer-admin IDENTIFIANT BASE
// The password is asked twice on the terminal without echo; when the
// standard input is not a terminal, it is read from its first two lines.
// The account is created by the administration use case, with the checks
// and the password storage of the user dialog. Exit status 0 when created,
// 1 when refused or failed (nothing written), 2 for a wrong command line.

#include "Administration.h"
#include "Data.h"
#include "LigneDeCommande.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// One line of the standard input; on a terminal, asked with `question` and
// not echoed. nullopt at the end of the input.
std::optional<QString> lireMotDePasse(const char* question) {
    const bool terminal = isatty(STDIN_FILENO);
    termios avant{};
    if (terminal) {
        std::fprintf(stderr, "%s", question);
        std::fflush(stderr);
        tcgetattr(STDIN_FILENO, &avant);
        termios sansEcho = avant;
        sansEcho.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &sansEcho);
    }
    std::string ligne;
    const bool lu = bool(std::getline(std::cin, ligne));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &avant);
        std::fprintf(stderr, "\n");
    }
    if (!lu)
        return std::nullopt;
    return QString::fromLocal8Bit(ligne.data(), qsizetype(ligne.size()));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    LigneDeCommande ligne(QStringLiteral("tarvenor_admin"),
                          QStringLiteral("Crée le premier compte administrateur (groupe ADMIN) "
                                         "d'une base Tarvenor qui n'en a pas.\nLe mot de passe "
                                         "est demandé deux fois."));
    ligne.ajouterArgument(QStringLiteral("BASE"),
                          QStringLiteral("base Tarvenor (fichier existant, ou "
                                         "postgresql://compte@serveur:port/base)"));
    ligne.ajouterOption({QStringLiteral("creer-admin")},
                        QStringLiteral("identifiant du compte administrateur à créer"),
                        QStringLiteral("IDENTIFIANT"));
    if (const auto statut = ligne.analyser(app.arguments()))
        return *statut;
    if (!ligne.estDonnee(QStringLiteral("creer-admin")))
        return ligne.refuser(QStringLiteral("l'option --creer-admin IDENTIFIANT manque."));
    const QString base = ligne.arguments().at(0);
    if (!estAdresseServeur(base) && !QFileInfo(base).isFile()) {
        std::fprintf(stderr, "Erreur : la base « %s » n'existe pas.\n", qUtf8Printable(base));
        return 1;
    }
    cheminBase = base;

    const std::optional<QString> motDePasse = lireMotDePasse("Mot de passe : ");
    const std::optional<QString> confirmation =
        motDePasse ? lireMotDePasse("Mot de passe (confirmation) : ") : std::nullopt;
    if (!confirmation) {
        std::fprintf(stderr, "Erreur : le mot de passe n'a pas été donné deux fois.\n");
        return 1;
    }
    if (*motDePasse != *confirmation) {
        std::fprintf(stderr, "Erreur : les deux mots de passe diffèrent. Vérifiez l'orthographe "
                             "du mot de passe.\n");
        return 1;
    }
    const QString identifiant = ligne.valeur(QStringLiteral("creer-admin"));
    const ResultatAdministration r =
        administration::creerPremierAdministrateur(identifiant, *motDePasse);
    Data::fermerConnexions();
    if (!r.fait()) {
        // A failure of the database has already been printed.
        if (!r.message.isEmpty())
            std::fprintf(stderr, "Erreur : %s\n", qUtf8Printable(r.message));
        std::fprintf(stderr, "Aucun compte n'a été créé dans « %s ».\n",
                     qUtf8Printable(nomAffichableBase(base)));
        return 1;
    }
    std::printf("Compte administrateur « %s » créé dans « %s ».\n",
                qUtf8Printable(administration::saisieNormalisee(identifiant)),
                qUtf8Printable(nomAffichableBase(base)));
    return 0;
}
