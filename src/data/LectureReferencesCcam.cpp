// The folder of reference tables beside the spreadsheet: systems, organs,
// exoneration and grouping codes, documentary extensions (";"-separated,
// header line).

#include "LectureCcam.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <map>
#include <set>

namespace {

using Ligne = QHash<QString, QString>; // column name -> value

const QString& colCode() {
    static const QString c = QStringLiteral("code");
    return c;
}
const QString& colLibelle() {
    static const QString c = QStringLiteral("libelle");
    return c;
}

// Reads one table; returns its rows as maps column name -> value.
std::vector<Ligne> lireTable(const QDir& dossier, const QString& nomFichier,
                             const QStringList& colonnes) {
    const auto enr = LecteurCsv::lireFichier(dossier.filePath(nomFichier), ';');
    if (enr.empty())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est vide.").arg(nomFichier));
    QStringList entete;
    for (const QString& c : enr[0].champs)
        entete << c.trimmed().toLower();
    for (const QString& c : colonnes)
        if (!entete.contains(c))
            throw ErreurImport(QStringLiteral("Le fichier « %1 » n'a pas la colonne « %2 » "
                                              "(ligne 1 : en-tête « %3 » attendu).")
                                   .arg(nomFichier, c, colonnes.join(QLatin1Char(';'))));
    std::vector<Ligne> lignes;
    for (size_t i = 1; i < enr.size(); ++i) {
        if (enr[i].champs.size() == 1 && enr[i].champs[0].trimmed().isEmpty())
            continue;
        if (enr[i].champs.size() != entete.size())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, %3 "
                                              "colonnes au lieu de %4.")
                                   .arg(nomFichier)
                                   .arg(enr[i].ligne)
                                   .arg(enr[i].champs.size())
                                   .arg(entete.size()));
        Ligne l;
        for (int c = 0; c < entete.size(); ++c)
            l.insert(entete[c], enr[i].champs[c]);
        if (l.value(colCode()).trimmed().isEmpty())
            throw ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, code vide.")
                                   .arg(nomFichier)
                                   .arg(enr[i].ligne));
        lignes.push_back(l);
    }
    return lignes;
}

// Exoneration codes, and the combinations the spreadsheet uses ("1-7"),
// labelled with the labels of their parts.
void lireExoTm(const QDir& dossier, ClassificationCcam& c, ConstatsLecture& constats) {
    QHash<QString, QString> exo;
    for (const Ligne& l :
         lireTable(dossier, QStringLiteral("exo_tm.csv"), {colCode(), colLibelle()})) {
        c.exoTm.emplace_back(l[colCode()].trimmed(), l[colLibelle()]);
        exo.insert(l[colCode()].trimmed(), l[colLibelle()]);
    }
    QSet<QString> utilises;
    for (const auto& l : c.ccam)
        if (!l.exoTm.isEmpty())
            utilises.insert(l.exoTm);
    QStringList combinaisons(utilises.begin(), utilises.end());
    combinaisons.sort();
    for (const QString& code : combinaisons) {
        if (exo.contains(code))
            continue;
        QStringList libelles;
        bool complet = true;
        for (const QString& partie : code.split(QLatin1Char('-'))) {
            complet = complet && exo.contains(partie);
            libelles << exo.value(partie);
        }
        if (complet)
            c.exoTm.emplace_back(code, libelles.join(QStringLiteral(" ; ")));
        else
            constats.exoSansLibelle << code;
    }
}

void lireRegroupements(const QDir& dossier, ClassificationCcam& c, ConstatsLecture& constats) {
    QSet<QString> connus;
    for (const Ligne& l :
         lireTable(dossier, QStringLiteral("regroupements.csv"), {colCode(), colLibelle()})) {
        c.regroupements.emplace_back(l[colCode()].trimmed(), l[colLibelle()]);
        connus.insert(l[colCode()].trimmed());
    }
    QSet<QString> inconnus;
    for (const auto& l : c.ccam)
        if (!l.regroupement.isEmpty() && !connus.contains(l.regroupement))
            inconnus.insert(l.regroupement);
    constats.regroupementsInconnus = QStringList(inconnus.begin(), inconnus.end());
    constats.regroupementsInconnus.sort();
}

// Documentary extensions: attached to the acts the file names, or, when it
// names none, to every act that has its activity.
void lireExtensions(const QDir& dossier, ClassificationCcam& c, ConstatsLecture& constats) {
    std::map<QString, QStringList> actesParActivite;
    QSet<QString> codesActes;
    for (const auto& l : c.ccam) {
        codesActes.insert(l.code);
        QStringList& liste = actesParActivite[l.activite];
        if (liste.isEmpty() || liste.back() != l.code)
            liste << l.code;
    }
    static const QRegularExpression acteActivite(
        QStringLiteral("([A-Z]{4}[0-9]{3})(?:\\s*\\(activit[ée]\\s*([0-9])\\))?"));
    std::set<std::tuple<int, QString, QString>> vus;
    const auto rattacher = [&](int id, const QString& acte, const QString& activite) {
        if (vus.emplace(id, acte, activite).second)
            c.actesExtensions.emplace_back(id, acte, activite);
    };
    int id = 0;
    for (const Ligne& l : lireTable(dossier, QStringLiteral("extensions_documentaires.csv"),
                                    {colCode(), colLibelle(), "activite", "s_applique_a"})) {
        c.extensions.push_back({++id, l[colCode()].trimmed(), l[colLibelle()]});
        const QString activite = l["activite"].trimmed();
        auto it = acteActivite.globalMatch(l["s_applique_a"]);
        bool nomme = false;
        while (it.hasNext()) {
            const auto m = it.next();
            nomme = true;
            const QString acte = m.captured(1);
            if (!codesActes.contains(acte)) {
                if (!constats.extensionsActesAbsents.contains(acte))
                    constats.extensionsActesAbsents << acte;
                continue;
            }
            rattacher(id, acte, m.captured(2).isEmpty() ? activite : m.captured(2));
        }
        if (!nomme && !activite.isEmpty())
            for (const QString& acte : actesParActivite[activite])
                rattacher(id, acte, activite);
    }
}

} // namespace

void LectureCcam::lireReferences(const QString& chemin, ClassificationCcam& c,
                                 ConstatsLecture& constats) {
    const QDir dossier(chemin);
    if (!dossier.exists())
        throw ErreurImport(QStringLiteral("Le dossier des tables de référence « %1 » est "
                                          "introuvable.")
                               .arg(chemin));
    for (const Ligne& l :
         lireTable(dossier, QStringLiteral("systemes.csv"), {colCode(), colLibelle()}))
        c.systemes.emplace_back(l[colCode()].trimmed(), l[colLibelle()]);
    for (const Ligne& l :
         lireTable(dossier, QStringLiteral("organes.csv"), {colCode(), colLibelle(), "systeme"}))
        c.organes.push_back({l[colCode()].trimmed(), l[colLibelle()], l["systeme"].trimmed()});
    lireExoTm(dossier, c, constats);
    lireRegroupements(dossier, c, constats);
    lireExtensions(dossier, c, constats);
    c.references = true;
}
