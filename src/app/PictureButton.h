#pragma once

#include <QPushButton>

namespace bw {

// A push button that shows its picture above its caption, wrapping the
// caption when the button is narrow.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    PictureButton(const QString& text, const QIcon& picture, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace bw
