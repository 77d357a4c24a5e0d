#include "f_Wait.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

f_Wait* f_Wait::instance() {
    static f_Wait* fenetre = nullptr;
    if (!fenetre)
        fenetre = new f_Wait;
    return fenetre;
}

f_Wait::f_Wait()
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("f_Wait"));
    setWindowTitle(QStringLiteral("Tarvenor"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* image = new QLabel(this);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    lblWaitTitle = new QLabel(titreChargement, this);
    lblWaitTitle->setObjectName(QStringLiteral("lblWaitTitle"));
    QFont f = lblWaitTitle->font();
    f.setBold(true);
    lblWaitTitle->setFont(f);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    // The bar starts empty: the callers set its maximum and value.
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    l_valeur = new QLabel(QStringLiteral("0 % "), this);
    l_valeur->setObjectName(QStringLiteral("l_valeur"));
    l_valeur->setMinimumWidth(l_valeur->fontMetrics().horizontalAdvance(QStringLiteral("100 % ")));
    l_valeur->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    b_annuler = new QPushButton(QStringLiteral("Annuler"), this);
    b_annuler->setObjectName(QStringLiteral("b_annuler"));
    b_annuler->setVisible(false);
    connect(b_annuler, &QPushButton::clicked, this, [this] {
        m_annulee = true;
        b_annuler->setEnabled(false);
    });

    auto* haut = new QHBoxLayout;
    haut->addWidget(image);
    haut->addWidget(lblWaitTitle, 1);
    auto* bas = new QHBoxLayout;
    bas->addWidget(ProgressBar1, 1);
    bas->addWidget(l_valeur);
    bas->addWidget(b_annuler);
    auto* cadre = new QVBoxLayout(this);
    cadre->addLayout(haut);
    cadre->addLayout(bas);
    setFixedSize(420, sizeHint().height());
}

void f_Wait::debut(const QString& titre, int maximum) {
    m_annulable = false;
    m_annulee = false;
    b_annuler->setVisible(false);
    lblWaitTitle->setText(titre.isEmpty() ? titreChargement : titre);
    ProgressBar1->setRange(0, qMax(1, maximum));
    ProgressBar1->setValue(0);
    l_valeur->setText(QStringLiteral("0 % "));
    if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
        const QRect r = ecran->availableGeometry();
        move(r.center() - rect().center());
    }
    show();
    raise();
    laisserPasserAffichage();
}

void f_Wait::avancer(int pas) {
    const int maximum = ProgressBar1->maximum();
    const int v = qBound(0, ProgressBar1->value() + pas, maximum);
    ProgressBar1->setValue(v);
    // Rounded to the nearest whole percent; worked out in floating point, as
    // an import counts up to the bytes of a file of several tens of megabytes.
    l_valeur->setText(QString::number(qRound(v * 100.0 / maximum)) + QStringLiteral(" % "));
    laisserPasserAffichage();
}

void f_Wait::fin() {
    hide();
    setWindowModality(Qt::NonModal);
    m_annulable = false;
    b_annuler->setVisible(false);
}

void f_Wait::proposerAnnulation() {
    m_annulable = true;
    m_annulee = false;
    // Modal while it may be clicked: the user reaches "Annuler" and nothing
    // else of the program.
    hide();
    setWindowModality(Qt::ApplicationModal);
    b_annuler->setEnabled(true);
    b_annuler->setVisible(true);
    show();
    raise();
    laisserPasserAffichage();
}

void f_Wait::laisserPasserAffichage() {
    // Paints the window without letting the user act meanwhile, but for a
    // click on "Annuler" when the work may stop (the window is then modal).
    QCoreApplication::processEvents(m_annulable ? QEventLoop::AllEvents
                                                : QEventLoop::ExcludeUserInputEvents);
}
