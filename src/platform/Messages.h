#pragma once
// Every message box of the program goes through afficherMessage(). The widget
// library installs an implementation that shows a real box; tests install
// MessagesScriptes to queue answers and read what was shown.

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

enum class Icone { Aucune, Information, Exclamation, Question, Critique };
// OuiNonDefautNon: a question whose "Oui" destroys data (deleting, emptying,
// replacing); "Non" is its default button, so that Enter keeps the data.
enum class Boutons { Ok, OuiNon, OkAnnuler, OuiNonAnnuler, OuiNonDefautNon };
enum class Reponse { Ok, Oui, Non, Annuler };

class IMessages {
public:
    virtual ~IMessages() = default;
    virtual Reponse afficher(const QString& texte, const QString& titre, Icone icone,
                             Boutons boutons) = 0;
};

// Shows a message through the installed implementation. Without one (a core
// program such as a command-line tool), the text goes to the error output and
// the default answer (Ok, Oui for a question, Non for a question whose Oui
// destroys data) is returned.
Reponse afficherMessage(const QString& texte, const QString& titre, Icone icone = Icone::Aucune,
                        Boutons boutons = Boutons::Ok);

// Installs the implementation (not owned); nullptr restores the fallback.
void installerMessages(IMessages* implementation);
IMessages* messagesInstalles();

// One message as it was shown.
struct MessageAffiche {
    QString texte;
    QString titre;
    Icone icone;
    Boutons boutons;
};

// Scripted messages for tests: answers are taken from a queue (Ok, or Oui for
// any question, when the queue is empty); every message is logged. Installs
// itself on construction and uninstalls on destruction.
class MessagesScriptes : public IMessages {
public:
    MessagesScriptes();
    ~MessagesScriptes() override;
    Reponse afficher(const QString& texte, const QString& titre, Icone icone,
                     Boutons boutons) override;

    void setReponseSuivante(Reponse r) { m_reponses.push_back(r); }
    const std::vector<MessageAffiche>& journal() const { return m_journal; }
    QStringList textes() const;
    void vider() { m_journal.clear(); }

private:
    IMessages* m_precedent = nullptr;
    std::deque<Reponse> m_reponses;
    std::vector<MessageAffiche> m_journal;
};
