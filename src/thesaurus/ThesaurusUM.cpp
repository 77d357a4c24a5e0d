#include "ThesaurusUM.h"

#include "Data.h"
#include "DataError.h"
#include "Globals.h"
#include "Medecin.h"
#include "VersionsCcam.h"
#include "adCCAM.h"

QString texteNoeudActe(const Acte& a) {
    return a.code + "  -  " + libelleMarque(a.libelle, a.retire, a.versionRetrait);
}

QList<NoeudThesaurusUM> noeudsThesaurusUM(const QString& a_UM) {
    QList<NoeudThesaurusUM> noeuds;
    noeuds.append({"N" + a_UM, "Thésaurus de l'UM : " + a_UM, 0});
    RecordsetPtr categories = accesCCAM.getCategoriesThesaurus(a_UM, 1);
    const bool retraits = retraitsEnregistres();
    for (; categories && !categories->isEOF(); categories->MoveNext()) {
        const long code = categories->Fields(QStringLiteral("CT_CODE")).toLongLong();
        const QString codeCat = QString::number(code);
        noeuds.append(
            {"C" + codeCat, valeurTexte(categories->Fields(QStringLiteral("CT_LIB"))), 1});
        for (const Acte& a : actesDeLaCategorie(code, retraits))
            noeuds.append({"A" + codeCat + " - " + a.code + " - " + a.activite, texteNoeudActe(a),
                           2, a.retire});
    }
    return noeuds;
}

QString messageCategorieSupprimee(const QString& a_libelle) {
    return QStringLiteral("La catégorie %1 a été supprimée par un autre utilisateur.")
        .arg(a_libelle);
}

Resultat ajouterActeCategorie(const QString& code, long a_categorie, const QString& a_libelle) {
    try {
        ConnexionPtr connexion = Data().CreeConnexion();
        Transaction transaction(*connexion);
        if (!adCCAM::verrouillerCategorie(*connexion, a_categorie))
            return Resultat::refus(messageCategorieSupprimee(a_libelle));
        RecordsetPtr existe =
            connexion->Ouvrir(adCCAM::sqlActeExisteDansCat(codeEnMajuscules(code), a_categorie));
        if (existe && !existe->isEOF())
            return Resultat::refus(QStringLiteral("Cet acte existe déja dans cette catégorie."),
                                   QStringLiteral("Erreur"), Icone::Information);
        connexion->Execute(adCCAM::sqlInsererActeTheserus(a_categorie, codeEnMajuscules(code),
                                                          QString(), QString()));
        transaction.valider();
    } catch (const DataError& e) {
        return Resultat::refus(e.description(), QStringLiteral("ERREUR"), Icone::Aucune);
    }
    return Resultat::fait();
}

Resultat ajouterActesCategorie(const QStringList& codes, long a_categorie,
                               const QString& a_libelle) {
    if (a_categorie < 0)
        return Resultat::refus(QStringLiteral("Vous devez choisir une catégorie."));
    if (codes.isEmpty())
        return Resultat::rien();
    try {
        ConnexionPtr connexion = Data().CreeConnexion();
        Transaction transaction(*connexion);
        if (!adCCAM::verrouillerCategorie(*connexion, a_categorie))
            return Resultat::refus(messageCategorieSupprimee(a_libelle));
        for (const QString& code : codes) {
            // An act is never stored twice in a category.
            RecordsetPtr existe =
                connexion->Ouvrir(adCCAM::sqlActeExisteDansCat(code, a_categorie));
            if (existe && existe->RecordCount() > 0)
                continue;
            connexion->Execute(
                adCCAM::sqlInsererActeTheserus(a_categorie, code, QString(), QString()));
        }
        transaction.valider();
    } catch (const DataError& e) {
        return Resultat::refus(e.description(), QStringLiteral("ERREUR"), Icone::Aucune);
    }
    oublierActeCourant();
    return Resultat::fait();
}

bool entreesMenuTheUM(QChar genre, QStringList& entrees) {
    entrees.clear();
    if (genre == 'A')
        entrees = {QStringLiteral("m_ajoutActe"), QStringLiteral("m_suppActe")};
    else if (genre == 'C')
        entrees = {QStringLiteral("m_ajoutActe"), QStringLiteral("m_suppCat"),
                   QStringLiteral("m_modifCat")};
    else if (genre != 'N')
        return false;
    return true;
}
