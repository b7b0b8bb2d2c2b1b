#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace bw {

class PrinterServices;

// A print run's change of the user's default printer: their options file as
// it was before, byte for byte (and so their Default line, or none), and
// what the run's change makes of it. Kept in the state folder while the
// change stands, so a run cut short can still be undone.
struct DefaultPrinterSnapshot {
    qint64 processId = 0;
    // Tells the process apart from any other given the same number.
    QString processIdentity;
    // When it was taken (microseconds since 1970): of two runs cut short,
    // the later one saw the earlier one's change as the user's.
    qint64 takenAt = 0;
    std::optional<QByteArray> userOptions; // nothing: the user had no options file
    QByteArray written;                    // the file as the run's change leaves it

    // The printer of the user's own Default line, if there was one.
    std::optional<QString> userDefault() const;

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
    Undo undoIn(PrinterServices& printers) const;

    QByteArray toBytes() const;
    static std::optional<DefaultPrinterSnapshot> fromBytes(const QByteArray& bytes);

    // Each process keeps its own file in the state folder.
    static QString fileName(qint64 processId, const QString& processIdentity);
    static bool isFileName(const QString& name);
};

} // namespace bw
