#include "ModeEcran.h"

FenetreMode fenetreDuMode(ModeEcran mode) {
    switch (mode) {
    case ModeEcran::ThesaurusUM:
    case ModeEcran::ThesaurusMedecinDIM:
    case ModeEcran::AutresOngletsDIM:
        return FenetreMode::ThesaurusDIM;
    case ModeEcran::EspaceMedecin:
        return FenetreMode::ThesaurusMED;
    case ModeEcran::RechercheActe:
        return FenetreMode::RechercheActe;
    case ModeEcran::Administration:
        return FenetreMode::Administration;
    case ModeEcran::RapportUM:
    case ModeEcran::RapportMedecin:
        return FenetreMode::Rapport;
    case ModeEcran::Aucun:
        break;
    }
    return FenetreMode::Aucune;
}

QList<BoutonBarre> boutonsDuMode(ModeEcran mode) {
    switch (fenetreDuMode(mode)) {
    case FenetreMode::ThesaurusDIM:
        return {{QStringLiteral("b_imprimer"), QStringLiteral("i_imprimer"),
                 QStringLiteral("Imprimer le thésaurus")},
                {QStringLiteral("b_export"), QStringLiteral("i_export"),
                 QStringLiteral("Exporter le thésaurus")}};
    case FenetreMode::ThesaurusMED:
        return {{QStringLiteral("b_selection"), QStringLiteral("i_selection"),
                 QStringLiteral("Visualiser les actes sélectionnés ")},
                {QStringLiteral("b_selectionner"), QStringLiteral("i_selectionner2"),
                 QStringLiteral("Sélectionner cet acte")}};
    case FenetreMode::Administration:
    case FenetreMode::Rapport:
        return {{QStringLiteral("b_retour"), QStringLiteral("i_retour"), QStringLiteral("retour")}};
    case FenetreMode::RechercheActe:
    case FenetreMode::Aucune:
        break;
    }
    return {};
}

ModeEcran modeApresRetour(ModeEcran mode) {
    switch (mode) {
    case ModeEcran::Administration:
    case ModeEcran::RapportMedecin:
        return ModeEcran::ThesaurusMedecinDIM;
    case ModeEcran::RapportUM:
        return ModeEcran::ThesaurusUM;
    default:
        return mode;
    }
}

ModeEcran modeDuGroupe(const QString& groupe) {
    if (groupe == QLatin1String("ADMIN") || groupe == QLatin1String("DIM"))
        return ModeEcran::ThesaurusMedecinDIM;
    if (groupe == QLatin1String("MEDECIN"))
        return ModeEcran::EspaceMedecin;
    return ModeEcran::Aucun;
}

QString nomEspace(ModeEcran mode) {
    switch (mode) {
    case ModeEcran::ThesaurusUM:
        return QStringLiteral("Thésaurus d'une unité médicale");
    case ModeEcran::ThesaurusMedecinDIM:
        return QStringLiteral("Thésaurus d'un médecin");
    case ModeEcran::EspaceMedecin:
        return QStringLiteral("Thésaurus du médecin");
    case ModeEcran::RechercheActe:
        return QStringLiteral("Recherche d'un acte");
    case ModeEcran::Administration:
        return QStringLiteral("Administration");
    case ModeEcran::AutresOngletsDIM:
        return QStringLiteral("Département d'information médicale");
    case ModeEcran::RapportUM:
        return QStringLiteral("Rapport du thésaurus d'une unité médicale");
    case ModeEcran::RapportMedecin:
        return QStringLiteral("Rapport du thésaurus d'un médecin");
    case ModeEcran::Aucun:
        break;
    }
    return {};
}
