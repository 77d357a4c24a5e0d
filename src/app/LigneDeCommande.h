#pragma once
// The command line of the program and of every tool, read by
// QCommandLineParser: -h/--help prints the help on the standard output and
// ends with status 0, -v/--version prints the version the same way; an
// unknown option, a missing or an extra argument print a French message and
// the usage on the error output and end with status 2. An argument that
// starts with "-" is always an option (after "--", a plain argument): it is
// never taken as a file name. Options are words after one dash or two
// ("-platform" is one option, as Qt reads it). Needs no application object:
// the program reads its line before it opens a window.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// The version of the program and of its tools ("1.0.0").
QString versionTarvenor();

class LigneDeCommande {
public:
    // `programme` is the name shown in the usage; `description` its first
    // help line(s).
    LigneDeCommande(QString programme, QString description);

    // A plain argument, in order; `facultatif` ones come last.
    void ajouterArgument(const QString& nom, const QString& description, bool facultatif = false);
    // An option; with a `valeur` name it takes a value. A hidden one is
    // accepted but not listed in the help.
    void ajouterOption(const QStringList& noms, const QString& description,
                       const QString& valeur = {}, bool cachee = false);
    // Usage lines that replace the one built from the arguments, and the
    // number of plain arguments then allowed (the tool checks the rest).
    void remplacerUsage(const QStringList& lignes, int minimum, int maximum);
    // Text printed at the end of the help (examples, files).
    void setEpilogue(const QString& texte) { m_epilogue = texte; }

    // Reads the arguments (the program's path first). nullopt when the
    // program goes on; otherwise help, version or refusal has been printed
    // and the value is the exit status.
    std::optional<int> analyser(const QStringList& arguments);

    bool estDonnee(const QString& option) const { return m_parseur.isSet(option); }
    QString valeur(const QString& option) const { return m_parseur.value(option); }
    // The plain arguments.
    QStringList arguments() const { return m_parseur.positionalArguments(); }

    QString aide() const;
    // Refuses the command line with this message (status 2), usage after it.
    int refuser(const QString& message) const;

private:
    struct Argument {
        QString nom, description;
        bool facultatif;
    };
    struct Option {
        QStringList noms;
        QString description, valeur;
        bool cachee;
    };
    QString usage() const;

    QString m_programme;
    QString m_description;
    QString m_epilogue;
    QList<Argument> m_arguments;
    QList<Option> m_options;
    QStringList m_usage;
    int m_minimum = 0, m_maximum = 0;
    bool m_usageRemplace = false;
    QCommandLineParser m_parseur;
};

// The arguments of main() as text (decoded as the system's file names).
QStringList argumentsDe(int argc, char* argv[]);
