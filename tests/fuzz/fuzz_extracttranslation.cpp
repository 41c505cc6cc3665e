// ExtractTranslation agrees with a straightforward search: the leftmost opening tag, compared
// case-insensitively at every place, and the first closing tag after it.
#include <QStringView>
#include <optional>

#include "FuzzInput.h"
#include "translation/ClassicService.h"

namespace {

std::optional<QString> ReferenceExtraction(const QString &page) {
    const QString opening = QStringLiteral("<textarea name=\"after\" id=\"after\">");
    const QString closing = QStringLiteral("</textarea>");
    const QStringView view(page);
    for (qsizetype start = 0; start + opening.size() <= page.size(); ++start) {
        if (view.mid(start, opening.size()).compare(opening, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const qsizetype content = start + opening.size();
        for (qsizetype end = content; end + closing.size() <= page.size(); ++end) {
            if (view.mid(end, closing.size()).compare(closing, Qt::CaseInsensitive) == 0) {
                return page.mid(content, end - content);
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString page = TextFromUtf8(data, size);
    FUZZ_ASSERT(quorvane::ExtractTranslation(page) == ReferenceExtraction(page));
    return 0;
}
