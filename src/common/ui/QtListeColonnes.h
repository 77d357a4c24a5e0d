#pragma once
// A report-style list whose columns share its width in fixed proportions,
// whose long texts wrap inside their column, and whose rows may carry a
// tick box. Ticks made by the user are announced by coche(); ticks set by
// the program are not.

#include <QTreeWidget>
#include <QVector>

class ListeColonnes : public QTreeWidget {
    Q_OBJECT
public:
    // titres: the column headings; parts: each column's share of the width
    // (tenths, as 2, 6.5, 1.4).
    ListeColonnes(const QStringList& titres, const QVector<double>& parts, bool cases,
                  QWidget* parent = nullptr);

    // Adds a row (ticked or not when the list has tick boxes).
    QTreeWidgetItem* ajouterLigne(const QStringList& textes, bool coche = false);
    bool estCochee(int ligne) const;
    // Sets the tick without announcing it.
    void setCochee(int ligne, bool coche);

    QSize sizeHint() const override;
    // The height that shows every row whole at the present column widths.
    int hauteurLignes() const;

signals:
    // The user ticked or unticked a row.
    void coche(int ligne, bool cochee);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void dimensionner();
    QVector<double> m_parts;
    bool m_cases;
    bool m_silence = false;
    bool m_dimensionnementPrevu = false;
};
