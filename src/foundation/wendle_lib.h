// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

// The application's identity (from the installation's Info.json) and its
// standard folders (XDG locations). One instance serves the process; the
// operations are read-only and safe from any thread. Texts and paths that
// cannot be determined are empty, URLs invalid, the build number 0.
class WendleLib {
  public:
    // Where an installation's pieces are. The installation root holds bin/
    // and share/ostrivane/, in an installed tree and in the build tree alike.
    struct Installation {
        QString root;
        QString executable;
        // Other folders holding this application's crash reports, searched
        // after the user's own.
        QStringList systemCrashDirs = {QStringLiteral("/var/crash")};
    };

    explicit WendleLib(Installation installation);

    // The process-wide instance, for the running program.
    static WendleLib& shared();
    // The installation of the running program, found from /proc/self/exe so a
    // moved installation keeps working.
    static Installation runningInstallation();

    QString appName() const;
    QString appVersionString() const;
    // The leading digits of "CFBundleVersion" ("12a" is 12); 0 if none.
    qint32 appBuildNumber() const;
    QString appBundleIdentifier() const;
    // SHA-1 of the executable in lowercase hex, or "NoFile".
    QString appChecksumSHA() const;
    // The first 10 digits of appChecksumSHA, then a blank and the first 10 of
    // each private library's digest ("(null)" for an entry that is no file).
    QString appChecksumIncludingFrameworksSHA() const;
    QVariantMap infoDictionary() const { return info_; }
    // Why Info.json could not be read; empty when it was.
    QString infoProblem() const { return infoProblem_; }

    // Whether the XDG data and configuration folders can be found: from
    // XDG_DATA_HOME/XDG_CONFIG_HOME, else below $HOME, else below the
    // password entry's home. Without them suppDir and prefsPath are empty.
    static bool hasUserFolders();

    QString suppDir() const;
    QUrl suppURL() const;
    QString prefsPath() const;
    QUrl prefsURL() const;
    QString resDir() const;
    QUrl resURL() const;
    QString docDir() const;
    QUrl docURL() const;
    QString deskDir() const;
    QUrl deskURL() const;
    QUrl homeURLInsideSandbox() const;
    QUrl homeURLOutsideSandbox() const;
    QString privateLibDir() const;
    QString userCrashDir() const;

    // Crash reports whose name starts with the application name (ignoring case
    // and accents) and ends in ".crash"; the user's first.
    QStringList appCrashLogFilenames() const;
    // Each report's text up to the first "/System/Library/".
    QStringList appCrashLogs() const;

  private:
    QString infoText(const char* key) const;

    Installation installation_;
    // Parsed once: the installed file cannot change while the program runs.
    QVariantMap info_;
    QString infoProblem_;
};
