#pragma once
// A disconnected, fully loaded result: every row of a query copied into
// memory, readable and movable after its connection is gone. Fields are read
// by position or by name without regard to case (first match wins). Each value
// keeps the kind of its declared column: qlonglong (integer), double (real),
// QDate (date), QString (text); NULL is a null QVariant.

#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

class Recordset {
public:
    enum class Genre { Entier, Reel, Date, Texte };

    // Building (by the data layer, or in memory for reports).
    void ajouterChamp(const QString& nom, Genre genre = Genre::Texte);
    void ajouterLigne(QVector<QVariant> valeurs);
    // Appends a row of NULL values, one per field, and returns the first of
    // them, to be filled in place (valid until the next row is added).
    QVariant* ajouterLigneVide();

    // Position, as a client-side cursor: starts on the first row, or at
    // the end when there is none (an empty result is at both ends).
    bool isEOF() const { return m_position >= m_lignes || m_lignes == 0; }
    bool isBOF() const { return m_position < 0 || m_lignes == 0; }
    void MoveFirst() { m_position = 0; }
    void MoveLast() { m_position = m_lignes - 1; }
    void MoveNext();
    void MovePrevious();
    // Moves n rows from the current one (negative: backwards), clamped to BOF/EOF.
    void Move(int n);
    int RecordCount() const { return m_lignes; }
    // 1-based position of the current row; -1 at BOF or EOF.
    int AbsolutePosition() const;
    void setAbsolutePosition(int position);

    int FieldCount() const { return m_noms.size(); }
    QString FieldName(int index) const { return m_noms.value(index); }
    Genre FieldGenre(int index) const { return m_genres.value(index); }
    // Index of a field by name, without regard to case; -1 when absent.
    int indexChamp(const QString& nom) const;

    // Value of the current row. Throws DataError when there is no current
    // row or no such field, as the program's callers expect.
    const QVariant& Fields(int index) const;
    const QVariant& Fields(const QString& nom) const;
    // Value of any row, without moving.
    const QVariant& valeurLigne(int ligne, int index) const;

private:
    QVector<QString> m_noms;
    QVector<Genre> m_genres;
    // The values row after row, FieldCount() per row: one block for the
    // whole result rather than one per row.
    QVector<QVariant> m_valeurs;
    int m_lignes = 0;
    int m_position = 0;
};

using RecordsetPtr = std::shared_ptr<Recordset>;
