#!/usr/bin/env bash
# Draws the pictures of the demo manual's pages with ffmpeg:
#
#   make-pictures.sh OUTDIR
#
# Writes OUTDIR/images/ and OUTDIR/ustroistvo.files/; the build copies OUTDIR over the pack's
# pages, so the paths here are the paths the pages name. Every picture is a simple labelled
# diagram in one palette: BMP pictures are 24-bit, GIF pictures use a palette made from the
# picture, JPEG pictures are baseline JPEG. Running it again draws the same files again.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: make-pictures.sh OUTDIR" >&2
    exit 2
fi
out=$1
mkdir -p "$out/images" "$out/ustroistvo.files"

FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
for f in "$FONT" "$BOLD"; do
    [ -f "$f" ] || { echo "make-pictures.sh: font $f is missing (package fonts-dejavu-core)" >&2; exit 1; }
done

# The palette.
PAPER=F4F1E8   # background
INK=1F3A5F     # outlines and text
RED=C0392B     # warnings, second brake circuit
STEEL=8A9BA8   # metal parts
SKY=AFC8DD     # coolant, glass
ORANGE=E39B2D  # oil, fuel
GREEN=4A8C5C   # first brake circuit, "good"
PALE=DCE3E8    # light fills
WHITE=FFFFFF

# A picture is a chain of filters collected in F, drawn on a canvas of W x H pixels. Every
# coordinate and size passes through the scale SC (percent), so one drawing serves a small
# picture and its enlarged version.
F="" W=0 H=0 SC=100
s() { echo $(( $1 * SC / 100 )); }
add() { F+=",$1"; }
begin() { W=$(s "$1"); H=$(s "$2"); F="color=c=0x${3:-$PAPER}:s=${W}x${H}:d=1,format=rgb24"; }

# box X Y W H COLOUR [THICKNESS]: a filled box, or an outline of the given thickness.
box() {
    local t=fill
    [ $# -ge 6 ] && t=$(( $6 * SC / 100 > 0 ? $6 * SC / 100 : 1 ))
    add "drawbox=x=$(s "$1"):y=$(s "$2"):w=$(s "$3"):h=$(s "$4"):color=0x$5@1:t=$t"
}
# label X Y SIZE COLOUR TEXT [bold]: text without ':' ',' or quotes.
label() {
    local font=$FONT
    [ "${6:-}" = bold ] && font=$BOLD
    add "drawtext=fontfile=$font:text='$5':x=$(s "$1"):y=$(s "$2"):fontsize=$(s "$3"):fontcolor=0x$4"
}
# paint CONDITION COLOUR: colours the pixels where the geq condition holds.
paint() {
    local c=$2
    local r=$((16#${c:0:2})) g=$((16#${c:2:2})) b=$((16#${c:4:2}))
    add "format=gbrp,geq=r='if($1,$r,r(X,Y))':g='if($1,$g,g(X,Y))':b='if($1,$b,b(X,Y))',format=rgb24"
}
# disc CX CY R COLOUR; ring CX CY R WIDTH COLOUR
disc() { paint "lte(hypot(X-$(s "$1"),Y-$(s "$2")),$(s "$3"))" "$4"; }
ring() {
    local w=$(( $4 * SC / 100 > 0 ? $4 * SC / 100 : 1 ))
    paint "between(hypot(X-$(s "$1"),Y-$(s "$2")),$(s "$3")-$w,$(s "$3"))" "$5"
}
# line X1 Y1 X2 Y2 WIDTH COLOUR: a segment of any direction.
line() {
    local x1 y1 dx dy l2 w
    x1=$(s "$1") y1=$(s "$2") dx=$(( $(s "$3") - $(s "$1") )) dy=$(( $(s "$4") - $(s "$2") ))
    l2=$(( dx * dx + dy * dy )); [ "$l2" -gt 0 ] || l2=1
    w=$(( $5 * SC / 100 > 0 ? $5 * SC / 100 : 1 ))
    local t="clip(((X-$x1)*$dx+(Y-$y1)*$dy)/$l2,0,1)"
    paint "lte(hypot(X-$x1-$t*$dx,Y-$y1-$t*$dy),$w/2+0.3)" "$6"
}
# triangle pointing up: CX TOP HEIGHT COLOUR
triangle() {
    local cx top h
    cx=$(s "$1") top=$(s "$2") h=$(s "$3")
    paint "gte(Y,$top)*lte(Y,$top+$h)*lte(abs(X-$cx),(Y-$top)*0.58)" "$4"
}
# frame: a thin outline round the picture and a caption strip at the bottom.
frame() {
    add "drawbox=x=0:y=0:w=$W:h=$H:color=0x$INK@1:t=$(( SC >= 200 ? 3 : 1 ))"
}

# write NAME: renders the chain into OUTDIR/NAME, the format chosen by the extension.
write() {
    local file=$out/$1
    local graph="$F"
    case "$1" in
        *.bmp) ffmpeg -nostdin -loglevel error -y -f lavfi -i "$graph" -frames:v 1 -pix_fmt bgr24 "$file" ;;
        *.gif) ffmpeg -nostdin -loglevel error -y -f lavfi -i "$graph" -frames:v 1 \
                   -vf "split[a][b];[a]palettegen=max_colors=64:stats_mode=single[p];[b][p]paletteuse=dither=none" \
                   "$file" ;;
        *.jpg) ffmpeg -nostdin -loglevel error -y -f lavfi -i "$graph" -frames:v 1 -pix_fmt yuvj444p -q:v 2 "$file" ;;
        *) echo "make-pictures.sh: unknown picture kind $1" >&2; exit 1 ;;
    esac
}

