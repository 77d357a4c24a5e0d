#pragma once
// The login dialog "Connexion": identifier, password and database file. OK
// opens the session (ouvrirSession: user, doctor, settings) and shows its
// refusal; a session opened is announced with the mode of the user's
// workspace, which the window that showed the dialog opens.

#include "ModeEcran.h"

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class d_connexion : public QDialog {
    Q_OBJECT
public:
    explicit d_connexion(QWidget* parent = nullptr);

    // 0: identifier, 1: password, 2: database file path.
    std::array<QLineEdit*, 3> t_connexion;
    QLabel* l_version; // the CCAM version of the remembered database
    QPushButton* OKButton;
    QPushButton* Command1; // "Annuler"
    QPushButton* Command2; // "...": file chooser

    // The file chooser's filter: kept as it always was, so that the
    // remembered paths keep their meaning.
    static const QString filtreBase;

public slots:
    void OKButton_Click();
    void Command1_Click();
    void Command2_Click();
    // Escape and the close box cancel as "Annuler" does.
    void reject() override;

signals:
    // The session is open (the dialog is already closed).
    void sessionOuverte(ModeEcran mode);
    // The login was given up ("Annuler", Escape, close box).
    void connexionAbandonnee();

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    // Trims the box; upper-cases the identifier and the password.
    void normaliser(int index);
    void signalerChampIncorrect(const QString& message, int index);
    bool m_termine = false;
};
