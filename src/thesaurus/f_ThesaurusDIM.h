#pragma once
// The DIM workspace: thesauri of medical units and doctors. For now an empty
// window with its public operations, so that the main window's commands are
// wired to it; its content comes with the DIM thesaurus work.

#include "Recordset.h"

#include <QWidget>

class f_ThesaurusDIM : public QWidget {
    Q_OBJECT
public:
    explicit f_ThesaurusDIM(QWidget* parent = nullptr);
    ~f_ThesaurusDIM() override;
    // The open window, or nullptr.
    static f_ThesaurusDIM* instance();

    void ajoutCategorie(const QString& a_lib);
    void ajoutActe(const QString& a_cat);
    void afficherDetails(const RecordsetPtr& a_acte);
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
