#include "translation/Service.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quorvane {

HttpRequest JsonRequest(const QString &url, const QJsonValue &json, QList<QByteArray> headers) {
    const QJsonDocument document =
        json.isArray() ? QJsonDocument(json.toArray()) : QJsonDocument(json.toObject());
    return {.url = url,
            .body = document.toJson(QJsonDocument::Compact),
            .contentType = "application/json",
            .headers = std::move(headers)};
}

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

std::optional<QStringList> Strings(const QJsonValue &array, QLatin1StringView field) {
    if (!array.isArray()) {
        return std::nullopt;
    }
    QStringList strings;
    for (const QJsonValue element : array.toArray()) {
        const QJsonValue value = field.isEmpty() ? element : element[field];
        if (!value.isString()) {
            return std::nullopt;
        }
        strings.append(value.toString());
    }
    return strings;
}

Refusal NeverRefuses(const HttpAnswer &) {
    return Refusal::None;
}

QString SaysNothing(const HttpAnswer &) {
    return {};
}

qsizetype Utf8Cost(char32_t codePoint) {
    return EncodedLength(codePoint, QueryEncoding::EveryByte) / 3;
}

qsizetype JsonCost(char32_t codePoint) {
    if (codePoint == U'"' || codePoint == U'\\' || codePoint == U'\n' || codePoint == U'\r' ||
        codePoint == U'\t' || codePoint == U'\b' || codePoint == U'\f') {
        return 2;
    }
    return codePoint < 0x20 ? 6 : Utf8Cost(codePoint);
}

qsizetype Utf16Cost(char32_t codePoint) {
    return codePoint > 0xFFFF ? 2 : 1;
}

}  // namespace quorvane
