#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace bw::test {

// Answers each dialog with what the test set, and records every dialog shown.
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString kind; // "openFiles", "inputBox" or "browseForFolder"
        QString text; // title or prompt
        QString defaultText;
        QList<FileFilter> filters;
    };

    QStringList openFiles(const QString& title, const QList<FileFilter>& filters) override
    {
        shown.push_back({QStringLiteral("openFiles"), title, {}, filters});
        if (onShow)
            onShow(shown.back());
        return chosenFiles;
    }
    QString inputBox(const QString& prompt, const QString& defaultText) override
    {
        shown.push_back({QStringLiteral("inputBox"), prompt, defaultText, {}});
        if (onShow)
            onShow(shown.back());
        return typedText;
    }
    QString browseForFolder(const QString& prompt) override
    {
        shown.push_back({QStringLiteral("browseForFolder"), prompt, {}, {}});
        if (onShow)
            onShow(shown.back());
        return chosenFolder;
    }

    QStringList kinds() const
    {
        QStringList result;
        for (const Shown& dialog : shown)
            result.append(dialog.kind);
        return result;
    }

    QStringList chosenFiles; // empty: cancelled
    QString typedText;       // "": cancelled or confirmed empty
    QString chosenFolder;    // "": cancelled
    QList<Shown> shown;
    std::function<void(const Shown&)> onShow; // runs while the dialog is "up"
};

} // namespace bw::test
