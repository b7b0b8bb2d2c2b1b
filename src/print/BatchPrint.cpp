#include "print/BatchPrint.h"

#include "intake/LocalName.h"
#include "platform/OfficeSuite.h"
#include "platform/PlatformError.h"
#include "platform/PrintQueue.h"
#include "platform/StopRequest.h"
#include "platform/UserLocks.h"
#include "print/DocumentKind.h"
#include "print/DocumentUrl.h"
#include "print/JobFollow.h"
#include "print/PrintRun.h"
#include "print/ProtectedDocument.h"
#include "printers/UserLockWait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace bw {

namespace {

OfficeReference record(OfficeSuite& office, const OfficeReference& serviceManager, const QString& name,
                       const OfficeValue& value)
{
    OfficeReference made = office.blankPropertyRecord(serviceManager);
    auto& fields = made.objectAs<PropertyRecord>();
    fields.setName(name);
    fields.setValue(value);
    return made;
}

void closeQuietly(OfficeSuite& office, OfficeReference& document)
{
    if (document.isEmpty())
        return;
    try {
        office.close(document, true);
    } catch (const PlatformError&) {
        // Its PDF is written or the failure known; an office that cannot
        // close it gets a working connection at its next call.
    }
    document.clear();
}

} // namespace

BatchPrint::BatchPrint(Services services, Settings settings)
    : services_(std::move(services)), settings_(std::move(settings))
{
}

QStringList BatchPrint::pdfPaths(const QStringList& paths, const QString& folder)
{
    QSet<QString> taken;
    QStringList result;
    for (const QString& path : paths) {
        const QString base = QFileInfo(path).completeBaseName();
        QString name = base + QStringLiteral(".pdf");
        const auto used = [&](const QString& candidate) {
            // A PDF is never written through a link; the name's own bytes
            // are looked at (Qt would look at another name for some).
            struct stat there {};
            return taken.contains(candidate) ||
                   ::lstat(encodeLocalName(folder + QLatin1Char('/') + candidate).constData(), &there) == 0;
        };
        for (int n = 2; used(name); ++n)
            name = QStringLiteral("%1 (%2).pdf").arg(base).arg(n);
        taken.insert(name);
        result << folder + QLatin1Char('/') + name;
    }
    return result;
}

BatchPrint::Totals BatchPrint::run(const QStringList& paths,
                                   const std::function<void(const Outcome&)>& onFile)
{
    Totals totals;
    totals.total = static_cast<int>(paths.size());
    const bool toFolder = !settings_.pdfFolder.isEmpty();
    const QStringList written = toFolder ? pdfPaths(paths, settings_.pdfFolder) : QStringList();

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Rendered> rendered(size_t(totals.total));
    int next = 0;
    int delivered = 0;
    bool ending = false;
    // PDFs wait for their turn in a bounded number, so a slow queue never
    // fills the work folder.
    const int ahead = 2 * int(services_.renderers.size());

    const auto renderAll = [&](const Renderer& renderer) {
        int onThisOffice = 0;
        for (;;) {
            int index;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock,
                             [&] { return ending || next >= totals.total || next < delivered + ahead; });
                if (ending || next >= totals.total || services_.stop.stopRequested())
                    return;
                index = next++;
            }
            if (settings_.restartAfter > 0 && onThisOffice == settings_.restartAfter) {
                renderer.restart();
                onThisOffice = 0;
            }
            ++onThisOffice;
            const QString pdf = toFolder
                                    ? written.at(index)
                                    : QStringLiteral("%1/%2.pdf").arg(renderer.workFolder).arg(index + 1);
            Rendered result = render(renderer, paths.at(index), pdf);
            const std::lock_guard lock(mutex);
            rendered[size_t(index)] = std::move(result);
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (const Renderer& renderer : services_.renderers)
        threads.emplace_back(renderAll, std::cref(renderer));

    for (int i = 0; i < totals.total; ++i) {
        Rendered current;
        {
            std::unique_lock lock(mutex);
            // A stop is not announced: look for it now and then.
            while (!rendered[size_t(i)].done && !services_.stop.stopRequested())
                changed.wait_for(lock, std::chrono::milliseconds(50));
            if (services_.stop.stopRequested()) {
                totals.stopped = true;
                break;
            }
            current = rendered[size_t(i)];
            rendered[size_t(i)].pdf.clear();
        }
        Outcome outcome = deliver(paths.at(i), current);
        outcome.number = i + 1;
        outcome.total = totals.total;
        ++(outcome.printed ? totals.printed : totals.failed);
        {
            const std::lock_guard lock(mutex);
            delivered = i + 1;
            changed.notify_all();
        }
        onFile(outcome);
    }
    {
        const std::lock_guard lock(mutex);
        ending = true;
        changed.notify_all();
    }
    for (std::thread& thread : threads)
        thread.join();
    // Rendered after a stop: not started, and nothing of them left behind.
    for (const Rendered& left : rendered) {
        if (!left.pdf.isEmpty())
            QFile::remove(left.pdf);
    }
    return totals;
}

