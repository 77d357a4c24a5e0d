#pragma once
// "Actes à remplacer": the thesaurus acts the loaded CCAM version lacks, for
// the DIM (every unit and doctor, or one of them) or for a doctor (his own
// thesaurus), each with up to three acts of the loaded version proposed in
// its place. One command replaces the act by the chosen proposal in its
// category, or removes it, after a question naming both codes; the list can
// be exported to a text file.

#include "ActesARemplacer.h"

#include <QDialog>
#include <QList>
#include <QPair>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

class d_actesARemplacer : public QDialog {
    Q_OBJECT
public:
    // A choice of thesaurus: type 0 (every unit and doctor), 1 unit, 2
    // doctor, with the owner's code and the text shown.
    struct Portee {
        int type = 0;
        QString code;
        QString texte;
    };

    // For the DIM: every unit and doctor first, then each unit and doctor.
    static QList<Portee> porteesDIM();

    d_actesARemplacer(const QList<Portee>& portees, QWidget* parent = nullptr);

    QComboBox* C_portee = nullptr;
    QTreeWidget* LV_Actes = nullptr;
    QLabel* l_etat = nullptr;
    QListWidget* l_propositions = nullptr;
    QPushButton* b_remplacer = nullptr;
    QPushButton* b_supprimer = nullptr;
    QPushButton* b_exporter = nullptr;
    QPushButton* b_fermer = nullptr;

    const QList<ActeARemplacer>& actes() const { return m_actes; }

signals:
    // A thesaurus was changed: the windows that show it draw it again.
    void thesaurusModifie();

public slots:
    void remplir();
    void remplacer();
    void supprimer();
    void exporter();

private:
    void acteChoisi();
    const ActeARemplacer* acteCourant() const;

    QList<Portee> m_portees;
    QList<ActeARemplacer> m_actes;
};
