#pragma once

#include <QLoggingCategory>

// The controller protocol's log category, brevon.protocol: every command sent to the
// controller and its outcome (answered, NAK, timed out, busy, not sent), and answers that came
// when no request waited. Off below warnings unless the program's --verbose turns it on; the
// receive path only tests the category then, it formats nothing.
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
