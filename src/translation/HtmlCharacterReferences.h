#pragma once

#include <QString>
#include <QStringView>

namespace quorvane {

// Replaces the character references of `text` (numeric ones and the HTML named ones) the way a
// browser does in the content of a text area. The result is never longer than `text`.
QString DecodeCharacterReferences(QStringView text);

}  // namespace quorvane
