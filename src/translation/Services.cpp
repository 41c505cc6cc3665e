#include "translation/Services.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

#include "common/BuildInfo.h"
#include "translation/ClassicService.h"
#include "translation/GoogleService.h"
#include "translation/LibreTranslateService.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

const Service *const kServices[] = {&kGoogleService, &kLibreTranslateService, &kClassicService};

bool IsServiceRoot(const QString &root) {
    static const QRegularExpression form(
        uR"(^https?://([A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?|\[[0-9A-Fa-f:.]+\])(:[0-9]{1,5})?$)"_s);
    return form.match(root).hasMatch() && QUrl(root, QUrl::StrictMode).isValid();
}

}  // namespace

std::span<const Service *const> Services() {
    return kServices;
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

HttpRequest ServiceChoice::RequestOf(const Endpoint &endpoint, const QString &text,
                                     TranslateDirection direction) const {
    return endpoint.request({RootOf(endpoint), text, direction, key});
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

ServiceChoiceOrError ChooseService(const std::optional<QString> &option,
                                   const QString &environment) {
    if (option) {
        return ParseServiceChoice(*option);
    }
    return ParseServiceChoice(environment.isEmpty() ? QStringLiteral(QUORVANE_DEFAULT_SERVICE)
                                                    : environment);
}

}  // namespace quorvane
