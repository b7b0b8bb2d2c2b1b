#include "support/CupsTestEnvironment.h"

#include <QFile>
#include <cstdio>

namespace bw::test {

CupsTestEnvironment::CupsTestEnvironment() : realHome_(qgetenv("HOME")), before_(QFile::decodeName(realHome_))
{
    qputenv("BRINDLE_REAL_HOME", realHome_);
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    home_ = std::make_unique<TempHome>();
}

CupsTestEnvironment::~CupsTestEnvironment() = default;

bool CupsTestEnvironment::realPrinterSettingsUntouched() const
{
    const LpoptionsSnapshot after(QFile::decodeName(realHome_));
    if (after == before_)
        return true;
    std::fprintf(stderr, "The real printer settings changed during the tests.\nBefore:\n%s\nAfter:\n%s\n",
                 qPrintable(before_.describe()), qPrintable(after.describe()));
    return false;
}

} // namespace bw::test
