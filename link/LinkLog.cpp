#include "link/LinkLog.h"

Q_LOGGING_CATEGORY(lcUsb, "brevon.usb", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLink, "brevon.link", QtWarningMsg)
