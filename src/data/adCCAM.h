#pragma once
// Repository of the classification (read only) and of the thesaurus tables.
// Every operation reports a failure under "ERREUR" and returns its empty
// result. The sql* functions build the exact SQL text each operation sends;
// text values are always quote-doubled (codes of the classification are left
// unchanged by it). The operations put act codes in capitals before they are
// written or looked up (codeEnMajuscules), as the classification writes them.

#include "Recordset.h"

#include <QString>
#include <QStringList>

class Connexion;

class adCCAM {
public:
    // ---- Nomenclature
    RecordsetPtr getActe(const QString& a_code, const QString& a_activite,
                         const QString& a_phase = QString()) const;
    RecordsetPtr getPhases(const QString& a_acte) const;
    RecordsetPtr getActivites(const QString& a_acte, const QString& a_phase = QString()) const;
    RecordsetPtr getListSystemes() const;
    RecordsetPtr getListOrganes(const QString& ORSYSTEME) const;
    RecordsetPtr getListActes_ParOrgane(const QString& ORCODE) const;
    RecordsetPtr getHierar(qint16 a_hier, const QString& a_par) const;
    RecordsetPtr getListActes_ParHierar(const QString& a_pos) const;
    QString getLibellePosition(const QString& a_pos) const;
    RecordsetPtr getCodesProcedure(const QString& a_proc) const;
    RecordsetPtr getProceduresParActe(const QString& a_acte) const;
    RecordsetPtr getIncompatibilites(const QString& a_acte) const;
    // The number of acts getIncompatibilites lists, without reading them (an
    // act of the national CCAM has up to several thousand); -1 on failure.
    int compterIncompatibilites(const QString& a_acte) const;
    // The first act, in code order, that getIncompatibilites lists among
    // a_codes (the basket's); empty when none, or on failure.
    QString premierIncompatibleParmi(const QString& a_acte, const QStringList& a_codes) const;
    RecordsetPtr getActesComplementaires(const QString& a_acte, const QString& a_activite) const;
    RecordsetPtr getListeModificateurs(const QString& a_acte, const QString& a_activite) const;
    RecordsetPtr getListeNotesUtilisation(const QString& a_acte) const;
    RecordsetPtr getNotesUtilisationHier(const QString& a_code) const;
    RecordsetPtr getExtDoc(const QString& a_code, const QString& a_activite) const;
    QString getExoneration(const QString& a_code, const QString& a_activite,
                           const QString& a_phase) const;
    QString getRegroupement(const QString& a_code, const QString& a_activite,
                            const QString& a_phase) const;

    // ---- Thesaurus tables
    void suppCatTheserus(long a_code) const;
    void suppActeTheserus(long a_cat, const QString& a_code, const QString& a_act) const;
    void insererActeTheserus(long a_cat, const QString& a_code, const QString& a_act,
                             const QString& a_lib) const;
    void insererCategorie(const QString& a_Lien, const QString& a_lib, int a_type) const;
    long insererCatAndGetCode(const QString& a_Lien, const QString& a_lib, int a_type) const;
    void modifLibelleCategorie(long a_code, const QString& a_lib) const;
    RecordsetPtr getCategoriesThesaurus(const QString& a_Lien, int a_type) const;
    RecordsetPtr getActesCatTheserus(long a_cat) const;
    bool ActeExisteDansCat(const QString& a_acte, long a_cat) const;
    // Every act stored in a category, those the loaded version lacks
    // included, in code order: AMCODE, AT_ACTIVITE, Libelle_Complet (the
    // loaded version's label, else the last label a load recorded for a
    // retired code, else empty) and Retrait (NULL for an act of the loaded
    // version, else the version that retired it, empty when not known).
    // retraitsEnregistres: the database has the table of retired codes.
    RecordsetPtr getTousActesCategorie(long a_cat, bool retraitsEnregistres) const;
    // The same for every category of one owner's thesaurus at once, each
    // row with its category (AT_CAT), in category code then act code order.
    RecordsetPtr getTousActesThesaurus(const QString& a_Lien, int a_type,
                                       bool retraitsEnregistres) const;
    // What is printed under many acts, read at once (codes put in capitals;
    // nothing for an empty list):
    //  - the phases that have a label: AMCODE, Phase, Libelle_Phase, by act
    //    code, then in the order of the act's first activity holding them,
    //    then by phase (the order of getPhases on SQLite);
    //  - the complementary acts of an activity: Acte1 (the act) and Acte2,
    //    one row for each different complement and activity of complement,
    //    by act then complement code. Joined with the labels of the
    //    complements (getLibellesDesActes), they make the rows of
    //    getActesComplementaires, in its order, without reading the
    //    classification once for each pair;
    //  - the labels of acts: AMCODE, Libelle_Complet, one row for each
    //    different full and short label of the code, in code order, then in
    //    the order of their first activity.
    RecordsetPtr getPhasesDesActes(const QStringList& a_actes) const;
    RecordsetPtr getActesComplementairesDesActes(const QStringList& a_actes,
                                                 const QString& a_activite) const;
    RecordsetPtr getLibellesDesActes(const QStringList& a_actes) const;

