-- Tables of a Tarvenor database. Types are those the program relies on:
-- INTEGER for long integers, REAL for numbers and tariffs, DATE for dates
-- (ISO text), TEXT otherwise.

-- Application tables
CREATE TABLE Utilisateur (
    UTI_CODE INTEGER PRIMARY KEY AUTOINCREMENT,
    UTI_LOGIN TEXT,
    UTI_PWD TEXT,
    UTI_GROUP TEXT,
    UTI_EMAIL TEXT,
    UTI_CREATE DATE,
    UTI_UPDATE DATE
);
CREATE INDEX idx_Utilisateur_login ON Utilisateur(UTI_LOGIN);

CREATE TABLE Medecin (
    MED_CODE TEXT,
    MED_LIB TEXT,
    MED_CODEN TEXT,
    MED_UM TEXT,
    MED_ACT TEXT,
    MED_CODEUTI INTEGER
);
CREATE INDEX idx_Medecin_uti ON Medecin(MED_CODEUTI);

CREATE TABLE UniteMedicale (
    UM_Code TEXT,
    UM_LIB TEXT
);

-- Thesaurus tables
CREATE TABLE CategorieThesaurus (
    CT_CODE INTEGER PRIMARY KEY AUTOINCREMENT,
    CT_TYPE INTEGER,
    CT_LIB TEXT,
    CT_LIEN TEXT
);
CREATE INDEX idx_CategorieThesaurus_lien ON CategorieThesaurus(CT_LIEN, CT_TYPE);

CREATE TABLE Acte_Thesaurus (
    AT_Acte TEXT,
    AT_CAT INTEGER,
    AT_ACTIVITE TEXT,
    AT_LIB TEXT
);
CREATE INDEX idx_Acte_Thesaurus_cat ON Acte_Thesaurus(AT_CAT);

-- Classification tables (read only for the program)
CREATE TABLE CCAM (
    AMCODE TEXT,
    Activite TEXT,
    Libelle_Activite TEXT,
    Phase TEXT,
    Libelle_Phase TEXT,
    Tarif REAL,
    ICR REAL,
    Libelle_Court TEXT,
    Libelle_Complet TEXT,
    Libelle_sans_accent TEXT,
    Libelle_simplifie TEXT,
    PositionH TEXT,
    Caractere_classant TEXT,
    Exo_TM TEXT,
    Regroupement TEXT
);
CREATE INDEX idx_CCAM_code ON CCAM(AMCODE, Activite, Phase);
CREATE INDEX idx_CCAM_position ON CCAM(PositionH);
-- Full-text index of the labels and vocabulary of the classification,
-- refilled with it by every load (IndexLibelles).
CREATE VIRTUAL TABLE CCAM_Recherche USING fts5(AMCODE UNINDEXED, Libelles, tokenize='trigram', columnsize=0);
CREATE TABLE CCAM_Vocabulaire (Mot TEXT PRIMARY KEY, Forme TEXT, Frequence INTEGER) WITHOUT ROWID;
CREATE TABLE CCAM_Recherche_Etat (Valide INTEGER, Vocabulaire TEXT);
INSERT INTO CCAM_Recherche_Etat (Valide) VALUES (1);
CREATE TRIGGER CCAM_Recherche_ajout AFTER INSERT ON CCAM BEGIN DELETE FROM CCAM_Recherche_Etat; END;
CREATE TRIGGER CCAM_Recherche_modification AFTER UPDATE OF AMCODE, Libelle_Complet, Libelle_sans_accent, Libelle_simplifie ON CCAM BEGIN DELETE FROM CCAM_Recherche_Etat; END;
CREATE TRIGGER CCAM_Recherche_suppression AFTER DELETE ON CCAM BEGIN DELETE FROM CCAM_Recherche_Etat; END;

CREATE TABLE "Systèmes" (
    SYCODE TEXT,
    SYLIBELLE TEXT
);

