#pragma once
// Message boxes shown with QMessageBox: the icon, title and buttons asked for,
// Qt's own button texts in French (see installerPlateformeQt).

#include "Messages.h"

class QtMessages : public IMessages {
public:
    Reponse afficher(const QString& texte, const QString& titre, Icone icone,
                     Boutons boutons) override;
};
