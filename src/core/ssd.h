// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/attribute.h"
#include "core/drive_wear.h"
#include "core/evaluation_services.h"
#include "core/smart_status.h"
#include "core/wording.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <vector>

// One drive as seen by one check: its S.M.A.R.T. data and the health derived
// from it. Created per disk and check; the controller sets disknum and name,
// then calls performCheck.
class SSD {
  public:
    explicit SSD(const EvaluationServices& services) : services_(services) {}

    // Reads status, description and attributes through the services and
    // evaluates them; every result ends up in this record.
    void performCheck();

    // Parses the plain-text attribute table; does not change the record.
    static AttributeTable getAttributesFromSMTString(QStringView text);

    // "85% (SSD_Life_Left: 85 [threshold: 10])", or why there is no percentage.
    QString status(Wording wording = Wording::Stored) const;
    // The status image, relative to the application's resource folder.
    QUrl iconURL() const;
    // "name  (device node)".
    QString description() const;

    bool isSSD() const { return isSSD_; }
    void setIsSSD(bool value) { isSSD_ = value; }
    std::uint8_t smartStatus() const { return smartStatus_; }
    qint32 disknum() const { return disknum_; }
    void setDisknum(qint32 value) { disknum_ = value; }
    qint32 lastHealthPercentage() const { return lastHealthPercentage_; }
    qint32 healthPercentage() const { return healthPercentage_; }
    // One line per evaluated attribute: "name (id):\tvalue [threshold: t] ".
    const QString& fullAttributeInformation() const { return fullAttributeInformation_; }
    QString fullAttributeInformation(Wording wording) const;
    const QString& modelName() const { return modelName_; }
    void setModelName(const QString& value) { modelName_ = value; }
    const QString& name() const { return name_; }
    void setName(const QString& value) { name_ = value; }
    const std::optional<AttributeTable>& allAttributes() const { return allAttributes_; }
    void setAllAttributes(std::optional<AttributeTable> value) {
        allAttributes_ = std::move(value);
    }
    // Absent (null) when no attribute set the health.
    const QString& healthInfo() const { return healthInfo_; }
    QString healthInfo(Wording wording) const;
    // Only the reallocation count was evaluated: the health is a rough guess.
    bool lowAccuracy() const { return lowAccuracy_; }

    // The device node shown by description(); Linux has no "/dev/diskN", so the
    // disk layer supplies the real node. Empty: "/dev/disk<N>".
    const QString& deviceNode() const { return deviceNode_; }
    void setDeviceNode(const QString& value) { deviceNode_ = value; }

    // What the drive itself reports about its wear (empty when nothing).
    const DriveWear& ownWear() const { return ownWear_; }
    // "own wear indicator: …", empty when the drive reports no figure.
    QString ownWearLine(Wording wording = Wording::Stored) const {
        return wearLine(ownWear_, wording);
    }
    // The note when the health and the drive's own figure disagree; empty otherwise.
    QString ownWearNote(Wording wording = Wording::Stored) const {
        return wearDisagreement(ownWear_, healthPercentage_, wording);
    }

    // The wear line, the note and the standby mark, one per line, for the
    // drive's pane and pop-up; empty when there is none of them.
    QString ownWearSummary(Wording wording) const;

    // Set by the controller when the disk slept and this check did not read
    // it; the record then is the last one read, or, without one, the last
    // stored health.
    const std::optional<QDateTime>& standbySince() const { return standbySince_; }
    void setStandbySince(std::optional<QDateTime> value) { standbySince_ = std::move(value); }
    // "in standby since 2026-12-08 11:40"; empty while the disk is awake.
    QString standbyText(Wording wording = Wording::Stored) const;
    // The disk slept and there was no earlier record to keep: nothing was read.
    bool unread() const { return standbySince_ && !allAttributes_; }

  private:
    struct Context;
    // An evaluated attribute, kept so its line can be worded for either reader.
    struct AttributeRow {
        QString name;
        int id = 0;
        qint32 value = 0;
        qint32 threshold = 0;
    };
    // What the health reason names.
    enum class Reason { None, Attribute, Failing, Standby };
    void evaluateAttributes(const Context& context, bool& lowAccuracy);
    void reportUnexpectedValues(const QString& message, const Context& context);

    const EvaluationServices& services_;

    bool isSSD_ = false;
    std::uint8_t smartStatus_ = SMARTStatusUnknown;
    qint32 disknum_ = 0;
    qint32 lastHealthPercentage_ = 0;
    qint32 healthPercentage_ = 0;
    QString fullAttributeInformation_;
    QString modelName_;
    QString name_;
    std::optional<AttributeTable> allAttributes_;
    QString healthInfo_;
    Reason reason_ = Reason::None;
    std::size_t reasonRow_ = 0;
    bool lowAccuracy_ = false;
    std::vector<AttributeRow> rows_;
    QString deviceNode_;
    DriveWear ownWear_;
    std::optional<QDateTime> standbySince_;
};

// Health of a drive on which no attribute was evaluated.
inline constexpr qint32 kHealthUnknown = 255;
// Appended to the health reason when only the reallocation count was evaluated.
inline constexpr QStringView kLowAccuracyMark =
    QT_TRANSLATE_NOOP("Localizable", u" {low-accuracy!}");
