#include "printers/LpoptionsText.h"

#include <QList>
#include <algorithm>

namespace bw {

namespace {

struct Line {
    QByteArray keyword; // lower case
    QByteArray name;
    QByteArray rest; // the options, as written
};

Line parse(const QByteArray& text)
{
    const QByteArray line = text.trimmed();
    Line parsed;
    qsizetype space = line.indexOf(' ');
    const qsizetype tab = line.indexOf('\t');
    if (space < 0 || (tab >= 0 && tab < space))
        space = tab;
    parsed.keyword = (space < 0 ? line : line.left(space)).toLower();
    if (space < 0)
        return parsed;
    const QByteArray after = line.mid(space + 1).trimmed();
    qsizetype end = 0;
    while (end < after.size() && after.at(end) != ' ' && after.at(end) != '\t')
        ++end;
    parsed.name = after.left(end);
    parsed.rest = after.mid(end).trimmed();
    return parsed;
}

QList<QByteArray> linesOf(const QByteArray& content)
{
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray lineOf(const char* keyword, const QByteArray& name, const QByteArray& rest)
{
    return QByteArray(keyword) + ' ' + name + (rest.isEmpty() ? QByteArray() : ' ' + rest);
}

} // namespace

std::optional<QString> defaultInOptions(const QByteArray& content)
{
    std::optional<QString> found;
    // libcups lets the last Default line win.
    for (const QByteArray& text : linesOf(content)) {
        const Line line = parse(text);
        if (line.keyword == "default" && !line.name.isEmpty())
            found = QString::fromUtf8(line.name);
    }
    return found;
}

QByteArray withDefault(const QByteArray& content, const std::optional<QString>& name)
{
    QList<QByteArray> result;
    for (const QByteArray& text : linesOf(content)) {
        const Line line = parse(text);
        if (line.keyword != "default")
            result.append(text);
        else if (!line.rest.isEmpty())
            result.append(lineOf("Dest", line.name, line.rest));
    }
    if (name) {
        const QByteArray wanted = name->toUtf8();
        auto it = std::find_if(result.begin(), result.end(), [&](const QByteArray& text) {
            const Line line = parse(text);
            return line.keyword == "dest" && line.name == wanted;
        });
        if (it != result.end())
            *it = lineOf("Default", wanted, parse(*it).rest);
        else
            result.append(lineOf("Default", wanted, QByteArray()));
    }
    QByteArray joined;
    for (const QByteArray& line : result)
        joined += line + '\n';
    return joined;
}

} // namespace bw
