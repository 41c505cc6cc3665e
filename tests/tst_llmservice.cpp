#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "support/KeyedStandIns.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "translation/TranslateRequest.h"

using namespace quorvane;
using namespace stand_in;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TranslateOutcome)

namespace {

ServiceChoice Llm(const LoopbackServer &server) {
    return ParseServiceChain(u"llm="_s + server.root() + u"/v1"_s).chain->front();
}

struct Arrivals {
    QStringList pieces;
    QString joined() const { return pieces.join(QString()); }
};

}  // namespace

class TestLlmService : public QObject {
    Q_OBJECT

private slots:
    void requestIsTheChatCompletionsProtocol();
    void translationArrivesBeforeTheStreamEnds();
    void thinkingIsNoPartOfTheTranslation();
    void onlyThoughtsAreNoTranslation();
    void serverWithoutStreamingIsReadToo();
    void cutStreamKeepsWhatArrivedAndFails();
    void errorsAreClassified_data();
    void errorsAreClassified();
    void noLocalServerSaysHowToStartIt();
    void longTextGoesInPiecesInOrder();
    void rootMayCarryAPath();
    void terminalPrintsAsTheStreamArrives();
};

void TestLlmService::requestIsTheChatCompletionsProtocol() {
    ChatStream stream{{u"我喜欢猫"_s}};
    LoopbackServer server(stream.script());
    ServiceChoice choice = Llm(server);
    choice.key = u"sk-test"_s;
    choice.model = u"deepseek-chat"_s;
    const TranslateResult result = TranslateText(u"猫が好き"_s, TranslateDirection::Ja2Ch, choice);
    QCOMPARE(result.translation, std::optional(u"我喜欢猫"_s));
    const QByteArray request = server.requests().value(0);
    QCOMPARE(server.requestLines(), QList<QByteArray>{"POST /v1/chat/completions HTTP/1.1"});
    QCOMPARE(HeaderValue(request, "Authorization"), QByteArray("Bearer sk-test"));
    QCOMPARE(HeaderValue(request, "Content-Type"), QByteArray("application/json"));
    const QJsonObject body = QJsonDocument::fromJson(Body(request)).object();
    QCOMPARE(body[u"model"_s].toString(), u"deepseek-chat"_s);
    QCOMPARE(body[u"stream"_s], QJsonValue(true));
    QCOMPARE(body[u"temperature"_s].toDouble(), 0.0);
    const QJsonArray messages = body[u"messages"_s].toArray();
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[0][u"role"_s].toString(), u"system"_s);
    QVERIFY(messages[0][u"content"_s].toString().contains(u"Simplified Chinese"_s));
    QCOMPARE(messages[1][u"role"_s].toString(), u"user"_s);
    QCOMPARE(messages[1][u"content"_s].toString(), u"猫が好き"_s);

    // A local server needs no key, and the default model is asked for.
    ChatStream local{{u"猫"_s}};
    LoopbackServer localServer(local.script());
    TranslateText(u"猫"_s, TranslateDirection::Ch2Ja, Llm(localServer));
    const QByteArray localRequest = localServer.requests().value(0);
    QCOMPARE(HeaderValue(localRequest, "Authorization"), QByteArray());
    QVERIFY(!QJsonDocument::fromJson(Body(localRequest))[u"model"_s].toString().isEmpty());
}

// The server holds the stream's end until the sink has the first piece: no timing involved.
void TestLlmService::translationArrivesBeforeTheStreamEnds() {
    ChatStream stream{{u"我"_s, u"喜欢"_s, u"猫"_s}, 1};
    LoopbackServer server(stream.script());
    Arrivals arrivals;
    const TranslateResult result =
        TranslateText(u"猫が好き"_s, TranslateDirection::Ja2Ch, Llm(server), {}, nullptr,
                      [&](const QString &arrived) {
                          arrivals.pieces.append(arrived);
                          stream.resume.release();
                      });
    QCOMPARE(result.outcome, TranslateOutcome::Translated);
    QCOMPARE(arrivals.pieces.value(0), u"我"_s);
    QCOMPARE(arrivals.joined(), u"我喜欢猫"_s);
}

void TestLlmService::thinkingIsNoPartOfTheTranslation() {
    ChatStream stream{
        {u"<thi"_s, u"nk>猫は"_s, u"中国語で…"_s, u"</thi"_s, u"nk>\n\n"_s, u"我喜欢"_s, u"猫"_s}};
    LoopbackServer server(stream.script());
    Arrivals arrivals;
    const TranslateResult result =
        TranslateText(u"猫が好き"_s, TranslateDirection::Ja2Ch, Llm(server), {}, nullptr,
                      [&](const QString &arrived) { arrivals.pieces.append(arrived); });
    QCOMPARE(result.translation, std::optional(u"我喜欢猫"_s));
    QCOMPARE(arrivals.joined(), u"我喜欢猫"_s);
}

void TestLlmService::onlyThoughtsAreNoTranslation() {
    ChatStream stream{{u"<think>猫は…</think>"_s, u"\n"_s}};
    LoopbackServer server(stream.script());
    const TranslateResult result = TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, Llm(server));
    QCOMPARE(result.outcome, TranslateOutcome::NoTranslation);
}

void TestLlmService::serverWithoutStreamingIsReadToo() {
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(
        200, R"({"choices":[{"index":0,"message":{"role":"assistant","content":"我喜欢猫"}}]})")));
    QCOMPARE(TranslateText(u"猫が好き"_s, TranslateDirection::Ja2Ch, Llm(server)).translation,
             std::optional(u"我喜欢猫"_s));
}

