#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

// Fuzz input as text: as UTF-8, or as raw UTF-16 code units so that unpaired surrogates occur.
inline QString TextFromUtf8(const uint8_t *data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline QString TextFromUtf16(const uint8_t *data, size_t size) {
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return QString::fromStdU16String(units);
}

// Stops the fuzzer with a report when a property does not hold.
#define FUZZ_ASSERT(condition) \
    do {                       \
        if (!(condition)) {    \
            __builtin_trap();  \
        }                      \
    } while (false)
