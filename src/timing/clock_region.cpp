#include "timing/clock_region.h"

#include <cstdlib>

const std::vector<ClockRegion>& ClockRegion::all() {
    static const std::vector<ClockRegion> regions = [] {
        const QString asia = QStringLiteral("아시아·중동");
        const QString europe = QStringLiteral("유럽");
        const QString northAmerica = QStringLiteral("북미");
        const QString southAmerica = QStringLiteral("남미");
        const QString oceania = QStringLiteral("오세아니아");
        const QString africa = QStringLiteral("아프리카");
        const QString other = QStringLiteral("기타");
        return std::vector<ClockRegion>{
            {QStringLiteral("Asia/Seoul"), QStringLiteral("서울"), asia},
            {QStringLiteral("Asia/Tokyo"), QStringLiteral("도쿄"), asia},
            {QStringLiteral("Asia/Shanghai"), QStringLiteral("상하이/베이징"), asia},
            {QStringLiteral("Asia/Hong_Kong"), QStringLiteral("홍콩"), asia},
            {QStringLiteral("Asia/Taipei"), QStringLiteral("타이베이"), asia},
            {QStringLiteral("Asia/Singapore"), QStringLiteral("싱가포르"), asia},
            {QStringLiteral("Asia/Bangkok"), QStringLiteral("방콕"), asia},
            {QStringLiteral("Asia/Ho_Chi_Minh"), QStringLiteral("호치민"), asia},
            {QStringLiteral("Asia/Jakarta"), QStringLiteral("자카르타"), asia},
            {QStringLiteral("Asia/Kolkata"), QStringLiteral("뉴델리/뭄바이"), asia},
            {QStringLiteral("Asia/Dubai"), QStringLiteral("두바이"), asia},
            {QStringLiteral("Europe/London"), QStringLiteral("런던"), europe},
            {QStringLiteral("Europe/Paris"), QStringLiteral("파리"), europe},
            {QStringLiteral("Europe/Berlin"), QStringLiteral("베를린"), europe},
            {QStringLiteral("Europe/Rome"), QStringLiteral("로마"), europe},
            {QStringLiteral("Europe/Madrid"), QStringLiteral("마드리드"), europe},
            {QStringLiteral("Europe/Amsterdam"), QStringLiteral("암스테르담"), europe},
            {QStringLiteral("Europe/Moscow"), QStringLiteral("모스크바"), europe},
            {QStringLiteral("Europe/Istanbul"), QStringLiteral("이스탄불"), europe},
            {QStringLiteral("America/New_York"), QStringLiteral("뉴욕"), northAmerica},
            {QStringLiteral("America/Chicago"), QStringLiteral("시카고"), northAmerica},
            {QStringLiteral("America/Denver"), QStringLiteral("덴버"), northAmerica},
            {QStringLiteral("America/Los_Angeles"), QStringLiteral("로스앤젤레스"), northAmerica},
            {QStringLiteral("America/Toronto"), QStringLiteral("토론토"), northAmerica},
            {QStringLiteral("America/Mexico_City"), QStringLiteral("멕시코시티"), northAmerica},
            {QStringLiteral("Pacific/Honolulu"), QStringLiteral("호놀룰루"), northAmerica},
            {QStringLiteral("America/Sao_Paulo"), QStringLiteral("상파울루"), southAmerica},
            {QStringLiteral("America/Argentina/Buenos_Aires"), QStringLiteral("부에노스아이레스"),
             southAmerica},
            {QStringLiteral("Australia/Sydney"), QStringLiteral("시드니"), oceania},
            {QStringLiteral("Australia/Melbourne"), QStringLiteral("멜버른"), oceania},
            {QStringLiteral("Pacific/Auckland"), QStringLiteral("오클랜드"), oceania},
            {QStringLiteral("Africa/Cairo"), QStringLiteral("카이로"), africa},
            {QStringLiteral("Africa/Johannesburg"), QStringLiteral("요하네스버그"), africa},
            {QStringLiteral("UTC"), QStringLiteral("UTC (협정 세계시)"), other},
        };
    }();
    return regions;
}

const QStringList& ClockRegion::groups() {
    static const QStringList names{
        QStringLiteral("아시아·중동"), QStringLiteral("유럽"),       QStringLiteral("북미"),
        QStringLiteral("남미"),        QStringLiteral("오세아니아"), QStringLiteral("아프리카"),
        QStringLiteral("기타"),
    };
    return names;
}

QString ClockRegion::offsetLabel(const QTimeZone& zone, const QDateTime& instant) {
    return offsetLabel(zone.offsetFromUtc(instant));
}

QString ClockRegion::offsetLabel(int offsetSeconds) {
    // The sign is taken first, so the minutes of a negative offset are never negative.
    const QChar sign = offsetSeconds < 0 ? u'-' : u'+';
    const long long a = std::llabs(static_cast<long long>(offsetSeconds));
    const long long h = a / 3600;
    const long long r = a - 3600 * h;
    QString label = QStringLiteral("UTC") + sign + QString::number(h);
    if (r >= 60)
        label += QString::asprintf(":%02lld", r / 60);
    return label;
}