QString BatchPrint::jobFailure(const PrintJob& job, const QString& printer)
{
    return QStringLiteral("CUPS %1 job %2 on \"%3\": %4")
        .arg(PrintJob::stateWord(job.state))
        .arg(job.id)
        .arg(printer, job.reasons);
}

BatchPrint::Rendered BatchPrint::render(const Renderer& renderer, const QString& path, const QString& pdf)
{
    Rendered result;
    result.done = true;
    // A PDF goes to the queue as it is: no office needed.
    try {
        if (copyIfPdf(path, pdf, settings_.pdfFolder.isEmpty())) {
            result.pdf = pdf;
            return result;
        }
    } catch (const PlatformError& error) {
        result.reason = error.description();
        QFile::remove(pdf);
        return result;
    }
    OfficeSuite& office = renderer.office;
    OfficeReference document;
    bool officeFailed = false;
    try {
        const OfficeReference manager = office.createServiceManager();
        const OfficeReference desktop =
            office.createInstance(manager, QStringLiteral("com.sun.star.frame.Desktop"));
        // Read-only: no lock file in the user's folder, and none left by a
        // killed batch to make the file look in use.
        document = office.loadComponentFromURL(desktop, documentUrl(path), QStringLiteral("_blank"), 0,
                                               {record(office, manager, QStringLiteral("Hidden"), true),
                                                record(office, manager, QStringLiteral("ReadOnly"), true)});
        if (document.isEmpty()) {
            result.reason = QStringLiteral("LibreOffice could not open it as a document");
            return result;
        }
        const std::optional<DocumentKind> kind =
            DocumentKind::ofServices(office.supportedServiceNames(document));
        if (!kind) {
            result.reason = QStringLiteral(
                "LibreOffice opened it, but not as a spreadsheet, text, presentation or drawing");
        } else {
            // Only a sheet's page style scales to a page's width; other
            // documents keep their own page size.
            if (settings_.fitToWidth && kind->spreadsheet)
                office.setPageStyleProperties(
                    document, {record(office, manager, QStringLiteral("ScaleToPagesX"), qint16(1)),
                               record(office, manager, QStringLiteral("ScaleToPagesY"), qint16(0))});
            office.storeToUrl(document, documentUrl(pdf),
                              {record(office, manager, QStringLiteral("FilterName"), kind->pdfFilter)});
            result.pdf = pdf;
            if (settings_.pdfFolder.isEmpty())
                QFile::setPermissions(pdf, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    } catch (const PlatformError& error) {
        result.reason = error.description();
        officeFailed = true;
        QFile::remove(pdf);
    }
    closeQuietly(office, document);
    if (officeFailed)
        renderer.recover();
    return result;
}

BatchPrint::Outcome BatchPrint::deliver(const QString& path, Rendered& rendered)
{
    Outcome outcome;
    outcome.path = path;
    outcome.reason = rendered.reason;
    if (rendered.pdf.isEmpty()) {
        // The office only says it could not open it.
        if (protectedByPassword(path))
            outcome.reason = QStringLiteral("%1 is protected by a password").arg(QFileInfo(path).fileName());
        return outcome;
    }
    if (!settings_.pdfFolder.isEmpty()) {
        outcome.printed = true;
        outcome.pdf = rendered.pdf;
        return outcome;
    }
    const bool locked = services_.locks && services_.sleeper;
    if (locked && !waitForUserLock(*services_.locks, PrintRun::dispatchLockName(), *services_.sleeper,
                                   &services_.stop)) {
        QFile::remove(rendered.pdf);
        outcome.reason = QStringLiteral("Not sent: stopped while another print of yours was under way");
        return outcome;
    }
    try {
        outcome.jobId = services_.printQueue.submitFile(settings_.printer, rendered.pdf,
                                                        QFileInfo(path).fileName(), settings_.jobOptions);
    } catch (const PlatformError& error) {
        outcome.reason =
            QStringLiteral("Not printed on \"%1\": %2").arg(settings_.printer, error.description());
    }
    QFile::remove(rendered.pdf);
    if (locked)
        services_.locks->unlock(PrintRun::dispatchLockName());
    if (outcome.jobId == 0)
        return outcome;
    try {
        const std::optional<PrintJob> job = services_.printQueue.job(outcome.jobId);
        // One CUPS no longer knows had its document and is gone from a
        // queue that keeps no history.
        outcome.jobState = job ? job->state : PrintJob::Completed;
        outcome.printed = !JobFollow::failed(outcome.jobState);
        if (!outcome.printed)
            outcome.reason = jobFailure(*job, settings_.printer);
    } catch (const PlatformError& error) {
        outcome.reason = QStringLiteral("Job %1 on \"%2\" cannot be confirmed: %3")
                             .arg(outcome.jobId)
                             .arg(settings_.printer, error.description());
    }
    return outcome;
}

} // namespace bw
