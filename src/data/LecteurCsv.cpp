#include "LecteurCsv.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Length of the UTF-8 sequence starting at p (0 when it is not valid UTF-8:
// stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut).
int longueurSequenceUtf8(const unsigned char* p, const unsigned char* fin) {
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int n = 0;
    unsigned int min = 0;
    unsigned int code = 0;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
        code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
        code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (fin - p < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

// A file saved as "Unicode" text (UTF-16, or UTF-32): its byte order mark,
// or, without one, a NUL byte beside every ASCII character.
bool estUtf16(const QByteArray& octets) {
    if (octets.startsWith("\xFF\xFE") || octets.startsWith("\xFE\xFF"))
        return true;
    if (octets.size() < 4)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(octets.constData());
    return (p[0] != 0 && p[1] == 0 && p[2] != 0 && p[3] == 0) ||
           (p[0] == 0 && p[1] != 0 && p[2] == 0 && p[3] != 0);
}

// Every line end (CR LF, or CR alone as older Mac spreadsheets write it)
// becomes LF, so that records, line numbers and fields come out the same.
QByteArray unifierFinsDeLigne(QByteArray octets) {
    if (!octets.contains('\r'))
        return octets;
    octets.replace("\r\n", "\n");
    octets.replace('\r', '\n');
    return octets;
}

// Checks that the bytes are UTF-8 text; names the line of the first fault.
void verifierTexteUtf8(const QByteArray& octets, const QString& nomFichier) {
    const qsizetype nul = octets.indexOf('\0');
    if (nul >= 0)
        throw ErreurImport(QStringLiteral("Le fichier « %1 » n'est pas un fichier texte : il "
                                          "contient des octets nuls (ligne %2).")
                               .arg(nomFichier)
                               .arg(octets.left(nul).count('\n') + 1));
    const auto* p = reinterpret_cast<const unsigned char*>(octets.constData());
    const auto* fin = p + octets.size();
    int ligne = 1;
    while (p < fin) {
        if (*p == '\n')
            ++ligne;
        const int n = longueurSequenceUtf8(p, fin);
        if (n == 0)
            throw ErreurImport(
                QStringLiteral(
                    "Le fichier « %1 » n'est pas encodé en UTF-8 (ligne %2, octet 0x%3) : "
                    "enregistrez-le en CSV UTF-8.")
                    .arg(nomFichier)
                    .arg(ligne)
                    .arg(QString::number(*p, 16).toUpper()));
        p += n;
    }
}

} // namespace

std::vector<EnregistrementCsv> LecteurCsv::analyser(const QByteArray& brut, char separateur,
                                                    const QString& nomFichier) {
    if (estUtf16(brut))
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est enregistré en Unicode (UTF-16) : "
                                          "ouvrez-le dans le tableur et enregistrez-le en « CSV "
                                          "UTF-8 », puis recommencez.")
                               .arg(nomFichier));
    const QByteArray octets = unifierFinsDeLigne(brut);
    verifierTexteUtf8(octets, nomFichier);
    QString texte = QString::fromUtf8(octets);
    if (texte.startsWith(QChar(0xFEFF)))
        texte.remove(0, 1);

    std::vector<EnregistrementCsv> enregistrements;
    const QChar sep = QLatin1Char(separateur);
    const qsizetype n = texte.size();
    const QChar* s = texte.constData();
    int ligne = 1;
    qsizetype i = 0;
    while (i < n) {
        EnregistrementCsv e;
        e.ligne = ligne;
        QString champ;
        bool finEnregistrement = false;
        while (!finEnregistrement) {
            champ.clear();
            if (i < n && s[i] == QLatin1Char('"')) {
                const int ligneGuillemet = ligne;
                ++i;
                for (;;) {
                    const qsizetype guillemet = texte.indexOf(QLatin1Char('"'), i);
                    if (guillemet < 0)
                        throw ErreurImport(
                            QStringLiteral("Le fichier « %1 » est incomplet : le champ entre "
                                           "guillemets ouvert ligne %2 n'est jamais fermé.")
                                .arg(nomFichier)
                                .arg(ligneGuillemet));
                    const QStringView morceau(s + i, guillemet - i);
                    ligne += static_cast<int>(morceau.count(QLatin1Char('\n')));
                    champ += morceau;
                    i = guillemet + 1;
                    if (i < n && s[i] == QLatin1Char('"')) {
                        champ += QLatin1Char('"'); // doubled quote
                        ++i;
                        continue;
                    }
                    break;
                }
                // Text after the closing quote up to the separator is kept, as
                // spreadsheets do.
                while (i < n && s[i] != sep && s[i] != QLatin1Char('\n'))
                    champ += s[i++];
            } else {
                const qsizetype debut = i;
                while (i < n && s[i] != sep && s[i] != QLatin1Char('\n'))
                    ++i;
                champ = texte.mid(debut, i - debut);
            }
            e.champs.append(champ);
            if (i >= n) {
                finEnregistrement = true;
            } else if (s[i] == sep) {
                ++i;
            } else { // a line end
                ++i;
                ++ligne;
                finEnregistrement = true;
            }
        }
        enregistrements.push_back(std::move(e));
    }
    return enregistrements;
}

std::vector<EnregistrementCsv> LecteurCsv::lireFichier(const QString& chemin, char separateur) {
    const QString nom = QFileInfo(chemin).fileName();
    QFile f(chemin);
    if (QFileInfo(chemin).isDir())
        throw ErreurImport(
            QStringLiteral("« %1 » est un dossier, pas un fichier CSV.").arg(chemin));
    if (!QFileInfo(chemin).isFile())
        throw ErreurImport(QStringLiteral("Le fichier « %1 » est introuvable.").arg(chemin));
    if (!f.open(QIODevice::ReadOnly))
        throw ErreurImport(QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2.")
                               .arg(chemin, f.errorString()));
    return analyser(f.readAll(), separateur, nom);
}
