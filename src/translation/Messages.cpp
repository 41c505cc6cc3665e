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

QString KeyRefusedMessage(const QString &service, const QString &reason, MessageReader reader) {
    const QString because = reason.isEmpty() ? QString() : u"（"_s + reason + u"）"_s;
    const QString store = reader == MessageReader::Terminal
                              ? u"用 quorvane --store-key %1 保存正确的密钥"_s.arg(service)
                              : u"检查密钥"_s;
    return u"翻译服务 %1 拒绝了密钥"_s.arg(service) + because + u"。请"_s + store +
           u"，或者选择其他翻译服务。"_s;
}

QString NoKeyMessage(const ServiceChain &chain) {
    QStringList names;
    QStringList keys;
    for (const ServiceChoice &choice : chain) {
        const QString name = choice.service->name.toString();
        if (NeedsKey(*choice.service) && !names.contains(name)) {
            names.append(name);
            keys.append(u"%1（%2，环境变量 %3）"_s.arg(
                choice.service->name, choice.service->key.shape, KeyVariable(*choice.service)));
        }
    }
    return u"翻译服务需要您自己的密钥：%1。请用环境变量给出密钥，或者用 quorvane --store-key "
           u"NAME 从标准输入读入密钥并保存到桌面的密钥环。"_s.arg(keys.join(u"、"_s));
}

QString RefusalStatus() {
    return u"错误:翻译服务暂时拒绝了请求"_s;
}

QString KeyRefusedStatus() {
    return u"错误:翻译服务拒绝了密钥"_s;
}

QString NoKeyStatus() {
    return u"错误:翻译服务需要密钥"_s;
}

QString EmptyInputMessage() {
    return QStringLiteral("错误:要翻译内容不能为空");
}

QString NoTranslationMessage() {
    return QStringLiteral("错误:返回的页面中找不到译文");
}

}  // namespace quorvane
