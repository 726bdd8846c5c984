// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model_rules.h"

#include <QLatin1StringView>

#include <algorithm>
#include <array>
#include <initializer_list>

namespace model_rules {
namespace {

using L = QLatin1StringView;

constexpr std::array kKnownHardDisks = {
    L("APPLE HDD ST1000LM024"),  L("SAMSUNG HD103SJ"),        L("SAMSUNG HD502HJ"),
    L("SAMSUNG HD503HI"),        L("SAMSUNG HE103SJ"),        L("SAMSUNG HM100UI"),
    L("SAMSUNG HM160HC"),        L("SAMSUNG HM250HJ"),        L("SAMSUNG HM252HX"),
    L("SAMSUNG HM320JI"),        L("SAMSUNG HM321HI"),        L("SAMSUNG HM500JI"),
    L("SAMSUNG HM641JI"),        L("SAMSUNG HN-M101MBB"),     L("SAMSUNG HN-M101XBB"),
    L("SAMSUNG HN-M500XBB"),     L("ST1000DM005 HD103SJ"),    L("ST1000LM024 HN-M101MBB"),
    L("ST1500LM006 HN-M151RAD"), L("ST1500LM008 HN-M151AAD"), L("ST2000LM003 HN-M201RAD"),
    L("ST2000LM005 HN-M201AAD"), L("ST320LM001 HN-M320MBB"),
};
static_assert(kKnownHardDisks.size() == 23);

// A name is Micron-family when it contains every string of any one row.
const std::initializer_list<std::initializer_list<L>> kMicronRows = {
    {L("Micron_M500_MTFDDA")},          {L("Crucial_CT"), L("MX100SSD1")},
    {L("Crucial_CT"), L("MX200SSD")},   {L("Crucial_CT"), L("M500SSD")},
    {L("Crucial_CT"), L("M550SSD")},    {L("Micron_M600_"), L("MBF")},
    {L("Micron_M500DC_"), L("MBB")},    {L("MICRON_M510DC_"), L("MBP")},
    {L("M510"), L("MTFDDA"), L("MAZ")}, {L("M550"), L("MTFDDA"), L("MAY")},
};

constexpr std::array kReportedOnce = {
    L("APPLE SSD TS256E"),
    L("APPLE SSD TS128A"),
    L("APPLE SSD TS256A"),
    L("APPLE SSD TS512A"),
};

bool hasAnyPrefix(QStringView model, std::initializer_list<L> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [model](L prefix) { return model.startsWith(prefix); });
}

}  // namespace

int knownHardDiskMatches(QStringView model) {
    return int(std::count_if(kKnownHardDisks.begin(), kKnownHardDisks.end(),
                             [model](L prefix) { return model.startsWith(prefix); }));
}

bool isMicronFamily(QStringView model) {
    return std::any_of(kMicronRows.begin(), kMicronRows.end(), [model](const auto& row) {
        return std::all_of(row.begin(), row.end(),
                           [model](L part) { return model.contains(part); });
    });
}

bool ignoresAttribute226(QStringView model) {
    return model.contains(L("SSDSA2MH080G1GC"));
}

bool isReportedOnce(QStringView model) {
    return std::any_of(kReportedOnce.begin(), kReportedOnce.end(),
                       [model](L prefix) { return model.startsWith(prefix); });
}

WearIds wearIds(QStringView model) {
    if (model.startsWith(L("kingston"), Qt::CaseInsensitive)) {
        if (model.contains(L("SHPM2280P2"))) {
            return {kDisabledId, 177};
        }
        return {5, kDisabledId};
    }
    if (model.startsWith(L("Samsung SSD")) || model.startsWith(L("ADATA "))) {
        return {5, 177};
    }
    return {5, 173};
}

QString displayName(int id, const WearIds& ids, bool micronFamily) {
    if (id == ids.reallocation) {
        return QStringLiteral("Reallocated_Sector_Count");
    }
    if (id == ids.wear) {
        return micronFamily ? QStringLiteral("Ave_Block-Erase_Count")
                            : QStringLiteral("Wear_Levelling_Count");
    }
    switch (id) {
        case 202:
            return QStringLiteral("Perc_Rated_Life_Used");
        case 230:
            return QStringLiteral("Life_Curve_Status");
        case 226:
            return QStringLiteral("Workld_Media_Wear_Ind");
        case 233:
            return QStringLiteral("Media_Wearout_Indicator");
        case 231:
            return QStringLiteral("SSD_Life_Left");
        default:
            return {};
    }
}

AssumedMaximum assumedMaximum(int id, qint32 value, qint32 threshold, QStringView model,
                              QStringView revision, bool knownHardDisk) {
    const qint32 t = threshold;
    if (t == 1 && id == 5 && model.startsWith(L("WDC AC28400R"))) {
        return {200, false};
    }
    if (t == 10 && id == 5 && knownHardDisk) {
        return {252, false};
    }
    if (t == 10 && id == 5 && model.startsWith(L("SAMSUNG HD252KJ"))) {
        return {253, false};
    }
    if (t == 100 && id == 173 &&
        hasAnyPrefix(model,
                     {L("APPLE SSD TS064E"), L("APPLE SSD TS128E"), L("APPLE SSD TS256E")})) {
        return {200, false};
    }
    if (t == 36 && id == 5 &&
        hasAnyPrefix(model, {L("Corsair Neutron SSD"), L("Corsair Neutron GTX SSD"), L("HFS")})) {
        return {253, false};
    }
    if (t == 63 && id == 5 && model.startsWith(L("Maxtor 92040U6"))) {
        return {253, false};
    }
    if (t == 0 && id == 173 &&
        (hasAnyPrefix(model, {L("TOSHIBA THNSN"), L("TOSHIBA Q300"), L("Q200 EX"), L("TOSHIBA-TR"),
                              L("TOSHIBA-TL"), L("OCZ-TRION1"), L("Q-90"), L("Q-180"), L("Q-360"),
                              L("P4-"), L("P3-"), L("Galaxy GX")}) ||
         (model.startsWith(L("TS")) && model.contains(L("GSSD340"))))) {
        return {200, false};
    }
    if (t == 0 && id == 231 && model.startsWith(L("HFS"))) {
        return {253, false};
    }
    if (t == 0 && id == 231 && model.startsWith(L("Corsair Neutron GTX SSD")) &&
        revision.startsWith(L("M3"))) {
        return {253, false};
    }
    if (t == 0 && id == 233 &&
        hasAnyPrefix(model, {L("SAMSUNG MZMTE"), L("SAMSUNG MZMPC"), L("SAMSUNG MZ7TD"),
                             L("SAMSUNG MZ7TE")})) {
        return {200, false};
    }
    if (value <= 100) {
        return {100, false};
    }
    if (value <= 200 && t >= 100) {
        return {200, false};
    }
    return {200, true};
}

}  // namespace model_rules
