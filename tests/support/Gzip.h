#pragma once

#include <QByteArray>

// `chunk` repeated `times` as a gzip stream, compressed as it is fed, so that a body of many
// mebibytes is never held whole.
QByteArray Gzip(const QByteArray &chunk, qsizetype times = 1);
