#include "QtMessages.h"

#include "QtCurseur.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QMessageBox::Icon iconeQt(Icone icone) {
    switch (icone) {
    case Icone::Information:
        return QMessageBox::Information;
    case Icone::Exclamation:
        return QMessageBox::Warning;
    case Icone::Question:
        return QMessageBox::Question;
    case Icone::Critique:
        return QMessageBox::Critical;
    case Icone::Aucune:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boutonsQt(Boutons boutons) {
    switch (boutons) {
    case Boutons::OuiNon:
    case Boutons::OuiNonDefautNon:
        return QMessageBox::Yes | QMessageBox::No;
    case Boutons::OkAnnuler:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Boutons::OuiNonAnnuler:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Boutons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

Reponse reponse(int bouton) {
    switch (bouton) {
    case QMessageBox::Yes:
        return Reponse::Oui;
    case QMessageBox::No:
        return Reponse::Non;
    case QMessageBox::Cancel:
        return Reponse::Annuler;
    default:
        return Reponse::Ok;
    }
}
} // namespace

Reponse QtMessages::afficher(const QString& texte, const QString& titre, Icone icone,
                             Boutons boutons) {
    QMessageBox boite(iconeQt(icone), titre, texte, boutonsQt(boutons),
                      QApplication::activeWindow());
    // Messages quote names and labels typed by users: never read them as markup.
    boite.setTextFormat(Qt::PlainText);
    // The first button is the default one, as in every message of the
    // program, but for a question whose "Oui" destroys data: "Non" there.
    if (boutons == Boutons::OuiNon || boutons == Boutons::OuiNonAnnuler)
        boite.setDefaultButton(QMessageBox::Yes);
    else if (boutons == Boutons::OuiNonDefautNon)
        boite.setDefaultButton(QMessageBox::No);
    // Escape or the close box answer as the box's cancel button (No for a
    // Yes/No question): QMessageBox picks that button itself.
    CurseurSuspendu attenteUtilisateur;
    return reponse(boite.exec());
}
