#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "translation/QueryEncoding.h"

namespace quorvane {

struct TextPiece {
    QString text;
    QString separator;  // the white space that follows the piece in the whole text
};

struct TextPieces {
    QString leading;  // the white space before the first piece
    QList<TextPiece> pieces;
};

// What a piece may be: at most `budget` in the sum of `cost` over its code points (0 for no
// bound), and with `everyLine`, a single line.
struct PieceRule {
    qsizetype budget = 0;
    qsizetype (*cost)(char32_t codePoint) = nullptr;
    bool everyLine = false;
};

// `text` in pieces that keep the rule, cut at line breaks, else at paragraph breaks, else after
// sentence ends, else between characters; the white space at a cut is kept as the separator,
// and no piece begins or ends with white space. Leading, each piece and its separator, in order,
// make the text again.
TextPieces SplitText(const QString &text, const PieceRule &rule);
// Pieces whose values in `encoding` are at most `budget` bytes. A text that fits, or a budget of
// 0, gives the whole text as one piece.
TextPieces SplitText(const QString &text, qsizetype budget,
                     QueryEncoding encoding = QueryEncoding::KeepUnreserved);

}  // namespace quorvane
