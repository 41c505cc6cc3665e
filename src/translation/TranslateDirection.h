#pragma once

namespace quorvane {

enum class TranslateDirection { Ja2Ch, Ch2Ja };

}  // namespace quorvane
