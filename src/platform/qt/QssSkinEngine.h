#pragma once

#include "platform/SkinEngine.h"

#include <QMap>

namespace bw {

// The skin engine over Qt style sheets: the skin file is a style sheet, and
// applying it sets it on the window with the given handle. The option flags
// and options are kept as written; style sheets need none of them.
class QssSkinEngine : public SkinEngine {
public:
    void loadSkin(const QString& path, const QString& section) override;
    qint32 optionFlags() const override { return flags_; }
    void setOptionFlags(qint32 flags) override { flags_ = flags; }
    void setOption(int option, bool on) override { options_[option] = on; }
    void applyToWindow(quintptr windowHandle) override;

    bool option(int option) const { return options_.value(option, false); }

private:
    QString styleSheet_;
    bool loaded_ = false;
    qint32 flags_ = 0;
    QMap<int, bool> options_;
};

} // namespace bw
