#include "translation/ClassicService.h"

#include <QStringMatcher>

#include "common/BuildInfo.h"
#include "translation/HtmlCharacterReferences.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

QString QueryTail(TranslateDirection direction) {
    switch (direction) {
        case TranslateDirection::Ja2Ch:
            return QStringLiteral("&wb_lp=JACH&big5=no");
        case TranslateDirection::Ch2Ja:
            return QStringLiteral("&wb_lp=CHJA&big5=no");
    }
    Q_UNREACHABLE();
}

HttpRequest Request(const RequestParts &parts) {
    return {.url = BuildTranslateUrl(parts.text(), parts.direction, parts.root)};
}

std::optional<QString> Translation(const HttpAnswer &answer) {
    const std::optional<QString> raw = ExtractTranslation(answer.text);
    return raw ? std::optional(DecodeCharacterReferences(*raw)) : std::nullopt;
}

QString HelpPage(const ServiceChoice &choice) {
    return ServicePageUrl(choice.FirstRoot());
}

constexpr Endpoint kEndpoints[] = {
    {u"" QUORVANE_SERVICE_ROOT, Request, OneTranslation<Translation>, NeverRefuses, SaysNothing},
};

}  // namespace

const Service kClassicService = {
    .name = u"classic",
    .summary = u"the first translation page's protocol, at " QUORVANE_SERVICE_ROOT u".",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::EveryByte,
    .batch = {},
    .key = {},
    .helpPage = HelpPage,
};

QString ServiceRoot() {
    return QStringLiteral(QUORVANE_SERVICE_ROOT);
}

QString ServicePageUrl(const QString &serviceRoot) {
    return serviceRoot + QStringLiteral("/world/jiantizi/");
}

QString BuildTranslateUrl(const QString &text, TranslateDirection direction,
                          const QString &serviceRoot) {
    return ServicePageUrl(serviceRoot) + QStringLiteral("?before=") + EncodeQuery(text) +
           QueryTail(direction);
}

// The meaning of <textarea name="after" id="after">([\s\S]*?)</textarea>, case-insensitive,
// first match: the leftmost opening tag and the first closing tag after it. A plain search
// needs no backtracking, so pages of any size are matched.
std::optional<QString> ExtractTranslation(const QString &page) {
    static const QStringMatcher openingTag(u"<textarea name=\"after\" id=\"after\">",
                                           Qt::CaseInsensitive);
    static const QStringMatcher closingTag(u"</textarea>", Qt::CaseInsensitive);
    const qsizetype opening = openingTag.indexIn(page);
    if (opening < 0) {
        return std::nullopt;
    }
    const qsizetype contentStart = opening + openingTag.pattern().size();
    const qsizetype closing = closingTag.indexIn(page, contentStart);
    if (closing < 0) {
        return std::nullopt;
    }
    return page.mid(contentStart, closing - contentStart);
}

}  // namespace quorvane
