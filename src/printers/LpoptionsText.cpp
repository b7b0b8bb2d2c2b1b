#include "printers/LpoptionsText.h"

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

DefaultEdit editDefault(const QByteArray& content, const std::optional<QString>& name)
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
    DefaultEdit edit;
    QByteArray& result = edit.result;
    // A line added ends as the file's first line does.
    QByteArray lineEnd;
    qsizetype lastKept = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (lineEnd.isEmpty())
            lineEnd = line.end;
        const QByteArray old = line.text + line.end;
        if (i == keep || (i != promote && !isDefault(line))) {
            result += old;
            lastKept = i;
            continue;
        }
        if (i == promote || line.hasOptions) {
            result += line.withKeyword(i == promote ? "Default" : "Dest");
            edit.changed.append({i, old, true});
            lastKept = i;
        } else {
            edit.changed.append({i, old, false});
        }
    }
    if (lineEnd.isEmpty())
        lineEnd = "\n";
    if (name && keep < 0 && promote < 0) {
        if (!result.isEmpty() && !result.endsWith('\n')) {
            // The last line gains a line end: it is changed too.
            if (edit.changed.isEmpty() || edit.changed.last().number != lastKept)
                edit.changed.append({lastKept, lines[lastKept].text + lines[lastKept].end, true});
            result += lineEnd;
        }
        result += "Default " + wanted + lineEnd;
        edit.appended = true;
    }
    return edit;
}

QByteArray withDefault(const QByteArray& content, const std::optional<QString>& name)
{
    return editDefault(content, name).result;
}

std::optional<QByteArray> undoEdit(const QByteArray& result, const QList<DefaultEdit::ChangedLine>& changed,
                                   bool appended)
{
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < result.size();) {
        const qsizetype newline = result.indexOf('\n', start);
        const qsizetype end = newline < 0 ? result.size() : newline + 1;
        lines.append(result.mid(start, end - start));
        start = end;
    }
    if (appended) {
        if (lines.isEmpty())
            return std::nullopt;
        lines.removeLast();
    }
    QByteArray content;
    qsizetype next = 0; // in lines
    qsizetype number = 0;
    for (const DefaultEdit::ChangedLine& line : changed) {
        if (line.number < number || line.number - number > lines.size() - next)
            return std::nullopt;
        for (; number < line.number; ++number)
            content += lines[next++];
        content += line.old;
        if (line.replaced && next++ >= lines.size())
            return std::nullopt;
        ++number;
    }
    while (next < lines.size())
        content += lines[next++];
    return content;
}

} // namespace bw