# ---------------------------------------------------------------------------------------------
# The title band of the first page.
logo() {
    begin 480 90 "$INK"
    paint "1" "$INK"
    add "format=gbrp,geq=r='31+X*0.30':g='58+X*0.28':b='95+X*0.25',format=rgb24"
    disc 50 45 30 "$PAPER"
    ring 50 45 22 5 "$INK"
    disc 50 45 7 "$ORANGE"
    label 95 14 30 "$WHITE" "Velbrook" bold
    label 97 54 16 "$PAPER" "Руководство по уходу и ремонту автомобиля"
    write images/logo.gif
}

# The car from the side, with its main groups.
avto_shema() {
    begin 360 180
    box 30 70 300 55 "$PALE"
    box 30 70 300 55 "$INK" 2
    box 110 30 140 42 "$SKY"
    box 110 30 140 42 "$INK" 2
    box 40 80 70 35 "$ORANGE"
    box 255 80 65 35 "$STEEL"
    disc 85 128 24 "$INK"
    disc 85 128 11 "$STEEL"
    disc 275 128 24 "$INK"
    disc 275 128 11 "$STEEL"
    label 42 60 11 "$INK" "Двигатель"
    label 150 45 12 "$INK" "Салон"
    label 252 60 11 "$INK" "Багажник"
    label 20 158 11 "$INK" "Передняя ось"
    label 240 158 11 "$INK" "Задняя ось"
    frame
    write images/avto-shema.bmp
}

# The engine in section: block, head, pistons, crankshaft.
dvigatel() {
    begin 240 180
    box 40 20 160 26 "$STEEL"
    box 40 20 160 26 "$INK" 2
    box 40 46 160 84 "$PALE"
    box 40 46 160 84 "$INK" 2
    local x
    for x in 52 90 128 166; do
        box "$x" 58 24 34 "$SKY"
        box "$x" 66 24 26 "$STEEL"
        line $((x + 12)) 92 120 140 3 "$INK"
    done
    box 40 130 160 22 "$ORANGE"
    box 40 130 160 22 "$INK" 2
    disc 120 140 9 "$INK"
    label 46 26 10 "$INK" "Головка блока"
    label 46 158 10 "$INK" "Поддон с маслом"
    label 43 100 9 "$INK" "Блок"
    frame
    write "$1"
}

