#pragma once

#include "platform/OfficeReference.h"
#include "platform/PlatformError.h"
#include "platform/PropertyRecord.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace bw {

// The office suite's automation operations that the print run uses, one call
// each. A member called on an empty reference fails with "Object variable not
// set" (91); any other failure of the office is a PlatformError carrying the
// office's own description. Results may be empty references where the office
// gives none (a file it cannot load, an unknown service).
class OfficeSuite {
public:
    virtual ~OfficeSuite() = default;

    // A new reference to the office's service manager, reaching (or starting)
    // the office as needed.
    virtual OfficeReference createServiceManager() = 0;
    virtual OfficeReference createInstance(const OfficeReference& serviceManager,
                                           const QString& serviceName) = 0;
    // A new, blank property record; the service manager stands for the
    // automation bridge that hands records out.
    virtual OfficeReference blankPropertyRecord(const OfficeReference& serviceManager) = 0;

    virtual OfficeReference loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                                 const QString& targetFrameName, qint16 searchFlags,
                                                 const std::vector<OfficeReference>& arguments) = 0;
    virtual OfficeReference getCurrentController(const OfficeReference& document) = 0;
    virtual OfficeReference getFrame(const OfficeReference& controller) = 0;

    // An empty frame is handed to the office as it is (the office then does
    // nothing); an empty record among the arguments fails the call.
    virtual void executeDispatch(const OfficeReference& dispatcher, const OfficeReference& frame,
                                 const QString& command, const QString& targetFrameName, qint16 searchFlags,
                                 const std::vector<OfficeReference>& arguments) = 0;
    virtual void close(const OfficeReference& document, bool deliverOwnership) = 0;
    // Writes the document to the URL through the filter the properties name
    // (FilterName); the document itself stays as it was loaded. An office
    // that cannot export does not support the member (438).
    virtual void storeToUrl(const OfficeReference& /*document*/, const QString& /*url*/,
                            const std::vector<OfficeReference>& /*properties*/)
    {
        throw unsupported(QStringLiteral("storeToURL"));
    }
    // The services the object supports, such as the kind of a loaded
    // document ("com.sun.star.text.TextDocument").
    virtual QStringList supportedServiceNames(const OfficeReference& /*object*/)
    {
        throw unsupported(QStringLiteral("getSupportedServiceNames"));
    }
    // Sets the properties on every page style of the loaded document (never saved).
    virtual void setPageStyleProperties(const OfficeReference& /*document*/,
                                        const std::vector<OfficeReference>& /*properties*/)
    {
        throw unsupported(QStringLiteral("getStyleFamilies"));
    }

    // Whether the office knows the printer by that name: it reads the
    // printers once, at its start, and silently prints a job for one it does
    // not know on another, or nowhere. Reaches (or starts) the office.
    virtual bool knowsPrinter(const QString& name) = 0;
    // Ends an office that this program started and holds none of the user's
    // documents, so that the next call starts it afresh with today's
    // printers. An office the user started is left alone. Returns whether it
    // was ended.
    virtual bool restartSelfStartedOffice() = 0;

protected:
    static PlatformError unsupported(const QString& member)
    {
        return PlatformError(438,
                             QStringLiteral("Object doesn't support this property or method: ") + member);
    }
};

} // namespace bw
