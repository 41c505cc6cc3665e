// SplitText: the leading white space, the pieces and their separators make the text again; no
// piece's query value passes the budget unless the piece is a single code point; white space
// alone separates pieces; no surrogate pair is cut.
#include "FuzzInput.h"
#include "translation/TextPieces.h"

namespace {

bool IsSpace(const QString &text) {
    for (const QChar c : text) {
        if (!c.isSpace()) {
            return false;
        }
    }
    return true;
}

bool IsOneCodePoint(const QString &text) {
    return text.size() == 1 ||
           (text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const qsizetype budget = 12 + data[0];
    const QString text = TextFromUtf16(data + 1, size - 1);
    const quorvane::TextPieces split = quorvane::SplitText(text, budget);
    QString whole = split.leading;
    FUZZ_ASSERT(IsSpace(split.leading));
    for (qsizetype i = 0; i < split.pieces.size(); ++i) {
        const quorvane::TextPiece &piece = split.pieces[i];
        whole += piece.text + piece.separator;
        FUZZ_ASSERT(!piece.text.isEmpty() || text.isEmpty());
        FUZZ_ASSERT(IsSpace(piece.separator));
        FUZZ_ASSERT(quorvane::QueryValue(piece.text).size() <= budget ||
                    IsOneCodePoint(piece.text) || split.pieces.size() == 1);
        if (i + 1 < split.pieces.size() && piece.separator.isEmpty()) {
            FUZZ_ASSERT(!(piece.text.back().isHighSurrogate() &&
                          split.pieces[i + 1].text.front().isLowSurrogate()));
        }
    }
    FUZZ_ASSERT(whole == text);
    return 0;
}
