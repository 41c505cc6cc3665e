#pragma once

#include <QByteArray>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <functional>

#include "support/LoopbackServer.h"
#include "translation/Services.h"

// Loopback stand-ins that answer as the translation services do, and readers of what they got.
namespace stand_in {

// The service `name` with all its endpoints at `root`.
quorvane::ServiceChoice Choice(const QString &name, const QString &root);
inline quorvane::ServiceChoice Classic(const QString &root) {
    return Choice(QStringLiteral("classic"), root);
}

// The value of `key` in a query or form ("a=1&q=%E7%8C%AB"), percent-decoded; "" if absent.
QString FieldValue(const QByteArray &fields, const QByteArray &key);
// "/m?sl=ja&..." of "GET /m?sl=ja&... HTTP/1.1".
QByteArray Target(const QByteArray &request);
QByteArray Body(const QByteArray &request);
// The text a request carries: its query's or its form's "q".
QString SentText(const QByteArray &request);

// The classic service's result page: a text area named "before" with the source text, then one
// named "after" with `translation`, as it stands.
QByteArray ClassicPage(const QString &translation);
// Google's basic page with `translation` as its result, among other markup.
QByteArray GooglePage(const QString &translation);
QByteArray GoogleSegments(const QStringList &segments);
QByteArray GoogleDictionary(const QStringList &parts);
// Google's answer to automated queries, with its captcha form.
QByteArray GoogleSorryPage();
// The lines of `text`, each with its line break, as Google parts a text.
QStringList LinesOf(const QString &text);

// A whole HTTP response, given the text that the request carried.
using Answer = std::function<QByteArray(const QString &text)>;
Answer Always(QByteArray response);
// 200 with the text's own translation as the function makes it, kept alive.
Answer TranslatingBy(std::function<QByteArray(const QString &text)> body);

// Google's three endpoints; a missing answer is a 404.
struct GoogleAnswers {
    Answer page{};
    Answer segments{};
    Answer dictionary{};
};
LoopbackServer::Script Google(GoogleAnswers answers);
// Google as it answers scripted clients since September 2026: the page redirects to its "sorry"
// page, client=gtx gets 429 with that page, client=dict-chrome-ex and client=at get 200 with the
// text's lines as segments or parts as `translate` makes them, other clients get 403.
LoopbackServer::Script GoogleToday(std::function<QString(const QString &text)> translate);
// Which of Google's endpoints each request went to: "page", "segments", "dictionary".
QStringList GoogleEndpoints(const LoopbackServer &server);

// One server-sent event of the chat completions protocol whose delta is `content`.
QByteArray ChatEvent(const QString &content);
// The head of a stream of events that ends when the connection closes.
QByteArray ChatStreamHead();

// A server of the chat completions protocol that streams its tokens, an event each. Before the
// token at `hold` it waits, ten seconds at most, for `resume`; it ends with [DONE] unless the
// stream is to be cut.
struct ChatStream {
    QStringList tokens;
    qsizetype hold = -1;
    bool cut = false;
    QSemaphore resume{};

    LoopbackServer::Script script();
};

}  // namespace stand_in
