#include "platform/LpoptionsText.h"

#include <QList>

namespace bw {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// One line of the file, its line end included ("" for a last line without one).
struct Line {
    QByteArray text;
    QByteArray end;
    qsizetype keywordStart = 0;
    qsizetype keywordEnd = 0;
    QByteArray keyword; // lower case
    QByteArray name;
    bool hasOptions = false;

    QByteArray withKeyword(const char* other) const
    {
        return text.left(keywordStart) + other + text.mid(keywordEnd) + end;
    }
};

Line parse(QByteArray text, QByteArray end)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const QByteArray& t = line.text;
    qsizetype at = 0;
    while (at < t.size() && isBlank(t.at(at)))
        ++at;
    line.keywordStart = at;
    while (at < t.size() && !isBlank(t.at(at)))
        ++at;
    line.keywordEnd = at;
    line.keyword = t.mid(line.keywordStart, at - line.keywordStart).toLower();
    while (at < t.size() && isBlank(t.at(at)))
        ++at;
    const qsizetype nameStart = at;
    while (at < t.size() && !isBlank(t.at(at)))
        ++at;
    line.name = t.mid(nameStart, at - nameStart);
    while (at < t.size() && isBlank(t.at(at)))
        ++at;
    line.hasOptions = at < t.size();
    return line;
}

QList<Line> linesOf(const QByteArray& content)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        if (newline < 0) {
            lines.append(parse(content.mid(start), QByteArray()));
            break;
        }
        qsizetype textEnd = newline;
        if (textEnd > start && content.at(textEnd - 1) == '\r')
            --textEnd;
        lines.append(parse(content.mid(start, textEnd - start), content.mid(textEnd, newline + 1 - textEnd)));
        start = newline + 1;
    }
    return lines;
}

bool isDest(const Line& line)
{
    return line.keyword == "dest" && !line.name.isEmpty();
}

bool isDefault(const Line& line)
{
    return line.keyword == "default" && !line.name.isEmpty();
}

bool names(const Line& line, const QByteArray& name)
{
    // CUPS matches destination names without regard to letter case.
    return line.name.compare(name, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QString> defaultInOptions(const QByteArray& content)
{
    std::optional<QString> found;
    // libcups lets the last Default line win.
    for (const Line& line : linesOf(content)) {
        if (isDefault(line))
            found = QString::fromUtf8(line.name);
    }
    return found;
}

QByteArray withDefault(const QByteArray& content, const std::optional<QString>& name)
{
    const QList<Line> lines = linesOf(content);
    const QByteArray wanted = name ? name->toUtf8() : QByteArray();
    // A Default line that names the wanted printer already stays where it is.
    qsizetype keep = -1;
    for (qsizetype i = 0; name && i < lines.size(); ++i) {
        if (isDefault(lines[i]) && names(lines[i], wanted))
            keep = i;
    }
    qsizetype promote = -1;
    for (qsizetype i = 0; name && keep < 0 && promote < 0 && i < lines.size(); ++i) {
        if (isDest(lines[i]) && names(lines[i], wanted))
            promote = i;
    }
    QByteArray result;
    // A line added ends as the file's first line does.
    QByteArray lineEnd;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (lineEnd.isEmpty())
            lineEnd = line.end;
        if (i == keep)
            result += line.text + line.end;
        else if (i == promote)
            result += line.withKeyword("Default");
        else if (!isDefault(line))
            result += line.text + line.end;
        else if (line.hasOptions)
            result += line.withKeyword("Dest");
    }
    if (lineEnd.isEmpty())
        lineEnd = "\n";
    if (name && keep < 0 && promote < 0) {
        if (!result.isEmpty() && !result.endsWith('\n'))
            result += lineEnd;
        result += "Default " + wanted + lineEnd;
    }
    return result;
}

} // namespace bw
