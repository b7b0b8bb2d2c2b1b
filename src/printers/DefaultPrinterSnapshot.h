#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace bw {

// The user's default printer as it was before a print run changed it: their
// own options file byte for byte (and so their Default line, or none), the
// default in effect and where it came from. Kept in the state folder while
// the run's change stands, so a run cut short can still be undone.
struct DefaultPrinterSnapshot {
    enum class Origin { None, Environment, UserOptions, System };

    qint64 processId = 0;
    QString processIdentity;
    // When it was taken (microseconds since 1970): of two programs that ran
    // at once, the later one saw the earlier one's change as the user's.
    qint64 takenAt = 0;
    std::optional<QByteArray> userOptions; // nothing: the user had no options file
    QString effectiveDefault;              // "" when there was none
    Origin origin = Origin::None;
    QString chosenPrinter;
    // The options file as the run's change left it, once known.
    bool writtenKnown = false;
    std::optional<QByteArray> written;

    // The printer of the user's own Default line, if there was one.
    std::optional<QString> userDefault() const;
    static Origin originOf(const QString& environmentDefault, const std::optional<QString>& userDefault,
                           const QString& effectiveDefault);

    // What the options file must hold to put back this default, given what it
    // holds now (nothing: remove it). When it still holds what the run wrote,
    // the old file comes back byte for byte; when something else changed it
    // meanwhile, only the Default line is put back and the other change stays.
    std::optional<QByteArray> restoredOptions(const std::optional<QByteArray>& now) const;

    QByteArray toBytes() const;
    static std::optional<DefaultPrinterSnapshot> fromBytes(const QByteArray& bytes);

    // Each process keeps its own file in the state folder.
    static QString fileName(qint64 processId);
    static std::optional<qint64> processIdOfFileName(const QString& name);
};

} // namespace bw
