// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "platform/errors.h"

// Misuse of the report document, e.g. "QRPrinter not ready".
class EQRError : public Exception {
public:
    using Exception::Exception;
};
