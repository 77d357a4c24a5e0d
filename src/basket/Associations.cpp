#include "Associations.h"

const std::array<CodeAssociation, 6>& codesAssociation() {
    static const std::array<CodeAssociation, 6> codes = {{
        {QString(), QString(), QStringLiteral("Rien")},
        {QStringLiteral("1"), QStringLiteral("100%"),
         QStringLiteral("1 : acte de tarif le plus élevé non réduit -->100%")},
        {QStringLiteral("2"), QStringLiteral("50%"), QStringLiteral("2 : acte réduit --> 50%")},
        {QStringLiteral("3"), QStringLiteral("75%"), QStringLiteral("3 : acte réduit --> 75%")},
        {QStringLiteral("4"), QStringLiteral("100%"),
         QStringLiteral("4 : actes spécifiques non réduits -->100%")},
        {QStringLiteral("5"), QStringLiteral("100%"),
         QStringLiteral("5 : actes non réduits car réalisés au cours d\u2019une même journée, "
                        "dans certains cas -->100%")},
    }};
    return codes;
}

QString tauxAssociation(const QString& code) {
    if (code.isEmpty())
        return {};
    for (const CodeAssociation& c : codesAssociation())
        if (c.code == code)
            return c.taux;
    return {};
}

void appliquerCodeAssociation(Acte& acte, int entree) {
    if (entree >= 0 && entree < int(codesAssociation().size()))
        acte.codeAss = codesAssociation()[size_t(entree)].code;
}
