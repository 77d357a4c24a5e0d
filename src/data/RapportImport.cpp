#include "RapportImport.h"

#include "ClassificationCcam.h"

#include <QLocale>
#include <algorithm>

namespace {

QString nombre(int n) {
    return QLocale(QLocale::French).toString(n);
}

int taille(const auto& v) {
    return static_cast<int>(v.size());
}

// What the spreadsheet held that could not be loaded as it was.
QStringList nonReprisTableur(const ConstatsLecture& c) {
    QStringList r = c.remarques;
    if (!c.gestesInconnus.isEmpty())
        r << QStringLiteral("Gestes complémentaires dont le code n'est pas un acte de cette "
                            "version, non repris : %1.")
                 .arg(c.gestesInconnus.join(QStringLiteral(", ")));
    if (!c.modificateursInconnus.isEmpty())
        r << QStringLiteral("Modificateurs cités par des actes mais absents de la table des "
                            "modificateurs, non repris : %1.")
                 .arg(c.modificateursInconnus.join(QStringLiteral(", ")));
    if (c.actesCaches > 0)
        r << QStringLiteral("%1 actes sont rangés dans un chapitre qui a aussi des "
                            "sous-chapitres (avant le premier d'entre eux) : leur PositionH est "
                            "celle du chapitre, que le navigateur de la hiérarchie n'affiche "
                            "pas ; la recherche par mot clé et par site les trouve.")
                 .arg(nombre(c.actesCaches));
    if (c.tarifsNonPrisEnCharge > 0)
        r << QStringLiteral("Tarif « Non pris en charge » : %1 lignes (%2 actes) chargées avec "
                            "un tarif vide (NULL).")
                 .arg(nombre(c.tarifsNonPrisEnCharge), nombre(c.actesNonPrisEnCharge));
    if (c.tarifsAbsents > 0)
        r << QStringLiteral("Lignes d'activité sans tarif : %1, chargées avec un tarif vide "
                            "(NULL).")
                 .arg(nombre(c.tarifsAbsents));
    if (c.doublons > 0)
        r << QStringLiteral("Lignes CCAM de même acte, activité et phase : %1 (gardées telles "
                            "que le tableur les donne).")
                 .arg(nombre(c.doublons));
    if (c.variantesModificateurs > 0)
        r << QStringLiteral("Table des modificateurs : %1 lignes de variantes (autre spécialité "
                            "ou secteur) non reprises ; seule la première valeur secteur 1 de "
                            "chaque code est gardée.")
                 .arg(nombre(c.variantesModificateurs));
    if (c.notesModificateurs > 0)
        r << QStringLiteral("Table des modificateurs : %1 notes propres à un modificateur non "
                            "reprises (aucune table ne les reçoit).")
                 .arg(nombre(c.notesModificateurs));
    r << QStringLiteral("Libellé court : le tableur n'a qu'un libellé, repris dans Libelle_Court "
                        "et Libelle_Complet.");
    return r;
}

QStringList reglesTableur(const ConstatsLecture& c) {
    QStringList r;
    r << QStringLiteral("Modificateurs par activité : A, 3, 4, 5, 7, 8 (anesthésie) vont à "
                        "l'activité 4 ; O, U, P, S, F, M (urgence) à toutes les activités de "
                        "l'acte ; les autres aux activités autres que 4.");
    r << QStringLiteral("Limites : le tableur donne une seule liste par acte ; un modificateur "
                        "d'anesthésie sur un acte sans activité 4 (%1 cas) est donné à toutes "
                        "ses activités, comme un autre modificateur sur un acte qui n'a que "
                        "l'activité 4 (%2 cas) ; la règle suit les libellés de la table des "
                        "modificateurs, pas une table officielle acte par activité.")
             .arg(nombre(c.modificateursAnesthesieSans4), nombre(c.modificateursSansAutreActivite));
    r << QStringLiteral("Gestes complémentaires : une liste « (CODE, …) » vaut pour les "
                        "activités de l'acte énumérées depuis la liste précédente (en général "
                        "toutes ses activités) ; l'activité du geste est sa première activité "
                        "dans cette version. Limite : une liste commune à l'acte ne dit pas "
                        "quel geste revient à quelle activité.");
    r << QStringLiteral("Phases : une ligne « Phase N : … » donne le libellé de la phase N ; la "
                        "phase 0 n'a pas de libellé (NULL).");
    r << QStringLiteral("Activités : libellé « Activité N » sur la ligne de l'acte, sinon le "
                        "texte de la ligne (« Anesthésie », « Activité 2 : … »).");
    r << QStringLiteral("Notes : une ligne du tableur par note ; les sauts de ligne deviennent "
                        "« ¶ ».");
    r << QStringLiteral("Libelle_sans_accent : libellé sans diacritiques (É → E, ç → c), casse "
                        "et ponctuation gardées ; Libelle_simplifie : minuscules sans "
                        "diacritiques, œ → oe, æ → ae, ponctuation et apostrophes remplacées "
                        "par un blanc, blancs multiples réduits.");
    r << QStringLiteral("Incompatibilités : les paires de incompatibilites_vNN.csv (la plus "
                        "haute version du dossier des références) dont les deux actes sont dans "
                        "cette version, plus celles des notes ; une paire publiée dans les deux "
                        "sens est gardée une fois. ICR et caractère classant : ceux de "
                        "phases_vNN.csv pour la même clé acte, activité, phase (caractère "
                        "classant « Y », sinon « N ») ; une ligne CCAM que le fichier n'a pas les "
                        "garde vides.");
    r << QStringLiteral("Incompatibilités : seules les notes qui disent « non associable à » ou "
                        "« non cumulable avec » suivis de codes d'actes de cette version sont "
                        "reprises ; les autres exclusions rédigées en clair ne le sont pas.");
    r << QStringLiteral("Exo TM : la valeur du tableur est gardée sans blancs (« 5 -7 » → "
                        "« 5-7 ») ; une combinaison reçoit dans Exo_TM le libellé de ses codes "
                        "joints par « ; ».");
    return r;
}

void ajouterReferences(RapportImport& r, const ClassificationCcam& c, const ConstatsLecture& k) {
    if (!k.exoSansLibelle.isEmpty())
        r.nonRepris << QStringLiteral("Codes Exo TM du tableur absents de exo_tm.csv (sans "
                                      "libellé) : %1.")
                           .arg(k.exoSansLibelle.join(QStringLiteral(", ")));
    if (!k.regroupementsInconnus.isEmpty())
        r.nonRepris << QStringLiteral("Regroupements du tableur absents de regroupements.csv "
                                      "(sans libellé) : %1.")
                           .arg(k.regroupementsInconnus.join(QStringLiteral(", ")));
    if (!k.extensionsActesAbsents.isEmpty())
        r.nonRepris << QStringLiteral("Extensions documentaires rattachées à des actes absents "
                                      "de cette version, non reprises : %1.")
                           .arg(k.extensionsActesAbsents.join(QStringLiteral(", ")));
    r.regles << QStringLiteral("Extensions documentaires : rattachées aux actes que nomme "
                               "extensions_documentaires.csv, sinon à tout acte ayant l'activité "
                               "indiquée (types d'anesthésie 1 à 6 → activité 4 ; libellés "
                               "marqués non officiels dans la source).");
    r.systemes = taille(c.systemes);
    r.organes = taille(c.organes);
    r.extensions = taille(c.extensions);
    r.actesExtensions = taille(c.actesExtensions);
    r.exoTm = taille(c.exoTm);
    r.regroupements = taille(c.regroupements);
}

} // namespace

