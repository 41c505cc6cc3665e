#include "translation/Services.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

#include "common/BuildInfo.h"
#include "translation/ClassicService.h"
#include "translation/GoogleService.h"
#include "translation/KeyedServices.h"
#include "translation/LibreTranslateService.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

const Service *const kServices[] = {
    &kGoogleService,  &kDeepLService,  &kBaiduService, &kYoudaoService,         &kAzureService,
    &kTencentService, &kCaiyunService, &kLlmService,   &kLibreTranslateService, &kClassicService,
};

// A host with an optional port, and a path where the service takes one.
bool IsServiceRoot(const QString &root, bool withPath) {
    static const QRegularExpression form(
        uR"(^https?://([A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?|\[[0-9A-Fa-f:.]+\])(:[0-9]{1,5})?((?:/[A-Za-z0-9._~!$&'()*+,;=:@%-]+)*)$)"_s);
    const QRegularExpressionMatch match = form.match(root);
    return match.hasMatch() && (withPath || match.capturedLength(3) == 0) &&
           QUrl(root, QUrl::StrictMode).isValid();
}

bool IsLoopback(const QUrl &url) {
    static const QRegularExpression loopbackAddress(uR"(^127(\.[0-9]{1,3}){3}$|^::1$)"_s);
    const QString host = url.host();
    return host == u"localhost"_s || loopbackAddress.match(host).hasMatch();
}

std::optional<ServiceChoice> ParseServiceChoice(const QString &value, QString &error) {
    const qsizetype equals = value.indexOf(u'=');
    const QString name = value.left(equals);
    const Service *service = ServiceNamed(name);
    if (!service) {
        error = u"Unknown service '%1'. The services: %2."_s.arg(name, ServiceNames());
        return std::nullopt;
    }
    const QString root = equals < 0 ? QString() : value.mid(equals + 1);
    if (equals >= 0 && !IsServiceRoot(root, service->rootTakesPath)) {
        const QString path = service->rootTakesPath ? u"and path"_s : u"and no path"_s;
        error =
            u"Not a service root: '%1'. A root is http:// or https:// and a host, with an "
            u"optional port %2. The services: %3."_s.arg(root, path, ServiceNames());
        return std::nullopt;
    }
    return ServiceChoice{service, root};
}

}  // namespace

std::span<const Service *const> Services() {
    return kServices;
}

const Service *ServiceNamed(QStringView name) {
    const auto service = std::find_if(Services().begin(), Services().end(),
                                      [name](const Service *row) { return row->name == name; });
    return service == Services().end() ? nullptr : *service;
}

QString ServiceChoice::RootOf(const Endpoint &endpoint) const {
    return root.isEmpty() ? endpoint.root.toString() : root;
}

QString ServiceChoice::FirstRoot() const {
    return RootOf(service->endpoints.front());
}

QString ServiceChoice::HelpPage() const {
    return service->helpPage(*this);
}

HttpRequest ServiceChoice::RequestOf(const Endpoint &endpoint, const QStringList &texts,
                                     TranslateDirection direction) const {
    return endpoint.request({RootOf(endpoint), texts, direction, key,
                             model.isEmpty() ? service->defaultModel.toString() : model});
}

QString ServiceNames() {
    QStringList names;
    for (const Service *service : Services()) {
        names.append(service->name.toString());
    }
    return names.join(u", "_s);
}

ServiceChainOrError ParseServiceChain(const QString &value) {
    ServiceChain chain;
    QString error;
    for (const QString &element : value.split(u',')) {
        std::optional<ServiceChoice> choice = ParseServiceChoice(element, error);
        if (!choice) {
            return {std::nullopt, error};
        }
        chain.append(*std::move(choice));
    }
    return {chain, {}};
}

ServiceChainOrError ChooseService(const std::optional<QString> &option,
                                  const QString &environment) {
    if (option) {
        return ParseServiceChain(*option);
    }
    return ParseServiceChain(environment.isEmpty() ? QStringLiteral(QUORVANE_DEFAULT_SERVICE)
                                                   : environment);
}

QString KeyVariable(const Service &service) {
    return u"QUORVANE_KEY_"_s + service.name.toString().toUpper();
}

QString KeyProblem(const Service &service, const QString &key) {
    const KeyForm &form = service.key;
    const QString name = service.name.toString();
    if (form.shape.isEmpty()) {
        return u"The service %1 takes no key."_s.arg(name);
    }
    const bool printable = std::all_of(
        key.cbegin(), key.cend(), [](QChar c) { return c.unicode() > u' ' && c.unicode() < 0x7F; });
    const qsizetype parts = key.count(u':') + 1;
    if (key.isEmpty() || !printable || parts < form.minParts || parts > form.maxParts ||
        key.split(u':').contains(QString())) {
        return u"That is not a key of %1: a key of %1 is %2, on one line of printable ASCII "
               u"without spaces."_s.arg(name, form.shape);
    }
    return {};
}

QString KeyTransportProblem(const ServiceChoice &choice) {
    if (choice.key.isEmpty()) {
        return {};
    }
    for (const Endpoint &endpoint : choice.service->endpoints) {
        const QUrl root(choice.RootOf(endpoint));
        if (root.scheme() != u"https"_s && !IsLoopback(root)) {
            return u"The key of %1 goes over https:// only, not to %2."_s.arg(
                choice.service->name, choice.RootOf(endpoint));
        }
    }
    return {};
}

}  // namespace quorvane
