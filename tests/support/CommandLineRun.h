#pragma once

#include <QBuffer>
#include <QStringList>

#include "cli/CommandLine.h"

// A run of the command line and what it wrote; the status is -1 when the run did not end.
struct Run {
    int status = -1;
    QByteArray output;
    QByteArray errors;
};

// The command line in this process, its program's name first, with `input` on standard input.
inline Run RunInProcess(const QStringList &arguments, const QByteArray &input = {},
                        const quorvane::FetchContext &context = {}) {
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QBuffer output;
    QBuffer errors;
    output.open(QIODevice::WriteOnly);
    errors.open(QIODevice::WriteOnly);
    const int status = quorvane::RunCommandLine(QStringList{QStringLiteral("quorvane")} + arguments,
                                                in, output, errors, context);
    return {status, output.data(), errors.data()};
}
