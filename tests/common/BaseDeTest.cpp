#include "BaseDeTest.h"

#include "BaseDemonstration.h"
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
