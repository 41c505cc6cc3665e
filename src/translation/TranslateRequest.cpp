#include "translation/TranslateRequest.h"

#include <QStringMatcher>

#include "translation/HtmlCharacterReferences.h"

namespace quorvane {

namespace {

QString QueryTail(TranslateDirection direction) {
    switch (direction) {
        case TranslateDirection::Ja2Ch:
            return QStringLiteral("&wb_lp=JACH&big5=no");
        case TranslateDirection::Ch2Ja:
            return QStringLiteral("&wb_lp=CHJA&big5=no");
    }
    Q_UNREACHABLE();
}

}  // namespace

QString ServiceRoot() {
    return QStringLiteral(QUORVANE_SERVICE_ROOT);
}

QString ServicePageUrl(const QString &serviceRoot) {
    return serviceRoot + QStringLiteral("/world/jiantizi/");
}

QString BuildTranslateUrl(const QString &text, TranslateDirection direction,
                          const QString &serviceRoot) {
    return ServicePageUrl(serviceRoot) + QStringLiteral("?before=") + EncodeQuery(text) +
           QueryTail(direction);
}

// The meaning of <textarea name="after" id="after">([\s\S]*?)</textarea>, case-insensitive,
// first match: the leftmost opening tag and the first closing tag after it. A plain search
// needs no backtracking, so pages of any size are matched.
std::optional<QString> ExtractTranslation(const QString &page) {
    static const QStringMatcher openingTag(u"<textarea name=\"after\" id=\"after\">",
                                           Qt::CaseInsensitive);
    static const QStringMatcher closingTag(u"</textarea>", Qt::CaseInsensitive);
    const qsizetype opening = openingTag.indexIn(page);
    if (opening < 0) {
        return std::nullopt;
    }
    const qsizetype contentStart = opening + openingTag.pattern().size();
    const qsizetype closing = closingTag.indexIn(page, contentStart);
    if (closing < 0) {
        return std::nullopt;
    }
    return page.mid(contentStart, closing - contentStart);
}

TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const QString &serviceRoot, const FetchContext &context) {
    TranslateResult result{FetchPage(BuildTranslateUrl(text, direction, serviceRoot), context), {}};
    if (result.page.isEmpty()) {
        return result;
    }
    if (const std::optional<QString> raw = ExtractTranslation(result.page)) {
        result.translation = DecodeCharacterReferences(*raw);
    }
    return result;
}

}  // namespace quorvane
