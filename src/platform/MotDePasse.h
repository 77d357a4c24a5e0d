#pragma once
// The password of a database server account, asked of the user when the
// server wants one that ~/.pgpass does not give. The widget library installs
// a dialog; tests install a scripted answer; without one (command-line
// tools) nothing is asked.

#include <QString>
#include <functional>
#include <optional>

// Returns the typed password, or nothing when the user cancelled.
using DemandeMotDePasse = std::function<std::optional<QString>(const QString& question)>;

void installerDemandeMotDePasse(DemandeMotDePasse demande);
// nullopt when nothing is installed or the user cancelled.
std::optional<QString> demanderMotDePasse(const QString& question);
