#pragma once

#include "platform/PlatformError.h"
#include "platform/StateFolder.h"

#include <map>

namespace bw::test {

// The state folder in memory, with a switch to refuse writes.
class FakeStateFolder : public StateFolder {
public:
    QStringList names() override
    {
        QStringList result;
        for (const auto& [name, content] : files)
            result.append(name);
        return result;
    }
    std::optional<QByteArray> read(const QString& name) override
    {
        const auto it = files.find(name);
        return it == files.end() ? std::nullopt : std::optional<QByteArray>(it->second);
    }
    void write(const QString& name, const QByteArray& content) override
    {
        if (refuseWrites)
            throw PlatformError(75, QStringLiteral("No space left on device"));
        files[name] = content;
        ++writes;
    }
    void remove(const QString& name) override { files.erase(name); }
    void rename(const QString& name, const QString& newName) override
    {
        files[newName] = files.at(name);
        files.erase(name);
    }

    std::map<QString, QByteArray> files;
    bool refuseWrites = false;
    int writes = 0;
};

} // namespace bw::test
