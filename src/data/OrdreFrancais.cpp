#include "OrdreFrancais.h"

namespace {

// Reads a text one letter at a time as the order sees it: accents dropped
// (the base letter of a canonical decomposition, combining marks skipped),
// case folded. Nothing is allocated, so that sorting thousands of labels
// costs no more than comparing their characters.
class LecteurReplie {
public:
    explicit LecteurReplie(const QString& texte) : m_texte(texte) {}

    // The next folded letter, or -1 at the end.
    int suivant() {
        while (m_i < m_texte.size()) {
            const int c = lettreRepliee(m_texte.at(m_i++).unicode());
            if (c >= 0)
                return c;
        }
        return -1;
    }

private:
    const QString& m_texte;
    qsizetype m_i = 0;
};

} // namespace

int lettreRepliee(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? int(c + ('a' - 'A')) : int(c);
    if (QChar::category(c) == QChar::Mark_NonSpacing)
        return -1;
    while (QChar::decompositionTag(c) == QChar::Canonical) {
        const QString d = QChar::decomposition(c);
        if (d.isEmpty())
            break;
        c = d.at(0).unicode();
    }
    return int(QChar::toCaseFolded(c));
}

int comparerFrancais(const QString& a, const QString& b) {
    LecteurReplie la(a);
    LecteurReplie lb(b);
    for (;;) {
        const int ca = la.suivant();
        const int cb = lb.suivant();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca < 0)
            break;
    }
    return a.compare(b);
}
