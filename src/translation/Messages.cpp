#include "translation/Messages.h"

namespace quorvane {

using namespace Qt::StringLiterals;

QString FailureMessage(const QString &serviceRoot) {
    return QStringLiteral("从\"") + serviceRoot +
           QStringLiteral(
               "\"获取数据失败，请检查代理设置是否正确或者尝试减少一次性翻译的文字的数量。"
               "如果还不能解决问题，请点帮助。");
}

QString RefusalMessage(const QString &reason, MessageReader reader) {
    const QString because = reason.isEmpty() ? QString() : u"（"_s + reason + u"）"_s;
    const QString choose = reader == MessageReader::Terminal ? u"用 --service 选择"_s : u"选择"_s;
    return u"翻译服务暂时拒绝了请求"_s + because + u"。请稍后再试，或者"_s + choose +
           u"其他翻译服务。"_s;
}

QString RefusalStatus() {
    return u"错误:翻译服务暂时拒绝了请求"_s;
}

QString EmptyInputMessage() {
    return QStringLiteral("错误:要翻译内容不能为空");
}

QString NoTranslationMessage() {
    return QStringLiteral("错误:返回的页面中找不到译文");
}

}  // namespace quorvane
