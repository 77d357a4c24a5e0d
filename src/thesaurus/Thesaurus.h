#pragma once
// The data of the thesaurus report: three levels held in memory, in the order
// they are printed.
//   categories: numCat (CT_CODE), Categorie (label), Actes
//   acts:       codeActe, numCat, idActe, LibActe, Phases
//   lines:      Phase, idActe
// An act row belongs to its category (same numCat) and a line to its act (same
// idActe: the category code followed by the act code, so that one act code
// standing in two categories keeps its own lines in each). The lines under an
// act are its phases, then, for a doctor, the complementary acts his activity
// allows. Categories without acts are left out.

#include <QList>
#include <QString>

class Medecin;

struct LignePhaseThesaurus {
    QString Phase;
    QString idActe;
};

struct LigneActeThesaurus {
    QString codeActe;
    qlonglong numCat = 0;
    QString idActe;
    QString LibActe;
    QList<LignePhaseThesaurus> Phases;
};

struct LigneCategorieThesaurus {
    qlonglong numCat = 0;
    QString Categorie;
    QList<LigneActeThesaurus> Actes;
};

class Thesaurus {
public:
    // The report rows (empty before a fill and after detruireThesaurus).
    const QList<LigneCategorieThesaurus>& getThesaurus() const { return m_lignes; }
    void setThesaurus(QList<LigneCategorieThesaurus> lignes) { m_lignes = std::move(lignes); }

    QString Medecin; // title: the doctor's name, or the unit as "code - label"
    QString UM;      // the doctor's unit as "code - label"; empty for a unit

    // Appends the thesaurus of a filled doctor (phases, then complementary
    // acts of the doctor's activity under each act).
    void remplirThesaurus(const ::Medecin& a_med);
    // Appends the thesaurus of a unit given as "code - label" (phases only).
    void remplirThesaurusUM(const QString& a_UM);

    // Writes a thesaurus to a text file: the exchange layout for the extension
    // "txt", the listing otherwise. False (after a message) when the file
    // cannot be written.
    bool exporterUM(const QString& a_UM, const QString& chemin) const;
    bool exporterMED(const ::Medecin& a_med, const QString& chemin) const;

    // Drops the rows.
    void detruireThesaurus() { m_lignes.clear(); }

private:
    QList<LigneCategorieThesaurus> m_lignes;
};
