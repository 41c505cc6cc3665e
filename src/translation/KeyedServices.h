#pragma once

#include <QByteArray>
#include <QString>

#include "translation/Service.h"

namespace quorvane {

// The official APIs that take the user's own key.
extern const Service kDeepLService;
extern const Service kBaiduService;
extern const Service kYoudaoService;
extern const Service kAzureService;
extern const Service kTencentService;
extern const Service kCaiyunService;
// Any server of OpenAI's chat completions protocol, its key optional.
extern const Service kLlmService;

// Baidu's sign: the lower-case hex MD5 of appid, q (its raw UTF-8), salt and secret.
QString BaiduSign(const QString &appId, const QString &q, const QString &salt,
                  const QString &secret);
// Youdao's v3 sign: the hex SHA-256 of appKey, the input of q, salt, curtime and secret, where
// the input is q up to 20 characters, else its first 10, its length and its last 10.
QString YoudaoSign(const QString &appKey, const QString &q, const QString &salt,
                   const QString &curtime, const QString &secret);
// The last step of Tencent Cloud's TC3-HMAC-SHA256: the signature of `stringToSign` with the key
// derived from the secret key, the UTC date (yyyy-MM-dd) and the service.
QString TencentSignature(const QString &secretKey, const QString &date, const QString &service,
                         const QByteArray &stringToSign);

}  // namespace quorvane
