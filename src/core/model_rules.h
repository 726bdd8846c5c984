// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

// The program's knowledge of particular drive families. All tests compare
// against the drive's media name and are case-sensitive unless said otherwise.
namespace model_rules {

// Id that names no S.M.A.R.T. attribute: a relevant-attribute row set to it is disabled.
inline constexpr int kDisabledId = 999;

// Number of known hard-disk models that are prefixes of the name.
int knownHardDiskMatches(QStringView model);
bool isMicronFamily(QStringView model);
// Models whose attribute 226 (workload media wear) is not meaningful.
bool ignoresAttribute226(QStringView model);
// Models whose attribute values are reported to the maker once.
bool isReportedOnce(QStringView model);

// The reallocation id R and the wear id W of a model.
struct WearIds {
    int reallocation;
    int wear;
};
WearIds wearIds(QStringView model);

// The display names of the relevant attributes; empty for any other id.
QString displayName(int id, const WearIds& ids, bool micronFamily);

struct AssumedMaximum {
    int value;
    // No model rule applied and the value lies outside what the generic rules expect.
    bool unexpected;
};
// The assumed maximum M of an attribute's normalized value; the first rule that holds decides.
AssumedMaximum assumedMaximum(int id, qint32 value, qint32 threshold, QStringView model,
                              QStringView revision, bool knownHardDisk);

}  // namespace model_rules
