#include "d_notesUtilisation.h"

#include "FenetresModales.h"
#include "Globals.h"
#include "adCCAM.h"

#include "DetailsActe.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

d_notesUtilisation::d_notesUtilisation(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("d_notesUtilisation"));
    setWindowTitle(QStringLiteral("Notes d'utilisation"));
    f_notes = new QGroupBox(QStringLiteral("Notes d'utilisation"), this);
    t_notes = new QPlainTextEdit(f_notes);
    t_notes->setObjectName(QStringLiteral("t_notes"));
    t_notes->setReadOnly(true);
    (new QVBoxLayout(f_notes))->addWidget(t_notes);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    auto* boutons = new QDialogButtonBox(this);
    boutons->addButton(OKButton, QDialogButtonBox::AcceptRole);
    auto* disposition = new QVBoxLayout(this);
    disposition->addWidget(f_notes, 1);
    disposition->addWidget(boutons);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(560, 360);
}

QString d_notesUtilisation::texteNotes(const QString& a_hier) {
    RecordsetPtr notes = accesCCAM.getNotesUtilisationHier(a_hier);
    if (!notes)
        return QString();
    if (notes->RecordCount() == 0)
        return QStringLiteral("Aucune note d'utilisation");
    QString texte;
    for (int i = 0; i < notes->RecordCount(); ++i)
        texte += QStringLiteral("* ") + formaterNote(notes->valeurLigne(i, 0).toString()) +
                 QStringLiteral("\r\n");
    return texte;
}

void d_notesUtilisation::afficher(const QString& a_hier) {
    t_notes->setPlainText(texteNotes(a_hier).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    executerModal(this);
}
