#include "platform/uno/OfficeDocuments.h"

#include "platform/uno/UnoCalls.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>

namespace bw {

using css::uno::Reference;

namespace {

// A document loaded through this adapter, remembered by its file.
class UnoDocument : public UnoObject {
public:
    UnoDocument(std::shared_ptr<UnoConnection> connection, Reference<css::uno::XInterface> object,
                QString file)
        : UnoObject(std::move(connection), std::move(object)), file_(std::move(file))
    {
    }
    const QString& file() const { return file_; }

private:
    QString file_;
};

} // namespace

OfficeReference OfficeDocuments::loaded(const std::shared_ptr<UnoConnection>& connection,
                                        const Reference<css::lang::XComponent>& document, const QString& url)
{
    if (!document.is())
        return {};
    const QString file = localFileOf(url);
    ++open_[file];
    return adopted<UnoDocument>(connection, Reference<css::uno::XInterface>(document.get()), file);
}

void OfficeDocuments::closed(const UnoObject& object)
{
    const auto* loaded = dynamic_cast<const UnoDocument*>(&object);
    if (!loaded)
        return;
    auto count = open_.find(loaded->file());
    if (count != open_.end() && --count.value() <= 0)
        open_.erase(count);
}

bool OfficeDocuments::onlyOwnOpen(UnoConnection& connection, const Reference<css::frame::XDesktop>& desktop,
                                  bool adopting, std::optional<std::chrono::milliseconds> limit)
{
    const auto count = [&] {
        const Reference<css::container::XEnumeration> components =
            desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            const Reference<css::frame::XModel> model(components->nextElement(), css::uno::UNO_QUERY);
            if (!model.is())
                return false;
            const QString file = localFileOf(UnoConnection::toQString(model->getURL()));
            if (adopting)
                open_[file] = std::max(open_.value(file), 1);
            else if (open_.value(file) <= 0)
                return false;
        }
        return true;
    };
    return connection.callHurried(limit, count);
}

} // namespace bw
