#pragma once

#include <QByteArray>
#include <QTemporaryDir>

namespace bw::test {

// Points HOME and XDG_CONFIG_HOME at a temporary folder for the life of the
// object, so nothing a test does reaches the user's real settings.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray oldHome_;
    QByteArray oldConfig_;
    bool hadConfig_;
};

} // namespace bw::test
