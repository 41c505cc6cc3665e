#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

// How a text becomes the value of a query key or form field.
enum class QueryEncoding {
    EveryByte,       // every UTF-8 byte as "%XX"
    KeepUnreserved,  // letters, digits and "-._~" as they are, every other byte as "%XX"
};

// The UTF-8 bytes of `text`, an unpaired surrogate as U+FFFD.
QByteArray Utf8Bytes(const QString &text);

// The value of a query key: every UTF-8 byte of `text` as "%XX", upper-case hexadecimal.
QString EncodeQuery(const QString &text);

// The value of a query key or form field, the unreserved characters kept.
QByteArray QueryValue(const QString &text);

// The bytes that one code point takes in a value; an unpaired surrogate goes out as U+FFFD.
qsizetype EncodedLength(char32_t codePoint, QueryEncoding encoding);
// The bytes that `text` takes as a value.
qsizetype EncodedSize(const QString &text, QueryEncoding encoding);

}  // namespace quorvane
