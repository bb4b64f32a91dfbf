#!/usr/bin/env bash
# with-tool.sh TOOL ARGS...: runs a checking tool, or skips the test (exit status 77) with the
# reason where the tool is not installed.
if ! command -v "$1" >/dev/null; then
  echo "skipped: $1 is not installed"
  exit 77
fi
exec "$@"
