#pragma once
// Regional settings for turning dates, times and numbers into text and back.
// The program reads one global set from the user's locale at start-up; every
// routine that uses them also has an overload taking an explicit set, which
// is what tests use.
#include "platform/Types.h"

#include <array>

struct TFormatSettings {
    // Date and time patterns in the letters of FormatDateTime. In a pattern
    // "/" stands for DateSeparator and ":" for TimeSeparator.
    String ShortDateFormat;
    String ShortTimeFormat;
    String LongTimeFormat;
    // Separators are texts, as some locales use characters outside ASCII.
    String DateSeparator;
    String TimeSeparator;
    String DecimalSeparator;
    String ThousandSeparator;
    String ListSeparator;
    String TimeAMString;
    String TimePMString;
    // Two-digit years are read as lying within this many years before the
    // current year and 100 minus this many after it; 0 means the current
    // century.
    int TwoDigitYearCenturyWindow = 50;
    // Index 0 is January / Sunday.
    std::array<String, 12> ShortMonthNames;
    std::array<String, 12> LongMonthNames;
    std::array<String, 7> ShortDayNames;
    std::array<String, 7> LongDayNames;

    // The settings used where the locale gives none (a C or POSIX locale):
    // "dd.mm.yyyy", "hh:nn:ss", separators ".", ":", "," and "." for
    // thousands, ";" between list items, English names.
    static TFormatSettings Default();
    // The settings of a locale by its name ("de_DE", "en_US", ...); an empty
    // name is the user's locale.
    static TFormatSettings FromLocale(const String& localeName = String());
};

// The global settings, Default() until InitFormatSettingsFromLocale runs.
extern TFormatSettings FormatSettings;

// Fills the global settings from the user's locale. Called at start-up.
void InitFormatSettingsFromLocale();
