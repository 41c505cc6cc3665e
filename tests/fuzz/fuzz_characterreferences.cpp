// Character-reference decoding: never longer than its input, text without "&" unchanged, and
// the text around the references kept as it was.
#include "FuzzInput.h"
#include "translation/HtmlCharacterReferences.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = TextFromUtf8(data, size);
    const QString decoded = quorvane::DecodeCharacterReferences(text);
    FUZZ_ASSERT(decoded.size() <= text.size());
    const qsizetype firstReference = text.indexOf(u'&');
    if (firstReference < 0) {
        FUZZ_ASSERT(decoded == text);
    } else {
        FUZZ_ASSERT(decoded.startsWith(QStringView(text).left(firstReference)));
    }
    return 0;
}
