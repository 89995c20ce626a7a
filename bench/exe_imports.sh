#!/bin/sh
# kesrow.exe's size and the DLLs it imports: every one must come with Windows.
#   bench/exe_imports.sh build-win/app/kesrow.exe
set -eu
exe=${1:-build-win/app/kesrow.exe}
echo "size: $(stat -c %s "$exe") bytes"
echo "imports:"
x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: /  /p'
