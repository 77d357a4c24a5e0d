#pragma once
// The about box: application title and version, the versions of Qt and
// SQLite in use, the version of the classification loaded (l_ccam, empty
// for now), the licence, and a button for the system information tool (none
// on this platform: a message says so).

#include <QDialog>

class QLabel;
class QPushButton;

class d_apropos : public QDialog {
    Q_OBJECT
public:
    explicit d_apropos(QWidget* parent = nullptr);

    static constexpr int versionMajeure = 1;
    static constexpr int versionMineure = 0;
    static constexpr int versionRevision = 0;

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* l_bibliotheques;
    QLabel* l_ccam;
    QLabel* l_licence;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

public slots:
    void afficherInfosSysteme();
};
