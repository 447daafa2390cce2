#!/usr/bin/env bash
# Runs a validator on a file; exit 77 (skipped) when the tool is missing.
# Usage: validate-metadata.sh TOOL FILE [ARGS...]
tool=$1 file=$2
shift 2
command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
out=$("$tool" "$@" "$file" 2>&1)
status=$?
echo "$out"
# desktop-file-validate reports hints and errors but exits 0 on hints only.
[ "$status" -eq 0 ] && ! grep -q "error:\|warning:" <<<"$out"
