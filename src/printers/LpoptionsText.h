#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace bw {

// The user's printer options file as CUPS reads it: one destination a line,
// "Dest name[/instance] options" or, for the user's default,
// "Default name[/instance] options"; keywords in any letter case.

// The printer of the Default line, if there is one.
std::optional<QString> defaultInOptions(const QByteArray& content);

// content with name as its one default (none for nothing); every other line
// stays as it is. A former default's options stay as a Dest line.
QByteArray withDefault(const QByteArray& content, const std::optional<QString>& name);

} // namespace bw
