#!/usr/bin/env bash
# Prints which Windows build Wine can run on this machine: "i686", the product itself, where
# the kernel runs 32-bit programs and so 32-bit Wine; otherwise "x86_64", the 64-bit build
# of the same sources, which 64-bit Wine runs without any 32-bit support.
# BRISKLAY_WINE_ARCH=x86_64 takes the second way on any machine, so that the 64-bit suite
# and the emulated lane can be tried where 32-bit Wine runs natively too.
if [ -n "${BRISKLAY_WINE_ARCH:-}" ]; then
  echo "$BRISKLAY_WINE_ARCH"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
