#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace bw {

// The user's printer options file as CUPS reads it: one destination a line,
// "Dest name[/instance] options" or, for the user's default,
// "Default name[/instance] options"; keywords and names in any letter case.
// Shared by the CUPS adapter, which writes it, and the default printer's
// keeper, which must know what was written.

// The printer of the Default line, if there is one.
std::optional<QString> defaultInOptions(const QByteArray& content);

// content with name as its one default (none for nothing), edited as the
// CUPS tools do: a former default keeps its options on a Dest line (without
// options it goes), the chosen printer's Dest line turns into the Default
// line, or a Default line is added. Every other byte stays as it was:
// comments, unknown lines, line ends, a last line without a line end.
QByteArray withDefault(const QByteArray& content, const std::optional<QString>& name);

// withDefault's result with what it changed: the lines of content it
// rewrote or dropped, in order, so that the edit can be undone from the
// result alone, however long the rest of the file.
struct DefaultEdit {
    struct ChangedLine {
        qsizetype number = 0; // in content, from 0
        QByteArray old;       // with its line end
        bool replaced = true; // a line of the result stands in for it; false: dropped
        bool operator==(const ChangedLine&) const = default;
    };
    QByteArray result;
    QList<ChangedLine> changed;
    bool appended = false; // the result's last line is one the edit added
};
DefaultEdit editDefault(const QByteArray& content, const std::optional<QString>& name);

// The content an edit started from, given its result; nothing when result
// cannot be what the edit made.
std::optional<QByteArray> undoEdit(const QByteArray& result, const QList<DefaultEdit::ChangedLine>& changed,
                                   bool appended);

} // namespace bw
