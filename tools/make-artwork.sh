#!/usr/bin/env bash
# Regenerates every picture of NetChange under res/:
#
#   res/panel.bmp            1005  main dialog skin, 522x344, 32 bpp, opaque
#   res/button_settings.bmp  1006  button strip "设置", 444x44 (4 faces), 32 bpp
#   res/button_about.bmp     1008  button strip "关于", 444x44 (4 faces), 32 bpp
#   res/button_quit.bmp      1009  button strip "退出", 444x44 (4 faces), 32 bpp
#   res/flag.bmp             1002  48x48 green tile with a white 内, 24 bpp
#   res/flag96.bmp           1010  the same flag drawn at 96x96, 24 bpp
#   res/flag144.bmp          1011  the same flag drawn at 144x144, 24 bpp
#   res/NetChange.ico         128  window icon, 16/20/24/32/40/48/64 px, 32 bpp with alpha
#   res/tray.ico             1003  tray icon: 32x32 in 16 colours (4 bpp), then
#                                  16/20/24/32/40/48/64 px, 32 bpp with alpha
#
# The icons carry an image for every size Windows asks for between 100 %
# and 300 % scaling (small icons 16 to 48 px, large ones 32 to 64 px).
#
# Needs only Debian packages: imagemagick (im6), fonts-wqy-zenhei, python3.
#
#   bash tools/make-artwork.sh                     regenerate and verify
#   bash tools/make-artwork.sh --preview OUT.png   also render a contact sheet
#                                                  (keep it out of the repo)
#   bash tools/make-artwork.sh --out DIR           write into DIR instead of res/
#
# Button strips hold four 111x44 faces, left to right:
#   0 disabled, 1 normal, 2 pressed, 3 highlighted (focus / hover).
# All BMPs use a plain 40-byte BITMAPINFOHEADER with BI_RGB; 32-bpp ones
# carry alpha 255 on every pixel.
set -euo pipefail

PREVIEW=""
OUT=""
while [ $# -gt 0 ]; do
    case "$1" in
        --preview) PREVIEW="${2:?--preview needs a file name}"; shift 2 ;;
        --out) OUT="${2:?--out needs a folder}"; shift 2 ;;
        -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
        *) echo "make-artwork: unknown argument: $1" >&2; exit 2 ;;
    esac
done

die() { echo "make-artwork: $*" >&2; exit 1; }

# --- tools -------------------------------------------------------------------
# /usr/local/bin/convert may be a wrapper; use the real im6 binary.
CONVERT=""
for c in convert-im6.q16 /usr/bin/convert-im6.q16 /usr/bin/convert; do
    if command -v "$c" >/dev/null 2>&1; then CONVERT="$(command -v "$c")"; break; fi
done
[ -n "$CONVERT" ] || die "ImageMagick (im6) not found: apt-get install imagemagick"
PY=""
for p in /usr/bin/python3 python3; do
    if command -v "$p" >/dev/null 2>&1; then PY="$(command -v "$p")"; break; fi
done
[ -n "$PY" ] || die "python3 not found: apt-get install python3"
FONT=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
[ -f "$FONT" ] || die "font missing: $FONT (apt-get install fonts-wqy-zenhei)"

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RES="${OUT:-$ROOT/res}"
mkdir -p "$RES"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

im() { "$CONVERT" "$@"; }

# Write a fully opaque 32-bpp BI_RGB BMP with a 40-byte header.
write_bmp32() {  # in out
    im "$1" -background "$PANEL_BG" -alpha remove -alpha set \
        -channel A -evaluate set 100% +channel \
        -type TrueColorAlpha -define bmp3:alpha=true "BMP3:$2"
}
# Write a 24-bpp BI_RGB BMP with a 40-byte header.
write_bmp24() {  # in out
    im "$1" -alpha off -type TrueColor "BMP3:$2"
}

# --- palette -----------------------------------------------------------------
PANEL_BG='#EEF3EE'      # body and right button column (flat, buttons blend in)
HEAD_TOP='#5FA06E'      # header gradient
HEAD_BOT='#3D7A4D'
HEAD_LINE='#A9D2B2'     # accent line under the header
FRAME_FILL='#FBFDFB'    # instruction frame
FRAME_EDGE='#C3D4C6'
FRAME_SHADOW='#DFE7E0'
FOOT_BG='#E0E9E2'
FOOT_LINE='#C6D5C9'
FOOT_TEXT='#5C7262'
MARK_GREEN='#4A8C5A'

W=522; H=344