CREATE TABLE ORGANES (
    ORCODE TEXT,
    ORLIBELLE TEXT,
    ORSYSTEME TEXT
);

CREATE TABLE Hierarchie1 (Code TEXT, Libelle TEXT);
CREATE TABLE Hierarchie2 (Code TEXT, Libelle TEXT);
CREATE TABLE Hierarchie3 (Code TEXT, Libelle TEXT);
CREATE TABLE Hierarchie4 (Code TEXT, Libelle TEXT);

CREATE TABLE Actes_Procedures (Acte1 TEXT, Acte2 TEXT);
CREATE INDEX idx_Actes_Procedures_1 ON Actes_Procedures(Acte1);
CREATE INDEX idx_Actes_Procedures_2 ON Actes_Procedures(Acte2);

CREATE TABLE Actes_Associes (Acte1 TEXT, activite1 TEXT, Acte2 TEXT, Activite2 TEXT);
CREATE INDEX idx_Actes_Associes ON Actes_Associes(Acte1, activite1);

CREATE TABLE Actes_Incompatibles (acte1 TEXT, acte2 TEXT);
CREATE INDEX idx_Actes_Incompatibles_1 ON Actes_Incompatibles(acte1);
CREATE INDEX idx_Actes_Incompatibles_2 ON Actes_Incompatibles(acte2);

-- Where the rules of the loaded classification come from (one row per kind:
-- INCOMPATIBILITES, PROCEDURES, PHASES), and the acts each kind's base knows.
CREATE TABLE Sources_Regles (Regle TEXT, Base TEXT, Version TEXT, Date_Base TEXT, Fichier TEXT, Lignes INTEGER, Retenues INTEGER, Ecartees INTEGER, Sans_Ligne INTEGER, Tirees_Des_Notes INTEGER, Tous_Actes INTEGER);
CREATE TABLE Sources_Regles_Actes (Regle TEXT, AMCODE TEXT);
CREATE INDEX idx_Sources_Regles_Actes ON Sources_Regles_Actes(Regle, AMCODE);
-- The versions loaded (the last one is in place), and the codes each load
-- retired with their last label: thesauri keep them.
CREATE TABLE Versions_Ccam (Ordre INTEGER, Version TEXT, Titre TEXT, Applicable TEXT, Charge_Le TEXT);
CREATE TABLE Actes_Retires (AMCODE TEXT, Libelle TEXT, PositionH TEXT, Version_Retrait TEXT, Derniere_Version TEXT);
CREATE INDEX idx_Actes_Retires ON Actes_Retires(AMCODE);

CREATE TABLE Modificateurs (Code TEXT, Libelle TEXT, Tarif REAL, Pourcentage REAL);

CREATE TABLE Acte_Modificateur (AMCODE TEXT, Activite TEXT, Modificateur TEXT);
CREATE INDEX idx_Acte_Modificateur ON Acte_Modificateur(AMCODE, Activite);

CREATE TABLE Notes_Utilisation_Actes (AMCODE TEXT, Note_Utilisation TEXT);
CREATE INDEX idx_Notes_Utilisation_Actes ON Notes_Utilisation_Actes(AMCODE);

CREATE TABLE Notes_Hierarchie (Code TEXT, Note_Hierarchie TEXT);
CREATE INDEX idx_Notes_Hierarchie ON Notes_Hierarchie(Code);

CREATE TABLE Extension_documentaire (Id_extension INTEGER, Code TEXT, Libelle TEXT);

CREATE TABLE Actes_extension_documentaire (Id_extension INTEGER, AMCODE TEXT, Activite TEXT);
CREATE INDEX idx_Actes_extension_documentaire ON Actes_extension_documentaire(AMCODE, Activite);

CREATE TABLE Exo_TM (Code TEXT, Libelle TEXT);

CREATE TABLE Regroupement (Code TEXT, Libelle TEXT);
