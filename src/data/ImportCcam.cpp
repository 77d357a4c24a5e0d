#include "ImportCcam.h"

#include "EcritureCcam.h"
#include "LectureCcam.h"

#include <QElapsedTimer>
#include <QFileInfo>

ImportCcam::ImportCcam(QString fichierCsv, QString dossierReferences)
    : m_fichier(std::move(fichierCsv)), m_dossierReferences(std::move(dossierReferences)) {}

void ImportCcam::analyser() {
    if (m_analyse)
        return;
    ClassificationCcam classification; // nothing kept from a failed attempt
    ConstatsLecture constats;
    LectureCcam::lireTableur(LecteurCsv::lireFichier(m_fichier, ','),
                             QFileInfo(m_fichier).fileName(), classification, constats);
    if (!m_dossierReferences.isEmpty())
        LectureCcam::lireReferences(m_dossierReferences, classification, constats);
    LectureCcam::lireRegles(m_dossierReferences, classification);
    m_rapport = RapportImport::etablir(m_fichier, m_dossierReferences, classification, constats);
    m_classification = std::move(classification);
    m_analyse = true;
}

const RapportImport& ImportCcam::charger(const QString& cheminBase) {
    QElapsedTimer chrono;
    chrono.start();
    analyser();
    const ResultatEcriture r = EcritureCcam::enregistrer(m_classification, cheminBase);
    m_rapport.baseCreee = r.baseCreee;
    m_rapport.actesThesaurusAbsents = r.actesThesaurusAbsents;
    m_rapport.secondes = chrono.elapsed() / 1000.0;
    return m_rapport;
}

RapportImport ImportCcam::analyserTableur(const QByteArray& octets, const QString& nomFichier) {
    ClassificationCcam classification;
    ConstatsLecture constats;
    LectureCcam::lireTableur(LecteurCsv::analyser(octets, ',', nomFichier), nomFichier,
                             classification, constats);
    LectureCcam::lireRegles({}, classification);
    return RapportImport::etablir(nomFichier, {}, classification, constats);
}

const QSet<QString>& ImportCcam::modificateursAnesthesie() {
    return LectureCcam::modificateursAnesthesie();
}

const QSet<QString>& ImportCcam::modificateursToutesActivites() {
    return LectureCcam::modificateursToutesActivites();
}
