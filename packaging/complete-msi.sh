#!/usr/bin/env bash
# Adds to the package that wixl made from NetChange.wxs what wixl 0.101
# cannot express, with msibuild (msitools):
#   complete-msi.sh <package.msi>
set -euo pipefail
msi=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The setup's texts. wixl leaves the database without a code page and cannot
# store Chinese in it; once the code page is 936, msibuild stores GBK.
product="VELMOR 隔离卡参数设置"
downgrade="已安装更新版本的 ${product}。如需安装此版本，请先卸载已安装的版本。"
bad_checkcdrom="CHECKCDROM 只能是 0（启动时不检测光驱）或 1（启动时检测光驱）。"

summary=$(msiinfo suminfo "$msi")
field() { sed -n "s/^$1: //p" <<<"$summary"; }

printf '\r\n\r\n936\t_ForceCodepage\r\n' >"$work/_ForceCodepage.idt"
msibuild "$msi" -i "$work/_ForceCodepage.idt"

queries=(
    "UPDATE \`Property\` SET \`Value\` = '$product' WHERE \`Property\` = 'ProductName'"
    # A short name for the Filename column, the long one for every system since.
    "UPDATE \`Shortcut\` SET \`Name\` = 'VELMOR|$product' WHERE \`Shortcut\` = 'Panel'"
    "UPDATE \`LaunchCondition\` SET \`Description\` = '$downgrade' WHERE \`Description\` = 'DOWNGRADE'"
    "UPDATE \`LaunchCondition\` SET \`Description\` = '$bad_checkcdrom' WHERE \`Description\` = 'CHECKCDROM'"

    # The settings file is the user's once it exists: NeverOverwrite (128)
    # keeps an upgrade or a repair from replacing it, Permanent (16) keeps the
    # removal of the earlier version from deleting it. A real uninstall deletes
    # it through the RemoveFile row below.
    "UPDATE \`Component\` SET \`Attributes\` = 144 WHERE \`Component\` = 'Settings'"

    # "Create line" (1): the flag is written only where the file has none, so
    # CHECKCDROM decides for a new file and never changes a user's choice.
    "CREATE TABLE \`IniFile\` (\`IniFile\` CHAR(72) NOT NULL, \`FileName\` CHAR(255) NOT NULL LOCALIZABLE,
        \`DirProperty\` CHAR(72), \`Section\` CHAR(96) NOT NULL LOCALIZABLE, \`Key\` CHAR(128) NOT NULL LOCALIZABLE,
        \`Value\` CHAR(255) NOT NULL LOCALIZABLE, \`Action\` SHORT NOT NULL, \`Component_\` CHAR(72) NOT NULL
        PRIMARY KEY \`IniFile\`)"
    "INSERT INTO \`IniFile\` (\`IniFile\`, \`FileName\`, \`DirProperty\`, \`Section\`, \`Key\`, \`Value\`, \`Action\`, \`Component_\`)
        VALUES ('CheckFlag', 'CHECKCDROM.ini', 'INSTALLDIR', 'CHECKFLAG', 'flag', '[CHECKCDROM]', 1, 'Settings')"
    # No RemoveIniValues: the whole file goes on uninstall, and nothing else
    # may take the user's line.
    "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteIniValues', 5100)"

    # Only while the Program component goes (a real uninstall, not an upgrade:
    # the later version shares it), and only where SetSettingsFolderToClean
    # named the folder.
    "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`)
        VALUES ('SettingsFile', 'Program', 'CHECKCDROM.ini', 'SETTINGSFOLDERTOCLEAN', 2)"

    # Every user may save the settings dialog's choice, nothing more: modify
    # rights (0x1301BF) on this one file, not on the folder, whose exe runs at
    # every user's logon. SYSTEM and administrators keep full control (0x1F01FF).
    "CREATE TABLE \`LockPermissions\` (\`LockObject\` CHAR(72) NOT NULL, \`Table\` CHAR(32) NOT NULL,
        \`Domain\` CHAR(255), \`User\` CHAR(255) NOT NULL, \`Permission\` LONG
        PRIMARY KEY \`LockObject\`, \`Table\`, \`Domain\`, \`User\`)"
    "INSERT INTO \`LockPermissions\` (\`LockObject\`, \`Table\`, \`User\`, \`Permission\`) VALUES ('CHECKCDROM.ini', 'File', 'SYSTEM', 2032127)"
    "INSERT INTO \`LockPermissions\` (\`LockObject\`, \`Table\`, \`User\`, \`Permission\`) VALUES ('CHECKCDROM.ini', 'File', 'Administrators', 2032127)"
    "INSERT INTO \`LockPermissions\` (\`LockObject\`, \`Table\`, \`User\`, \`Permission\`) VALUES ('CHECKCDROM.ini', 'File', 'Users', 1245631)"

    # The earlier version goes once the later one is installed, so the
    # components they share (all of them) stay, with the user's settings file.
    "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('InstallExecute', 6500)"
    "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 6550 WHERE \`Action\` = 'RemoveExistingProducts'"
)
args=()
for q in "${queries[@]}"; do args+=(-q "$q"); done
msibuild "$msi" "${args[@]}"

# The package code (the summary's revision number) names the content: a
# digest of the finished package, taken while the code is all zeros, made
# into a UUID (version 5 and variant bits as RFC 4122 has them). wixl's own
# is random. wixl also writes the summary's language as 1033 whatever the
# package says.
set_summary() { msibuild "$msi" -s "$(field Subject)" "$(field Author)" "Intel;2052" "$1"; }
set_summary "{00000000-0000-0000-0000-000000000000}"
digest=$(sha256sum "$msi" | cut -c1-32)
variant=$(printf '%x' $(( (0x${digest:16:1} & 0x3) | 0x8 )))
code="${digest:0:8}-${digest:8:4}-5${digest:13:3}-${variant}${digest:17:3}-${digest:20:12}"
set_summary "{${code^^}}"