RapportImport RapportImport::etablir(const QString& fichier, const QString& references,
                                     const ClassificationCcam& c, const ConstatsLecture& k) {
    RapportImport r;
    r.fichier = fichier;
    r.references = references;
    r.version = c.version;
    r.codesActes = k.codesActes;
    r.lignesCcam = taille(c.ccam);
    for (int i = 0; i < 4; ++i)
        r.chapitres[i] = taille(c.hierarchie[i]);
    r.actesNiveau3 = k.actesNiveau3;
    r.notesActes = taille(c.notesActes);
    r.notesChapitres = taille(c.notesHierarchie);
    r.modificateurs = taille(c.modificateurs);
    r.acteModificateurs = taille(c.acteModificateur);
    r.pairesGestes = k.pairesGestes;
    r.lignesActesAssocies = taille(c.actesAssocies);
    r.incompatibilites = taille(c.incompatibles);
    r.nonRepris = nonReprisTableur(k);
    r.sources = c.sources;
    const bool phases = std::any_of(c.sources.begin(), c.sources.end(), [](const SourceRegles& s) {
        return s.genre == GenreRegle::Phases && s.aUneBase();
    });
    if (!phases)
        r.nonRepris << QStringLiteral("ICR et caractère classant : absents du tableur et sans "
                                      "fichier phases_vNN.csv, colonnes laissées vides.");
    r.regles = reglesTableur(k);
    if (c.references)
        ajouterReferences(r, c, k);
    return r;
}

