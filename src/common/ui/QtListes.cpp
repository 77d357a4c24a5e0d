#include "QtListes.h"

#include "AccesDonnees.h"
#include "Globals.h"
#include "ListeHelpers.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

namespace {
QStringList elementsUM() {
    QStringList elements;
    RecordsetPtr rs = accesDonnees.getListeUM();
    if (!rs)
        return elements;
    for (; !rs->isEOF(); rs->MoveNext())
        elements << codeEtLibelle(rs->Fields(QStringLiteral("UM_Code")).toString().trimmed(),
                                  rs->Fields(QStringLiteral("UM_LIB")).toString().trimmed());
    return elements;
}
} // namespace

void remplirListeUM(QComboBox* liste) {
    liste->clear();
    liste->addItems(elementsUM());
}

void remplirListeUM(QListWidget* liste) {
    liste->clear();
    liste->addItems(elementsUM());
}
