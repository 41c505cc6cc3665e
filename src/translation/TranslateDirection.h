#pragma once

class QString;

namespace quorvane {

enum class TranslateDirection { Ja2Ch, Ch2Ja };

// The direction for a text typed without choosing one: kana mean Japanese source text.
TranslateDirection DirectionOfText(const QString &text);

}  // namespace quorvane
