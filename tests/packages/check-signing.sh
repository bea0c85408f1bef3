#!/usr/bin/env bash
# A release build with a code-signing certificate signs every file it ships.
#   check-signing.sh build <source folder> <work folder>
#     makes a throwaway CA and code-signing certificate, builds both programs,
#     the custom action's DLL, the setup (with its uninstaller) and the
#     Windows Installer package with it into the work folder, and checks each
#     against the CA; a file changed after signing must fail the check.
#   check-signing.sh install <source folder> <work folder>
#     installs that signed setup under Wine and checks the files it put in
#     place (32-bit code: skipped, code 77, where it cannot run).
set -u
mode=$1
root=$2
out=$3
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

verify() { # file: the signature, SHA-256 throughout, and its chain up to the throwaway CA
    local result digests
    result=$(osslsigncode verify -CAfile "$out/ca.crt" -in "$1" 2>&1)
    digests=$(sed -n 's/^Message digest algorithm *: *//p' <<<"$result" | sort -u | tr '\n' ' ')
    echo "$result" | grep '^Signature verification' | sed "s|^|    $(basename "$1"): digests ${digests:-none}| "
    grep -qx 'Signature verification: ok' <<<"$result" && [ "$digests" = "SHA256 " ]
}

build() {
    rm -rf "$out"
    mkdir -p "$out"
    cd "$out" || exit 1
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 -subj "/CN=NetChange test CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=VELMOR test signer" 2>/dev/null
    printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
    openssl x509 -req -in signer.csr -CA ca.crt -CAkey ca.key -CAcreateserial -out signer.crt -days 2 \
        -extfile signer.ext 2>/dev/null
    printf 'throwaway %s' "$RANDOM" >password.txt
    openssl pkcs12 -export -out signer.pfx -inkey signer.key -in signer.crt -certfile ca.crt \
        -passout file:password.txt
    expect "a throwaway code-signing certificate" test -s signer.pfx
    # Taken from a folder whose name no shell may expand.
    local keys="$out/keys \$HOME \`false\`"
    mkdir "$keys" && cp signer.pfx password.txt "$keys/"

    local arch targets
    for arch in i686 x86_64; do
        targets=(NetChange)
        [ "$arch" = i686 ] && targets+=(setup msi_package)
        cmake -S "$root" -B "$out/$arch" -DCMAKE_BUILD_TYPE=MinSizeRel \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" -DNETCHANGE_TESTS=OFF \
            -DNETCHANGE_PACKAGE_DIR="$out/packages" -DNETCHANGE_SIGN_PFX="$keys/signer.pfx" \
            -DNETCHANGE_SIGN_PASSWORD_FILE="$keys/password.txt" >"$out/$arch.log" 2>&1 &&
            cmake --build "$out/$arch" -j"$(nproc)" --target "${targets[@]}" >>"$out/$arch.log" 2>&1 ||
            { cat "$out/$arch.log"; fail "the signed $arch build failed"; finish; }
    done
    # The uninstaller as the setup carries it, signed before it was embedded.
    (cd "$out/packages" && 7z e -y NetChange-*-setup.exe uninst.exe >/dev/null 2>&1)

    local file
    for file in "$out/i686/NetChange.exe" "$out/x86_64/NetChange.exe" "$out/i686/NetChangeMsiActions.dll" \
        "$out/packages/uninst.exe" "$out"/packages/NetChange-*-setup.exe "$out"/packages/NetChange-*.msi; do
        expect "signed: ${file#"$out"/}" verify "$file"
    done
    # Changed after signing: one byte of the program's code.
    cp "$out/i686/NetChange.exe" "$work/tampered.exe"
    printf '\x90' | dd of="$work/tampered.exe" bs=1 seek=4096 conv=notrunc status=none
    if verify "$work/tampered.exe"; then
        fail "a file changed after signing passes the check"
    else
        pass "a file changed after signing fails the check"
    fi
    finish
}

install() {
    source "$root/scripts/wine-env.sh"
    if [ -f "$NETCHANGE_WINE_STATE/no-i386" ]; then
        echo "SKIPPED: the 32-bit setup cannot run here: $(cat "$NETCHANGE_WINE_STATE/no-i386")"
        exit 77
    fi
    local setup folder=signed-install
    setup=$(ls "$out"/packages/NetChange-*-setup.exe)
    local dir="$WINEPREFIX/drive_c/$folder"
    rm -rf "$dir"
    "${WINE[@]}" "$setup" /S "/D=C:\\$folder" </dev/null >/dev/null 2>&1
    expect "the signed setup installed silently" test -f "$dir/NetChange.exe"
    expect "installed and signed: NetChange.exe" verify "$dir/NetChange.exe"
    expect "installed and signed: uninst.exe" verify "$dir/uninst.exe"
    # What the setup registered goes with the folder.
    local windows='HKLM\Software\Microsoft\Windows\CurrentVersion'
    "${WINE[@]}" reg delete "$windows\Uninstall\VELMORNETCHANGE" /f /reg:32 </dev/null >/dev/null 2>&1
    "${WINE[@]}" reg delete "$windows\Run" /v VELMORNETCHANGE /f /reg:32 </dev/null >/dev/null 2>&1
    rm -rf "$dir" "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VELMOR"
    finish
}

case "$mode" in
    build | install) "$mode" ;;
    *) echo "usage: $0 build|install <source folder> <work folder>" >&2; exit 2 ;;
esac
