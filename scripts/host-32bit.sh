# Sourced: whether this host runs 32-bit programs. Some kernels are booted without their 32-bit
# emulation (ia32_emulation=off); there no 32-bit program starts, 32-bit Wine included, and the
# Windows suite runs on the 64-bit build alone.

# True when the kernel starts a 32-bit x86 program: a 93-byte static one that only exits with 0.
# setup.sh asks this before it installs 32-bit Wine, which it could not otherwise start.
host_runs_32bit_code() {
  local probe
  probe=$(mktemp) || return 1
  base64 -d >"$probe" <<<'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAuAEAAAAx282A'
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=1
  rm -f "$probe"
  return $status
}

# True when Wine's 32-bit loader starts. The tests and the sample run ask this.
wine32_loader=/usr/lib/wine/wine
wine32_runs() {
  [ -x "$wine32_loader" ] && "$wine32_loader" --version >/dev/null 2>&1
}
