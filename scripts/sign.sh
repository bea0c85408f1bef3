#!/usr/bin/env bash
# Signs one file in place with the release's code-signing certificate:
# Authenticode with SHA-256, for a program, a DLL, an NSIS setup or
# uninstaller, or a Windows Installer package. The build calls it for every
# file it ships when NETCHANGE_SIGN_PFX names the certificate.
#   NETCHANGE_SIGN_PFX=cert.pfx [NETCHANGE_SIGN_PASSWORD_FILE=password.txt]
#   [NETCHANGE_SIGN_TIMESTAMP_URL=http://...] sign.sh FILE
set -euo pipefail
file=$1
: "${NETCHANGE_SIGN_PFX:?names the PKCS#12 file of the code-signing certificate}"
args=(sign -pkcs12 "$NETCHANGE_SIGN_PFX" -h sha256 -n "VELMOR 隔离卡参数设置")
if [ -n "${NETCHANGE_SIGN_PASSWORD_FILE:-}" ]; then
    args+=(-readpass "$NETCHANGE_SIGN_PASSWORD_FILE")
fi
# A timestamp keeps the signature valid after the certificate expires.
if [ -n "${NETCHANGE_SIGN_TIMESTAMP_URL:-}" ]; then
    args+=(-ts "$NETCHANGE_SIGN_TIMESTAMP_URL")
fi
signed="$file.signed"
rm -f "$signed"
osslsigncode "${args[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
