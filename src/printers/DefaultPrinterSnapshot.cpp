#include "printers/DefaultPrinterSnapshot.h"

#include "printers/LpoptionsText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace bw {

namespace {

const char* const OriginNames[] = {"none", "environment", "user-options", "system"};

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

DefaultPrinterSnapshot::Origin DefaultPrinterSnapshot::originOf(const QString& environmentDefault,
                                                                const std::optional<QString>& userDefault,
                                                                const QString& effectiveDefault)
{
    if (!environmentDefault.isEmpty())
        return Origin::Environment;
    if (userDefault && *userDefault == effectiveDefault)
        return Origin::UserOptions;
    return effectiveDefault.isEmpty() ? Origin::None : Origin::System;
}

std::optional<QByteArray> DefaultPrinterSnapshot::restoredOptions(const std::optional<QByteArray>& now) const
{
    if (now == userOptions)
        return now;
    if (writtenKnown && now == written)
        return userOptions;
    const QByteArray merged = withDefault(now.value_or(QByteArray()), userDefault());
    // A file that only the run's Default line made goes again.
    if (merged.isEmpty() && !userOptions)
        return std::nullopt;
    return merged;
}

QByteArray DefaultPrinterSnapshot::toBytes() const
{
    QJsonObject object{
        {QStringLiteral("processId"), processId},
        {QStringLiteral("processIdentity"), processIdentity},
        {QStringLiteral("takenAt"), takenAt},
        {QStringLiteral("userOptions"), bytesValue(userOptions)},
        {QStringLiteral("effectiveDefault"), effectiveDefault},
        {QStringLiteral("origin"), QString::fromLatin1(OriginNames[static_cast<int>(origin)])},
        {QStringLiteral("chosenPrinter"), chosenPrinter},
    };
    if (writtenKnown)
        object.insert(QStringLiteral("written"), bytesValue(written));
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
    const QJsonValue options = object.value(QStringLiteral("userOptions"));
    if (!pid.isDouble() || !(options.isString() || options.isNull()))
        return std::nullopt;
    DefaultPrinterSnapshot snapshot;
    snapshot.processId = pid.toInteger();
    snapshot.processIdentity = object.value(QStringLiteral("processIdentity")).toString();
    snapshot.takenAt = object.value(QStringLiteral("takenAt")).toInteger();
    snapshot.userOptions = bytesOf(options);
    snapshot.effectiveDefault = object.value(QStringLiteral("effectiveDefault")).toString();
    const QString origin = object.value(QStringLiteral("origin")).toString();
    for (int i = 0; i < int(std::size(OriginNames)); ++i) {
        if (origin == QLatin1String(OriginNames[i]))
            snapshot.origin = static_cast<Origin>(i);
    }
    snapshot.chosenPrinter = object.value(QStringLiteral("chosenPrinter")).toString();
    if (object.contains(QStringLiteral("written"))) {
        snapshot.writtenKnown = true;
        snapshot.written = bytesOf(object.value(QStringLiteral("written")));
    }
    return snapshot;
}

QString DefaultPrinterSnapshot::fileName(qint64 processId)
{
    return QStringLiteral("default-printer-%1.json").arg(processId);
}

std::optional<qint64> DefaultPrinterSnapshot::processIdOfFileName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^default-printer-([0-9]+)\\.json$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 id = match.captured(1).toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

} // namespace bw
