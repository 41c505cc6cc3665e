#pragma once

#include <QString>
#include <optional>

#include "translation/Services.h"
#include "translation/modPub.h"

namespace quorvane {

// The root address of the classic service's page: "http://" and its host, fixed at build time.
QString ServiceRoot();

// The classic service's translation page, which its request queries and the help opens.
QString ServicePageUrl(const QString &serviceRoot = ServiceRoot());
QString BuildTranslateUrl(const QString &text, TranslateDirection direction,
                          const QString &serviceRoot = ServiceRoot());

// The content of the page's first text area named "after", exactly as the page has it.
std::optional<QString> ExtractTranslation(const QString &page);

// From the best to the worst: of the answers of one piece's endpoints, the worst is reported.
enum class TranslateOutcome {
    Translated,
    NoData,         // nothing came back
    NoTranslation,  // an answer without a translation
    Refused,        // the service refuses requests for now
};

struct TranslateResult {
    TranslateOutcome outcome = TranslateOutcome::NoData;
    QString page{};                        // the last answer's body; "" when none came back
    std::optional<QString> translation{};  // character references decoded
    QString reason{};                      // why there is no translation, for the terminal
    QString serviceError{};                // the service's own words on it, if any
};

// The text through the chosen service: in pieces as long as one request may carry, over one
// connection, in order. The first piece without a translation is the outcome of the whole.
TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const ServiceChoice &service, const FetchContext &context = {});

}  // namespace quorvane
