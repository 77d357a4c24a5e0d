#pragma once
// Installs the Qt implementations of every platform hook (messages, modal
// dialogs, file choosers, busy pointer, wait window) and makes Qt's own texts
// French. Called once, after the QApplication is created.

void installerPlateformeQt();

// Loads Qt's French translations and makes French the default locale.
// Returns false when the translation files are not installed.
bool installerFrancais();
