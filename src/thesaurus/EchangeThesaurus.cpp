#include "EchangeThesaurus.h"

#include "AccesDonnees.h"
#include "ChoixFichier.h"
#include "Data.h"
#include "Globals.h"
#include "ListeHelpers.h"
#include "Medecin.h"
#include "Messages.h"
#include "Progression.h"
#include "Thesaurus.h"
#include "VersionsCcam.h"
#include "Windows1252.h"
#include "adCCAM.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>

namespace {
const QString TAB = QStringLiteral("\t");
const QString CRLF = QStringLiteral("\r\n");
const QString titreImport = QStringLiteral("Import");

void erreur(const QString& texte) {
    afficherMessage(texte, QStringLiteral("Erreur"), Icone::Critique, Boutons::Ok);
}

QString dateDuJour() {
    return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}

// The exchange layout is chosen by the extension of the file name, compared
// exactly with "txt".
bool layoutEchange(const QString& chemin) {
    QString nom = QFileInfo(chemin).fileName();
    return extraireExtension(nom) == QLatin1String("txt");
}

// Phase lines of the listing: TAB, phase label.
QString lignesPhases(const QString& code) {
    QString texte;
    if (RecordsetPtr phases = accesCCAM.getPhases(code))
        for (phases->MoveFirst(); !phases->isEOF(); phases->MoveNext())
            texte += TAB + valeurTexte(phases->Fields(QStringLiteral("Libelle_Phase"))) + CRLF;
    return texte;
}

// The bytes of an exported file: Windows-1252, the format that other
// installations read, when every character has a byte there; otherwise UTF-8
// with a byte-order mark (which the import recognises), rather than turning
// characters such as "≥" or "μ" into "?".
QByteArray octetsExport(const QString& texte) {
    if (representableEnWindows1252(texte))
        return versWindows1252(texte);
    return QByteArray("\xEF\xBB\xBF") + texte.toUtf8();
}

// Writes the text all at once: a file that cannot be written is reported and
// left as it was.
bool ecrireFichier(const QString& chemin, const QString& texte) {
    QSaveFile fichier(chemin);
    if (fichier.open(QIODevice::WriteOnly)) {
        const QByteArray octets = octetsExport(texte);
        if (fichier.write(octets) == octets.size() && fichier.commit()) {
            annoncerDansBarreEtat(QStringLiteral("Fichier écrit : ") +
                                  QDir::toNativeSeparators(chemin));
            return true;
        }
    }
    erreur(QStringLiteral("Le fichier d'export ") + chemin +
           QStringLiteral(" ne peut pas être écrit. Vérifiez le dossier choisi et vos droits "
                          "d'écriture."));
    return false;
}

// An act of a category to export.
struct ActeExporte {
    QString code;
    QString libelle;
};

// One category block of either layout.
QString blocCategorie(bool echange, bool blocMedecin, const QString& libelle,
                      const QList<ActeExporte>& actes) {
    QString texte;
    if (echange) {
        texte = libelle;
        for (const ActeExporte& a : actes)
            texte += TAB + a.code;
        return texte + CRLF;
    }
    if (blocMedecin)
        texte = CRLF;
    texte += libelle + CRLF;
    for (const ActeExporte& a : actes)
        texte += a.code + TAB + a.libelle + CRLF + lignesPhases(a.code);
    return texte;
}

QString messageFichier(const QString& chemin, const QString& suite) {
    return QStringLiteral("Le fichier d'import ") + chemin + suite;
}

// Control characters other than TAB and line ends are rare in a text file
// (except a UTF-16 one, where every other byte of Latin text is zero): many
// of them make a binary file. A stray one is reported with its line.
bool ressembleATexte(const QByteArray& octets) {
    if (octets.startsWith("\xFF\xFE") || octets.startsWith("\xFE\xFF"))
        return true;
    qsizetype controles = 0;
    for (char o : octets) {
        const auto c = static_cast<unsigned char>(o);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f') || c == 0x7F)
            ++controles;
    }
    return controles <= qMax<qsizetype>(1, octets.size() / 100);
}

// A number with its thousands apart, as French writes it ("200 000").
QString nombreFrancais(int n) {
    QString texte = QString::number(n);
    for (qsizetype i = texte.size() - 3; i > 0; i -= 3)
        texte.insert(i, u' ');
    return texte;
}

// TAB, blank, no-break space, ...
bool estBlanc(QChar c) {
    return c.isSpace();
}

enum class Ligne { Categorie, Liste, TropLongue };

// Reads one category line (not blank) into cat, with at most maxActes acts.
// Fields are cut at each TAB without building the empty ones, so that a line
// of millions of TABs costs nothing. A line of the readable listing is an act
// (code, TAB, label) or a phase (TAB, label): its one field after the first
// holds a blank, which no act code does.
Ligne lireLigneCategorie(QStringView ligne, CategorieImportee& cat, int maxActes) {
    const qsizetype tab = ligne.indexOf(u'\t');
    cat.libelle = ligne.left(tab < 0 ? ligne.size() : tab).toString();
    cat.longueur = static_cast<int>(ligne.size());
    if (tab < 0)
        return Ligne::Categorie;
    const QStringView suite = ligne.mid(tab + 1);
    if (!suite.contains(u'\t') && suite.trimmed().contains(u' '))
        return Ligne::Liste;
    qsizetype debut = 0;
    while (debut <= suite.size()) {
        qsizetype fin = suite.indexOf(u'\t', debut);
        if (fin < 0)
            fin = suite.size();
        const QStringView code = suite.mid(debut, fin - debut).trimmed();
        if (!code.isEmpty()) {
            if (cat.actes.size() >= maxActes)
                return Ligne::TropLongue;
            cat.actes.push_back(code.toString().toUpper());
        }
        debut = fin + 1;
    }
    return Ligne::Categorie;
}

// Reads and checks a thesaurus file before anything is changed. Reports the
// problem and returns false when the file cannot be imported.
bool lireFichierThesaurus(const QString& chemin, QList<CategorieImportee>& categories,
                          qint64& taille) {
    const QFileInfo info(chemin);
    if (chemin.isEmpty() || !info.exists() || !info.isFile()) {
        erreur(QStringLiteral("Le fichier d'import ") + chemin +
               QStringLiteral(" est introuvable."));
        return false;
    }
    taille = info.size();
    if (taille == 0) {
        afficherMessage(QStringLiteral("Le fichier est vide."), titreImport, Icone::Aucune,
                        Boutons::Ok);
        return false;
    }
    if (taille > tailleMaxImport) {
        erreur(QStringLiteral("Le fichier d'import ") + chemin +
               QStringLiteral(" est trop volumineux pour être un thésaurus (plus de %1 Mo).")
                   .arg(tailleMaxImport / (1024 * 1024)));
        return false;
    }
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) {
        erreur(QStringLiteral("Le fichier d'import ") + chemin +
               QStringLiteral(" ne peut pas être lu."));
        return false;
    }
    LectureThesaurus lecture = lireTexteThesaurus(fichier.readAll(), chemin);
    if (!lecture.erreur.isEmpty()) {
        erreur(lecture.erreur);
        return false;
    }
    categories = std::move(lecture.categories);
    return true;
}

