#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace bw {

// A kind of document the office writes as PDF: the service its loaded
// component supports, and the export filter of that kind.
struct DocumentKind {
    QString service;
    QString pdfFilter;
    // Whether its page styles can scale it to one page wide.
    bool spreadsheet = false;

    // The kind the office loaded a document as, from the services the
    // component supports; none for a kind it cannot write as PDF here.
    static std::optional<DocumentKind> ofServices(const QStringList& services);
};

// Copies the file to `copy` when its content is a PDF (it starts with
// "%PDF-"), whatever its name, and says whether it did. A file that cannot be
// opened, or is no regular file, is no PDF here: the office tells why it
// cannot load it. A failed copy throws PlatformError, leaving a part behind.
bool copyIfPdf(const QString& path, const QString& copy, bool ownerOnly);

} // namespace bw
