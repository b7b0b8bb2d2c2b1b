#pragma once

#include "platform/PlatformError.h"
#include "platform/PropertyRecord.h"
#include "platform/uno/UnoConnection.h"
#include "platform/uno/UnoObject.h"

#include <QUrl>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <memory>
#include <vector>

namespace bw {

// An object of the connection, remembered there so that it can be let go of
// when the connection is given up.
template <class Object, class... Extra>
OfficeReference adopted(const std::shared_ptr<UnoConnection>& connection,
                        css::uno::Reference<css::uno::XInterface> object, Extra&&... extra)
{
    auto result = std::make_shared<Object>(connection, std::move(object), std::forward<Extra>(extra)...);
    connection->adopt(result);
    return OfficeReference(std::move(result));
}

template <class Interface>
OfficeReference wrap(const std::shared_ptr<UnoConnection>& connection,
                     const css::uno::Reference<Interface>& object)
{
    if (!object.is())
        return {};
    return adopted<UnoObject>(connection, css::uno::Reference<css::uno::XInterface>(object.get()));
}

inline PlatformError noSuchMember(const char* member)
{
    return PlatformError(438, QStringLiteral("Object doesn't support this property or method: ") +
                                  QLatin1String(member));
}

template <class Interface> css::uno::Reference<Interface> query(const UnoObject& object, const char* member)
{
    css::uno::Reference<Interface> result(object.object(), css::uno::UNO_QUERY);
    if (!result.is())
        throw noSuchMember(member);
    return result;
}

// The records as the office takes them; an empty record fails the call.
css::uno::Sequence<css::beans::PropertyValue> toArguments(const std::vector<OfficeReference>& records);

// The local file a document URL names.
inline QString localFileOf(const QString& url)
{
    return QUrl(url, QUrl::TolerantMode).toLocalFile();
}

// The office's desktop, reached over the connection (empty where it has none).
css::uno::Reference<css::frame::XDesktop> desktopOf(UnoConnection& connection);

} // namespace bw
