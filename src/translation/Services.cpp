#include "translation/Services.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringMatcher>
#include <QUrl>
#include <algorithm>

#include "common/BuildInfo.h"
#include "translation/HtmlCharacterReferences.h"
#include "translation/TextPieces.h"
#include "translation/TranslateRequest.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

// Google's basic page is sent only to browsers.
constexpr char kBrowserUserAgent[] =
    "Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101 Firefox/128.0";

std::optional<QJsonValue> JsonOf(const QByteArray &body) {
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        return std::nullopt;
    }
    return json.isArray() ? QJsonValue(json.array()) : QJsonValue(json.object());
}

std::optional<QString> StringField(const HttpAnswer &answer, QLatin1StringView field) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json || !(*json)[field].isString()) {
        return std::nullopt;
    }
    return (*json)[field].toString();
}

bool NeverRefuses(const HttpAnswer &) {
    return false;
}

QString SaysNothing(const HttpAnswer &) {
    return {};
}

// classic: the translation page the program was first written for.

HttpRequest ClassicRequest(const QString &root, const QString &text, TranslateDirection direction) {
    return {.url = BuildTranslateUrl(text, direction, root)};
}

std::optional<QString> ClassicTranslation(const HttpAnswer &answer) {
    const std::optional<QString> raw = ExtractTranslation(answer.text);
    return raw ? std::optional(DecodeCharacterReferences(*raw)) : std::nullopt;
}

QString ClassicHelpPage(const QString &root) {
    return ServicePageUrl(root);
}

// google: the basic page for browsers without scripts, then two JSON endpoints.

QString GoogleLanguages(TranslateDirection direction, bool withInterface) {
    const bool fromJapanese = direction == TranslateDirection::Ja2Ch;
    QString languages = fromJapanese ? u"sl=ja&tl=zh-CN"_s : u"sl=zh-CN&tl=ja"_s;
    if (withInterface) {
        languages += fromJapanese ? u"&hl=zh-CN"_s : u"&hl=ja"_s;
    }
    return languages;
}

HttpRequest GoogleGet(const QString &url, const QString &text) {
    return {.url = url + QString::fromLatin1(QueryValue(text)),
            .userAgent = kBrowserUserAgent,
            .followRedirects = false};
}

HttpRequest GooglePageRequest(const QString &root, const QString &text,
                              TranslateDirection direction) {
    return GoogleGet(root + u"/m?"_s + GoogleLanguages(direction, true) + u"&ie=UTF-8&q="_s, text);
}

HttpRequest GoogleSegmentsRequest(const QString &root, const QString &text,
                                  TranslateDirection direction) {
    return GoogleGet(root + u"/translate_a/single?client=gtx&"_s +
                         GoogleLanguages(direction, false) + u"&dt=t&ie=UTF-8&oe=UTF-8&q="_s,
                     text);
}

HttpRequest GoogleDictionaryRequest(const QString &root, const QString &text,
                                    TranslateDirection direction) {
    return GoogleGet(root + u"/translate_a/t?client=dict-chrome-ex&"_s +
                         GoogleLanguages(direction, false) + u"&q="_s,
                     text);
}

// Whether the attributes of an opening tag give it the class result-container, wherever the
// attribute stands among the others.
bool HasResultClass(QStringView attributes) {
    static const QRegularExpression resultClass(
        uR"((?:^|\s)class\s*=\s*(?:"result-container"|'result-container'|result-container(?:[\s/]|$)))"_s,
        QRegularExpression::CaseInsensitiveOption);
    return resultClass.match(attributes).hasMatch();
}

// The content of the first div whose class is result-container, up to the next closing div. Each
// tag is read once and the content found by plain search, so a page of any size or shape is
// read in one pass.
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

// [[["translated", "original", ...], ...], ...]: every segment's translation, in order.
std::optional<QString> GoogleSegmentsTranslation(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json || !(*json)[0].isArray() || (*json)[0].toArray().isEmpty()) {
        return std::nullopt;
    }
    QString joined;
    for (const QJsonValue segment : (*json)[0].toArray()) {
        if (!segment[0].isString()) {
            return std::nullopt;
        }
        joined += segment[0].toString();
    }
    return joined;
}

// ["translated"], or [["translated", "ja"]].
std::optional<QString> GoogleDictionaryTranslation(const HttpAnswer &answer) {
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json) {
        return std::nullopt;
    }
    const QJsonValue first = (*json)[0];
    if (first.isString()) {
        return first.toString();
    }
    if (first.isArray() && first[0].isString()) {
        return first[0].toString();
    }
    return std::nullopt;
}

bool GoogleRefuses(const HttpAnswer &answer) {
    const QUrl redirect(answer.redirect);
    return answer.status == 429 || answer.status == 403 ||
           redirect.path().startsWith(u"/sorry/"_s) || redirect.host().startsWith(u"consent."_s);
}

bool GooglePageRefuses(const HttpAnswer &answer) {
    static const QRegularExpression captchaForm(uR"(\sid\s*=\s*["']?captcha-form\b)"_s,
                                                QRegularExpression::CaseInsensitiveOption);
    return GoogleRefuses(answer) || captchaForm.match(answer.text).hasMatch();
}

QString GoogleHelpPage(const QString &root) {
    return root + u"/?sl=ja&tl=zh-CN"_s;
}

// libretranslate: a LibreTranslate server that the user runs or trusts.

