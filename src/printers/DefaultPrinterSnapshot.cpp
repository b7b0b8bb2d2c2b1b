#include "printers/DefaultPrinterSnapshot.h"

#include "platform/LpoptionsText.h"
#include "platform/PrinterServices.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace bw {

namespace {

QJsonValue bytesValue(const std::optional<QByteArray>& bytes)
{
    return bytes ? QJsonValue(QString::fromLatin1(bytes->toBase64())) : QJsonValue(QJsonValue::Null);
}

std::optional<QByteArray> bytesOf(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    return QByteArray::fromBase64(value.toString().toLatin1());
}

} // namespace

std::optional<QString> DefaultPrinterSnapshot::userDefault() const
{
    return userOptions ? defaultInOptions(*userOptions) : std::nullopt;
}

DefaultPrinterSnapshot::Undo DefaultPrinterSnapshot::undoIn(PrinterServices& printers) const
{
    const std::optional<QByteArray> now = printers.readUserOptions();
    if (now == userOptions)
        return Undo::NothingToUndo;
    const std::optional<QString> runs = defaultInOptions(written);
    const std::optional<QString> standing = now ? defaultInOptions(*now) : std::nullopt;
    // CUPS names printers without regard to letter case.
    if (!runs || !standing || runs->compare(*standing, Qt::CaseInsensitive) != 0)
        return Undo::UserChoseAnew;
    std::optional<QByteArray> wanted = userOptions;
    if (*now != written) {
        wanted = withDefault(*now, userDefault());
        // A file that only the run's Default line made goes again.
        if (wanted->isEmpty() && !userOptions)
            wanted.reset();
    }
    printers.writeUserOptions(wanted);
    return Undo::Done;
}

QByteArray DefaultPrinterSnapshot::toBytes() const
{
    const QJsonObject object{
        {QStringLiteral("processId"), processId},
        {QStringLiteral("processIdentity"), processIdentity},
        {QStringLiteral("takenAt"), takenAt},
        {QStringLiteral("userOptions"), bytesValue(userOptions)},
        {QStringLiteral("written"), bytesValue(written)},
    };
    return QJsonDocument(object).toJson();
}

std::optional<DefaultPrinterSnapshot> DefaultPrinterSnapshot::fromBytes(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue pid = object.value(QStringLiteral("processId"));
    const QJsonValue identity = object.value(QStringLiteral("processIdentity"));
    const QJsonValue options = object.value(QStringLiteral("userOptions"));
    const QJsonValue written = object.value(QStringLiteral("written"));
    if (!pid.isDouble() || !identity.isString() || !(options.isString() || options.isNull()) ||
        !written.isString())
        return std::nullopt;
    DefaultPrinterSnapshot snapshot;
    snapshot.processId = pid.toInteger();
    snapshot.processIdentity = identity.toString();
    snapshot.takenAt = object.value(QStringLiteral("takenAt")).toInteger();
    snapshot.userOptions = bytesOf(options);
    snapshot.written = bytesOf(written).value_or(QByteArray());
    return snapshot;
}

QString DefaultPrinterSnapshot::fileName(qint64 processId, const QString& processIdentity)
{
    QString key = processIdentity.isEmpty() ? QString::number(processId) : processIdentity;
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9-]"));
    key.replace(unsafe, QStringLiteral("-"));
    return QStringLiteral("default-printer-%1.json").arg(key);
}

bool DefaultPrinterSnapshot::isFileName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^default-printer-[A-Za-z0-9-]+\\.json$"));
    return pattern.match(name).hasMatch();
}

} // namespace bw
