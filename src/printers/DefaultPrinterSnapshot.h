#pragma once

#include "printers/LpoptionsText.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace bw {

class UserPrinterOptions;

// A print run's change of the user's default printer, kept in the state
// folder while the change stands, so a run cut short can still be undone.
// It holds only what the undo needs, whatever the size of the user's options
// file: their Default line (or none), the lines the change rewrote or dropped,
// and a digest of the file as the change leaves it.
struct DefaultPrinterSnapshot {
    qint64 processId = 0;
    // Tells the process apart from any other given the same number.
    QString processIdentity;
    // When it was taken (microseconds since 1970): of two runs cut short,
    // the later one saw the earlier one's change as the user's.
    qint64 takenAt = 0;
    bool hadOptions = false;           // the user had an options file
    std::optional<QString> ownDefault; // the printer of the user's own Default line
    QString runDefault;                // the printer the run made the default
    QByteArray writtenDigest;          // SHA-256 of the file as the run's change leaves it
    // How the change made that file from the user's; none when only the
    // Default line can be put back (a second change after a failed put-back).
    QList<DefaultEdit::ChangedLine> changed;
    bool appended = false;
    bool exact = false;

    // The snapshot of the change that turns the user's file (nothing: none)
    // into what making name the default writes.
    static DefaultPrinterSnapshot of(const std::optional<QByteArray>& userOptions, const QString& name);
    // The digest of an options file the snapshot keeps.
    static QByteArray digest(const QByteArray& content);

    // The printer of the user's own Default line, if there was one.
    std::optional<QString> userDefault() const { return ownDefault; }

    enum class Undo {
        Done,          // the user's own default is back
        NothingToUndo, // the file is as it was before the run
        UserChoseAnew, // the Default line is no longer the run's: the user's choice stands
    };
    // Undoes the run's change in the user's options file, and only that:
    // when the file still holds what the run wrote, the old file comes back
    // byte for byte; when only other lines changed meanwhile, they stay and
    // only the Default line goes back. Throws PlatformError when the file
    // cannot be read or written.
    Undo undoIn(UserPrinterOptions& options) const;

    QByteArray toBytes() const;
    // Also reads the records of earlier versions, which held the whole file.
    static std::optional<DefaultPrinterSnapshot> fromBytes(const QByteArray& bytes);
    bool operator==(const DefaultPrinterSnapshot&) const = default;

    // Each process keeps its own file in the state folder.
    static QString fileName(qint64 processId, const QString& processIdentity);
    static bool isFileName(const QString& name);
};

} // namespace bw
