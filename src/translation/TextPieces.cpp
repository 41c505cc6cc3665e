#include "translation/TextPieces.h"

#include <QTextBoundaryFinder>

namespace quorvane {

namespace {

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool IsSentenceEnd(QChar c) {
    return QStringView(u"。｡！!？?.．").contains(c);
}

// A full stop, exclamation or question mark in ASCII ends a sentence only before white space
// or the end: "3.14" and "example.org" go on.
bool IsAsciiSentenceEnd(QChar c) {
    return c == u'.' || c == u'!' || c == u'?';
}

// Closing brackets and quotes stay with the sentence they close: 」 after 。.
bool IsCloser(QChar c) {
    return c == u'"' || c == u'\'' || c.category() == QChar::Punctuation_Close ||
           c.category() == QChar::Punctuation_FinalQuote;
}

class Splitter {
public:
    Splitter(const QString &text, const PieceRule &rule)
        : mText(text), mRule(rule), mGraphemes(QTextBoundaryFinder::Grapheme, text) {}

    TextPieces Split() {
        TextPieces result;
        qsizetype start = SpaceEnd(0);
        result.leading = mText.left(start);
        while (start < mText.size()) {
            const qsizetype limit = FitEnd(start);
            qsizetype cut = mRule.everyLine ? LineCut(start, limit) : limit;
            if (cut == limit && limit < mText.size()) {
                cut = ParagraphCut(start, limit);
                if (cut <= start) {
                    cut = SentenceCut(start, limit);
                }
                if (cut <= start) {
                    cut = CharacterCut(start, limit);
                }
            }
            // The text's trailing white space follows the last piece.
            if (cut == mText.size()) {
                while (mText[cut - 1].isSpace()) {
                    --cut;
                }
            }
            const qsizetype next = SpaceEnd(cut);
            result.pieces.append({mText.mid(start, cut - start), mText.mid(cut, next - cut)});
            start = next;
        }
        return result;
    }

private:
    qsizetype SpaceEnd(qsizetype at) const {
        while (at < mText.size() && mText[at].isSpace()) {
            ++at;
        }
        return at;
    }

    // Where the longest piece from `start` that fits the budget ends; one code point at least.
    qsizetype FitEnd(qsizetype start) const {
        if (mRule.budget <= 0) {
            return mText.size();
        }
        qsizetype used = 0;
        qsizetype at = start;
        while (at < mText.size()) {
            const qsizetype width = mText[at].isHighSurrogate() && at + 1 < mText.size() &&
                                            mText[at + 1].isLowSurrogate()
                                        ? 2
                                        : 1;
            const char32_t c = width == 2 ? QChar::surrogateToUcs4(mText[at], mText[at + 1])
                                          : char32_t(mText[at].unicode());
            used += mRule.cost(c);
            if (used > mRule.budget && at > start) {
                break;
            }
            at += width;
        }
        return at;
    }

    // Before the white space around the first line break within the piece; `limit` without one.
    qsizetype LineCut(qsizetype start, qsizetype limit) const {
        for (qsizetype at = start; at < limit; ++at) {
            if (IsLineBreak(mText[at])) {
                while (mText[at - 1].isSpace()) {
                    --at;
                }
                return at;
            }
        }
        return limit;
    }

    // Before the white space around the last line break within the piece.
    qsizetype ParagraphCut(qsizetype start, qsizetype limit) const {
        for (qsizetype at = limit - 1; at > start; --at) {
            if (IsLineBreak(mText[at])) {
                while (at > start && mText[at - 1].isSpace()) {
                    --at;
                }
                return at;
            }
        }
        return start;
    }

    // After the last sentence end, and the closing brackets and quotes that follow it.
    qsizetype SentenceCut(qsizetype start, qsizetype limit) const {
        for (qsizetype cut = limit; cut > start; --cut) {
            if (cut < mText.size() && (IsCloser(mText[cut]) || IsSentenceEnd(mText[cut]))) {
                continue;
            }
            qsizetype end = cut - 1;
            while (end > start && IsCloser(mText[end])) {
                --end;
            }
            if (IsSentenceEnd(mText[end]) &&
                !(IsAsciiSentenceEnd(mText[end]) && cut < mText.size() && !mText[cut].isSpace())) {
                return cut;
            }
        }
        return start;
    }

    // Between two characters as people see them: never inside a surrogate pair, nor before a
    // combining mark. A single character longer than the budget is cut between code points.
    qsizetype CharacterCut(qsizetype start, qsizetype limit) {
        mGraphemes.setPosition(limit);
        const qsizetype boundary =
            mGraphemes.isAtBoundary() ? limit : mGraphemes.toPreviousBoundary();
        return boundary > start ? boundary : limit;
    }

    const QString &mText;
    PieceRule mRule;
    QTextBoundaryFinder mGraphemes;
};

}  // namespace

TextPieces SplitText(const QString &text, const PieceRule &rule) {
    return Splitter(text, rule).Split();
}

TextPieces SplitText(const QString &text, qsizetype budget, QueryEncoding encoding) {
    if (budget <= 0 || EncodedSize(text, encoding) <= budget) {
        return {{}, {{text, {}}}};
    }
    const auto cost =
        encoding == QueryEncoding::EveryByte
            ? +[](char32_t c) { return EncodedLength(c, QueryEncoding::EveryByte); }
            : +[](char32_t c) { return EncodedLength(c, QueryEncoding::KeepUnreserved); };
    return Splitter(text, {budget, cost}).Split();
}

}  // namespace quorvane
