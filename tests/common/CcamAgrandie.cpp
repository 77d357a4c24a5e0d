#include "CcamAgrandie.h"

#include "LecteurCsv.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace {

// An act's code row, and a chapter row (a chapter code with its title): the
// marks by which the importer (LectureCcam) groups the rows of an act, from
// its code row up to the next act or chapter.
bool ligneActe(const EnregistrementCsv& e) {
    static const QRegularExpression r(QStringLiteral("^[A-Z]{4}[0-9]{3}$"));
    return !e.champs.isEmpty() && r.match(e.champs.at(0).trimmed()).hasMatch();
}

bool ligneChapitre(const EnregistrementCsv& e) {
    static const QRegularExpression r(QStringLiteral("^[0-9]{1,2}(\\.[0-9]{2}){0,3}$"));
    return e.champs.size() > 2 && r.match(e.champs.at(0).trimmed()).hasMatch() &&
           !e.champs.at(2).trimmed().isEmpty();
}

// A new code for a copy of `code`: the same organ (two first letters), the
// third and fourth letters changed, then the digits too when every letter
// pair is taken. Empty when none is free.
QString nouveauCode(const QString& code, QSet<QString>& pris) {
    const QString organe = code.left(2);
    const int chiffres = code.mid(4).toInt();
    for (int d = 0; d < 1000; ++d) {
        const QString numero = QString::number((chiffres + d) % 1000).rightJustified(3, u'0');
        for (int i = 0; i < 26 * 26; ++i) {
            const QString candidat = organe + QChar(u'A' + i / 26) + QChar(u'A' + i % 26) + numero;
            if (!pris.contains(candidat)) {
                pris.insert(candidat);
                return candidat;
            }
        }
    }
    return QString();
}

void ecrireEnregistrement(QByteArray& sortie, const QStringList& champs) {
    for (qsizetype i = 0; i < champs.size(); ++i) {
        if (i > 0)
            sortie += ',';
        QString c = champs.at(i);
        c.replace(u'"', QStringLiteral("\"\""));
        sortie += '"' + c.toUtf8() + '"';
    }
    sortie += "\r\n";
}

} // namespace

QString ecrireCcamAgrandie(const QString& tableur, int facteur, const QString& dossier) {
    if (facteur < 1)
        return QString();
    std::vector<EnregistrementCsv> enr;
    try {
        enr = LecteurCsv::lireFichier(tableur, ',');
    } catch (const ErreurImport&) {
        return QString();
    }
    if (enr.size() < 2)
        return QString();
    QSet<QString> pris;
    for (const EnregistrementCsv& e : enr)
        if (ligneActe(e))
            pris.insert(e.champs.at(0).trimmed());

    QByteArray sortie;
    ecrireEnregistrement(sortie, enr[0].champs);
    ecrireEnregistrement(sortie, enr[1].champs);
    // Each act's block is written, then its copies right after it, in the
    // same chapter.
    std::vector<const EnregistrementCsv*> bloc;
    const auto ecrireBloc = [&]() -> bool {
        if (bloc.empty())
            return true;
        for (int copie = 0; copie < facteur; ++copie) {
            QStringList premier = bloc.front()->champs;
            if (copie > 0) {
                premier[0] = nouveauCode(premier.at(0).trimmed(), pris);
                if (premier[0].isEmpty())
                    return false;
            }
            ecrireEnregistrement(sortie, premier);
            for (size_t i = 1; i < bloc.size(); ++i)
                ecrireEnregistrement(sortie, bloc[i]->champs);
        }
        bloc.clear();
        return true;
    };
    for (size_t i = 2; i < enr.size(); ++i) {
        const EnregistrementCsv& e = enr[i];
        if (ligneActe(e) || ligneChapitre(e)) {
            if (!ecrireBloc())
                return QString();
        }
        if (ligneActe(e) || !bloc.empty())
            bloc.push_back(&e);
        else
            ecrireEnregistrement(sortie, e.champs);
    }
    if (!ecrireBloc())
        return QString();

    const QString chemin = QDir(dossier).filePath(
        QStringLiteral("%1_x%2.csv").arg(QFileInfo(tableur).completeBaseName()).arg(facteur));
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || f.write(sortie) != sortie.size() || !f.commit())
        return QString();
    return chemin;
}
