// Throughput of the translation client, and its overhead over a bare libcurl GET.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <thread>

#include "support/KeyedStandIns.h"
#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "translation/ClassicService.h"
#include "translation/TranslateRequest.h"
#include "translation/modPub.h"

using namespace quorvane;
using namespace Qt::StringLiterals;

namespace {

QString MixedText(qsizetype utf8Bytes) {
    const QString unit = u"日本語のテキスト and some ASCII words, 中文翻译。\n"_s;
    QString text;
    while (text.toUtf8().size() < utf8Bytes) {
        text += unit;
    }
    return text;
}

void BM_EncodeQuery(benchmark::State &state) {
    const QString text = MixedText(1 << 20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeQuery(text));
    }
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
BENCHMARK(BM_EncodeQuery);

void BM_ExtractTranslation(benchmark::State &state) {
    QString page(10'000'000, u'x');
    page += u"<textarea name=\"after\" id=\"after\">译文</textarea>"_s;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExtractTranslation(page));
    }
    state.SetItemsProcessed(state.iterations() * page.size());
    state.SetLabel("items = characters");
}
BENCHMARK(BM_ExtractTranslation);

const QByteArray kPage = stand_in::ClassicPage(u"翻译结果"_s);

LoopbackServer &Server() {
    static LoopbackServer server(LoopbackServer::sending(LoopbackServer::response(200, kPage)));
    return server;
}

void BM_TranslateText1KiB(benchmark::State &state) {
    const QString text = MixedText(1024);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            TranslateText(text, TranslateDirection::Ja2Ch, stand_in::Classic(Server().root())));
    }
}
BENCHMARK(BM_TranslateText1KiB)->UseRealTime();

size_t Discard(char *, size_t size, size_t count, void *) {
    return size * count;
}

void BM_BareCurlGet1KiB(benchmark::State &state) {
    const QByteArray url =
        BuildTranslateUrl(MixedText(1024), TranslateDirection::Ja2Ch, Server().root()).toUtf8();
    for (auto _ : state) {
        CURL *curl = curl_easy_init();
        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Discard);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
    }
}
BENCHMARK(BM_BareCurlGet1KiB)->UseRealTime();

// 20 translations against a far service: every new connection costs 50 ms before it answers.
// Fresh connections pay that 20 times, a shared cache once.
void TwentyTranslations(benchmark::State &state, bool shareConnections) {
    const QString text = MixedText(1024);
    for (auto _ : state) {
        LoopbackServer far(
            LoopbackServer::sending(LoopbackServer::keepAliveResponse(200, kPage)),
            {.keepAlive = true, .newConnectionDelay = std::chrono::milliseconds(50)});
        ConnectionCache cache;
        for (int i = 0; i < 20; ++i) {
            benchmark::DoNotOptimize(TranslateText(text, TranslateDirection::Ja2Ch,
                                                   stand_in::Classic(far.root()),
                                                   {shareConnections ? &cache : nullptr}));
        }
        state.counters["connections"] = far.connections();
    }
}
BENCHMARK_CAPTURE(TwentyTranslations, fresh_connections, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(TwentyTranslations, shared_connections, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// A text through google against a far stand-in that answers as Google does today and takes
// 50 ms over each request: the requests that one press makes, the connections they go over,
// and whether the text came back whole (1) or not (0).
void ThroughGoogleToday(benchmark::State &state, const QString &text) {
    for (auto _ : state) {
        const auto today = stand_in::GoogleToday([](const QString &line) { return line; });
        LoopbackServer far(
            [&today](LoopbackServer::Exchange &exchange) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                today(exchange);
            },
            {.keepAlive = true});
        const TranslateResult result = TranslateText(text, TranslateDirection::Ja2Ch,
                                                     stand_in::Choice(u"google"_s, far.root()));
        state.counters["whole"] = result.translation == text ? 1 : 0;
        state.counters["requests"] = double(far.requests().size());
        state.counters["connections"] = far.connections();
    }
}
BENCHMARK_CAPTURE(ThroughGoogleToday, one_press, u"猫が好きです。\n名前はまだ無い。"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(ThroughGoogleToday, ten_thousand_characters, MixedText(40'000).left(10'000))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// 20,000 characters through each keyed service against its stand-in, which checks every request
// as the service does and takes 50 ms over each: the requests, and whether the text came back
// whole (1) or not (0).
void ThroughKeyedService(benchmark::State &state, const QString &service) {
    const QString text = MixedText(80'000).left(20'000);
    for (auto _ : state) {
        LoopbackServer far(
            stand_in::Keyed(
                service, [](const QString &piece) { return piece; }, std::chrono::milliseconds(50)),
            {.keepAlive = true});
        ServiceChoice choice = stand_in::Choice(service, far.root());
        choice.key = stand_in::KeyOf(service);
        const TranslateResult result = TranslateText(text, TranslateDirection::Ja2Ch, choice);
        state.counters["whole"] = result.translation == text ? 1 : 0;
        state.counters["requests"] = double(far.requests().size());
    }
}
BENCHMARK_CAPTURE(ThroughKeyedService, deepl, u"deepl"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(ThroughKeyedService, baidu, u"baidu"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(ThroughKeyedService, youdao, u"youdao"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(ThroughKeyedService, azure, u"azure"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(ThroughKeyedService, tencent, u"tencent"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(ThroughKeyedService, caiyun, u"caiyun"_s)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
