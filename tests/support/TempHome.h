#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <optional>
#include <vector>

namespace bw::test {

// Points HOME, XDG_CONFIG_HOME and XDG_STATE_HOME at a temporary folder for
// the life of the object, so nothing a test does reaches the user's real
// settings or state.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    std::vector<std::pair<const char*, std::optional<QByteArray>>> previous_;
};

} // namespace bw::test
