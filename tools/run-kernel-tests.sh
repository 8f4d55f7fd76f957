#!/usr/bin/env bash
# run-kernel-tests.sh HARNESS CACHE PROGRAM... : boots the VM harness with the
# given test programs. Exits 77 (skipped) only when the VM cannot run here.
set -uo pipefail
harness=$1 cache=$2
shift 2
if [ ! -x "$harness" ]; then
    echo "SKIP: the VM harness $harness is missing"
    exit 77
fi
for c in qemu-system-x86_64 cpio modprobe; do
    command -v "$c" >/dev/null || { echo "SKIP: $c is not installed, the kernel tests cannot run"; exit 77; }
done
[ -x /bin/busybox ] || { echo "SKIP: /bin/busybox is missing (busybox-static)"; exit 77; }
export RUN_IN_KERNEL_CACHE=$cache
log=$(mktemp)
"$harness" -t 300 -o "$log" "$@"
rc=$?
if [ $rc -eq 2 ] && grep -qiE 'could not (access|initiali[sz]e) KVM|no kernel in /boot|could not download' "$log"; then
    echo "SKIP: the VM could not start here"
    rm -f "$log"
    exit 77
fi
rm -f "$log"
exit $rc
