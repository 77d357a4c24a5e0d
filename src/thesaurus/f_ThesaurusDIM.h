#pragma once
// The DIM workspace: thesauri of medical units and doctors. For now an empty
// window with its public operations (stubs), so that the main window's
// commands are wired to it; its content comes with the DIM thesaurus work.

#include <QWidget>

class f_ThesaurusDIM : public QWidget {
    Q_OBJECT
public:
    explicit f_ThesaurusDIM(QWidget* parent = nullptr);

    void ajoutCategorie(const QString& a_lib);
    void ajoutActe(const QString& a_cat);
    void afficherDetails(const QString& a_code);
    void afficheFenetreAjoutActe();
    void afficheFenetreAjoutCat();
    void suppActe();
    void suppCat();
    void modifierCategorie();
    void imprimerThesaurusMED();
    void imprimerThesaurusUM();
    void ExporterThesaurusMED();
    void ExporterThesaurusUM();
};
