#pragma once
// A larger national classification for tests and benchmarks: the same
// spreadsheet with every act repeated under new codes.

#include <QString>

// Writes into `dossier` a copy of the national spreadsheet `tableur` in which
// every act appears `facteur` times: the original, and facteur-1 copies under
// new codes that keep the act's first two letters (its organ) and its place in
// the hierarchy, with the same labels, rows and notes. Returns the path of the
// written CSV (readable by tarvenor_import / the importer), or an empty string
// on failure.
QString ecrireCcamAgrandie(const QString& tableur, int facteur, const QString& dossier);
