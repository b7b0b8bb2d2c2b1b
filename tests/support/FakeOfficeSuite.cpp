#include "support/FakeOfficeSuite.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace bw::test {

namespace {

PlatformError noSuchMember(const QString& member)
{
    return PlatformError(438, QStringLiteral("Object doesn't support this property or method: ") + member);
}

} // namespace

QString FakeOfficeSuite::describe(const OfficeValue& value)
{
    if (const auto* number = std::get_if<qint16>(&value))
        return QString::number(*number) + QStringLiteral(" (int16)");
    if (const auto* flag = std::get_if<bool>(&value))
        return (*flag ? QStringLiteral("true") : QStringLiteral("false")) + QStringLiteral(" (bool)");
    if (const auto* text = std::get_if<QString>(&value))
        return *text + QStringLiteral(" (text)");
    return QStringLiteral("(none)");
}

QString FakeOfficeSuite::describe(const OfficeReference& reference)
{
    if (reference.isEmpty())
        return QStringLiteral("<empty>");
    if (const auto* object = reference.peek<Object>())
        return object->kind + QLatin1Char('#') + QString::number(object->serial);
    if (const auto* record = reference.peek<Record>())
        return QStringLiteral("Record#") + QString::number(record->serial());
    return QStringLiteral("<foreign>");
}

QString FakeOfficeSuite::describeRecords(const std::vector<OfficeReference>& records)
{
    QStringList parts;
    for (const OfficeReference& reference : records) {
        if (const auto* record = reference.peek<PropertyRecord>())
            parts << record->name() + QLatin1Char('=') + describe(record->value());
        else
            parts << describe(reference);
    }
    return parts.join(QStringLiteral(", "));
}

void FakeOfficeSuite::Record::setName(const QString& name)
{
    office_.record(QStringLiteral("setName"), {QStringLiteral("Record#") + QString::number(serial_), name});
    PropertyRecord::setName(name);
}

void FakeOfficeSuite::Record::setValue(const OfficeValue& value)
{
    office_.record(QStringLiteral("setValue"),
                   {QStringLiteral("Record#") + QString::number(serial_), describe(value)});
    PropertyRecord::setValue(value);
}

void FakeOfficeSuite::failAt(const QString& operation, int occurrence, std::optional<PlatformError> error)
{
    rules_.push_back({operation, occurrence,
                      error.value_or(PlatformError(ErrorNumber::Automation,
                                                   QStringLiteral("Simulated failure of ") + operation))});
}

void FakeOfficeSuite::failAtCallNumber(int callNumber, std::optional<PlatformError> error)
{
    rules_.push_back(
        {QString(), callNumber,
         error.value_or(PlatformError(ErrorNumber::Automation,
                                      QStringLiteral("Simulated failure of call %1").arg(callNumber)))});
}

void FakeOfficeSuite::record(const QString& operation, QStringList arguments)
{
    calls.push_back({operation, std::move(arguments)});
    const int callNumber = static_cast<int>(calls.size());
    const int occurrence = ++operationCounts_[operation];
    if (onCall)
        onCall(calls.back());
    for (const FailureRule& rule : rules_) {
        const bool byName = !rule.operation.isEmpty() && rule.operation == operation &&
                            (rule.occurrence == 0 || rule.occurrence == occurrence);
        const bool byNumber = rule.operation.isEmpty() && rule.occurrence == callNumber;
        if (byName || byNumber)
            throw rule.error;
    }
}

OfficeReference FakeOfficeSuite::make(const QString& kind, const QString& url)
{
    return OfficeReference(std::make_shared<Object>(kind, nextSerial_++, url));
}

FakeOfficeSuite::Object& FakeOfficeSuite::objectOfKind(const OfficeReference& reference,
                                                       const QString& kind) const
{
    auto& object = reference.objectAs<Object>();
    if (object.kind != kind)
        throw noSuchMember(kind);
    return object;
}

