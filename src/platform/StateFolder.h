#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace bw {

// The program's folder for state that must outlive a crash (never the
// settings file). Files are addressed by plain names; failures throw PlatformError.
class StateFolder {
public:
    virtual ~StateFolder() = default;

    // Names of the files in the folder; none when the folder does not exist.
    virtual QStringList names() = 0;
    virtual std::optional<QByteArray> read(const QString& name) = 0;
    // Writes the whole file at once: a crash leaves the old content or the new, never a part.
    virtual void write(const QString& name, const QByteArray& content) = 0;
    // Removing a file that is not there is no failure.
    virtual void remove(const QString& name) = 0;
};

} // namespace bw
