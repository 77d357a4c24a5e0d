#pragma once
// The hourglass pointer as Qt's application-wide override cursor.

#include "Progression.h"

class QtCurseur : public ICurseur {
public:
    void occupe(bool actif) override;
};
