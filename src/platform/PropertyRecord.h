#pragma once

#include "platform/OfficeReference.h"

#include <QString>
#include <variant>

namespace bw {

// A value a property record can carry: nothing (a blank record), a 16-bit
// integer, a Boolean or a text.
using OfficeValue = std::variant<std::monostate, qint16, bool, QString>;

// The office's "com.sun.star.beans.PropertyValue": a name and a value. A new
// record is blank (empty name, no value).
class PropertyRecord : public OfficeObject {
public:
    virtual void setName(const QString& name) { name_ = name; }
    virtual void setValue(const OfficeValue& value) { value_ = value; }

    const QString& name() const { return name_; }
    const OfficeValue& value() const { return value_; }

private:
    QString name_;
    OfficeValue value_;
};

} // namespace bw
