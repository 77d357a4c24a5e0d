#include "QtApercuRapport.h"

#include "ChoixFichier.h"
#include "Messages.h"
#include "Progression.h"
#include "QtRapport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QToolBar>
#include <QVBoxLayout>

QtApercuRapport::QtApercuRapport(QWidget* parent)
    : QWidget(parent), m_imprimante(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("apercu"));
    // The preview never talks to a printer: pages are drawn as for a PDF.
    m_imprimante.setOutputFormat(QPrinter::PdfFormat);
    m_imprimante.setPageLayout(QtRapport::miseEnPage());
    m_imprimante.setFullPage(false);

    auto* barre = new QToolBar(this);
    barre->setObjectName(QStringLiteral("barreApercu"));
    barre->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_vue = new QPrintPreviewWidget(&m_imprimante, this);
    m_vue->setObjectName(QStringLiteral("vueApercu"));

    auto action = [&](const char* nom, const QString& texte, const QString& bulle,
                      QKeySequence raccourci = {}) {
        QAction* a = barre->addAction(texte);
        a->setObjectName(QLatin1String(nom));
        a->setToolTip(bulle);
        a->setShortcut(raccourci);
        // The keys work wherever the focus is in the preview (its pages
        // too), not only in its toolbar.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
        return a;
    };
    connect(
        action("b_ajuster", QStringLiteral("Page entière"), QStringLiteral("Voir la page entière")),
        &QAction::triggered, m_vue, &QPrintPreviewWidget::fitInView);
    connect(action("b_largeur", QStringLiteral("Largeur"), QStringLiteral("Ajuster à la largeur")),
            &QAction::triggered, m_vue, &QPrintPreviewWidget::fitToWidth);
    connect(action("b_zoomMoins", QStringLiteral("−"), QStringLiteral("Réduire"),
                   QKeySequence::ZoomOut),
            &QAction::triggered, m_vue, [this] { m_vue->zoomOut(); });
    connect(
        action("b_zoomPlus", QStringLiteral("+"), QStringLiteral("Agrandir"), QKeySequence::ZoomIn),
        &QAction::triggered, m_vue, [this] { m_vue->zoomIn(); });
    barre->addSeparator();
    b_precedente = action("b_pagePrecedente", QStringLiteral("◀"),
                          QStringLiteral("Page précédente"), QKeySequence(Qt::Key_PageUp));
    connect(b_precedente, &QAction::triggered, this,
            [this] { m_vue->setCurrentPage(m_vue->currentPage() - 1); });
    l_page = new QLabel(this);
    l_page->setObjectName(QStringLiteral("l_page"));
    l_page->setTextFormat(Qt::PlainText);
    barre->addWidget(l_page);
    b_suivante = action("b_pageSuivante", QStringLiteral("▶"), QStringLiteral("Page suivante"),
                        QKeySequence(Qt::Key_PageDown));
    connect(b_suivante, &QAction::triggered, this,
            [this] { m_vue->setCurrentPage(m_vue->currentPage() + 1); });
    barre->addSeparator();
    connect(action("b_imprimer", QStringLiteral("Imprimer"),
                   QStringLiteral("Imprimer sur l'imprimante par défaut"), QKeySequence::Print),
            &QAction::triggered, this, &QtApercuRapport::imprimerDemande);
    connect(action("b_pdf", QStringLiteral("Enregistrer en PDF…"),
                   QStringLiteral("Enregistrer les pages dans un fichier PDF")),
            &QAction::triggered, this, [this] { enregistrerPdf(); });
    connect(action("b_fermer", QStringLiteral("Fermer"), QStringLiteral("Fermer l'aperçu")),
            &QAction::triggered, this, &QtApercuRapport::fermerDemande);

    auto* disposition = new QVBoxLayout(this);
    disposition->setContentsMargins(0, 0, 0, 0);
    disposition->setSpacing(0);
    disposition->addWidget(barre);
    disposition->addWidget(m_vue, 1);

    connect(m_vue, &QPrintPreviewWidget::paintRequested, this, &QtApercuRapport::peindre);
    connect(m_vue, &QPrintPreviewWidget::previewChanged, this, &QtApercuRapport::majPage);
    majPage();
}

QtApercuRapport::~QtApercuRapport() = default;

void QtApercuRapport::setRapport(std::shared_ptr<const QtRapport> rapport) {
    m_rapport = std::move(rapport);
    m_vue->updatePreview();
    m_vue->setCurrentPage(1);
    majPage();
}

int QtApercuRapport::pageCourante() const {
    return m_vue->currentPage();
}

int QtApercuRapport::nombrePages() const {
    return m_vue->pageCount();
}

void QtApercuRapport::peindre(QPrinter* imprimante) {
    if (m_rapport)
        m_rapport->peindre(imprimante);
}

void QtApercuRapport::majPage() {
    const int total = m_rapport ? m_vue->pageCount() : 0;
    const int page = total > 0 ? m_vue->currentPage() : 0;
    l_page->setText(QStringLiteral(" Page %1 / %2 ").arg(page).arg(total));
    b_precedente->setEnabled(page > 1);
    b_suivante->setEnabled(page < total);
}

QString QtApercuRapport::nomPdfPropose() const {
    QString nom = m_rapport ? m_rapport->titre : QString();
    // Characters that no file system takes in a name.
    nom.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")),
                QStringLiteral(" "));
    nom = nom.simplified();
    return (nom.isEmpty() ? QStringLiteral("rapport") : nom) + QStringLiteral(".pdf");
}

bool QtApercuRapport::enregistrerPdf() {
    if (!m_rapport)
        return false;
    QString chemin =
        choisirFichierDocumentEnregistrer(QStringLiteral("Enregistrer en PDF"), nomPdfPropose(),
                                          QStringLiteral("Documents PDF (*.pdf)|*.pdf"));
    if (chemin.isEmpty())
        return false;
    if (QFileInfo(chemin).suffix().isEmpty())
        chemin += QStringLiteral(".pdf");
    QString erreur;
    // Stopped by "Annuler", it leaves no file and says nothing.
    if (!m_rapport->enregistrerPdf(chemin, &erreur, true)) {
        if (!erreur.isEmpty())
            afficherMessage(erreur, QStringLiteral("Erreur"), Icone::Critique);
        return false;
    }
    annoncerDansBarreEtat(QStringLiteral("PDF enregistré : ") + QDir::toNativeSeparators(chemin));
    return true;
}
