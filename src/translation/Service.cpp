#include "translation/Service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quorvane {

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

}  // namespace quorvane
