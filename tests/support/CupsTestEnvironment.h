#pragma once

#include "support/LpoptionsSnapshot.h"
#include "support/TempHome.h"

#include <memory>

namespace bw::test {

// The set-up of a test executable that talks to CUPS, made in main() before
// anything calls libcups: HOME and XDG_CONFIG_HOME in a temporary folder for
// the whole process (libcups reads HOME once), LPDEST and PRINTER unset so
// only lpoptions decide the default, and the real HOME kept in
// BRINDLE_REAL_HOME with a snapshot of its lpoptions to compare at the end.
class CupsTestEnvironment {
public:
    CupsTestEnvironment();
    ~CupsTestEnvironment();
    CupsTestEnvironment(const CupsTestEnvironment&) = delete;
    CupsTestEnvironment& operator=(const CupsTestEnvironment&) = delete;

    // False (with a message on stderr) when the real lpoptions changed meanwhile.
    bool realPrinterSettingsUntouched() const;

private:
    QByteArray realHome_;
    LpoptionsSnapshot before_;
    std::unique_ptr<TempHome> home_;
};

} // namespace bw::test
