#include "platform/uno/UnoCalls.h"

namespace bw {

namespace {

css::uno::Any toAny(const OfficeValue& value)
{
    if (const auto* number = std::get_if<qint16>(&value))
        return css::uno::Any(static_cast<sal_Int16>(*number));
    if (const auto* flag = std::get_if<bool>(&value))
        return css::uno::Any(*flag);
    if (const auto* text = std::get_if<QString>(&value))
        return css::uno::Any(UnoConnection::toOUString(*text));
    return css::uno::Any();
}

} // namespace

css::uno::Sequence<css::beans::PropertyValue> toArguments(const std::vector<OfficeReference>& records)
{
    css::uno::Sequence<css::beans::PropertyValue> arguments(static_cast<sal_Int32>(records.size()));
    css::beans::PropertyValue* out = arguments.getArray();
    for (const OfficeReference& reference : records) {
        const PropertyRecord& record = reference.objectAs<PropertyRecord>();
        out->Name = UnoConnection::toOUString(record.name());
        out->Value = toAny(record.value());
        ++out;
    }
    return arguments;
}

css::uno::Reference<css::frame::XDesktop> desktopOf(UnoConnection& connection)
{
    return connection.call([&] {
        const auto context = connection.remoteContext();
        return css::uno::Reference<css::frame::XDesktop>(
            context->getServiceManager()->createInstanceWithContext("com.sun.star.frame.Desktop", context),
            css::uno::UNO_QUERY);
    });
}

} // namespace bw