# --- panel.bmp ---------------------------------------------------------------
# Header 0..69, accent line 70..71, body, instruction frame 22..388 x 86..250,
# quiet right column 394..505, footer 300..343.
im -size 522x70 "gradient:$HEAD_TOP-$HEAD_BOT" "$TMP/head.png"

# Faint oversized diamonds at the right end of the header.
im -size 522x70 xc:none -fill none -stroke 'rgba(255,255,255,0.10)' -strokewidth 2 \
    -draw "polygon 470,-40 550,35 470,110 390,35" \
    -draw "polygon 420,-20 475,35 420,90 365,35" \
    "$TMP/head-deco.png"

im -size ${W}x${H} "xc:$PANEL_BG" \
    "$TMP/head.png" -geometry +0+0 -composite \
    "$TMP/head-deco.png" -geometry +0+0 -composite \
    -fill "$HEAD_LINE" -draw "rectangle 0,70 521,70" \
    -fill '#D3E3D6' -draw "rectangle 0,71 521,71" \
    \
    -fill none -stroke '#FFFFFF' -strokewidth 0 \
    -fill '#FFFFFF' -draw "polygon 22,35 40,17 40,53" \
    -fill '#C4E6CC' -draw "polygon 44,17 62,35 44,53" \
    -stroke none \
    -font "$FONT" \
    -fill '#FFFFFF' -stroke '#FFFFFF' -strokewidth 0.7 -pointsize 25 -kerning 3 \
    -annotate +76+35 'VELMOR' \
    -stroke none -kerning 1 -fill '#E2F3E6' -pointsize 13 \
    -annotate +77+56 '隔离卡参数设置' \
    \
    -fill "$FRAME_SHADOW" -draw "roundrectangle 22,88 389,252 8,8" \
    -fill "$FRAME_FILL" -stroke "$FRAME_EDGE" -strokewidth 1 \
    -draw "roundrectangle 22.5,86.5 388.5,250.5 8,8" \
    -stroke none \
    \
    -fill "$FOOT_BG" -draw "rectangle 0,300 521,343" \
    -fill "$FOOT_LINE" -draw "rectangle 0,300 521,300" \
    -fill '#F6F9F6' -draw "rectangle 0,301 521,301" \
    -fill "$MARK_GREEN" -draw "polygon 22,322 29,315 29,329" \
    -fill '#8DBF98' -draw "polygon 31,315 38,322 31,329" \
    -fill "$FOOT_TEXT" -pointsize 12 -kerning 0.5 \
    -annotate +46+327 'VELMOR 网络隔离卡' \
    "$TMP/panel.png"
write_bmp32 "$TMP/panel.png" "$RES/panel.bmp"

# --- button strips -----------------------------------------------------------
# face STATE CAPTION OUT
#   STATE: disabled | normal | pressed | hot
face() {
    local state="$1" caption="$2" out="$3"
    local top bot edge text hl shadow dx=0 dy=0
    case "$state" in
        disabled) top='#DCE1DD'; bot='#CDD3CE'; edge='#B4BCB6'; text='#9BA59D'
                  hl='rgba(255,255,255,0.55)'; shadow='none' ;;
        normal)   top='#5FA26F'; bot='#3E7F4F'; edge='#2E6A3E'; text='#FFFFFF'
                  hl='rgba(255,255,255,0.35)'; shadow='rgba(20,60,30,0.45)' ;;
        pressed)  top='#3A7349'; bot='#336A41'; edge='#245636'; text='#E8F4EA'
                  hl='rgba(0,0,0,0.22)'; shadow='rgba(10,40,20,0.55)'; dx=1; dy=1 ;;
        hot)      top='#7BC08A'; bot='#52985F'; edge='#3A7D4A'; text='#FFFFFF'
                  hl='rgba(255,255,255,0.50)'; shadow='rgba(20,60,30,0.40)' ;;
        *) die "bad face state $state" ;;
    esac
    # rounded body: gradient clipped by a rounded-rectangle mask
    im -size 105x38 "gradient:$top-$bot" "$TMP/g.png"
    im -size 105x38 xc:black -fill white -draw "roundrectangle 0,0 104,37 7,7" "$TMP/m.png"
    im "$TMP/g.png" "$TMP/m.png" -alpha off -compose CopyOpacity -composite "$TMP/body.png"

    local cmd=( -size 111x44 "xc:$PANEL_BG" )
    # soft drop shadow below the button (not for disabled / pressed)
    if [ "$state" = normal ] || [ "$state" = hot ]; then
        cmd+=( -fill 'rgba(40,80,50,0.18)' -draw "roundrectangle 3,5 107,42 7,7" )
    fi
    cmd+=( "$TMP/body.png" -geometry +3+3 -composite
           -fill none -stroke "$edge" -strokewidth 1
           -draw "roundrectangle 3.5,3.5 107.5,40.5 7,7" -stroke none )
    # inner top line: light bevel, or dark inset when pressed
    if [ "$state" = pressed ]; then
        cmd+=( -fill "$hl" -draw "rectangle 9,5 101,5" -draw "rectangle 7,6 103,6" )
    else
        cmd+=( -fill "$hl" -draw "rectangle 10,4 100,4" )
    fi
    cmd+=( -font "$FONT" -pointsize 17 -gravity center -kerning 4 )
    if [ "$shadow" != none ]; then
        cmd+=( -fill "$shadow" -annotate "+$((dx))+$((dy + 1))" "$caption" )
    fi
    cmd+=( -fill "$text" -stroke "$text" -strokewidth 0.35
           -annotate "+$dx+$dy" "$caption" -stroke none )
    im "${cmd[@]}" "$out"
}

