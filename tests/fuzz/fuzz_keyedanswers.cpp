// The readers of the keyed services and of the language models on any answer, of any status: no
// crash; a translation comes only from JSON or from a stream of events; a stream's text grows.
#include <QJsonDocument>

#include "FuzzInput.h"
#include "translation/KeyedServices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) {
        return 0;
    }
    // The first byte chooses the status among those the services give meaning to.
    static constexpr long kStatuses[] = {200, 400, 401, 403, 429, 456, 500};
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const quorvane::HttpAnswer answer{.received = true,
                                      .status = kStatuses[data[0] % std::size(kStatuses)],
                                      .body = body,
                                      .text = TextFromUtf8(data + 1, size - 1)};
    QJsonParseError error{};
    QJsonDocument::fromJson(body, &error);
    for (const quorvane::Service *service :
         {&quorvane::kDeepLService, &quorvane::kBaiduService, &quorvane::kYoudaoService,
          &quorvane::kAzureService, &quorvane::kTencentService, &quorvane::kCaiyunService,
          &quorvane::kLlmService}) {
        const quorvane::Endpoint &endpoint = service->endpoints.front();
        if (endpoint.translations(answer)) {
            FUZZ_ASSERT(error.error == QJsonParseError::NoError || body.contains("data:"));
        }
        endpoint.refusal(answer);
        endpoint.errorText(answer);
    }
    // A stream's text so far only grows as more of it arrives.
    // Read in two parts, as it arrives, or at once: the same text.
    quorvane::StreamRead inParts;
    const QString part = quorvane::kLlmService.arrivedText(body.left(body.size() / 2), inParts);
    const QString whole = quorvane::kLlmService.arrivedText(body, inParts);
    quorvane::StreamRead atOnce;
    FUZZ_ASSERT(whole.startsWith(part) || part.isEmpty());
    FUZZ_ASSERT(whole == quorvane::kLlmService.arrivedText(body, atOnce));
    return 0;
}