// Adds the categories on the connection (inside the caller's transaction).
// Progress goes by the characters of each line; a very long line reports
// every thousand acts, so that the wait window keeps moving. False when the
// user stopped it ("Annuler"): the caller then leaves the transaction
// uncommitted, and nothing is added.
bool ajouterCategories(Connexion& c, const QList<CategorieImportee>& categories,
                       const QString& a_Lien, int a_type, ProgressionPortee& attente) {
    constexpr int actesParPas = 1000;
    for (const CategorieImportee& cat : categories) {
        const long code = adCCAM::insererCatAndGetCode(c, a_Lien, cat.libelle, a_type);
        int restant = cat.longueur;
        int pas = 0;
        int n = 0;
        for (const QString& acte : cat.actes) {
            c.Execute(adCCAM::sqlInsererActeTheserus(code, acte, QString(), QString()));
            pas += static_cast<int>(acte.size()) + 1;
            if (++n % actesParPas == 0) {
                attente.avancer(pas);
                restant -= pas;
                pas = 0;
                if (attente.annulee())
                    return false;
            }
        }
        attente.avancer(restant);
        if (attente.annulee())
            return false;
    }
    return true;
}

bool importer(const QString& chemin, const QString& a_Lien, int a_type, bool remplacer) {
    // Reading and checking a large file takes a moment before the wait
    // window can open: the hourglass shows it from the start.
    CurseurOccupe sablier;
    QList<CategorieImportee> categories;
    qint64 taille = 0;
    if (!lireFichierThesaurus(chemin, categories, taille))
        return false;
    if (categories.isEmpty() && !remplacer)
        return true;
    const int maximum = static_cast<int>(qMin<qint64>(taille, tailleMaxImport)) + 1;
    ProgressionPortee attente(titreChargement, maximum, ProgressionPortee::Annulation::Permise);
    return operationDepot<bool>(false, [&] {
        ConnexionPtr c = Data().CreeConnexion();
        Transaction transaction(*c);
        // One writer of this thesaurus at a time, from before its old
        // categories are read: two replacements at once never leave both
        // sets (a server reads committed rows only, without this lock).
        c->verrouiller(adCCAM::cleVerrouThesaurus(a_type, a_Lien));
        if (remplacer) {
            RecordsetPtr anciennes = c->Ouvrir(adCCAM::sqlGetCategoriesThesaurus(a_Lien, a_type));
            for (anciennes->MoveFirst(); !anciennes->isEOF(); anciennes->MoveNext()) {
                const long code =
                    static_cast<long>(anciennes->Fields(QStringLiteral("CT_CODE")).toLongLong());
                for (const QString& sql : adCCAM::sqlSuppCatTheserus(code))
                    c->Execute(sql);
            }
            // Acts left without a category by an earlier version go too.
            c->Execute(adCCAM::sqlSupprimerActesOrphelins());
        }
        if (!ajouterCategories(*c, categories, a_Lien, a_type, attente))
            return false; // stopped: the transaction is rolled back
        transaction.valider();
        return true;
    });
}
} // namespace

