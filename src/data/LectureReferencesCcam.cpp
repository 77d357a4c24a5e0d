// The folder of reference tables beside the spreadsheet: systems, organs,
// exoneration and grouping codes, documentary extensions (";"-separated,
// header line).

#include "LectureCcam.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>
#include <utility>

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

// A table of the folder, its header checked: the records after the header
// line, blank lines left out, each with as many fields as the header, and
// where each column stands.
struct Table {
    QString nom;
    std::vector<EnregistrementCsv> lignes;
    QHash<QString, int> colonnes; // column name (lower case) -> position

    const QString& champ(const EnregistrementCsv& e, const QString& colonne) const {
        return e.champs[colonnes.value(colonne)];
    }
    ErreurImport erreur(const EnregistrementCsv& e, const QString& quoi) const {
        return ErreurImport(QStringLiteral("Le fichier « %1 » est altéré : ligne %2, %3.")
                                .arg(nom)
                                .arg(e.ligne)
                                .arg(quoi));
    }
};

Table ouvrirTable(const QDir& dossier, const QString& nomFichier, const QStringList& colonnes) {
    auto enr = LecteurCsv::lireFichier(dossier.filePath(nomFichier), ';');
    if (enr.empty())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est vide.").arg(nomFichier));
    Table t;
    t.nom = nomFichier;
    QStringList entete;
    for (const QString& c : enr[0].champs)
        entete << c.trimmed().toLower();
    for (const QString& c : colonnes)
        if (!entete.contains(c))
            throw ErreurImport(QStringLiteral("Le fichier « %1 » n'a pas la colonne « %2 » "
                                              "(ligne 1 : en-tête « %3 » attendu).")
                                   .arg(nomFichier, c, colonnes.join(QLatin1Char(';'))));
    for (int c = 0; c < entete.size(); ++c)
        t.colonnes.insert(entete[c], c);
    t.lignes.reserve(enr.size());
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
        t.lignes.push_back(std::move(enr[i]));
    }
    return t;
}

