#pragma once
// File choosers shown with QFileDialog.

#include "ChoixFichier.h"

// Converts a filter written "Libellé (*.ext)|*.ext|Autre|*.a;*.b" into Qt's
// "Libellé (*.ext);;Autre (*.a *.b)". A label that does not already show its
// patterns gets them in parentheses, as QFileDialog needs them there.
QString filtreQt(const QString& filtreAncien);

class QtChoixFichier : public IChoixFichier {
public:
    QString ouvrir(const QString& titre, const QString& dossier, const QString& filtre) override;
    QString enregistrer(const QString& titre, const QString& dossier,
                        const QString& filtre) override;
};
