// Fuzz target of the CSV reader: any bytes, with either separator, either
// give records or an ErreurImport; never a crash. Every record starts on a
// line of the input, in order.

#include "LecteurCsv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    const QByteArray octets =
        QByteArray::fromRawData(reinterpret_cast<const char*>(donnees), qsizetype(taille));
    for (char separateur : {',', ';'}) {
        try {
            const std::vector<EnregistrementCsv> lus =
                LecteurCsv::analyser(octets, separateur, QStringLiteral("fuzz.csv"));
            int precedente = 0;
            for (const EnregistrementCsv& e : lus) {
                if (e.ligne <= precedente || e.ligne > octets.count('\n') + octets.count('\r') + 1)
                    std::abort();
                precedente = e.ligne;
            }
        } catch (const ErreurImport& e) {
            if (e.message().isEmpty())
                std::abort();
        }
    }
    return 0;
}
