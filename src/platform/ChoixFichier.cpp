#include "ChoixFichier.h"

namespace {
IChoixFichier* g_choix = nullptr;
}

QString choisirFichierOuvrir(const QString& titre, const QString& dossier, const QString& filtre) {
    return g_choix ? g_choix->ouvrir(titre, dossier, filtre) : QString();
}

QString choisirFichierEnregistrer(const QString& titre, const QString& dossier,
                                  const QString& filtre) {
    return g_choix ? g_choix->enregistrer(titre, dossier, filtre) : QString();
}

void installerChoixFichier(IChoixFichier* implementation) {
    g_choix = implementation;
}

ChoixFichierScripte::ChoixFichierScripte() : m_precedent(g_choix) {
    g_choix = this;
}

ChoixFichierScripte::~ChoixFichierScripte() {
    if (g_choix == this)
        g_choix = m_precedent;
}

QString ChoixFichierScripte::suivant(const QString& titre, const QString& dossier,
                                     const QString& filtre) {
    ++appels;
    dernierTitre = titre;
    dernierDossier = dossier;
    dernierFiltre = filtre;
    if (m_noms.empty())
        return {};
    QString n = m_noms.front();
    m_noms.pop_front();
    return n;
}

QString ChoixFichierScripte::ouvrir(const QString& t, const QString& d, const QString& f) {
    return suivant(t, d, f);
}

QString ChoixFichierScripte::enregistrer(const QString& t, const QString& d, const QString& f) {
    return suivant(t, d, f);
}
