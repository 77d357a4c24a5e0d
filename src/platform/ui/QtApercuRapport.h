#pragma once
// The preview of a report: its pages in a QPrintPreviewWidget, with a toolbar
// to zoom, turn pages, print ("Imprimer"), save as PDF ("Enregistrer en
// PDF…", file chosen through the file-chooser hook) and close ("Fermer").
// Printing and closing are the report's business: the preview announces them.

#include <QPrinter>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QPrintPreviewWidget;
class QtRapport;

class QtApercuRapport : public QWidget {
    Q_OBJECT
public:
    explicit QtApercuRapport(QWidget* parent = nullptr);
    ~QtApercuRapport() override;

    // Shows the report's pages (the preview shares it).
    void setRapport(std::shared_ptr<const QtRapport> rapport);
    const QtRapport* rapport() const { return m_rapport.get(); }

    QPrintPreviewWidget* vue() const { return m_vue; }
    int pageCourante() const;
    int nombrePages() const;

    // "Enregistrer en PDF…": asks for the file, writes the pages there with
    // the progress and "Annuler". False when cancelled (no file is left) or
    // when the file cannot be written (after a message).
    bool enregistrerPdf();
    // The file name offered: the report's title, without the characters
    // that file names cannot hold.
    QString nomPdfPropose() const;

signals:
    void imprimerDemande();
    void fermerDemande();

private:
    void peindre(QPrinter* imprimante);
    void majPage();

    std::shared_ptr<const QtRapport> m_rapport;
    QPrinter m_imprimante;
    QPrintPreviewWidget* m_vue = nullptr;
    QLabel* l_page = nullptr;
    QAction* b_precedente = nullptr;
    QAction* b_suivante = nullptr;
};
