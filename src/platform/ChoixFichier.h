#pragma once
// File choosers. Filters are written as the program has always written them,
// "Libellé (*.ext)|*.ext" pairs joined by "|"; the Qt implementation converts
// them. An empty result means the user cancelled.

#include <QString>
#include <deque>

class IChoixFichier {
public:
    virtual ~IChoixFichier() = default;
    virtual QString ouvrir(const QString& titre, const QString& dossier, const QString& filtre) = 0;
    virtual QString enregistrer(const QString& titre, const QString& dossier,
                                const QString& filtre) = 0;
};

QString choisirFichierOuvrir(const QString& titre, const QString& dossier, const QString& filtre);
QString choisirFichierEnregistrer(const QString& titre, const QString& dossier,
                                  const QString& filtre);
void installerChoixFichier(IChoixFichier* implementation);

// Where the choosers of exports, imports and PDF files start: the folder of
// the last file chosen there, else the user's documents folder (the home
// folder without one); never the program's own folder, which an installed
// program cannot write. choisirFichierDocument* remember the chosen folder.
QString dossierDesDocuments();
QString choisirFichierDocumentOuvrir(const QString& titre, const QString& filtre);
QString choisirFichierDocumentEnregistrer(const QString& titre, const QString& nomPropose,
                                          const QString& filtre);

// A line for the status bar of the main window ("what was written, where"),
// through the function the main window installs; nothing without one.
void annoncerDansBarreEtat(const QString& texte);
void installerBarreEtat(void (*annoncer)(const QString&));

// Scripted chooser for tests: each call takes the next queued name (empty
// when none is queued, as a cancelled chooser) and records its arguments.
class ChoixFichierScripte : public IChoixFichier {
public:
    ChoixFichierScripte();
    ~ChoixFichierScripte() override;
    QString ouvrir(const QString& titre, const QString& dossier, const QString& filtre) override;
    QString enregistrer(const QString& titre, const QString& dossier,
                        const QString& filtre) override;
    void setFichierSuivant(const QString& nom) { m_noms.push_back(nom); }

    QString dernierTitre, dernierDossier, dernierFiltre;
    int appels = 0;

private:
    QString suivant(const QString& titre, const QString& dossier, const QString& filtre);
    IChoixFichier* m_precedent = nullptr;
    std::deque<QString> m_noms;
};
