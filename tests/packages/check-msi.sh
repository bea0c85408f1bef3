#!/usr/bin/env bash
# Checks the Windows Installer package by its tables (msiinfo): summary,
# properties, components, the settings file's rows and the sequence.
#   check-msi.sh <package.msi> <i686 NetChange.exe> <Windows Installer version>
set -u
msi=$1
exe=$2
msi_version=$3
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"
[ -f "$msi" ] || { echo "FAIL: $msi is missing"; exit 1; }

tab=$'\t'
table() { msiinfo export "$msi" "$1" 2>/dev/null | tr -d '\r' | tail -n +4; }
# A row of a table, its columns joined by tabs.
has_row() { # table, columns...
    local IFS=$tab
    table "$1" | grep -qxF -- "${*:2}"
}
# A row that begins with these columns.
has_row_starting() { # table, columns...
    local IFS=$tab
    table "$1" | awk -v start="${*:2}" 'index($0, start) == 1 { found = 1 } END { exit !found }'
}
sequence_of() { table InstallExecuteSequence | awk -F"$tab" -v a="$1" '$1 == a { print $3 }'; }

summary=$(msiinfo suminfo "$msi")
expect "summary: 32-bit, Chinese (2052)" grep -qx 'Template: Intel;2052' <<<"$summary"
expect "summary: by VELMOR" grep -qx 'Author: VELMOR' <<<"$summary"
expect "database code page 936" grep -qx "936${tab}_ForceCodepage" <(msiinfo export "$msi" _ForceCodepage | tr -d '\r')

for property in "ProductName${tab}VELMOR 隔离卡参数设置" "Manufacturer${tab}VELMOR" "ProductLanguage${tab}2052" \
    "ProductVersion${tab}${msi_version}" "UpgradeCode${tab}{F4C45B76-E177-4F4E-96D2-FD9CEB399443}" \
    "ALLUSERS${tab}1" "CHECKCDROM${tab}0" "ARPPRODUCTICON${tab}NetChange.ico" "ARPNOMODIFY${tab}1"; do
    expect "property ${property/$tab/ = }" has_row Property "$property"
done

expect "Program: NetChange.exe, 32-bit" has_row Component Program '{2BA3B5D6-4886-43B7-AB33-D5E15A799711}' INSTALLDIR 0 '' NetChange.exe
expect "Settings: permanent, never overwritten" \
    has_row Component Settings '{599B56B5-DDB6-405C-8331-F75548B0AC58}' INSTALLDIR 144 '' CHECKCDROM.ini
expect "one registry value: Run, the installed exe in quotes" test "$(table Registry | cut -f2-)" = \
    "2${tab}Software\Microsoft\Windows\CurrentVersion\Run${tab}VELMORNETCHANGE${tab}\"[#NetChange.exe]\"${tab}Program"
expect "shortcut VELMOR\\VELMOR 隔离卡参数设置" \
    has_row_starting Shortcut Panel ShortcutFolder 'VELMOR|VELMOR 隔离卡参数设置' StartMenu '[#NetChange.exe]'
expect "settings file: flag from CHECKCDROM where missing" \
    has_row IniFile CheckFlag CHECKCDROM.ini INSTALLDIR CHECKFLAG flag '[CHECKCDROM]' 1 Settings
expect "settings file: removed with the program where named" \
    has_row RemoveFile SettingsFile Program CHECKCDROM.ini SETTINGSFOLDERTOCLEAN 2
expect "Programs and Features: the install folder as the install location" \
    has_row CustomAction SetInstallLocation 51 ARPINSTALLLOCATION '[INSTALLDIR]' ''
expect "settings folder named on a real uninstall only" has_row InstallExecuteSequence \
    SetSettingsFolderToClean 'REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE' "$(sequence_of SetSettingsFolderToClean)"
expect "settings file: users may modify it" has_row LockPermissions CHECKCDROM.ini File '' Users 1245631
expect "settings file: administrators keep full control" has_row LockPermissions CHECKCDROM.ini File '' Administrators 2032127
expect "settings file: SYSTEM keeps full control" has_row LockPermissions CHECKCDROM.ini File '' SYSTEM 2032127
expect "rights on nothing but the settings file" test "$(table LockPermissions | cut -f1,2 | sort -u)" = "CHECKCDROM.ini${tab}File"
expect "no CreateFolder rows (no rights on the folder)" test -z "$(table CreateFolder)"

before() { # actions, each sequenced before the next
    local a b
    a=$(sequence_of "$1") && b=$(sequence_of "$2") && [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ] &&
        { [ $# -eq 2 ] || before "${@:2}"; }
}
expect "a running NetChange ends once the package is accepted, before InstallValidate" \
    before FindRelatedProducts LaunchConditions CostFinalize EndRunningNetChange InstallValidate
expect "WriteIniValues after InstallFiles" before InstallFiles WriteIniValues
expect "no RemoveIniValues" test -z "$(sequence_of RemoveIniValues)"
expect "the earlier version goes after InstallExecute" before InstallExecute RemoveExistingProducts
expect "... and before InstallFinalize" before RemoveExistingProducts InstallFinalize
expect "custom action: immediate DLL entry EndRunningNetChange" \
    has_row CustomAction EndRunningNetChange 1 NetChangeMsiActions EndRunningNetChange ''
expect "upgrades every earlier version" has_row Upgrade '{F4C45B76-E177-4F4E-96D2-FD9CEB399443}' '' "$msi_version" '' 1 '' WIX_UPGRADE_DETECTED
expect "detects every later version" has_row Upgrade '{F4C45B76-E177-4F4E-96D2-FD9CEB399443}' "$msi_version" '' '' 2 '' WIX_DOWNGRADE_DETECTED
expect "refuses a downgrade with a Chinese message" \
    has_row_starting LaunchCondition 'NOT WIX_DOWNGRADE_DETECTED' '已安装更新版本的 VELMOR 隔离卡参数设置'
expect "refuses a CHECKCDROM other than 0 or 1" has_row_starting LaunchCondition 'CHECKCDROM="0" OR CHECKCDROM="1"' 'CHECKCDROM 只能是 0'

# The files it installs and the custom action's DLL.
(cd "$work" && msiinfo extract "$msi" NetChange.cab >NetChange.cab && 7z x -y NetChange.cab >/dev/null 2>&1) ||
    fail "cannot unpack the package's cabinet"
expect "the package's NetChange.exe is the i686 build" cmp -s "$exe" "$work/NetChange.exe"
expect "the package's settings file holds only the section" cmp -s <(printf '[CHECKFLAG]\r\n') "$work/CHECKCDROM.ini"
msiinfo extract "$msi" Binary.NetChangeMsiActions >"$work/actions.dll" 2>/dev/null
expect "custom action DLL: $(file -b "$work/actions.dll")" bash -c "file -b '$work/actions.dll' | grep -q '^PE32 executable (DLL) .*Intel 80386'"
expect "custom action DLL exports EndRunningNetChange, undecorated" \
    bash -c "i686-w64-mingw32-objdump -p '$work/actions.dll' | grep -qE '^\s+\[\s*[0-9]+\] EndRunningNetChange$'"

finish
