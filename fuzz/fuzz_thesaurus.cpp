// Fuzz target of the thesaurus file reader (the bytes of a file, as the
// import reads them; no database): either categories or a French message,
// never a crash, and what is accepted is what the import may write: labels
// without TAB or line end, act codes non-empty, trimmed and upper case, no
// control character, at most lignesMaxImport categories and acts.

#include "EchangeThesaurus.h"

#include <cstdint>
#include <cstdlib>

namespace {
bool controle(const QString& texte) {
    for (const QChar c : texte)
        if (c.category() == QChar::Other_Control)
            return true;
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    const QByteArray octets =
        QByteArray::fromRawData(reinterpret_cast<const char*>(donnees), qsizetype(taille));
    const LectureThesaurus lu = lireTexteThesaurus(octets, QStringLiteral("fuzz.txt"));
    if (!lu.erreur.isEmpty()) {
        if (!lu.categories.isEmpty() || !lu.erreur.startsWith(QStringLiteral("Le fichier")))
            std::abort();
        return 0;
    }
    qsizetype lignes = 0;
    for (const CategorieImportee& cat : lu.categories) {
        if (controle(cat.libelle) || (cat.libelle.trimmed().isEmpty() && cat.actes.isEmpty()))
            std::abort();
        for (const QString& code : cat.actes)
            if (code.isEmpty() || code != code.trimmed() || code != code.toUpper() ||
                controle(code))
                std::abort();
        lignes += 1 + cat.actes.size();
    }
    if (lignes > lignesMaxImport)
        std::abort();
    return 0;
}
