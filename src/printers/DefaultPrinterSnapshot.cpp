#include "printers/DefaultPrinterSnapshot.h"

#include "platform/UserPrinterOptions.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace bw {

namespace {

constexpr int Format = 2;

QJsonValue nameValue(const std::optional<QString>& name)
{
    return name ? QJsonValue(*name) : QJsonValue(QJsonValue::Null);
}

// CUPS names printers without regard to letter case.
bool sameName(const std::optional<QString>& a, const std::optional<QString>& b)
{
    return a.has_value() == b.has_value() && (!a || a->compare(*b, Qt::CaseInsensitive) == 0);
}

// A record of an earlier version, which held the user's file and the run's whole.
std::optional<DefaultPrinterSnapshot> fromWholeFiles(const QJsonObject& object)
{
    const QJsonValue options = object.value(QStringLiteral("userOptions"));
    const QJsonValue written = object.value(QStringLiteral("written"));
    if (!(options.isString() || options.isNull()) || !written.isString())
        return std::nullopt;
    std::optional<QByteArray> before;
    if (options.isString())
        before = QByteArray::fromBase64(options.toString().toLatin1());
    const QByteArray after = QByteArray::fromBase64(written.toString().toLatin1());
    const std::optional<QString> runs = defaultInOptions(after);
    if (!runs)
        return std::nullopt;
    DefaultPrinterSnapshot snapshot = DefaultPrinterSnapshot::of(before, *runs);
    if (snapshot.writtenDigest != DefaultPrinterSnapshot::digest(after)) {
        snapshot.writtenDigest = DefaultPrinterSnapshot::digest(after);
        snapshot.changed.clear();
        snapshot.appended = snapshot.exact = false;
    }
    return snapshot;
}

} // namespace

DefaultPrinterSnapshot DefaultPrinterSnapshot::of(const std::optional<QByteArray>& userOptions,
                                                  const QString& name)
{
    const DefaultEdit edit = editDefault(userOptions.value_or(QByteArray()), name);
    DefaultPrinterSnapshot snapshot;
    snapshot.hadOptions = userOptions.has_value();
    snapshot.ownDefault = userOptions ? defaultInOptions(*userOptions) : std::nullopt;
    snapshot.runDefault = defaultInOptions(edit.result).value_or(name);
    snapshot.writtenDigest = digest(edit.result);
    snapshot.changed = edit.changed;
    snapshot.appended = edit.appended;
    snapshot.exact = true;
    return snapshot;
}

QByteArray DefaultPrinterSnapshot::digest(const QByteArray& content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex();
}

DefaultPrinterSnapshot::Undo DefaultPrinterSnapshot::undoIn(UserPrinterOptions& options) const
{
    const std::optional<QByteArray> now = options.readUserOptions();
    if (!now && !hadOptions)
        return Undo::NothingToUndo;
    const std::optional<QString> standing = now ? defaultInOptions(*now) : std::nullopt;
    if (!standing || !sameName(standing, runDefault))
        return sameName(standing, ownDefault) ? Undo::NothingToUndo : Undo::UserChoseAnew;
    std::optional<QByteArray> wanted;
    if (exact && digest(*now) == writtenDigest)
        wanted = undoEdit(*now, changed, appended);
    if (!wanted)
        wanted = withDefault(*now, ownDefault);
    // A file that only the run's Default line made goes again.
    if (wanted->isEmpty() && !hadOptions)
        wanted.reset();
    if (wanted == now)
        return Undo::NothingToUndo;
    options.writeUserOptions(wanted);
    return Undo::Done;
}

QByteArray DefaultPrinterSnapshot::toBytes() const
{
    QJsonArray lines;
    for (const DefaultEdit::ChangedLine& line : changed) {
        lines.append(QJsonObject{
            {QStringLiteral("line"), line.number},
            {QStringLiteral("old"), QString::fromLatin1(line.old.toBase64())},
            {QStringLiteral("replaced"), line.replaced},
        });
    }
    const QJsonObject object{
        {QStringLiteral("format"), Format},
        {QStringLiteral("processId"), processId},
        {QStringLiteral("processIdentity"), processIdentity},
        {QStringLiteral("takenAt"), takenAt},
        {QStringLiteral("hadOptions"), hadOptions},
        {QStringLiteral("ownDefault"), nameValue(ownDefault)},
        {QStringLiteral("runDefault"), runDefault},
        {QStringLiteral("writtenDigest"), QString::fromLatin1(writtenDigest)},
        {QStringLiteral("exact"), exact},
        {QStringLiteral("appended"), appended},
        {QStringLiteral("changed"), lines},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
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
    if (!pid.isDouble() || !identity.isString())
        return std::nullopt;
    std::optional<DefaultPrinterSnapshot> snapshot;
    if (!object.contains(QStringLiteral("format"))) {
        snapshot = fromWholeFiles(object);
    } else {
        const QJsonValue own = object.value(QStringLiteral("ownDefault"));
        const QJsonValue runs = object.value(QStringLiteral("runDefault"));
        const QJsonValue digest = object.value(QStringLiteral("writtenDigest"));
        const QJsonValue lines = object.value(QStringLiteral("changed"));
        if (object.value(QStringLiteral("format")).toInt() != Format || !(own.isString() || own.isNull()) ||
            !runs.isString() || !digest.isString() || !lines.isArray())
            return std::nullopt;
        snapshot.emplace();
        snapshot->hadOptions = object.value(QStringLiteral("hadOptions")).toBool();
        if (own.isString())
            snapshot->ownDefault = own.toString();
        snapshot->runDefault = runs.toString();
        snapshot->writtenDigest = digest.toString().toLatin1();
        snapshot->exact = object.value(QStringLiteral("exact")).toBool();
        snapshot->appended = object.value(QStringLiteral("appended")).toBool();
        for (const QJsonValue& each : lines.toArray()) {
            const QJsonObject line = each.toObject();
            const QJsonValue old = line.value(QStringLiteral("old"));
            if (!line.value(QStringLiteral("line")).isDouble() || !old.isString())
                return std::nullopt;
            snapshot->changed.append({line.value(QStringLiteral("line")).toInteger(),
                                      QByteArray::fromBase64(old.toString().toLatin1()),
                                      line.value(QStringLiteral("replaced")).toBool()});
        }
    }
    if (!snapshot)
        return std::nullopt;
    snapshot->processId = pid.toInteger();
    snapshot->processIdentity = identity.toString();
    snapshot->takenAt = object.value(QStringLiteral("takenAt")).toInteger();
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
