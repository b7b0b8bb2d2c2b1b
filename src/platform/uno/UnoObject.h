#pragma once

#include "platform/OfficeReference.h"
#include "platform/uno/UnoConnection.h"

#include <com/sun/star/uno/XInterface.hpp>
#include <memory>

namespace bw {

// An office object reached over one connection; it keeps its connection open.
class UnoObject : public OfficeObject {
public:
    UnoObject(std::shared_ptr<UnoConnection> connection, css::uno::Reference<css::uno::XInterface> object)
        : connection_(std::move(connection)), object_(std::move(object))
    {
    }

    UnoConnection& connection() const { return *connection_; }
    const std::shared_ptr<UnoConnection>& sharedConnection() const { return connection_; }
    const css::uno::Reference<css::uno::XInterface>& object() const { return object_; }
    // Lets go of the proxy of a connection given up; later calls find no object.
    void release() { object_.clear(); }

private:
    // Declared first so the object is released before its connection closes.
    std::shared_ptr<UnoConnection> connection_;
    css::uno::Reference<css::uno::XInterface> object_;
};

} // namespace bw
