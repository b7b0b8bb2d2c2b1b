#include "platform/cups/CupsAttributes.h"

#include <QStringList>

namespace bw::cups {

QString attributeText(ipp_attribute_t* attribute)
{
    if (!attribute)
        return QString();
    QStringList values;
    switch (ippGetValueTag(attribute)) {
    case IPP_TAG_TEXT:
    case IPP_TAG_NAME:
    case IPP_TAG_KEYWORD:
    case IPP_TAG_URI:
    case IPP_TAG_URISCHEME:
    case IPP_TAG_CHARSET:
    case IPP_TAG_LANGUAGE:
    case IPP_TAG_MIMETYPE:
    case IPP_TAG_TEXTLANG:
    case IPP_TAG_NAMELANG:
        // Each value as it is: ippAttributeString would escape quotes and commas.
        for (int i = 0; i < ippGetCount(attribute); ++i)
            values << QString::fromUtf8(ippGetString(attribute, i, nullptr));
        break;
    default: {
        // Numbers, ranges, resolutions: libcups writes them, one value a comma.
        QByteArray text(ippAttributeString(attribute, nullptr, 0) + 1, '\0');
        ippAttributeString(attribute, text.data(), size_t(text.size()));
        values = QString::fromUtf8(text.constData()).split(QLatin1Char(','));
    }
    }
    return values.join(QStringLiteral(", "));
}

QList<AttributeGroup> attributeGroups(ipp_t* reply, ipp_tag_t tag)
{
    QList<AttributeGroup> groups;
    bool open = false;
    for (ipp_attribute_t* attribute = ippFirstAttribute(reply); attribute;
         attribute = ippNextAttribute(reply)) {
        const char* name = ippGetName(attribute);
        if (!name || ippGetGroupTag(attribute) != tag) {
            open = false;
            continue;
        }
        if (!open)
            groups.append(AttributeGroup());
        open = true;
        groups.last().insert(QByteArray(name), attribute);
    }
    return groups;
}

int integerOf(const AttributeGroup& group, const char* name, int fallback)
{
    ipp_attribute_t* attribute = group.value(QByteArray::fromRawData(name, qstrlen(name)));
    return attribute ? ippGetInteger(attribute, 0) : fallback;
}

PrintJob jobOf(const AttributeGroup& group)
{
    PrintJob job;
    job.id = integerOf(group, "job-id", integerOf(group, "notify-job-id"));
    job.title = attributeText(group.value("job-name"));
    if (ipp_attribute_t* printer = group.value("printer-name"))
        job.queue = attributeText(printer);
    else
        job.queue = attributeText(group.value("job-printer-uri")).section(QLatin1Char('/'), -1);
    job.state = integerOf(group, "job-state", PrintJob::Pending);
    job.reasons = attributeText(group.value("job-state-reasons"));
    const QString message =
        attributeText(group.contains("job-printer-state-message") ? group.value("job-printer-state-message")
                                                                  : group.value("printer-state-message"));
    if ((job.state == PrintJob::Stopped || job.state == PrintJob::Aborted) && !message.isEmpty())
        job.reasons += (job.reasons.isEmpty() ? QString() : QStringLiteral("; ")) + message;
    return job;
}

} // namespace bw::cups
