#include "platform/qt/QssSkinEngine.h"

#include "platform/PlatformError.h"

#include <QFile>
#include <QWidget>

namespace bw {

void QssSkinEngine::loadSkin(const QString& path, const QString& /*section*/)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PlatformError(ErrorNumber::FileNotFound, file.errorString() + QStringLiteral(": ") + path);
    styleSheet_ = QString::fromUtf8(file.readAll());
    loaded_ = true;
}

void QssSkinEngine::applyToWindow(quintptr windowHandle)
{
    if (!loaded_)
        throw PlatformError(ErrorNumber::ObjectNotSet, QStringLiteral("No skin loaded"));
    QWidget* window = QWidget::find(static_cast<WId>(windowHandle));
    if (!window)
        throw PlatformError(ErrorNumber::InvalidArgument, QStringLiteral("No window with that handle"));
    window->setStyleSheet(styleSheet_);
}

} // namespace bw