strip() {  # caption out
    local s i=0
    for s in disabled normal pressed hot; do
        face "$s" "$1" "$TMP/face$i.png"; i=$((i + 1))
    done
    im "$TMP/face0.png" "$TMP/face1.png" "$TMP/face2.png" "$TMP/face3.png" +append "$TMP/strip.png"
    write_bmp32 "$TMP/strip.png" "$2"
    cp "$TMP/strip.png" "$TMP/$(basename "$2" .bmp).png"
}
strip '设置' "$RES/button_settings.bmp"
strip '关于' "$RES/button_about.bmp"
strip '退出' "$RES/button_quit.bmp"

# --- flag.bmp, flag96.bmp, flag144.bmp -----------------------------------------
# One design at 48 px and at two and three times that, every length scaled,
# so that the flag at 200 % and 300 % is drawn, not blown up.
flag() {  # scale out
    local k=$1 s=$(( 48 * $1 )) near far stroke
    near=$(awk -v k="$k" 'BEGIN { printf "%g", k / 2 }')
    far=$(awk -v k="$k" 'BEGIN { printf "%g", 48 * k - k / 2 }')
    stroke=$(awk -v k="$k" 'BEGIN { printf "%g", 1.6 * k }')
    im -size ${s}x${s} "xc:#3F8A4F" \
        -fill none -stroke '#2B6638' -strokewidth "$k" -draw "rectangle $near,$near $far,$far" \
        -fill 'rgba(255,255,255,0.18)' -stroke none -draw "rectangle $k,$k $(( 47 * k - 1 )),$(( 2 * k - 1 ))" \
        -font "$FONT" -pointsize $(( 40 * k )) -gravity center \
        -fill 'rgba(0,40,10,0.35)' -stroke 'rgba(0,40,10,0.35)' -strokewidth "$stroke" -annotate +$k+$(( 2 * k )) '内' \
        -fill '#FFFFFF' -stroke '#FFFFFF' -strokewidth "$stroke" -annotate +0+$k '内' \
        "$TMP/flag$s.png"
    write_bmp24 "$TMP/flag$s.png" "$2"
}
flag 1 "$RES/flag.bmp"
flag 2 "$RES/flag96.bmp"
flag 3 "$RES/flag144.bmp"

