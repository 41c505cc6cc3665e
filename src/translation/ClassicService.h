#pragma once

#include <QString>
#include <optional>

#include "translation/Service.h"

namespace quorvane {

// The translation page that Quorvane was first written for, at the build's root.
extern const Service kClassicService;

// The root address of the classic service's page: "http://" and its host, fixed at build time.
QString ServiceRoot();

// The classic service's translation page, which its request queries and the help opens.
QString ServicePageUrl(const QString &serviceRoot = ServiceRoot());
QString BuildTranslateUrl(const QString &text, TranslateDirection direction,
                          const QString &serviceRoot = ServiceRoot());

// The content of the page's first text area named "after", exactly as the page has it.
std::optional<QString> ExtractTranslation(const QString &page);

}  // namespace quorvane
