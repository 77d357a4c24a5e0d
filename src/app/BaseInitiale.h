#pragma once
// The database the login offers on a new account. The program looks for
// DATA/BD.mdb under its own folder; an installed program (/usr/bin) has no
// such folder and cannot make one, so a new user gets a demonstration
// database of his own in his data folder, made once, and starts on it.

#include <QString>

struct BaseInitiale {
    QString chemin;                  // the path the login dialog offers
    bool demonstrationCreee = false; // the demonstration database was made just now
    QString message;                 // empty, or a French explanation shown before the login
};

// The demonstration database's file name in the user's data folder.
inline constexpr const char* nomBaseUtilisateur = "BD.mdb";

// Decides, and makes the demonstration database when it must:
// - a remembered path (the login's setting) or an existing default: the
//   default, nothing made;
// - a default missing in a DATA folder that exists and can be written to: the
//   default as well (the login then says the file is missing, and the
//   administrator puts the database there or loads one with tarvenor_import);
// - otherwise dossierDonnees/BD.mdb, made with the demonstration content when
//   it does not exist, used as it is when it is a database of this program.
//   Any other file there is never replaced: it is offered with a message.
//   When the demonstration database cannot be made, the default is offered
//   with a message saying why.
BaseInitiale cheminBaseInitial(const QString& cheminDefaut, const QString& cheminMemorise,
                               const QString& dossierDonnees);