    // Same as insererCatAndGetCode, on a connection the caller holds (inside
    // its own transaction); throws DataError instead of reporting.
    static long insererCatAndGetCode(Connexion& c, const QString& a_Lien, const QString& a_lib,
                                     int a_type);
    // The key of the write lock of one owner's thesaurus (Connexion::verrouiller):
    // whoever replaces it, deletes one of its categories or adds acts to one
    // takes it inside his transaction.
    static QString cleVerrouThesaurus(int a_type, const QString& a_Lien);
    // Inside the caller's transaction: takes the lock of the thesaurus the
    // category belongs to, then reads again whether the category exists.
    // False when it no longer does (deleted by another copy of the program):
    // nothing may be added to it. Throws DataError.
    static bool verrouillerCategorie(Connexion& c, long a_cat);

    // ---- SQL texts
    static QString sqlGetActe(const QString& a_code, const QString& a_activite,
                              const QString& a_phase);
    static QString sqlGetPhases(const QString& a_acte);
    static QString sqlGetActivites(const QString& a_acte, const QString& a_phase);
    static QString sqlGetListSystemes();
    static QString sqlGetListOrganes(const QString& ORSYSTEME);
    static QString sqlGetListActes_ParOrgane(const QString& ORCODE);
    static QString sqlGetHierar(qint16 a_hier, const QString& a_par);
    static QString sqlGetListActes_ParHierar(const QString& a_pos);
    // Empty when the position's length is not that of a hierarchy code.
    static QString sqlGetLibellePosition(const QString& a_pos);
    static QString sqlGetCodesProcedure(const QString& a_proc);
    static QString sqlGetProceduresParActe(const QString& a_acte);
    static QString sqlGetIncompatibilites(const QString& a_acte);
    static QString sqlCompterIncompatibilites(const QString& a_acte);
    static QString sqlPremierIncompatibleParmi(const QString& a_acte, const QStringList& a_codes);
    static QString sqlGetActesComplementaires(const QString& a_acte, const QString& a_activite);
    static QString sqlGetListeModificateurs(const QString& a_acte, const QString& a_activite);
    static QString sqlGetListeNotesUtilisation(const QString& a_acte);
    static QString sqlGetNotesUtilisationHier(const QString& a_code);
    static QString sqlGetExtDoc(const QString& a_code, const QString& a_activite);
    static QString sqlGetExoneration(const QString& a_code, const QString& a_activite,
                                     const QString& a_phase);
    static QString sqlGetRegroupement(const QString& a_code, const QString& a_activite,
                                      const QString& a_phase);

    static QStringList sqlSuppCatTheserus(long a_code);
    // Deletes the acts whose category no longer exists (left by a version
    // that did not check it).
    static QString sqlSupprimerActesOrphelins();
    static QString sqlSuppActeTheserus(long a_cat, const QString& a_code);
    static QString sqlInsererActeTheserus(long a_cat, const QString& a_code, const QString& a_act,
                                          const QString& a_lib);
    static QString sqlInsererCategorie(const QString& a_Lien, const QString& a_lib, int a_type);
    static QString sqlModifLibelleCategorie(long a_code, const QString& a_lib);
    static QString sqlGetCategoriesThesaurus(const QString& a_Lien, int a_type);
    static QString sqlGetActesCatTheserus(long a_cat);
    static QString sqlActeExisteDansCat(const QString& a_acte, long a_cat);
    static QString sqlGetTousActesCategorie(long a_cat, bool retraitsEnregistres);
    static QString sqlGetTousActesThesaurus(const QString& a_Lien, int a_type,
                                            bool retraitsEnregistres);
    static QString sqlGetPhasesDesActes(const QStringList& a_actes);
    static QString sqlGetActesComplementairesDesActes(const QStringList& a_actes,
                                                      const QString& a_activite);
    static QString sqlGetLibellesDesActes(const QStringList& a_actes);
};
