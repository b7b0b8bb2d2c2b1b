#pragma once

#include <QString>

namespace bw {

// What the print run reads of the file list: positions run from 1 to count.
class FileListReader {
public:
    virtual ~FileListReader() = default;
    virtual int entryCount() const = 0;
    virtual QString entryText(int position) const = 0;
};

} // namespace bw
