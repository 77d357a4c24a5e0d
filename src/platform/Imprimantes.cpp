#include "Imprimantes.h"

#include <QDir>

namespace {
IImprimantes* g_imprimantes = nullptr;
}

IImprimantes* imprimantesInstallees() {
    return g_imprimantes;
}

void installerImprimantes(IImprimantes* implementation) {
    g_imprimantes = implementation;
}

ChoixImprimante choisirImprimante() {
    if (!g_imprimantes)
        return {};
    const QStringList presentes = g_imprimantes->imprimantes();
    if (presentes.isEmpty())
        return {};
    const QString defaut = g_imprimantes->imprimanteParDefaut();
    if (!defaut.isEmpty() && presentes.contains(defaut))
        return {defaut, true};
    return {presentes.first(), false};
}

QString messageErreurImpression() {
    return QStringLiteral("Erreur d'impression. ") +
           QStringLiteral("Vérifiez qu'une imprimante est installée sur votre ordinateur.");
}

ImprimantesScriptees::ImprimantesScriptees(QStringList imprimantes, QString parDefaut)
    : m_precedent(g_imprimantes), m_imprimantes(std::move(imprimantes)),
      m_parDefaut(std::move(parDefaut)) {
    g_imprimantes = this;
}

ImprimantesScriptees::~ImprimantesScriptees() {
    if (g_imprimantes == this)
        g_imprimantes = m_precedent;
}

QString ImprimantesScriptees::redirection(const QString& imprimante) {
    Q_UNUSED(imprimante);
    QString dossier = dossierSortie;
    if (dossier.isEmpty()) {
        if (!m_dossierTemporaire)
            m_dossierTemporaire = std::make_unique<QTemporaryDir>();
        dossier = m_dossierTemporaire->path();
    }
    m_fichierEnCours =
        QDir(dossier).filePath(QStringLiteral("travail-%1.pdf").arg(m_travaux.size() + 1));
    return m_fichierEnCours;
}

void ImprimantesScriptees::travailEnvoye(const QString& imprimante, const QString& document,
                                         int pages) {
    m_travaux.push_back({imprimante, document, pages, m_fichierEnCours});
    m_fichierEnCours.clear();
}