# The timing belt: two camshaft pulleys, the crankshaft pulley, the tensioner.
grm() {
    begin 320 220
    ring 110 55 42 5 "$INK"
    ring 210 55 42 5 "$INK"
    ring 120 182 28 5 "$INK"
    line 110 15 210 15 5 "$INK"
    line 70 58 94 186 5 "$INK"
    line 250 58 146 188 5 "$INK"
    ring 110 55 36 6 "$STEEL"
    disc 110 55 30 "$PALE"
    disc 110 55 6 "$INK"
    ring 210 55 36 6 "$STEEL"
    disc 210 55 30 "$PALE"
    disc 210 55 6 "$INK"
    disc 120 182 23 "$STEEL"
    disc 120 182 6 "$INK"
    disc 209 128 14 "$ORANGE"
    disc 209 128 4 "$INK"
    triangle 110 22 8 "$RED"
    triangle 210 22 8 "$RED"
    triangle 120 162 8 "$RED"
    label 132 100 10 "$INK" "Распредвалы"
    label 152 190 10 "$INK" "Коленвал"
    label 228 122 10 "$INK" "Натяжитель"
    label 8 204 10 "$RED" "Метки совмещены"
    frame
    write images/grm.gif
}

# The oil dipstick with its marks.
maslo() {
    begin 320 110
    box 20 48 270 10 "$STEEL"
    box 290 40 20 26 "$INK"
    box 20 48 95 10 "$ORANGE"
    box 40 38 3 30 "$RED"
    box 100 38 3 30 "$GREEN"
    label 28 74 11 "$RED" "MIN"
    label 90 74 11 "$GREEN" "MAX"
    label 20 10 12 "$INK" "Масляный щуп - уровень между метками"
    label 150 74 10 "$INK" "Ручка щупа"
    frame
    write images/maslo.gif
}

# The cooling circuit: radiator, pump, thermostat, engine, expansion tank.
radiator() {
    begin 340 210
    box 20 40 90 130 "$SKY"
    local x
    for x in 28 38 48 58 68 78 88 98; do box "$x" 44 2 122 "$INK"; done
    box 20 40 90 130 "$INK" 2
    box 200 70 110 80 "$PALE"
    box 200 70 110 80 "$INK" 2
    box 110 60 90 8 "$RED"
    box 110 140 90 8 "$SKY"
    disc 165 64 10 "$ORANGE"
    disc 165 144 10 "$STEEL"
    box 230 14 50 26 "$SKY"
    box 230 14 50 26 "$INK" 2
    line 255 40 255 70 3 "$INK"
    label 28 176 11 "$INK" "Радиатор"
    label 222 102 12 "$INK" "Двигатель"
    label 130 84 10 "$INK" "Термостат"
    label 140 160 10 "$INK" "Насос"
    label 286 20 10 "$INK" "Бачок"
    frame
    write images/radiator.jpg
}

# The fuel system, from the tank to the injectors.
toplivo() {
    begin 360 150
    box 14 60 70 50 "$ORANGE"
    box 14 60 70 50 "$INK" 2
    disc 60 98 8 "$INK"
    box 84 84 50 4 "$INK"
    box 134 70 40 30 "$PALE"
    box 134 70 40 30 "$INK" 2
    box 174 84 40 4 "$INK"
    box 214 40 20 80 "$STEEL"
    box 214 40 20 80 "$INK" 2
    local y
    for y in 46 64 82 100; do
        box 234 "$y" 40 6 "$INK"
        triangle 280 "$y" 12 "$SKY"
    done
    label 18 116 11 "$INK" "Бак и насос"
    label 128 106 11 "$INK" "Фильтр"
    label 196 126 11 "$INK" "Рампа"
    label 290 70 11 "$INK" "Форсунки"
    label 14 14 12 "$INK" "Путь топлива" bold
    frame
    write images/toplivo.gif
}