OfficeReference FakeOfficeSuite::createServiceManager()
{
    record(QStringLiteral("createServiceManager"), {});
    if (!available)
        throw PlatformError(ErrorNumber::Automation, QStringLiteral("LibreOffice could not be started"));
    return make(QStringLiteral("ServiceManager"));
}

OfficeReference FakeOfficeSuite::createInstance(const OfficeReference& serviceManager,
                                                const QString& serviceName)
{
    record(QStringLiteral("createInstance"), {describe(serviceManager), serviceName});
    objectOfKind(serviceManager, QStringLiteral("ServiceManager"));
    if (serviceName == QLatin1String("com.sun.star.frame.Desktop"))
        return make(QStringLiteral("Desktop"));
    if (serviceName == QLatin1String("com.sun.star.frame.DispatchHelper"))
        return make(QStringLiteral("DispatchHelper"));
    return {};
}

OfficeReference FakeOfficeSuite::blankPropertyRecord(const OfficeReference& serviceManager)
{
    record(QStringLiteral("blankPropertyRecord"), {describe(serviceManager)});
    objectOfKind(serviceManager, QStringLiteral("ServiceManager"));
    return OfficeReference(std::make_shared<Record>(*this, nextSerial_++));
}

OfficeReference FakeOfficeSuite::loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                                      const QString& targetFrameName, qint16 searchFlags,
                                                      const std::vector<OfficeReference>& arguments)
{
    record(
        QStringLiteral("loadComponentFromURL"),
        {describe(desktop), url, targetFrameName, QString::number(searchFlags), describeRecords(arguments)});
    objectOfKind(desktop, QStringLiteral("Desktop"));
    const auto found = documents_.constFind(url);
    if (found == documents_.constEnd())
        throw PlatformError(ErrorNumber::Automation,
                            QStringLiteral("Unsupported URL <%1>: \"type detection failed\"").arg(url));
    if (found.value() == Loads::AsEmptyReference)
        return {};
    auto document = std::make_shared<Object>(QStringLiteral("Document"), nextSerial_++, url);
    loaded_.push_back(document);
    return OfficeReference(document);
}

OfficeReference FakeOfficeSuite::getCurrentController(const OfficeReference& document)
{
    record(QStringLiteral("getCurrentController"), {describe(document)});
    const Object& model = objectOfKind(document, QStringLiteral("Document"));
    if (model.closed)
        throw PlatformError(ErrorNumber::Automation, QStringLiteral("The document is closed"));
    return make(QStringLiteral("Controller"), model.url);
}

OfficeReference FakeOfficeSuite::getFrame(const OfficeReference& controller)
{
    record(QStringLiteral("getFrame"), {describe(controller)});
    return make(QStringLiteral("Frame"), objectOfKind(controller, QStringLiteral("Controller")).url);
}

void FakeOfficeSuite::executeDispatch(const OfficeReference& dispatcher, const OfficeReference& frame,
                                      const QString& command, const QString& targetFrameName,
                                      qint16 searchFlags, const std::vector<OfficeReference>& arguments)
{
    record(QStringLiteral("executeDispatch"),
           {describe(dispatcher), describe(frame), command, targetFrameName, QString::number(searchFlags),
            describeRecords(arguments)});
    objectOfKind(dispatcher, QStringLiteral("DispatchHelper"));
    for (const OfficeReference& argument : arguments)
        argument.objectAs<PropertyRecord>();
    // Like the office: no frame, nothing done.
    if (frame.isEmpty())
        return;
    const Object& target = objectOfKind(frame, QStringLiteral("Frame"));
    for (const auto& document : loaded_) {
        if (document->url == target.url && !document->closed && command == QLatin1String(".uno:Print")) {
            printed.push_back({target.url, describeRecords(arguments)});
            submitJob(target.url, arguments);
            return;
        }
    }
}

