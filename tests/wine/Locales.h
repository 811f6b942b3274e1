// Real Linux locales for runs that need a Windows user locale other than
// en-US or non-ASCII paths: Wine derives both from LC_ALL, and without a
// compiled locale it mangles non-ASCII names.
#pragma once

#include <filesystem>
#include <string>

namespace qarvo::wine {

// Where the locales are compiled; the LOCPATH of runs that use one.
std::filesystem::path localeDirectory();

// Compiles `name` ("de_DE.UTF-8": the source locale, a dot, the character map)
// into localeDirectory() unless a previous run did; safe when several test
// processes ask at once.
bool ensureLocale(const std::string& name, std::string& error);

}  // namespace qarvo::wine
