#!/usr/bin/env bash
# A link another user planted in a shared (sticky, world-writable) folder is
# never followed by a write, whatever fs.protected_symlinks says; a link the
# caller or the folder's owner made still is. Needs root (to give a link to
# another user); otherwise says so and exits 77 (skipped).
# Usage: protected-links.sh TELLURIM-CLI MODEL
set -u
cli=$1
model=$2
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: needs root to plant a link owned by another user"
    exit 77
fi
other=$(id -u nobody 2>/dev/null || echo 65534)
shared=$(mktemp -d)
trap 'rm -rf "$shared"' EXIT
chmod 1777 "$shared"
secret="$shared/secret"
printf 'root only\n' > "$secret"
chmod 0600 "$secret"
failed=0

ln -s "$secret" "$shared/world.csv"
chown -h "$other" "$shared/world.csv"
out=$("$cli" grid --lat 0 1 1 --lon 0 1 1 --year 2026 --model "$model" --output "$shared/world.csv" 2>&1)
status=$?
if [ "$status" -ne 1 ] || [ "$(cat "$secret")" != "root only" ] || [ ! -L "$shared/world.csv" ]; then
    echo "FAIL: a planted link was followed (status $status): $out"
    failed=1
fi
case "$out" in
    *"is a link another user made in a shared folder; it is not followed"*) ;;
    *) echo "FAIL: the refusal does not say why: $out"; failed=1 ;;
esac
if [ "$(find "$shared" -mindepth 1 | wc -l)" -ne 2 ]; then
    echo "FAIL: something was left in the shared folder"; ls -la "$shared"; failed=1
fi

# Nor when it leads to a device, which would be written in place.
rm "$shared/world.csv"
ln -s /dev/full "$shared/world.csv"
chown -h "$other" "$shared/world.csv"
out=$("$cli" grid --lat 0 1 1 --lon 0 1 1 --year 2026 --model "$model" --output "$shared/world.csv" 2>&1)
case "$out" in
    *"is a link another user made in a shared folder; it is not followed"*) ;;
    *) echo "FAIL: a planted link to a device was followed: $out"; failed=1 ;;
esac

# The caller's own link is followed: its target gets the grid.
rm "$shared/world.csv"
ln -s "$secret" "$shared/world.csv"
if ! "$cli" grid --lat 0 1 1 --lon 0 1 1 --year 2026 --model "$model" --output "$shared/world.csv" 2>/dev/null ||
   ! grep -q '^"Decimal Latitude' "$secret" || [ ! -L "$shared/world.csv" ]; then
    echo "FAIL: the caller's own link was not followed"
    failed=1
fi
[ "$failed" -eq 0 ] && echo "protected links: all checks passed"
exit "$failed"
