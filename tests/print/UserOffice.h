#pragma once

#include <QProcess>
#include <QString>

namespace bw::test {

// The user's own LibreOffice, driven by a helper process as another program
// of the user's would drive it, so that the test's process holds no UNO
// bridge to an office beside the program's own. Each call throws
// std::runtime_error when the office could not do it.
class UserOffice {
public:
    // Starts an office on the profile and pipe; with no profile folder, it
    // reaches the office already listening on the pipe and leaves it running.
    UserOffice(const QString& profileFolder, const QString& pipeName);
    // Ends the office it started.
    ~UserOffice();
    UserOffice(const UserOffice&) = delete;
    UserOffice& operator=(const UserOffice&) = delete;

    void make(const QString& path, const QString& text);
    // Keeps the file open in the office until closeDocuments().
    void open(const QString& path);
    void closeDocuments();

    // Whether an office on the pipe answers a call that needs its main lock,
    // asked from another process.
    static bool answers(const QString& pipeName);

private:
    void ask(const QString& command);

    QProcess helper_;
};

} // namespace bw::test
