#pragma once
// The program's help window: one HTML page of its resources.

#include <QDialog>

class QTextBrowser;

class d_aide : public QDialog {
    Q_OBJECT
public:
    d_aide(const QString& titre, const QString& html, QWidget* parent = nullptr);
    QTextBrowser* t_aide;
};
