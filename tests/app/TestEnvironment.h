#pragma once

#include "app/UILanguage.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

// Sets or clears environment variables for one test and puts the previous
// values back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

    void Set(const std::string& name, const std::string& value) {
        Save(name);
        setenv(name.c_str(), value.c_str(), 1);
    }

    void Unset(const std::string& name) {
        Save(name);
        unsetenv(name.c_str());
    }

    // The user's default language comes from the first of these that is set.
    void SetLocale(const std::string& locale) {
        Set("LC_ALL", locale);
        Unset("LC_MESSAGES");
        Unset("LANG");
    }

private:
    void Save(const std::string& name) {
        if (saved_.count(name) == 0) {
            const char* value = std::getenv(name.c_str());
            saved_[name] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

// Puts CurrentUILanguage back as it was before the test.
class ScopedUILanguage {
public:
    ScopedUILanguage() : saved_(CurrentUILanguage) {}
    ScopedUILanguage(const ScopedUILanguage&) = delete;
    ScopedUILanguage& operator=(const ScopedUILanguage&) = delete;
    ~ScopedUILanguage() { CurrentUILanguage = saved_; }

private:
    LANGID saved_;
};
