#!/usr/bin/env bash
# Signs one file in place with the release's code-signing certificate:
# Authenticode with SHA-256, for a program, a DLL, an NSIS setup or
# uninstaller, or a Windows Installer package. The build calls it for every
# file it ships when NETCHANGE_SIGN_PFX names the certificate; with
# NETCHANGE_SIGNATURES_DIR it also keeps each signature there, taken out of
# the signed file as NAME.sig, for publishing beside the release.
# With NETCHANGE_ATTACH_SIGNATURES naming a folder of such published
# signatures it signs nothing: it attaches NAME.sig from there, which gives
# the signed file itself where this file is the one that was signed.
#   NETCHANGE_SIGN_PFX=cert.pfx [NETCHANGE_SIGN_PASSWORD_FILE=password.txt]
#   [NETCHANGE_SIGN_TIMESTAMP_URL=http://...] [NETCHANGE_SIGNATURES_DIR=dir] sign.sh FILE [NAME]
#   NETCHANGE_ATTACH_SIGNATURES=dir [NETCHANGE_SIGN_CAFILE=ca.crt] sign.sh FILE [NAME]
# NAME is the file's name in the release (default: FILE's own name).
set -euo pipefail
file=$1
name=${2:-$(basename "$file")}
signed="$file.signed"
rm -f "$signed"
if [ -n "${NETCHANGE_ATTACH_SIGNATURES:-}" ]; then
    # osslsigncode checks the signature first: against the system's
    # certificate authorities, or NETCHANGE_SIGN_CAFILE's.
    osslsigncode attach-signature -sigin "$NETCHANGE_ATTACH_SIGNATURES/$name.sig" \
        ${NETCHANGE_SIGN_CAFILE:+-CAfile "$NETCHANGE_SIGN_CAFILE"} -in "$file" -out "$signed" >/dev/null
    mv -f "$signed" "$file"
    exit 0
fi
: "${NETCHANGE_SIGN_PFX:?names the PKCS#12 file of the code-signing certificate}"
args=(sign -pkcs12 "$NETCHANGE_SIGN_PFX" -h sha256 -n "VELMOR 隔离卡参数设置")
if [ -n "${NETCHANGE_SIGN_PASSWORD_FILE:-}" ]; then
    args+=(-readpass "$NETCHANGE_SIGN_PASSWORD_FILE")
fi
# A timestamp keeps the signature valid after the certificate expires.
if [ -n "${NETCHANGE_SIGN_TIMESTAMP_URL:-}" ]; then
    args+=(-ts "$NETCHANGE_SIGN_TIMESTAMP_URL")
fi
osslsigncode "${args[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
if [ -n "${NETCHANGE_SIGNATURES_DIR:-}" ]; then
    mkdir -p "$NETCHANGE_SIGNATURES_DIR"
    rm -f "$NETCHANGE_SIGNATURES_DIR/$name.sig"
    osslsigncode extract-signature -in "$file" -out "$NETCHANGE_SIGNATURES_DIR/$name.sig" >/dev/null
fi
