#pragma once

#include "platform/OfficeSuite.h"
#include "platform/PlatformError.h"
#include "support/FakePrintJobs.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace bw::test {

// An office in memory. It records every call in order (with its arguments),
// can be told to fail at any operation, by name and/or call count, and gives
// empty references where a real office does: a file it cannot read loads as
// an empty reference, an unknown service creates none.
class FakeOfficeSuite : public OfficeSuite {
public:
    struct Call {
        QString operation;
        QStringList arguments;
    };
    // One print dispatch that reached a loaded document.
    struct PrintJob {
        QString url;
        QString arguments; // e.g. "Copies=1 (int16), Collate=true (bool), PrinterName=B (text)"
    };
    // What a document loads as: a kind of document, or nothing.
    enum class Loads { Spreadsheet, Text, Presentation, Drawing, Formula, AsEmptyReference };

    // An office object of the fake: a kind ("ServiceManager", "Desktop",
    // "DispatchHelper", "Document", "Controller", "Frame") and the URL of the
    // document it belongs to, where there is one.
    class Object : public OfficeObject {
    public:
        Object(QString kind, int serial, QString url)
            : kind(std::move(kind)), serial(serial), url(std::move(url))
        {
        }
        QString kind;
        int serial;
        QString url;
        bool closed = false;
    };

    // A record whose setters are calls of the office as well.
    class Record : public PropertyRecord {
    public:
        Record(FakeOfficeSuite& office, int serial) : office_(office), serial_(serial) {}
        void setName(const QString& name) override;
        void setValue(const OfficeValue& value) override;
        int serial() const { return serial_; }

    private:
        FakeOfficeSuite& office_;
        int serial_;
    };

    static QString describe(const OfficeValue& value);
    static QString describe(const OfficeReference& reference);
    static QString describeRecords(const std::vector<OfficeReference>& records);

    // Set-up.
    void addDocument(const QString& url, Loads loads = Loads::Spreadsheet) { documents_.insert(url, loads); }
    // Fails the occurrence-th call of the operation (1-based; 0 = every call).
    void failAt(const QString& operation, int occurrence = 0,
                std::optional<PlatformError> error = std::nullopt);
    // Fails the call-number-th call of any operation (1-based).
    void failAtCallNumber(int callNumber, std::optional<PlatformError> error = std::nullopt);
    // An office that cannot be reached: every new service manager fails.
    bool available = true;
    // Where prints go, as the real office's go to CUPS: a job titled with the
    // file name, on the printer the print names when the office knows it,
    // otherwise on the office's own default: the fallback printer, or where
    // none is set, the printing system's default.
    FakePrintJobs* printing = nullptr;
    // The printers the office learned at its start; unset: every printer of the printing system.
    std::optional<QStringList> knownPrinters;
    QString fallbackPrinter;
    // An office that puts every print on this printer, whatever the print names.
    QString printsOnlyOn;
    // How long a job takes to show in the job list after its print.
    qint64 spoolMilliseconds = 0;
    // An office that prints nothing at all, though it says nothing.
    bool dropsJobs = false;
    // Only an office this program started can be restarted.
    bool selfStarted = true;

    // OfficeSuite.
    OfficeReference createServiceManager() override;
    OfficeReference createInstance(const OfficeReference& serviceManager,
                                   const QString& serviceName) override;
    OfficeReference blankPropertyRecord(const OfficeReference& serviceManager) override;
    OfficeReference loadComponentFromURL(const OfficeReference& desktop, const QString& url,
                                         const QString& targetFrameName, qint16 searchFlags,
                                         const std::vector<OfficeReference>& arguments) override;
    OfficeReference getCurrentController(const OfficeReference& document) override;
    OfficeReference getFrame(const OfficeReference& controller) override;
    void executeDispatch(const OfficeReference& dispatcher, const OfficeReference& frame,
                         const QString& command, const QString& targetFrameName, qint16 searchFlags,
                         const std::vector<OfficeReference>& arguments) override;
    void close(const OfficeReference& document, bool deliverOwnership) override;
    // Writes a small file standing for the PDF at the URL's path.
    void storeToUrl(const OfficeReference& document, const QString& url,
                    const std::vector<OfficeReference>& properties) override;
    // Those of the kind the document loads as.
    QStringList supportedServiceNames(const OfficeReference& object) override;
    void setPageStyleProperties(const OfficeReference& document,
                                const std::vector<OfficeReference>& properties) override;
    bool knowsPrinter(const QString& name) override;
    bool restartSelfStartedOffice() override;

    // What happened.
    QStringList operations() const;
    int openDocumentCount() const;
    std::vector<Call> calls;
    std::vector<PrintJob> printed;
    std::function<void(const Call&)> onCall;
    // Kept apart from the calls above, which tests compare whole.
    QStringList printerQueries;
    int restarts = 0;

private:
    struct FailureRule {
        QString operation; // empty: any operation, counted over all calls
        int occurrence;
        PlatformError error;
    };

    void record(const QString& operation, QStringList arguments);
    OfficeReference make(const QString& kind, const QString& url = QString());
    Object& objectOfKind(const OfficeReference& reference, const QString& kind) const;
    bool knows(const QString& printer) const;
    void submitJob(const QString& url, const std::vector<OfficeReference>& arguments);

    QHash<QString, Loads> documents_;
    std::vector<FailureRule> rules_;
    QHash<QString, int> operationCounts_;
    std::vector<std::shared_ptr<Object>> loaded_;
    int nextSerial_ = 1;
};

} // namespace bw::test
