#include "FichiersDeTest.h"

#include "Data.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <unistd.h>

QByteArray lireOctets(const QString& chemin) {
    Data::fermerConnexions();
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void ecrireOctets(const QString& chemin, const QByteArray& octets) {
    QFile f(chemin);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(chemin));
    QCOMPARE(f.write(octets), octets.size());
}

QMap<QString, QByteArray> empreinte(const QString& dossier) {
    Data::fermerConnexions();
    QMap<QString, QByteArray> r;
    const QDir d(dossier);
    for (const QString& nom : d.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        QFile f(d.filePath(nom));
        if (f.open(QIODevice::ReadOnly))
            r[nom] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
        else
            r[nom] = "dossier";
    }
    return r;
}

FichierLectureSeule::FichierLectureSeule(QString chemin) : m_chemin(std::move(chemin)) {
    if (::geteuid() != 0) {
        QFile::Permissions p = QFile::ReadOwner | QFile::ReadGroup;
        if (QFileInfo(m_chemin).isDir())
            p |= QFile::ExeOwner | QFile::ExeGroup; // a folder stays open for reading
        m_ok = QFile::setPermissions(m_chemin, p);
    } else {
        m_immuable = true;
        m_ok = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_chemin}) == 0;
    }
}

FichierLectureSeule::~FichierLectureSeule() {
    if (m_immuable)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_chemin});
    else
        QFile::setPermissions(
            m_chemin, QFile::ReadOwner | QFile::WriteOwner |
                          (QFileInfo(m_chemin).isDir() ? QFile::ExeOwner : QFile::Permissions()));
}
