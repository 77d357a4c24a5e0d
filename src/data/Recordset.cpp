#include "Recordset.h"

#include "DataError.h"

void Recordset::ajouterChamp(const QString& nom, Genre genre) {
    m_noms.push_back(nom);
    m_genres.push_back(genre);
}

void Recordset::ajouterLigne(QVector<QVariant> valeurs) {
    valeurs.resize(m_noms.size());
    m_lignes.push_back(std::move(valeurs));
}

void Recordset::MoveNext() {
    if (m_position < m_lignes.size())
        ++m_position;
}

void Recordset::MovePrevious() {
    if (m_position >= 0)
        --m_position;
}

void Recordset::Move(int n) {
    long long p = static_cast<long long>(m_position) + n;
    if (p < -1)
        p = -1;
    if (p > m_lignes.size())
        p = m_lignes.size();
    m_position = static_cast<int>(p);
}

int Recordset::AbsolutePosition() const {
    return (m_position >= 0 && m_position < m_lignes.size()) ? m_position + 1 : -1;
}

void Recordset::setAbsolutePosition(int position) {
    if (position >= 1 && position <= m_lignes.size())
        m_position = position - 1;
}

int Recordset::indexChamp(const QString& nom) const {
    for (int i = 0; i < m_noms.size(); ++i)
        if (m_noms[i].compare(nom, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const QVariant& Recordset::valeurLigne(int ligne, int index) const {
    if (ligne < 0 || ligne >= m_lignes.size())
        throw DataError(DataError::PasDeLigneCourante, QStringLiteral("Recordset"),
                        QStringLiteral("Aucun enregistrement courant."));
    if (index < 0 || index >= m_noms.size())
        throw DataError(DataError::ChampIntrouvable, QStringLiteral("Recordset"),
                        QStringLiteral("Le champ n° %1 n'existe pas.").arg(index));
    return m_lignes[ligne][index];
}

const QVariant& Recordset::Fields(int index) const {
    return valeurLigne(m_position, index);
}

const QVariant& Recordset::Fields(const QString& nom) const {
    int i = indexChamp(nom);
    if (i < 0)
        throw DataError(DataError::ChampIntrouvable, QStringLiteral("Recordset"),
                        QStringLiteral("Le champ « %1 » n'existe pas.").arg(nom));
    return valeurLigne(m_position, i);
}