# The driveline: engine, clutch, gearbox, drive shafts, wheels.
transmissiya() {
    begin 360 150
    box 20 40 80 70 "$PALE"
    box 20 40 80 70 "$INK" 2
    box 100 50 16 50 "$ORANGE"
    box 116 45 80 60 "$STEEL"
    box 116 45 80 60 "$INK" 2
    box 196 72 100 6 "$INK"
    disc 310 75 30 "$INK"
    disc 310 75 12 "$STEEL"
    label 30 68 11 "$INK" "Двигатель"
    label 80 116 11 "$INK" "Сцепление"
    label 126 68 11 "$WHITE" "Коробка"
    label 200 54 11 "$INK" "Привод"
    label 280 116 11 "$INK" "Колесо"
    frame
    write images/transmissiya.bmp
}

# The front suspension: strut, spring, lower arm, wheel.
podveska() {
    begin 300 210
    disc 90 130 60 "$INK"
    disc 90 130 28 "$STEEL"
    disc 90 130 8 "$INK"
    box 150 20 16 100 "$STEEL"
    box 150 20 16 100 "$INK" 2
    local y
    for y in 30 44 58 72 86; do line 140 "$y" 176 $((y + 10)) 4 "$ORANGE"; done
    line 118 130 158 120 5 "$INK"
    line 118 150 250 160 6 "$INK"
    disc 250 160 7 "$RED"
    label 176 14 11 "$INK" "Амортизатор"
    label 182 60 11 "$INK" "Пружина"
    label 180 176 11 "$INK" "Рычаг"
    label 30 196 11 "$INK" "Колесо и ступица"
    frame
    write images/podveska.jpg
}

# The brake system: master cylinder and the two diagonal circuits.
tormoza() {
    begin 340 220
    box 60 30 220 160 "$INK" 1
    local c
    for c in "60 30" "280 30" "60 190" "280 190"; do
        set -- $c
        box $(($1 - 14)) $(($2 - 22)) 28 44 "$INK"
    done
    box 150 60 40 24 "$STEEL"
    box 150 60 40 24 "$INK" 2
    line 160 84 74 30 3 "$GREEN"
    line 160 84 266 190 3 "$GREEN"
    line 180 84 266 30 3 "$RED"
    line 180 84 74 190 3 "$RED"
    label 128 40 10 "$INK" "Главный цилиндр"
    label 96 112 10 "$GREEN" "Контур 1"
    label 196 112 10 "$RED" "Контур 2"
    label 110 200 10 "$INK" "Задние колеса"
    frame
    write images/tormoza.gif
}

# A disc brake: the disc, the caliper and the two pads.
kolodki() {
    begin 200 150
    ring 80 75 62 4 "$INK"
    disc 80 75 58 "$STEEL"
    disc 80 75 24 "$PALE"
    disc 80 75 5 "$INK"
    box 120 30 50 90 "$RED"
    box 120 30 50 90 "$INK" 2
    box 130 40 8 70 "$ORANGE"
    box 152 40 8 70 "$ORANGE"
    label 124 124 10 "$INK" "Суппорт"
    label 6 6 10 "$INK" "Диск"
    label 140 16 9 "$INK" "Колодки"
    frame
    write "$1"
}

# The bleeding order seen from above.
prokachka() {
    begin 300 190
    box 90 20 120 150 "$PALE"
    box 90 20 120 150 "$INK" 2
    box 100 30 100 30 "$SKY"
    local c
    for c in "70 30 4" "210 30 3" "70 130 2" "210 130 1"; do
        set -- $c
        box "$1" "$2" 20 30 "$INK"
        disc $(($1 + 10)) $(($2 + 15)) 11 "$ORANGE"
        label $(($1 + 6)) $(($2 + 7)) 13 "$INK" "$3" bold
    done
    label 120 70 10 "$INK" "Вперед"
    triangle 150 84 14 "$INK"
    label 6 176 10 "$INK" "Порядок прокачки 1-2-3-4"
    frame
    write images/prokachka.bmp
}

