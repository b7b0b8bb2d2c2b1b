#include "print/ModelFileListReader.h"

#include "filelist/FileListModel.h"

namespace bw {

int ModelFileListReader::entryCount() const
{
    return model_.count();
}

QString ModelFileListReader::entryText(int position) const
{
    return model_.textAt(position);
}

} // namespace bw
