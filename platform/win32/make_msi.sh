#!/bin/sh
# Builds the installer from the configured .wxs.
#   make_msi.sh <kesrow.wxs> <kesrow.exe> <kesrow.ico> <out.msi> [version]
# wixl drops text it cannot store in the database's code page, which it leaves
# at 0: the Japanese names are set afterwards, once the code page is 932.
set -eu
wxs=$(realpath "$1") exe=$(realpath "$2") ico=$(realpath "$3") out=$(realpath -m "$4")
if [ -n "${5:-}" ]; then  # another version of the same product, for upgrade tests
    wxs=$out.wxs && sed "s/ Version=\"[0-9.]*\"/ Version=\"$5\"/" "$1" >"$wxs"
fi
# wixl takes the files it packs by paths relative to its working folder only.
(cd / && wixl -a x64 -D ExeFile="${exe#/}" -D IconFile="${ico#/}" -o "$out" "$wxs")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$dir/_ForceCodepage.idt"
msibuild "$out" -i "$dir/_ForceCodepage.idt" \
    -q "UPDATE \`Property\` SET \`Value\`='ケスロウ' WHERE \`Property\`='ProductName'" \
    -q "UPDATE \`Property\` SET \`Value\`='ケスロウ開発グループ' WHERE \`Property\`='Manufacturer'" \
    -q "UPDATE \`LaunchCondition\` SET \`Description\`='新しい版のケスロウが入っています。'" \
    -q "UPDATE \`Shortcut\` SET \`Name\`='ケスロウ'"