# --- NetChange.ico (window icon) --------------------------------------------
# Green rounded square carrying the split diamond of the logo. Each size is
# drawn from its own geometry at 8x and reduced, so 16 px stays crisp.
# ImageMagick puts pixel centres on integer coordinates; e N gives the
# drawing coordinate of the pixel edge N, so shapes land on whole pixels.
e() { echo "$(( $1 - 1 )).5"; }
emblem() {  # size out
    local s="$1" k=8 S r m c g
    S=$(( s * k ))
    # corner radius, margin, centre, half-gap
    case "$s" in
        16) r=3;  m=0; g=2 ;;
        20) r=4;  m=0; g=2 ;;
        24) r=5;  m=1; g=2 ;;
        32) r=6;  m=1; g=2 ;;
        40) r=8;  m=1; g=3 ;;
        48) r=9;  m=1; g=4 ;;
        64) r=12; m=1; g=4 ;;
        *) die "bad icon size $s" ;;
    esac
    local lo=$(( m * k )) hi=$(( (s - m) * k - 1 )) R=$(( r * k ))
    c=$(( S / 2 ))
    local d=$(( (s * 33 / 100) * k ))            # diamond half-size
    [ "$s" = 16 ] && d=$(( 6 * k ))
    local G=$(( g * k / 2 ))                    # half of the gap
    local L=$(( c - G )) Rr=$(( c + G ))
    im -size ${S}x${S} xc:none \
        -fill '#2F6A3E' -draw "roundrectangle $lo,$lo $hi,$hi $R,$R" \
        -fill '#4C9A5E' -draw "roundrectangle $((lo + k)),$((lo + k)) $((hi - k)),$((hi - k)) $((R - k)),$((R - k))" \
        -fill '#FFFFFF' -draw "polygon $(e $((c - d))),$(e $c) $(e $L),$(e $((c - d + G))) $(e $L),$(e $((c + d - G)))" \
        -fill '#CDEFD5' -draw "polygon $(e $((c + d))),$(e $c) $(e $Rr),$(e $((c - d + G))) $(e $Rr),$(e $((c + d - G)))" \
        -filter Box -resize ${s}x${s} "$2"
}
ICON_SIZES="16 20 24 32 40 48 64"
for s in $ICON_SIZES; do emblem "$s" "$TMP/i$s.png"; done
im $(for s in $ICON_SIZES; do echo "$TMP/i$s.png"; done) -type TrueColorAlpha "ICO:$RES/NetChange.ico"

# --- tray.ico ----------------------------------------------------------------
# First the 32x32, 4-bpp image with an AND mask that XP-era shells take. ImageMagick picks the ICO bit depth
# from the colour count, so the entry is assembled here from a fixed 16-colour
# palette instead: a crisp red 内 with a 1px maroon outline on a transparent
# background, readable on light and dark taskbars alike.
im -size 32x32 xc:black -font "$FONT" -pointsize 28 -gravity center \
    -fill white -stroke white -strokewidth 0.5 -annotate +0+0 '内' \
    -threshold 50% -depth 8 "$TMP/tray-glyph.png"
im "$TMP/tray-glyph.png" -morphology Dilate Diamond:1 "$TMP/tray-edge.png"
im "$TMP/tray-glyph.png" -depth 8 "GRAY:$TMP/tray-glyph.gray"
im "$TMP/tray-edge.png" -depth 8 "GRAY:$TMP/tray-edge.gray"
# Then one full-colour image for each size: the same red 内 with its maroon
# edge, drawn at four times the size and reduced, so that the strokes keep
# their weight at 16 px.
for s in $ICON_SIZES; do
    S=$(( s * 4 ))
    im -size ${S}x${S} xc:none -font "$FONT" -pointsize $(( S * 7 / 8 )) -gravity center \
        -fill '#800000' -stroke '#800000' -strokewidth $(( S / 10 )) -annotate +0+0 '内' \
        -fill '#FF0000' -stroke '#FF0000' -strokewidth $(( S / 64 + 1 )) -annotate +0+0 '内' \
        -filter Box -resize ${s}x${s} -depth 8 "RGBA:$TMP/tray$s.rgba"
