#pragma once
// Details panel: everything the classification says about one act, one topic
// (tab) at a time, for the activity and phase chosen in the two combos. The
// panel is given an act code and reads what it needs; every change re-reads
// the act's row for the chosen activity and phase and builds the text once.

#include "Recordset.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QButtonGroup;
class QToolButton;

// A tab strip whose tabs go on several rows when the panel is too narrow for
// one, so that every topic's title stays readable in a side panel.
class OngletsMultiLignes : public QWidget {
    Q_OBJECT
public:
    explicit OngletsMultiLignes(QWidget* parent = nullptr);
    void addTab(const QString& texte);
    int count() const;
    QString tabText(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int largeur) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the tabs in rows for the width; returns the height used.
    int disposer(int largeur, bool placer) const;

    QList<QToolButton*> m_onglets;
    QButtonGroup* m_groupe;
};

class ctr_Details : public QWidget {
    Q_OBJECT
public:
    explicit ctr_Details(QWidget* parent = nullptr);

    // Shows the act of that code, on its first activity and phase; an empty
    // or unknown code clears the panel.
    void majDetails(const QString& a_code);
    // The code of the act shown (empty when the panel is cleared).
    const QString& acteAffiche() const { return m_code; }

    // Handlers of the two combos and of the tab strip.
    void activiteChoisie(int index);
    void phaseChoisie(int index);
    void ongletChoisi(int index);

    // State, readable by the hosting windows and tests.
    const QString& activiteCourante() const { return m_activite; }
    const QString& phaseCourante() const { return m_phase; }
    qint16 ongletCourant() const { return m_onglet; }

    QGroupBox* f_phasesActivites = nullptr;
    QComboBox* c_activites = nullptr;
    QComboBox* c_phases = nullptr;
    QLabel* l_acteClassant = nullptr;
    OngletsMultiLignes* TS_details = nullptr;
    QPlainTextEdit* t_details = nullptr;

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    // Reads the act's row for the chosen activity and phase and shows the
    // text of the chosen tab; returns that row.
    RecordsetPtr rafraichirDetails();
    // Puts the text of the chosen tab in the box, laid out for its width.
    void montrerTexte();
    void vider();

    QString m_code;
    RecordsetPtr m_activites;
    RecordsetPtr m_phases;
    QString m_activite;
    QString m_phase;
    qint16 m_onglet = 0;
    QString m_texte; // the chosen tab's text, as built
    int m_largeurAlignee = -1;
};
