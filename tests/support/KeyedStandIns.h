#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <functional>

#include "support/LoopbackServer.h"

// Stand-ins of the services that take the user's key. Each checks a request the way its service
// does (method, path, headers, body, key and signature, the bounds of one request) and answers
// with the service's own error, naming the check, when one fails.
namespace stand_in {

// A header's value in a raw request, its name compared without case; "" if absent.
QByteArray HeaderValue(const QByteArray &request, const QByteArray &name);

// The key that the stand-in of `service` takes, in the form the user gives it.
QString KeyOf(const QString &service);

using Translator = std::function<QString(const QString &text)>;
// The stand-in of `service`, translating each text by `translate`, after `delay` per request.
LoopbackServer::Script Keyed(const QString &service, Translator translate,
                             std::chrono::milliseconds delay = std::chrono::milliseconds(0));

}  // namespace stand_in
