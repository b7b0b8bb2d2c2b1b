#pragma once

#include "platform/OfficeReference.h"
#include "platform/PropertyRecord.h"

#include <QString>

namespace bw {

class ErrorReport;
class OfficeSuite;

// MakePropertyValue: one new property record of the office from a name and a
// value. Failures are reported here, step by step; the caller gets whatever
// was made (an empty reference when no record could be made).
class PropertyValueMaker {
public:
    static const QString& location();

    PropertyValueMaker(OfficeSuite& office, ErrorReport& report) : office_(office), report_(report) {}

    OfficeReference make(const QString& name, const OfficeValue& value);

private:
    OfficeSuite& office_;
    ErrorReport& report_;
};

} // namespace bw
