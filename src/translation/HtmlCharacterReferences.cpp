#include "translation/HtmlCharacterReferences.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

namespace quorvane {

namespace {

struct NamedReference {
    std::string_view name;  // with its ';' where the reference has one
    char32_t first;
    char32_t second;  // 0 for references of one character
};

constexpr NamedReference kNamedReferences[] = {
#include "translation/HtmlNamedReferences.inc"
};

constexpr qsizetype kLongestName = 32;
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;

// What a browser shows for the numeric references &#128; to &#159;: windows-1252's characters.
constexpr std::array<char16_t, 32> kC1Replacements = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsAsciiAlphanumeric(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

int DigitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = base;
    if (u >= u'0' && u <= u'9') {
        value = u - u'0';
    } else if (u >= u'a' && u <= u'f') {
        value = u - u'a' + 10;
    } else if (u >= u'A' && u <= u'F') {
        value = u - u'A' + 10;
    }
    return value < base ? value : -1;
}

void AppendCodePoint(QString &out, char32_t codePoint) {
    if (QChar::requiresSurrogates(codePoint)) {
        out.append(QChar(QChar::highSurrogate(codePoint)));
        out.append(QChar(QChar::lowSurrogate(codePoint)));
    } else {
        out.append(QChar(char16_t(codePoint)));
    }
}

char32_t NumericReferenceValue(char32_t value) {
    if (value == 0 || value > kLastCodePoint || QChar::isSurrogate(value)) {
        return kReplacementCharacter;
    }
    if (value >= 0x80 && value <= 0x9F) {
        return kC1Replacements[value - 0x80];
    }
    return value;
}

// `at` points past "&#". Returns how many characters after "&" the reference takes, 0 for none.
qsizetype DecodeNumericReference(QStringView text, qsizetype at, QString &out) {
    const bool hexadecimal = at < text.size() && (text[at] == u'x' || text[at] == u'X');
    const int base = hexadecimal ? 16 : 10;
    qsizetype end = hexadecimal ? at + 1 : at;
    const qsizetype digitsStart = end;
    char32_t value = 0;
    for (int digit; end < text.size() && (digit = DigitValue(text[end], base)) >= 0; ++end) {
        value = std::min<char32_t>(value * base + char32_t(digit), kLastCodePoint + 1);
    }
    if (end == digitsStart) {
        return 0;
    }
    if (end < text.size() && text[end] == u';') {
        ++end;
    }
    AppendCodePoint(out, NumericReferenceValue(value));
    return end - (at - 1);
}

const NamedReference *FindNamedReference(std::string_view name) {
    const auto *found = std::lower_bound(
        std::begin(kNamedReferences), std::end(kNamedReferences), name,
        [](const NamedReference &entry, std::string_view key) { return entry.name < key; });
    return found != std::end(kNamedReferences) && found->name == name ? found : nullptr;
}

// `at` points past "&". The longest name of the table that the text starts with wins.
qsizetype DecodeNamedReference(QStringView text, qsizetype at, QString &out) {
    std::array<char, kLongestName + 1> name{};
    qsizetype length = 0;
    while (at + length < text.size() && length < kLongestName &&
           IsAsciiAlphanumeric(text[at + length])) {
        name[length] = char(text[at + length].unicode());
        ++length;
    }
    if (at + length < text.size() && text[at + length] == u';') {
        name[length] = ';';
        ++length;
    }
    for (; length > 0; --length) {
        if (const NamedReference *found = FindNamedReference({name.data(), size_t(length)})) {
            AppendCodePoint(out, found->first);
            if (found->second != 0) {
                AppendCodePoint(out, found->second);
            }
            return length;
        }
    }
    return 0;
}

}  // namespace

QString DecodeCharacterReferences(QStringView text) {
    QString out;
    out.reserve(text.size());
    qsizetype done = 0;
    for (qsizetype amp; (amp = text.indexOf(u'&', done)) >= 0;) {
        out.append(text.mid(done, amp - done));
        const qsizetype after = amp + 1;
        const qsizetype taken = after < text.size() && text[after] == u'#'
                                    ? DecodeNumericReference(text, after + 1, out)
                                    : DecodeNamedReference(text, after, out);
        if (taken == 0) {
            out.append(u'&');
        }
        done = after + taken;
    }
    out.append(text.mid(done));
    return out;
}

}  // namespace quorvane
