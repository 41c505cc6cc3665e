#include "translation/QueryEncoding.h"

#include <QStringEncoder>

namespace quorvane {

namespace {

bool IsUnreserved(char32_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'.' || c == u'_' || c == u'~';
}

}  // namespace

// Unlike QString::toUtf8(), the encoder turns an unpaired surrogate into U+FFFD.
QByteArray Utf8Bytes(const QString &text) {
    QStringEncoder toUtf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    return toUtf8(text);
}

QString EncodeQuery(const QString &text) {
    static constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
    const QByteArray bytes = Utf8Bytes(text);
    QString encoded(bytes.size() * 3, Qt::Uninitialized);
    QChar *out = encoded.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = u'%';
        *out++ = kHexDigits[value >> 4];
        *out++ = kHexDigits[value & 0x0F];
    }
    return encoded;
}

QByteArray QueryValue(const QString &text) {
    return Utf8Bytes(text).toPercentEncoding();
}

qsizetype EncodedLength(char32_t codePoint, QueryEncoding encoding) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
        codePoint = QChar::ReplacementCharacter;
    }
    if (codePoint < 0x80 && encoding == QueryEncoding::KeepUnreserved && IsUnreserved(codePoint)) {
        return 1;
    }
    const qsizetype utf8 = codePoint < 0x80      ? 1
                           : codePoint < 0x800   ? 2
                           : codePoint < 0x10000 ? 3
                                                 : 4;
    return 3 * utf8;
}

qsizetype EncodedSize(const QString &text, QueryEncoding encoding) {
    return encoding == QueryEncoding::EveryByte ? 3 * Utf8Bytes(text).size()
                                                : QueryValue(text).size();
}

}  // namespace quorvane
