#pragma once
// "Dossier": the patient's identity for the acts of the basket, then the
// patient-file report previewed or printed. Nothing is stored. Closing asks
// whether to empty the basket.

#include "Dossier.h"
#include "QtChampsDossier.h"

#include <QDialog>

class Panier;
class QLabel;
class QLineEdit;
class QPushButton;

// The refusal of a date or time typed that cannot be read.
inline const QString messageDateIllisible =
    QStringLiteral("La date ou l'heure saisie ne peut pas être lue : tapez la date sous la "
                   "forme jj/mm/aaaa et l'heure sous la forme hh:mm.");

// The longest texts the boxes take: what the report's header prints whole.
constexpr int longueurMaxNom = 200;   // surname, first name
constexpr int longueurMaxNumero = 50; // stay number

class d_dossier : public QDialog {
    Q_OBJECT
public:
    explicit d_dossier(Panier& a_panier, QWidget* parent = nullptr);

    // Shows the dialog modally, centred on the screen.
    void afficher();
    // Builds a new Dossier from the boxes and the basket: 0 done, 1 no
    // surname, 2 no first name, 5 interrupted.
    qint16 preparerDossier();
    const Dossier& dossier() const { return m_dossier; }

    // Closing: the dialog closes, then the basket may be emptied.
    void reject() override;

    QLineEdit* t_nom;
    QLineEdit* t_prenom;
    QLineEdit* t_hospi;
    ChampDate* DT_date; // a QDateEdit reading the typed text whole
    ChampHeure* DT_heure;
    QPushButton* b_apercu;
    QPushButton* b_imprimer;
    QPushButton* b_fermer;

private:
    void apercuOuImpression(bool imprimer);

    Panier& m_panier;
    Dossier m_dossier;
};
