#include "support/ServiceStandIns.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace stand_in {

quorvane::ServiceChoice Choice(const QString &name, const QString &root) {
    const quorvane::ServiceChainOrError parsed = quorvane::ParseServiceChain(name + u'=' + root);
    if (!parsed.chain) {
        qFatal("%s", qPrintable(parsed.error));
    }
    return parsed.chain->front();
}

QByteArray ChatEvent(const QString &content) {
    const QJsonObject delta{{u"content"_s, content}};
    const QJsonObject event{
        {u"choices"_s, QJsonArray{QJsonObject{{u"index"_s, 0}, {u"delta"_s, delta}}}}};
    return "data: " + QJsonDocument(event).toJson(QJsonDocument::Compact) + "\n\n";
}

QByteArray ChatStreamHead() {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nConnection: close\r\n\r\n";
}

LoopbackServer::Script ChatStream::script() {
    return [this](LoopbackServer::Exchange &exchange) {
        exchange.send(ChatStreamHead());
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            if (i == hold && !resume.tryAcquire(1, 10'000)) {
                return;
            }
            exchange.send(ChatEvent(tokens[i]));
        }
        if (!cut) {
            exchange.send("data: [DONE]\n\n");
        }
    };
}

QString FieldValue(const QByteArray &fields, const QByteArray &key) {
    for (const QByteArray &field : fields.split('&')) {
        if (field.startsWith(key + '=')) {
            return QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(key.size() + 1)));
        }
    }
    return {};
}

QByteArray Target(const QByteArray &request) {
    return request.left(request.indexOf("\r\n")).split(' ').value(1);
}

QByteArray Body(const QByteArray &request) {
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

QString SentText(const QByteArray &request) {
    const QByteArray target = Target(request);
    return target.contains('?') ? FieldValue(target.mid(target.indexOf('?') + 1), "q")
                                : FieldValue(Body(request), "q");
}

QByteArray ClassicPage(const QString &translation) {
    return (u"<html><body><textarea name=\"before\" id=\"before\">原文</textarea>"
            u"<textarea name=\"after\" id=\"after\">"_s +
            translation + u"</textarea></body></html>"_s)
        .toUtf8();
}

QByteArray GooglePage(const QString &translation) {
    return (u"<!DOCTYPE html><html><head><title>Google 翻译</title></head><body>"
            u"<div class=\"languages-container\"><div class=\"sl-and-tl\">日语 → 中文</div></div>"
            u"<div class=\"result-container\">"_s +
            translation.toHtmlEscaped() +
            u"</div><div class=\"links-container\"><ul><li><a href=\"/\">Google</a></li></ul>"
            u"</div></body></html>"_s)
        .toUtf8();
}

QByteArray GoogleSegments(const QStringList &segments) {
    QJsonArray sentences;
    for (const QString &segment : segments) {
        sentences.append(QJsonArray{segment, u"原文"_s, QJsonValue(), QJsonValue(), 10});
    }
    return QJsonDocument(QJsonArray{sentences, QJsonValue(), u"ja"_s})
        .toJson(QJsonDocument::Compact);
}

QByteArray GoogleDictionary(const QStringList &parts) {
    return QJsonDocument(QJsonArray::fromStringList(parts)).toJson(QJsonDocument::Compact);
}

QByteArray GoogleSorryPage() {
    return "<html><head><title>Sorry...</title></head><body><div>Our systems have detected "
           "unusual traffic from your computer network.</div><form id=\"captcha-form\" "
           "action=\"index\" method=\"post\"><div class=\"g-recaptcha\"></div></form></body>"
           "</html>";
}

QStringList LinesOf(const QString &text) {
    QStringList lines;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = text.indexOf(u'\n', start);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, next - start));
        start = next;
    }
    return lines;
}

Answer Always(QByteArray response) {
    return [response = std::move(response)](const QString &) { return response; };
}

Answer TranslatingBy(std::function<QByteArray(const QString &text)> body) {
    return [body = std::move(body)](const QString &text) {
        return LoopbackServer::keepAliveResponse(200, body(text));
    };
}

namespace {

QString GoogleEndpoint(const QByteArray &request) {
    const QByteArray target = Target(request);
    return target.startsWith("/m?")                    ? u"page"_s
           : target.startsWith("/translate_a/single?") ? u"segments"_s
           : target.startsWith("/translate_a/t?")      ? u"dictionary"_s
                                                       : u"other"_s;
}

}  // namespace

LoopbackServer::Script Google(GoogleAnswers answers) {
    return [answers = std::move(answers)](LoopbackServer::Exchange &exchange) {
        const QString endpoint = GoogleEndpoint(exchange.request());
        const Answer &answer = endpoint == u"page"_s       ? answers.page
                               : endpoint == u"segments"_s ? answers.segments
                                                           : answers.dictionary;
        exchange.send(answer && endpoint != u"other"_s
                          ? answer(SentText(exchange.request()))
                          : LoopbackServer::keepAliveResponse(404, "<h1>Not Found</h1>"));
    };
}

namespace {

QByteArray AnswerToday(const QByteArray &target, const QString &text,
                       const std::function<QString(const QString &)> &translate) {
    const QString client = FieldValue(target.mid(target.indexOf('?') + 1), "client");
    if (target.startsWith("/m?")) {
        return LoopbackServer::keepAliveResponse(
            302, {}, "Location: https://www.google.com/sorry/index?continue=x\r\n");
    }
    if (client == u"gtx"_s) {
        return LoopbackServer::keepAliveResponse(429, GoogleSorryPage());
    }
    if (client != u"dict-chrome-ex"_s && client != u"at"_s) {
        return LoopbackServer::keepAliveResponse(403, "<html>Forbidden</html>");
    }
    QStringList parts;
    for (const QString &line : LinesOf(text)) {
        parts.append(translate(line));
    }
    if (target.startsWith("/translate_a/single?")) {
        return LoopbackServer::keepAliveResponse(200, GoogleSegments(parts));
    }
    return LoopbackServer::keepAliveResponse(200, GoogleDictionary(parts));
}

}  // namespace

LoopbackServer::Script GoogleToday(std::function<QString(const QString &text)> translate) {
    return [translate = std::move(translate)](LoopbackServer::Exchange &exchange) {
        const QByteArray target = Target(exchange.request());
        exchange.send(GoogleEndpoint(exchange.request()) == u"other"_s
                          ? LoopbackServer::keepAliveResponse(404, "<h1>Not Found</h1>")
                          : AnswerToday(target, SentText(exchange.request()), translate));
    };
}

QStringList GoogleEndpoints(const LoopbackServer &server) {
    QStringList endpoints;
    for (const QByteArray &request : server.requests()) {
        endpoints.append(GoogleEndpoint(request));
    }
    return endpoints;
}

}  // namespace stand_in
