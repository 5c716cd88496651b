#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# install-test.sh BUILD_DIR SOURCE_DIR MODULE_DIR: cmake --install BUILD_DIR
# --prefix /usr into a scratch DESTDIR, then checks what a user or a package
# gets from it. MODULE_DIR: the history window's module's folder under the prefix.
set -euo pipefail
build=$1
source=$2
module=usr/$3/nimbulo-history.so
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log"
cd "$root"

# Everything a package needs is there, and no test or benchmark.
expected=(
    usr/bin/nimbulo usr/bin/nimbulo-logger usr/bin/nimbulo-sim
    usr/share/applications/nimbulo.desktop
    usr/share/metainfo/io.github.nimbulo.Nimbulo.metainfo.xml
    usr/share/man/man1/nimbulo.1.gz usr/share/man/man1/nimbulo-logger.1.gz
    usr/share/man/man1/nimbulo-sim.1.gz
    "usr/lib/systemd/system/nimbulo-logger@.service"
    usr/share/doc/nimbulo/LICENSE usr/share/doc/nimbulo/changelog.gz
    usr/share/doc/nimbulo/copyright "$module"
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/nimbulo.png")
done
# The web page's files, where the installed programs look for them.
while IFS= read -r asset; do
    expected+=("usr/share/nimbulo/web/$asset")
done < <(cd "$source/web/assets" && find . -type f | sed 's|^\./||')
for file in "${expected[@]}"; do
    [ -f "$file" ] || fail "not installed: /$file"
done
extra=$(find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$extra" ] || fail "installed but not expected: $extra"

# The program finds the module by a path from its own folder, not executable.
if [ -f "$module" ] && [ -f usr/bin/nimbulo ]; then
    from_bin=$(grep -aom1 '\.\./lib[[:alnum:]_/.-]*/plugins/' usr/bin/nimbulo) || true
    [ -n "$from_bin" ] && [ "usr/bin/$from_bin/nimbulo-history.so" -ef "$module" ] ||
        fail "usr/bin/nimbulo looks for its module in '${from_bin:-nowhere}', not in /${module%/*}"
    [ ! -x "$module" ] || fail "/$module is executable"
fi

# Each icon is the size its folder says.
for size in 16 22 24 32 48 64 128 256; do
    icon=usr/share/icons/hicolor/${size}x${size}/apps/nimbulo.png
    [ -f "$icon" ] || continue
    # PNG width and height: big-endian words at bytes 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$width x $height" = "$size x $size" ] || fail "$icon is $width x $height"
done

# The programs run from where they were installed: version, help, a mistake.
for program in nimbulo nimbulo-logger nimbulo-sim; do
    bin=usr/bin/$program
    [ -x "$bin" ] || continue
    # Whole outputs, then their first lines: a pipe into head could end the
    # program with SIGPIPE before it has written all, which pipefail counts.
    version=$("$bin" --version) || fail "$program --version exits $?"
    version=${version%%$'\n'*}
    [[ "$version" == *" 2.0.0.1" ]] || fail "$program --version says: $version"
    usage=$("$bin" --help) || fail "$program --help exits $?"
    usage=${usage%%$'\n'*}
    [[ "$usage" == "Usage: $program "* ]] || fail "$program --help begins: $usage"
    status=0
    "$bin" --no-such-option >/dev/null 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "$program --no-such-option exits $status, not 2"
    grep -q -- "no-such-option" "$work/err" || fail "$program does not name the bad option"
done

# The service runs the installed logger on the instance's device.
unit="usr/lib/systemd/system/nimbulo-logger@.service"
if [ -f "$unit" ]; then
    grep -qx 'ExecStart=/usr/bin/nimbulo-logger --config-if-present /etc/nimbulo/nimbulo-logger.conf --device /dev/%I' "$unit" ||
        fail "the unit does not run /usr/bin/nimbulo-logger --config-if-present /etc/nimbulo/nimbulo-logger.conf --device /dev/%I"
fi

# A replay of the sample recording into a data folder that does not exist yet.
if [ -x usr/bin/nimbulo-logger ]; then
    data=$work/data/station
    usr/bin/nimbulo-logger --replay "$source/docs/sample-recording.txt" --year 2026 \
        --data-dir "$data" >"$work/summary" || fail "the replay exits $?"
    printf 'lines read: 12\nrecords accepted: 12\nlines rejected: 0\nfive-minute points: 3\nlog files opened: 1\nfailed writes: 0\n' |
        diff - "$work/summary" || fail "the replay's summary differs"
    for file in OutputData/U2K202604101200.txt wxreportaprs.txt wxreportmixw.txt; do
        [ -s "$data/$file" ] || fail "the replay wrote no $file"
    done
fi

# Every man page renders.
if command -v man >/dev/null; then
    for page in usr/share/man/man1/*.1.gz; do
        man -l "$page" >"$work/page" 2>&1 || true
        grep -q '^NAME' "$work/page" || fail "man -l $page shows no NAME section"
    done
fi

# The validators, each silent for a clean file.
missing=()
check() {  # check TOOL ARGS...: fails on a non-zero status or on any output
    if ! command -v "$1" >/dev/null; then
        missing+=("$1")
        return
    fi
    if ! "$@" >"$work/check" 2>&1 || [ -s "$work/check" ]; then
        fail "$*:"
        cat "$work/check" >&2
    fi
}
check desktop-file-validate usr/share/applications/nimbulo.desktop
# appstreamcli prints a success line; only its status counts.
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net usr/share/metainfo/io.github.nimbulo.Nimbulo.metainfo.xml \
        >"$work/check" 2>&1 || { fail "appstreamcli validate:"; cat "$work/check" >&2; }
else
    missing+=(appstreamcli)
fi
# systemd-analyze checks that the command exists, so it gets the installed one.
if [ -f "$unit" ]; then
    mkdir -p "$work/units"
    sed "s|^ExecStart=/usr/bin/|ExecStart=$root/usr/bin/|" "$unit" >"$work/units/nimbulo-logger@.service"
    check systemd-analyze verify --man=no "$work/units/nimbulo-logger@.service"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures checks failed" >&2
    exit 1
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIPPED: not installed: ${missing[*]} (scripts/setup installs them)"
    exit 77
fi
echo "install test passed"
