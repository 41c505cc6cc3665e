#include "translation/TranslateDirection.h"

#include <QString>
#include <algorithm>

namespace quorvane {

namespace {

bool IsKana(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x31F0 && u <= 0x31FF) ||
           (u >= 0xFF66 && u <= 0xFF9F);
}

}  // namespace

TranslateDirection DirectionOfText(const QString &text) {
    return std::any_of(text.cbegin(), text.cend(), IsKana) ? TranslateDirection::Ja2Ch
                                                           : TranslateDirection::Ch2Ja;
}

}  // namespace quorvane
