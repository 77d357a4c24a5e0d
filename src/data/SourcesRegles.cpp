#include "SourcesRegles.h"

#include "Data.h"
#include "DataError.h"
#include "Recordset.h"

#include <QLocale>

namespace {

QString nombre(int n) {
    return QLocale(QLocale::French).toString(n);
}

QString titreGenre(GenreRegle genre) {
    switch (genre) {
    case GenreRegle::Incompatibilites:
        return QStringLiteral("Actes incompatibles");
    case GenreRegle::Procedures:
        return QStringLiteral("Procédures");
    case GenreRegle::Phases:
        return QStringLiteral("ICR et caractère classant");
    }
    return {};
}

// What the rows of the file gave, by kind.
QString bilanFichier(const SourceRegles& s) {
    switch (s.genre) {
    case GenreRegle::Phases:
        return QStringLiteral("%1 lignes CCAM renseignées ; sur %2 lignes du fichier, %3 écartées "
                              "(acte absent de cette version de la CCAM) et %4 sans activité ou "
                              "phase correspondante")
            .arg(nombre(s.retenues), nombre(s.lignes), nombre(s.ecartees), nombre(s.sansLigne));
    default:
        return QStringLiteral("sur %1 lignes, %2 gardées (%3 paires distinctes) et %4 "
                              "écartées (acte absent de cette version de la CCAM)")
            .arg(nombre(s.lignes), nombre(s.lignes - s.ecartees), nombre(s.retenues),
                 nombre(s.ecartees));
    }
}

QString texteChamp(const RecordsetPtr& rs, const char* nom) {
    return rs->Fields(QString::fromLatin1(nom)).toString();
}

int entierChamp(const RecordsetPtr& rs, const char* nom) {
    return rs->Fields(QString::fromLatin1(nom)).toInt();
}

SourceRegles ligneSource(const RecordsetPtr& rs, GenreRegle genre) {
    SourceRegles s;
    s.genre = genre;
    s.base = texteChamp(rs, "Base");
    s.version = texteChamp(rs, "Version");
    s.dateBase = texteChamp(rs, "Date_Base");
    s.fichier = texteChamp(rs, "Fichier");
    s.lignes = entierChamp(rs, "Lignes");
    s.retenues = entierChamp(rs, "Retenues");
    s.ecartees = entierChamp(rs, "Ecartees");
    s.sansLigne = entierChamp(rs, "Sans_Ligne");
    s.tireesDesNotes = entierChamp(rs, "Tirees_Des_Notes");
    s.tousLesActes = entierChamp(rs, "Tous_Actes") != 0;
    return s;
}

} // namespace

QString codeGenreRegle(GenreRegle genre) {
    switch (genre) {
    case GenreRegle::Incompatibilites:
        return QStringLiteral("INCOMPATIBILITES");
    case GenreRegle::Procedures:
        return QStringLiteral("PROCEDURES");
    case GenreRegle::Phases:
        return QStringLiteral("PHASES");
    }
    return {};
}

QString dateBaseCnam(const QString& version) {
    // The rule files of the CNAM base carry no date; the base's header
    // record does. The versions whose header was read are listed here.
    if (version.toInt() == 34)
        return QStringLiteral("12/02/2014");
    return {};
}

QString SourceRegles::nomBase() const {
    QString n = base;
    if (!version.isEmpty())
        n += QStringLiteral(" version ") + version;
    if (!dateBase.isEmpty())
        n += QStringLiteral(" du ") + dateBase;
    return n;
}

QString SourceRegles::description() const {
    QString t = titreGenre(genre) + QStringLiteral(" : ");
    if (tousLesActes)
        t += nomBase();
    else if (aUneBase())
        t += nomBase() + QStringLiteral(", fichier ") + fichier + QStringLiteral(" : ") +
             bilanFichier(*this);
    else if (genre == GenreRegle::Phases)
        t += QStringLiteral("aucun fichier de la base CCAM de la CNAM ; non renseignés");
    else if (genre == GenreRegle::Procedures)
        t += QStringLiteral("aucun fichier de la base CCAM de la CNAM ; la CCAM chargée n'en "
                            "comporte pas");
    else
        t += QStringLiteral("aucun fichier de la base CCAM de la CNAM");
    if (genre == GenreRegle::Incompatibilites && !tousLesActes)
        t += QStringLiteral(" ; %1 paires tirées des notes d'utilisation du tableur")
                 .arg(nombre(tireesDesNotes));
    return t + QLatin1Char('.');
}

std::optional<SourceRegles> sourceRegles(GenreRegle genre) {
    try {
        RecordsetPtr rs =
            Data().CreeRecordset(QStringLiteral("SELECT * FROM Sources_Regles WHERE Regle = '") +
                                 codeGenreRegle(genre) + QStringLiteral("'"));
        if (!rs || rs->RecordCount() == 0)
            return std::nullopt;
        rs->MoveFirst();
        return ligneSource(rs, genre);
    } catch (const DataError&) {
        // A database written before sources were recorded has no such table.
        return std::nullopt;
    }
}

bool sourceConnaitActe(const SourceRegles& source, const QString& code) {
    if (source.tousLesActes)
        return true;
    if (!source.aUneBase())
        return false;
    try {
        RecordsetPtr rs = Data().CreeRecordset(
            QStringLiteral("SELECT AMCODE FROM Sources_Regles_Actes WHERE Regle = '") +
            codeGenreRegle(source.genre) + QStringLiteral("' AND AMCODE = '") +
            doublerQuotes(codeEnMajuscules(code)) + QStringLiteral("'"));
        return rs && rs->RecordCount() > 0;
    } catch (const DataError&) {
        return false;
    }
}

QStringList descriptionSourcesRegles() {
    QStringList lignes;
    for (GenreRegle g : {GenreRegle::Incompatibilites, GenreRegle::Procedures, GenreRegle::Phases})
        if (const auto s = sourceRegles(g))
            lignes << s->description();
    return lignes;
}
