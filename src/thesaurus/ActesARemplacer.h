#pragma once
// The thesaurus acts that the loaded CCAM version lacks, with up to three
// acts of that version proposed in their place, and the commands that
// replace or remove one of them.
//
// A new version retires acts that doctors and units keep in their thesauri.
// The list names each such act with its owner, its category and its last
// label (recorded by the load that retired it), and proposes the acts of
// the loaded version whose labels share the most telling words with it,
// those of the same organ and the same chapter first among equals.

#include "Resultat.h"

#include <QList>
#include <QString>
#include <memory>

struct PropositionRemplacement {
    QString code;
    QString libelle;
    double score = 0; // label likeness, 0 to about 1.5
};

struct ActeARemplacer {
    int typeProprietaire = 0;    // 1 unit, 2 doctor (CT_TYPE)
    QString proprietaire;        // unit or doctor code (CT_LIEN)
    QString libelleProprietaire; // "code - label" of the unit or the doctor
    long categorie = 0;
    QString libelleCategorie;
    QString code;      // the retired act
    QString libelle;   // its last label; empty when no load recorded it
    QString version;   // the version that retired it; empty when not known
    QString positionH; // its last chapter
    QList<PropositionRemplacement> propositions;
};

// Ranks the acts of the loaded classification by likeness to a retired
// act's label: the words of the label (search form, plural "s" dropped, words
// of one or two letters and a few tool words left out), each weighted by how
// rare it is among the labels; the share of the label's weight that a
// candidate holds, plus a little for the same organ (two first letters of
// the code) and the same chapter. Built once from the database in use.
class ProposeurRemplacements {
public:
    ProposeurRemplacements();
    ~ProposeurRemplacements();
    ProposeurRemplacements(const ProposeurRemplacements&) = delete;
    ProposeurRemplacements& operator=(const ProposeurRemplacements&) = delete;

    // Up to n acts, best first; none without a shared word.
    QList<PropositionRemplacement> proposer(const QString& libelle, const QString& code,
                                            const QString& positionH, int n = 3) const;
    int nombreActes() const;

private:
    struct Index;
    std::unique_ptr<Index> m_index;
};

// The acts to replace of one owner (type 1 unit or 2 doctor, with its code),
// or of every unit and doctor (type 0), in owner, category and code order,
// one per act and category, each with its proposals.
QList<ActeARemplacer> actesARemplacer(int typeProprietaire, const QString& proprietaire);

// Replaces a retired act by an act of the loaded version in one category,
// in one transaction: every row of the old code goes, the new code comes
// with the old activities it has (none when it has none of them), unless it
// is already in the category. Refused with a message when the category was
// deleted meanwhile or the new code is not in the loaded version.
Resultat remplacerActeRetire(const ActeARemplacer& acte, const QString& nouveau);
// Removes every row of the retired act from its category, in one
// transaction; refused likewise when the category was deleted meanwhile.
Resultat retirerActeRetire(const ActeARemplacer& acte);

// The questions asked before, naming both codes (Yes/No, "Non" by default).
QString questionRemplacement(const ActeARemplacer& acte, const PropositionRemplacement& nouveau);
QString questionRetrait(const ActeARemplacer& acte);

// The list as a text file, one line per act: owner, category, code, label,
// retirement, then the proposals; written by the rules of thesaurus files.
// False after a message when the file cannot be written.
bool exporterActesARemplacer(const QList<ActeARemplacer>& actes, const QString& chemin);
