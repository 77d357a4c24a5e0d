#pragma once
// Reads a whole CSV file (RFC 4180: fields between double quotes may hold the
// separator, doubled quotes and line breaks) into memory, after checking that
// it is UTF-8 text. Line ends may be LF, CR LF or CR alone (all read as one
// line break, also inside quoted fields). Every record remembers the physical
// line it starts on, so that errors can name it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <exception>
#include <vector>

// A failure while reading or loading a file: a French message for the user
// that names the file and, when known, the line.
class ErreurImport : public std::exception {
public:
    explicit ErreurImport(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

struct EnregistrementCsv {
    int ligne = 0; // physical line (1-based) where the record starts
    QStringList champs;
};

class LecteurCsv {
public:
    // Parses the bytes of a file named nomFichier (used in messages). A UTF-8
    // byte order mark is skipped. Throws ErreurImport on bytes that are not
    // UTF-8 text (binary content, another encoding; UTF-16 with the advice to
    // save the file as "CSV UTF-8") and on a quoted field left open at the
    // end (a truncated file).
    static std::vector<EnregistrementCsv> analyser(const QByteArray& octets, char separateur,
                                                   const QString& nomFichier);
    // Reads the file then parses it. Throws ErreurImport when it cannot be read.
    static std::vector<EnregistrementCsv> lireFichier(const QString& chemin, char separateur);
};