bool exporterThesaurusUM(const QString& a_UM, const QString& chemin) {
    const bool echange = layoutEchange(chemin);
    RecordsetPtr cats = accesCCAM.getCategoriesThesaurus(extraireCode(a_UM), 1);
    ProgressionPortee attente(titreChargement, (cats ? cats->RecordCount() : 0) + 1);
    const bool retraits = retraitsEnregistres();
    QString texte = dateDuJour() + TAB + a_UM + CRLF;
    if (cats) {
        for (cats->MoveFirst(); !cats->isEOF(); cats->MoveNext()) {
            QList<ActeExporte> actes;
            const long code =
                static_cast<long>(cats->Fields(QStringLiteral("CT_CODE")).toLongLong());
            // Acts the loaded version lacks go with the others: nothing stored is lost.
            for (const Acte& a : actesDeLaCategorie(code, retraits))
                actes.push_back({a.code, a.libelle});
            texte += blocCategorie(echange, false,
                                   valeurTexte(cats->Fields(QStringLiteral("CT_LIB"))), actes);
            attente.avancer(1);
        }
    }
    return ecrireFichier(chemin, texte);
}

bool exporterThesaurusMED(const Medecin& a_med, const QString& chemin) {
    const bool echange = layoutEchange(chemin);
    ProgressionPortee attente(titreChargement, static_cast<int>(a_med.listeCat.size()) + 1);
    QString texte = dateDuJour() + TAB + codeEtLibelle(a_med.code, a_med.libelle) + TAB +
                    codeEtLibelle(a_med.UM, accesDonnees.getLibelleUniteMedicale(a_med.UM)) + CRLF;
    for (const Categorie& cat : a_med.listeCat) {
        QList<ActeExporte> actes;
        for (const Acte& a : cat.listeActes)
            actes.push_back({a.code, a.libelle});
        texte += blocCategorie(echange, true, cat.libelle, actes);
        attente.avancer(1);
    }
    return ecrireFichier(chemin, texte);
}

bool ecrireFichierThesaurus(const QString& chemin, const QString& texte) {
    return ecrireFichier(chemin, texte);
}

bool importerThesaurus(const QString& chemin, const QString& a_Lien, int a_type) {
    return importer(chemin, a_Lien, a_type, false);
}

