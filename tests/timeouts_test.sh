#!/bin/sh
# Fails when a test of the build has no TIMEOUT of its own: without one, a deadlocked test
# holds the whole run for CTest's default of 1,500 seconds.
# Usage: timeouts_test.sh BUILD-FOLDER
set -eu
ctest --test-dir "$1" --show-only=json-v1 | python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
untimed = [t["name"] for t in tests
           if not any(p["name"] == "TIMEOUT" for p in t.get("properties", []))]
for name in untimed:
    print("no TIMEOUT:", name)
print(len(tests) - len(untimed), "of", len(tests), "tests have a TIMEOUT")
sys.exit(1 if untimed else 0)
'
