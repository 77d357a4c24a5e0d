#include "OrdreFrancais.h"

#include <utility>

namespace {

// Reads a text one letter at a time as the order sees it: accents dropped
// (the base letter of a canonical decomposition, combining marks skipped),
// case folded, the ligatures œ and æ read as the two letters they join.
// Nothing is allocated, so that sorting thousands of labels costs no more
// than comparing their characters.
class LecteurReplie {
public:
    explicit LecteurReplie(const QString& texte) : m_texte(texte) {}

    // The next folded letter, or -1 at the end.
    int suivant() {
        if (m_seconde >= 0)
            return std::exchange(m_seconde, -1);
        while (m_i < m_texte.size()) {
            const char32_t lu = m_texte.at(m_i++).unicode();
            if (const char* l = ligatureDepliee(lu)) {
                m_seconde = l[1];
                return l[0];
            }
            const int c = lettreRepliee(lu);
            if (c >= 0)
                return c;
        }
        return -1;
    }

private:
    const QString& m_texte;
    qsizetype m_i = 0;
    int m_seconde = -1; // the second letter of a ligature, still to read
};

} // namespace

const char* ligatureDepliee(char32_t c) {
    switch (c) {
    case U'œ':
    case U'Œ':
        return "oe";
    case U'æ':
    case U'Æ':
        return "ae";
    default:
        return nullptr;
    }
}

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
