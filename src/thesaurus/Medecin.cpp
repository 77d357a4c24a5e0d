#include "Medecin.h"

void Medecin::remplirThesaurusMED() {}
