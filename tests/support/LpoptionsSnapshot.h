#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace bw::test {

// What a user's default printer hangs on: <home>/.cups/lpoptions and the
// machine-wide /etc/cups/lpoptions, each as existence, content and
// modification time, so any write shows.
class LpoptionsSnapshot {
public:
    explicit LpoptionsSnapshot(const QString& home);

    bool operator==(const LpoptionsSnapshot& other) const;
    // Readable form for a failure message.
    QString describe() const;

    // HOME as it was when the test executable started, before it was pointed at a temporary folder.
    static QString realHome();

private:
    struct File {
        QString path;
        bool exists;
        QByteArray content;
        qint64 modifiedNs;
        bool operator==(const File&) const = default;
    };
    static File take(const QString& path);

    std::vector<File> files_;
};

} // namespace bw::test
