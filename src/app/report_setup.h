// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Configures the process's server reports from the installation's
// information file: the report host, the application's name, the background
// queue and HTTPS form posts. isOnline tells whether a report can go out.
void configureServerReports(std::function<bool()> isOnline);
