#pragma once

#include <QString>
#include <QTemporaryDir>

#include "support/LoopbackServer.h"

// A certificate authority of the test's own, a certificate for 127.0.0.1 that it signed, and a
// self-signed one for 127.0.0.1 that nobody trusts; made by openssl in a scratch folder.
class TestCertificates {
public:
    TestCertificates();
    bool isValid() const { return mValid; }
    QString authorityFile() const { return mFolder.filePath(QStringLiteral("ca.pem")); }
    LoopbackServer::Tls signedByAuthority() const;
    LoopbackServer::Tls selfSigned() const;

private:
    QTemporaryDir mFolder;
    bool mValid = false;
};
