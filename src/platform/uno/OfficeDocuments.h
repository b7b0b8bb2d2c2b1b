#pragma once

#include "platform/OfficeReference.h"

#include <QHash>
#include <QString>
#include <chrono>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <memory>
#include <optional>

namespace bw {

class UnoConnection;
class UnoObject;

// The documents loaded here and not closed yet, counted by file, so that an
// office holding only such documents can be ended.
class OfficeDocuments {
public:
    // The reference to a document just loaded from the URL, counted.
    OfficeReference loaded(const std::shared_ptr<UnoConnection>& connection,
                           const css::uno::Reference<css::lang::XComponent>& document, const QString& url);
    // Uncounts the object when it is a document loaded here.
    void closed(const UnoObject& object);
    // Whether every document open in the office was loaded here; adopting:
    // counts each as loaded here instead. Given a limit, the office answers
    // within it or the connection is broken off.
    bool onlyOwnOpen(UnoConnection& connection, const css::uno::Reference<css::frame::XDesktop>& desktop,
                     bool adopting = false, std::optional<std::chrono::milliseconds> limit = std::nullopt);

private:
    QHash<QString, int> open_;
};

} // namespace bw
