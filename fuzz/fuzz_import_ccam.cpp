// Fuzz target of the CCAM spreadsheet import, reading and checking only (no
// database): any bytes either give a report or an ErreurImport with its
// message; never a crash.

#include "ImportCcam.h"

#include <QTemporaryFile>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    // The import reads a file by its name: one temporary file, rewritten for
    // each input.
    static QTemporaryFile fichier;
    if (!fichier.isOpen() && !fichier.open())
        std::abort();
    fichier.resize(0);
    fichier.seek(0);
    fichier.write(reinterpret_cast<const char*>(donnees), qint64(taille));
    fichier.flush();
    try {
        ImportCcam import(fichier.fileName());
        import.analyser();
    } catch (const ErreurImport& e) {
        if (e.message().isEmpty())
            std::abort();
    }
    return 0;
}
