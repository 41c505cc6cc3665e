#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include "translation/KeyedServices.h"
#include "translation/Services.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

constexpr char16_t kThinkOpen[] = u"<think>";
constexpr char16_t kThinkClose[] = u"</think>";

QString SystemMessage(TranslateDirection direction) {
    const QString languages = direction == TranslateDirection::Ja2Ch
                                  ? u"from Japanese into Simplified Chinese"_s
                                  : u"from Simplified Chinese into Japanese"_s;
    return u"You are a translator. Translate the user's text "_s + languages +
           u". Reply with the translation only: no explanation, no notes, no quotes around it. "
           u"Keep its line breaks."_s;
}

HttpRequest Request(const RequestParts &parts) {
    const QJsonArray messages{
        QJsonObject{{u"role"_s, u"system"_s}, {u"content"_s, SystemMessage(parts.direction)}},
        QJsonObject{{u"role"_s, u"user"_s}, {u"content"_s, parts.text()}}};
    const QJsonObject body{{u"model"_s, parts.model},
                           {u"stream"_s, true},
                           {u"temperature"_s, 0},
                           {u"messages"_s, messages}};
    QList<QByteArray> headers;
    if (!parts.key.isEmpty()) {
        headers.append("Authorization: Bearer " + parts.key.toLatin1());
    }
    return JsonRequest(parts.root + u"/chat/completions"_s, body, std::move(headers));
}

// The server-sent events of a body from where `stream` left it, whole lines only: the content of
// their deltas, and whether the stream ended.
void ReadStream(const QByteArray &body, StreamRead &stream) {
    for (qsizetype end = body.indexOf('\n', stream.read); end >= 0;
         end = body.indexOf('\n', stream.read)) {
        const QByteArray line = body.mid(stream.read, end - stream.read).trimmed();
        stream.read = end + 1;
        if (!line.startsWith("data:")) {
            continue;
        }
        stream.isStream = true;
        const QByteArray data = line.mid(5).trimmed();
        if (data == "[DONE]") {
            stream.ended = true;
            continue;
        }
        const std::optional<QJsonValue> event = JsonOf(data);
        const QJsonValue content =
            event ? (*event)[u"choices"_s][0][u"delta"_s][u"content"_s] : QJsonValue();
        stream.content += content.toString();
    }
}

StreamRead WholeStream(const QByteArray &body) {
    StreamRead stream;
    ReadStream(body, stream);
    return stream;
}

// A reasoning model's leading <think>…</think> is no part of the translation; while it, or its
// opening tag, is still arriving, there is no translation yet.
QString WithoutThinking(const QString &text) {
    static const QRegularExpression nonSpace(u"\\S"_s);
    const qsizetype first = text.indexOf(nonSpace);
    if (first < 0) {
        return {};
    }
    const QStringView start = QStringView(text).sliced(first);
    if (!start.startsWith(kThinkOpen)) {
        return QStringView(kThinkOpen).startsWith(start) ? QString() : text;
    }
    const qsizetype close = start.indexOf(kThinkClose);
    if (close < 0) {
        return {};
    }
    QStringView after = start.sliced(close + QStringView(kThinkClose).size());
    while (!after.isEmpty() && after.front().isSpace()) {
        after = after.sliced(1);
    }
    return after.toString();
}

QString ArrivedText(const QByteArray &bodySoFar, StreamRead &stream) {
    ReadStream(bodySoFar, stream);
    return WithoutThinking(stream.content);
}

// The content of a stream, whole, or of one document from a server that does not stream.
std::optional<QString> Content(const HttpAnswer &answer) {
    const StreamRead stream = WholeStream(answer.body);
    if (stream.isStream) {
        return stream.ended ? std::optional(stream.content) : std::nullopt;
    }
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    const QJsonValue content =
        json ? (*json)[u"choices"_s][0][u"message"_s][u"content"_s] : QJsonValue();
    return content.isString() ? std::optional(content.toString()) : std::nullopt;
}

// A model that wrote nothing but its thoughts gave no translation.
std::optional<QStringList> Translations(const HttpAnswer &answer) {
    const std::optional<QString> content = answer.status == 200 ? Content(answer) : std::nullopt;
    const QString translation = content ? WithoutThinking(*content) : QString();
    return translation.isEmpty() ? std::nullopt : std::optional(QStringList{translation});
}

Refusal Refuses(const HttpAnswer &answer) {
    if (answer.status == 429) {
        return Refusal::ForNow;
    }
    return answer.status == 401 || answer.status == 403 ? Refusal::Key : Refusal::None;
}

// OpenAI's servers say {"error":{"message":…}}, Ollama's {"error":"model … not found"}.
QString ServiceError(const HttpAnswer &answer) {
    if (const StreamRead stream = WholeStream(answer.body); stream.isStream) {
        return stream.ended ? QString() : u"the stream was cut off"_s;
    }
    const std::optional<QJsonValue> json = JsonOf(answer.body);
    if (!json) {
        return {};
    }
    const QJsonValue error = (*json)[u"error"_s];
    return error.isString() ? error.toString() : error[u"message"_s].toString();
}

QString HelpPage(const ServiceChoice &) {
    return u"https://ollama.com/library/qwen2.5"_s;
}

constexpr Endpoint kEndpoints[] = {
    {u"http://127.0.0.1:11434/v1", Request, Translations, Refuses, ServiceError},
};

}  // namespace

const Service kLlmService = {
    .name = u"llm",
    .summary =
        u"a language model behind an OpenAI-compatible server, by default Ollama at "
        u"http://127.0.0.1:11434/v1; the text goes to that server.",
    .endpoints = kEndpoints,
    .maxAddressBytes = 0,
    .encoding = QueryEncoding::KeepUnreserved,
    .batch = {.maxTexts = 1, .maxSize = 4'000, .cost = Utf16Cost},
    .key = {.shape = u"KEY", .required = false},
    .helpPage = HelpPage,
    .arrivedText = ArrivedText,
    .noDataHint = u"is the local server running? Start it with: ollama serve",
    .rootTakesPath = true,
    .defaultModel = u"qwen2.5:7b",
    .longestExchange = std::chrono::minutes(5),
};

}  // namespace quorvane
