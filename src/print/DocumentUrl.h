#pragma once

#include <QString>

namespace bw {

// The URL the office loads a listed file from. An absolute Linux path gives
// "file://" + the path; a path with a drive letter (or any other form) gives
// "file:///" + the path with every "\" turned into "/". In both, "%", "#" and
// "?" are percent-encoded, since the office reads them as URL syntax, and so
// are the bytes of a name that are not UTF-8 (see LocalName.h), which the
// office takes byte for byte; spaces, non-ASCII letters and everything else
// stay as they are.
QString documentUrl(const QString& path);

} // namespace bw
