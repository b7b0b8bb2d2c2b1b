#include "print/ErrorReport.h"

#include "platform/MessageBoxes.h"

namespace bw {

const QString& ErrorReport::supportAddress()
{
    static const QString address = QStringLiteral("support@brindlework.example.org");
    return address;
}

const QString& ErrorReport::title()
{
    static const QString text = QStringLiteral("Application Error");
    return text;
}

QString ErrorReport::text(const QString& description, const QString& location, int line)
{
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") +
           QString::number(line) + QStringLiteral("\r\r") +
           QStringLiteral("Please email screenshot of this message to ") + supportAddress();
}

void ErrorReport::show(const QString& description, const QString& location, int line)
{
    boxes_.show(text(description, location, line), MessageBoxes::OkOnly + MessageBoxes::Exclamation, title());
}

} // namespace bw
