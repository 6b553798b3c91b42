#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <vector>

// One entry of the clock's time-zone choice.
struct ClockRegion {
    QString id;    // IANA time-zone identifier, the stored clockTimeZoneID
    QString name;  // Korean display name
    QString group; // Korean name of the group it is listed under

    friend bool operator==(const ClockRegion&, const ClockRegion&) = default;

    // The 34 regions in their fixed order.
    static const std::vector<ClockRegion>& all();
    // The seven group names in the order the groups are presented.
    static const QStringList& groups();

    // The zone's offset from UTC at `instant`: "UTC+9", "UTC+5:30", "UTC-3:30", "UTC+0".
    static QString offsetLabel(const QTimeZone& zone, const QDateTime& instant);
    static QString offsetLabel(int offsetSeconds);
};