bool remplacerThesaurusParFichier(const QString& chemin, const QString& a_Lien, int a_type) {
    return importer(chemin, a_Lien, a_type, true);
}

QString decoderTexteFichier(const QByteArray& octets) {
    if (octets.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(octets.constData() + 3, octets.size() - 3);
    if (octets.startsWith("\xFF\xFE") || octets.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(octets.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                           : QStringConverter::Utf16BE);
        return utf16(octets.mid(2));
    }
    bool ascii = true;
    for (char o : octets)
        if (static_cast<unsigned char>(o) >= 0x80) {
            ascii = false;
            break;
        }
    if (!ascii) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString texte = utf8(octets);
        if (!utf8.hasError())
            return texte;
    }
    return depuisWindows1252(octets);
}

LectureThesaurus lireTexteThesaurus(const QByteArray& octets, const QString& chemin) {
    LectureThesaurus r;
    if (!ressembleATexte(octets)) {
        r.erreur =
            messageFichier(chemin, QStringLiteral(" n'est pas un fichier texte de thésaurus."));
        return r;
    }
    const QString texte = decoderTexteFichier(octets);
    const qsizetype n = texte.size();
    qsizetype debut = 0;
    int numero = 0;
    int lignes = 0;
    bool enteteLisible = false; // the header holds a letter or a digit
    bool blancs = false;        // some line holds nothing but TABs and blanks
    while (debut < n) {
        qsizetype fin = debut;
        while (fin < n && texte.at(fin) != u'\r' && texte.at(fin) != u'\n')
            ++fin;
        ++numero;
        const QStringView ligne = QStringView(texte).mid(debut, fin - debut);
        for (const QChar c : ligne)
            if (c != u'\t' && c.category() == QChar::Other_Control) {
                r.erreur = messageFichier(
                    chemin, QStringLiteral(" contient un caractère de contrôle (U+%1) à la ligne "
                                           "%2 : ce n'est pas un fichier texte de thésaurus.")
                                .arg(QString::number(c.unicode(), 16).toUpper(), 4, u'0')
                                .arg(numero));
                r.categories.clear();
                return r;
            }
        const bool blanche = std::all_of(ligne.begin(), ligne.end(), estBlanc);
        if (numero == 1) {
            enteteLisible = std::any_of(ligne.begin(), ligne.end(),
                                        [](QChar c) { return c.isLetterOrNumber(); });
        } else if (blanche) {
            // Never shown, so skipped: an empty line, or the TABs that a
            // spreadsheet pads short rows with.
            blancs = blancs || !ligne.isEmpty();
        } else {
            CategorieImportee cat;
            const Ligne lue = lireLigneCategorie(ligne, cat, lignesMaxImport - lignes);
            if (lue == Ligne::Liste) {
                r.erreur = messageFichier(
                    chemin,
                    QStringLiteral(" est la liste lisible d'un thésaurus (ligne %1 : un acte "
                                   "suivi de son libellé, ou une phase), que l'import ne lit "
                                   "pas. Exportez le thésaurus au format « Text (*.txt) » et "
                                   "importez ce fichier-là.")
                        .arg(numero));
                r.categories.clear();
                return r;
            }
            lignes += 1 + static_cast<int>(cat.actes.size());
            if (lue == Ligne::TropLongue || lignes > lignesMaxImport) {
                r.erreur = messageFichier(
                    chemin, QStringLiteral(" compte plus de %1 catégories et actes : ce n'est "
                                           "pas un fichier de thésaurus.")
                                .arg(nombreFrancais(lignesMaxImport)));
                r.categories.clear();
                return r;
            }
            r.categories.push_back(std::move(cat));
        }
        // One line end: CR LF, LF or CR.
        if (fin < n && texte.at(fin) == u'\r') {
            ++fin;
            if (fin < n && texte.at(fin) == u'\n')
                ++fin;
        } else if (fin < n) {
            ++fin;
        }
        debut = fin;
    }
    if (r.categories.isEmpty() && (blancs || !enteteLisible))
        r.erreur = messageFichier(chemin, QStringLiteral(" ne contient que des tabulations et des "
                                                         "blancs : ce n'est pas un fichier de "
                                                         "thésaurus."));
    return r;
}
