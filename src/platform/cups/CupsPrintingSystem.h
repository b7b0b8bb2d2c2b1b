#pragma once

#include "platform/cups/CupsConnection.h"
#include "platform/cups/CupsJobWatch.h"
#include "platform/cups/CupsPrintQueue.h"
#include "platform/cups/CupsPrinters.h"
#include "platform/cups/CupsUserPrinterOptions.h"

namespace bw {

// The CUPS adapters over one connection, for a composition root to own and
// hand out one by one: a wait given up on one of them spares the others the
// same wait.
struct CupsPrintingSystem {
    CupsConnection connection;
    CupsUserPrinterOptions options;
    CupsPrinters printers{connection, options};
    CupsPrintQueue queue{connection};
    CupsJobWatch jobs{connection};
};

} // namespace bw
