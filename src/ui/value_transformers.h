// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include <functional>

// One-way transformers that window bindings name, turning a model value into
// 1 (true) or 0 (false): enable a button only while an address field holds
// valid addresses, show a label only while a count is above 0, and so on.
//
// Names resolve through one registry: the e-mail, list and parity
// transformers by name, and the numeric comparisons by parsing the name
// ("Largerthan25ValueTransformer" compares with 25; the family runs from 0
// to 99, and the four unnumbered names compare with 0). An unknown name is
// logged once and resolves to nothing.
class ValueTransformer {
  public:
    using Rule = std::function<int(const QVariant& value)>;
    ValueTransformer(QString name, Rule rule) : name_(std::move(name)), rule_(std::move(rule)) {}

    QString name() const { return name_; }
    // 1 or 0.
    int transformedValue(const QVariant& value) const { return rule_(value); }

    // The transformer of that name; nullptr (logged once per name) when none.
    static const ValueTransformer* named(const QString& name);
    // What a binding through the named transformer gives: its result, or the
    // value's own truth when the name resolves to nothing.
    static bool transformedBool(const QString& name, const QVariant& value);

    // A value's 32-bit integer as bindings read it: numbers truncated and
    // held to the 32-bit range, texts by their leading number (optional
    // blanks and sign, then digits), everything else 0.
    static qint32 integerValue(const QVariant& value);

  private:
    QString name_;
    Rule rule_;
};