QString RapportImport::texte() const {
    QStringList l;
    l << QStringLiteral("Tableur : %1").arg(fichier);
    if (!version.isEmpty())
        l << QStringLiteral("Version : %1").arg(version);
    if (baseCreee)
        l << QStringLiteral("Base créée à partir du schéma.");
    l << QString();
    l << QStringLiteral("Codes d'actes : %1").arg(nombre(codesActes));
    l << QStringLiteral("Lignes CCAM (acte, activité, phase) : %1").arg(nombre(lignesCcam));
    l << QStringLiteral("Chapitres par niveau : %1 / %2 / %3 / %4")
             .arg(nombre(chapitres[0]), nombre(chapitres[1]), nombre(chapitres[2]),
                  nombre(chapitres[3]));
    l << QStringLiteral("Actes rangés au-dessus du niveau 4 (PositionH terminée par « 00 ») : %1")
             .arg(nombre(actesNiveau3));
    l << QStringLiteral("Notes d'utilisation des actes : %1").arg(nombre(notesActes));
    l << QStringLiteral("Notes des chapitres : %1").arg(nombre(notesChapitres));
    l << QStringLiteral("Modificateurs : %1").arg(nombre(modificateurs));
    l << QStringLiteral("Modificateurs par acte et activité : %1").arg(nombre(acteModificateurs));
    l << QStringLiteral("Gestes complémentaires : %1 paires acte → geste, %2 lignes par activité")
             .arg(nombre(pairesGestes), nombre(lignesActesAssocies));
    const int desNotes = sources.empty() ? incompatibilites : sources.front().tireesDesNotes;
    l << QStringLiteral("Incompatibilités : %1 paires, dont %2 tirées des notes « non associable "
                        "à » / « non cumulable avec »")
             .arg(nombre(incompatibilites), nombre(desNotes));
    l << QStringLiteral("Procédures : aucune (le tableur n'en décrit pas ; table vidée)");
    l << QString();
    l << QStringLiteral("Origine des règles (enregistrée dans la base) :");
    for (const SourceRegles& s : sources)
        l << QStringLiteral("  ") + s.description();
    if (references.isEmpty()) {
        l << QStringLiteral("Tables de référence : non fournies (--references) ; Systèmes, "
                            "ORGANES, Extension_documentaire, Actes_extension_documentaire, "
                            "Exo_TM et Regroupement sont laissées telles quelles.");
    } else {
        l << QStringLiteral("Tables de référence (%1) :").arg(references);
        l << QStringLiteral("  Systèmes : %1, organes : %2").arg(nombre(systemes), nombre(organes));
        l << QStringLiteral("  Extensions documentaires : %1, rattachements acte/activité : %2")
                 .arg(nombre(extensions), nombre(actesExtensions));
        l << QStringLiteral("  Codes Exo TM : %1, regroupements : %2")
                 .arg(nombre(exoTm), nombre(regroupements));
    }
    l << QString();
    l << QStringLiteral("Règles appliquées et leurs limites :");
    for (const QString& r : regles)
        l << QStringLiteral("  - ") + r;
    l << QString();
    l << QStringLiteral("Non repris ou corrigé :");
    if (nonRepris.isEmpty())
        l << QStringLiteral("  (rien)");
    for (const QString& r : nonRepris)
        l << QStringLiteral("  - ") + r;
    l << QString();
    if (actesThesaurusAbsents.isEmpty())
        l << QStringLiteral("Actes des thésaurus absents de cette version : aucun");
    else
        l << QStringLiteral("Actes des thésaurus absents de cette version (%1, conservés dans les "
                            "thésaurus, montrés comme retirés, à remplacer) : %2")
                 .arg(nombre(static_cast<int>(actesThesaurusAbsents.size())),
                      actesThesaurusAbsents.join(QStringLiteral(", ")));
    l << QStringLiteral("Durée : %1 s").arg(QLocale(QLocale::French).toString(secondes, 'f', 2));
    return l.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
