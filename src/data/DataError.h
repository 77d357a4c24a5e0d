#pragma once
// The error raised by the data layer: a number, a source and a description
// in French, shown as they are by the repositories under the title "ERREUR".

#include <QString>
#include <stdexcept>

class DataError : public std::runtime_error {
public:
    DataError(int numero, QString source, QString description)
        : std::runtime_error(description.toStdString()), m_numero(numero),
          m_source(std::move(source)), m_description(std::move(description)) {}

    int numero() const { return m_numero; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }

    // Errors of the data layer itself.
    static constexpr int ConnexionEchouee = 4000;
    static constexpr int RecordsetEchoue = 4001;
    // A field asked of a recordset that has no such field, or at its end.
    static constexpr int ChampIntrouvable = 3265;
    static constexpr int PasDeLigneCourante = 3021;
    // Failures of a database server (their low byte is no SQLite code).
    static constexpr int AdresseInvalide = 7001;    // the URI cannot be read
    static constexpr int ServeurInjoignable = 7002; // no answer, unknown host
    static constexpr int AccesRefuse = 7003;        // account, password, database
    static constexpr int ConnexionPerdue = 7004;    // the server went away
    static constexpr int SchemaAbsent = 7005;       // no Tarvenor tables there
    static constexpr int ErreurServeur = 7006;      // any other refusal
    static constexpr int ServeurOccupe = 7007;      // a lock held past the wait

private:
    int m_numero;
    QString m_source;
    QString m_description;
};
