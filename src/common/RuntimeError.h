#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <utility>

namespace quorvane {

// A runtime error as the program reports it: a number, the source that raised it and a
// description. It travels as an exception up to the application's event dispatch.
class RuntimeError : public std::exception {
public:
    RuntimeError(qint32 number, QString source, QString description)
        : mNumber(number),
          mSource(std::move(source)),
          mDescription(std::move(description)),
          mWhat(mDescription.toUtf8()) {}

    qint32 number() const { return mNumber; }
    const QString &source() const { return mSource; }
    const QString &description() const { return mDescription; }
    const char *what() const noexcept override { return mWhat.constData(); }

private:
    qint32 mNumber;
    QString mSource;
    QString mDescription;
    QByteArray mWhat;
};

namespace ErrorNumber {
constexpr qint32 InvalidArgument = 5;
constexpr qint32 InvalidUrl = -2147012891;  // 0x80072EE5
}  // namespace ErrorNumber

}  // namespace quorvane
