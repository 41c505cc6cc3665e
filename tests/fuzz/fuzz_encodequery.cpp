// EncodeQuery: "%XX" upper case for every byte, and percent-decoding gives back the UTF-8 of the
// text, unpaired surrogates as U+FFFD, by an encoder written here independently.
#include <QByteArray>

#include "FuzzInput.h"
#include "translation/modPub.h"

namespace {

QByteArray ReferenceUtf8(const QString &text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsUpperHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = TextFromUtf16(data, size);
    const QString encoded = quorvane::EncodeQuery(text);
    const QByteArray utf8 = ReferenceUtf8(text);
    FUZZ_ASSERT(encoded.size() == utf8.size() * 3);
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        FUZZ_ASSERT(i % 3 == 0 ? encoded[i] == u'%' : IsUpperHex(encoded[i]));
    }
    FUZZ_ASSERT(QByteArray::fromPercentEncoding(encoded.toLatin1()) == utf8);
    return 0;
}
