#pragma once

#include "platform/PlatformError.h"
#include "print/FileListReader.h"

#include <QStringList>

namespace bw::test {

// A file list in memory whose reads can be told to fail.
class FakeFileListReader : public FileListReader {
public:
    int entryCount() const override
    {
        ++countReads;
        if (countReads == failCountRead)
            throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("The list cannot be read"));
        return static_cast<int>(paths.size());
    }
    QString entryText(int position) const override
    {
        if (position == failTextAt || position < 1 || position > paths.size())
            throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("Index out of bounds"));
        return paths.at(position - 1);
    }

    QStringList paths;
    int failCountRead = 0; // which read of the count fails (1-based; 0 none)
    int failTextAt = 0;    // which position cannot be read (0 none)
    mutable int countReads = 0;
};

} // namespace bw::test
