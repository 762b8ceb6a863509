#pragma once

// A C library locale whose decimal separator is a comma (German or French), for the scope
// of a test that proves numbers are written and read locale-free; the previous locale
// comes back on destruction. Machines without such a locale keep theirs: Name() is null.

#include <clocale>
#include <string>

class CommaLocale {
public:
    CommaLocale() {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr))
            m_previous = current;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"})
            if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
                m_name = name;
                return;
            }
        std::setlocale(LC_NUMERIC, m_previous.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, m_previous.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    const char* Name() const { return m_name; }

private:
    std::string m_previous = "C";
    const char* m_name = nullptr;
};
