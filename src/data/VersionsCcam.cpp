#include "VersionsCcam.h"

#include "Data.h"
#include "DataError.h"
#include "Recordset.h"

#include <QRegularExpression>

VersionCcam versionDuTitre(const QString& titre) {
    static const QRegularExpression numero(QStringLiteral("version\\s+([0-9A-Za-z.]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression applicable(
        QStringLiteral("applicable\\s+(?:au\\s+|le\\s+)?([0-9]{2}/[0-9]{2}/[0-9]{4})"),
        QRegularExpression::CaseInsensitiveOption);
    return {numero.match(titre).captured(1), applicable.match(titre).captured(1)};
}

QString versionCcamChargee() {
    try {
        RecordsetPtr rs = Data().CreeRecordset(
            QStringLiteral("SELECT Titre FROM Versions_Ccam ORDER BY Ordre DESC"));
        if (!rs || rs->RecordCount() == 0)
            return {};
        rs->MoveFirst();
        return rs->Fields(0).toString();
    } catch (const DataError&) {
        return {}; // a database written before versions were recorded
    }
}

std::optional<ActeRetire> acteRetire(const QString& code) {
    try {
        RecordsetPtr rs = Data().CreeRecordset(
            QStringLiteral("SELECT AMCODE, Libelle, PositionH, Version_Retrait FROM "
                           "Actes_Retires WHERE AMCODE = '") +
            doublerQuotes(codeEnMajuscules(code)) + QStringLiteral("'"));
        if (!rs || rs->RecordCount() == 0)
            return std::nullopt;
        rs->MoveFirst();
        return ActeRetire{rs->Fields(0).toString(), rs->Fields(1).toString(),
                          rs->Fields(2).toString(), rs->Fields(3).toString()};
    } catch (const DataError&) {
        return std::nullopt;
    }
}

bool retraitsEnregistres() {
    try {
        Data().CreeRecordset(QStringLiteral("SELECT AMCODE FROM Actes_Retires WHERE 1 = 0"));
        return true;
    } catch (const DataError&) {
        return false;
    }
}

QString libelleMarque(const QString& libelle, bool retire, const QString& version) {
    if (!retire)
        return libelle;
    return (libelle.isEmpty() ? QString() : libelle + QLatin1Char(' ')) + QLatin1Char('(') +
           texteRetrait(version) + QLatin1Char(')');
}

QString texteRetrait(const QString& version) {
    return version.isEmpty() ? QStringLiteral("retiré de la CCAM")
                             : QStringLiteral("retiré de la CCAM en version ") + version;
}

QString texteActeAbsent(const QString& code) {
    if (const auto retire = acteRetire(code))
        return QStringLiteral("L'acte ") + retire->code + QStringLiteral(" a été ") +
               texteRetrait(retire->version) + QStringLiteral(" ; son dernier libellé : «\u00a0") +
               retire->libelle +
               QStringLiteral("\u00a0». La CCAM chargée ne le décrit plus : il n'a ni activité, "
                              "ni tarif, ni note à afficher. Remplacez-le dans le thésaurus par un "
                              "acte de la version chargée («\u00a0Actes à remplacer\u00a0»).");
    return QStringLiteral("L'acte ") + code +
           QStringLiteral(" n'existe pas dans la CCAM chargée : il n'y a rien à afficher.");
}
