#include "BaseDeTest.h"

#include "BaseDemonstration.h"
#include "Chiffrement.h"
#include "Data.h"
#include "Globals.h"

#include <QDir>

BaseDeTest::BaseDeTest(bool demonstration) {
    Data::fermerConnexions();
    m_chemin = QDir(m_dossier.path()).filePath(QStringLiteral("test.mdb"));
    if (demonstration)
        creerBaseDemonstration(m_chemin);
    else
        Data::creerBase(m_chemin);
    cheminBase = m_chemin;
}

BaseDeTest::~BaseDeTest() {
    Data::fermerConnexions();
    cheminBase.clear();
}

void BaseDeTest::executer(const QString& sql) const {
    ConnexionPtr c = Data().CreeConnexion();
    c->Execute(sql);
}

long long BaseDeTest::compter(const QString& sql) const {
    RecordsetPtr rs = Data().CreeRecordset(sql);
    return rs->isEOF() ? 0 : rs->Fields(0).toLongLong();
}

void BaseDeTest::ajouterUtilisateur(const QString& login, const QString& motDePasse,
                                    const QString& groupe, const QString& email) const {
    const auto texte = [](const QString& v) {
        return QLatin1Char('\'') + doublerQuotes(v) + QLatin1Char('\'');
    };
    executer(QStringLiteral("INSERT INTO Utilisateur (UTI_LOGIN, UTI_PWD, UTI_GROUP, UTI_EMAIL) "
                            "VALUES (%1, %2, %3, %4)")
                 .arg(texte(login), texte(crypter(motDePasse, cleChiffrement)), texte(groupe),
                      email.isEmpty() ? QStringLiteral("NULL") : texte(email)));
}

QStringList colonne(const RecordsetPtr& rs, int position) {
    if (!rs)
        return {QStringLiteral("<aucun recordset>")};
    QStringList l;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        const QVariant v = rs->Fields(position);
        l << (v.isNull() ? QStringLiteral("<NULL>") : v.toString());
    }
    rs->MoveFirst();
    return l;
}

QStringList colonne(const RecordsetPtr& rs, const QString& nom) {
    return rs ? colonne(rs, rs->indexChamp(nom)) : colonne(rs, 0);
}

QString dossierCcamNational() {
    const QDir d(QStringLiteral(TARVENOR_CCAM_DIR));
    return d.exists(QStringLiteral("ccam_v81.csv")) ? d.absolutePath() : QString();
}
