#pragma once

#include <QString>

namespace bw {

// Whether the file is a document locked with a password, read from the file
// itself: an OpenDocument package whose content is encrypted, or an Office
// Open XML document wrapped in an encrypted container. An office asked to
// open one with no one to type the password only says it could not.
bool protectedByPassword(const QString& path);

} // namespace bw
