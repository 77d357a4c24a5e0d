#pragma once
// Search panel: acts found from keywords typed by the user, matched against
// the act codes (each word a prefix of the code) or the labels (each word
// somewhere in one of the two search forms of the label).
//
// The result list follows the text as it is typed: a short pause after the
// last keystroke runs the search once for the text then in the box, without
// any message box (no result, a busy database or a failure are said in the
// list itself). "Rechercher" and Enter run the search with its messages.

#include "ctr_ListeActes.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

class ctr_motCle : public ctr_ListeActes {
    Q_OBJECT
public:
    explicit ctr_motCle(QWidget* parent = nullptr);

    // The pause after the last keystroke before the list follows the text:
    // the keystrokes of a fast typist give one search.
    static constexpr int delaiFrappeMs = 120;
    // How soon a search refused by a busy database is tried again.
    static constexpr int delaiNouvelEssaiMs = 300;
    // A text with fewer letters and digits than this, or longer than the
    // limits below (a pasted paragraph), is searched by Enter only.
    static constexpr int lettresMinFrappe = 3;
    static constexpr int motsMaxFrappe = 12;
    static constexpr int longueurMaxFrappe = 200;

    // Runs the search on the typed keywords (button "Rechercher" or Enter).
    void rechercher();
    // Makes the list follow the text in the box now (what the pause after
    // the last keystroke runs).
    void suivreSaisie();

    // The correction offered for a label search that found nothing (empty:
    // none); RechercheMotCle::saisieCorrigee unless replaced.
    using FonctionCorrection = std::function<QString(const QString&)>;
    void setFonctionCorrection(FonctionCorrection correction);

    // Searches run for the typed text so far (one per pause in the typing).
    int recherchesSuivies() const { return m_recherchesSuivies; }
    QTimer* minuterieFrappe() const { return m_minuterie; }

    QLabel* Label1 = nullptr;
    QLineEdit* t_motCle = nullptr;
    QRadioButton* O_recherche[2] = {nullptr, nullptr}; // 0 "Code", 1 "Libellé"
    QPushButton* b_recherche = nullptr;
    // Shown over the empty list: no result, the correction offered, a busy
    // database, a text that cannot be searched while typed.
    QLabel* l_etatListe = nullptr;

protected:
    void premiereApparition() override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void saisieModifiee();
    // The text and the correction offered for it under the empty list.
    void direDansLaListe(const QString& texte);
    void direAucunResultat(const QString& saisie, bool parCode);
    void appliquerCorrection();
    // "Libellé" set and the text searched in the labels.
    void chercherDansLesLibelles();
    void placerEtat();

    QTimer* m_minuterie = nullptr;
    FonctionCorrection m_correction;
    QString m_saisieCorrigee;
    int m_recherchesSuivies = 0;
    // The text and option whose results the list shows, to skip searching
    // them again (a keystroke undone before the pause ended).
    QString m_saisieAffichee;
    bool m_parCodeAffiche = false;
};
