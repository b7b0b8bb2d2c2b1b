#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace bw {

// How a batch's jobs are to be printed, as the user asked on the command line.
struct PrintOptions {
    int copies = 1;
    QString pages; // e.g. "1-3,7"; empty for every page
    QString sides;
    QString media;
    QString orientation;
    // Every sheet scaled to one page wide, in the office, before it renders.
    bool fitToWidth = false;
    // Any other CUPS option, as lp takes it with -o.
    QList<QPair<QString, QString>> other;

    // The job's options as CUPS takes them: those named above, then the others.
    QList<QPair<QString, QString>> jobOptions() const;
    // Whether CUPS's option is one named above, which a printer must list to take.
    static bool isNamed(const QString& cupsName);

    static bool validPages(const QString& pages);
    static QStringList sidesValues();
    static QStringList orientationValues();
};

} // namespace bw
