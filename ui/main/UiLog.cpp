#include "ui/main/UiLog.h"

Q_LOGGING_CATEGORY(lcUi, "brevon.ui", QtWarningMsg)
