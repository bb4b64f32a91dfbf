#!/usr/bin/env bash
# installed-division.sh MODE BUILD_DIR VERSION WITH_GUI WITH_PNG WITH_GUIDE
# Lays the program out as a user gets it, in a fresh folder, and runs a whole division with the
# installed files only: the installed sample workbook, the installed command-line program, and a
# database in the user's data folder (an install under a prefix keeps none beside itself).
#   MODE install  cmake --install into a fresh prefix
#   MODE deb      the Debian package made by CPack, checked by lintian (any error or warning
#                 fails) and unpacked with dpkg -x (skipped, exit status 77, where dpkg-deb,
#                 dpkg-shlibdeps or lintian is missing)
# WITH_GUI is 1 when the desktop program is built and must be installed too, WITH_PNG when the
# icon's PNG sizes are, WITH_GUIDE when the user guide is rendered to HTML (with its pictures).
set -euo pipefail
mode=$1 build=$2 version=$3 with_gui=$4 with_png=$5 with_guide=$6
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

case "$mode" in
  install)
    cmake --install "$build" --prefix "$root/usr" >"$work/install.log" ||
      { cat "$work/install.log"; fail "cmake --install"; }
    ;;
  deb)
    for tool in dpkg-deb dpkg-shlibdeps lintian; do
      if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (Debian packages dpkg-dev, lintian)"
        exit 77
      fi
    done
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
      { cat "$work/cpack.log"; fail "cpack"; }
    deb="$work/package/quillmere_${version}_$(dpkg --print-architecture).deb"
    [ -f "$deb" ] || fail "no package $deb: $(ls "$work/package")"
    depends="$(dpkg-deb -f "$deb" Depends)"
    echo "Depends: $depends"
    for library in libsqlite3-0 libxlsxwriter libzip; do
      [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library"
    done
    if [ "$with_gui" = 1 ]; then
      [[ "$depends" == *libqt6widgets6* ]] || fail "Depends lacks libqt6widgets6"
    fi
    # Debian's own checks: a copyright file, a changelog, the maintainer's address, manual
    # pages, description lines, hardened programs. Information is shown, not failed on.
    lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
      { cat "$work/lintian.log"; fail "lintian"; }
    echo "lintian: no error or warning ($(grep -c '^I: ' "$work/lintian.log" || true) notes)"
    dpkg -x "$deb" "$root"
    ;;
  *) fail "unknown mode $mode" ;;
esac

prefix="$root/usr"
id=org.quillmere.Quillmere
sample="share/quillmere/导入excel文件样例/分班数据输入样例.xls"
files=(bin/quillmere-cli "$sample" share/quillmere/导入excel文件样例/分班数据输入样例.xlsx
  "share/icons/hicolor/scalable/apps/$id.svg" share/doc/quillmere/README.md
  share/doc/quillmere/docs/cli.md share/doc/quillmere/docs/architecture.md
  share/doc/quillmere/copyright share/doc/quillmere/changelog.gz share/man/man1/quillmere-cli.1.gz
  share/bash-completion/completions/quillmere-cli)
if [ "$with_gui" = 1 ]; then
  files+=(bin/quillmere "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
    share/man/man1/quillmere.1.gz)
fi
if [ "$with_png" = 1 ]; then
  files+=("share/icons/hicolor/48x48/apps/$id.png" "share/icons/hicolor/256x256/apps/$id.png")
fi
guide=share/doc/quillmere/用户手册.html
if [ "$with_guide" = 1 ]; then
  files+=("$guide" share/doc/quillmere/images/main-window.png)
fi
for file in "${files[@]}"; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
if [ "$with_guide" = 1 ]; then
  "$(dirname "$0")/guide-pictures.sh" "$prefix/$guide" "$prefix/share/doc/quillmere/images" ||
    fail "the installed guide lacks pictures"
fi

# The installed programs with a clean environment: nothing from the build or the sources.
mkdir -p "$work/home" "$work/out"
installed() {
  env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_DATA_HOME="$work/data" LANG=C.UTF-8 "$@"
}
cli="$prefix/bin/quillmere-cli"
[ "$(installed "$cli" --version)" = "quillmere-cli $version" ] || fail "quillmere-cli --version"
if [ "$with_gui" = 1 ]; then
  # Both answered without a display.
  [ "$(installed "$prefix/bin/quillmere" --version)" = "quillmere $version" ] ||
    fail "quillmere --version"
  installed "$prefix/bin/quillmere" --help | grep -q -- "--db PATH" || fail "quillmere --help"
fi
# The manual page lists every command the program has.
for command in $(installed "$cli" --help | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p'); do
  zcat "$prefix/share/man/man1/quillmere-cli.1.gz" | grep -q "^\\\\fB$command\\\\fR" ||
    fail "the manual page lacks the command $command"
done

project="$(installed "$cli" new --memo "安装测试" --classes 4 | tail -n 1)"
[ "$(installed "$cli" import "$project" "$prefix/$sample")" = "导入成功，共导入 200 名学生" ] || fail "import"
installed "$cli" divide "$project" >"$work/divide.log" || fail "divide"
installed "$cli" stats "$project" >"$work/stats.txt" || fail "stats"
for class in 1班 2班 3班 4班; do
  grep -q "^$class .* 50 " "$work/stats.txt" || fail "stats: $class has not 50 students"
done
installed "$cli" export "$project" --out "$work/out/分班结果.xlsx" >/dev/null || fail "export"
[ "$(head -c 2 "$work/out/分班结果.xlsx")" = PK ] || fail "export wrote no workbook"
installed "$cli" backup "$work/out/备份.db" >/dev/null || fail "backup"

[ -f "$work/data/quillmere/fb.db" ] || fail "the database is not in the user's data folder"
[ ! -e "$prefix/bin/dbase" ] || fail "the installed program made a database beside itself"
echo "installed ($mode): version $version, 200 students divided into 4 classes of 50, exported"
