#pragma once

#include "platform/StateFolder.h"

#include <QString>

namespace bw {

// $XDG_STATE_HOME/<program>, or ~/.local/state/<program> when XDG_STATE_HOME
// is not set or not absolute; found afresh at every call. The folder is
// private (0700, files 0600) and no link is followed, the folder's own name
// included; only the user's own plain files are read, never waiting on one.
class XdgStateFolder : public StateFolder {
public:
    explicit XdgStateFolder(QString program = QStringLiteral("brindlework")) : program_(std::move(program)) {}

    QString path() const;

    QStringList names() override;
    std::optional<QByteArray> read(const QString& name) override;
    void write(const QString& name, const QByteArray& content) override;
    void remove(const QString& name) override;
    void rename(const QString& name, const QString& newName) override;

private:
    QString program_;
};

} // namespace bw
