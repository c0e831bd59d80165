#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <clocale>
#include <map>
#include <string>

// Keeps what gettext reads from the process, the language variables and the LC_MESSAGES locale,
// and puts it back when destroyed, so that a test can start the program's translation as under
// another environment.
class TEnvironmentGuard {
public:
    using TVariables = std::map<std::string, QByteArray>;

    TEnvironmentGuard()
        : messagesLocale_(std::setlocale(LC_MESSAGES, nullptr))
    {
        for (const char* name : kNames) {
            if (qEnvironmentVariableIsSet(name))
                saved_[name] = qgetenv(name);
        }
    }

    ~TEnvironmentGuard()
    {
        Clear();
        for (const auto& [name, value] : saved_)
            qputenv(name.c_str(), value);
        std::setlocale(LC_MESSAGES, messagesLocale_.c_str());
    }

    TEnvironmentGuard(const TEnvironmentGuard&) = delete;
    TEnvironmentGuard& operator=(const TEnvironmentGuard&) = delete;

    // The language variables and the LC_MESSAGES locale as a program started with `variables`
    // has them: the others unset, and the locale they name, or "C" when it is not installed.
    static void Start(const TVariables& variables)
    {
        Clear();
        for (const auto& [name, value] : variables)
            qputenv(name.c_str(), value);
        if (std::setlocale(LC_MESSAGES, "") == nullptr)
            std::setlocale(LC_MESSAGES, "C");
    }

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

    static void Clear()
    {
        for (const char* name : kNames)
            qunsetenv(name);
    }

    std::string messagesLocale_;
    TVariables saved_;
};
