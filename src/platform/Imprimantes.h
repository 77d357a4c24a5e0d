#pragma once
// The printers of the computer. Reports ask this hook which printers are
// present and which one is the default; the widget library installs the
// system's list (QtImprimantes), tests install ImprimantesScriptees, which
// can also send every job to a PDF file instead of a printer.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

class IImprimantes {
public:
    virtual ~IImprimantes() = default;
    virtual QStringList imprimantes() = 0;
    // Empty when no default printer is set.
    virtual QString imprimanteParDefaut() = 0;
    // Where a job sent to that printer goes: empty for the printer itself, a
    // PDF file path to write the job there instead.
    virtual QString redirection(const QString& imprimante) {
        Q_UNUSED(imprimante);
        return {};
    }
    // Called once a job has been sent.
    virtual void travailEnvoye(const QString& imprimante, const QString& document, int pages) {
        Q_UNUSED(imprimante);
        Q_UNUSED(document);
        Q_UNUSED(pages);
    }
};

// Without an installed implementation there is no printer.
IImprimantes* imprimantesInstallees();
// Installs the implementation (not owned); nullptr removes it.
void installerImprimantes(IImprimantes* implementation);

// The printer a report is sent to without asking: the default printer, or the
// first one present when none is the default. parDefaut tells which.
struct ChoixImprimante {
    QString nom; // empty when there is no printer at all
    bool parDefaut = false;
};
ChoixImprimante choisirImprimante();

// The message shown when a report cannot be printed for want of a printer.
QString messageErreurImpression();

// Scripted printers for tests. Installs itself on construction and
// uninstalls on destruction. Every job goes to a new PDF file in
// dossierSortie (empty: a temporary folder of its own), never to a printer.
class ImprimantesScriptees : public IImprimantes {
public:
    ImprimantesScriptees(QStringList imprimantes = {}, QString parDefaut = {});
    ~ImprimantesScriptees() override;
    QStringList imprimantes() override { return m_imprimantes; }
    QString imprimanteParDefaut() override { return m_parDefaut; }
    QString redirection(const QString& imprimante) override;
    void travailEnvoye(const QString& imprimante, const QString& document, int pages) override;

    struct Travail {
        QString imprimante;
        QString document;
        int pages = 0;
        QString fichier;
    };
    const std::vector<Travail>& travaux() const { return m_travaux; }
    QString dossierSortie;

private:
    IImprimantes* m_precedent = nullptr;
    QStringList m_imprimantes;
    QString m_parDefaut;
    QString m_fichierEnCours;
    std::vector<Travail> m_travaux;
    std::unique_ptr<QTemporaryDir> m_dossierTemporaire;
};
