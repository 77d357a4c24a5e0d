#pragma once
// Per-user settings under the application name "Tarvenor". Every section and
// key the program uses is named here, with its default, in one place.

#include <QString>

namespace Parametres {

struct Cle {
    const char* section;
    const char* nom;
};

inline constexpr Cle CheminBase{"PARAM", "CheminBase"};
inline constexpr Cle NomUtilisateur{"PARAM", "NomUtilisateur"};
// The CCAM version loaded in the remembered database at the last login,
// shown by the login window before any database is opened.
inline constexpr Cle VersionCcam{"PARAM", "VersionCcam"};
inline constexpr Cle MainLeft{"Settings", "MainLeft"};
inline constexpr Cle MainTop{"Settings", "MainTop"};
inline constexpr Cle MainWidth{"Settings", "MainWidth"};
inline constexpr Cle MainHeight{"Settings", "MainHeight"};
// The window's placement as Qt saves it (base64), read before the four above.
inline constexpr Cle MainGeometry{"Settings", "MainGeometry"};
// The folder of the last file chosen for an export, an import or a PDF.
inline constexpr Cle DernierDossier{"Settings", "DernierDossier"};
// Share of the search side beside the act details, in thousandths of the
// width, one per window that has them side by side.
inline constexpr Cle SeparationMedecin{"Settings", "SeparationMedecin"};
inline constexpr Cle SeparationDIM{"Settings", "SeparationDIM"};
inline constexpr Cle SeparationRecherche{"Settings", "SeparationRecherche"};

QString lire(Cle cle, const QString& defaut = QString());
// Writes the value; the settings file is then readable by its owner only.
void ecrire(Cle cle, const QString& valeur);

// Tests redirect the store to an INI file of their own (empty = the user's
// real store).
void redirigerVers(const QString& fichierIni);

} // namespace Parametres