// Reads one table; returns its rows as maps column name -> value.
std::vector<Ligne> lireTable(const QDir& dossier, const QString& nomFichier,
                             const QStringList& colonnes) {
    const Table t = ouvrirTable(dossier, nomFichier, colonnes);
    std::vector<Ligne> lignes;
    for (const EnregistrementCsv& e : t.lignes) {
        Ligne l;
        for (auto c = t.colonnes.cbegin(); c != t.colonnes.cend(); ++c)
            l.insert(c.key(), e.champs[c.value()]);
        if (l.value(colCode()).trimmed().isEmpty())
            throw t.erreur(e, QStringLiteral("code vide"));
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

// ---------------------------------------------------------------- rules of the CNAM base

const QString& colActe() {
    static const QString c = QStringLiteral("acte");
    return c;
}

// The file of a kind of rule with the highest version in the folder
// ("incompatibilites_v34.csv" -> 34); an empty name when there is none.
std::pair<QString, int> fichierRegles(const QDir& dossier, const QString& prefixe) {
    const QRegularExpression forme(QStringLiteral("^%1_v([0-9]{1,4})\\.csv$").arg(prefixe),
                                   QRegularExpression::CaseInsensitiveOption);
    std::pair<QString, int> meilleur{QString(), -1};
    for (const QString& nom : dossier.entryList(QDir::Files)) {
        const auto m = forme.match(nom);
        if (m.hasMatch() && m.captured(1).toInt() > meilleur.second)
            meilleur = {nom, m.captured(1).toInt()};
    }
    return meilleur;
}

// A field that must have a given form, trimmed; the error names the line and
// what was expected. The forms are checked by hand: the incompatibility file
// has tens of thousands of lines.
QString champVerifie(const Table& t, const EnregistrementCsv& e, const QString& colonne,
                     bool (*bonneForme)(QStringView), const QString& attendu) {
    const QString v = t.champ(e, colonne).trimmed();
    if (!bonneForme(v))
        throw t.erreur(e, QStringLiteral("colonne « %1 » : « %2 » n'est pas %3")
                              .arg(colonne, v.left(40), attendu));
    return v;
}

bool chiffres(QStringView v, qsizetype min, qsizetype max) {
    if (v.size() < min || v.size() > max)
        return false;
    return std::all_of(v.begin(), v.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A CCAM act code: four capital letters and three digits.
bool estCodeActe(QStringView v) {
    return v.size() == 7 &&
           std::all_of(v.begin(), v.begin() + 4, [](QChar c) { return c >= u'A' && c <= u'Z'; }) &&
           chiffres(v.mid(4), 3, 3);
}

QString codeActe(const Table& t, const EnregistrementCsv& e, const QString& colonne) {
    return champVerifie(t, e, colonne, estCodeActe, QStringLiteral("un code d'acte de la CCAM"));
}

SourceRegles sourceDuFichier(GenreRegle genre, const std::pair<QString, int>& fichier) {
    SourceRegles s;
    s.genre = genre;
    s.base = QStringLiteral("base CCAM de la CNAM");
    // The version as the file name writes it ("02" stays "02").
    s.version = fichier.first.mid(fichier.first.lastIndexOf(QLatin1String("_v")) + 2).chopped(4);
    s.dateBase = dateBaseCnam(s.version);
    s.fichier = fichier.first;
    return s;
}

using Paire = ClassificationCcam::Paire;

Paire paireOrdonnee(const QString& a, const QString& b) {
    return a < b ? Paire(a, b) : Paire(b, a);
}

// Incompatible acts (acte;date_effet;acte_incompatible), one direction per
// line as published. Pairs whose two acts are in the classification join
// the pairs of the usage notes (a pair listed in both directions is kept
// once); the others are counted. Every act the file names is known to it.
void lireIncompatibilites(const QDir& dossier, SourceRegles& s, ClassificationCcam& c,
                          const QSet<QString>& codes, QSet<QString>& connus) {
    const Table t =
        ouvrirTable(dossier, s.fichier,
                    {colActe(), QStringLiteral("date_effet"), QStringLiteral("acte_incompatible")});
    const auto date = [](QStringView v) { return v.isEmpty() || chiffres(v, 8, 8); };
    QSet<QString> stockees, duFichier; // "A|B" with A < B
    const auto cle = [](const Paire& p) { return p.first + u'|' + p.second; };
    for (const Paire& p : c.incompatibles)
        stockees.insert(cle(paireOrdonnee(p.first, p.second)));
    stockees.reserve(static_cast<qsizetype>(t.lignes.size()));
    duFichier.reserve(static_cast<qsizetype>(t.lignes.size()));
    for (const EnregistrementCsv& e : t.lignes) {
        const QString a = codeActe(t, e, colActe());
        champVerifie(t, e, QStringLiteral("date_effet"), date, QStringLiteral("une date aaaammjj"));
        const QString b = codeActe(t, e, QStringLiteral("acte_incompatible"));
        ++s.lignes;
        const bool aConnu = codes.contains(a), bConnu = codes.contains(b);
        if (aConnu)
            connus.insert(a);
        if (bConnu)
            connus.insert(b);
        if (!aConnu || !bConnu) {
            ++s.ecartees;
            continue;
        }
        const QString k = cle(paireOrdonnee(a, b));
        duFichier.insert(k);
        if (!stockees.contains(k)) {
            stockees.insert(k);
            c.incompatibles.emplace_back(a, b);
        }
    }
    s.retenues = static_cast<int>(duFichier.size());
}

// ICR and classifying flag of each act, activity and phase
// (acte;activite;phase;…;icr;classant), set on the CCAM rows of the same
// key; rows the file lacks keep neither. Returns the acts the file names.
QSet<QString> lirePhases(const QDir& dossier, SourceRegles& s, ClassificationCcam& c,
                         const QSet<QString>& codes) {
    const QString activite = QStringLiteral("activite"), phase = QStringLiteral("phase"),
                  icr = QStringLiteral("icr"), classant = QStringLiteral("classant");
    const Table t = ouvrirTable(dossier, s.fichier, {colActe(), activite, phase, icr, classant});
    const auto chiffre = [](QStringView v) { return chiffres(v, 1, 1); };
    const auto nombreIcr = [](QStringView v) { return chiffres(v, 0, 6); };
    const auto drapeau = [](QStringView v) { return v.isEmpty() || v == u"Y" || v == u"N"; };
    QSet<QString> clesCcam;
    for (const auto& l : c.ccam)
        clesCcam.insert(l.code + u'|' + l.activite + u'|' + l.phase);
    QHash<QString, std::pair<QVariant, QVariant>> valeurs;
    QSet<QString> nommes;
    for (const EnregistrementCsv& e : t.lignes) {
        const QString code = codeActe(t, e, colActe());
        const QString a = champVerifie(t, e, activite, chiffre, QStringLiteral("une activité"));
        const QString p = champVerifie(t, e, phase, chiffre, QStringLiteral("une phase"));
        const QString i = champVerifie(t, e, icr, nombreIcr, QStringLiteral("un ICR"));
        const QString y =
            champVerifie(t, e, classant, drapeau, QStringLiteral("« Y », « N » ou vide"));
        ++s.lignes;
        if (!codes.contains(code)) {
            ++s.ecartees;
            continue;
        }
        nommes.insert(code);
        const QString cle = code + u'|' + a + u'|' + p;
        if (!clesCcam.contains(cle)) {
            ++s.sansLigne;
            continue;
        }
        valeurs.insert(cle, {i.isEmpty() ? QVariant() : QVariant(i.toDouble()),
                             y == u"Y" ? QStringLiteral("Y") : QStringLiteral("N")});
    }
    for (auto& l : c.ccam) {
        const auto it = valeurs.constFind(l.code + u'|' + l.activite + u'|' + l.phase);
        if (it == valeurs.cend())
            continue;
        l.icr = it->first;
        l.classant = it->second;
        ++s.retenues;
    }
    return nommes;
}

} // namespace

void LectureCcam::lireRegles(const QString& chemin, ClassificationCcam& c) {
    SourceRegles incompatibilites, procedures, phases;
    incompatibilites.genre = GenreRegle::Incompatibilites;
    procedures.genre = GenreRegle::Procedures;
    phases.genre = GenreRegle::Phases;
    incompatibilites.tireesDesNotes = static_cast<int>(c.incompatibles.size());
    if (!chemin.isEmpty()) {
        const QDir dossier(chemin);
        QSet<QString> codes;
        for (const auto& l : c.ccam)
            codes.insert(l.code);
        const auto fichierIncompatibilites =
            fichierRegles(dossier, QStringLiteral("incompatibilites"));
        const auto fichierPhases = fichierRegles(dossier, QStringLiteral("phases"));
        QSet<QString> connus;
        if (!fichierPhases.first.isEmpty()) {
            phases = sourceDuFichier(GenreRegle::Phases, fichierPhases);
            const QSet<QString> nommes = lirePhases(dossier, phases, c, codes);
            // The acts of a base are those of its phases: an act the same
            // base lists no incompatible act for has none in that base.
            if (fichierPhases.second == fichierIncompatibilites.second)
                connus = nommes;
        }
        if (!fichierIncompatibilites.first.isEmpty()) {
            incompatibilites =
                sourceDuFichier(GenreRegle::Incompatibilites, fichierIncompatibilites);
            incompatibilites.tireesDesNotes = static_cast<int>(c.incompatibles.size());
            lireIncompatibilites(dossier, incompatibilites, c, codes, connus);
            QStringList tries(connus.begin(), connus.end());
            tries.sort();
            for (const QString& code : tries)
                c.actesConnus.emplace_back(GenreRegle::Incompatibilites, code);
        }
    }
    c.sources = {incompatibilites, procedures, phases};
}

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
