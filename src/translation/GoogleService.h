#pragma once

#include "translation/Service.h"

namespace quorvane {

// Google Translate's free endpoints: its JSON endpoint for segments, its dictionary endpoint,
// then its basic page for browsers without scripts.
extern const Service kGoogleService;

// The content of the page's first div of class result-container, character references decoded.
std::optional<QString> GooglePageTranslation(const HttpAnswer &answer);
// [[["translated", "original", ...], ...], ...]: the translations of the segments, joined.
std::optional<QString> GoogleSegmentsTranslation(const HttpAnswer &answer);
// ["part", ...] or [["part", "ja"], ...]: the parts, joined.
std::optional<QString> GoogleDictionaryTranslation(const HttpAnswer &answer);

}  // namespace quorvane
