// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_setup.h"

#include "core/dx_server_logging.h"
#include "ext/scheduling.h"
#include "ext/url.h"
#include "foundation/wendle_lib.h"

void configureServerReports(std::function<bool()> isOnline) {
    const WendleLib& lib = WendleLib::shared();
    DXServerLogging::configureShared(
        lib.infoDictionary().value(QStringLiteral("WendleReportHost")).toString(), lib.appName(),
        {std::move(isOnline), [](std::function<void()> job) { run_in_background(std::move(job)); },
         [](const QUrl& url) { performPOST(url); }});
    DXServerLogging::initialize();
}
