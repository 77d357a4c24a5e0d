#pragma once
// Files in tests: reading and writing raw bytes, the fingerprint of a folder
// (to prove that nothing was created or changed), and a file made read-only
// for the lifetime of an object.

#include <QByteArray>
#include <QMap>
#include <QString>

// The bytes of a file; empty when it cannot be read. Like empreinte(), it
// closes the kept database connections first: a database file is never
// opened through another descriptor while a connection of the process holds
// it (closing that descriptor would release the connection's locks).
QByteArray lireOctets(const QString& chemin);
// Writes the bytes into a new file (replacing it); fails the test when it cannot.
void ecrireOctets(const QString& chemin, const QByteArray& octets);
// Names and hashes of every entry of a folder ("dossier" for a subfolder).
QMap<QString, QByteArray> empreinte(const QString& dossier);

// Makes a file (or a folder: nothing can be created in it) read-only for
// this process while it lives, also when the tests
// run as the administrator (whom access rights do not stop: the file is then
// made immutable). ok() is false when neither could be done here.
class FichierLectureSeule {
public:
    explicit FichierLectureSeule(QString chemin);
    ~FichierLectureSeule();
    FichierLectureSeule(const FichierLectureSeule&) = delete;
    FichierLectureSeule& operator=(const FichierLectureSeule&) = delete;
    bool ok() const { return m_ok; }

private:
    QString m_chemin;
    bool m_immuable = false;
    bool m_ok = false;
};
