#!/usr/bin/env bash
# Runs a command under Debian 13's Wine 10, the Wine that current Proton releases are built
# on, beside the host's own: scripts/with-wine10.sh CMD...
# CMD runs inside a Debian 13 root, through scripts/with-wine.sh with a prefix of its own (a
# Wine 10 prefix is no Wine 8 one). The root is made once with debootstrap (its default
# mirror) and kept outside the clone, in $KIT_WINE10_CACHE (default /var/cache/kit-wine10).
# The clone is bound into the root at its own path, so that the build's paths hold there.
# The mounts live in a mount namespace of this run alone: they go when the run ends, however
# it ends, and runs side by side do not take each other's mounts away.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${KIT_WINE10_CACHE:-/var/cache/kit-wine10}
root=$cache/trixie
# cmake for ctest and for the test discovery scripts that ctest runs.
packages=wine,wine64,xvfb,xauth,fonts-wine,cmake

fail() {
    echo "with-wine10: $* (KIT_SKIP_WINE10=1 skips this Wine for a local run)" >&2
    exit 1
}

if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || fail "making and entering the Wine 10 root needs root or sudo"
    exec sudo KIT_WINE10_CACHE="$cache" "$0" "$@"
fi

make_root() {
    command -v debootstrap >/dev/null || fail "debootstrap is missing: run scripts/install-deps.sh"
    mkdir -p "$cache"
    rm -rf "$root.partial"
    echo "Making the Debian 13 root for Wine 10 in $root (once, a few minutes)"
    # Made aside and moved into place whole: a broken run leaves no half root to reuse.
    debootstrap --variant=minbase --include="$packages" trixie "$root.partial" \
        >"$cache/debootstrap.log" 2>&1 ||
        fail "cannot make the Debian 13 root for Wine 10 (see $cache/debootstrap.log)"
    mv "$root.partial" "$root"
}

if [ "${1:-}" != --in-namespace ]; then
    mkdir -p "$cache" 2>/dev/null || fail "cannot make the cache folder $cache"
    (
        # One maker at a time: other clones on this machine share the cache.
        flock 9
        [ -x "$root/usr/bin/wine" ] && [ -x "$root/usr/bin/ctest" ] || make_root
    ) 9>"$cache/.lock"
    exec unshare --mount --propagation private "$0" --in-namespace "$@"
fi
shift

mounted=()
unmount_all() {
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
}
trap unmount_all EXIT
trap 'exit 130' INT TERM HUP

mount_at() {  # mount_at TARGET MOUNT-ARGS...
    local target=$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}
# Without /proc Wine stops at once ("could not load ntdll.so"); it keeps its shared memory in
# /dev/shm. The host's /tmp holds the X displays' lock files, so that a virtual display made
# in the root never takes the number of one made outside it.
mount_at "$root/proc" -t proc proc
mount_at "$root/dev" --bind /dev
mount_at "$root/dev/shm" -t tmpfs tmpfs
mount_at "$root/tmp" --bind /tmp
mount_at "$root$repo" --bind "$repo"
# The test lists are discovered by scripts that name the host cmake's modules by their path.
for modules in /usr/share/cmake-*; do
    # (An empty folder there is a mount point left by an earlier run.)
    [ -e "$root$modules/Modules" ] || mount_at "$root$modules" --bind "$modules"
done

status=0
chroot "$root" /usr/bin/env -i -C "$PWD" \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin HOME=/root \
    WINEPREFIX="$repo/build/windows/wineprefix-wine10" \
    "$repo/scripts/with-wine.sh" "$@" || status=$?
exit $status
