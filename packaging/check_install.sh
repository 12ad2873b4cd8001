#!/bin/sh
# Installs a built tree into a scratch prefix and checks what arrived, validates the
# desktop entry and the AppStream metadata, then builds the Debian package and
# checks its files and dependencies, and lintian's verdict on it. A validator that
# is not installed is skipped, and the skip is printed.
# Usage: check_install.sh BUILD-DIR SOURCE-DIR PACKAGE-VERSION
set -eu
build=$1
source=$2
version=$3
scratch=$(mktemp -d "${TMPDIR:-/tmp}/valvane-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
have() {
    command -v "$1" >/dev/null 2>&1
}

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" || {
    cat "$scratch/install.log"
    echo "FAIL: cmake --install"
    exit 1
}

# Every file the install promises, as paths under the prefix.
expected="bin/valvane
bin/valvane-run
share/applications/valvane.desktop
share/metainfo/io.github.valvane.Valvane.metainfo.xml
share/icons/hicolor/scalable/apps/valvane.svg
share/man/man1/valvane.1.gz
share/man/man1/valvane-run.1.gz
share/doc/valvane/copyright"
for size in 16 32 48 64 128 256; do
    expected="$expected
share/icons/hicolor/${size}x${size}/apps/valvane.png"
done
for tape in $(cd "$source/tapes" && find . -name '*.txt' | sed 's|^\./||' | sort); do
    expected="$expected
share/valvane/tapes/$tape"
done
for doc in Lessonary Referary; do
    [ -f "$source/docs/$doc.md" ] || { echo "note: docs/$doc.md is not written yet"; continue; }
    expected="$expected
share/doc/valvane/$doc.md"
    # The build writes the HTML page when it found pandoc.
    if [ -f "$build/packaging/$doc.html" ]; then
        expected="$expected
share/doc/valvane/$doc.html"
    else
        echo "skipped: $doc.html (pandoc was not found when the build was configured)"
    fi
done
echo "$expected" | while IFS= read -r file; do
    [ -s "$prefix/$file" ] || echo "$file"
done >"$scratch/missing"
if [ -s "$scratch/missing" ]; then
    fail "not installed:"
    cat "$scratch/missing"
fi
for program in valvane valvane-run; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

# Each bitmap is the size its folder says: the PNG header holds width and height.
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/valvane.png
    [ -f "$png" ] || continue
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dims" = "${size}x${size}" ] || fail "valvane.png in ${size}x${size} is $dims"
done

# The installed runner runs an installed tape.
output=$("$prefix/bin/valvane-run" "$prefix/share/valvane/tapes/greeting.txt" 2>&1) || fail "valvane-run greeting.txt: $output"
case $output in *"HELLO EDSAC 1949"*) ;; *) fail "valvane-run greeting.txt printed: $output" ;; esac

if have desktop-file-validate; then
    desktop-file-validate "$prefix/share/applications/valvane.desktop" || fail "desktop-file-validate"
else
    echo "skipped: desktop-file-validate (desktop-file-utils not installed)"
fi
if have appstreamcli; then
    appstreamcli validate --no-net "$prefix/share/metainfo/io.github.valvane.Valvane.metainfo.xml" \
        || fail "appstreamcli validate"
else
    echo "skipped: appstreamcli validate (appstream not installed)"
fi
if have groff; then
    for page in valvane valvane-run; do
        warnings=$(gzip -dc "$prefix/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)
        [ -z "$warnings" ] || fail "$page.1: $warnings"
    done
else
    echo "skipped: manual page check (groff not installed)"
fi

# The package.
if ! have cpack || ! have dpkg-deb || ! have dpkg-shlibdeps; then
    echo "skipped: the Debian package (cpack, dpkg-deb or dpkg-shlibdeps not installed)"
else
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1 || {
        cat "$scratch/cpack.log"
        fail "cpack -G DEB"
    }
    deb=$scratch/package/valvane_${version}_$(dpkg --print-architecture).deb
    if [ ! -f "$deb" ]; then
        fail "no package $(basename "$deb"); made: $(ls "$scratch/package")"
    else
        dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./||' >"$scratch/contents"
        # Only the package carries its change log.
        [ ! -e "$prefix/share/doc/valvane/changelog.Debian.gz" ] || fail "a plain install has changelog.Debian.gz"
        printf '%s\n%s\n' "$expected" share/doc/valvane/changelog.Debian.gz | while IFS= read -r file; do
            grep -qx "usr/$file" "$scratch/contents" || echo "usr/$file"
        done >"$scratch/unpacked"
        if [ -s "$scratch/unpacked" ]; then
            fail "not in the package:"
            cat "$scratch/unpacked"
        fi
        [ "$(dpkg-deb -f "$deb" Package)" = valvane ] || fail "package name $(dpkg-deb -f "$deb" Package)"
        [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
        [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
        [ -n "$(dpkg-deb -f "$deb" Section)" ] || fail "no section"
        depends=$(dpkg-deb -f "$deb" Depends)
        for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
            case ", $depends," in *", $library "* | *", $library,"*) ;; *) fail "Depends lacks $library: $depends" ;; esac
        done
        echo "package: $(basename "$deb")"
        echo "Depends: $depends"
        if have lintian; then
            # Errors fail the check; warnings are shown.
            lintian --fail-on error "$deb" || fail "lintian reports errors"
        else
            echo "skipped: lintian (not installed)"
        fi
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install and package checks passed"
