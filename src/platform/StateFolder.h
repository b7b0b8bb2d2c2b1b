#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace bw {

// The program's folder for state that must outlive a crash (never the
// settings file). Files are addressed by plain names; failures throw PlatformError.
class StateFolder {
public:
    // No state file of the program is larger; a larger one is not read.
    static constexpr qint64 MaximumFileSize = 64 * 1024;

    virtual ~StateFolder() = default;

    // Names of the files in the folder; none when the folder does not exist.
    virtual QStringList names() = 0;
    // Nothing when there is no such file; throws for one that is not the
    // user's own plain file of at most MaximumFileSize bytes.
    virtual std::optional<QByteArray> read(const QString& name) = 0;
    // Writes the whole file at once: a crash leaves the old content or the new, never a part.
    virtual void write(const QString& name, const QByteArray& content) = 0;
    // Removing a file that is not there is no failure.
    virtual void remove(const QString& name) = 0;
    // Gives a file another name, replacing a file of that name.
    virtual void rename(const QString& name, const QString& newName) = 0;
};

} // namespace bw
