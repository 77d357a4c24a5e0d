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

private:
    int m_numero;
    QString m_source;
    QString m_description;
};
