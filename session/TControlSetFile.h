#pragma once

#include "protocol/CtrlSet.h"

#include <QString>

#include <optional>

// A control-set file: exactly the 48 bytes of the control set, nothing else.
class TControlSetFile {
public:
    enum class TStatus { Ok, WrongSize, Error };

    // Reads `path`. A file of another size is refused by its size, without being read.
    static TStatus Read(const QString& path, CtrlSet& out, QString& error);
    // Writes the 48 bytes through a temporary file beside `path` that replaces the old file
    // only once it is complete, so a failure never destroys the previous file.
    static bool Write(const QString& path, const CtrlSet& set, QString& error);
};
