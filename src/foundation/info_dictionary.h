// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariantMap>

// The installation's information file (Info.json): the application's name,
// version, identifier and the maker's service settings.
namespace info_dictionary {

// The file's top-level object. Empty when the file is missing, too large, or
// not a JSON object; `problem` then says which.
QVariantMap load(const QString& path, QString* problem = nullptr);

// The same for bytes already read.
QVariantMap parse(const QByteArray& bytes, QString* problem = nullptr);

}  // namespace info_dictionary
