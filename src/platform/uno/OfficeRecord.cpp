#include "platform/uno/OfficeRecord.h"

#include "platform/Processes.h"
#include "platform/StateFolder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace bw {

OfficeRecord::OfficeRecord(StateFolder& state, Processes& processes, QString pipeName)
    : state_(state), processes_(processes), pipeName_(std::move(pipeName))
{
}

QString OfficeRecord::fileName() const
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_-]"));
    return QStringLiteral("office-%1.json").arg(QString(pipeName_).replace(unsafe, QStringLiteral("-")));
}

void OfficeRecord::write(qint64 officeProcessId)
{
    const qint64 owner = processes_.currentProcessId();
    const QJsonObject object{
        {QStringLiteral("pipe"), pipeName_},
        {QStringLiteral("officeProcessId"), officeProcessId},
        {QStringLiteral("officeIdentity"), processes_.identity(officeProcessId)},
        {QStringLiteral("ownerProcessId"), owner},
        {QStringLiteral("ownerIdentity"), processes_.identity(owner)},
    };
    state_.write(fileName(), QJsonDocument(object).toJson());
}

void OfficeRecord::started(qint64 officeProcessId)
{
    try {
        write(officeProcessId);
    } catch (const std::exception&) {
        // Without the record only a later instance loses track of the office.
    }
}

std::optional<qint64> OfficeRecord::takeOver()
{
    try {
        const std::optional<QByteArray> bytes = state_.read(fileName());
        if (!bytes)
            return std::nullopt;
        const QJsonObject object = QJsonDocument::fromJson(*bytes).object();
        const auto alive = [this, &object](const char* number, const char* identity) {
            const QString recorded = object.value(QLatin1String(identity)).toString();
            return !recorded.isEmpty() &&
                   processes_.identity(object.value(QLatin1String(number)).toInteger()) == recorded;
        };
        // The owner still runs: the office is its own, not ours.
        if (alive("ownerProcessId", "ownerIdentity"))
            return std::nullopt;
        if (object.value(QStringLiteral("pipe")).toString() != pipeName_ ||
            !alive("officeProcessId", "officeIdentity")) {
            state_.remove(fileName());
            return std::nullopt;
        }
        const qint64 office = object.value(QStringLiteral("officeProcessId")).toInteger();
        write(office);
        officeIdentity_ = object.value(QStringLiteral("officeIdentity")).toString();
        return office;
    } catch (const std::exception&) {
        // An unreadable record claims no office: the user's are never ended.
        return std::nullopt;
    }
}

void OfficeRecord::ended()
{
    try {
        state_.remove(fileName());
    } catch (const std::exception&) {
    }
}

} // namespace bw
