#include "d_aide.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

d_aide::d_aide(const QString& titre, const QString& html, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_aide"));
    setWindowTitle(titre);
    t_aide = new QTextBrowser(this);
    t_aide->setObjectName(QStringLiteral("t_aide"));
    t_aide->setOpenExternalLinks(false);
    t_aide->setHtml(html);
    auto* boutons = new QDialogButtonBox(this);
    QPushButton* fermer =
        boutons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    fermer->setObjectName(QStringLiteral("b_fermer"));
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(t_aide, 1);
    principal->addWidget(boutons);
    resize(620, 520);
}