HttpRequest LibreTranslateRequest(const QString &root, const QString &text,
                                  TranslateDirection direction) {
    const bool fromJapanese = direction == TranslateDirection::Ja2Ch;
    QByteArray form = "q=" + QueryValue(text) +
                      (fromJapanese ? "&source=ja&target=zh" : "&source=zh&target=ja") +
                      "&format=text";
    if (const QString key = qEnvironmentVariable("QUORVANE_LIBRETRANSLATE_KEY"); !key.isEmpty()) {
        form += "&api_key=" + QueryValue(key);
    }
    return {.url = root + u"/translate"_s, .form = form};
}

std::optional<QString> LibreTranslateTranslation(const HttpAnswer &answer) {
    return StringField(answer, "translatedText"_L1);
}

bool LibreTranslateRefuses(const HttpAnswer &answer) {
    return answer.status == 429;
}

QString LibreTranslateError(const HttpAnswer &answer) {
    return StringField(answer, "error"_L1).value_or(QString());
}

QString LibreTranslateHelpPage(const QString &root) {
    return root;
}

constexpr Endpoint kGoogle[] = {
    {u"https://translate.google.com", GooglePageRequest, GooglePageTranslation, GooglePageRefuses,
     SaysNothing},
    {u"https://translate.googleapis.com", GoogleSegmentsRequest, GoogleSegmentsTranslation,
     GoogleRefuses, SaysNothing},
    {u"https://clients5.google.com", GoogleDictionaryRequest, GoogleDictionaryTranslation,
     GoogleRefuses, SaysNothing},
};
constexpr Endpoint kLibreTranslate[] = {
    {u"http://127.0.0.1:5000", LibreTranslateRequest, LibreTranslateTranslation,
     LibreTranslateRefuses, LibreTranslateError},
};
constexpr Endpoint kClassic[] = {
    {u"" QUORVANE_SERVICE_ROOT, ClassicRequest, ClassicTranslation, NeverRefuses, SaysNothing},
};

constexpr Service kServices[] = {
    {u"google", u"Google Translate's page, then its JSON endpoints; the text goes to Google.",
     kGoogle, 8'000, GoogleHelpPage},
    {u"libretranslate", u"a LibreTranslate server, at http://127.0.0.1:5000 unless given a root.",
     kLibreTranslate, 0, LibreTranslateHelpPage},
    {u"classic", u"the first translation page's protocol, at " QUORVANE_SERVICE_ROOT u".", kClassic,
     0, ClassicHelpPage},
};

bool IsServiceRoot(const QString &root) {
    static const QRegularExpression form(
        uR"(^https?://([A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?|\[[0-9A-Fa-f:.]+\])(:[0-9]{1,5})?$)"_s);
    return form.match(root).hasMatch() && QUrl(root, QUrl::StrictMode).isValid();
}

bool IsKana(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3040 && u <= 0x30FF) || (u >= 0x31F0 && u <= 0x31FF) ||
           (u >= 0xFF66 && u <= 0xFF9F);
}

}  // namespace

std::span<const Service> Services() {
    return kServices;
}

QString ServiceChoice::RootOf(const Endpoint &endpoint) const {
    return root.isEmpty() ? endpoint.root.toString() : root;
}

QString ServiceChoice::Root() const {
    return RootOf(service->endpoints.front());
}

QString ServiceChoice::HelpPage() const {
    return service->helpPage(Root());
}

QString ServiceNames() {
    QStringList names;
    for (const Service &service : Services()) {
        names.append(service.name.toString());
    }
    return names.join(u", "_s);
}

ServiceChoiceOrError ParseServiceChoice(const QString &value) {
    const qsizetype equals = value.indexOf(u'=');
    const QString name = value.left(equals);
    const auto service = std::find_if(Services().begin(), Services().end(),
                                      [&name](const Service &row) { return row.name == name; });
    if (service == Services().end()) {
        return {std::nullopt,
                u"Unknown service '%1'. The services: %2."_s.arg(name, ServiceNames())};
    }
    const QString root = equals < 0 ? QString() : value.mid(equals + 1);
    if (equals >= 0 && !IsServiceRoot(root)) {
        return {std::nullopt,
                u"Not a service root: '%1'. A root is http:// or https:// and a host, with an "
                u"optional port and no path. The services: %2."_s.arg(root, ServiceNames())};
    }
    return {ServiceChoice{&*service, root}, {}};
}

ServiceChoiceOrError ChooseService(const std::optional<QString> &option) {
    if (option) {
        return ParseServiceChoice(*option);
    }
    const QString fromEnvironment = qEnvironmentVariable("QUORVANE_SERVICE");
    return ParseServiceChoice(fromEnvironment.isEmpty() ? QStringLiteral(QUORVANE_DEFAULT_SERVICE)
                                                        : fromEnvironment);
}

TranslateDirection DirectionOfText(const QString &text) {
    return std::any_of(text.cbegin(), text.cend(), IsKana) ? TranslateDirection::Ja2Ch
                                                           : TranslateDirection::Ch2Ja;
}

QString FailureMessage(const QString &serviceRoot) {
    return QStringLiteral("从\"") + serviceRoot +
           QStringLiteral(
               "\"获取数据失败，请检查代理设置是否正确或者尝试减少一次性翻译的文字的数量。"
               "如果还不能解决问题，请点帮助。");
}

QString RefusalMessage(const QString &reason) {
    const QString because = reason.isEmpty() ? QString() : u"（"_s + reason + u"）"_s;
    return u"翻译服务暂时拒绝了请求"_s + because +
           u"。请稍后再试，或者用 --service 选择其他翻译服务。"_s;
}

QString EmptyInputMessage() {
    return QStringLiteral("错误:要翻译内容不能为空");
}

QString NoTranslationMessage() {
    return QStringLiteral("错误:返回的页面中找不到译文");
}

}  // namespace quorvane
