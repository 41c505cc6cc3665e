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

// `text` in pieces whose values in `encoding` are at most `budget` bytes, cut at paragraph breaks,
// else after sentence ends, else between characters; the white space at a cut is kept as the
// separator. Leading, each piece and its separator, in order, make the text again. A text that
// fits, or a budget of 0, gives the whole text as one piece.
TextPieces SplitText(const QString &text, qsizetype budget,
                     QueryEncoding encoding = QueryEncoding::KeepUnreserved);

}  // namespace quorvane
