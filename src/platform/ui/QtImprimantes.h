#pragma once
// The computer's printers, as the print system lists them.

#include "Imprimantes.h"

class QtImprimantes : public IImprimantes {
public:
    QStringList imprimantes() override;
    QString imprimanteParDefaut() override;
};