# The battery with its terminals.
akb() {
    begin 260 170
    box 30 50 200 100 "$INK"
    box 36 56 188 88 "$STEEL"
    box 50 34 30 16 "$RED"
    box 180 34 30 16 "$INK"
    label 58 10 22 "$RED" "+" bold
    label 190 8 24 "$INK" "-" bold
    local x
    for x in 50 80 110 140 170 200; do disc "$x" 70 6 "$PALE"; done
    label 70 100 14 "$WHITE" "12 В 60 А.ч"
    label 44 124 10 "$PALE" "Пробки банок"
    frame
    write images/akb.jpg
}

# A simple circuit: battery, fuse, switch, lamp.
elektro() {
    begin 360 160
    box 30 40 300 3 "$INK"
    box 30 120 300 3 "$INK"
    box 30 40 3 83 "$INK"
    box 327 40 3 83 "$INK"
    box 16 66 34 30 "$PAPER"
    box 18 72 30 3 "$RED"
    box 24 84 18 3 "$INK"
    box 100 32 46 18 "$ORANGE"
    box 100 32 46 18 "$INK" 2
    box 190 34 40 12 "$PAPER"
    line 190 41 224 26 3 "$INK"
    disc 190 41 4 "$INK"
    disc 312 82 18 "$PAPER"
    ring 312 82 18 3 "$INK"
    line 300 70 324 94 2 "$INK"
    line 324 70 300 94 2 "$INK"
    label 56 70 11 "$INK" "АКБ"
    label 96 58 11 "$INK" "Предохранитель"
    label 182 10 11 "$INK" "Выключатель"
    label 262 112 11 "$INK" "Лампа"
    frame
    write images/elektro.gif
}

# The warning sign in the margin.
vnimanie() {
    begin 36 32
    triangle 18 2 28 "$RED"
    triangle 18 9 17 "$WHITE"
    box 17 14 3 9 "$INK"
    box 17 25 3 3 "$INK"
    write images/vnimanie.gif
}

# A spanner sign for the work steps.
kluch() {
    begin 36 32
    disc 10 10 8 "$STEEL"
    disc 10 10 3 "$PAPER"
    line 14 14 30 28 5 "$STEEL"
    write images/kluch.gif
}

# The companion folder of ustroistvo.htm: the car from above, a legend mark and a header strip.
obshiy_vid() {
    begin 420 230
    box 60 40 300 150 "$PALE"
    box 60 40 300 150 "$INK" 2
    box 70 60 80 110 "$ORANGE"
    box 150 80 40 70 "$STEEL"
    box 190 112 150 6 "$INK"
    box 200 60 60 110 "$SKY"
    local c
    for c in "80 24" "80 190" "300 24" "300 190"; do
        set -- $c
        box "$1" "$2" 40 18 "$INK"
    done
    disc 110 115 12 "$RED"
    label 76 64 11 "$INK" "Двигатель"
    label 150 58 10 "$INK" "КПП"
    label 206 100 10 "$INK" "Салон"
    label 262 122 10 "$INK" "Карданный вал"
    label 124 102 10 "$WHITE" "1"
    label 10 210 10 "$INK" "Вид сверху. 1 - маслозаливная горловина"
    frame
    write ustroistvo.files/obshiy-vid.jpg
}

uzel() {
    begin 160 100
    disc 50 50 34 "$STEEL"
    ring 50 50 34 3 "$INK"
    disc 50 50 10 "$INK"
    box 90 44 60 12 "$ORANGE"
    label 92 64 10 "$INK" "Вал"
    frame
    write ustroistvo.files/uzel.bmp
}

polosa() {
    begin 16 40
    add "format=gbrp,geq=r='31+Y*4':g='58+Y*3.5':b='95+Y*3',format=rgb24"
    write ustroistvo.files/polosa.gif
}

logo
avto_shema
SC=100 dvigatel images/dvigatel.jpg
SC=300 dvigatel images/dvigatel-big.jpg
SC=100
grm
maslo
radiator
toplivo
transmissiya
podveska
tormoza
kolodki images/kolodki.bmp
SC=300 kolodki images/kolodki-big.bmp
SC=100
prokachka
akb
elektro
vnimanie
kluch
obshiy_vid
uzel
polosa
