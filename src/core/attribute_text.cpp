// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/attribute_text.h"

#include "core/text_lines.h"

#include <array>

namespace {

constexpr qsizetype kFieldCount = 10;
// `smartctl -x` prints the brief layout: id, name, FLAGS, value, worst,
// threshold, FAIL, raw value.
constexpr qsizetype kBriefFieldCount = 8;

// The FLAGS column of the brief layout: "PO--CK", one letter or '-' a place.
bool isBriefFlags(QStringView field) {
    static constexpr char16_t kLetters[] = u"POSRCK";
    if (field.size() != 6) {
        return false;
    }
    for (qsizetype i = 0; i < 6; ++i) {
        if (field[i] != u'-' && field[i] != QChar(kLetters[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void parseAttributeLine(QStringView line, AttributeTable& table) {
    line = line.trimmed();
    if (line.isEmpty()) {
        return;
    }
    // Runs of blanks separate fields (tabs do not); the line is trimmed, so no
    // field is empty. Only the first ten fields are used.
    std::array<QStringView, kFieldCount> fields;
    qsizetype count = 0;
    qsizetype start = 0;
    const qsizetype size = line.size();
    while (start < size && count < kFieldCount) {
        qsizetype end = start;
        while (end < size && line[end] != u' ') {
            ++end;
        }
        fields[count++] = line.sliced(start, end - start);
        if (count == 1 && text_lines::leadingInt32(fields[0]) <= 0) {
            return;
        }
        while (end < size && line[end] == u' ') {
            ++end;
        }
        start = end;
    }
    const auto number = [&fields](int i) {
        return AttributeNumber::fromSigned(text_lines::leadingInt32(fields[i]));
    };
    AttributeRecord record;
    if (count >= kBriefFieldCount && isBriefFlags(fields[2])) {
        record.currentValue = number(3);
        record.worstValue = number(4);
        record.threshold = number(5);
        record.rawValue = number(7);
        record.isPrefail = AttributeNumber::fromSigned(fields[2][0] == u'P' ? 1 : 0);
        record.isOnline = AttributeNumber::fromSigned(fields[2][1] == u'O' ? 1 : 0);
        table.insert_or_assign(text_lines::leadingInt32(fields[0]), record);
        return;
    }
    if (count < kFieldCount) {
        return;
    }
    record.currentValue = number(3);
    record.worstValue = number(4);
    record.threshold = number(5);
    record.rawValue = number(9);
    record.isPrefail = AttributeNumber::fromSigned(fields[6] == u"Pre-fail" ? 1 : 0);
    record.isOnline = AttributeNumber::fromSigned(fields[7] == u"Always" ? 1 : 0);
    table.insert_or_assign(text_lines::leadingInt32(fields[0]), record);
}

AttributeTable parseAttributeText(QStringView text) {
    AttributeTable table;
    text_lines::forEachLine(text, [&table](QStringView line) { parseAttributeLine(line, table); });
    return table;
}
