#include "support/CupsTestEnvironment.h"

#include "support/TestAccounts.h"

#include <QFile>
#include <cstdio>

namespace bw::test {

CupsTestEnvironment::CupsTestEnvironment() : realHome_(qgetenv("HOME")), before_(QFile::decodeName(realHome_))
{
    qputenv("BRINDLE_REAL_HOME", realHome_);
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    // After the snapshot: root's own HOME is not for a user to read.
    setRootAsideIfAsked();
    home_ = std::make_unique<TempHome>();
}

CupsTestEnvironment::~CupsTestEnvironment() = default;

bool CupsTestEnvironment::realPrinterSettingsUntouched() const
{
    // For root's own lpoptions, and for the leak check at exit, which attaches to the process.
    takeRootBack();
    const LpoptionsSnapshot after(QFile::decodeName(realHome_));
    if (after == before_)
        return true;
    std::fprintf(stderr, "The real printer settings changed during the tests.\nBefore:\n%s\nAfter:\n%s\n",
                 qPrintable(before_.describe()), qPrintable(after.describe()));
    return false;
}

} // namespace bw::test
