#include "Recordset.h"

#include "DataError.h"

void Recordset::ajouterChamp(const QString& nom, Genre genre) {
    const qsizetype avant = m_noms.size();
    m_noms.push_back(nom);
    m_genres.push_back(genre);
    // A field added after rows: each row gets its NULL value.
    for (int ligne = m_lignes; ligne > 0; --ligne)
        m_valeurs.insert(ligne * avant, QVariant());
}

void Recordset::ajouterLigne(QVector<QVariant> valeurs) {
    QVariant* ligne = ajouterLigneVide();
    const qsizetype n = qMin(valeurs.size(), m_noms.size());
    for (qsizetype i = 0; i < n; ++i)
        ligne[i] = std::move(valeurs[i]);
}

QVariant* Recordset::ajouterLigneVide() {
    const qsizetype debut = m_valeurs.size();
    m_valeurs.resize(debut + m_noms.size());
    ++m_lignes;
    return m_valeurs.data() + debut;
}

void Recordset::MoveNext() {
    if (m_position < m_lignes)
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
    if (p > m_lignes)
        p = m_lignes;
    m_position = static_cast<int>(p);
}

int Recordset::AbsolutePosition() const {
    return (m_position >= 0 && m_position < m_lignes) ? m_position + 1 : -1;
}

void Recordset::setAbsolutePosition(int position) {
    if (position >= 1 && position <= m_lignes)
        m_position = position - 1;
}

int Recordset::indexChamp(const QString& nom) const {
    for (int i = 0; i < m_noms.size(); ++i)
        if (m_noms[i].compare(nom, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const QVariant& Recordset::valeurLigne(int ligne, int index) const {
    if (ligne < 0 || ligne >= m_lignes)
        throw DataError(DataError::PasDeLigneCourante, QStringLiteral("Recordset"),
                        QStringLiteral("Aucun enregistrement courant."));
    if (index < 0 || index >= m_noms.size())
        throw DataError(DataError::ChampIntrouvable, QStringLiteral("Recordset"),
                        QStringLiteral("Le champ n° %1 n'existe pas.").arg(index));
    return m_valeurs[qsizetype(ligne) * m_noms.size() + index];
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
