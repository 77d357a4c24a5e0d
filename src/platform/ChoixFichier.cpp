#include "ChoixFichier.h"

#include "Parametres.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
IChoixFichier* g_choix = nullptr;
void (*g_barreEtat)(const QString&) = nullptr;

QString retenir(const QString& chemin) {
    if (!chemin.isEmpty())
        Parametres::ecrire(Parametres::DernierDossier, QFileInfo(chemin).absolutePath());
    return chemin;
}
} // namespace

QString dossierDesDocuments() {
    const QString dernier = Parametres::lire(Parametres::DernierDossier);
    if (!dernier.isEmpty() && QFileInfo(dernier).isDir())
        return dernier;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString choisirFichierDocumentOuvrir(const QString& titre, const QString& filtre) {
    return retenir(choisirFichierOuvrir(titre, dossierDesDocuments(), filtre));
}

QString choisirFichierDocumentEnregistrer(const QString& titre, const QString& nomPropose,
                                          const QString& filtre) {
    const QString dossier = dossierDesDocuments();
    return retenir(choisirFichierEnregistrer(
        titre, nomPropose.isEmpty() ? dossier : QDir(dossier).filePath(nomPropose), filtre));
}

void annoncerDansBarreEtat(const QString& texte) {
    if (g_barreEtat)
        g_barreEtat(texte);
}

void installerBarreEtat(void (*annoncer)(const QString&)) {
    g_barreEtat = annoncer;
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
