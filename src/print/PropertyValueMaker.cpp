#include "print/PropertyValueMaker.h"

#include "platform/OfficeSuite.h"
#include "print/StepExecutor.h"

namespace bw {

const QString& PropertyValueMaker::location()
{
    static const QString text = QStringLiteral("in Quillon.Writer1.MakePropertyValue ");
    return text;
}

OfficeReference PropertyValueMaker::make(const QString& name, const OfficeValue& value)
{
    OfficeReference serviceManager;
    OfficeReference record;
    OfficeReference result;
    StepExecutor(report_, location())
        .run({
            {100, [&] { serviceManager = office_.createServiceManager(); }},
            {102, [&] { record = office_.blankPropertyRecord(serviceManager); }},
            {104, [&] { record.objectAs<PropertyRecord>().setName(name); }},
            {106, [&] { record.objectAs<PropertyRecord>().setValue(value); }},
            {108, [&] { result = record; }},
        });
    return result;
}

} // namespace bw
