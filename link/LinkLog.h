#pragma once

#include <QLoggingCategory>

// The adapter link's two log categories. brevon.usb: every failed USB call, with the stack's
// own error name, the operation and the request or endpoint. brevon.link: opens and closes,
// the information block and every change of the link status. Only warnings are on unless the
// program's --verbose or QT_LOGGING_RULES turn on more.
Q_DECLARE_LOGGING_CATEGORY(lcUsb)
Q_DECLARE_LOGGING_CATEGORY(lcLink)
