#include "translation/Services.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

#include "common/BuildInfo.h"
#include "translation/GoogleService.h"
#include "translation/HtmlCharacterReferences.h"
#include "translation/TextPieces.h"
#include "translation/TranslateRequest.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

// classic: the translation page the program was first written for.

HttpRequest ClassicRequest(const QString &root, const QString &text, TranslateDirection direction) {
    return {.url = BuildTranslateUrl(text, direction, root)};
}

std::optional<QString> ClassicTranslation(const HttpAnswer &answer) {
    const std::optional<QString> raw = ExtractTranslation(answer.text);
    return raw ? std::optional(DecodeCharacterReferences(*raw)) : std::nullopt;
}

QString ClassicHelpPage(const ServiceChoice &choice) {
    return ServicePageUrl(choice.Root());
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

QString LibreTranslateHelpPage(const ServiceChoice &choice) {
    return choice.Root();
}

constexpr Endpoint kLibreTranslate[] = {
    {u"http://127.0.0.1:5000", LibreTranslateRequest, LibreTranslateTranslation,
     LibreTranslateRefuses, LibreTranslateError},
};
constexpr Endpoint kClassic[] = {
    {u"" QUORVANE_SERVICE_ROOT, ClassicRequest, ClassicTranslation, NeverRefuses, SaysNothing},
};

const Service kLibreTranslateService = {
    u"libretranslate", u"a LibreTranslate server, at http://127.0.0.1:5000 unless given a root.",
    kLibreTranslate, 0, LibreTranslateHelpPage};
const Service kClassicService = {
    u"classic", u"the first translation page's protocol, at " QUORVANE_SERVICE_ROOT u".", kClassic,
    0, ClassicHelpPage};

const Service *const kServices[] = {&kGoogleService, &kLibreTranslateService, &kClassicService};

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

std::span<const Service *const> Services() {
    return kServices;
}

QString ServiceChoice::RootOf(const Endpoint &endpoint) const {
    return root.isEmpty() ? endpoint.root.toString() : root;
}

QString ServiceChoice::Root() const {
    return RootOf(service->endpoints.front());
}

QString ServiceChoice::HelpPage() const {
    return service->helpPage(*this);
}

QString ServiceNames() {
    QStringList names;
    for (const Service *service : Services()) {
        names.append(service->name.toString());
    }
    return names.join(u", "_s);
}

ServiceChoiceOrError ParseServiceChoice(const QString &value) {
    const qsizetype equals = value.indexOf(u'=');
    const QString name = value.left(equals);
    const auto service = std::find_if(Services().begin(), Services().end(),
                                      [&name](const Service *row) { return row->name == name; });
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
    return {ServiceChoice{*service, root}, {}};
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

QString RefusalMessage(const QString &reason, MessageReader reader) {
    const QString because = reason.isEmpty() ? QString() : u"（"_s + reason + u"）"_s;
    const QString choose = reader == MessageReader::Terminal ? u"用 --service 选择"_s : u"选择"_s;
    return u"翻译服务暂时拒绝了请求"_s + because + u"。请稍后再试，或者"_s + choose +
           u"其他翻译服务。"_s;
}

QString RefusalStatus() {
    return u"错误:翻译服务暂时拒绝了请求"_s;
}

QString EmptyInputMessage() {
    return QStringLiteral("错误:要翻译内容不能为空");
}

QString NoTranslationMessage() {
    return QStringLiteral("错误:返回的页面中找不到译文");
}

}  // namespace quorvane
