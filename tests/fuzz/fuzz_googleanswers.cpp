// Google's three readers on any answer: no crash; a JSON reader never takes an HTML body nor a
// body that is no JSON array; the page reader finds a translation only in a div of the result's
// class.
#include <QJsonDocument>

#include "FuzzInput.h"
#include "translation/GoogleService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const quorvane::HttpAnswer answer{
        .received = true, .status = 200, .body = body, .text = TextFromUtf8(data, size)};

    const bool html = body.trimmed().startsWith('<');
    const bool jsonArray = QJsonDocument::fromJson(body).isArray();
    for (const auto reader :
         {quorvane::GoogleSegmentsTranslation, quorvane::GoogleDictionaryTranslation}) {
        if (reader(answer)) {
            FUZZ_ASSERT(!html && jsonArray);
        }
    }
    if (quorvane::GooglePageTranslation(answer)) {
        FUZZ_ASSERT(answer.text.contains(u"<div", Qt::CaseInsensitive) &&
                    answer.text.contains(u"result-container", Qt::CaseInsensitive));
    }
    return 0;
}
