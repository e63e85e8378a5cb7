#pragma once
// Runs a test in a time zone of its choice, and restores the one before.

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

namespace testsupport {

class TimeZone {
public:
    explicit TimeZone(const char* zone) : had_(qEnvironmentVariableIsSet("TZ")), before_(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZone()
    {
        if (had_)
            qputenv("TZ", before_);
        else
            qunsetenv("TZ");
        tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    bool had_;
    QByteArray before_;
};

// Zones whose clocks change, with the day each skipped an hour in 2021 and
// the hour skipped: New York at 2:00, Santiago and Beirut at midnight.
struct ChangeDay {
    const char* zone;
    int month, day;
    int skippedHour;
};
inline const ChangeDay kChangeDays[] = {
    {"America/New_York", 3, 14, 2},
    {"America/Santiago", 9, 5, 0},
    {"Asia/Beirut", 3, 28, 0},
};

}  // namespace testsupport
