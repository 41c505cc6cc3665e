// DecodeBytes as UTF-8: never more code units than bytes, no unpaired surrogate in the text,
// and decoding the text's own UTF-8 again changes nothing.
#include "FuzzInput.h"
#include "translation/modPub.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString utf8 = QStringLiteral("UTF-8");
    const QString text = quorvane::DecodeBytes(bytes, utf8);
    FUZZ_ASSERT(text.size() <= bytes.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate()) {
            FUZZ_ASSERT(i + 1 < text.size() && text[i + 1].isLowSurrogate());
            ++i;
        } else {
            FUZZ_ASSERT(!text[i].isLowSurrogate());
        }
    }
    if (!text.startsWith(QChar(0xFEFF))) {
        FUZZ_ASSERT(quorvane::DecodeBytes(text.toUtf8(), utf8) == text);
    }
    return 0;
}
