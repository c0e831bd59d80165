#pragma once

#include <QLoggingCategory>

// The windows' log category, brevon.ui: the start-up, the notices and message boxes the
// windows raise, and language changes. Off below warnings unless the program's --verbose turns
// it on.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