done
"$PY" - "$TMP/tray-glyph.gray" "$TMP/tray-edge.gray" "$RES/tray.ico" "$TMP" $ICON_SIZES <<'EOF'
import struct, sys
glyph, edge, dst, tmp = sys.argv[1:5]
sizes = [int(s) for s in sys.argv[5:]]
W = H = 32
gl = open(glyph, 'rb').read()
ed = open(edge, 'rb').read()
assert len(gl) == len(ed) == W * H, (len(gl), len(ed))
# classic 16-colour palette (index 0 black doubles as "transparent")
pal = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),
       (0,128,128),(192,192,192),(128,128,128),(255,0,0),(0,255,0),
       (255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
RED, MAROON = 9, 1
idx = [[0] * W for _ in range(H)]
mask = [[1] * W for _ in range(H)]
for y in range(H):
    for x in range(W):
        i = y * W + x
        if gl[i] >= 128:
            idx[y][x], mask[y][x] = RED, 0
        elif ed[i] >= 128:
            idx[y][x], mask[y][x] = MAROON, 0
xor = bytearray()
andm = bytearray()
for y in range(H - 1, -1, -1):          # bottom-up rows
    row = idx[y]
    for x in range(0, W, 2):
        xor.append((row[x] << 4) | row[x + 1])
    bits = 0
    for x in range(W):
        bits = (bits << 1) | mask[y][x]
    andm += struct.pack('>I', bits)      # 32 px -> 4 bytes, already aligned
palb = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in pal)
hdr = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
images = [(W, 16, 4, hdr + palb + bytes(xor) + bytes(andm))]
for n in sizes:
    rgba = open(f'{tmp}/tray{n}.rgba', 'rb').read()
    assert len(rgba) == n * n * 4
    colour = bytearray()
    for y in range(n - 1, -1, -1):
        for x in range(n):
            r, g, b, a = rgba[(y * n + x) * 4:(y * n + x) * 4 + 4]
            colour += bytes((b, g, r, a))
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(stride)
        for x in range(n):
            if rgba[(y * n + x) * 4 + 3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    head = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    images.append((n, 0, 32, head + bytes(colour) + bytes(mask)))
ico = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for n, colours, bits, img in images:
    ico += struct.pack('<BBBBHHII', n, n, colours, 0, 1, bits, len(img), offset)
    offset += len(img)
open(dst, 'wb').write(ico + b''.join(img for _, _, _, img in images))
EOF

# --- verification ------------------------------------------------------------
"$PY" - "$RES" <<'EOF'
import struct, sys, os
res = sys.argv[1]
fail = []
def check(cond, msg):
    if not cond:
        fail.append(msg)
    return cond

def bmp(name, w, h, bpp):
    p = os.path.join(res, name)
    d = open(p, 'rb').read()
    ok = check(d[:2] == b'BM', f'{name}: no BM signature')
    bfsize, off = struct.unpack_from('<I4xI', d, 2)
    bisize, bw, bh, planes, bits, comp, simg = struct.unpack_from('<IiiHHII', d, 14)
    stride = ((bw * bits + 31) // 32) * 4
    ok &= check(bisize == 40, f'{name}: header size {bisize}, want 40')
    ok &= check((bw, bh) == (w, h), f'{name}: {bw}x{bh}, want {w}x{h} (bottom-up)')
    ok &= check(bits == bpp, f'{name}: {bits} bpp, want {bpp}')
    ok &= check(planes == 1, f'{name}: planes {planes}')
    ok &= check(comp == 0, f'{name}: compression {comp}, want BI_RGB')
    ok &= check(off == 54, f'{name}: pixel offset {off}, want 54')
    ok &= check(len(d) == 54 + stride * h == bfsize, f'{name}: file size {len(d)} / {bfsize}, want {54 + stride*h}')
    extra = ''
    if bpp == 32 and ok:
        alpha = d[54 + 3::4]
        ok &= check(len(alpha) == w * h and min(alpha) == 255, f'{name}: alpha not 255 everywhere')
        extra = ', alpha 255 everywhere'
    print(f'{"ok  " if ok else "FAIL"} res/{name}: BMP {bw}x{bh}, {bits} bpp, BI_RGB, {bisize}-byte header, {len(d)} bytes{extra}')

def ico(name, want):
    p = os.path.join(res, name)
    d = open(p, 'rb').read()
    rsv, typ, n = struct.unpack_from('<HHH', d, 0)
    ok = check((rsv, typ) == (0, 1), f'{name}: not an icon file')
    ok &= check(n == len(want), f'{name}: {n} images, want {len(want)}')
    descr = []
    for i in range(n):
        bw, bh, cc, _, planes, bits, size, off = struct.unpack_from('<BBBBHHII', d, 6 + 16 * i)
        w = bw or 256; h = bh or 256
        ok &= check(d[off:off + 8] != b'\x89PNG\r\n\x1a\n', f'{name}#{i}: PNG-compressed entry')
        bisize, iw, ih, ipl, ibits, icomp = struct.unpack_from('<IiiHHI', d, off)
        ok &= check(bisize == 40, f'{name}#{i}: header size {bisize}')
        ok &= check((iw, ih) == (w, 2 * h), f'{name}#{i}: dib {iw}x{ih} for {w}x{h}')
        ok &= check(icomp == 0, f'{name}#{i}: compression {icomp}')
        ok &= check(off + size <= len(d), f'{name}#{i}: truncated')
        if i < len(want):
            ww, wb, wcc = want[i]
            ok &= check((w, h) == (ww, ww), f'{name}#{i}: {w}x{h}, want {ww}x{ww}')
            ok &= check(ibits == wb, f'{name}#{i}: biBitCount {ibits}, want {wb}')
            if wb <= 8:
                ok &= check(bits == wb and cc == wcc, f'{name}#{i}: dir entry bits {bits} colours {cc}, want {wb}/{wcc}')
            # Colour rows, then mask rows, each padded to 4 bytes: Windows
            # reads that many whatever the file holds.
            pal = 1 << wb if wb <= 8 else 0
            xor = ((w * wb + 31) // 32) * 4 * h
            andm = ((w + 31) // 32) * 4 * h
            ok &= check(size == 40 + 4 * pal + xor + andm, f'{name}#{i}: entry size {size}, want {40 + 4 * pal + xor + andm}')
        descr.append(f'{w}x{h}/{ibits}bpp' + (f'/{cc}col' if cc else ''))
    print(f'{"ok  " if ok else "FAIL"} res/{name}: ICO, {n} image(s): {", ".join(descr)}, 40-byte DIB headers, no PNG entries')

bmp('panel.bmp', 522, 344, 32)
for n in ('button_settings.bmp', 'button_about.bmp', 'button_quit.bmp'):
    bmp(n, 444, 44, 32)
bmp('flag.bmp', 48, 48, 24)
bmp('flag96.bmp', 96, 96, 24)
bmp('flag144.bmp', 144, 144, 24)
ico('NetChange.ico', [(n, 32, 0) for n in (16, 20, 24, 32, 40, 48, 64)])
ico('tray.ico', [(32, 4, 16)] + [(n, 32, 0) for n in (16, 20, 24, 32, 40, 48, 64)])
if fail:
    for f in fail:
        print('error:', f, file=sys.stderr)
    sys.exit(1)
EOF

# ImageMagick's own reading of the results, as a cross-check.
for f in panel.bmp button_settings.bmp button_about.bmp button_quit.bmp flag.bmp flag96.bmp flag144.bmp NetChange.ico tray.ico; do
    im "$RES/$f" -format "%m %wx%h %r, depth %z\n" info: | sed "s|^|     imagemagick reads res/$f: |"
done

# --- optional contact sheet --------------------------------------------------
if [ -n "$PREVIEW" ]; then
    # panel with the normal button faces placed where the dialog draws them
    im "$RES/panel.bmp" -alpha off \
        \( "$RES/button_settings.bmp" -crop 111x44+111+0 +repage \) -geometry +394+85 -composite \
        \( "$RES/button_about.bmp"    -crop 111x44+111+0 +repage \) -geometry +394+158 -composite \
        \( "$RES/button_quit.bmp"     -crop 111x44+111+0 +repage \) -geometry +394+232 -composite \
        -font "$FONT" -pointsize 15 -fill 'rgb(64,128,64)' \
        -annotate +36+113 '示例文字：第一行说明' \
        -annotate +36+143 '示例文字：第二行说明，较长的一行示例' \
        -annotate +52+174 '示例文字：第三行，缩进' \
        -annotate +36+204 '示例文字：第四行说明，最长的一行示例文字' \
        -annotate +36+235 '示例文字：第五行说明，较长一行' \
        "$TMP/pv-panel.png"
    im "$RES/button_settings.bmp" "$RES/button_about.bmp" "$RES/button_quit.bmp" \
        -alpha off -background "$PANEL_BG" -splice 0x6 -append -scale 200% "$TMP/pv-strips.png"
    # icons enlarged, each centred in a 210x210 cell; the tray icon is
    # shown once on white and once on a dark taskbar colour
    cell() {  # out input [options...]
        local out="$1"; shift
        im "$@" -gravity center -extent 210x210 -bordercolor '#9AA39C' -border 4x0 "$out"
    }
    cell "$TMP/pv-1.png" "$RES/flag.bmp" -scale 400% -background white
    cell "$TMP/pv-2.png" "$RES/NetChange.ico[0]" -scale 800% -background white
    cell "$TMP/pv-3.png" "$RES/NetChange.ico[1]" -scale 400% -background white
    cell "$TMP/pv-4.png" "$RES/NetChange.ico[2]" -scale 400% -background white
    cell "$TMP/pv-5.png" "$RES/tray.ico" -scale 400% -background white
    cell "$TMP/pv-6.png" "$RES/tray.ico" -scale 400% -background '#1F2A44'
    im "$TMP"/pv-[1-6].png -gravity northwest +append "$TMP/pv-icons.png"
    im -background '#9AA39C' "$TMP/pv-panel.png" "$TMP/pv-strips.png" "$TMP/pv-icons.png" \
        -gravity northwest -splice 0x12 -append -bordercolor '#9AA39C' -border 12 "$PREVIEW"
    echo "preview: $PREVIEW"
fi
