#pragma once
// Every dialog is shown modally through executerModal(). The default runs the
// dialog's own event loop (QDialog::exec, installed by the widget library);
// tests replace it to drive the dialog and close it themselves.

#include <QObject>
#include <functional>

// Receives the dialog (a QDialog) and returns its result code.
using ExecuteurModal = std::function<int(QObject* dialogue)>;

int executerModal(QObject* dialogue);
// Installs an executor; returns the previous one so that a test can restore it.
ExecuteurModal installerExecuteurModal(ExecuteurModal executeur);
