#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills a settings writer with SIGKILL at random moments for many rounds and
# checks that every write it had acknowledged is still in the store. The test
# suite runs 200 rounds; this runs ROUNDS (default 1000).
# Usage: tests/stress/settings_kill_stress.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-1000}
tests="$build/bin/foundation_tests"
if [ ! -x "$tests" ]; then
  echo "no $tests: build first (make build)" >&2
  exit 66
fi
OSTRIVANE_CRASH_ROUNDS="$rounds" exec "$tests" \
  --gtest_filter='SettingsCrashTest.EveryAcknowledgedWriteSurvivesSigkill'
