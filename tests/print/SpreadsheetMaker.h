#pragma once

#include <QString>
#include <memory>

namespace bw::test {

// Makes small .ods files for tests with a LibreOffice of its own (own
// profile, own pipe), ended when the maker goes. With no profile folder it
// uses the office already listening on the pipe and leaves it running.
class SpreadsheetMaker {
public:
    SpreadsheetMaker(const QString& profileFolder, const QString& pipeName);
    ~SpreadsheetMaker();
    SpreadsheetMaker(const SpreadsheetMaker&) = delete;
    SpreadsheetMaker& operator=(const SpreadsheetMaker&) = delete;

    // A one-sheet spreadsheet holding the text; saved with the named printer
    // and encrypted with the password when they are given.
    void make(const QString& path, const QString& text, const QString& printer = QString(),
              const QString& password = QString());
    // Loads the file hidden and keeps it open until closeOpened().
    void open(const QString& path);
    void closeOpened();

private:
    void makeWithOffice(const QString& path, const QString& text, const QString& printer,
                        const QString& password);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace bw::test
