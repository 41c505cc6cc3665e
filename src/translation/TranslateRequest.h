#pragma once

#include <QString>
#include <optional>

#include "translation/modPub.h"

namespace quorvane {

enum class TranslateDirection { Ja2Ch, Ch2Ja };

// The root address of the translation service: "http://" and its host, fixed at build time.
QString ServiceRoot();

// The service's translation page, which the request queries and the help opens.
QString ServicePageUrl(const QString &serviceRoot = ServiceRoot());
QString BuildTranslateUrl(const QString &text, TranslateDirection direction,
                          const QString &serviceRoot = ServiceRoot());

// The content of the page's first text area named "after", exactly as the page has it.
std::optional<QString> ExtractTranslation(const QString &page);

struct TranslateResult {
    QString page;                        // "" when no data came back from the service
    std::optional<QString> translation;  // character references decoded
};

TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const QString &serviceRoot = ServiceRoot(),
                              const FetchContext &context = {});

}  // namespace quorvane
