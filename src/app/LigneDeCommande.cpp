#include "LigneDeCommande.h"

#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace {

const QString optionAide = QStringLiteral("help");
const QString optionVersion = QStringLiteral("version");

// "-h" for a one-letter name, "--name" otherwise.
QString avecTirets(const QString& nom) {
    return (nom.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nom;
}

void ecrire(std::FILE* sortie, const QString& texte) {
    std::fputs(texte.toUtf8().constData(), sortie);
    std::fflush(sortie);
}

} // namespace

QString versionTarvenor() {
    return QStringLiteral(TARVENOR_VERSION);
}

LigneDeCommande::LigneDeCommande(QString programme, QString description)
    : m_programme(std::move(programme)), m_description(std::move(description)) {
    m_parseur.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    ajouterOption({QStringLiteral("h"), optionAide}, QStringLiteral("affiche cette aide"));
    ajouterOption({QStringLiteral("v"), optionVersion}, QStringLiteral("affiche la version"));
}

void LigneDeCommande::ajouterArgument(const QString& nom, const QString& description,
                                      bool facultatif) {
    m_arguments.append({nom, description, facultatif});
    if (!m_usageRemplace) {
        m_maximum = int(m_arguments.size());
        if (!facultatif)
            m_minimum = m_maximum;
    }
}

void LigneDeCommande::ajouterOption(const QStringList& noms, const QString& description,
                                    const QString& valeur, bool cachee) {
    QCommandLineOption option(noms, description, valeur);
    m_parseur.addOption(option);
    m_options.append({noms, description, valeur, cachee});
}

void LigneDeCommande::remplacerUsage(const QStringList& lignes, int minimum, int maximum) {
    m_usage = lignes;
    m_minimum = minimum;
    m_maximum = maximum;
    m_usageRemplace = true;
}

QString LigneDeCommande::usage() const {
    QStringList lignes = m_usage;
    if (lignes.isEmpty()) {
        QString ligne = QStringLiteral("[options]");
        for (const Argument& a : m_arguments)
            ligne += QLatin1Char(' ') +
                     (a.facultatif ? QLatin1Char('[') + a.nom + QLatin1Char(']') : a.nom);
        lignes << ligne;
    }
    QString texte;
    for (qsizetype i = 0; i < lignes.size(); ++i)
        texte += (i == 0 ? QStringLiteral("Usage : ") : QStringLiteral("        ")) + m_programme +
                 QLatin1Char(' ') + lignes.at(i) + QLatin1Char('\n');
    return texte;
}

QString LigneDeCommande::aide() const {
    // Two columns: the names, then the description, aligned.
    QList<QPair<QString, QString>> arguments, options;
    for (const Argument& a : m_arguments)
        arguments.append({a.nom, a.description});
    for (const Option& o : m_options) {
        if (o.cachee)
            continue;
        QStringList noms;
        for (const QString& n : o.noms)
            noms << avecTirets(n);
        QString gauche = noms.join(QStringLiteral(", "));
        if (!o.valeur.isEmpty())
            gauche += QLatin1Char(' ') + o.valeur;
        options.append({gauche, o.description});
    }
    qsizetype largeur = 0;
    for (const auto& l : arguments + options)
        largeur = qMax(largeur, l.first.size());
    const auto bloc = [largeur](const QString& titre, const QList<QPair<QString, QString>>& l) {
        if (l.isEmpty())
            return QString();
        QString texte = QLatin1Char('\n') + titre + QLatin1Char('\n');
        for (const auto& [gauche, droite] : l) {
            QString description = droite;
            description.replace(QLatin1Char('\n'),
                                QLatin1Char('\n') + QString(largeur + 4, QLatin1Char(' ')));
            texte += QStringLiteral("  ") + gauche.leftJustified(largeur) + QStringLiteral("  ") +
                     description + QLatin1Char('\n');
        }
        return texte;
    };
    QString texte = usage() + QLatin1Char('\n') + m_description + QLatin1Char('\n') +
                    bloc(QStringLiteral("Arguments :"), arguments) +
                    bloc(QStringLiteral("Options :"), options);
    if (!m_epilogue.isEmpty())
        texte += QLatin1Char('\n') + m_epilogue + QLatin1Char('\n');
    return texte;
}

int LigneDeCommande::refuser(const QString& message) const {
    ecrire(stderr, m_programme + QStringLiteral(" : ") + message + QLatin1Char('\n') + usage() +
                       QStringLiteral("Aide : ") + m_programme + QStringLiteral(" --help\n"));
    return 2;
}

std::optional<int> LigneDeCommande::analyser(const QStringList& arguments) {
    if (!m_parseur.parse(arguments)) {
        const QStringList inconnues = m_parseur.unknownOptionNames();
        if (!inconnues.isEmpty())
            return refuser(QStringLiteral("option inconnue : « %1 ».")
                               .arg(avecTirets(inconnues.constFirst())));
        // An option that takes a value given last, or a value given to one
        // that takes none (--help=x).
        QString derniere = arguments.isEmpty() ? QString() : arguments.constLast();
        derniere.remove(QRegularExpression(QStringLiteral("^--?")));
        for (const Option& o : m_options)
            for (const QString& n : o.noms) {
                if (!o.valeur.isEmpty() && derniere == n)
                    return refuser(QStringLiteral("l'option « %1 » attend une valeur (%2).")
                                       .arg(avecTirets(n), o.valeur));
                for (const QString& a : arguments)
                    if (o.valeur.isEmpty() && a.startsWith(avecTirets(n) + QLatin1Char('=')))
                        return refuser(QStringLiteral("l'option « %1 » ne prend pas de valeur.")
                                           .arg(avecTirets(n)));
            }
        return refuser(QStringLiteral("ligne de commande incorrecte."));
    }
    if (m_parseur.isSet(optionAide)) {
        ecrire(stdout, aide());
        return 0;
    }
    if (m_parseur.isSet(optionVersion)) {
        ecrire(stdout, QStringLiteral("%1 (Tarvenor) %2\n"
                                      "Licence GPL version 3 ou ultérieure "
                                      "<https://gnu.org/licenses/gpl.html>.\n")
                           .arg(m_programme, versionTarvenor()));
        return 0;
    }
    const QStringList positionnels = m_parseur.positionalArguments();
    if (positionnels.size() < m_minimum) {
        if (!m_usageRemplace && positionnels.size() < m_arguments.size())
            return refuser(QStringLiteral("argument manquant : %1.")
                               .arg(m_arguments.at(positionnels.size()).nom));
        return refuser(QStringLiteral("argument manquant."));
    }
    if (positionnels.size() > m_maximum)
        return refuser(
            QStringLiteral("argument en trop : « %1 ».").arg(positionnels.at(m_maximum)));
    return std::nullopt;
}

QStringList argumentsDe(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    return arguments;
}