void TestLlmService::cutStreamKeepsWhatArrivedAndFails() {
    ChatStream stream{{u"我"_s, u"喜欢"_s}};
    stream.cut = true;
    LoopbackServer server(stream.script());
    Arrivals arrivals;
    const TranslateResult result =
        TranslateText(u"猫が好き"_s, TranslateDirection::Ja2Ch, Llm(server), {}, nullptr,
                      [&](const QString &arrived) { arrivals.pieces.append(arrived); });
    QCOMPARE(result.outcome, TranslateOutcome::NoTranslation);
    QVERIFY(!result.translation);
    QCOMPARE(arrivals.joined(), u"我喜欢"_s);
    QVERIFY2(result.reason.contains(u"cut off"_s), qPrintable(result.reason));
}

void TestLlmService::errorsAreClassified_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<TranslateOutcome>("outcome");
    QTest::addColumn<QString>("serviceError");
    QTest::newRow("401") << 401
                         << QByteArray(R"({"error":{"message":"Incorrect API key provided"}})")
                         << TranslateOutcome::KeyRefused << u"Incorrect API key provided"_s;
    QTest::newRow("403") << 403 << QByteArray(R"({"error":{"message":"Forbidden"}})")
                         << TranslateOutcome::KeyRefused << u"Forbidden"_s;
    QTest::newRow("429") << 429 << QByteArray(R"({"error":{"message":"Rate limit reached"}})")
                         << TranslateOutcome::Refused << u"Rate limit reached"_s;
    QTest::newRow("a model not pulled, as Ollama says it")
        << 404 << QByteArray(R"({"error":"model \"qwen2.5:7b\" not found, try pulling it first"})")
        << TranslateOutcome::NoTranslation
        << u"model \"qwen2.5:7b\" not found, try pulling it first"_s;
    QTest::newRow("an unknown model, as OpenAI says it")
        << 400 << QByteArray(R"({"error":{"message":"The model `gpt-9` does not exist"}})")
        << TranslateOutcome::NoTranslation << u"The model `gpt-9` does not exist"_s;
}

void TestLlmService::errorsAreClassified() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(TranslateOutcome, outcome);
    QFETCH(QString, serviceError);
    LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(status, body)));
    const TranslateResult result = TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, Llm(server));
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.serviceError, serviceError);
}

// Nothing listens on this machine's port 9, nor, on a machine without Ollama, on its port.
void TestLlmService::noLocalServerSaysHowToStartIt() {
    const ServiceChoice ollama = ParseServiceChain(u"llm"_s).chain->front();
    QCOMPARE(ollama.FirstRoot(), u"http://127.0.0.1:11434/v1"_s);
    const TranslateResult local = TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, ollama);
    if (local.outcome == TranslateOutcome::NoData) {
        QVERIFY2(local.reason.contains(u"ollama serve"_s), qPrintable(local.reason));
    }
    const ServiceChoice closed = ParseServiceChain(u"llm=http://127.0.0.1:9/v1"_s).chain->front();
    const TranslateResult given = TranslateText(u"猫"_s, TranslateDirection::Ja2Ch, closed);
    QCOMPARE(given.outcome, TranslateOutcome::NoData);
    QVERIFY(!given.reason.contains(u"ollama serve"_s));
}

void TestLlmService::longTextGoesInPiecesInOrder() {
    const QString first(3'000, u'甲');
    const QString second(3'000, u'乙');
    LoopbackServer server([](LoopbackServer::Exchange &exchange) {
        const QJsonObject body = QJsonDocument::fromJson(Body(exchange.request())).object();
        const QString text = body[u"messages"_s][1][u"content"_s].toString();
        exchange.send(ChatStreamHead() + ChatEvent(text.left(1)) + ChatEvent(text.mid(1)) +
                      "data: [DONE]\n\n");
    });
    Arrivals arrivals;
    const QString text = first + u"\n\n"_s + second;
    const TranslateResult result =
        TranslateText(text, TranslateDirection::Ja2Ch, Llm(server), {}, nullptr,
                      [&](const QString &arrived) { arrivals.pieces.append(arrived); });
    QCOMPARE(result.translation, std::optional(text));
    QCOMPARE(arrivals.joined(), text);
    QCOMPARE(server.requests().size(), 2);
}

void TestLlmService::rootMayCarryAPath() {
    QVERIFY(ParseServiceChain(u"llm=https://dashscope.aliyuncs.com/compatible-mode/v1"_s).chain);
    QVERIFY(ParseServiceChain(u"llm=http://127.0.0.1:1234"_s).chain);
    QVERIFY(!ParseServiceChain(u"llm=http://127.0.0.1:1234/v1?x"_s).chain);
    QVERIFY(!ParseServiceChain(u"google=http://127.0.0.1:1234/v1"_s).chain);
}

// The program's first bytes are read while the stand-in still holds the rest of the stream.
void TestLlmService::terminalPrintsAsTheStreamArrives() {
    ChatStream stream{{u"我"_s, u"喜欢猫"_s}, 1};
    LoopbackServer server(stream.script());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    program.setProcessEnvironment(environment);
    program.start(
        QStringLiteral(QUORVANE_PROGRAM),
        {u"--service"_s, u"llm="_s + server.root() + u"/v1"_s, u"--ja2ch"_s, u"猫が好き"_s});
    QVERIFY(program.waitForStarted(10'000));
    QVERIFY(program.waitForReadyRead(20'000));
    QCOMPARE(program.readAllStandardOutput(), u"我"_s.toUtf8());
    stream.resume.release();
    QVERIFY(program.waitForFinished(20'000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), u"喜欢猫\n"_s.toUtf8());
}

QTEST_GUILESS_MAIN(TestLlmService)
#include "tst_llmservice.moc"
