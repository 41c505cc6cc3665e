#pragma once

#include <QString>
#include <optional>
#include <span>

#include "translation/Service.h"

namespace quorvane {

std::span<const Service *const> Services();

// A service, the root that replaces the roots of all its endpoints ("" for their own), and the
// user's key for it.
struct ServiceChoice {
    const Service *service = nullptr;
    QString root;
    QString key{};

    QString RootOf(const Endpoint &endpoint) const;
    QString FirstRoot() const;  // the first endpoint's: where the text goes first
    QString HelpPage() const;
    HttpRequest RequestOf(const Endpoint &endpoint, const QString &text,
                          TranslateDirection direction) const;
};

struct ServiceChoiceOrError {
    std::optional<ServiceChoice> choice;
    QString error;  // a usage message that lists the services, when there is no choice
};

// "NAME" or "NAME=ROOT".
ServiceChoiceOrError ParseServiceChoice(const QString &value);
// The option's value if given, else the environment's value (QUORVANE_SERVICE) if not empty,
// else the build's default.
ServiceChoiceOrError ChooseService(const std::optional<QString> &option,
                                   const QString &environment);
// The services' names, joined by ", ".
QString ServiceNames();

}  // namespace quorvane
