#include "QtImprimantes.h"

#include <QPrinterInfo>

QStringList QtImprimantes::imprimantes() {
    return QPrinterInfo::availablePrinterNames();
}

QString QtImprimantes::imprimanteParDefaut() {
    return QPrinterInfo::defaultPrinterName();
}
