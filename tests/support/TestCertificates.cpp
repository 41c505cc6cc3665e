#include "support/TestCertificates.h"

#include <QFile>
#include <QProcess>

namespace {

QByteArray Contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Valid for two days from now, so that no clock makes them stale during a run.
const char kMakeCertificates[] = R"(set -e
subject='-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1'
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout ca.key -out ca.pem \
    -subj '/CN=Quorvane test authority' 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr $subject 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\n' > server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
    -extfile server.ext -out server.pem 2>/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout stranger.key -out stranger.pem \
    $subject 2>/dev/null
)";

}  // namespace

TestCertificates::TestCertificates() {
    QProcess openssl;
    openssl.setWorkingDirectory(mFolder.path());
    openssl.start(QStringLiteral("bash"),
                  {QStringLiteral("-c"), QString::fromLatin1(kMakeCertificates)});
    mValid = mFolder.isValid() && openssl.waitForFinished(60'000) &&
             openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

LoopbackServer::Tls TestCertificates::signedByAuthority() const {
    return {Contents(mFolder.filePath(QStringLiteral("server.pem"))),
            Contents(mFolder.filePath(QStringLiteral("server.key")))};
}

LoopbackServer::Tls TestCertificates::selfSigned() const {
    return {Contents(mFolder.filePath(QStringLiteral("stranger.pem"))),
            Contents(mFolder.filePath(QStringLiteral("stranger.key")))};
}
