#include "ThesaurusDeTest.h"

#include "BaseDeTest.h"

namespace {
long categorie(const BaseDeTest& base, const QString& lien, int type, const QString& libelle,
               const QStringList& actes) {
    base.executer(QStringLiteral("INSERT INTO CategorieThesaurus (CT_TYPE, CT_LIB, CT_LIEN) "
                                 "VALUES (%1, '%2', '%3')")
                      .arg(type)
                      .arg(libelle, lien));
    const long code =
        static_cast<long>(base.compter("SELECT max(CT_CODE) FROM CategorieThesaurus"));
    for (const QString& a : actes) {
        const QStringList p = a.split(u'/');
        base.executer(QStringLiteral("INSERT INTO Acte_Thesaurus VALUES ('%1', %2, '%3', '')")
                          .arg(p[0])
                          .arg(code)
                          .arg(p.value(1)));
    }
    return code;
}
} // namespace

ThesaurusDeTest remplirThesaurusDeTest(const BaseDeTest& base) {
    const char* ccam[] = {
        "('ACTE001', '1', '1', 'Première phase', 'Acte un, premier temps')",
        "('ACTE001', '1', '2', 'Deuxième phase', 'Acte un, premier temps')",
        "('ACTE001', '4', '1', 'Première phase', 'Acte un, premier temps')",
        "('ACTE002', '1', '0', NULL, 'Acte deux')",
        "('COMP001', '1', '0', NULL, 'Complément pour l''activité 1')",
        "('COMP002', '1', '0', NULL, 'Complément pour l''activité 4')",
    };
    for (const char* v : ccam)
        base.executer(QStringLiteral("INSERT INTO CCAM (AMCODE, Activite, Phase, Libelle_Phase, "
                                     "Libelle_Complet) VALUES ") +
                      QString::fromUtf8(v));
    base.executer("INSERT INTO Actes_Associes VALUES ('ACTE001', '1', 'COMP001', '1')");
    base.executer("INSERT INTO Actes_Associes VALUES ('ACTE001', '4', 'COMP002', '1')");
    base.executer("INSERT INTO Medecin VALUES ('MED1', 'Dr Martin', '12345', 'UM1', '1', 7)");
    base.executer("INSERT INTO UniteMedicale VALUES ('UM1', 'Cardiologie')");
    ThesaurusDeTest t;
    t.bilan = categorie(base, "MED1", 2, "Bilan", {"ACTE001/1", "ACTE001/4", "ACTE002"});
    t.autres = categorie(base, "MED1", 2, "Autres", {});
    t.zebre = categorie(base, "MED1", 2, "Zèbre", {"ACTE001", "FANT001"});
    t.urgences = categorie(base, "UM1", 1, "Urgences", {"ACTE002", "ACTE001"});
    t.vide = categorie(base, "UM1", 1, "Vide", {});
    return t;
}
