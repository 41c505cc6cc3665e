#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <span>

#include "translation/Service.h"

namespace quorvane {

std::span<const Service *const> Services();
const Service *ServiceNamed(QStringView name);

// A service, the root that replaces the roots of all its endpoints ("" for their own), and the
// user's key for it.
struct ServiceChoice {
    const Service *service = nullptr;
    QString root;
    QString key{};
    QString model{};  // for a service of models; "" for its default

    QString RootOf(const Endpoint &endpoint) const;
    QString FirstRoot() const;  // the first endpoint's: where the text goes first
    QString HelpPage() const;
    HttpRequest RequestOf(const Endpoint &endpoint, const QStringList &texts,
                          TranslateDirection direction) const;
};

// The services a text goes to, in order, each after the one before says no.
using ServiceChain = QList<ServiceChoice>;

struct ServiceChainOrError {
    std::optional<ServiceChain> chain;
    QString error;  // a usage message that lists the services, when there is no chain
};

// "NAME" or "NAME=ROOT", several joined by ','.
ServiceChainOrError ParseServiceChain(const QString &value);
// The option's value if given, else the environment's value (QUORVANE_SERVICE) if not empty,
// else the build's default.
ServiceChainOrError ChooseService(const std::optional<QString> &option, const QString &environment);
// The services' names, joined by ", ".
QString ServiceNames();

// The environment variable that gives the key of `service`: QUORVANE_KEY_ and its name in
// capitals.
QString KeyVariable(const Service &service);
// Why `key` cannot be the key of `service`, never quoting the key; "" when it can.
QString KeyProblem(const Service &service, const QString &key);
// Why the choice may not carry its key to its root: a key goes over https:// only, except to
// this machine; "" when it may.
QString KeyTransportProblem(const ServiceChoice &choice);

}  // namespace quorvane
