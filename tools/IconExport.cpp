// Exports the program's drawn icon as the files a desktop installs: one SVG
// and PNGs of the usual sizes in the hicolor layout. With --check it renders
// again and compares with files exported before, so they cannot drift from
// the drawing.
#include "app/Pictures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

namespace {

const QString IconName = QStringLiteral("brindlework");
const int PngSizes[] = {16, 24, 32, 48, 64, 128, 256};

QString svgPath(const QString& root)
{
    return root + QStringLiteral("/hicolor/scalable/apps/") + IconName + QStringLiteral(".svg");
}

QString pngPath(const QString& root, int size)
{
    return root + QStringLiteral("/hicolor/%1x%1/apps/").arg(size) + IconName + QStringLiteral(".png");
}

QByteArray renderSvg()
{
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(32, 32));
    generator.setViewBox(QRect(0, 0, 32, 32));
    generator.setTitle(QStringLiteral("Brindlework"));
    generator.setDescription(QStringLiteral("The Brindlework icon"));
    QPainter painter(&generator);
    bw::paintProgramIcon(painter, 32);
    painter.end();
    return svg;
}

QImage renderPng(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    bw::paintProgramIcon(painter, size);
    painter.end();
    return image;
}

bool write(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

int exportTo(const QString& root)
{
    bool ok = write(svgPath(root), renderSvg());
    for (int size : PngSizes) {
        QDir().mkpath(QFileInfo(pngPath(root, size)).path());
        ok = renderPng(size).save(pngPath(root, size)) && ok;
    }
    return ok ? 0 : 1;
}

int checkAgainst(const QString& root)
{
    QTextStream err(stderr);
    int differences = 0;
    QFile svg(svgPath(root));
    if (!svg.open(QIODevice::ReadOnly) || svg.readAll() != renderSvg()) {
        err << "differs from the drawing: " << svg.fileName() << "\n";
        ++differences;
    }
    for (int size : PngSizes) {
        const QImage saved(pngPath(root, size));
        if (saved.convertToFormat(QImage::Format_ARGB32) != renderPng(size)) {
            err << "differs from the drawing: " << pngPath(root, size) << "\n";
            ++differences;
        }
    }
    return differences == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 2)
        return exportTo(arguments[1]);
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--check"))
        return checkAgainst(arguments[2]);
    QTextStream(stderr) << "usage: brindle_icon_export [--check] ICON_FOLDER\n";
    return 2;
}
