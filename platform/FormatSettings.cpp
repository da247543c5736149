#include "platform/FormatSettings.h"

#include <QLocale>
#include <QString>

namespace {

String FromQ(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return String(b.constData(), static_cast<std::size_t>(b.size()));
}

bool IsLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The characters between the first field of a locale pattern (starting at
// its first pattern letter) and the next one, without surrounding blanks
// ("d. M. yyyy" has the separator "."); empty when there is nothing but
// blanks or quoted text, for which the caller keeps its default.
QString SeparatorAfterFirstField(const QString& pattern)
{
    qsizetype i = 0;
    const qsizetype n = pattern.size();
    while (i < n && !IsLetter(pattern[i]))
        ++i;
    const QChar letter = i < n ? pattern[i] : QChar();
    while (i < n && pattern[i] == letter)
        ++i;
    const qsizetype start = i;
    while (i < n && !IsLetter(pattern[i]) && pattern[i] != u'\'' && pattern[i] != u'"')
        ++i;
    QString sep = pattern.mid(start, i - start);
    // Direction marks only steer the display; nobody types them.
    sep.remove(QChar(0x200E));
    sep.remove(QChar(0x200F));
    sep.remove(QChar(0x061C));
    return sep.trimmed();
}

// The order of day, month and year in a locale's date pattern, as the three
// letters d, m and y.
QString DateOrder(const QString& pattern)
{
    QString order;
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        QChar k;
        if (c == u'd')
            k = u'd';
        else if (c == u'M' || c == u'L')
            k = u'm';
        else if (c == u'y')
            k = u'y';
        else
            continue;
        if (!order.contains(k))
            order += k;
    }
    // A pattern that lacks a field (or holds odd letters) is completed in the
    // default order.
    for (QChar k : {u'd', u'm', u'y'})
        if (!order.contains(k))
            order += k;
    return order;
}

} // namespace

TFormatSettings FormatSettings = TFormatSettings::Default();

TFormatSettings TFormatSettings::Default()
{
    TFormatSettings s;
    s.ShortDateFormat = "dd.mm.yyyy";
    s.ShortTimeFormat = "hh:nn";
    s.LongTimeFormat = "hh:nn:ss";
    s.DateSeparator = ".";
    s.TimeSeparator = ":";
    s.DecimalSeparator = ",";
    s.ThousandSeparator = ".";
    s.ListSeparator = ";";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    s.TwoDigitYearCenturyWindow = 50;
    s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                        "July",    "August",   "September", "October", "November", "December"};
    s.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    return s;
}

TFormatSettings TFormatSettings::FromLocale(const String& localeName)
{
    const QLocale loc = localeName.empty() ? QLocale::system()
                                           : QLocale(QString::fromUtf8(localeName.c_str()));
    if (loc.language() == QLocale::C || loc.language() == QLocale::AnyLanguage)
        return Default();

    TFormatSettings s = Default();

    // Dates keep the locale's order and separator but always show two-digit
    // days and months and the four-digit year: a two-digit year in a saved
    // file would be read back through the century window.
    const QString datePattern = loc.dateFormat(QLocale::ShortFormat);
    QString dateSep = SeparatorAfterFirstField(datePattern);
    if (dateSep.isEmpty())
        dateSep = QStringLiteral(".");
    s.DateSeparator = FromQ(dateSep);
    s.ShortDateFormat.clear();
    // The separator is written as itself, unless it holds a character that
    // FormatDateTime would replace; then "/" stands for all of it.
    const String sepInFormat =
        s.DateSeparator.find_first_of("/:") == String::npos ? s.DateSeparator : String("/");
    for (QChar k : DateOrder(datePattern)) {
        if (!s.ShortDateFormat.empty())
            s.ShortDateFormat += sepInFormat;
        s.ShortDateFormat += k == u'd' ? "dd" : k == u'm' ? "mm" : "yyyy";
    }

    const QString timePattern = loc.timeFormat(QLocale::ShortFormat);
    QString timeSep = SeparatorAfterFirstField(timePattern);
    if (timeSep.isEmpty())
        timeSep = QStringLiteral(":");
    s.TimeSeparator = FromQ(timeSep);
    const bool twelveHour = timePattern.contains(u'a', Qt::CaseInsensitive);
    const bool hourZero = timePattern.contains(QStringLiteral("hh"), Qt::CaseInsensitive);
    const String hour = hourZero ? "hh" : "h";
    if (twelveHour) {
        s.ShortTimeFormat = hour + ":nn ampm";
        s.LongTimeFormat = hour + ":nn:ss ampm";
    } else {
        s.ShortTimeFormat = hour + ":nn";
        s.LongTimeFormat = hour + ":nn:ss";
    }
    s.TimeAMString = FromQ(loc.amText());
    s.TimePMString = FromQ(loc.pmText());

    s.DecimalSeparator = FromQ(loc.decimalPoint());
    s.ThousandSeparator = FromQ(loc.groupSeparator());
    if (s.DecimalSeparator.empty())
        s.DecimalSeparator = ",";
    // The locale has no list separator of its own; this is the usual pairing
    // (a comma decimal needs another list separator).
    s.ListSeparator = s.DecimalSeparator == "," ? ";" : ",";

    for (int m = 1; m <= 12; ++m) {
        s.ShortMonthNames[static_cast<std::size_t>(m - 1)] =
            FromQ(loc.monthName(m, QLocale::ShortFormat));
        s.LongMonthNames[static_cast<std::size_t>(m - 1)] =
            FromQ(loc.monthName(m, QLocale::LongFormat));
    }
    for (int d = 0; d < 7; ++d) {
        const int qtDay = d == 0 ? 7 : d;  // Qt counts from Monday = 1
        s.ShortDayNames[static_cast<std::size_t>(d)] = FromQ(loc.dayName(qtDay, QLocale::ShortFormat));
        s.LongDayNames[static_cast<std::size_t>(d)] = FromQ(loc.dayName(qtDay, QLocale::LongFormat));
    }
    return s;
}

void InitFormatSettingsFromLocale()
{
    FormatSettings = TFormatSettings::FromLocale();
}
