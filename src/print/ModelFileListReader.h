#pragma once

#include "print/FileListReader.h"

namespace bw {

class FileListModel;

class ModelFileListReader : public FileListReader {
public:
    explicit ModelFileListReader(const FileListModel& model) : model_(model) {}
    int entryCount() const override;
    QString entryText(int position) const override;

private:
    const FileListModel& model_;
};

} // namespace bw
