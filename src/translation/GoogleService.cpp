#include "translation/GoogleService.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStringMatcher>
#include <QUrl>

#include "translation/HtmlCharacterReferences.h"
#include "translation/Services.h"

namespace quorvane {

using namespace Qt::StringLiterals;

namespace {

// Google's basic page is sent only to browsers; the JSON endpoints get the same agent.
constexpr char kBrowserUserAgent[] =
    "Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101 Firefox/128.0";

QString Languages(TranslateDirection direction, bool withInterface) {
    const bool fromJapanese = direction == TranslateDirection::Ja2Ch;
    QString languages = fromJapanese ? u"sl=ja&tl=zh-CN"_s : u"sl=zh-CN&tl=ja"_s;
    if (withInterface) {
        languages += fromJapanese ? u"&hl=zh-CN"_s : u"&hl=ja"_s;
    }
    return languages;
}

HttpRequest Get(const QString &url, const QString &text) {
    return {.url = url + QString::fromLatin1(QueryValue(text)),
            .userAgent = kBrowserUserAgent,
            .followRedirects = false};
}

// client=gtx is refused to every scripted client since September 2026; the dictionary client
// gets the same answer.
HttpRequest SegmentsRequest(const RequestParts &parts) {
    return Get(parts.root + u"/translate_a/single?client=dict-chrome-ex&"_s +
                   Languages(parts.direction, false) + u"&dt=t&ie=UTF-8&oe=UTF-8&q="_s,
               parts.text());
}

HttpRequest DictionaryRequest(const RequestParts &parts) {
    return Get(parts.root + u"/translate_a/t?client=dict-chrome-ex&"_s +
                   Languages(parts.direction, false) + u"&q="_s,
               parts.text());
}

HttpRequest PageRequest(const RequestParts &parts) {
    return Get(parts.root + u"/m?"_s + Languages(parts.direction, true) + u"&ie=UTF-8&q="_s,
               parts.text());
}

// Whether the attributes of an opening tag give it the class result-container, wherever the
// attribute stands among the others.
bool HasResultClass(QStringView attributes) {
    static const QRegularExpression resultClass(
        uR"((?:^|\s)class\s*=\s*(?:"result-container"|'result-container'|result-container(?:[\s/]|$)))"_s,
        QRegularExpression::CaseInsensitiveOption);
    return resultClass.match(attributes).hasMatch();
}

// The first element of a dictionary answer's array: a part on its own, or a part and its
// language.
std::optional<QString> DictionaryPart(const QJsonValue &element) {
    if (element.isString()) {
        return element.toString();
    }
    if (element.isArray() && element[0].isString()) {
        return element[0].toString();
    }
    return std::nullopt;
}

// 429, the sorry page and the consent page say "for now"; a 403 has been a lasting block of a
// client id, but the endpoint rests all the same.
Refusal Refuses(const HttpAnswer &answer) {
    static const QRegularExpression captchaForm(uR"(\sid\s*=\s*["']?captcha-form\b)"_s,
                                                QRegularExpression::CaseInsensitiveOption);
    const QUrl redirect(answer.redirect);
    const bool refuses =
        answer.status == 429 || answer.status == 403 || redirect.path().startsWith(u"/sorry/"_s) ||
        redirect.host().startsWith(u"consent."_s) || captchaForm.match(answer.text).hasMatch();
    return refuses ? Refusal::ForNow : Refusal::None;
}

constexpr Endpoint kEndpoints[] = {
    {u"https://translate.googleapis.com", SegmentsRequest,
     OneTranslation<GoogleSegmentsTranslation>, Refuses, SaysNothing},
    {u"https://clients5.google.com", DictionaryRequest, OneTranslation<GoogleDictionaryTranslation>,
     Refuses, SaysNothing},
    {u"https://translate.google.com", PageRequest, OneTranslation<GooglePageTranslation>, Refuses,
     SaysNothing},
};

// The page for people is the basic page's site.
QString HelpPage(const ServiceChoice &choice) {
    return choice.RootOf(kEndpoints[2]) + u"/?sl=ja&tl=zh-CN"_s;
}

}  // namespace

const Service kGoogleService = {
    .name = u"google",
    .summary = u"Google Translate's JSON endpoints, then its page; the text goes to Google.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 8'000,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {},
    .key = {},
    .helpPage = HelpPage,
};

// Each tag is read once and the content found by plain search, so a page of any size or shape
// is read in one pass.
std::optional<QString> GooglePageTranslation(const HttpAnswer &answer) {
    static const QStringMatcher openingDiv(u"<div", Qt::CaseInsensitive);
    static const QStringMatcher closingDiv(u"</div", Qt::CaseInsensitive);
    const QString &page = answer.text;
    for (qsizetype tag = openingDiv.indexIn(page); tag >= 0;) {
        const qsizetype attributes = tag + openingDiv.pattern().size();
        const qsizetype tagEnd = page.indexOf(u'>', attributes);
        if (tagEnd < 0) {
            return std::nullopt;
        }
        if (page.at(attributes).isSpace() &&
            HasResultClass(QStringView(page).sliced(attributes, tagEnd - attributes))) {
            const qsizetype content = tagEnd + 1;
            const qsizetype end = closingDiv.indexIn(page, content);
            if (end < 0) {
                return std::nullopt;
            }
            return DecodeCharacterReferences(page.mid(content, end - content));
        }
        tag = openingDiv.indexIn(page, tagEnd);
    }
    return std::nullopt;
}

// A segment whose first element is not a string (a transliteration) carries no translation;
// one segment at least must.
std::optional<QString> GoogleSegmentsTranslation(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json || !(*json)[0].isArray()) {
        return std::nullopt;
    }
    std::optional<QString> joined;
    for (const QJsonValue segment : (*json)[0].toArray()) {
        if (segment[0].isString()) {
            joined = joined.value_or(QString()) + segment[0].toString();
        }
    }
    return joined;
}

// A text of several sentences or lines comes back in several parts. An element that is no part
// makes the answer one of another shape.
std::optional<QString> GoogleDictionaryTranslation(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json || !json->isArray() || json->toArray().isEmpty()) {
        return std::nullopt;
    }
    QString joined;
    for (const QJsonValue element : json->toArray()) {
        const std::optional<QString> part = DictionaryPart(element);
        if (!part) {
            return std::nullopt;
        }
        joined += *part;
    }
    return joined;
}

}  // namespace quorvane