void FakeOfficeSuite::close(const OfficeReference& document, bool deliverOwnership)
{
    record(QStringLiteral("close"),
           {describe(document), deliverOwnership ? QStringLiteral("true") : QStringLiteral("false")});
    Object& model = objectOfKind(document, QStringLiteral("Document"));
    if (model.closed)
        throw PlatformError(ErrorNumber::Automation, QStringLiteral("The document is closed"));
    model.closed = true;
}

void FakeOfficeSuite::storeToUrl(const OfficeReference& document, const QString& url,
                                 const std::vector<OfficeReference>& properties)
{
    record(QStringLiteral("storeToUrl"), {describe(document), url, describeRecords(properties)});
    const Object& model = objectOfKind(document, QStringLiteral("Document"));
    if (model.closed)
        throw PlatformError(ErrorNumber::Automation, QStringLiteral("The document is closed"));
    // A real file, so that what is done with it afterwards can be seen.
    QFile file(QUrl(url).toLocalFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(("%PDF of " + model.url).toUtf8()) < 0)
        throw PlatformError(ErrorNumber::Automation, QStringLiteral("Cannot write ") + url);
}

QStringList FakeOfficeSuite::supportedServiceNames(const OfficeReference& object)
{
    record(QStringLiteral("supportedServiceNames"), {describe(object)});
    static const char* const kinds[] = {"sheet.SpreadsheetDocument", "text.TextDocument",
                                        "presentation.PresentationDocument", "drawing.DrawingDocument",
                                        "formula.FormulaProperties"};
    const QString& url = objectOfKind(object, QStringLiteral("Document")).url;
    // Like the office's documents, each names a service no kind is told by
    // (a presentation is a generic drawing too).
    return {QStringLiteral("com.sun.star.drawing.GenericDrawingDocument"),
            QStringLiteral("com.sun.star.") + QLatin1String(kinds[int(documents_.value(url))])};
}

void FakeOfficeSuite::setPageStyleProperties(const OfficeReference& document,
                                             const std::vector<OfficeReference>& properties)
{
    record(QStringLiteral("setPageStyleProperties"), {describe(document), describeRecords(properties)});
    objectOfKind(document, QStringLiteral("Document"));
}

void FakeOfficeSuite::submitJob(const QString& url, const std::vector<OfficeReference>& arguments)
{
    if (!printing || dropsJobs)
        return;
    QString printer = fallbackPrinter.isEmpty() ? printing->printers.effectiveDefault() : fallbackPrinter;
    for (const OfficeReference& argument : arguments) {
        const auto& record = argument.objectAs<PropertyRecord>();
        if (record.name() == QLatin1String("PrinterName")) {
            const auto* name = std::get_if<QString>(&record.value());
            if (name && knows(*name))
                printer = *name;
        }
    }
    if (!printsOnlyOn.isEmpty())
        printer = printsOnlyOn;
    if (!printer.isEmpty())
        printing->submit(printer.section(QLatin1Char('/'), 0, 0),
                         QFileInfo(QUrl(url, QUrl::TolerantMode).toLocalFile()).fileName(),
                         spoolMilliseconds);
}

bool FakeOfficeSuite::knowsPrinter(const QString& name)
{
    printerQueries << name;
    if (!available)
        throw PlatformError(ErrorNumber::Automation, QStringLiteral("LibreOffice could not be started"));
    return knows(name);
}

bool FakeOfficeSuite::knows(const QString& name) const
{
    if (knownPrinters)
        return knownPrinters->contains(name);
    return !printing || printing->printers.printers.contains(name);
}

bool FakeOfficeSuite::restartSelfStartedOffice()
{
    if (!selfStarted || openDocumentCount() > 0)
        return false;
    knownPrinters.reset();
    ++restarts;
    return true;
}

QStringList FakeOfficeSuite::operations() const
{
    QStringList names;
    for (const Call& call : calls)
        names << call.operation;
    return names;
}

int FakeOfficeSuite::openDocumentCount() const
{
    int count = 0;
    for (const auto& document : loaded_)
        count += document->closed ? 0 : 1;
    return count;
}

} // namespace bw::test
